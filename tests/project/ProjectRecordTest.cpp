#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "ProjectFixture.h"
#include "RecordingHost.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "platform/GlobalSettingValues.h"
#include "project/ProjectFolders.h"
#include "project/ProjectSlots.h"
#include "sequencer/TrackList.h"

namespace ProjectTest
{
namespace
{
using cProjectRecordTest = cProjectFixture;

TEST_F(cProjectRecordTest, ANewProjectHasTheDefaultInstrumentsEachWithATrack)
{
    cRecordingHost host;
    cProject& p = NewProject("User/Projects/Song.prj");
    EXPECT_STREQ(p.GetName().CStr(), "Song");
    EXPECT_STREQ(p.GetPath().CStr(), "User/Projects/Song.prj");
    const struct
    {
        const char* package;
        const char* name;
    } expected[] = {{"Mixer", "Mixer"}, {"VRX", "VRX"}, {"Kest", "Kest 1"}, {"Kest", "Kest 2"}, {"Kest", "Kest 3"},
                    {"Kest", "Kest 4"}};
    cTrackList* tracks = sequencer->GetTrackList();
    for (int32_t slot = 0; slot < 16; ++slot)
    {
        SCOPED_TRACE(slot);
        const cTrackList::cGroup& group = tracks->GetGroup(slot);
        if (slot >= 6)
        {
            EXPECT_EQ(Slot(slot), nullptr);
            EXPECT_EQ(group.first, group.end);
            continue;
        }
        ASSERT_NE(Slot(slot), nullptr);
        EXPECT_STREQ(Slot(slot)->GetPackage()->GetName(), expected[slot].package);
        EXPECT_STREQ(Slot(slot)->GetName(), expected[slot].name);
        EXPECT_EQ(group.end - group.first, 1);
    }
    // The mixer takes the instruments' outputs in slot order.
    cMixer* mixer = GetMixer();
    ASSERT_NE(mixer, nullptr);
    ASSERT_EQ(mixer->GetInputCount(), 5);
    for (int32_t i = 0; i < 5; ++i)
        EXPECT_EQ(mixer->GetChannel(i)->owner, Slot(i + 1));
    EXPECT_EQ(p.GetRestoreUIPage(), cProject::kPageInstrument);
    EXPECT_EQ(p.GetRestoreInstrumentIndex(), 1);
    EXPECT_EQ(kest->reloads, 1);
    EXPECT_EQ(kest->lastFresh, 0);
    EXPECT_EQ(host.songViewResets, 1);
    EXPECT_FALSE(p.IsModified());
}

TEST_F(cProjectRecordTest, SlotChangesKeepTheMixersInputsInSlotOrder)
{
    NewProject();
    cInstrument* late = kest->CreateInstrument(0);
    cInstrument* early = kest->CreateInstrument(0);
    EXPECT_EQ(SetInstrumentSlot(late, 9, true), nullptr);
    EXPECT_EQ(SetInstrumentSlot(early, 7, true), nullptr);
    cMixer* mixer = GetMixer();
    ASSERT_EQ(mixer->GetInputCount(), 7);
    EXPECT_EQ(mixer->GetChannel(5)->owner, early);
    EXPECT_EQ(mixer->GetChannel(6)->owner, late);

    // Taken out without deleting: the caller gets it back, and its strip leaves.
    EXPECT_EQ(SetInstrumentSlot(nullptr, 7, false), early);
    EXPECT_EQ(mixer->GetInputCount(), 6);
    kest->DestroyInstrument(early);
    EXPECT_EQ(SetInstrumentSlot(nullptr, 16, true), nullptr);
    EXPECT_EQ(SetInstrumentSlot(nullptr, -1, true), nullptr);
}

TEST_F(cProjectRecordTest, SlotWideOperationsReachEveryInstrument)
{
    NewProject();
    for (int32_t slot = 1; slot < 6; ++slot)
        StandIn(slot)->Module().Take();
    StopAllInstruments(kStopAllForChange);
    ResetAllInstrumentModules();
    for (int32_t slot = 1; slot < 6; ++slot)
    {
        EXPECT_EQ(StandIn(slot)->lastAllNotesOff, int64_t(kStopAllForChange));
        ASSERT_EQ(StandIn(slot)->Module().Take(), 1);
        EXPECT_EQ(StandIn(slot)->Module().events[0].type, kAudioEventReset);
    }
    vrx->sampleInUse = "User/Samples/Kick.wav";
    EXPECT_TRUE(IsSampleInUseByProject(cGenString("User/Samples/Kick.wav")));
    EXPECT_FALSE(IsSampleInUseByProject(cGenString("User/Samples/Snare.wav")));
}

TEST_F(cProjectRecordTest, ActivationConnectsOutputMIDIAndScreensAndDeactivationUndoesIt)
{
    cRecordingHost host;
    cAudioManager audio;
    cProject& p = NewProject("User/Projects/Untitled-01.prj");
    p.Activate();
    EXPECT_TRUE(p.IsActive());
    EXPECT_TRUE(std::filesystem::is_directory(Native("User/Projects/Untitled-01.prj")));
    EXPECT_FALSE(audio.MIDISink.IsEmpty());
    EXPECT_EQ(audio.GetOutputPort()->GetListenerCount(), 1);
    EXPECT_EQ(host.selectorResets, 1);
    ASSERT_EQ(host.pages.size(), 1u);
    EXPECT_EQ(host.pages[0].page, cProject::kPageInstrument);
    EXPECT_EQ(host.pages[0].instrument, 1);
    EXPECT_EQ(host.currentPath, "User/Projects/Untitled-01.prj");

    // Twice is harmless: the mixer is listed once.
    p.Activate();
    EXPECT_EQ(audio.GetOutputPort()->GetListenerCount(), 1);

    p.Deactivate();
    EXPECT_FALSE(p.IsActive());
    EXPECT_TRUE(audio.MIDISink.IsEmpty());
    EXPECT_EQ(audio.GetOutputPort()->GetListenerCount(), 0);
    for (int32_t slot = 1; slot < 6; ++slot)
        EXPECT_EQ(StandIn(slot)->lastAllNotesOff, int64_t(kStopAllForChange));
    // The untouched new project leaves nothing behind.
    EXPECT_FALSE(std::filesystem::exists(Native("User/Projects/Untitled-01.prj")));

    gSettings.startOnProjectPage = 1;
    p.Activate();
    gSettings.startOnProjectPage = 0;
    EXPECT_EQ(host.pages.back().page, cProject::kPageSetup);
    WriteText(Native("User/Projects/Untitled-01.prj/Package.prj"), "kept");
    p.Deactivate();
    EXPECT_TRUE(std::filesystem::exists(Native("User/Projects/Untitled-01.prj/Package.prj")));
}

TEST_F(cProjectRecordTest, UnloadEmptiesTheSlotsAndTheSongUnderTheFrameLock)
{
    cRecordingHost host;
    cProject& p = NewProject();
    p.SetModified(true);
    // A frame being drawn keeps the unload waiting.
    host.frameLock.Enter();
    std::thread unload([&] { p.Unload(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_NE(Slot(0), nullptr);
    host.frameLock.Leave();
    unload.join();
    for (int32_t slot = 0; slot < 16; ++slot)
        EXPECT_EQ(Slot(slot), nullptr);
    EXPECT_EQ(sequencer->GetTrackList()->GetCount(), 0);
    EXPECT_TRUE(p.GetPath().IsEmpty());
    EXPECT_TRUE(p.GetName().IsEmpty());
    EXPECT_FALSE(p.IsModified());
}

TEST_F(cProjectRecordTest, DisplayNamesDropTheProjectExtension)
{
    const struct
    {
        const char* path;
        const char* name;
    } cases[] = {{"User/Projects/Song.prj", "Song"},       {"User/Projects/Song.prj.bak", "Song.bak"},
                 {"User/Projects/Song.PRJ", "Song"},       {"User/Projects/Song.prj.as", "Song"},
                 {"Song", "Song"},                         {"User/Projects/a.prj.b/Take.prj", "Take"},
                 {"User\\Projects\\Old.prj", "Old"},       {"User/Projects/My.Song.prj", "My.Song"}};
    for (const auto& c : cases)
    {
        cGenStringFixed<260> text(c.path);
        GetProjectDisplayName(text);
        EXPECT_STREQ(text.CStr(), c.name) << c.path;
    }
}
} // namespace
} // namespace ProjectTest
