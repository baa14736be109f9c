#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProgramTrial.h"
#include "audio/SignalMeasure.h"
#include "audio/TonePitch.h"

// The synthesizer's sound pages tried as a new user would: "Kest 1" picked
// from the main menu, Down twice (past the Perform page) steps to the page
// of the oscillators, filter, amp and LFO, Q is held while the amp
// envelope's AMOUNT knob is dragged down, and the level of the program's
// audio falls.
namespace
{
// The desktop layout of a 1024 x 768 window: the main menu's button and the
// synthesizer's cell (slot 2); the amp envelope's AMOUNT knob on the 2 x 2
// page below the 30-pixel bar.
constexpr int kBarMiddle = 15, kMenuX = 25;
constexpr int kSynthCellX = 322, kCellY = 68;
constexpr int kAmountX = 450, kAmountY = 328;
constexpr int kDragPixels = 120;
// The oscillator panel's MOD lamp and, in SAMPLE mode, LOAD; the file
// browser's first two rows and its Load button.
constexpr int kModeX = 65, kModeY = 245;
constexpr int kLoadX = 130, kLoadY = 120;
constexpr int kBrowserRowX = 300, kFirstRowY = 76, kSecondRowY = 137;
constexpr int kBrowserLoadX = 968, kBrowserLoadY = 744;

class SynthSoundPagesTrialTest : public cProgramTrial
{
protected:
    SynthSoundPagesTrialTest() : cProgramTrial("sound-pages-trial", "sound-pages-trial") {}

    // "Kest 1" from the main menu, then Down twice: the Perform page stands
    // second, the sound page after it, each sliding in.
    void OpenSoundPage()
    {
        Click(kMenuX, kBarMiddle);
        StillShot("probe");
        Click(kSynthCellX, kCellY);
        StillShot("probe");
        Key("Down");
        StillShot("probe");
        Key("Down");
        StillShot("1-sound-page");
    }
    // A key held down (or let go) for the frames of the program's audio.
    void KeyFor(const char* upOrDown, double seconds)
    {
        Input(std::string(upOrDown) + " --window " + mWindow + " q");
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(seconds * kTrialSampleRate)));
    }
};
} // namespace

TEST_F(SynthSoundPagesTrialTest, DraggingAmpAmountDownLowersAHeldNote)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    OpenSoundPage();

    const size_t pressed = Frames();
    ASSERT_NO_FATAL_FAILURE(KeyFor("keydown", 1.5));
    const size_t dragFrom = Frames();
    std::string drag = MoveTo(kAmountX, kAmountY) + " mousedown 1";
    for (int step = 1; step <= 12; ++step)
        drag += " sleep 0.03 " + MoveTo(kAmountX, kAmountY + step * kDragPixels / 12);
    Input(drag + " mouseup 1");
    const size_t dragged = Frames();
    Shot("2-amount-down");
    ASSERT_TRUE(WaitForFrames(dragged + size_t(1.5 * kTrialSampleRate)));
    ASSERT_NO_FATAL_FAILURE(KeyFor("keyup", 0.8));
    Close(*program, 10.0);

    const std::vector<int16_t> left = ReadLeftChannel();
    const std::vector<size_t> onsets = Onsets(left, 30);
    ASSERT_EQ(onsets.size(), 1u) << "one held note";
    const size_t start = onsets[0];
    ASSERT_GE(start, pressed);
    // Before the drag and after it, clear of the note's attack and of the
    // drag's own moves.
    const size_t heldFrom = start + size_t(0.5 * kTrialSampleRate);
    ASSERT_LT(heldFrom + size_t(0.3 * kTrialSampleRate), dragFrom) << "the note sounded before the drag";
    const double held = Rms(left, heldFrom, std::min(dragFrom, start + size_t(1.2 * kTrialSampleRate)));
    const size_t loweredFrom = dragged + size_t(0.2 * kTrialSampleRate);
    ASSERT_LT(loweredFrom + size_t(0.6 * kTrialSampleRate), left.size());
    const double lowered = Rms(left, loweredFrom, loweredFrom + size_t(0.6 * kTrialSampleRate));
    ASSERT_GT(held, 100.0);
    EXPECT_LT(lowered, 0.7 * held) << held << " then " << lowered;
}

// MOD stepped to SAMPLE, LOAD, the browser walked into "Samples" and a pure
// tone loaded: Q plays the tone (1 kHz at note 60) instead of the oscillators.
TEST_F(SynthSoundPagesTrialTest, QPlaysALoadedToneInSampleMode)
{
    {
        const std::string folder = mData + "/Quilwright/Documents/User/Samples";
        std::filesystem::create_directories(folder);
        std::ofstream wav(folder + "/Tone.wav", std::ios::binary);
        const uint32_t frames = 88200;
        auto u32 = [&](uint32_t v) { wav.write(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [&](uint16_t v) { wav.write(reinterpret_cast<const char*>(&v), 2); };
        wav.write("RIFF", 4); u32(36 + frames * 2); wav.write("WAVEfmt ", 8); u32(16); u16(1); u16(1); u32(44100);
        u32(88200); u16(2); u16(16); wav.write("data", 4); u32(frames * 2);
        for (uint32_t n = 0; n < frames; ++n)
            u16(uint16_t(int16_t(12000.0 * std::sin(2.0 * M_PI * 1000.0 * n / 44100.0))));
    }
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    OpenSoundPage();
    for (int i = 0; i < 4; ++i)
        Click(kModeX, kModeY);
    Click(kLoadX, kLoadY);
    StillShot("probe");
    // The first tap selects the folder's row, the second enters it.
    Click(kBrowserRowX, kSecondRowY);
    Click(kBrowserRowX, kSecondRowY);
    StillShot("3-browser");
    Click(kBrowserRowX, kFirstRowY);
    Click(kBrowserLoadX, kBrowserLoadY);
    StillShot("4-sample-loaded");
    ASSERT_NO_FATAL_FAILURE(KeyFor("keydown", 1.0));
    ASSERT_NO_FATAL_FAILURE(KeyFor("keyup", 0.8));
    Close(*program, 10.0);

    const std::vector<int16_t> left = ReadLeftChannel();
    // Selecting the file in the browser auditions it first; Q's note is last.
    const std::vector<size_t> onsets = Onsets(left, 30);
    ASSERT_GE(onsets.size(), 1u);
    ASSERT_LE(onsets.size(), 2u);
    ASSERT_LT(onsets.back() + 12000, left.size());
    EXPECT_NEAR(TonePitch(left.data() + onsets.back() + 2000, 8000, kTrialSampleRate), 1000.0, 5.0);
}
