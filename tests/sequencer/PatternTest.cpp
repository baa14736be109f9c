#include <gtest/gtest.h>

#include <vector>

#include "SongFixture.h"
#include "sequencer/BlockPool.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
std::vector<int32_t> Times(const cPattern& pattern)
{
    std::vector<int32_t> times;
    for (const cPatternEvent* e = pattern.head; e; e = e->next)
        times.push_back(e->time);
    return times;
}

std::vector<const cPatternEvent*> Order(const cPattern& pattern)
{
    std::vector<const cPatternEvent*> order;
    for (const cPatternEvent* e = pattern.head; e; e = e->next)
        order.push_back(e);
    return order;
}

// Links run both ways and the count matches.
void ExpectConsistent(const cPattern& pattern)
{
    int32_t count = 0;
    const cPatternEvent* previous = nullptr;
    for (const cPatternEvent* e = pattern.head; e; e = e->next, ++count)
    {
        EXPECT_EQ(e->previous, previous);
        if (previous)
        {
            EXPECT_LE(previous->time, e->time);
        }
        previous = e;
    }
    EXPECT_EQ(pattern.tail, previous);
    EXPECT_EQ(pattern.count, count);
}

using cPatternTest = cSongFixture;
} // namespace

TEST(PatternEventTest, PoolGrowsByBlocksAndGivesThemBack)
{
    const int32_t blocks = cPatternEvent::GetPoolBlockCount();
    const int32_t used = cPatternEvent::GetPoolUsedCount();
    std::vector<cPatternEvent*> events;
    for (int i = 0; i < cPatternEvent::kPoolBlock + 1; ++i)
        events.push_back(cPatternEvent::Allocate());
    EXPECT_GE(cPatternEvent::GetPoolBlockCount(), blocks + 1);
    EXPECT_EQ(cPatternEvent::GetPoolUsedCount(), used + cPatternEvent::kPoolBlock + 1);
    EXPECT_EQ(events[5]->time, 0);
    EXPECT_EQ(events[5]->next, nullptr);
    cPatternEvent stranger;
    cPatternEvent::Free(&stranger); // not the pool's: ignored
    for (cPatternEvent* event : events)
        cPatternEvent::Free(event);
    EXPECT_EQ(cPatternEvent::GetPoolUsedCount(), used);
    EXPECT_EQ(cPatternEvent::GetPoolBlockCount(), blocks);
}

// Topped up, a pool holds free records ready for the audio thread; a block
// emptied there is kept until the main thread's next top-up, and the main
// thread keeps the reserve when it frees.
TEST(PatternEventTest, APoolKeepsItsReserveAndFreesNothingOnTheAudioThread)
{
    struct cItem
    {
        int32_t value = 0;
    };
    cBlockPool<cItem, 4> pool;
    pool.TopUp(6);
    EXPECT_EQ(pool.GetBlockCount(), 2);
    std::vector<cItem*> items;
    for (int i = 0; i < 8; ++i)
        items.push_back(pool.Allocate());
    EXPECT_EQ(pool.GetBlockCount(), 2);
    {
        const cKeepEmptyPoolBlocks audioThread;
        for (cItem* item : items)
            pool.Free(item);
    }
    EXPECT_EQ(pool.GetBlockCount(), 2);
    EXPECT_EQ(pool.GetFreeCount(), 8);
    pool.TopUp(3);
    EXPECT_EQ(pool.GetBlockCount(), 1);
    items.clear();
    for (int i = 0; i < 8; ++i)
        items.push_back(pool.Allocate());
    for (cItem* item : items)
        pool.Free(item);
    EXPECT_EQ(pool.GetBlockCount(), 1) << "the reserve stays";
    pool.TopUp(0);
    EXPECT_EQ(pool.GetBlockCount(), 0);
}

TEST(PatternEventTest, ValuesAreClampedToTheirRanges)
{
    cPatternEvent event;
    event.SetControllerValue(32700);
    event.AddControllerValue(100);
    EXPECT_EQ(event.GetControllerValue(), 32767);
    event.SetControllerValue(-32700);
    event.AddControllerValue(-100);
    EXPECT_EQ(event.GetControllerValue(), -32768);
    EXPECT_EQ(event.data1, 0x80);
    EXPECT_EQ(event.data2, 0x00);
    event.SetControllerValue(-2);
    EXPECT_EQ(event.GetControllerValue(), -2);

    event.SetVelocity(0);
    EXPECT_EQ(event.data2, 1);
    event.SetVelocity(200);
    EXPECT_EQ(event.data2, 127);
    event.AddVelocity(-500);
    EXPECT_EQ(event.data2, 1);
    event.SetNote(120);
    event.Transpose(12);
    EXPECT_EQ(event.data1, 127);
    event.SetNote(-5);
    EXPECT_EQ(event.data1, 0);
    event.length = 5;
    event.AddLength(-10);
    EXPECT_EQ(event.length, 1);

    cPatternEvent recorded;
    recorded.flags = cPatternEvent::kFlagController | (9 << cPatternEvent::kSessionShift);
    recorded.data3 = 7;
    recorded.time = 33;
    cPatternEvent copy;
    copy.CopyFrom(recorded);
    EXPECT_EQ(copy.flags, cPatternEvent::kFlagController);
    EXPECT_EQ(copy.data3, 7);
    EXPECT_EQ(copy.time, 33);
}

TEST_F(cPatternTest, EqualTimesKeepTheirInsertionOrder)
{
    cPattern& pattern = Pattern(1);
    cPatternEvent* a = AddNote(pattern, 100, 60, 10);
    cPatternEvent* b = AddNote(pattern, 100, 61, 10);
    cPatternEvent* early = AddNote(pattern, 50, 62, 10);
    cPatternEvent* c = AddNote(pattern, 100, 63, 10);
    cPatternEvent* late = AddNote(pattern, 900, 64, 10);
    cPatternEvent* d = AddNote(pattern, 100, 65, 10);
    EXPECT_EQ(Order(pattern), (std::vector<const cPatternEvent*>{early, a, b, c, d, late}));
    ExpectConsistent(pattern);
    EXPECT_EQ(pattern.FindInsertPosition(100, late), d);
    EXPECT_EQ(pattern.FindInsertPosition(10, late), nullptr);
    EXPECT_EQ(pattern.FindInsertPosition(5000, early), late);
}

TEST_F(cPatternTest, TheTableHoldsTwoThousandOneHundredPatterns)
{
    EXPECT_EQ(patterns.GetCount(), 2100);
    EXPECT_EQ(patterns.GetPattern(-1), nullptr);
    EXPECT_EQ(patterns.GetPattern(2100), nullptr);
    EXPECT_EQ(patterns.GetPattern(2099)->number, 2099);
    EXPECT_FALSE(Pattern(99).IsPrivate());
    EXPECT_TRUE(Pattern(100).IsPrivate());
    EXPECT_EQ(Pattern(7).loopLength, 4096);
}

TEST_F(cPatternTest, FreeSharedPatternsStartAtOneAndPreferEmptyOnes)
{
    AddNote(Pattern(1), 0, 60, 10); // unused but not empty
    EXPECT_EQ(FindFreeSharedPattern(), 2);
    for (int32_t i = 2; i < 100; ++i)
        Pattern(i).referenceCount = 1;
    EXPECT_EQ(FindFreeSharedPattern(), 1);
    EXPECT_EQ(Pattern(1).count, 0) << "a reused pattern is cleared";
    Pattern(1).referenceCount = 1;
    Pattern(0).referenceCount = 0;
    EXPECT_EQ(FindFreeSharedPattern(), -1) << "pattern 0 is never handed out";

    EXPECT_EQ(FindFreePrivatePattern(), 100);
    for (int32_t i = 100; i < 2100; ++i)
        Pattern(i).referenceCount = 1;
    EXPECT_EQ(FindFreePrivatePattern(), -1);
}

TEST_F(cPatternTest, UnusedSharedAndOrphanPrivatePatternsAreCleared)
{
    AddNote(Pattern(3), 0, 60, 10);
    AddNote(Pattern(3), 10, 60, 10);
    AddNote(Pattern(4), 0, 60, 10);
    Pattern(4).referenceCount = 1;
    AddNote(Pattern(150), 0, 60, 10);
    int32_t cleared = 0, events = 0;
    ClearUnusedPatterns(&cleared, &events);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(Pattern(3).count, 0);
    EXPECT_EQ(Pattern(4).count, 1);
    EXPECT_EQ(ClearOrphanPrivatePatterns(), 1);
    EXPECT_EQ(Pattern(150).count, 0);
}

TEST_F(cPatternTest, ReleaseClearsAPrivatePatternAtItsLastPartOnly)
{
    cPattern& privatePattern = Pattern(120);
    AddNote(privatePattern, 0, 60, 10);
    privatePattern.loopLength = 1024;
    privatePattern.referenceCount = 1;
    privatePattern.Release();
    EXPECT_EQ(privatePattern.count, 0);
    EXPECT_EQ(privatePattern.referenceCount, 0);
    EXPECT_EQ(privatePattern.loopLength, 4096);

    cPattern& shared = Pattern(5);
    AddNote(shared, 0, 60, 10);
    shared.referenceCount = 1;
    shared.Release();
    EXPECT_EQ(shared.count, 1);
    EXPECT_EQ(shared.referenceCount, 0);
    shared.Release();
    EXPECT_EQ(shared.referenceCount, 0);
}

TEST_F(cPatternTest, CopyRepeatedUnrollsThePatternOverTheLength)
{
    cPattern& bar = Pattern(1);
    bar.loopLength = 1024;
    AddNote(bar, 0, 60, 100);
    AddNote(bar, 512, 64, 100);
    AddNote(bar, 1500, 67, 100); // past the loop: never repeated
    cPattern& unrolled = Pattern(101);
    unrolled.CopyRepeated(bar, 4096);
    EXPECT_EQ(Times(unrolled), (std::vector<int32_t>{0, 512, 1024, 1536, 2048, 2560, 3072, 3584}));
    ExpectConsistent(unrolled);

    cPattern& capped = Pattern(102);
    capped.CopyRepeated(bar, 1 << 30);
    EXPECT_EQ(capped.count, cPattern::kMaxEvents);

    cPattern& onlyLate = Pattern(2);
    onlyLate.loopLength = 100;
    AddNote(onlyLate, 200, 60, 10);
    cPattern& none = Pattern(103);
    none.CopyRepeated(onlyLate, 4096); // nothing to repeat: ends at once
    EXPECT_EQ(none.count, 0);
    none.CopyRepeated(bar, 0);
    EXPECT_EQ(none.count, 0);
}

TEST_F(cPatternTest, CopyRangeCopiesTheWindowAndTheLoopLength)
{
    cPattern& source = Pattern(1);
    source.loopLength = 1024;
    for (int32_t t : {0, 100, 200, 300})
        AddNote(source, t, 60, 10);
    cPattern& copy = Pattern(110);
    copy.CopyRange(source, 100, 300);
    EXPECT_EQ(Times(copy), (std::vector<int32_t>{100, 200}));
    EXPECT_EQ(copy.loopLength, 1024);
    copy.ShiftEvents(-100);
    EXPECT_EQ(Times(copy), (std::vector<int32_t>{0, 100}));
}

TEST_F(cPatternTest, MovedEventsSnapToTheGridAndStayInOrder)
{
    cPattern& pattern = Pattern(1);
    cPatternEvent* a = AddNote(pattern, 0, 60, 10);
    cPatternEvent* b = AddNote(pattern, 200, 61, 10);
    cPatternEvent* c = AddNote(pattern, 400, 62, 10);
    cQuantizeGrid grid;
    cQuantizeSettings sixteenth;
    grid.Apply(sixteenth);
    pattern.MoveEvent(a, 290, &grid); // 290 snaps to 320
    EXPECT_EQ(a->time, 320);
    EXPECT_EQ(Order(pattern), (std::vector<const cPatternEvent*>{b, a, c}));
    pattern.MoveEvent(c, -390, nullptr);
    EXPECT_EQ(Order(pattern), (std::vector<const cPatternEvent*>{c, b, a}));
    EXPECT_EQ(c->time, 10);
    ExpectConsistent(pattern);
}

TEST_F(cPatternTest, CopiesOfEventsLandAtTheirOffset)
{
    cPattern& source = Pattern(1);
    cPatternEvent* note = AddNote(source, 96, 60, 10);
    cPatternEvent* copy = cPattern::CopyEventFrom(source, note, source, 1000);
    EXPECT_EQ(copy->time, 1096);
    EXPECT_EQ(source.tail, copy);
    cPatternEvent* elsewhere = cPattern::CopyEventFrom(source, note, Pattern(2), -96);
    EXPECT_EQ(elsewhere->time, 0);
    EXPECT_EQ(Pattern(2).head, elsewhere);
}

TEST_F(cPatternTest, RecordingSearchesFindTheMatchingNeighbour)
{
    cPattern& pattern = Pattern(1);
    cPatternEvent* note = AddNote(pattern, 100, 60, 10);
    cPatternEvent* controller = cPatternEvent::Allocate();
    controller->flags = cPatternEvent::kFlagController | (3 << cPatternEvent::kSessionShift);
    controller->data3 = 5;
    controller->time = 110;
    pattern.InsertEventSorted(controller);

    cPatternEvent added;
    added.flags = controller->flags;
    added.data3 = 5;
    added.time = 120;
    EXPECT_EQ(pattern.FindController(controller, added, 16), controller);
    EXPECT_EQ(pattern.FindController(controller, added, 8), nullptr) << "outside the window";
    EXPECT_EQ(pattern.FindController(note, added, 16), controller) << "found forward";
    EXPECT_EQ(pattern.FindController(nullptr, added, 16), controller) << "from the first event";
    added.flags = cPatternEvent::kFlagController | (4 << cPatternEvent::kSessionShift);
    EXPECT_EQ(pattern.FindController(controller, added, 16), nullptr) << "another session";

    cPatternEvent same;
    same.data1 = 60;
    same.time = 100;
    EXPECT_EQ(pattern.FindNoteAt(nullptr, same), note);
    EXPECT_EQ(pattern.FindNoteAt(note, same), note);
    same.data1 = 61;
    EXPECT_EQ(pattern.FindNoteAt(note, same), nullptr);
}

// While a track plays the pattern: an event inserted ahead of the play
// position still sounds in this pass, one behind it waits for the next.
TEST_F(cPatternTest, InsertionAheadOfThePlayPositionSoundsInThisPass)
{
    cPattern& pattern = Pattern(1);
    pattern.loopLength = 1024;
    AddNote(pattern, 0, 60, 10);
    AddNote(pattern, 800, 61, 10);
    cTrack* track = AddTrack(0);
    AddPart(track, 1, 0, 4096);
    PlayFromTo(0, 504);
    Take(0);
    AddNote(pattern, 600, 72, 10);
    AddNote(pattern, 400, 73, 10);
    PlayFromTo(504, 1016);
    std::vector<int> notes;
    for (const cAudioEvent& e : OfType(Take(0), kAudioEventNoteOn))
        notes.push_back(e.GetNote());
    EXPECT_EQ(notes, (std::vector<int>{72, 61}));
    PlayFromTo(1016, 2040);
    notes.clear();
    for (const cAudioEvent& e : OfType(Take(0), kAudioEventNoteOn))
        notes.push_back(e.GetNote());
    EXPECT_EQ(notes, (std::vector<int>{60, 73, 72, 61}));
}

TEST_F(cPatternTest, RemovingASoundingNoteEndsItAtOnce)
{
    cPattern& pattern = Pattern(1);
    pattern.loopLength = 1024;
    cPatternEvent* held = AddNote(pattern, 0, 60, 900, 90);
    cPatternEvent* next = AddNote(pattern, 500, 62, 10);
    cTrack* track = AddTrack(0);
    AddPart(track, 1, 0, 1024);
    PlayFromTo(0, 104);
    const std::vector<cAudioEvent> on = OfType(Take(0), kAudioEventNoteOn);
    ASSERT_EQ(on.size(), 1u);
    pattern.RemoveEvent(held);
    const std::vector<cAudioEvent> off = OfType(Take(0), kAudioEventNoteOff);
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].GetNote(), 60);
    EXPECT_EQ(off[0].GetVelocity(), 90);
    EXPECT_EQ(off[0].wordB, on[0].wordB);
    EXPECT_EQ(track->GetSoundingCount(), 0);
    cPatternEvent::Free(held);

    // Removing the event under the cursor moves the cursor past it.
    EXPECT_EQ(track->GetCursor(), next);
    pattern.RemoveEvent(next);
    EXPECT_EQ(track->GetCursor(), nullptr);
    cPatternEvent::Free(next);
}

TEST_F(cPatternTest, ALoopLengthChangeOrASwapMakesPlayingTracksSeekAgain)
{
    cPattern& pattern = Pattern(1);
    pattern.loopLength = 1024;
    AddNote(pattern, 0, 60, 2000);
    AddNote(pattern, 300, 64, 10);
    cTrack* track = AddTrack(0);
    AddPart(track, 1, 0, 4096);
    PlayFromTo(0, 200);
    Take(0);
    pattern.SetLoopLength(100); // position 200 is the start of the third pass
    EXPECT_EQ(track->GetPositionInLoop(), 0);
    EXPECT_EQ(track->GetCursor(), pattern.head);

    cPattern& other = Pattern(2);
    AddNote(other, 50, 70, 10);
    other.loopLength = 512;
    pattern.SwapContents(other);
    const std::vector<cAudioEvent> events = Take(0);
    EXPECT_EQ(OfType(events, kAudioEventNoteOff).size(), 1u) << "the held note is stopped";
    EXPECT_EQ(OfType(events, kAudioEventReloadParams).size(), 1u);
    EXPECT_EQ(pattern.loopLength, 512);
    EXPECT_EQ(track->GetPositionInLoop(), 200);
    EXPECT_EQ(track->GetCursor(), nullptr) << "the swapped-in note at 50 is behind the position";
    EXPECT_EQ(pattern.head->data1, 70);
    EXPECT_EQ(other.count, 2);
}
