#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "ProgramTrial.h"
#include "audio/TonePitch.h"

// The synthesizer's editor tried as a new user would: "Kest 1" picked from
// the main menu, notes held on the computer keyboard, the keyboard moved by
// an octave with Right and with the left cheek's arrow, and a scale chosen
// from the list the right cheek's toggle opens; the notes are read back from
// the program's audio.
namespace
{
using namespace std::chrono_literals;

// Where the desktop layout of a 1024 x 768 window puts things: the main
// menu's button and the synthesizer's cell (slot 2) in its grid; the
// editor below the 30-pixel bar with its cheeks 40 pixels wide, the left
// cheek's up arrow and the right cheek's toggle; the scale list's second
// row ("Chromatic") at the keyboard's right end.
constexpr int kBarMiddle = 15, kMenuX = 25;
constexpr int kSynthCellX = 322, kCellY = 68;
constexpr int kLeftArrowX = 20, kLeftArrowY = 70;
constexpr int kScaleToggleX = 1004, kScaleToggleY = 450;
constexpr int kChromaticX = 950, kChromaticY = 526;
constexpr int kQuietLevel = 30;

class SynthEditorTrialTest : public cProgramTrial
{
protected:
    SynthEditorTrialTest() : cProgramTrial("synth-trial", "synth-trial") {}

    // A key held as long as a player would, then a rest for the note to end.
    void Hold(const char* key)
    {
        mDisplay.Run("xdotool keydown --window " + mWindow + " " + key);
        std::this_thread::sleep_for(600ms);
        mDisplay.Run("xdotool keyup --window " + mWindow + " " + key);
        std::this_thread::sleep_for(1200ms);
    }
    // A press held over a few frames, as a finger's.
    void Press(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " mousedown 1");
        std::this_thread::sleep_for(150ms);
        mDisplay.Run("xdotool mouseup 1");
        std::this_thread::sleep_for(300ms);
    }
};

TEST_F(SynthEditorTrialTest, KeysPlayTheKeyboardsOctavesAndScale)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    Click(kMenuX, kBarMiddle);
    Click(kSynthCellX, kCellY);
    std::this_thread::sleep_for(300ms);
    const std::string editor = Shot("1-editor");
    EXPECT_TRUE(Pixel(editor, kLeftArrowX, kLeftArrowY).IsLitBlue()) << "the keyboard cheek's arrow";
    const cRGB key = Pixel(editor, 80, 720);
    EXPECT_GT(key.r + key.g + key.b, 600) << "the keyboard's white keys";

    Hold("q");
    Hold("z");
    Key("Right");
    Hold("q");
    Press(kLeftArrowX, kLeftArrowY);
    Hold("q");
    Press(kScaleToggleX, kScaleToggleY);
    Shot("2-scales");
    Press(kChromaticX, kChromaticY);
    Hold("q");
    Hold("w");

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();

    const std::vector<int16_t> left = ReadLeftChannel();
    const std::vector<size_t> onsets = Onsets(left, kQuietLevel);
    ASSERT_EQ(onsets.size(), 6u) << "one onset for each held key";
    std::vector<double> pitches;
    for (size_t onset : onsets)
    {
        ASSERT_LT(onset + 10000, left.size());
        pitches.push_back(TonePitch(left.data() + onset + 2000, 8000, kTrialSampleRate));
    }
    EXPECT_NEAR(pitches[0], 261.63, 261.63 * 0.005) << "Q plays C4 at the keyboard's first place";
    struct cStep
    {
        const char* what;
        size_t from, to;
        double ratio;
    };
    const cStep steps[] = {
        {"Z an octave below Q", 0, 1, 0.5},
        {"Right moves Q an octave up", 0, 2, 2.0},
        {"the left cheek's arrow moves Q another octave up", 2, 3, 2.0},
        {"Q keeps its note in the chromatic scale", 3, 4, 1.0},
        {"W a semitone above Q", 4, 5, std::pow(2.0, 1.0 / 12.0)},
    };
    for (const cStep& step : steps)
        EXPECT_NEAR(pitches[step.to] / pitches[step.from], step.ratio, step.ratio * 0.005) << step.what;
}
} // namespace
