#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "SongEditFixture.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/Transport.h"
#include "audio/WaitUntil.h"
#include "base/CriticalSection.h"
#include "editors/PianoRoll.h"
#include "editors/SequencerUI.h"
#include "editors/SongEditAction.h"
#include "editors/SongRoll.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/TestBlockDriver.h"
#include "sequencer/Track.h"

namespace
{
// The page over the whole screen on a song of two tracks: a four-bar private
// part on track 0 and an eight-bar part on shared pattern 3 on track 1.
class SequencerUITest : public cSongEditTest
{
protected:
    SequencerUITest()
    {
        cTrack* first = world.AddTrack(0);
        cTrack* second = world.AddTrack(1);
        open = world.AddPrivatePart(first, 0, 4 * kBar);
        other = world.AddSharedPart(second, 3, 4 * kBar, 8 * kBar, 8 * kBar);
        world.FillNotes(*open->pattern, 4 * kBar, 256);
        page = new cSequencerUI();
        Place(page, {0.0f, 0.0f, 1024.0f, 768.0f});
        page->ResetToSongView(world.sequencer.GetTrackList());
        Frame();
    }
    ~SequencerUITest() override
    {
        if (page)
            root->RemoveChild(page);
    }

    cPianoRoll& Piano() const { return *page->GetPianoRoll(); }
    cSongEditModel& Song() const { return page->GetSongRoll()->GetModel(); }

    // What recording does: the event written under the lock, then the hook.
    void RecordNote(cPatternInstance* part, int32_t time)
    {
        cScopedLock lock(world.sequencer.GetLock());
        world.AddNote(*part->pattern, time, 60, 64);
        NotifyPatternEventChanged(kModelAdded, part->pattern, nullptr);
    }

    cPatternInstance* open = nullptr;
    cPatternInstance* other = nullptr;
    cSequencerUI* page = nullptr;
};

TEST_F(SequencerUITest, ChangesFromAnotherThreadRebuildTheVisibleRollOncePerFrameAndKeepTheHiddenOnesBits)
{
    page->EditPart(open);
    ASSERT_EQ(page->GetViewMode(), cSequencerUI::kPatternView);
    std::atomic<bool> done{false};
    std::thread recorder(
        [&]
        {
            for (int i = 0; i < 2000; ++i)
            {
                cScopedLock lock(world.sequencer.GetLock());
                NotifyPatternEventChanged(i % 3 == 0 ? kModelChanged : kModelAdded, open->pattern, nullptr);
                NotifyPatternEventChanged(kModelChanged, other->pattern, nullptr);
                NotifyPatternInstanceChanged(kModelChanged, other);
            }
            done = true;
        });
    while (!done)
        Frame();
    recorder.join();
    {
        cScopedLock lock(world.sequencer.GetLock());
        NotifyPatternEventChanged(kModelChanged, open->pattern, nullptr);
        NotifyPatternEventChanged(kModelAdded, open->pattern, nullptr);
    }
    EXPECT_EQ(page->PeekPatternChanges(), uint32_t(cSequencerUI::kRebuild | cSequencerUI::kRefresh));
    Frame();
    EXPECT_EQ(page->PeekPatternChanges(), 0u);
    EXPECT_EQ(page->PeekSongChanges(), uint32_t(cSequencerUI::kRefresh)) << "the hidden song roll keeps its bit";
    EXPECT_EQ(page->GetViewMode(), cSequencerUI::kPatternView) << "only the open part's own change leaves";
    page->ShowSongView();
    Frame();
    EXPECT_EQ(page->PeekSongChanges(), 0u);
}

TEST_F(SequencerUITest, ARecordedNoteRebuildsThePianoRollOnlyForTheOpenPattern)
{
    page->EditPart(open);
    Frame();
    const int32_t before = Piano().GetModel().GetViewCount();

    RecordNote(other, 0);
    Frame();
    EXPECT_EQ(Piano().GetModel().GetViewCount(), before);
    EXPECT_EQ(page->PeekSongChanges(), uint32_t(cSequencerUI::kRefresh));

    RecordNote(open, 100);
    EXPECT_EQ(page->PeekPatternChanges(), uint32_t(cSequencerUI::kRebuild));
    Frame();
    EXPECT_EQ(Piano().GetModel().GetViewCount(), before + 1);
    EXPECT_TRUE(modified.load());
}

TEST_F(SequencerUITest, AnOpenPartLengthenedByRecordingLeavesOneEditPartStep)
{
    page->EditPart(open);
    Piano().GetModel().BackupPattern();
    {
        cScopedLock lock(world.sequencer.GetLock());
        world.AddNote(*open->pattern, 512, 72, 64);
        open->owner->SetPartLength(open, 5 * kBar);
        NotifyPatternInstanceChanged(kModelChanged, open);
    }
    Frame();
    EXPECT_EQ(page->GetViewMode(), cSequencerUI::kSongView);
    ASSERT_EQ(Song().GetStepCount(), 1);
    EXPECT_STREQ(Song().GetStep(0)->GetName(), "Edit part");
    EXPECT_EQ(Song().FindView(open)->end, float(5 * kBar)) << "the lengthened part's view refilled";
}

TEST_F(SequencerUITest, AnOpenPartRemovedByRecordUndoLeavesNoStep)
{
    page->EditPart(open);
    Piano().GetModel().BackupPattern();
    {
        cScopedLock lock(world.sequencer.GetLock());
        cTrack* track = open->owner;
        track->RemovePart(open);
        open->Release();
        NotifyPatternInstanceChanged(kModelRemoved, open);
    }
    Frame();
    EXPECT_EQ(page->GetViewMode(), cSequencerUI::kSongView);
    EXPECT_EQ(Song().GetStepCount(), 0);
    EXPECT_EQ(Song().GetViewCount(), 1) << "the song roll made its views again";
}

// Notes played live while recording, through the audio thread of the
// dummy audio device, reach the open piano roll on the next frames.
TEST_F(SequencerUITest, LiveNotesRecordedOnTheAudioThreadReachTheOpenPianoRoll)
{
    using namespace std::chrono_literals;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    page->EditPart(open);
    Frame();
    const int32_t before = Piano().GetModel().GetViewCount();
    gTransport.countInBars = 0;
    world.sequencer.SetLoopEnabled(false);
    world.sequencer.SetPosition(0); // inside the open part
    cAudioManager manager;
    cTestBlockDriver driver(world.sequencer, world.slots);
    manager.GetOutputPort()->AddListener(&driver);
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    settings.bufferLatency = 4;
    ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
    world.sequencer.Record();
    ASSERT_TRUE(WaitUntil([&] { return driver.blocks.load() > 4; }, kStateWait));
    for (uint8_t note : {72, 74, 76})
    {
        cAudioEvent on;
        on.type = kAudioEventNoteOn;
        on.SetNote(note, 100);
        on.wordB = (kVoiceSourceMIDI << 24) | note;
        cAudioEvent off = on;
        off.type = kAudioEventNoteOff;
        off.SetNote(note, 0);
        // Held for a beat, longer than the record grid's step.
        ASSERT_TRUE(world.sequencer.PostEvent(on));
        const int32_t from = gTransport.position.load();
        ASSERT_TRUE(WaitUntil([&] { return gTransport.position.load() >= from + 256; }, kStateWait));
        ASSERT_TRUE(world.sequencer.PostEvent(off));
        ASSERT_TRUE(WaitUntil([&] { return gTransport.position.load() >= from + 512; }, kStateWait));
    }
    world.sequencer.Stop();
    manager.Shutdown();
    manager.GetOutputPort()->RemoveListener(&driver);
    gTransport.countInBars = 1;
    Frame();
    EXPECT_EQ(page->GetViewMode(), cSequencerUI::kPatternView);
    EXPECT_EQ(Piano().GetModel().GetViewCount(), before + 3);
    EXPECT_EQ(page->PeekPatternChanges(), 0u);
    EXPECT_NE(page->PeekSongChanges(), 0u) << "kept for the song roll";
}

TEST_F(SequencerUITest, SwitchingToTheViewShownDoesNothing)
{
    page->ShowSongView();
    EXPECT_EQ(page->GetViewMode(), cSequencerUI::kSongView);
    EXPECT_TRUE(page->GetSongRoll()->IsVisible());
    page->EditPart(open);
    page->EditPart(other);
    EXPECT_EQ(Piano().GetPart(), open);
    EXPECT_FALSE(page->GetSongRoll()->IsVisible());
    EXPECT_TRUE(Piano().IsVisible());
}

TEST_F(SequencerUITest, ResetToSongViewDropsTheUnsavedCopyAndFramesTheParts)
{
    page->EditPart(open);
    Piano().GetModel().BackupPattern();
    page->ResetToSongView(world.sequencer.GetTrackList());
    EXPECT_EQ(page->GetViewMode(), cSequencerUI::kSongView);
    EXPECT_EQ(Piano().GetPart(), nullptr);
    EXPECT_EQ(Piano().GetModel().GetBackup(), nullptr);
    EXPECT_EQ(Song().GetStepCount(), 0) << "no \"Edit part\" step";
    // Parts from bar 1 to the end of bar 12, a tenth of that on each side
    // (the view stops at the song's start).
    const cSongRoll::cView& view = page->GetSongRoll()->GetView();
    EXPECT_FLOAT_EQ(view.left, 0.0f);
    EXPECT_FLOAT_EQ(view.width, 1.2f * 12.0f * kBar);
    EXPECT_FLOAT_EQ(view.top, 0.0f);
}

TEST_F(SequencerUITest, ADeletedPageLeavesNoHookPointingAtIt)
{
    root->RemoveChild(page);
    page = nullptr;
    EXPECT_TRUE(OnPatternEventChanged.IsEmpty());
    EXPECT_TRUE(OnPatternInstanceChanged.IsEmpty());
    RecordNote(open, 0); // would call the deleted page

    // A page whose hooks another has taken leaves that one's alone.
    cSequencerUI* first = new cSequencerUI();
    cSequencerUI* second = new cSequencerUI();
    first->Release();
    EXPECT_TRUE(OnPatternEventChanged.IsBoundTo(second));
    EXPECT_TRUE(OnPatternInstanceChanged.IsBoundTo(second));
    second->Release();
    EXPECT_TRUE(OnPatternInstanceChanged.IsEmpty());
}
} // namespace
