#include "render/DrawListFixture.h"

#include "support/ResMount.h"
#include "render/TextBatch.h"

#include "PvrWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class TextBatchTest : public DrawListFixture
{
protected:
    TextBatchTest() { font.Select(10); }

    // The drawn glyphs after a flush: glyph number (kept in u0 by the test
    // font) and the top-left and bottom-right corners.
    struct cGlyphQuad
    {
        int glyph;
        float x0, y0, x1, y1;
    };
    std::vector<cGlyphQuad> Flushed()
    {
        list->FlushText();
        std::vector<cGlyphQuad> quads;
        for (const auto& draw : renderer.draws)
            for (uint32_t g = 0; g < draw.vertexCount / 4; ++g)
            {
                const auto& topLeft = draw.Vertex<cVertexXYZColourTex1>(4 * g);
                const auto& bottomRight = draw.Vertex<cVertexXYZColourTex1>(4 * g + 3);
                quads.push_back({int(topLeft.u), topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
            }
        renderer.draws.clear();
        return quads;
    }

    cTextBatch& Batch() { return list->GetTextBatch(); }

    cFontHandle font;
};
} // namespace

TEST_F(TextBatchTest, LinesStartAtTheSnappedOriginAndMoveDownBySizePlusTwo)
{
    Batch().DrawText(10.4f, 20.6f, 0.3f, font, 0xff00ffff, "A\nB");
    const auto quads = Flushed();
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].glyph, 'A');
    EXPECT_EQ(quads[0].x0, 10.0f);
    EXPECT_EQ(quads[0].y0, 21.0f);
    EXPECT_EQ(quads[0].x1, 15.0f);
    EXPECT_EQ(quads[0].y1, 31.0f);
    EXPECT_EQ(quads[1].glyph, 'B');
    EXPECT_EQ(quads[1].x0, 10.0f);
    EXPECT_EQ(quads[1].y0, 33.0f);
}

TEST_F(TextBatchTest, KerningAndCodesAboveTheTables)
{
    struct cCase
    {
        const char* text;
        std::vector<std::pair<int, float>> glyphAndLeft;
    };
    const cCase cases[] = {
        {"AV", {{'A', 0}, {'V', 3}}},           // floor(5 - 2 + 0.5)
        {"A V", {{'A', 0}, {'V', 10}}},         // the blank breaks the pair
        {"A\xe9", {{'A', 0}, {129, 5}}},        // through the code range, never kerned
        {"\xea" "A", {{0, 0}, {'A', 5}}},       // no glyph: the default glyph
        {"  A", {{'A', 10}}},                   // blanks only advance
        // A UTF-8 character is one glyph: its own up to U+00FF (0xE9 has no
        // table entry in the test font: glyph 0), '?' beyond.
        {"\xc3\xa9" "A", {{0, 0}, {'A', 5}}},
        {"\xce\xb1\xce\xb2", {{'?', 0}, {'?', 5}}},        // Greek
        {"\xe4\xb8\xad", {{'?', 0}}},                      // CJK
        {"e\xcc\x81", {{'e', 0}, {'?', 5}}},                // e and a combining accent
        {"\xf0\x9f\x8e\xb5", {{'?', 0}}},                  // four bytes
        {"\xc3" "A", {{0, 0}, {'A', 5}}},                    // a cut sequence: the byte alone
        {"\xe9\xe9", {{129, 0}, {129, 5}}},                 // Latin-1 bytes keep their meaning
    };
    for (const cCase& c : cases)
    {
        Batch().DrawText(0, 0, 0.05f, font, 0xffffffff, c.text);
        const auto quads = Flushed();
        ASSERT_EQ(quads.size(), c.glyphAndLeft.size()) << c.text;
        for (size_t i = 0; i < quads.size(); ++i)
        {
            EXPECT_EQ(quads[i].glyph, c.glyphAndLeft[i].first) << c.text << " glyph " << i;
            EXPECT_EQ(quads[i].x0, c.glyphAndLeft[i].second) << c.text << " glyph " << i;
        }
    }
}

TEST_F(TextBatchTest, The2049thGlyphStartsASecondSubmission)
{
    const std::string text(2049, 'x');
    Batch().DrawText(0, 0, 0.05f, font, 0xffffffff, text.c_str());
    ASSERT_EQ(renderer.draws.size(), 1u);
    EXPECT_EQ(renderer.draws[0].vertexCount, 8192u);
    ASSERT_EQ(renderer.draws[0].indices.size(), 12288u);
    EXPECT_EQ(std::vector<uint16_t>(renderer.draws[0].indices.begin(), renderer.draws[0].indices.begin() + 12),
              (std::vector<uint16_t>{0, 3, 1, 3, 0, 2, 4, 7, 5, 7, 4, 6}));
    EXPECT_EQ(renderer.draws[0].indices.back(), 8190);
    list->FlushText();
    ASSERT_EQ(renderer.draws.size(), 2u);
    EXPECT_EQ(renderer.draws[1].vertexCount, 4u);
    EXPECT_EQ(renderer.draws[1].Vertex<cVertexXYZColourTex1>(0).x, 2048 * 5.0f) << "the pen went on";
}

TEST_F(TextBatchTest, AlignmentAtAPoint)
{
    struct cCase
    {
        uint32_t alignment;
        float left, top;
    };
    // "abcd" at size 10 is 20 wide; the point is (100, 50).
    const cCase cases[] = {
        {0x00, 100, 40}, // wholly above the point
        {0x20, 100, 50}, // wholly below it
        {0x11, 90, 45},  {0x12, 80, 45}, {0x30, 100, 50}, {0x0f, 100, 40},
    };
    for (const cCase& c : cases)
    {
        Batch().DrawTextAligned(100, 50, 0.05f, font, 0xffffffff, c.alignment, "abcd");
        const auto quads = Flushed();
        ASSERT_EQ(quads.size(), 4u);
        EXPECT_EQ(quads[0].x0, c.left) << std::hex << c.alignment;
        EXPECT_EQ(quads[0].y0, c.top) << std::hex << c.alignment;
        EXPECT_EQ(quads[3].x1, c.left + 20) << std::hex << c.alignment;
    }
    Batch().DrawTextAligned(0, 0, 0.05f, font, 0xffffffff, 0x11, "");
    Batch().DrawTextAligned(0, 0, 0.05f, font, 0xffffffff, 0x11, nullptr);
    EXPECT_TRUE(Flushed().empty());
}

TEST_F(TextBatchTest, PlacementAndShorteningInARect)
{
    struct cCase
    {
        uint32_t alignment;
        size_t glyphs;
        float left, top;
    };
    // "abcdefghij" is 50 wide; the rect is 30 x 20 at (100, 200). ".." is 10 wide.
    const cCase cases[] = {
        {0x20, 10, 100, 200},  {0x00, 10, 100, 210},  {0x11, 10, 90, 205},   {0x12, 10, 80, 205},
        {0x13, 10, 50, 205},   {0x14, 10, 130, 205},  {0x30, 10, 100, 220},  {0x40, 10, 100, 190},
        {0x320, 6, 100, 200},  // "abcd.."
        {0x120, 6, 100, 200},  // "..ghij"
        {0x220, 6, 100, 200},  // "ab..ij"
        {0x313, 10, 50, 205},  // placed outside: never shortened
        {0x520, 10, 100, 200}, // not a shortening code
    };
    const cRect rect = {100, 200, 130, 220};
    for (const cCase& c : cases)
    {
        Batch().DrawTextInRect(rect, font, 0.05f, 0xffffffff, c.alignment, "abcdefghij");
        const auto quads = Flushed();
        ASSERT_EQ(quads.size(), c.glyphs) << std::hex << c.alignment;
        EXPECT_EQ(quads[0].x0, c.left) << std::hex << c.alignment;
        EXPECT_EQ(quads[0].y0, c.top) << std::hex << c.alignment;
    }
    Batch().DrawTextInRect(rect, font, 0.05f, 0xffffffff, 0x320, "ab");
    const auto quads = Flushed();
    ASSERT_EQ(quads.size(), 2u) << "a text that fits stays whole";
    EXPECT_EQ(quads[1].glyph, 'b');
}

TEST_F(TextBatchTest, EachFontChangeOnALineStartsASubmission)
{
    cResMount mount(MakeTestFolder("TextBatchFonts"));
    mount.WriteFile("Fonts/FontFirst.fnt", TestFontBytes());
    mount.WriteFile("Fonts/FontSecond.fnt", TestFontBytes());
    mount.WriteFile("Fonts/TestFont.pvr", BuildPvrFile(ePvrType::Intensity8, 1, 1, {255}));
    cFont first, second;
    ASSERT_TRUE(first.Load("First"));
    ASSERT_TRUE(second.Load("Second"));
    cFontHandle a = font, b = font;
    a.font = &first;
    a.sizeEntry = &first.GetSize(0);
    b.font = &second;
    b.sizeEntry = &second.GetSize(0);

    Batch().DrawText(0, 0, 0.05f, a, 0xffffffff, "ab");
    Batch().DrawText(10, 0, 0.05f, a, 0xffffffff, "c");
    Batch().DrawText(20, 0, 0.05f, b, 0xffffffff, "d");
    Batch().DrawText(30, 0, 0.05f, a, 0xffffffff, "e");
    list->FlushText();
    ASSERT_EQ(renderer.draws.size(), 3u);
    const uint32_t glyphs[3] = {3, 1, 1};
    const cMaterial* materials[3] = {first.GetMaterial(), second.GetMaterial(), first.GetMaterial()};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(renderer.draws[i].vertexCount, glyphs[i] * 4);
        EXPECT_EQ(renderer.draws[i].texture, materials[i]->GetTexture());
    }
    EXPECT_EQ(list->currentMaterial, texturedColour) << "each flush puts the current material back";
    renderer.BindTexture(0, nullptr, kSamplingLinear);
}
