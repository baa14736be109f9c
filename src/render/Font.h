#pragma once

#include "base/GenString.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace File { class cFile; }
class cFont;
class cMaterial;

struct cFontKerning
{
    uint32_t code; // second code; 0 ends a run
    float amount;  // in units of the size
};

struct cFontCodeRange
{
    uint32_t first;
    uint32_t last;
    int32_t offset; // glyph number = code + offset
};

struct cFontGlyph
{
    float advance, xOffset, yOffset, width, height, u0, v0, u1, v1;
};

struct cFontSize
{
    float size; // line height in pixels, and the scale of kerning amounts
    cFont* font;
    const cFontGlyph* glyphs;
};

// Character code of a text byte: bytes above 0x7f extend their sign, so they
// are found through the code ranges, never the 256-entry tables.
inline uint32_t FontCode(char c) { return uint32_t(int32_t(static_cast<signed char>(c))); }

// The code of the character at text and its length in bytes: a well-formed
// UTF-8 sequence is one character, drawn with its own glyph up to U+00FF
// and as '?' beyond (the font holds no more); any other byte keeps its own
// code (FontCode). Names are the file system's bytes, so both occur.
uint32_t NextFontCode(const char* text, int32_t* length);

// A pre-rendered bitmap font with several pixel sizes, loaded from
// "Fonts/Font<name>.fnt" in "Res". Every table index the file gives is checked
// on load, so lookups never leave the tables.
class cFont
{
public:
    cFont();
    ~cFont();
    cFont(const cFont&) = delete;
    cFont& operator=(const cFont&) = delete;

    bool Load(const char* name);
    // Reads the metric tables of a font file; false (and nothing kept) when the
    // file is short or any count, start or glyph number lies outside its tables.
    bool ReadTables(File::cFile& file, cGenString& textureName);

    uint32_t GetGlyphNumber(uint32_t code) const;
    const cFontGlyph& GetGlyph(const cFontSize& size, uint32_t code) const;
    float GetKerning(uint32_t previous, uint32_t code) const;
    // Pixels the pen moves for a code after the previous one, rounded to whole pixels.
    float GetAdvance(const cFontSize& size, uint32_t previous, uint32_t code) const;

    const char* GetName() const { return mName.CStr(); }
    uint32_t GetSizeCount() const { return mSizeCount; }
    const cFontSize& GetSize(uint32_t index) const { return mSizes[index]; }
    // The first size at least as large as asked for (and at least the
    // smallest text size), else the largest listed last.
    const cFontSize* ChooseSize(float size) const;
    cMaterial* GetMaterial() const { return mMaterial; }
    void SetName(const char* name) { mName = name; }

private:
    cGenStringFixed<32> mName;
    uint32_t mDefaultGlyph = 0;
    uint32_t mGlyphNumbers[256] = {};
    const cFontKerning* mKerningLists[256] = {};
    uint32_t mKerningCount = 0;
    std::unique_ptr<cFontKerning[]> mKerning;
    uint32_t mCodeRangeCount = 0;
    std::unique_ptr<cFontCodeRange[]> mCodeRanges;
    uint32_t mSizeCount = 0;
    std::unique_ptr<cFontSize[]> mSizes;
    uint32_t mGlyphsPerSize = 0;
    std::unique_ptr<cFontGlyph[]> mGlyphs;
    cMaterial* mMaterial = nullptr;
};

// The smallest line height any text is chosen at, whatever size is asked for:
// 0 (none) until the UI metrics set it for a device class.
void SetSmallestTextSize(float size);
float GetSmallestTextSize();

// The loaded fonts; owns them.
class cFontRegistry
{
public:
    cFontRegistry();
    ~cFontRegistry();
    cFontRegistry(const cFontRegistry&) = delete;
    cFontRegistry& operator=(const cFontRegistry&) = delete;

    // Loads "Fonts/Font<name>.fnt"; a font that fails to load is not added.
    bool Load(const char* name);
    // Takes ownership of a loaded font as the newest entry.
    void Add(cFont* font);
    cFont* FindDefault() const;
    int GetCount() const { return int(mFonts.size()); }

private:
    std::vector<std::unique_ptr<cFont>> mFonts; // oldest first
};

extern cFontRegistry* gFontRegistry;
