#include "base/Base64.h"
#include "base/File.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
std::vector<uint8_t> Bytes(const File::cFileMemoryWrite& stream)
{
    const uint8_t* data = stream.GetData();
    return data ? std::vector<uint8_t>(data, data + stream.GetLength()) : std::vector<uint8_t>();
}

std::string Encode(const std::string& bytes)
{
    std::vector<uint8_t> out;
    Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), out);
    return std::string(out.begin(), out.end());
}

std::string Decode(const std::string& text)
{
    std::vector<uint8_t> out;
    Base64Decode(text.data(), int32_t(text.size()), out);
    return std::string(out.begin(), out.end());
}
} // namespace

TEST(FileMemoryStream, SeekStaysInsideTheStream)
{
    const uint8_t data[10] = {};
    File::cFileMemoryRead stream(data, 10);
    struct
    {
        int offset, origin, result, positionAfter;
    } cases[] = {
        {0, 2, 10, 10}, {1, 2, -1, 10}, {-1, 0, -1, 10}, {4, 0, 4, 4}, {-2, 1, 2, 2}, {3, 7, 3, 3},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(stream.Seek(c.offset, c.origin), c.result) << c.offset << "," << c.origin;
        EXPECT_EQ(stream.Tell(), c.positionAfter);
    }
}

TEST(FileMemoryStream, ReadStopsAtTheEndAndWritingIsRefused)
{
    const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    File::cFileMemoryRead stream(data, 10);
    uint8_t buffer[100] = {};
    stream.Seek(8, 0);
    EXPECT_EQ(stream.Read(buffer, 100), 2);
    EXPECT_EQ(buffer[1], 9);
    EXPECT_EQ(stream.GetRemaining(), 0);
    EXPECT_EQ(stream.Write(buffer, 4), 0);
    EXPECT_STREQ(stream.GetName(), "MemoryRead");
}

TEST(FileMemoryStream, WritePastTheEndLeavesAZeroGap)
{
    File::cFileMemoryWrite stream;
    EXPECT_EQ(stream.GetData(), nullptr);
    EXPECT_EQ(stream.Seek(8, 0), 8);
    EXPECT_EQ(stream.Seek(-1, 0), -1);
    const uint8_t two[2] = {7, 8};
    EXPECT_EQ(stream.Write(two, 2), 2);
    EXPECT_EQ(stream.GetLength(), 10);
    EXPECT_EQ(Bytes(stream), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 7, 8}));

    uint8_t back[4] = {};
    stream.Seek(-3, 2);
    EXPECT_EQ(stream.Read(back, 4), 3);
    EXPECT_EQ(back[2], 8);
}

TEST(FileMemoryStream, ReadAllAllocatesExactlyWhatItReads)
{
    File::cFileMemoryRead empty(nullptr, 0);
    void* untouched = &empty;
    EXPECT_EQ(empty.ReadAll(&untouched, -1), 0);
    EXPECT_EQ(untouched, &empty);

    const uint8_t data[5] = {1, 2, 3, 4, 5};
    File::cFileMemoryRead stream(data, 5);
    void* all = nullptr;
    ASSERT_EQ(stream.ReadAll(&all, -1), 5);
    EXPECT_EQ(std::memcmp(all, data, 5), 0);
    delete[] static_cast<uint8_t*>(all);
}

TEST(FileBinaryFields, StringsAreLengthPrefixedWithTheirTerminator)
{
    File::cFileMemoryWrite out;
    cGenString abc("abc");
    cGenString empty("");
    EXPECT_TRUE(out.SerialiseString(abc));
    EXPECT_TRUE(out.SerialiseString(empty));
    EXPECT_EQ(Bytes(out), (std::vector<uint8_t>{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0, 0}));

    const std::vector<uint8_t> bytes = Bytes(out);
    File::cFileMemoryRead in(bytes.data(), int(bytes.size()));
    cGenStringFixed<4> text;
    cGenStringFixed<4> second("x");
    EXPECT_TRUE(in.SerialiseString(text));
    EXPECT_TRUE(in.SerialiseString(second));
    EXPECT_STREQ(text.CStr(), "abc");
    EXPECT_STREQ(second.CStr(), "");
    EXPECT_EQ(in.GetRemaining(), 0);
}

TEST(FileBinaryFields, AStringTooLongForItsDestinationIsSkippedInPlace)
{
    File::cFileMemoryWrite out;
    cGenString abc("abc");
    uint32_t after = 0xA1B2C3D4;
    out.SerialiseString(abc);
    out.SerialiseUInt32(&after);
    const std::vector<uint8_t> bytes = Bytes(out);

    File::cFileMemoryRead in(bytes.data(), int(bytes.size()));
    cGenStringFixed<3> small("zz");
    EXPECT_TRUE(in.SerialiseString(small));
    EXPECT_STREQ(small.CStr(), "");
    uint32_t next = 0;
    in.SerialiseUInt32(&next);
    EXPECT_EQ(next, 0xA1B2C3D4u);

    // A view refers to someone else's text and is never written, yet the
    // fields after it stay in place.
    File::cFileMemoryRead again(bytes.data(), int(bytes.size()));
    const char constant[] = "xyz";
    cGenString view(constant);
    EXPECT_TRUE(again.SerialiseString(view));
    EXPECT_STREQ(constant, "xyz");
    again.SerialiseUInt32(&next);
    EXPECT_EQ(next, 0xA1B2C3D4u);

    // A growable string takes the whole text.
    File::cFileMemoryRead third(bytes.data(), int(bytes.size()));
    cGenString growable;
    EXPECT_TRUE(third.SerialiseString(growable));
    EXPECT_STREQ(growable.CStr(), "abc");
}

TEST(FileBinaryFields, ALengthBeyondTheStreamIsACorruptField)
{
    const struct
    {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"length past the end", {200, 0, 0, 0, 'a', 'b', 0}},
        {"missing terminator byte", {3, 0, 0, 0, 'a', 'b', 'c'}},
        {"huge length", {0xff, 0xff, 0xff, 0xff, 'a', 0}},
        {"length cut short", {3, 0}},
    };
    for (const auto& c : cases)
    {
        File::cFileMemoryRead in(c.bytes.data(), int(c.bytes.size()));
        cGenStringFixed<260> text("previous");
        EXPECT_FALSE(in.SerialiseString(text)) << c.what;
        EXPECT_STREQ(text.CStr(), "") << c.what;
    }
}

TEST(FileBinaryFields, OneRoutineReadsWhatItWrote)
{
    struct sRecord
    {
        int32_t a = 0;
        uint8_t b = 0;
        float c = 0.0f;
        cGenStringFixed<32> name;
        bool Serialise(File::cFile& stream)
        {
            return stream.SerialiseInt32(&a) == 4 && stream.SerialiseByte(&b) == 1 && stream.SerialiseFloat(&c) == 4 &&
                   stream.SerialiseString(name);
        }
    };
    sRecord written;
    written.a = -5;
    written.b = 200;
    written.c = -0.1f;
    written.name = "Kick";
    File::cFileMemoryWrite out;
    ASSERT_TRUE(written.Serialise(out));
    const std::vector<uint8_t> bytes = Bytes(out);
    EXPECT_EQ(bytes.size(), 4u + 1u + 4u + 4u + 5u);

    File::cFileMemoryRead in(bytes.data(), int(bytes.size()));
    // Both version words start at 0; the readers of versioned data set them.
    EXPECT_EQ(in.GetFileVersion(), 0);
    EXPECT_EQ(in.GetLegacyPatchVersion(), 0);
    sRecord read;
    ASSERT_TRUE(read.Serialise(in));
    EXPECT_EQ(read.a, -5);
    EXPECT_EQ(read.b, 200);
    EXPECT_EQ(read.c, -0.1f);
    EXPECT_STREQ(read.name.CStr(), "Kick");
}

TEST(Base64, EncodingBreaksLinesAfterEighteenGroups)
{
    EXPECT_EQ(Encode(""), std::string(1, '\0'));
    EXPECT_EQ(Encode("abc"), std::string("YWJj\r\n") + '\0');
    EXPECT_EQ(Encode("a"), std::string("YQ==\r\n") + '\0');
    EXPECT_EQ(Encode("ab"), std::string("YWI=\r\n") + '\0');

    const std::string text = Encode(std::string(55, 'x'));
    const size_t firstBreak = text.find("\r\n");
    EXPECT_EQ(firstBreak, 72u);
    EXPECT_EQ(text.size(), 72u + 2u + 4u + 2u + 1u);
    EXPECT_EQ(text.substr(74), std::string("eA==\r\n") + '\0');
}

TEST(Base64, DecodingIsLenientAndReversesTheEncoder)
{
    EXPECT_EQ(Decode("YWJj"), "abc");
    EXPECT_EQ(Decode("YQ=="), "a");
    EXPECT_EQ(Decode("YW\r\nJj"), "abc");
    EXPECT_EQ(Decode("Y"), "") << "a single leftover character yields no byte";
    EXPECT_EQ(Decode("YWI"), "ab");

    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes.push_back(char(i * 7));
    std::string encoded = Encode(bytes);
    encoded.pop_back();
    EXPECT_EQ(Decode(encoded), bytes);

    std::vector<uint8_t> out = {9};
    Base64Decode("YQ==", 4, out);
    EXPECT_EQ(out, (std::vector<uint8_t>{9, 'a'})) << "appends to what the output holds";
}
