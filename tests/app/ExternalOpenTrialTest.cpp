#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "ProgramTrial.h"

// The manual asked for by holding the status bar's screen, where the
// desktop's opener fails at once: the program says so on its alert, which
// the user closes with OK.
namespace
{
using namespace std::chrono_literals;

// The status bar's screen; inside the desktop alert's body, light while it
// shows and over a dark page otherwise; the alert's OK.
constexpr int kScreenX = 300, kScreenY = 15;
constexpr int kAlertBodyX = 320, kAlertBodyY = 150;
constexpr int kAlertOKX = 668, kAlertOKY = 194;

bool IsAlertGrey(const cRGB& c) { return c.r > 170 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12; }

class ExternalOpenTrialTest : public cProgramTrial
{
protected:
    ExternalOpenTrialTest() : cProgramTrial("open-trial", "open-trial") {}

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

    bool AlertShown() { return IsAlertGrey(Pixel(Shot("probe"), kAlertBodyX, kAlertBodyY)); }
};

TEST_F(ExternalOpenTrialTest, AFailedOpenerIsToldOnTheAlert)
{
    const std::unique_ptr<cProgram> program = StartProgram("-desktop", {"PATH=" + InstallFailingOpener()});
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    ASSERT_FALSE(AlertShown()) << "an alert before anything was asked";

    // A second's hold opens the manual.
    mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(kScreenX) + " " +
                 std::to_string(kScreenY) + " sleep 0.1 mousedown 1 sleep 1.5 mouseup 1");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(Asked()); }))
        << "the hold asked for nothing; see " << Shot("0-no-request");
    ASSERT_TRUE(WaitUntil([&] { return AlertShown(); })) << "no alert after the opener failed: "
                                                          << program->ErrorOutput();
    Shot("1-manual-not-opened");
    std::ifstream asked(Asked());
    const std::string address((std::istreambuf_iterator<char>(asked)), std::istreambuf_iterator<char>());
    EXPECT_EQ(address.rfind("file://", 0), 0u) << address;
    EXPECT_NE(program->ErrorOutput().find("couldn't open " + address + ": xdg-open failed with status 3"),
              std::string::npos)
        << program->ErrorOutput();

    ASSERT_TRUE(TapUntil(kAlertOKX, kAlertOKY, [&] { return !AlertShown(); })) << "OK left the alert up";

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();
}
} // namespace
