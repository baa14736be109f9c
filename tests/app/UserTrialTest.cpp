#include <gtest/gtest.h>

#include "ProgramTrial.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

// The program as a new user meets it, on a virtual X display: the first start
// shows its window and leaves readable settings files behind when closed,
// the next start installs nothing, and a start over a settings file cut in
// half says so. Screenshots go to the build's test-output folder.
namespace
{
// The status bar's text area, where messages replace the page's name.
constexpr int kTextX = 216, kTextY = 6, kTextWidth = 300, kTextHeight = 20;

class cUserTrialTest : public cProgramTrial
{
protected:
    // The program's standard error is read whole: no audio file's notice in it.
    cUserTrialTest() : cProgramTrial("user-trial", "user-trial") { mDiskAudio = false; }

    // Nothing in the data folder, as on a new machine.
    void SetUp() override
    {
        cProgramTrial::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(RequireTools({"xmllint"}));
        std::filesystem::remove_all(mData + "/Quilwright");
    }
    void TearDown() override
    {
        cProgramTrial::TearDown();
        std::filesystem::remove_all(mData + "-handed");
    }

    std::string Documents(const std::string& name = "") const { return cProgramTrial::Documents(name); }

    // Starts the program on the display and waits for its window; a
    // screenshot is taken when named; the program runs until its main
    // screen shows (after the installer on a first start); then it is closed
    // as the desktop closes it. Returns the program's standard error.
    std::string Start(const char* screenshot, bool* messageShot = nullptr)
    {
        const std::unique_ptr<cProgram> program = LaunchProgram();
        EXPECT_TRUE(program->Started());
        EXPECT_FALSE(mWindow.empty()) << "no window: " << program->ErrorOutput();
        EXPECT_NE(mDisplay.Output("xdotool getwindowgeometry " + mWindow).find("Geometry: 1024x768"),
                  std::string::npos);
        if (messageShot && screenshot && !mWindow.empty())
            *messageShot = ShotOfAMessage(screenshot);
        else if (screenshot && !mWindow.empty())
            Shot(screenshot);
        EXPECT_TRUE(WaitUntilUncovered()) << "the main screen never showed";
        Close(*program, 10.0);
        return program->ErrorOutput();
    }

    // Starts the program with a document to open, once its main screen shows
    // (after the installer, on a fresh data home) runs the step, then closes it.
    template <class F>
    std::string StartWith(const std::string& document, F&& step)
    {
        // A user who has seen the intro help, so that nothing covers the page.
        if (!std::filesystem::exists(Documents("GlobalSettings.dat")))
        {
            std::filesystem::create_directories(Documents());
            std::ofstream(Documents("GlobalSettings.dat"))
                << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<Root FileVersion=\"1.000000\" RecentProject=\"\" IntroHelp=\"3\"/>\n";
        }
        const std::unique_ptr<cProgram> program = LaunchProgram("-desktop", {}, {document});
        EXPECT_TRUE(program->Started());
        EXPECT_FALSE(mWindow.empty()) << "no window: " << program->ErrorOutput();
        EXPECT_TRUE(WaitUntilUncovered()) << "the main screen never showed";
        step();
        Close(*program, 10.0);
        return program->ErrorOutput();
    }
    // Screenshots from the window's first frames on, as a message in the
    // status bar's text area comes and goes: once four shots in a row agree,
    // the first with text that differs from them is kept under the name.
    // True when one did. A slow start shows nothing for seconds, so the
    // shots go on for up to half a minute.
    bool ShotOfAMessage(const std::string& name)
    {
        std::vector<cScreenshot> shots;
        int agreeing = 0;
        const bool settled = WaitUntil(
            [&] {
                shots.push_back(Shot("probe"));
                const bool same = shots.size() > 1 && !TextAreaDiffers(shots[shots.size() - 2], shots.back());
                agreeing = same ? agreeing + 1 : 0;
                return agreeing == 3;
            },
            30.0, std::chrono::milliseconds(20));
        for (const cScreenshot& shot : shots)
            if (settled && TextAreaHasText(shot) && TextAreaDiffers(shot, shots.back()))
                return Keep(shot, name);
        return false;
    }
    // Before its first frame the window is one colour.
    static bool TextAreaHasText(const cScreenshot& shot)
    {
        return !IsPlain(Region(shot, kTextX, kTextY, kTextWidth, kTextHeight));
    }
    static bool TextAreaDiffers(const cScreenshot& a, const cScreenshot& b)
    {
        int differing = 0;
        for (int y = kTextY; y < kTextY + kTextHeight; ++y)
            for (int x = kTextX; x < kTextX + kTextWidth; ++x)
            {
                const cRGB p = a.At(x, y), q = b.At(x, y);
                differing += p.r != q.r || p.g != q.g || p.b != q.b;
            }
        return differing > 20;
    }
    static std::string Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(cUserTrialTest, FirstStartNextStartAndADamagedSettingsFile)
{
    // A first start shows the installer, then starts the core over our content.
    const std::string first = Start("installer");
    EXPECT_EQ(first, "");
    EXPECT_TRUE(std::filesystem::is_directory(Documents("User/VRX Banks")));
    std::ifstream settingsFile(Documents("GlobalSettings.dat"));
    const std::string settingsText((std::istreambuf_iterator<char>(settingsFile)), std::istreambuf_iterator<char>());
    EXPECT_NE(settingsText.find("InstallerVersion=\"9\""), std::string::npos);
    for (const char* file : {"GlobalSettings.dat", "MIDISettings.dat", "AuditionSettings.dat"})
    {
        ASSERT_TRUE(std::filesystem::exists(Documents(file))) << file;
        EXPECT_EQ(std::system(("xmllint --noout '" + Documents(file) + "'").c_str()), 0) << file;
    }

    // Only the installer would delete this.
    std::ofstream(Documents("MIDISettings.dat.tmp")) << "kept";
    EXPECT_EQ(Start(nullptr), "");
    EXPECT_TRUE(std::filesystem::exists(Documents("MIDISettings.dat.tmp")));

    const std::string settings = Documents("GlobalSettings.dat");
    std::filesystem::resize_file(settings, std::filesystem::file_size(settings) / 2);
    // The shot shows the first message of the start; the notice of the
    // damage may already have given way to the recent project's.
    bool messageShown = false;
    const std::string damaged = Start("damaged-settings", &messageShown);
    EXPECT_NE(damaged.find("The settings file \"GlobalSettings.dat\" is damaged"), std::string::npos) << damaged;
    EXPECT_NE(damaged.find("using its backup"), std::string::npos) << damaged;
    EXPECT_TRUE(std::filesystem::exists(Documents("MIDISettings.dat.tmp")));
}
// The settings file's stamp: each safe save puts a new file in its place,
// whose inode number may be one freed a moment before, but not its time.
std::pair<ino_t, long long> SettingsFileStamp(const std::string& path)
{
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0)
        return {0, 0};
    return {status.st_ino, status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec};
}

// A user's untitled project: its folder is there while the program runs,
// Space twice plays and stops (a change), and closing saves it; the next
// start loads it, and once moved and named as the recent project it loads
// under its new name. A load ends by saving the settings twice, the recent
// project forgotten and then named again once it has loaded.
TEST_F(cUserTrialTest, TheClosedProjectComesBackAndAMovedOneUnderItsName)
{
    const std::string settings = Documents("GlobalSettings.dat");
    const auto writeSettings = [&](const std::string& recent) {
        std::filesystem::create_directories(Documents());
        std::ofstream(settings) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<Root FileVersion=\"1.000000\" RecentProject=\""
                                << recent << "\" AutoSaved=\"false\" InstallerVersion=\"9\" IntroHelp=\"5\"/>\n";
    };
    const auto run = [&](const char* shot, const std::string& loaded, auto&& step) {
        const auto before = SettingsFileStamp(settings);
        const std::unique_ptr<cProgram> program = LaunchProgram();
        ASSERT_TRUE(program->Started());
        ASSERT_FALSE(mWindow.empty()) << "no window: " << program->ErrorOutput();
        if (!loaded.empty())
        {
            EXPECT_TRUE(ShotOfAMessage(shot)) << "nothing in the status bar's text area";
            const std::string named = "RecentProject=\"" + loaded + "\"";
            EXPECT_TRUE(WaitUntil([&] {
                return SettingsFileStamp(settings) != before && Bytes(settings).find(named) != std::string::npos;
            })) << "not loaded: "
                << Bytes(settings);
        }
        EXPECT_TRUE(WaitUntilUncovered()) << "the main screen never showed";
        step();
        Close(*program, 10.0);
    };
    const std::string untitled = Documents("User/Projects/Untitled-01.prj");

    writeSettings("");
    run(nullptr, "", [&] {
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::is_directory(untitled); })) << untitled;
        Key("space");
        Key("space");
    });
    for (const char* file : {"Package.prj", "Package.sng", "Kest.bnk"})
        EXPECT_TRUE(std::filesystem::exists(untitled + "/" + file)) << file;
    EXPECT_NE(Bytes(settings).find("RecentProject=\"User/Projects/Untitled-01.prj\" AutoSaved=\"false\""),
              std::string::npos)
        << Bytes(settings);

    run("loaded-untitled", "User/Projects/Untitled-01.prj", [] {});

    std::filesystem::rename(untitled, Documents("User/Projects/Moved.prj"));
    writeSettings("User/Projects/Moved.prj");
    run("loaded-moved", "User/Projects/Moved.prj", [] {});
    EXPECT_NE(Bytes(settings).find("RecentProject=\"User/Projects/Moved.prj\""), std::string::npos) << Bytes(settings);
}
// A WAV file named on the command line is offered for the user's samples
// with the keyboard open on its own name; Return copies it, and a second
// time the user is asked before it is overwritten.
TEST_F(cUserTrialTest, AWavFileNamedOnTheCommandLineIsImported)
{
    const std::string handed = mData + "-handed/Kick.WAV";
    std::filesystem::create_directories(mData + "-handed");
    std::string bytes = "RIFF";
    for (int i = 0; i < 4000; ++i)
        bytes += char(i * 7);
    std::ofstream(handed, std::ios::binary) << bytes;

    StartWith(handed, [&] {
        Shot("import-keyboard");
        Key("Return");
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(Documents("User/Samples/Kick.WAV")); }))
            << "the sample copied";
    });
    EXPECT_EQ(Bytes(Documents("User/Samples/Kick.WAV")), bytes);

    std::ofstream(Documents("User/Samples/Kick.WAV"), std::ios::binary | std::ios::trunc) << "edited";
    StartWith(handed, [&] {
        Key("Return");
        StillShot("import-overwrite");
    });
    EXPECT_EQ(Bytes(Documents("User/Samples/Kick.WAV")), "edited") << "nothing replaced before the user says so";
}
// The browser behind the same keyboard's "Browse" key, used with the mouse
// as a new user would: the browser fills the screen below the 30-pixel bar,
// its list starts 16 pixels down with rows of 60 pixels, the buttons are
// 96 x 32 with the bottom row centred at y 745, "New Folder" at the list's
// left and "Delete" one button and 8 pixels on, the up button ending at the
// scroll bar, "Rename" three pitches above the accept button at the right.
TEST_F(cUserTrialTest, TheBrowserWalksAndChangesTheUsersFolders)
{
    const std::string handed = mData + "-handed/Kick.WAV";
    std::filesystem::create_directories(mData + "-handed");
    std::ofstream(handed, std::ios::binary) << "RIFF";
    // A click, then the screen at rest for the next.
    const auto click = [&](int x, int y, const char* shot = "probe") {
        Click(x, y);
        StillShot(shot);
    };
    const auto type = [&](const char* text) {
        Input("type --delay 80 '" + std::string(text) + "'");
        Key("Return");
    };
    const auto exists = [&](const char* path) {
        return WaitUntil([&] { return std::filesystem::is_directory(Documents(path)); });
    };
    const auto gone = [&](const char* path) {
        return WaitUntil([&] { return !std::filesystem::exists(Documents(path)); });
    };
    const int rowY[] = {77, 137, 197};
    StartWith(handed, [&] {
        click(804, 269, "browse"); // the keyboard's "Browse"
        click(58, 745);            // "New Folder"
        type("Loops");
        EXPECT_TRUE(exists("User/Samples/Loops"));
        StillShot("probe");
        click(969, 610); // "Rename" on the new folder, selected
        type("Takes");
        EXPECT_TRUE(exists("User/Samples/Takes"));
        EXPECT_TRUE(gone("User/Samples/Loops"));
        StillShot("probe");
        click(200, rowY[1], "browse-inside"); // the selected folder tapped: entered
        click(874, 745);                      // up: the folder left is selected
        click(162, 745, "browse-delete");     // "Delete"
        click(562, 194);                      // the alert's "OK"
        EXPECT_TRUE(gone("User/Samples/Takes"));
        EXPECT_TRUE(std::filesystem::is_directory(Documents("User/Samples/Kest Factory")));
    });
}
} // namespace
