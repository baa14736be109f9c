#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "ProgramTrial.h"

// A MIDI file handed to the program on its command line, at one of the
// first starts that show the intro help: the name prompt comes first and
// takes the keys, Return copies the file, and the help shows after.
namespace
{
// Inside the intro help's box, which lies over the prompt's keys; the
// prompt's name field.
constexpr int kHelpX = 512, kHelpY = 125;
constexpr int kNameFieldX = 300, kNameFieldY = 65;

bool IsLight(const cRGB& c) { return c.r > 180 && c.g > 180 && c.b > 180; }

class HandedFileTrialTest : public cProgramTrial
{
protected:
    HandedFileTrialTest() : cProgramTrial("handed-trial", "handed-trial") {}
};

TEST_F(HandedFileTrialTest, ThePromptComesBeforeTheIntroHelpAndTheCopyIsDone)
{
    // A user who has seen the help once, with nothing to load.
    std::ofstream(Documents("GlobalSettings.dat"))
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Root FileVersion=\"1.000000\" RecentProject=\"\" AutoSaved=\"false\" InstallerVersion=\"9\" "
           "IntroHelp=\"1\"/>\n";
    const std::string handed = mData + "-handed/Groove.mid";
    std::filesystem::create_directories(mData + "-handed");
    std::ofstream(handed, std::ios::binary) << "MThd, copied as it is";
    const std::unique_ptr<cProgram> program = StartProgram("-desktop", {}, {handed});
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    ASSERT_TRUE(WaitUntil([&] { return IsLight(Pixel(Shot("probe"), kNameFieldX, kNameFieldY)); }))
        << "no name prompt; see " << KeepShot("0-no-prompt") << "\n" << program->ErrorOutput();
    const cScreenshot prompt = StillShot("1-prompt");
    EXPECT_FALSE(IsLight(Pixel(prompt, kHelpX, kHelpY))) << "the help covers the prompt";

    Key("Return");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(Documents("User/MIDI Files/Groove.mid")); }))
        << "the file was not copied";
    ASSERT_TRUE(WaitUntil([&] { return IsLight(Pixel(Shot("probe"), kHelpX, kHelpY)); }))
        << "no help after the copy";
    Shot("2-help-after-the-copy");
    std::filesystem::remove_all(mData + "-handed");

    Close(*program, 10.0);
}
} // namespace
