#pragma once

#include <cstdint>

class cFont;
class cGenString;
struct cFontSize;

// Names the "Default" font at one of its sizes; measures and shortens text.
// Widgets copy handles freely: a handle owns nothing.
class cFontHandle
{
public:
    void Select(float size);
    void SetSize(float size);
    static cFontHandle CopyWithSize(const cFontHandle& other, float size);

    bool IsValid() const { return font && sizeEntry; }

    // Text is measured by characters (NextFontCode), counted in bytes, so a
    // cut never splits a UTF-8 character.
    // Width in pixels of the characters that start within the first maxBytes
    // (all when negative).
    float GetTextWidth(const char* text, int maxBytes = -1) const;
    // The bytes of the leading characters that fit the width; end is the
    // first character not counted.
    int CountCharsInWidth(float width, const char* text, bool strict, const char** end) const;
    // The bytes of the leading characters to drop so that the rest fits;
    // start is the first character kept.
    int CountCharsFromEnd(float width, const char* text, const char** start) const;

    // Shorten the text in place to fit the width, marking the cut with "..".
    bool TruncateStart(cGenString& text, float width) const;
    bool TruncateEnd(cGenString& text, float width) const;
    bool TruncateMiddle(cGenString& text, float width) const;

    cFont* font = nullptr;
    const cFontSize* sizeEntry = nullptr;
    uint32_t reserved = 0;

private:
    float Advance(uint32_t previous, uint32_t code) const;
    float DotWidth() const;
};
