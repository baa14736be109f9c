#include "render/Font.h"
#include "render/FontHandle.h"

#include "base/File.h"
#include "base/GenString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr uint32_t kGlyphs = 130;
constexpr uint32_t kEAcuteGlyph = 129;

// The fields of a font file, in file order; tests break one at a time.
struct cFontFile
{
    std::string texture = "FontTest.pvr";
    uint32_t defaultGlyph = 0;
    std::vector<cFontKerning> kerning = {{0, 0}, {'V', -0.2f}, {0, 0}};
    std::vector<uint32_t> kerningStarts = std::vector<uint32_t>(256, 0);
    std::vector<float> sizes = {10, 12, 16};
    uint32_t glyphsPerSize = kGlyphs;
    std::vector<uint32_t> glyphNumbers = std::vector<uint32_t>(256, 0);
    std::vector<cFontCodeRange> ranges = {{0xffffffe9u, 0xffffffe9u, int32_t(kEAcuteGlyph + 23)}};
    std::vector<cFontGlyph> glyphs;
    int32_t kerningCountDelta = 0;

    cFontFile()
    {
        kerningStarts['A'] = 1;
        for (uint32_t c = 0; c < 128; ++c)
            glyphNumbers[c] = c;
        for (float size : sizes)
            for (uint32_t g = 0; g < kGlyphs; ++g)
            {
                float advance = size / 2; // 5, 6 and 8 pixels
                if (g == '.')
                    advance = size / 5;
                if (g == kEAcuteGlyph)
                    advance = 7;
                glyphs.push_back({advance, 0, 0, advance, size, 0, 0, 0, 0});
            }
    }

    template <class T>
    static void Put(std::vector<uint8_t>& out, const T& value)
    {
        const size_t at = out.size();
        out.resize(at + sizeof(T));
        std::memcpy(out.data() + at, &value, sizeof(T));
    }

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out;
        Put(out, uint32_t(texture.size()));
        if (!texture.empty())
        {
            // The name and its terminator.
            const size_t at = out.size();
            out.resize(at + texture.size() + 1);
            std::memcpy(out.data() + at, texture.c_str(), texture.size() + 1);
        }
        Put(out, defaultGlyph);
        Put(out, uint32_t(int32_t(kerning.size()) + kerningCountDelta));
        for (uint32_t start : kerningStarts)
            Put(out, start);
        for (const cFontKerning& k : kerning)
            Put(out, k);
        Put(out, uint32_t(sizes.size()));
        for (float size : sizes)
            Put(out, size);
        Put(out, glyphsPerSize);
        for (uint32_t number : glyphNumbers)
            Put(out, number);
        Put(out, uint32_t(ranges.size()));
        for (const cFontCodeRange& range : ranges)
            Put(out, range);
        for (const cFontGlyph& glyph : glyphs)
            Put(out, glyph);
        return out;
    }
};

bool ReadFont(cFont& font, const std::vector<uint8_t>& bytes)
{
    File::cFileMemoryRead stream(bytes.data(), int(bytes.size()));
    cGenStringFixed<260> texture;
    return font.ReadTables(stream, texture);
}

// A stream of real bytes with holes between them that read as whatever the
// buffer held: a file that claims hundreds of megabytes costs nothing.
class cSparseStream : public File::cFile
{
public:
    struct cPiece
    {
        std::vector<uint8_t> bytes;
        uint64_t holeAfter;
    };

    explicit cSparseStream(std::vector<cPiece> pieces)
        : File::cFile(nullptr, "Sparse", 0, File::kModeRead, 0), mPieces(std::move(pieces))
    {
        for (const cPiece& piece : mPieces)
            mLength += piece.bytes.size() + piece.holeAfter;
    }

    int Read(void* buffer, int count) override
    {
        count = int(std::min<uint64_t>(uint64_t(std::max(count, 0)), mLength - mPosition));
        uint64_t start = 0;
        for (const cPiece& piece : mPieces)
        {
            for (uint64_t i = std::max(start, mPosition); i < start + piece.bytes.size() && i < mPosition + count; ++i)
                static_cast<uint8_t*>(buffer)[i - mPosition] = piece.bytes[i - start];
            start += piece.bytes.size() + piece.holeAfter;
        }
        mPosition += uint64_t(count);
        return count;
    }
    int Write(const void*, int) override { return 0; }
    int Seek(int, int) override { return -1; }
    int Tell() override { return int(mPosition); }
    int GetRemaining() override { return int(std::min<uint64_t>(mLength - mPosition, INT32_MAX)); }
    bool Close(bool) override { return true; }

private:
    std::vector<cPiece> mPieces;
    uint64_t mLength = 0;
    uint64_t mPosition = 0;
};

class FontTest : public ::testing::Test
{
protected:
    FontTest()
    {
        new cFontRegistry();
        auto* font = new cFont();
        font->SetName("Default");
        EXPECT_TRUE(ReadFont(*font, cFontFile().Bytes()));
        gFontRegistry->Add(font);
        handle.Select(10);
    }
    ~FontTest() override { delete gFontRegistry; }

public:
    std::string TruncatedEnd(const char* text, float width)
    {
        cGenStringFixed<64> s(text);
        handle.TruncateEnd(s, width);
        return s.CStr();
    }
    std::string TruncatedStart(const char* text, float width)
    {
        cGenStringFixed<64> s(text);
        handle.TruncateStart(s, width);
        return s.CStr();
    }
    std::string TruncatedMiddle(const char* text, float width)
    {
        cGenStringFixed<64> s(text);
        handle.TruncateMiddle(s, width);
        return s.CStr();
    }

protected:
    cFontHandle handle;
};
} // namespace

TEST_F(FontTest, SizeChoiceTakesTheFirstLargeEnoughElseTheLast)
{
    ASSERT_TRUE(handle.IsValid());
    EXPECT_EQ(handle.sizeEntry->size, 10.0f);
    handle.SetSize(11);
    EXPECT_EQ(handle.sizeEntry->size, 12.0f);
    handle.SetSize(20);
    EXPECT_EQ(handle.sizeEntry->size, 16.0f);
    EXPECT_EQ(cFontHandle::CopyWithSize(handle, 1).sizeEntry->size, 10.0f);
}

TEST_F(FontTest, WidthsKernAndRoundEachCharacter)
{
    EXPECT_EQ(handle.GetTextWidth(""), 0.0f);
    EXPECT_EQ(handle.GetTextWidth("abcd"), 20.0f);
    EXPECT_EQ(handle.GetTextWidth("abcd", 2), 10.0f);
    EXPECT_EQ(handle.GetTextWidth("AV"), 8.0f) << "A then V kerns by -0.2 x 10";
    EXPECT_EQ(handle.GetTextWidth("VA"), 10.0f);
    EXPECT_EQ(handle.GetTextWidth("a b"), 15.0f) << "a blank counts like any character";

    // Bytes above 0x7f extend their sign: they never kern and reach their glyph
    // through the code ranges.
    EXPECT_EQ(FontCode(char(0xe9)), 0xffffffe9u);
    EXPECT_EQ(handle.GetTextWidth("\xe9"), 7.0f);
    EXPECT_EQ(handle.GetTextWidth("A\xe9"), 12.0f);
    EXPECT_EQ(handle.GetTextWidth("\xea"), 5.0f) << "no range: the default glyph";
}

TEST_F(FontTest, CountingCharactersInAWidth)
{
    const char* text = "abcd";
    const char* end = nullptr;
    struct cCase
    {
        float width;
        bool strict;
        int count;
    };
    const cCase cases[] = {
        {12, true, 2}, {12, false, 2}, {13, true, 2}, {13, false, 3}, {20, true, 4}, {100, true, 4}, {0, false, 0},
    };
    for (const cCase& c : cases)
    {
        EXPECT_EQ(handle.CountCharsInWidth(c.width, text, c.strict, &end), c.count) << c.width << " " << c.strict;
        EXPECT_EQ(end, text + c.count);
    }

    const char* start = nullptr;
    EXPECT_EQ(handle.CountCharsFromEnd(12, text, &start), 2);
    EXPECT_EQ(start, text + 2);
    EXPECT_EQ(handle.CountCharsFromEnd(20, text, &start), 0);
    EXPECT_EQ(start, text);
}

TEST_F(FontTest, TruncationMarksTheCutWithTwoDots)
{
    // Letters are 5 pixels wide and a dot 2.
    EXPECT_EQ(TruncatedEnd("abcdefgh", 22), "abc..");
    EXPECT_EQ(TruncatedStart("abcdefgh", 22), "..fgh");
    EXPECT_EQ(TruncatedMiddle("abcdefghij", 26), "ab..ij");

    cGenStringFixed<16> fits("abc");
    EXPECT_FALSE(handle.TruncateEnd(fits, 22));
    EXPECT_FALSE(handle.TruncateStart(fits, 22));
    EXPECT_FALSE(handle.TruncateMiddle(fits, 22));
    EXPECT_STREQ(fits.CStr(), "abc");

    for (auto truncate : {&FontTest::TruncatedEnd, &FontTest::TruncatedStart, &FontTest::TruncatedMiddle})
    {
        EXPECT_EQ((this->*truncate)("abcdefgh", 3), ".") << "narrower than two dots";
        EXPECT_EQ((this->*truncate)("abcdefgh", 1), "") << "narrower than one dot";
    }
}

TEST(FontFile, CountsAndIndicesOutsideTheTablesAreRefused)
{
    struct cCase
    {
        const char* what;
        void (*lie)(cFontFile&);
    };
    const cCase cases[] = {
        {"no sizes", [](cFontFile& f) { f.sizes.clear(); f.glyphs.clear(); }},
        {"no glyphs per size", [](cFontFile& f) { f.glyphsPerSize = 0; f.glyphs.clear(); }},
        {"more glyph records than the file holds", [](cFontFile& f) { f.glyphs.pop_back(); }},
        {"kerning count past the end", [](cFontFile& f) { f.kerningCountDelta = 0x10000000; }},
        {"kerning start outside the entries", [](cFontFile& f) { f.kerningStarts['B'] = 3; }},
        {"last kerning run not ended", [](cFontFile& f) { f.kerning.back() = {'W', 0.1f}; }},
        {"no kerning entries at all", [](cFontFile& f) { f.kerning.clear(); f.kerningStarts['A'] = 0; }},
        {"glyph number past the records", [](cFontFile& f) { f.glyphNumbers['x'] = kGlyphs; }},
        {"default glyph past the records", [](cFontFile& f) { f.defaultGlyph = kGlyphs; }},
        {"code range reaching past the records", [](cFontFile& f) { f.ranges[0].last = 0xffffffedu; }},
        {"code range that wraps", [](cFontFile& f) { f.ranges[0].offset = -int32_t(0xffffffe9u - 0xffffff00u); }},
        {"code range backwards", [](cFontFile& f) { f.ranges[0].first = 0xfffffff0u; }},
    };
    for (const cCase& c : cases)
    {
        cFontFile file;
        c.lie(file);
        cFont font;
        EXPECT_FALSE(ReadFont(font, file.Bytes())) << c.what;
        EXPECT_EQ(font.GetSizeCount(), 0u) << c.what;
    }

    const std::vector<uint8_t> whole = cFontFile().Bytes();
    // Cut inside the texture name, the kerning starts, the glyph numbers and the glyph records.
    for (size_t cut : {size_t(0), size_t(10), size_t(1000), size_t(1200), whole.size() - 1})
    {
        cFont font;
        EXPECT_FALSE(ReadFont(font, std::vector<uint8_t>(whole.begin(), whole.begin() + cut))) << "cut at " << cut;
    }
    cFont font;
    EXPECT_TRUE(ReadFont(font, whole));
    EXPECT_EQ(font.GetSizeCount(), 3u);
}

// Sizes times glyphs per size times the record size passes 2^64 and wraps
// to 512 KiB, which the file seems to hold: the reader must refuse it, not
// try to allocate the unwrapped count.
TEST(FontFile, AGlyphTableSizeThatWrapsIsRefused)
{
    const uint32_t sizeCount = 119308288;
    const uint32_t glyphsPerSize = 4294836228u;
    cFontFile fields;
    fields.sizes.clear();
    fields.glyphs.clear();
    fields.glyphsPerSize = glyphsPerSize;
    std::vector<uint8_t> bytes = fields.Bytes();
    const size_t afterSizes = bytes.size() - 4 - 256 * 4 - 4 - fields.ranges.size() * sizeof(cFontCodeRange);
    std::memcpy(&bytes[afterSizes - 4], &sizeCount, 4);
    cSparseStream stream({{{bytes.begin(), bytes.begin() + long(afterSizes)}, uint64_t(sizeCount) * 4},
                          {{bytes.begin() + long(afterSizes), bytes.end()}, 1 << 20}});
    cFont font;
    cGenStringFixed<260> texture;
    EXPECT_FALSE(font.ReadTables(stream, texture));
    EXPECT_EQ(font.GetSizeCount(), 0u);
}

TEST_F(FontTest, TextIsMeasuredAndShortenedByWholeUTF8Characters)
{
    const std::string alpha = "\xce\xb1"; // each Greek letter is one '?' glyph, 5 pixels
    const std::string greek = alpha + alpha + alpha + alpha + alpha + alpha + alpha + alpha;
    EXPECT_EQ(handle.GetTextWidth(greek.c_str()), 40.0f);
    EXPECT_EQ(handle.GetTextWidth(greek.c_str(), 3), 10.0f) << "the character starting at byte 2 counts whole";
    EXPECT_EQ(handle.GetTextWidth("e\xcc\x81"), 10.0f);
    EXPECT_EQ(handle.GetTextWidth("\xe2\x82"), 10.0f) << "a cut sequence is two bytes of their own";

    const char* end = nullptr;
    EXPECT_EQ(handle.CountCharsInWidth(12, greek.c_str(), true, &end), 4);
    EXPECT_EQ(end, greek.c_str() + 4);
    const char* start = nullptr;
    EXPECT_EQ(handle.CountCharsFromEnd(12, greek.c_str(), &start), 12);
    EXPECT_EQ(handle.CountCharsFromEnd(12, ("x\xe9" + alpha).c_str(), &start), 1)
        << "a lone Latin-1 byte is a character of its own, 7 pixels";

    // Letters are 5 pixels and a dot 2: the cuts fall between characters.
    EXPECT_EQ(TruncatedEnd(greek.c_str(), 22), alpha + alpha + alpha + "..");
    EXPECT_EQ(TruncatedStart(greek.c_str(), 22), ".." + alpha + alpha + alpha);
    EXPECT_EQ(TruncatedMiddle(greek.c_str(), 26), alpha + alpha + ".." + alpha + alpha);
}
