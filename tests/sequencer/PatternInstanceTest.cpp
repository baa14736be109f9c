#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SongFixture.h"

namespace
{
struct cPiece
{
    int32_t start;
    int32_t length;
    bool shared;
    std::vector<int32_t> times; // event times of the piece's pattern
};

cPiece Describe(const cPatternInstance* part)
{
    cPiece piece{part->start, part->length, part->IsShared(), {}};
    for (const cPatternEvent* e = part->pattern ? part->pattern->head : nullptr; e; e = e->next)
        piece.times.push_back(e->time);
    return piece;
}

void ExpectPiece(const cPatternInstance* part, const cPiece& expected, const std::string& what)
{
    ASSERT_NE(part, nullptr) << what;
    const cPiece actual = Describe(part);
    EXPECT_EQ(actual.start, expected.start) << what;
    EXPECT_EQ(actual.length, expected.length) << what;
    EXPECT_EQ(actual.shared, expected.shared) << what;
    EXPECT_EQ(actual.times, expected.times) << what;
}

class cPatternInstanceTest : public cSongFixture
{
protected:
    // A 4-bar part at bar 1 on the 1-bar shared pattern 1 with notes at 0, 256, 512 and 768.
    cPatternInstance* SharedPart()
    {
        cPattern& bar = Pattern(1);
        bar.loopLength = 1024;
        for (int32_t t : {0, 256, 512, 768})
            AddNote(bar, t, 60, 100);
        cPatternInstance* part = cPatternInstance::Create();
        part->SetPattern(1);
        part->start = 1024;
        part->length = 4096;
        part->programWord = cPatternInstance::kProgramChangeBit | 0x0103;
        return part;
    }

    // A 4-bar part on a private pattern with notes at 100, 1100 and 3000.
    cPatternInstance* PrivatePart()
    {
        cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
        part->start = 2048;
        part->length = 4096;
        part->pattern->loopLength = 4096;
        for (int32_t t : {100, 1100, 3000})
            AddNote(*part->pattern, t, 60, 100);
        return part;
    }
};
} // namespace

TEST_F(cPatternInstanceTest, NewPartsAreFourBarsOnTheirPattern)
{
    cPatternInstance* empty = cPatternInstance::Create();
    EXPECT_EQ(empty->patternNumber, -1);
    EXPECT_EQ(empty->pattern, nullptr);
    EXPECT_EQ(empty->length, 4096);
    EXPECT_EQ(empty->programWord, 0u);
    cPatternInstance* owned = cPatternInstance::CreateWithPrivatePattern();
    cPatternInstance* shared = cPatternInstance::CreateWithSharedPattern();
    EXPECT_EQ(owned->patternNumber, 100);
    EXPECT_EQ(Pattern(100).referenceCount, 1);
    EXPECT_EQ(shared->patternNumber, 1);
    owned->Release();
    shared->Release();
    empty->Release();
    EXPECT_EQ(Pattern(100).referenceCount, 0);
    EXPECT_EQ(Pattern(1).referenceCount, 0);
}

// A number outside the table is refused and the part keeps its pattern.
TEST_F(cPatternInstanceTest, SetPatternRefusesNumbersOutsideTheTable)
{
    cPatternInstance* part = cPatternInstance::Create();
    ASSERT_TRUE(part->SetPattern(5));
    for (int32_t number : {-2, 2100, 5000, -100000})
    {
        EXPECT_FALSE(part->SetPattern(number)) << number;
        EXPECT_EQ(part->patternNumber, 5);
        EXPECT_EQ(part->pattern, &Pattern(5));
    }
    EXPECT_EQ(Pattern(5).referenceCount, 1);
    EXPECT_TRUE(part->SetPattern(2099));
    EXPECT_EQ(Pattern(5).referenceCount, 0);
    EXPECT_TRUE(part->SetPattern(-1));
    EXPECT_EQ(part->pattern, nullptr);
    part->Release();
}

TEST_F(cPatternInstanceTest, SplitAndJoinCases)
{
    cPatternInstance* shared = SharedPart();
    cPatternInstance* first = nullptr;
    cPatternInstance* second = nullptr;
    cPatternInstance* third = nullptr;

    // Between loop boundaries: the rest of the interrupted pass goes private.
    ASSERT_TRUE(shared->Split(1536, &first, &second, &third));
    ExpectPiece(first, {1024, 1536, true, {0, 256, 512, 768}}, "first of three");
    ExpectPiece(second, {2560, 512, false, {0, 256}}, "private middle");
    EXPECT_EQ(second->pattern->loopLength, 512);
    EXPECT_EQ(second->programWord, shared->programWord);
    ExpectPiece(third, {3072, 2048, true, {0, 256, 512, 768}}, "shared rest");
    EXPECT_EQ(Pattern(1).referenceCount, 3);
    for (cPatternInstance* piece : {first, second, third})
        piece->Release();

    // On a loop boundary: two parts sharing the pattern.
    ASSERT_TRUE(shared->Split(2048, &first, &second, &third));
    ExpectPiece(first, {1024, 2048, true, {0, 256, 512, 768}}, "first of two");
    ExpectPiece(second, {3072, 2048, true, {0, 256, 512, 768}}, "second of two");
    EXPECT_EQ(third, nullptr);
    first->Release();
    second->Release();

    // A private part: events keep their song positions.
    cPatternInstance* owned = PrivatePart();
    ASSERT_TRUE(owned->Split(1000, &first, &second, &third));
    ExpectPiece(first, {2048, 1000, false, {100}}, "private first");
    ExpectPiece(second, {3048, 3096, false, {100, 2000}}, "private second");
    EXPECT_EQ(first->pattern->loopLength, 1000);
    EXPECT_EQ(second->pattern->loopLength, 3096);
    EXPECT_EQ(third, nullptr);
    first->Release();
    second->Release();

    // At the edges nothing is made.
    const int32_t parts = cPatternInstance::GetPoolUsedCount();
    for (int32_t offset : {0, -5, 4096, 5000})
    {
        EXPECT_FALSE(owned->Split(offset, &first, &second, &third)) << offset;
        EXPECT_EQ(first, nullptr);
        EXPECT_EQ(second, nullptr);
        EXPECT_EQ(third, nullptr);
    }
    EXPECT_EQ(cPatternInstance::GetPoolUsedCount(), parts);
    owned->Release();
    shared->Release();
}

TEST_F(cPatternInstanceTest, WithoutAFreePrivatePatternNothingIsMade)
{
    cPatternInstance* shared = SharedPart();
    cPatternInstance* owned = PrivatePart();
    for (int32_t i = 100; i < 2100; ++i)
        Pattern(i).referenceCount = std::max(Pattern(i).referenceCount, 1);
    const int32_t parts = cPatternInstance::GetPoolUsedCount();
    cPatternInstance* first = nullptr;
    cPatternInstance* second = nullptr;
    cPatternInstance* third = nullptr;
    EXPECT_FALSE(shared->Split(1536, &first, &second, &third));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(Pattern(1).referenceCount, 1);
    EXPECT_EQ(owned->Clone(0, 4096), nullptr);
    EXPECT_EQ(cPatternInstance::CreateWithPrivatePattern(), nullptr);
    EXPECT_EQ(cPatternInstance::GetPoolUsedCount(), parts);
    for (int32_t i = 101; i < 2100; ++i)
        Pattern(i).referenceCount = 0;
    shared->Release();
    owned->Release();
}

TEST_F(cPatternInstanceTest, JoinRunsASharedPatternOnOrMakesAPrivateOne)
{
    cPattern& bar = Pattern(1);
    bar.loopLength = 1024;
    AddNote(bar, 0, 60, 100);
    AddNote(bar, 512, 62, 100);
    cPatternInstance* x = cPatternInstance::Create();
    x->SetPattern(1);
    x->start = 0;
    x->length = 2048;
    cPatternInstance* y = cPatternInstance::Create();
    y->SetPattern(1);
    y->start = 2048;
    y->length = 1024;

    cPatternInstance* joined = y->Join(x); // either order
    ExpectPiece(joined, {0, 3072, true, {0, 512}}, "runs on");
    EXPECT_EQ(joined->patternNumber, 1);
    joined->Release();

    x->length = 1536;
    y->start = 1536;
    joined = x->Join(y);
    ExpectPiece(joined, {0, 2560, false, {0, 512, 1024, 1536, 2048}}, "private");
    EXPECT_EQ(joined->pattern->loopLength, 2560);
    joined->Release();
    x->Release();
    y->Release();
}

TEST_F(cPatternInstanceTest, ClonesCopyPrivateEventsAndShareSharedOnes)
{
    cPatternInstance* owned = PrivatePart();
    cPatternInstance* window = owned->Clone(1000, 3000);
    ExpectPiece(window, {2048, 4096, false, {1100}}, "window");
    cPatternInstance* moved = owned->CloneWithOffset(4096);
    ExpectPiece(moved, {6144, 4096, false, {100, 1100, 3000}}, "moved");
    EXPECT_NE(moved->pattern, owned->pattern);

    cPatternInstance* shared = SharedPart();
    cPatternInstance* converted = owned->ConvertToSharedPattern();
    ASSERT_NE(converted, nullptr);
    EXPECT_TRUE(converted->IsShared());
    EXPECT_EQ(converted->pattern->loopLength, 4096);
    ExpectPiece(converted, {2048, 4096, true, {100, 1100, 3000}}, "converted");
    for (cPatternInstance* part : {owned, window, moved, shared, converted})
        part->Release();
}
