#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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
using namespace std::chrono_literals;

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
    static std::string Position(const std::string& shot)
    {
        return Region(shot, kPositionX, kPositionY, kPositionWidth, kPositionHeight);
    }
};

TEST_F(MainScreenTrialTest, ClickPlayStopAndPickInstrumentsFromTheMenu)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    const std::string start = Shot("1-start");
    EXPECT_TRUE(Pixel(start, kStopX - 20, 6).IsLitBlue()) << "stop lit while stopped";
    EXPECT_FALSE(Pixel(start, kPlayX - 20, 6).IsLitBlue());

    Click(kClickX, kBarMiddle);
    Shot("2-click-always");
    Key("Home");
    const auto played = std::chrono::steady_clock::now();
    Click(kPlayX, kBarMiddle);
    const std::string playing = Shot("3-playing");
    EXPECT_TRUE(Pixel(playing, kPlayX - 20, 6).IsLitBlue()) << "play lit while playing";
    EXPECT_FALSE(Pixel(playing, kStopX - 20, 6).IsLitBlue());
    std::this_thread::sleep_until(played + 1000ms);
    const std::string later = Shot("4-still-playing");
    EXPECT_NE(Position(playing), Position(later)) << "the position moves while playing";

    std::this_thread::sleep_until(played + 2000ms);
    const double playedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - played).count();
    Key("space");
    const std::string stopped = Shot("5-stopped");
    EXPECT_TRUE(Pixel(stopped, kStopX - 20, 6).IsLitBlue());
    EXPECT_FALSE(Pixel(stopped, kPlayX - 20, 6).IsLitBlue());
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(Position(stopped), Position(Shot("6-still-stopped"))) << "the position rests while stopped";
    Key("Home");
    EXPECT_EQ(Position(Shot("7-home")), Position(start)) << "Home returns to the song's start";

    Click(kMenuX, kBarMiddle);
    std::this_thread::sleep_for(300ms);
    const std::string menu = Shot("8-menu");
    EXPECT_TRUE(Pixel(menu, CellCentreX(1), kCellMarkY).IsLitBlue()) << "the pads of slot 1 were last shown";
    Click(CellCentreX(0), kCellY);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(Pixel(Shot("9-mixer"), kMixerX - 20, 6).IsLitBlue()) << "MIXER lit for slot 0";

    Click(kMenuX, kBarMiddle);
    std::this_thread::sleep_for(300ms);
    Click(CellCentreX(2), kCellY);
    std::this_thread::sleep_for(300ms);
    // Slot 2 holds the synthesizer where the program has one: its tap closes
    // the menu, which opened again shows the bar under slot 2's cell. An
    // empty cell leaves the menu open with the bar under slot 1's.
    const std::string tapped = Shot("10-slot-2");
    const bool menuStillOpen = Pixel(tapped, CellCentreX(1), kCellMarkY).IsLitBlue();
    if (!menuStillOpen)
    {
        Click(kMenuX, kBarMiddle);
        std::this_thread::sleep_for(300ms);
        const std::string reopened = Shot("11-menu-again");
        EXPECT_TRUE(Pixel(reopened, CellCentreX(2), kCellMarkY).IsLitBlue()) << "the bar moved to slot 2";
        EXPECT_FALSE(Pixel(reopened, CellCentreX(1), kCellMarkY).IsLitBlue());
    }

    std::this_thread::sleep_for(1000ms);
    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();

    // The clicks: a beat apart at 120 BPM, the downbeat an octave up, and
    // silence once stopped.
    std::vector<int16_t> left;
    if (FILE* file = std::fopen(mAudio.c_str(), "rb"))
    {
        int16_t frame[2];
        while (std::fread(frame, sizeof(int16_t), 2, file) == 2)
            left.push_back(frame[0]);
        std::fclose(file);
    }
    const std::vector<size_t> clicks = Onsets(left);
    ASSERT_GE(clicks.size(), 4u) << "the song played for about two seconds";
    // A click each half second from the play click to Space, give or take the events' way there.
    EXPECT_LE(double(clicks.size()), playedSeconds * 2.0 + 2.0);
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
