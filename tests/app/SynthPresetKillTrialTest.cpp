#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "ProgramTrial.h"
#include "base/FileSystemDisk.h"
#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthBank.h"

// A preset the user wrote survives the program's death: from an empty data
// folder, the Bass instrument opened from the main menu, its first
// oscillator's waveform stepped on the sound page, WRITE into bank B renamed
// "Kill Test"; five seconds later the program is killed outright, with no
// save of any kind. Bank B's file holds the sound, and after a restart the
// chooser reads "Kill Test" in that slot.
namespace
{
using namespace std::chrono_literals;

// Where the desktop layout of a 1024 x 768 window puts things: the help
// box and its close button; the main menu's button and Bass's cell (slot
// 2); the preset band's WRITE and bank up; the first oscillator's waveform
// up arrow on the sound page; in the write dialogue the bank up arrow,
// RENAME and WRITE.
constexpr int kHelpX = 620, kHelpY = 145, kHelpCloseX = 377, kHelpCloseY = 57;
constexpr int kBarMiddle = 15, kMenuX = 25;
constexpr int kBassCellX = 322, kCellY = 68;
constexpr int kBandY = 56;
constexpr int kWriteX = 117, kBankUpX = 522;
constexpr int kWaveUpX = 253, kWaveUpY = 150;
constexpr int kDialogueUpX = 648, kDialogueBankY = 253;
constexpr int kDialogueButtonX = 691, kRenameY = 253, kDialogueWriteY = 297;
// The preset spin's value in the band ("A01.Saw Bass"), and the bank spin's.
constexpr int kPresetTextX = 640, kBankTextX = 190, kValueTextY = 47, kValueTextWidth = 310, kValueTextHeight = 19;
constexpr int32_t kSlot = 1;

class SynthPresetKillTrialTest : public cProgramTrial
{
protected:
    SynthPresetKillTrialTest() : cProgramTrial("preset-kill-trial", "preset-kill") {}

    void SetUp() override
    {
        cProgramTrial::SetUp();
        // Nothing at all in the data folder, as on a new machine.
        std::filesystem::remove_all(mData + "/Quilwright");
    }

    // A tap held over a few frames but shorter than a spin button's repeat.
    void Press(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " sleep 0.05 mousedown 1 sleep 0.08 mouseup 1");
        std::this_thread::sleep_for(500ms);
    }
    static bool IsLightAt(const std::string& shot, int x, int y)
    {
        const cRGB rgb = Pixel(shot, x, y);
        return rgb.r > 180 && rgb.g > 180 && rgb.b > 180;
    }
    bool WaitForLightBox(int x, int y, bool shown, double seconds)
    {
        return WaitUntil([&] { return IsLightAt(Shot("probe"), x, y) == shown; }, seconds);
    }
    // The start-up help closed. It takes no taps while the first start is
    // still busy, and a second tap on its close button after it has gone
    // would play a pad.
    void CloseHelp()
    {
        if (!WaitForLightBox(kHelpX, kHelpY, true, 30.0))
            return;
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            std::this_thread::sleep_for(1000ms);
            Press(kHelpCloseX, kHelpCloseY);
            if (WaitForLightBox(kHelpX, kHelpY, false, 10.0))
                return;
        }
    }
    void OpenBass()
    {
        CloseHelp();
        Press(kMenuX, kBarMiddle);
        Press(kBassCellX, kCellY);
        std::this_thread::sleep_for(300ms);
    }
    static std::string PresetText(const std::string& shot)
    {
        return Region(shot, kPresetTextX, kValueTextY, kValueTextWidth, kValueTextHeight);
    }
    static std::string BankText(const std::string& shot)
    {
        return Region(shot, kBankTextX, kValueTextY, kValueTextWidth, kValueTextHeight);
    }
    // Bank B's file as the program left it, read as the program reads it.
    std::unique_ptr<cAnalogueSynthBank> ReadBank(const char* name, cGenString& error) const
    {
        File::cFileSystemDisk documents("Doc", Documents("").c_str());
        auto bank = std::make_unique<cAnalogueSynthBank>();
        const std::string file = std::string("Instruments/Kest/") + name;
        if (!ReadBankFile(documents, cGenString(file.c_str()), nullptr, *bank, error))
            bank.reset();
        return bank;
    }
};
} // namespace

TEST_F(SynthPresetKillTrialTest, AWrittenPresetOutlivesAKill)
{
    std::string written;
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        OpenBass();
        const std::string opened = Shot("1-bass");

        // The sound page, two steps down past the Perform page.
        Key("Down");
        Key("Down");
        // The page slides in and takes no touches until it stands.
        std::this_thread::sleep_for(1000ms);
        Press(kWaveUpX, kWaveUpY);
        // WRITE blinks while the preset is modified: one shot may catch it dark.
        EXPECT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kWriteX, kBandY).IsLitBlue(); }, 5.0))
            << "WRITE lights for the changed waveform";
        Shot("2-waveform-changed");

        Press(kWriteX, kBandY);
        Shot("3-write-dialogue");
        Press(kDialogueUpX, kDialogueBankY);
        Press(kDialogueButtonX, kRenameY);
        mDisplay.Run("xdotool type --window " + mWindow + " --delay 80 'Kill Test'");
        mDisplay.Run("xdotool key --window " + mWindow + " Return");
        std::this_thread::sleep_for(500ms);
        Shot("4-renamed");
        Press(kDialogueButtonX, kDialogueWriteY);
        written = Shot("5-written");
        EXPECT_FALSE(PresetText(opened) == PresetText(written)) << "the chooser reads B01.Kill Test";

        std::this_thread::sleep_for(5000ms);
        program->Signal(SIGKILL);
        ASSERT_TRUE(program->WaitForExit(10.0));
    }

    cGenStringFixed<256> error;
    const std::unique_ptr<cAnalogueSynthBank> bankB = ReadBank("GlobalB.bnk", error);
    ASSERT_NE(bankB, nullptr) << "bank B's file after the kill: " << error.CStr();
    EXPECT_STREQ(bankB->singles[kSlot].Name, "Kill Test");
    const std::unique_ptr<cAnalogueSynthBank> bankA = ReadBank("GlobalA.bnk", error);
    ASSERT_NE(bankA, nullptr) << error.CStr();
    EXPECT_EQ(bankB->singles[kSlot].Osc.Osc1.Wave, bankA->singles[kSlot].Osc.Osc1.Wave + 1)
        << "the sound written is the one edited from " << bankA->singles[kSlot].Name;
    EXPECT_FLOAT_EQ(bankB->singles[kSlot].Filter.Cutoff, bankA->singles[kSlot].Filter.Cutoff) << "and only its waveform";

    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        OpenBass();
        const std::string reopened = Shot("6-reopened");
        Press(kBankUpX, kBandY);
        const std::string chosen = Shot("7-bank-b-chosen");
        EXPECT_TRUE(BankText(chosen) == BankText(written)) << "Global B";
        EXPECT_TRUE(PresetText(chosen) == PresetText(written)) << "B01 reads Kill Test as when it was written";
        program->Signal(SIGTERM);
        EXPECT_TRUE(program->WaitForExit(10.0));
    }
}
