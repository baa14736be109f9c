#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>

#include "ProgramTrial.h"

// What the program tells on its alert, tried as a user meets it: documents
// kept beside the program because the data home cannot hold them (here a
// file where the folder should be), said at start before the main screens;
// the manual asked for by holding the status bar's screen where the
// desktop's opener fails at once. OK closes the alert and the program goes on.
namespace
{
// The status bar's screen; inside the desktop alert's body, left of where the
// intro help would lie, light while the alert shows and over a dark page
// otherwise; the alert's OK.
constexpr int kScreenX = 300, kScreenY = 15;
constexpr int kAlertBodyX = 320, kAlertBodyY = 150;
constexpr int kAlertOKX = 668, kAlertOKY = 194;

bool IsAlertGrey(const cRGB& c) { return c.r > 170 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12; }

class AlertTrialTest : public cProgramTrial
{
protected:
    AlertTrialTest() : cProgramTrial("alert-trial", "alert-trial") {}

    void TearDown() override
    {
        std::filesystem::remove_all(mData + "-program");
        cProgramTrial::TearDown();
    }

    bool AlertShown() { return IsAlertGrey(Pixel(Shot("probe"), kAlertBodyX, kAlertBodyY)); }
    bool CloseAlert() { return TapUntil(kAlertOKX, kAlertOKY, [&] { return !AlertShown(); }); }

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

    // An opener first on the path that notes the address and fails as one
    // does that finds nothing to open it with.
    std::string InstallFailingOpener()
    {
        const std::string folder = mData + "/bin";
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > '" << Asked() << "'\nexit 3\n";
        std::filesystem::permissions(folder + "/xdg-open", std::filesystem::perms::owner_all);
        return folder;
    }
    std::string Asked() const { return mData + "/asked.txt"; }
};

TEST_F(AlertTrialTest, DocumentsBesideTheProgramAreToldAtStart)
{
    const std::string folder = PlaceProgram();
    std::filesystem::remove_all(mData);
    std::ofstream(mData) << "a file where the data home should be";
    // The alert comes before the main screen.
    const std::unique_ptr<cProgram> program = LaunchProgram("-desktop", {}, {}, folder + "/quilwright");
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    ASSERT_TRUE(WaitUntil([&] { return AlertShown(); })) << "nothing said of the data folder";
    Shot("data-folder-1-told");
    EXPECT_NE(program->ErrorOutput().find("using " + folder + "/Documents for the Documents folder"),
              std::string::npos)
        << program->ErrorOutput();
    ASSERT_TRUE(CloseAlert()) << "OK left the alert up";
    EXPECT_TRUE(WaitUntilUncovered()) << "the main screen never showed";
    Shot("data-folder-2-after-ok");

    Close(*program, 10.0);
    EXPECT_TRUE(std::filesystem::exists(folder + "/Documents/GlobalSettings.dat")) << "the settings kept beside it";
}
TEST_F(AlertTrialTest, AFailedOpenerIsToldOnTheAlert)
{
    const std::unique_ptr<cProgram> program = StartProgram("-desktop", {"PATH=" + InstallFailingOpener()});
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    ASSERT_FALSE(AlertShown()) << "an alert before anything was asked";

    // A second's hold opens the manual: held until it is asked for, as a
    // busy program may take the press late.
    Input(MoveTo(kScreenX, kScreenY) + " sleep 0.1 mousedown 1");
    const bool requested = WaitUntil([&] { return std::filesystem::exists(Asked()); });
    Input("mouseup 1");
    ASSERT_TRUE(requested) << "the hold asked for nothing; see " << KeepShot("manual-0-no-request");
    ASSERT_TRUE(WaitUntil([&] { return AlertShown(); })) << "no alert after the opener failed: "
                                                          << program->ErrorOutput();
    Shot("manual-1-not-opened");
    std::ifstream asked(Asked());
    const std::string address((std::istreambuf_iterator<char>(asked)), std::istreambuf_iterator<char>());
    EXPECT_EQ(address.rfind("file://", 0), 0u) << address;
    EXPECT_NE(program->ErrorOutput().find("couldn't open " + address + ": xdg-open failed with status 3"),
              std::string::npos)
        << program->ErrorOutput();

    ASSERT_TRUE(CloseAlert()) << "OK left the alert up";

    Close(*program, 10.0);
}
} // namespace
