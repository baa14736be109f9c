#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProgramTrial.h"
#include "audio/TonePitch.h"

// The main screen tried as a new user would, on a virtual display with the
// disk audio device: the click switched on, the song played from its start
// and stopped with Space, the main menu opened and instruments picked from
// its grid. A screenshot is kept for every step; regions of them are read
// back, and the clicks the program played are read from its audio.
namespace
{
constexpr double kSampleRate = 44100.0;
// Where the desktop layout of a 1024 x 768 window puts things: the bar's
// 53-pixel buttons, from the right record, play, stop, UNDO, QUANTIZE,
// CLICK; the menu's grid of 126.5-pixel cells from x 6, its first row's
// cells 36 pixels tall from y 50.
constexpr int kBarMiddle = 15;
constexpr int kMenuX = 25, kMixerX = 131, kClickX = 732, kStopX = 891, kPlayX = 944;
constexpr int kCellY = 68;
constexpr int kCellLeft = 6;
constexpr double kCellWidth = 126.5;
constexpr int kCellMarkY = 89; // the bar under the last instrument's cell
constexpr int kPositionX = 548, kPositionY = 4, kPositionWidth = 52, kPositionHeight = 16;

int CellCentreX(int slot) { return kCellLeft + int((slot + 0.5) * kCellWidth); }

class MainScreenTrialTest : public cProgramTrial
{
protected:
    MainScreenTrialTest() : cProgramTrial("main-trial", "trial") {}

    // The song position's digits, as bytes to compare between shots.
    static std::string Position(const cScreenshot& shot)
    {
        return Region(shot, kPositionX, kPositionY, kPositionWidth, kPositionHeight);
    }
    // Whether the bar shows play lit and stop dark, or the other way round.
    static bool ShowsPlaying(const cScreenshot& shot, bool playing)
    {
        return Pixel(shot, kPlayX - 20, 6).IsLitBlue() == playing && Pixel(shot, kStopX - 20, 6).IsLitBlue() != playing;
    }
    bool MarkUnder(int slot) { return Pixel(StillShot("probe"), CellCentreX(slot), kCellMarkY).IsLitBlue(); }
};

TEST_F(MainScreenTrialTest, ClickPlayStopAndPickInstrumentsFromTheMenu)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    const cScreenshot start = StillShot("1-start");
    EXPECT_TRUE(ShowsPlaying(start, false)) << "stop lit while stopped";

    Click(kClickX, kBarMiddle);
    Shot("2-click-always");
    Key("Home");
    const size_t played = Frames();
    Click(kPlayX, kBarMiddle);
    cScreenshot playing;
    EXPECT_TRUE(WaitUntil([&] { return ShowsPlaying(playing = Shot("3-playing"), true); })) << "play lit while playing";
    ASSERT_TRUE(WaitForFrames(played + size_t(kSampleRate)));
    EXPECT_TRUE(WaitUntil([&] { return Position(Shot("4-still-playing")) != Position(playing); }))
        << "the position moves while playing";

    ASSERT_TRUE(WaitForFrames(played + size_t(2.0 * kSampleRate)));
    Key("space");
    const size_t stoppedAt = Frames();
    const cScreenshot stopped = StillShot("5-stopped");
    EXPECT_TRUE(ShowsPlaying(stopped, false));
    ASSERT_TRUE(WaitForFrames(stoppedAt + size_t(0.6 * kSampleRate)));
    EXPECT_EQ(Position(stopped), Position(StillShot("6-still-stopped"))) << "the position rests while stopped";
    Key("Home");
    EXPECT_EQ(Position(StillShot("7-home")), Position(start)) << "Home returns to the song's start";

    Click(kMenuX, kBarMiddle);
    EXPECT_TRUE(MarkUnder(1)) << "the pads of slot 1 were last shown";
    Shot("8-menu");
    Click(CellCentreX(0), kCellY);
    EXPECT_TRUE(WaitUntil([&] { return Pixel(Shot("9-mixer"), kMixerX - 20, 6).IsLitBlue(); }))
        << "MIXER lit for slot 0";

    Click(kMenuX, kBarMiddle);
    ASSERT_TRUE(MarkUnder(1)) << "the menu open again";
    Click(CellCentreX(2), kCellY);
    // Slot 2 holds the synthesizer where the program has one: its tap closes
    // the menu, which opened again shows the bar under slot 2's cell. An
    // empty cell leaves the menu open with the bar under slot 1's.
    const bool menuStillOpen = MarkUnder(1);
    Shot("10-slot-2");
    if (!menuStillOpen)
    {
        Click(kMenuX, kBarMiddle);
        EXPECT_TRUE(MarkUnder(2)) << "the bar moved to slot 2";
        EXPECT_FALSE(MarkUnder(1));
        Shot("11-menu-again");
    }

    // Two seconds of the program's audio after the stop, to hear silence in.
    ASSERT_TRUE(WaitForFrames(stoppedAt + size_t(2.5 * kSampleRate)));
    Close(*program, 10.0);

    // The clicks: a beat apart at 120 BPM, the downbeat an octave up, and
    // silence once stopped.
    const std::vector<int16_t> left = ReadLeftChannel();
    const std::vector<size_t> clicks = Onsets(left);
    ASSERT_GE(clicks.size(), 4u) << "the song played for two seconds";
    // A click each half second from the play click to Space, give or take
    // the events' way there.
    EXPECT_LE(double(clicks.size()), double(stoppedAt - played) / kSampleRate * 2.0 + 2.0);
    for (size_t i = 0; i < clicks.size(); ++i)
    {
        if (i > 0)
        {
            EXPECT_NEAR(double(clicks[i] - clicks[i - 1]), 22050.0, 128.0) << "click " << i;
        }
        const size_t span = std::min<size_t>(4000, left.size() - clicks[i]);
        const double expected = i % 4 == 0 ? 523.25 : 261.63;
        EXPECT_NEAR(TonePitch(left.data() + clicks[i], span, kSampleRate), expected, expected * 0.03)
            << "click " << i;
    }
    size_t lastSound = 0;
    for (size_t i = 0; i < left.size(); ++i)
        if (left[i] != 0)
            lastSound = i;
    EXPECT_GT(left.size() - lastSound, size_t(2 * kSampleRate)) << "nothing after the stop";
}
} // namespace
