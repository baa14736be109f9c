#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>

#include "SynthTrial.h"
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
// Where the desktop layout of a 1024 x 768 window puts Bass's cell in the
// main menu (slot 2) and the first oscillator's waveform up arrow on the
// sound page.
constexpr int kBassCellX = 322;
constexpr int kWaveUpX = 253, kWaveUpY = 150;
// The preset spin's value in the band ("A01.Saw Bass"), and the bank spin's.
constexpr int kPresetTextX = 640, kBankTextX = 190, kValueTextY = 47, kValueTextWidth = 310, kValueTextHeight = 19;
constexpr int32_t kSlot = 1;

class SynthPresetKillTrialTest : public cSynthTrial
{
protected:
    SynthPresetKillTrialTest() : cSynthTrial("preset-kill-trial", "preset-kill") {}

    static std::string PresetText(const cScreenshot& shot)
    {
        return Region(shot, kPresetTextX, kValueTextY, kValueTextWidth, kValueTextHeight);
    }
    static std::string BankText(const cScreenshot& shot)
    {
        return Region(shot, kBankTextX, kValueTextY, kValueTextWidth, kValueTextHeight);
    }
    // A bank file as the program left it, read as the program reads it.
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
    cScreenshot written;
    {
        const std::unique_ptr<cProgram> program = StartProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
        OpenInstrument(kBassCellX);
        const cScreenshot opened = StillShot("1-bass");

        // The sound page, two steps down past the Perform page. The page
        // slides in and takes no touches until it stands.
        Key("Down");
        StillShot("probe");
        Key("Down");
        StillShot("probe");
        Press(kWaveUpX, kWaveUpY);
        // WRITE blinks while the preset is modified: one shot may catch it dark.
        EXPECT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kWriteX, kBandY).IsLitBlue(); }))
            << "WRITE lights for the changed waveform";
        Shot("2-waveform-changed");

        Press(kWriteX, kBandY);
        StillShot("3-write-dialogue");
        Press(kDialogueUpX, kDialogueBankY);
        Press(kDialogueButtonX, kRenameY);
        StillShot("probe");
        TypeAndConfirm("Kill Test");
        StillShot("4-renamed");
        Press(kDialogueButtonX, kDialogueWriteY);
        written = StillShot("5-written");
        EXPECT_FALSE(PresetText(opened) == PresetText(written)) << "the chooser reads B01.Kill Test";

        // Five seconds of the program's own time later, killed outright.
        ASSERT_TRUE(WaitForFrames(Frames() + size_t(5.0 * kTrialSampleRate)));
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
        OpenInstrument(kBassCellX, false);
        StillShot("6-reopened");
        Press(kBankUpX, kBandY);
        const cScreenshot chosen = StillShot("7-bank-b-chosen");
        EXPECT_TRUE(BankText(chosen) == BankText(written)) << "Global B";
        EXPECT_TRUE(PresetText(chosen) == PresetText(written)) << "B01 reads Kill Test as when it was written";
        Close(*program, 10.0);
    }
}
