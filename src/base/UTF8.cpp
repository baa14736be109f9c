#include "base/UTF8.h"

#include <algorithm>

namespace
{
constexpr int32_t kMaxTrail = 3;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
} // namespace

bool ReadUTF8Lead(unsigned char lead, cUTF8Lead* out)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        *out = {1, char32_t(lead & 0x1F), 0x80, 0xBF};
    else if (lead >= 0xE0 && lead <= 0xEF)
        *out = {2, char32_t(lead & 0x0F), 0x80, 0xBF};
    else if (lead >= 0xF0 && lead <= 0xF4)
        *out = {3, char32_t(lead & 0x07), 0x80, 0xBF};
    else
        return false;
    // The second byte's range rules out overlong forms, surrogates and
    // values beyond U+10FFFF.
    if (lead == 0xE0)
        out->low = 0xA0;
    else if (lead == 0xED)
        out->high = 0x9F;
    else if (lead == 0xF0)
        out->low = 0x90;
    else if (lead == 0xF4)
        out->high = 0x8F;
    return true;
}

int32_t ReadUTF8Character(const char* text, char32_t* code)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (bytes[0] < 0x80)
    {
        *code = bytes[0];
        return 1;
    }
    cUTF8Lead lead;
    if (!ReadUTF8Lead(bytes[0], &lead))
        return 0;
    char32_t c = lead.bits;
    for (int32_t k = 1; k <= lead.trail; ++k)
    {
        if (bytes[k] < lead.low || bytes[k] > lead.high)
            return 0;
        c = (c << 6) | (bytes[k] & 0x3F);
        lead.low = 0x80;
        lead.high = 0xBF;
    }
    *code = c;
    return lead.trail + 1;
}

bool IsValidUTF8(const char* text)
{
    char32_t code;
    while (*text != '\0')
    {
        const int32_t length = ReadUTF8Character(text, &code);
        if (length == 0)
            return false;
        text += length;
    }
    return true;
}

// Only a non-continuation byte can start a sequence, and every such byte is
// a character boundary; the candidate within three bytes back starts the
// character only when its sequence ends exactly at index.
int32_t PreviousUTF8Character(const char* text, int32_t index)
{
    int32_t start = index - 1;
    while (start > 0 && start > index - 1 - kMaxTrail && IsContinuation(static_cast<unsigned char>(text[start])))
        --start;
    char32_t code;
    return ReadUTF8Character(text + start, &code) == index - start ? start : index - 1;
}

int32_t UTF8PrefixWithin(const char* text, int32_t maxBytes)
{
    int32_t length = 0;
    while (text[length] != 0)
    {
        char32_t code;
        const int32_t size = std::max<int32_t>(ReadUTF8Character(text + length, &code), 1);
        if (length + size > maxBytes)
            break;
        length += size;
    }
    return length;
}
