#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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
using namespace std::chrono_literals;

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

    void Run(const std::string& command) { mDisplay.Run("xdotool " + command); }
};
} // namespace

TEST_F(SynthSoundPagesTrialTest, DraggingAmpAmountDownLowersAHeldNote)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    Click(kMenuX, kBarMiddle);
    Click(kSynthCellX, kCellY);
    std::this_thread::sleep_for(300ms);
    // The Perform page stands second; the sound page comes after it.
    Key("Down");
    std::this_thread::sleep_for(300ms);
    Key("Down");
    std::this_thread::sleep_for(500ms);
    Shot("1-sound-page");

    Run("keydown --window " + mWindow + " q");
    std::this_thread::sleep_for(1500ms);
    Run("mousemove --window " + mWindow + " " + std::to_string(kAmountX) + " " + std::to_string(kAmountY) +
        " mousedown 1");
    for (int step = 1; step <= 12; ++step)
    {
        std::this_thread::sleep_for(30ms);
        Run("mousemove --window " + mWindow + " " + std::to_string(kAmountX) + " " +
            std::to_string(kAmountY + step * kDragPixels / 12));
    }
    Run("mouseup 1");
    Shot("2-amount-down");
    std::this_thread::sleep_for(1500ms);
    Run("keyup --window " + mWindow + " q");
    std::this_thread::sleep_for(800ms);

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();

    const std::vector<int16_t> left = ReadLeftChannel();
    const std::vector<size_t> onsets = Onsets(left, 30);
    ASSERT_EQ(onsets.size(), 1u) << "one held note";
    const size_t start = onsets[0];
    ASSERT_LT(start + size_t(2.9 * kTrialSampleRate), left.size());
    const double held = Rms(left, start + size_t(0.5 * kTrialSampleRate), start + size_t(1.2 * kTrialSampleRate));
    const double lowered = Rms(left, start + size_t(2.3 * kTrialSampleRate), start + size_t(2.9 * kTrialSampleRate));
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
    Click(kMenuX, kBarMiddle);
    Click(kSynthCellX, kCellY);
    std::this_thread::sleep_for(300ms);
    // The Perform page stands second; the sound page comes after it.
    Key("Down");
    std::this_thread::sleep_for(300ms);
    Key("Down");
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i < 4; ++i)
    {
        Click(kModeX, kModeY);
        std::this_thread::sleep_for(200ms);
    }
    Click(kLoadX, kLoadY);
    std::this_thread::sleep_for(800ms);
    // The first tap selects the folder's row, the second enters it.
    Click(kBrowserRowX, kSecondRowY);
    std::this_thread::sleep_for(300ms);
    Click(kBrowserRowX, kSecondRowY);
    std::this_thread::sleep_for(800ms);
    Shot("3-browser");
    Click(kBrowserRowX, kFirstRowY);
    std::this_thread::sleep_for(300ms);
    Click(kBrowserLoadX, kBrowserLoadY);
    std::this_thread::sleep_for(1500ms);
    Shot("4-sample-loaded");
    Run("keydown --window " + mWindow + " q");
    std::this_thread::sleep_for(1000ms);
    Run("keyup --window " + mWindow + " q");
    std::this_thread::sleep_for(800ms);

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();
    const std::vector<int16_t> left = ReadLeftChannel();
    // Selecting the file in the browser auditions it first; Q's note is last.
    const std::vector<size_t> onsets = Onsets(left, 30);
    ASSERT_GE(onsets.size(), 1u);
    ASSERT_LE(onsets.size(), 2u);
    ASSERT_LT(onsets.back() + 12000, left.size());
    EXPECT_NEAR(TonePitch(left.data() + onsets.back() + 2000, 8000, kTrialSampleRate), 1000.0, 5.0);
}
