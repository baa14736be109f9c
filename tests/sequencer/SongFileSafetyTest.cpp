#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "RecordingFixture.h"
#include "SongFileSupport.h"

namespace
{
using namespace std::chrono_literals;

constexpr const char* kSongPath = "Package.sng";

class cSongFileSafetyTest : public cRecordingFixture
{
protected:
    // Eight tracks of four-bar parts with a note on every eighth.
    std::vector<uint8_t> BuildSong(int32_t root)
    {
        sequencer.NewSong();
        for (int32_t slot = 0; slot < 8; ++slot)
        {
            cTrack* track = AddTrack(slot % 2);
            for (int32_t bar = 0; bar < 32; bar += 4)
            {
                std::vector<int32_t> notes;
                for (int32_t t = 0; t < 4096; t += 128)
                    notes.push_back(t);
                AddPrivatePart(track, bar * 1024, 4096, notes, 64 + root);
            }
        }
        sequencer.SetTempo(float(100 + root));
        sequencer.SetPosition(root * 10);
        return SongImage(sequencer);
    }

    cDocMount mDoc;
    cGenString error;
};

constexpr int32_t kBar = 256; // one beat a bar: the parts grow often

// Counts a part's notes and bars: recording one note per bar into a growing
// part keeps the two equal at every moment the song is consistent.
bool EveryPartHasOneNotePerBar(const cSequencer& sequencer, int32_t* parts)
{
    *parts = 0;
    const cTrackList& tracks = *sequencer.GetTrackList();
    for (int32_t i = 0; i < tracks.GetCount(); ++i)
        for (const cPatternInstance* part = tracks.GetTrack(i)->GetFirstPart(); part; part = part->next, ++*parts)
            if (part->pattern->count != part->length / kBar)
                return false;
    return true;
}
} // namespace

// A save killed at any moment (the process gone, as in a crash or power
// cut) never costs the song: a normal load finds one of the two songs that
// were being saved, whole.
TEST_F(cSongFileSafetyTest, ASaveKilledAtAnyMomentLeavesOneOfTheSongsWhole)
{
    const std::vector<uint8_t> first = BuildSong(1);
    const std::vector<uint8_t> second = BuildSong(2);
    ASSERT_NE(first, second);
    ASSERT_TRUE(sequencer.SaveSong(kSongPath, false, error));
    std::mt19937 random(18);
    std::uniform_int_distribution<int> delay(0, 40);
    for (int round = 0; round < 16; ++round)
    {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            cGenString ignored;
            for (;;)
            {
                ReadSongImage(sequencer, first, ignored);
                sequencer.SaveSong(kSongPath, false, ignored);
                ReadSongImage(sequencer, second, ignored);
                sequencer.SaveSong(kSongPath, false, ignored);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << round;
        sequencer.NewSong();
        ASSERT_TRUE(sequencer.LoadSong(kSongPath, 1, error)) << round << ": " << error.CStr();
        const std::vector<uint8_t> loaded = SongImage(sequencer);
        EXPECT_TRUE(loaded == first || loaded == second) << round;
    }
}

// Saves made while another thread records take the song at one moment:
// every part in every file has all the notes recorded into it.
TEST_F(cSongFileSafetyTest, ASaveWhileRecordingTakesTheSongAtOneMoment)
{
    constexpr int32_t kTracks = 8;
    for (int32_t slot = 0; slot < kTracks; ++slot)
        AddTrack(slot);
    sequencer.SetBeatsPerBar(1);
    RecordFrom(0);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        int32_t block = 0;
        int32_t bar = -1;
        bool held = false;
        while (!done && gTransport.position < 2000 * kBar)
        {
            const int32_t position = gTransport.position;
            if (position / kBar != bar)
            {
                bar = position / kBar;
                for (int32_t slot = 0; slot < kTracks; ++slot)
                    sequencer.PostEvent(LiveNoteOn(60, 100, uint32_t(bar * kTracks + slot), uint8_t(slot)));
                held = true;
            }
            else if (held && position % kBar >= 100)
            {
                for (int32_t slot = 0; slot < kTracks; ++slot)
                    sequencer.PostEvent(LiveNoteOff(60, uint32_t(bar * kTracks + slot), uint8_t(slot)));
                held = false;
            }
            sequencer.AdvanceBlock(kRate, (block++ % 2) == 0 ? 128 : 92);
            // Faster than real time, but slow enough for many bars to pass during the saves.
            std::this_thread::sleep_for(5us);
        }
    });
    std::vector<std::string> files;
    for (int i = 0; i < 20 && gTransport.position < 1800 * kBar; ++i)
    {
        EXPECT_TRUE(sequencer.SaveSong(kSongPath, false, error));
        files.push_back(mDoc.Folder().Read(kSongPath));
        std::this_thread::sleep_for(2ms);
    }
    done = true;
    audio.join();
    sequencer.Stop();
    ASSERT_EQ(files.size(), 20u);
    for (size_t i = 0; i < files.size(); ++i)
    {
        const std::vector<uint8_t> bytes(files[i].begin(), files[i].end());
        ASSERT_TRUE(ReadSongImage(sequencer, bytes, error)) << i << ": " << error.CStr();
        int32_t parts = 0;
        EXPECT_TRUE(EveryPartHasOneNotePerBar(sequencer, &parts)) << "save " << i;
        EXPECT_LE(parts, kTracks);
    }
}
