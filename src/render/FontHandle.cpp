#include "render/FontHandle.h"

#include "base/GenString.h"
#include "base/UTF8.h"
#include "render/Font.h"

#include <cmath>
#include <cstring>
#include <string>

void cFontHandle::Select(float size)
{
    font = gFontRegistry ? gFontRegistry->FindDefault() : nullptr;
    sizeEntry = font ? font->ChooseSize(size) : nullptr;
    reserved = 0;
}

void cFontHandle::SetSize(float size)
{
    sizeEntry = font ? font->ChooseSize(size) : nullptr;
}

cFontHandle cFontHandle::CopyWithSize(const cFontHandle& other, float size)
{
    cFontHandle handle = other;
    handle.SetSize(size);
    return handle;
}

float cFontHandle::Advance(uint32_t previous, uint32_t code) const
{
    return font->GetAdvance(*sizeEntry, previous, code);
}

float cFontHandle::DotWidth() const
{
    return GetTextWidth(".");
}

float cFontHandle::GetTextWidth(const char* text, int maxBytes) const
{
    if (!IsValid() || !text)
        return 0.0f;
    float width = 0.0f;
    uint32_t previous = 0;
    int32_t length = 0;
    for (int at = 0; text[at] != '\0' && (maxBytes < 0 || at < maxBytes); at += length)
    {
        const uint32_t code = NextFontCode(text + at, &length);
        width += Advance(previous, code);
        previous = code;
    }
    return width;
}

int cFontHandle::CountCharsInWidth(float width, const char* text, bool strict, const char** end) const
{
    const char* at = text;
    if (!IsValid() || !text || *text == '\0')
    {
        if (end)
            *end = text;
        return 0;
    }
    float sum = 0.0f, last = 0.0f;
    uint32_t previous = 0;
    int32_t length = 0;
    while (*at != '\0')
    {
        const uint32_t code = NextFontCode(at, &length);
        last = Advance(previous, code);
        sum += last;
        previous = code;
        at += length;
        if (sum >= width)
            break;
    }
    const float limit = strict ? width : width + last * 0.5f;
    if (sum > limit)
        at -= length;
    if (end)
        *end = at;
    return int(at - text);
}

int cFontHandle::CountCharsFromEnd(float width, const char* text, const char** start) const
{
    if (!IsValid() || !text || *text == '\0')
    {
        if (start)
            *start = text;
        return 0;
    }
    float sum = 0.0f;
    int index = int(std::strlen(text));
    int kept = index;
    uint32_t next = 0;
    while (index > 0)
    {
        index = PreviousUTF8Character(text, index);
        int32_t length = 0;
        const uint32_t code = NextFontCode(text + index, &length);
        // Walking backwards, each character kerns against the one after it.
        const float kerning = sizeEntry->size * font->GetKerning(code, next);
        sum += std::floor(kerning + font->GetGlyph(*sizeEntry, code).advance + 0.5f);
        next = code;
        if (sum > width)
            break;
        kept = index;
        if (sum >= width)
            break;
    }
    if (start)
        *start = text + kept;
    return kept;
}

bool cFontHandle::TruncateEnd(cGenString& text, float width) const
{
    const char* source = text.CStr();
    if (!IsValid() || *source == '\0')
        return false;
    const char* end = nullptr;
    CountCharsInWidth(width, source, true, &end);
    if (*end == '\0')
        return false;

    const float dot = DotWidth();
    const float dots = dot * 2.0f;
    std::string result;
    if (width >= dots)
    {
        const int keep = CountCharsInWidth(width - dots, source, true, nullptr);
        result.assign(source, size_t(keep));
        result += "..";
    }
    else if (width >= dot)
    {
        result = ".";
    }
    text.AssignCStr(result.c_str());
    return true;
}

bool cFontHandle::TruncateStart(cGenString& text, float width) const
{
    const char* source = text.CStr();
    if (!IsValid() || *source == '\0')
        return false;
    const char* tail = nullptr;
    const int dropped = CountCharsFromEnd(width, source, &tail);
    if (dropped == 0)
        return false;

    const float dot = DotWidth();
    const float dots = dot * 2.0f;
    std::string result;
    if (width >= dots)
    {
        const char* afterDots = nullptr;
        const int covered = CountCharsInWidth(dots, tail, false, &afterDots);
        result = "..";
        if (dropped + covered >= 2)
            result += afterDots;
    }
    else if (width >= dot)
    {
        result = ".";
    }
    text.AssignCStr(result.c_str());
    return true;
}

bool cFontHandle::TruncateMiddle(cGenString& text, float width) const
{
    const char* source = text.CStr();
    if (!IsValid() || *source == '\0' || GetTextWidth(source) <= width)
        return false;

    const float dot = DotWidth();
    std::string result;
    if (width < 2.0f * dot)
    {
        if (width >= dot)
            result = ".";
        text.AssignCStr(result.c_str());
        return true;
    }
    const float half = width * 0.5f - dot;
    const int head = CountCharsInWidth(half, source, true, nullptr);
    const char* tail = nullptr;
    CountCharsFromEnd(half, source + head, &tail);
    result.assign(source, size_t(head));
    result += "..";
    result += tail;
    text.AssignCStr(result.c_str());
    return true;
}
