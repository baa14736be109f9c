#include "FontBuilder.h"

#include "PvrWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace
{
// Line heights in pixels, the font's size entries in file order.
constexpr float kSizes[] = {6, 7, 8, 9, 10, 11, 12, 13, 15};
// Ascender plus descender of the face is about 1.164 em, so a line of height h
// takes an em of h / 1.164 pixels.
constexpr float kEmPerLine = 0.859f;
constexpr int kAtlasWidth = 512;
constexpr const char* kTextureName = "FontDefault.pvr";

// Glyph 0 stands for codes without one; ASCII 32..126 follow, then Latin-1 0xA0..0xFF.
constexpr int kFirstAscii = 32, kLastAscii = 126;
constexpr int kFirstLatin = 0xA0, kLastLatin = 0xFF;
constexpr int kAsciiBase = 1;
constexpr int kLatinBase = kAsciiBase + (kLastAscii - kFirstAscii + 1);
constexpr int kGlyphsPerSize = kLatinBase + (kLastLatin - kFirstLatin + 1);

struct cGlyph
{
    float advance = 0, xOffset = 0, yOffset = 0, width = 0, height = 0;
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
    int atlasX = 0, atlasY = 0;
    int bitmapWidth = 0, bitmapHeight = 0;
    std::vector<uint8_t> coverage;
};

uint32_t CharacterOfGlyph(int glyph)
{
    if (glyph == 0)
        return 0xFFFD; // the replacement character
    if (glyph < kLatinBase)
        return uint32_t(kFirstAscii + glyph - kAsciiBase);
    return uint32_t(kFirstLatin + glyph - kLatinBase);
}

class cBinaryOut
{
public:
    void U32(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(uint8_t(value >> (8 * i)));
    }
    void F32(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        U32(bits);
    }
    void Text(const char* text)
    {
        const uint32_t length = uint32_t(std::strlen(text));
        U32(length);
        if (length == 0)
            return;
        for (uint32_t i = 0; i < length; ++i)
            mBytes.push_back(uint8_t(text[i]));
        mBytes.push_back(0);
    }
    const std::vector<uint8_t>& Bytes() const { return mBytes; }

private:
    std::vector<uint8_t> mBytes;
};

bool RenderSize(FT_Face face, float size, std::vector<cGlyph>& glyphs)
{
    if (FT_Set_Char_Size(face, 0, FT_F26Dot6(std::lround(size * kEmPerLine * 64.0f)), 72, 72) != 0)
        return false;
    const float baseline = std::round(float(face->size->metrics.ascender) / 64.0f);
    glyphs.assign(kGlyphsPerSize, {});
    for (int g = 0; g < kGlyphsPerSize; ++g)
    {
        const FT_UInt index = FT_Get_Char_Index(face, CharacterOfGlyph(g));
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
            return false;
        const FT_GlyphSlot slot = face->glyph;
        cGlyph& glyph = glyphs[size_t(g)];
        glyph.advance = std::round(float(slot->advance.x) / 64.0f);
        glyph.bitmapWidth = int(slot->bitmap.width);
        glyph.bitmapHeight = int(slot->bitmap.rows);
        glyph.xOffset = float(slot->bitmap_left);
        glyph.yOffset = baseline - float(slot->bitmap_top);
        glyph.width = float(glyph.bitmapWidth);
        glyph.height = float(glyph.bitmapHeight);
        glyph.coverage.resize(size_t(glyph.bitmapWidth) * glyph.bitmapHeight);
        for (int y = 0; y < glyph.bitmapHeight; ++y)
            std::memcpy(&glyph.coverage[size_t(y) * glyph.bitmapWidth], slot->bitmap.buffer + y * slot->bitmap.pitch,
                        size_t(glyph.bitmapWidth));
    }
    return true;
}

// Kerning runs by previous code: entry 0 is the shared empty run.
void BuildKerning(FT_Face face, std::vector<uint32_t>& starts, std::vector<std::pair<uint32_t, float>>& entries)
{
    starts.assign(256, 0);
    entries.assign(1, {0, 0.0f});
    if (!FT_HAS_KERNING(face))
        return;
    const float unitsPerEm = float(face->units_per_EM);
    for (uint32_t previous = kFirstAscii + 1; previous <= kLastAscii; ++previous)
    {
        const FT_UInt left = FT_Get_Char_Index(face, previous);
        const size_t runStart = entries.size();
        for (uint32_t code = kFirstAscii + 1; code <= kLastAscii; ++code)
        {
            FT_Vector kern{};
            if (FT_Get_Kerning(face, left, FT_Get_Char_Index(face, code), FT_KERNING_UNSCALED, &kern) != 0 || kern.x == 0)
                continue;
            // Amounts are fractions of the line height, which the reader multiplies back.
            entries.push_back({code, float(kern.x) / unitsPerEm * kEmPerLine});
        }
        if (entries.size() == runStart)
            continue;
        entries.push_back({0, 0.0f});
        starts[previous] = uint32_t(runStart);
    }
}

// Shelf-packs every glyph bitmap of every size with a one-pixel gutter.
int PackGlyphs(std::vector<std::vector<cGlyph>>& sizes)
{
    std::vector<cGlyph*> order;
    for (auto& glyphs : sizes)
        for (cGlyph& glyph : glyphs)
            if (glyph.bitmapWidth > 0 && glyph.bitmapHeight > 0)
                order.push_back(&glyph);
    std::stable_sort(order.begin(), order.end(), [](const cGlyph* a, const cGlyph* b) { return a->bitmapHeight > b->bitmapHeight; });
    int x = 1, y = 1, shelf = 0;
    for (cGlyph* glyph : order)
    {
        if (x + glyph->bitmapWidth + 1 > kAtlasWidth)
        {
            x = 1;
            y += shelf + 1;
            shelf = 0;
        }
        glyph->atlasX = x;
        glyph->atlasY = y;
        x += glyph->bitmapWidth + 1;
        shelf = std::max(shelf, glyph->bitmapHeight);
    }
    int height = 1;
    while (height < y + shelf + 1)
        height *= 2;
    for (cGlyph* glyph : order)
    {
        glyph->u0 = float(glyph->atlasX) / kAtlasWidth;
        glyph->v0 = float(glyph->atlasY) / float(height);
        glyph->u1 = float(glyph->atlasX + glyph->bitmapWidth) / kAtlasWidth;
        glyph->v1 = float(glyph->atlasY + glyph->bitmapHeight) / float(height);
    }
    return height;
}
}

bool BuildDefaultFont(const std::string& trueTypePath, const std::string& fontFolder)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0)
    {
        std::fprintf(stderr, "resgen: FreeType did not start\n");
        return false;
    }
    if (FT_New_Face(library, trueTypePath.c_str(), 0, &face) != 0)
    {
        std::fprintf(stderr, "resgen: cannot open the font %s\n", trueTypePath.c_str());
        FT_Done_FreeType(library);
        return false;
    }

    std::vector<std::vector<cGlyph>> sizes(std::size(kSizes));
    bool ok = true;
    for (size_t s = 0; s < sizes.size() && ok; ++s)
        ok = RenderSize(face, kSizes[s], sizes[s]);
    std::vector<uint32_t> kerningStarts;
    std::vector<std::pair<uint32_t, float>> kerning;
    if (ok)
        BuildKerning(face, kerningStarts, kerning);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!ok)
    {
        std::fprintf(stderr, "resgen: rasterising %s failed\n", trueTypePath.c_str());
        return false;
    }

    const int atlasHeight = PackGlyphs(sizes);
    std::vector<uint8_t> atlas(size_t(kAtlasWidth) * atlasHeight, 0);
    for (const auto& glyphs : sizes)
        for (const cGlyph& glyph : glyphs)
            for (int y = 0; y < glyph.bitmapHeight; ++y)
                std::memcpy(&atlas[size_t(glyph.atlasY + y) * kAtlasWidth + glyph.atlasX],
                            &glyph.coverage[size_t(y) * glyph.bitmapWidth], size_t(glyph.bitmapWidth));

    cBinaryOut file;
    file.Text(kTextureName);
    file.U32(0); // default glyph
    file.U32(uint32_t(kerning.size()));
    for (uint32_t start : kerningStarts)
        file.U32(start);
    for (const auto& [code, amount] : kerning)
    {
        file.U32(code);
        file.F32(amount);
    }
    file.U32(uint32_t(std::size(kSizes)));
    for (float size : kSizes)
        file.F32(size);
    file.U32(kGlyphsPerSize);
    for (uint32_t code = 0; code < 256; ++code)
    {
        uint32_t glyph = 0;
        if (code >= kFirstAscii && code <= kLastAscii)
            glyph = kAsciiBase + code - kFirstAscii;
        else if (code >= kFirstLatin)
            glyph = kLatinBase + code - kFirstLatin;
        file.U32(glyph);
    }
    // Bytes 0xA0..0xFF arrive sign-extended as 2^32 - 96 .. 2^32 - 1; adding
    // the offset wraps them onto the Latin-1 glyphs.
    file.U32(1);
    file.U32(0xFFFFFFA0u);
    file.U32(0xFFFFFFFFu);
    file.U32(uint32_t(kLatinBase + 96));
    for (const auto& glyphs : sizes)
        for (const cGlyph& glyph : glyphs)
            for (float value : {glyph.advance, glyph.xOffset, glyph.yOffset, glyph.width, glyph.height, glyph.u0, glyph.v0,
                                glyph.u1, glyph.v1})
                file.F32(value);

    return WriteBinaryFile(fontFolder + "FontDefault.fnt", file.Bytes()) &&
           WriteBinaryFile(fontFolder + kTextureName,
                           BuildPvrFile(ePvrType::Intensity8, kAtlasWidth, uint32_t(atlasHeight), atlas));
}
