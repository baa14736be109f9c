#include "platform/KeyboardTranslator.h"

#include "platform/InputTarget.h"

namespace
{
bool IsKnownKey(int physicalKey) { return physicalKey >= 0 && physicalKey < cKeyboardTranslator::kKeyCount; }

// Reads one code point; a malformed sequence reads as U+FFFD and never
// consumes the terminator.
uint32_t NextCodePoint(const unsigned char*& p)
{
    const uint32_t lead = *p++;
    int extra = 0;
    uint32_t code = lead;
    if (lead >= 0xF0 && lead < 0xF8)
    {
        extra = 3;
        code = lead & 0x07;
    }
    else if (lead >= 0xE0 && lead < 0xF0)
    {
        extra = 2;
        code = lead & 0x0F;
    }
    else if (lead >= 0xC0 && lead < 0xE0)
    {
        extra = 1;
        code = lead & 0x1F;
    }
    else
    {
        return lead < 0x80 ? lead : 0xFFFD;
    }
    for (int i = 0; i < extra; ++i)
    {
        if ((*p & 0xC0) != 0x80)
            return 0xFFFD;
        code = (code << 6) | (*p++ & 0x3F);
    }
    return code;
}
} // namespace

int cKeyboardTranslator::DecodeUtf16(const char* utf8, uint16_t* units, int maxUnits)
{
    int count = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p)
    {
        const uint32_t code = NextCodePoint(p);
        if (code >= 0x10000 && code <= 0x10FFFF)
        {
            if (count + 2 > maxUnits)
                break;
            const uint32_t v = code - 0x10000;
            units[count++] = uint16_t(0xD800 + (v >> 10));
            units[count++] = uint16_t(0xDC00 + (v & 0x3FF));
        }
        else
        {
            if (count + 1 > maxUnits)
                break;
            units[count++] = uint16_t(code > 0xFFFF ? 0xFFFD : code);
        }
    }
    return count;
}

void cKeyboardTranslator::OnKeyDown(cInputTarget& target, int physicalKey, int32_t scanCode,
                                    int32_t keyCode)
{
    target.OnKey(1, scanCode, keyCode);
    if (!IsKnownKey(physicalKey))
    {
        mPendingKey = -1;
        return;
    }
    // Characters come with the text that follows; an auto-repeat types them anew.
    mTyped[physicalKey].count = 0;
    mPendingKey = physicalKey;
    mPendingScanCode = scanCode;
}

void cKeyboardTranslator::OnKeyUp(cInputTarget& target, int physicalKey, int32_t scanCode,
                                  int32_t keyCode)
{
    target.OnKey(0, scanCode, keyCode);
    if (physicalKey == mPendingKey)
        mPendingKey = -1;
    if (!IsKnownKey(physicalKey))
        return;
    cTypedUnits& typed = mTyped[physicalKey];
    for (int i = 0; i < typed.count; ++i)
        target.OnChar(0, scanCode, typed.units[i]);
    typed.count = 0;
}

void cKeyboardTranslator::OnText(cInputTarget& target, const char* utf8)
{
    uint16_t units[kMaxUnits];
    const int count = DecodeUtf16(utf8, units, kMaxUnits);
    if (mPendingKey < 0)
    {
        for (int i = 0; i < count; ++i)
        {
            target.OnChar(1, 0, units[i]);
            target.OnChar(0, 0, units[i]);
        }
        return;
    }
    cTypedUnits& typed = mTyped[mPendingKey];
    for (int i = 0; i < count; ++i)
    {
        target.OnChar(1, mPendingScanCode, units[i]);
        if (typed.count < kMaxUnits)
            typed.units[typed.count++] = units[i];
    }
    // Later text belongs to no key until the next press.
    mPendingKey = -1;
}
