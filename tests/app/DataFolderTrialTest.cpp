#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "ProgramTrial.h"

// A data home that cannot hold the program's folders (here a file where the
// folder should be): the program keeps its documents beside itself and says
// so on its alert at start, before the main screens; OK lets it go on, and
// what it saves is beside it.
namespace
{
// Inside the desktop alert's body, left of where the intro help would lie;
// its OK.
constexpr int kAlertBodyX = 320, kAlertBodyY = 150;
constexpr int kAlertOKX = 668, kAlertOKY = 194;

bool IsAlertGrey(const cRGB& c) { return c.r > 170 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12; }

class DataFolderTrialTest : public cProgramTrial
{
protected:
    DataFolderTrialTest() : cProgramTrial("datafolder-trial", "datafolder-trial") {}

    // The program, linked into a folder of the trial's with its content
    // beside it, so the documents it keeps beside itself are the trial's.
    std::string PlaceProgram()
    {
        namespace fs = std::filesystem;
        const fs::path folder = mData + "-program";
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::error_code error;
        fs::create_hard_link(BuildFile("bin/quilwright"), folder / "quilwright", error);
        if (error)
            fs::copy_file(BuildFile("bin/quilwright"), folder / "quilwright");
        fs::create_directory_symlink(BuildFile("bin/Resource"), folder / "Resource");
        return folder.string();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(mData + "-program");
        cProgramTrial::TearDown();
    }
    bool AlertShown() { return IsAlertGrey(Pixel(Shot("probe"), kAlertBodyX, kAlertBodyY)); }
};

TEST_F(DataFolderTrialTest, DocumentsBesideTheProgramAreToldAtStart)
{
    const std::string folder = PlaceProgram();
    std::filesystem::remove_all(mData);
    std::ofstream(mData) << "a file where the data home should be";
    const std::unique_ptr<cProgram> program = StartProgram("-desktop", {}, {}, folder + "/quilwright");
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    ASSERT_TRUE(WaitUntil([&] { return AlertShown(); })) << "nothing said of the data folder";
    Shot("1-data-folder-told");
    EXPECT_NE(program->ErrorOutput().find("using " + folder + "/Documents for the Documents folder"),
              std::string::npos)
        << program->ErrorOutput();
    ASSERT_TRUE(TapUntil(kAlertOKX, kAlertOKY, [&] { return !AlertShown(); })) << "OK left the alert up";
    WaitUntilUncovered();
    Shot("2-main-screen");

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();
    EXPECT_TRUE(std::filesystem::exists(folder + "/Documents/GlobalSettings.dat")) << "the settings kept beside it";
}
} // namespace
