// The generated "Default" font read back through the program's font reader:
// its sizes, its Latin-1 coverage, its kerning and its glyphs' places in the
// glyph atlas.
#include "base/File.h"
#include "base/GenString.h"
#include "render/Font.h"
#include "render/PVRImage.h"
#include "support/ResMount.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
class ResgenFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> bytes = ReadGeneratedResource("Fonts/FontDefault.fnt");
        ASSERT_FALSE(bytes.empty()) << "bin/Resource/Fonts/FontDefault.fnt is missing";
        File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
        ASSERT_TRUE(mFont.ReadTables(file, mTextureName));
    }

    cFont mFont;
    cGenStringFixed<260> mTextureName;
};
}

TEST_F(ResgenFontTest, OffersTheSizesTheInterfaceAsksFor)
{
    const float sizes[] = {6, 7, 8, 9, 10, 11, 12, 13, 15};
    ASSERT_EQ(mFont.GetSizeCount(), std::size(sizes));
    for (uint32_t i = 0; i < mFont.GetSizeCount(); ++i)
        EXPECT_EQ(mFont.GetSize(i).size, sizes[i]);
    EXPECT_EQ(mFont.ChooseSize(11)->size, 11.0f);
    EXPECT_EQ(mFont.ChooseSize(14)->size, 15.0f);
    EXPECT_EQ(mFont.ChooseSize(40)->size, 15.0f);
}

// Where a smallest text size is set, smaller requests get it; larger ones
// and the fall-back to the largest size are as before.
TEST_F(ResgenFontTest, NoTextIsChosenBelowTheSmallestSize)
{
    SetSmallestTextSize(9.0f);
    const float chosen[][2] = {{6, 9}, {8, 9}, {9, 9}, {10, 10}, {14, 15}, {40, 15}};
    for (const auto& c : chosen)
        EXPECT_EQ(mFont.ChooseSize(c[0])->size, c[1]) << "asked " << c[0];
    SetSmallestTextSize(0.0f);
    EXPECT_EQ(mFont.ChooseSize(6)->size, 6.0f);
}

TEST_F(ResgenFontTest, EveryLatin1ByteHasItsOwnGlyph)
{
    const uint32_t missing = mFont.GetGlyphNumber(FontCode('\x01'));
    std::vector<uint32_t> seen;
    for (int byte = 0x20; byte <= 0xff; ++byte)
    {
        if (byte >= 0x7f && byte < 0xa0)
            continue; // control codes show the default glyph
        const uint32_t glyph = mFont.GetGlyphNumber(FontCode(char(byte)));
        EXPECT_NE(glyph, missing) << "byte " << byte;
        seen.push_back(glyph);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end()) << "two bytes share a glyph";
    EXPECT_EQ(mFont.GetGlyphNumber(FontCode('\x85')), missing);
}

TEST_F(ResgenFontTest, KernsTheUsualPairsAndNothingAfterAStart)
{
    EXPECT_LT(mFont.GetKerning('A', 'V'), 0.0f);
    EXPECT_LT(mFont.GetKerning('T', 'o'), 0.0f);
    EXPECT_EQ(mFont.GetKerning(0, 'T'), 0.0f);
    EXPECT_EQ(mFont.GetKerning('o', 'o'), 0.0f);
    // A kerning amount scales with the line height into a pixel or two, not more.
    const cFontSize& largest = mFont.GetSize(mFont.GetSizeCount() - 1);
    EXPECT_GT(largest.size * mFont.GetKerning('A', 'V'), -3.0f);
}

TEST_F(ResgenFontTest, GlyphsSitInTheirLineAndInTheGlyphAtlas)
{
    EXPECT_STREQ(mTextureName.CStr(), "FontDefault.pvr");
    const std::vector<uint8_t> bytes = ReadGeneratedResource("Fonts/FontDefault.pvr");
    ASSERT_FALSE(bytes.empty());
    auto contents = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), contents.get());
    const auto atlas = DecodePVRImage(std::move(contents), bytes.size(), 3);
    ASSERT_NE(atlas, nullptr);
    ASSERT_EQ(atlas->pixelFormat, kPixelFormatAlpha8);
    const uint8_t* pixels = atlas->surfaces[0].levels[0].pixels;

    for (uint32_t s = 0; s < mFont.GetSizeCount(); ++s)
    {
        const cFontSize& size = mFont.GetSize(s);
        SCOPED_TRACE(size.size);
        for (char c : std::string("AMWgjy09@|"))
        {
            SCOPED_TRACE(c);
            const cFontGlyph& glyph = mFont.GetGlyph(size, FontCode(c));
            EXPECT_GT(glyph.advance, 0.0f);
            EXPECT_GE(glyph.yOffset, 0.0f);
            EXPECT_LE(glyph.yOffset + glyph.height, size.size + 1.0f);
            EXPECT_FLOAT_EQ((glyph.u1 - glyph.u0) * float(atlas->width), glyph.width);
            EXPECT_FLOAT_EQ((glyph.v1 - glyph.v0) * float(atlas->height), glyph.height);
            EXPECT_GE(glyph.u0, 0.0f);
            EXPECT_LE(glyph.u1, 1.0f);
            EXPECT_GE(glyph.v0, 0.0f);
            EXPECT_LE(glyph.v1, 1.0f);
            // Ink where the glyph is, so the quad shows the letter.
            const uint32_t x0 = uint32_t(glyph.u0 * float(atlas->width)), y0 = uint32_t(glyph.v0 * float(atlas->height));
            int ink = 0;
            for (uint32_t y = y0; y < y0 + uint32_t(glyph.height); ++y)
                for (uint32_t x = x0; x < x0 + uint32_t(glyph.width); ++x)
                    ink = std::max(ink, int(pixels[y * atlas->width + x]));
            EXPECT_GE(ink, 64);
        }
        // A blank moves the pen and draws nothing.
        EXPECT_GT(mFont.GetGlyph(size, ' ').advance, 0.0f);
        EXPECT_EQ(mFont.GetGlyph(size, ' ').width, 0.0f);
    }
}
