#include <gtest/gtest.h>

#include "ProgramProcess.h"
#include "VirtualDisplay.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The program as a new user meets it, on a virtual X display: the first start
// shows its window and leaves readable settings files behind when closed,
// the next start installs nothing, and a start over a settings file cut in
// half says so. Screenshots go to the build's test-output folder.
namespace
{
class cUserTrialTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "import", "xmllint"})
            if (!HasTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(mDisplay.WaitUntilReady()) << "Xvfb did not start";
        std::filesystem::remove_all(mData);
        std::filesystem::create_directories(BuildFile("test-output"));
    }
    void TearDown() override
    {
        std::filesystem::remove_all(mData);
        std::filesystem::remove(mData + "-leaks.supp");
    }

    std::string Documents(const std::string& name = "") const { return mData + "/Quilwright/Documents/" + name; }

    // Starts the program on the display and waits for its window; a
    // screenshot is taken when named; when a document is named, the program
    // runs until it has written it; then it is closed as the desktop closes
    // it. Returns the program's standard error.
    std::string Start(const char* screenshot, const char* document = nullptr, bool* messageShot = nullptr)
    {
        cProgram program("-desktop", {"DISPLAY=" + mDisplay.Name(), "SDL_VIDEODRIVER=x11", LeakOptions()}, mData);
        EXPECT_TRUE(program.Started());
        std::string window = mDisplay.Output("xdotool search --sync --onlyvisible --name 'Quilwright V1.42'");
        window = window.substr(0, window.find('\n'));
        EXPECT_FALSE(window.empty()) << "no window: " << program.ErrorOutput();
        EXPECT_NE(mDisplay.Output("xdotool getwindowgeometry " + window).find("Geometry: 1024x768"), std::string::npos);
        if (messageShot && screenshot && !window.empty())
            *messageShot = ShotOfAMessage(window, screenshot);
        usleep(1000000);
        if (!messageShot && screenshot && !window.empty())
        {
            EXPECT_EQ(mDisplay.Run("import -window " + window + " " + BuildFile("test-output/") + screenshot), 0);
        }
        for (int i = 0; document && i < 300 && !std::filesystem::exists(Documents(document)); ++i)
            usleep(100000);
        program.Signal(SIGTERM);
        EXPECT_TRUE(program.WaitForExit(10.0)) << "still running 10 s after SIGTERM";
        EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
        return program.ErrorOutput();
    }

    // The window system's message bus library, which SDL's X11 driver
    // starts, keeps a buffer to the end; a sanitizer build must not count it.
    std::string LeakOptions() const
    {
        const std::string suppressions = mData + "-leaks.supp";
        std::ofstream(suppressions) << "leak:libdbus-1.so\n";
        const char* inherited = std::getenv("LSAN_OPTIONS");
        return "LSAN_OPTIONS=suppressions=" + suppressions + ":print_suppressions=0" +
               (inherited && *inherited ? std::string(":") + inherited : std::string());
    }

    // Starts the program with a document to open, once its core has started
    // (the installer first, on a fresh data home) runs the step, then closes it.
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
        cProgram program("-desktop", {"DISPLAY=" + mDisplay.Name(), "SDL_VIDEODRIVER=x11", LeakOptions()}, mData,
                         {document});
        EXPECT_TRUE(program.Started());
        std::string window = mDisplay.Output("xdotool search --sync --onlyvisible --name 'Quilwright V1.42'");
        window = window.substr(0, window.find('\n'));
        EXPECT_FALSE(window.empty()) << "no window: " << program.ErrorOutput();
        for (int i = 0; i < 300 && !std::filesystem::exists(Documents("MIDISettings.dat")); ++i)
            usleep(100000);
        usleep(1500000);
        mDisplay.Run("xdotool windowfocus --sync " + window);
        step(window);
        program.Signal(SIGTERM);
        EXPECT_TRUE(program.WaitForExit(10.0)) << "still running 10 s after SIGTERM";
        EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
        return program.ErrorOutput();
    }
    // Screenshots from the window's first frames on, as a message in the
    // status bar's text area comes and goes: once four shots in a row agree,
    // the first with text that differs from them is kept under the name.
    // True when one did. A slow start shows nothing for seconds, so the
    // shots go on for up to half a minute.
    bool ShotOfAMessage(const std::string& window, const std::string& name)
    {
        const std::string base = BuildFile("test-output/") + name;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::vector<std::string> shots;
        int agreeing = 0;
        bool found = false;
        while (!found && std::chrono::steady_clock::now() < deadline)
        {
            shots.push_back(base + "-" + std::to_string(shots.size()) + ".png");
            mDisplay.Run("import -window " + window + " " + shots.back());
            const bool same = shots.size() > 1 && !TextAreaDiffers(shots[shots.size() - 2], shots.back());
            agreeing = same ? agreeing + 1 : 0;
            if (agreeing != 3)
            {
                usleep(150000);
                continue;
            }
            for (const std::string& shot : shots)
                if (!found && TextAreaHasText(shot) && TextAreaDiffers(shot, shots.back()))
                {
                    std::filesystem::copy_file(shot, base, std::filesystem::copy_options::overwrite_existing);
                    found = true;
                }
        }
        for (const std::string& shot : shots)
            std::filesystem::remove(shot);
        return found;
    }
    // Before its first frame the window is one colour.
    static bool TextAreaHasText(const std::string& shot)
    {
        double deviation = 0.0;
        const std::string command =
            "convert '" + shot + "' -crop 300x20+216+6 -format '%[fx:standard_deviation]' info: 2>/dev/null";
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            if (std::fscanf(pipe, "%lf", &deviation) != 1)
                deviation = 0.0;
            pclose(pipe);
        }
        return deviation > 0.01;
    }
    // The status bar's text area, where messages replace the page's name.
    static bool TextAreaDiffers(const std::string& a, const std::string& b)
    {
        long count = 0;
        const std::string command = "compare -metric AE -extract 300x20+216+6 '" + a + "' '" + b + "' null: 2>&1";
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            if (std::fscanf(pipe, "%ld", &count) != 1)
                count = 0;
            pclose(pipe);
        }
        return count > 20;
    }
    void Shot(const std::string& window, const char* name)
    {
        EXPECT_EQ(mDisplay.Run("import -window " + window + " " + BuildFile("test-output/") + name), 0);
    }
    static std::string Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    cVirtualDisplay mDisplay;
    const std::string mData = DataHome();

private:
    // Built piecewise: GCC 12 warns falsely about a chain of string additions here.
    static std::string DataHome()
    {
        std::string path = TestScratchFolder();
        path += "/user-trial-";
        path += std::to_string(getpid());
        return path;
    }
};

TEST_F(cUserTrialTest, FirstStartNextStartAndADamagedSettingsFile)
{
    // A first start shows the installer, then starts the core over our content.
    const std::string first = Start("user-trial-installer.png", "MIDISettings.dat");
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
    const std::string damaged = Start("user-trial-damaged-settings.png", nullptr, &messageShown);
    EXPECT_NE(damaged.find("The settings file \"GlobalSettings.dat\" is damaged"), std::string::npos) << damaged;
    EXPECT_NE(damaged.find("using its backup"), std::string::npos) << damaged;
    EXPECT_TRUE(std::filesystem::exists(Documents("MIDISettings.dat.tmp")));
}
// The settings file's identity: each safe save puts a new file in its place.
ino_t SettingsFileIdentity(const std::string& path)
{
    struct stat status = {};
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
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
        const ino_t before = SettingsFileIdentity(settings);
        cProgram program("-desktop", {"DISPLAY=" + mDisplay.Name(), "SDL_VIDEODRIVER=x11", LeakOptions()}, mData);
        ASSERT_TRUE(program.Started());
        std::string window = mDisplay.Output("xdotool search --sync --onlyvisible --name 'Quilwright V1.42'");
        window = window.substr(0, window.find('\n'));
        ASSERT_FALSE(window.empty()) << "no window: " << program.ErrorOutput();
        if (!loaded.empty())
        {
            EXPECT_TRUE(ShotOfAMessage(window, shot)) << "nothing in the status bar's text area";
            const std::string named = "RecentProject=\"" + loaded + "\"";
            for (int i = 0; i < 300 && !(SettingsFileIdentity(settings) != before && Bytes(settings).find(named) !=
                                                                                          std::string::npos);
                 ++i)
                usleep(50000);
            EXPECT_NE(Bytes(settings).find(named), std::string::npos) << "not loaded: " << Bytes(settings);
        }
        else
            usleep(1500000);
        mDisplay.Run("xdotool windowfocus --sync " + window);
        step(window);
        program.Signal(SIGTERM);
        EXPECT_TRUE(program.WaitForExit(10.0)) << "still running 10 s after SIGTERM";
        EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
    };
    const std::string untitled = Documents("User/Projects/Untitled-01.prj");

    writeSettings("");
    run(nullptr, "", [&](const std::string&) {
        EXPECT_TRUE(std::filesystem::is_directory(untitled));
        for (int press = 0; press < 2; ++press)
        {
            mDisplay.Run("xdotool key --clearmodifiers space");
            usleep(500000);
        }
    });
    for (const char* file : {"Package.prj", "Package.sng", "Kest.bnk"})
        EXPECT_TRUE(std::filesystem::exists(untitled + "/" + file)) << file;
    EXPECT_NE(Bytes(settings).find("RecentProject=\"User/Projects/Untitled-01.prj\" AutoSaved=\"false\""),
              std::string::npos)
        << Bytes(settings);

    run("user-trial-loaded-untitled.png", "User/Projects/Untitled-01.prj", [](const std::string&) {});

    std::filesystem::rename(untitled, Documents("User/Projects/Moved.prj"));
    writeSettings("User/Projects/Moved.prj");
    run("user-trial-loaded-moved.png", "User/Projects/Moved.prj", [](const std::string&) {});
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

    StartWith(handed, [&](const std::string& window) {
        Shot(window, "user-trial-import-keyboard.png");
        mDisplay.Run("xdotool key --clearmodifiers Return");
        for (int i = 0; i < 50 && !std::filesystem::exists(Documents("User/Samples/Kick.WAV")); ++i)
            usleep(100000);
        usleep(500000);
    });
    EXPECT_EQ(Bytes(Documents("User/Samples/Kick.WAV")), bytes);

    std::ofstream(Documents("User/Samples/Kick.WAV"), std::ios::binary | std::ios::trunc) << "edited";
    StartWith(handed, [&](const std::string& window) {
        mDisplay.Run("xdotool key --clearmodifiers Return");
        usleep(1500000);
        Shot(window, "user-trial-import-overwrite.png");
    });
    EXPECT_EQ(Bytes(Documents("User/Samples/Kick.WAV")), "edited") << "nothing replaced before the user says so";
    std::filesystem::remove_all(mData + "-handed");
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
    const auto click = [&](const std::string& window, int x, int y) {
        mDisplay.Run("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                     " click 1");
        usleep(700000);
    };
    const auto type = [&](const char* text) {
        mDisplay.Run("xdotool type --delay 80 '" + std::string(text) + "'");
        mDisplay.Run("xdotool key --clearmodifiers Return");
        usleep(700000);
    };
    const int rowY[] = {77, 137, 197};
    StartWith(handed, [&](const std::string& window) {
        click(window, 804, 269); // the keyboard's "Browse"
        Shot(window, "user-trial-browse.png");
        click(window, 58, 745); // "New Folder"
        type("Loops");
        EXPECT_TRUE(std::filesystem::is_directory(Documents("User/Samples/Loops")));
        click(window, 969, 610); // "Rename" on the new folder, selected
        type("Takes");
        EXPECT_TRUE(std::filesystem::is_directory(Documents("User/Samples/Takes")));
        EXPECT_FALSE(std::filesystem::exists(Documents("User/Samples/Loops")));
        click(window, 200, rowY[1]); // the selected folder tapped: entered
        Shot(window, "user-trial-browse-inside.png");
        click(window, 874, 745); // up: the folder left is selected
        click(window, 162, 745); // "Delete"
        Shot(window, "user-trial-browse-delete.png");
        click(window, 562, 194); // the alert's "OK"
        EXPECT_FALSE(std::filesystem::exists(Documents("User/Samples/Takes")));
        EXPECT_TRUE(std::filesystem::is_directory(Documents("User/Samples/Kest Factory")));
    });
    std::filesystem::remove_all(mData + "-handed");
}
} // namespace
