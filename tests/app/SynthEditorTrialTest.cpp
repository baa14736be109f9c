#include <gtest/gtest.h>

#include <cmath>
#include <string>
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

    // A key held as long as a player would, then a rest for the note to
    // end, both timed by the program's own audio.
    void Hold(const char* key)
    {
        Input("keydown --window " + mWindow + " " + key);
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(0.6 * kTrialSampleRate))) << "the note held";
        Input("keyup --window " + mWindow + " " + key);
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(1.2 * kTrialSampleRate))) << "the note ended";
    }
    // A press held over a few frames, as a finger's.
    void Press(int x, int y) { Input(MoveTo(x, y) + " mousedown 1 sleep 0.15 mouseup 1"); }
};

TEST_F(SynthEditorTrialTest, KeysPlayTheKeyboardsOctavesAndScale)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    Click(kMenuX, kBarMiddle);
    StillShot("probe");
    Click(kSynthCellX, kCellY);
    const cScreenshot editor = StillShot("1-editor");
    EXPECT_TRUE(Pixel(editor, kLeftArrowX, kLeftArrowY).IsLitBlue()) << "the keyboard cheek's arrow";
    const cRGB key = Pixel(editor, 80, 720);
    EXPECT_GT(key.r + key.g + key.b, 600) << "the keyboard's white keys";

    ASSERT_NO_FATAL_FAILURE(Hold("q"));
    ASSERT_NO_FATAL_FAILURE(Hold("z"));
    Key("Right");
    ASSERT_NO_FATAL_FAILURE(Hold("q"));
    Press(kLeftArrowX, kLeftArrowY);
    ASSERT_NO_FATAL_FAILURE(Hold("q"));
    Press(kScaleToggleX, kScaleToggleY);
    StillShot("2-scales");
    Press(kChromaticX, kChromaticY);
    StillShot("probe");
    ASSERT_NO_FATAL_FAILURE(Hold("q"));
    ASSERT_NO_FATAL_FAILURE(Hold("w"));

    Close(*program, 10.0);

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
