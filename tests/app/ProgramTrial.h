#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "ProgramProcess.h"
#include "Screenshot.h"
#include "VirtualDisplay.h"

// A new user's trial of the program on a virtual display with the disk
// audio device: clicks and keys through xdotool, screenshots read in memory
// (the named ones kept under test-output), and the audio the program wrote.
// After each input the trial waits until the program has taken it and drawn
// a frame after it, never for a guessed time.
class cProgramTrial : public ::testing::Test
{
protected:
    static constexpr double kTrialSampleRate = 44100.0;
    // A first start installs its content before it draws anything, for a
    // minute or more on a busy machine.
    static constexpr double kFirstStartSeconds = 180.0;

    // The data folder is named after the trial, the screenshots after the
    // prefix.
    cProgramTrial(const char* dataName, const char* shotPrefix)
        : mData(TestScratchFolder() + "/" + dataName + "-" + std::to_string(getpid())), mAudio(mData + ".raw"),
          mShotPrefix(shotPrefix)
    {
    }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(RequireTools({"Xvfb", "xauth", "xdotool", "import"}));
        ASSERT_TRUE(mDisplay.WaitUntilReady()) << "Xvfb did not start on a display of its own: " << mDisplay.Error();
        std::filesystem::remove_all(mData);
        std::filesystem::create_directories(mData + "/Quilwright/Documents");
        std::filesystem::create_directories(BuildFile("test-output"));
        // A user who has installed, has no recent project and has seen the help.
        std::ofstream(mData + "/Quilwright/Documents/GlobalSettings.dat")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Root FileVersion=\"1.000000\" RecentProject=\"\" AutoSaved=\"false\" InstallerVersion=\"9\" "
               "IntroHelp=\"5\"/>\n";
        std::remove(mAudio.c_str());
    }
    // The tools a trial drives the program with are part of the test set-up
    // (scripts/setup-deps installs them): one missing fails the trial.
    static void RequireTools(std::initializer_list<const char*> tools)
    {
        for (const char* tool : tools)
            ASSERT_TRUE(HasTool(tool)) << tool << " is not installed; scripts/setup-deps installs it";
    }
    std::string Documents(const std::string& name) const { return mData + "/Quilwright/Documents/" + name; }
    // A first start instead: the installer puts the kits in place; no recent
    // project, the help seen.
    void WriteFirstStartSettings() const
    {
        std::ofstream(Documents("GlobalSettings.dat"))
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Root FileVersion=\"1.000000\" RecentProject=\"\" AutoSaved=\"false\" IntroHelp=\"5\"/>\n";
    }
    // The stereo frames the disk device has written so far.
    size_t Frames() const
    {
        std::error_code error;
        const auto bytes = std::filesystem::file_size(mAudio, error);
        return error ? 0 : size_t(bytes / 4);
    }
    // Until the disk device has written the frames: the program's own clock.
    bool WaitForFrames(size_t frames, double seconds = 60.0) const
    {
        return WaitUntil([&] { return Frames() >= frames; }, seconds);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(mData);
        std::filesystem::remove(mData + "-leaks.supp");
        std::remove(mAudio.c_str());
    }

    static bool WaitUntil(const std::function<bool()>& condition, double seconds = 30.0,
                          std::chrono::milliseconds poll = std::chrono::milliseconds(50))
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            if (condition())
                return true;
            std::this_thread::sleep_for(poll);
        }
        return condition();
    }

    // xdotool's input on the program's window, then the wait until the
    // program has taken it and drawn after it.
    void Input(const std::string& actions)
    {
        mDisplay.Run("xdotool " + actions);
        Settle();
    }
    std::string MoveTo(int x, int y) const
    {
        return "mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y);
    }
    // A finger's press: down and up in different frames.
    void Tap(int x, int y) { Input(MoveTo(x, y) + " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1"); }
    // A tap, then the wait until the program shows what it does and stands
    // still: an alert or page caught fading in takes no taps yet.
    bool TapUntil(int x, int y, const std::function<bool()>& shown)
    {
        Tap(x, y);
        if (!WaitUntil(shown))
            return false;
        if (!mMovingScreen)
            StillShot("probe");
        return true;
    }
    // The same for a pixel; the last shot is kept when it never shows.
    bool TapUntil(int x, int y, int probeX, int probeY, const std::function<bool(const cRGB&)>& shown)
    {
        cScreenshot shot;
        if (TapUntil(x, y, [&] { return shown(Pixel(shot = Shot("probe"), probeX, probeY)); }))
            return true;
        Keep(shot, "failed-tap-" + std::to_string(x) + "-" + std::to_string(y));
        return false;
    }
    // A finger dragged from the spot by the distance, in steps a frame apart;
    // with the right button, two fingers mirrored about the spot.
    void Drag(int x, int y, int dx, int dy, int button = 1)
    {
        const std::string held = std::to_string(button);
        std::string actions = MoveTo(x, y) + " sleep 0.1 mousedown " + held;
        for (int step = 1; step <= 6; ++step)
            actions += " sleep 0.05 " + MoveTo(x + dx * step / 6, y + dy * step / 6);
        Input(actions + " sleep 0.1 mouseup " + held);
    }
    void Click(int x, int y) { Input(MoveTo(x, y) + " click 1"); }
    void Key(const char* name) { Input("key --clearmodifiers " + std::string(name)); }

    // Until the program has read the input sent so far and finished the
    // frame that took it: the events are read, then a mark sent after them
    // (a property of the window, which the program reads and ignores) is
    // read in a later frame, twice over, as a busy frame may read more than
    // one batch. A trial without a program or window only waits for nothing.
    void Settle()
    {
        if (!mProgram || mWindow.empty())
            return;
        const auto read = [&] { return mProgram->HasReadItsWindowEvents(); };
        EXPECT_TRUE(WaitUntil(read, 30.0, std::chrono::milliseconds(2))) << "the program never read its input";
        for (int mark = 0; mark < 2; ++mark)
        {
            mDisplay.Run("xdotool set_window --role quil-trial-mark-" + std::to_string(++mMarks) + " " + mWindow);
            EXPECT_TRUE(WaitUntil(read, 30.0, std::chrono::milliseconds(2))) << "the program never read its input";
        }
    }

    // A screenshot of the window; a named one is kept under test-output as
    // <prefix>-<name>.png, a "probe" only looked at.
    cScreenshot Shot(const std::string& name)
    {
        cScreenshot shot =
            cScreenshot::FromPpm(mDisplay.Output("import -window " + mWindow + " -depth 8 ppm:-"));
        EXPECT_FALSE(shot.Empty()) << "no screenshot of window " << mWindow << " for " << name;
        if (name != "probe" && !shot.Empty())
        {
            EXPECT_TRUE(Keep(shot, name)) << name;
        }
        return shot;
    }
    // A screenshot once the window shows still: with a frame of the
    // program's drawn since the last shot, the picture repeats one taken
    // earlier in this wait, so no fade or slide is under way (they never
    // repeat a picture). With nothing moving two shots in a row agree; a
    // blinking button (an edited preset's WRITE) rests between its fades,
    // and on a busy machine every two shots in a row may straddle a fade,
    // so a return to a resting picture counts too. A program stalled by a
    // busy machine draws no frame, and the wait waits for it too. A window
    // that never stands still is a failure.
    cScreenshot StillShot(const std::string& name)
    {
        cScreenshot now = Shot("probe");
        std::unordered_set<size_t> seen = {now.Hash()};
        EXPECT_TRUE(WaitUntil([&] {
            Settle();
            now = Shot("probe");
            return !seen.insert(now.Hash()).second;
        })) << "the window never stood still for " << name;
        if (name != "probe")
        {
            EXPECT_TRUE(Keep(now, name)) << name;
        }
        return now;
    }
    // A screenshot kept under test-output, for a failure to point at; its path.
    std::string KeepShot(const std::string& name)
    {
        Shot(name);
        return BuildFile("test-output/" + mShotPrefix + "-" + name + ".png");
    }
    // A screenshot kept under test-output as <prefix>-<name>.png.
    bool Keep(const cScreenshot& shot, const std::string& name) const
    {
        std::string path = BuildFile("test-output/");
        path += mShotPrefix;
        path += "-";
        path += name;
        path += ".png";
        return shot.SavePng(path);
    }
    static cRGB Pixel(const cScreenshot& shot, int x, int y) { return shot.At(x, y); }
    // The bytes of a region of a screenshot, to compare between shots.
    static std::string Region(const cScreenshot& shot, int x, int y, int width, int height)
    {
        return shot.Region(x, y, width, height);
    }
    // The same of a fresh screenshot.
    std::string Region(int x, int y, int width, int height) { return Shot("probe").Region(x, y, width, height); }
    // The same for a region: an opening fade, like the start-up cover's,
    // which takes every tap, has ended.
    bool WaitUntilStill(int x, int y, int width, int height)
    {
        std::string last = Region(x, y, width, height);
        return WaitUntil([&] {
            Settle();
            const std::string now = Region(x, y, width, height);
            const bool still = now == last;
            last = now;
            return still;
        });
    }
    // The program on the display with the disk device, its window found and
    // focused and the start-up cover gone (mWindow stays empty when no
    // window showed); with more environment, files handed on its command
    // line, another program file.
    std::unique_ptr<cProgram> StartProgram(const char* device = "-desktop", std::vector<std::string> environment = {},
                                           std::vector<std::string> documents = {},
                                           std::string programFile = BuildFile("bin/quilwright"))
    {
        std::unique_ptr<cProgram> program =
            LaunchProgram(device, std::move(environment), std::move(documents), std::move(programFile));
        if (!mWindow.empty())
        {
            EXPECT_TRUE(WaitUntilUncovered()) << "the main screen never showed";
        }
        return program;
    }
    // The same up to the window's focus.
    std::unique_ptr<cProgram> LaunchProgram(const char* device = "-desktop", std::vector<std::string> more = {},
                                            std::vector<std::string> documents = {},
                                            std::string programFile = BuildFile("bin/quilwright"))
    {
        std::vector<std::string> environment = mDisplay.ClientEnvironment();
        // The software renderer's threads are kept to two: trials run side by
        // side, and one thread a core for each would crowd the machine.
        environment.insert(environment.end(),
                           {"SDL_VIDEODRIVER=x11", "LP_NUM_THREADS=2", LeakOptionsForX11(mData + "-leaks.supp")});
        if (mDiskAudio)
            environment.insert(environment.end(), {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + mAudio});
        environment.insert(environment.end(), more.begin(), more.end());
        auto program = std::make_unique<cProgram>(device, environment, mData, std::move(documents), programFile);
        mProgram = program.get();
        mWindow.clear();
        if (!program->Started())
            return program;
        // A search that could not reach the display returns at once, empty:
        // it is asked again for as long as the program runs.
        WaitUntil(
            [&] {
                mWindow = mDisplay.Output("xdotool search --sync --onlyvisible --name 'Quilwright V1.42'");
                mWindow = mWindow.substr(0, mWindow.find('\n'));
                return !mWindow.empty() || program->HasExited();
            },
            60.0);
        if (mWindow.empty())
            return program;
        mDisplay.Run("xdotool windowfocus --sync " + mWindow);
        return program;
    }
    // Until the menu button at the top left shows, and shows still: the
    // start-up cover, a plain fill while the project loads and a fade after,
    // takes every tap until it has gone, and a slow machine shows it for
    // seconds (a first start's installer for longer). Whether it showed.
    bool WaitUntilUncovered()
    {
        std::string last;
        return WaitUntil([&] {
            Settle();
            const std::string now = Region(0, 0, 50, 30);
            const bool shown = now == last && !IsPlain(now);
            last = now;
            return shown;
        }, kFirstStartSeconds);
    }
    // The window closed as the desktop closes it: the program keeps the
    // project and ends with status 0.
    void Close(cProgram& program, double seconds = 20.0)
    {
        program.Signal(SIGTERM);
        ASSERT_TRUE(program.WaitForExit(seconds)) << "still running " << seconds << " s after SIGTERM";
        EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
        if (mProgram == &program)
            mProgram = nullptr;
    }
    // The song of the untitled project the program made and kept on closing.
    std::string SavedSong() const
    {
        std::error_code error;
        // A project saved before is kept beside its save, in the auto-save files.
        for (const auto& entry : std::filesystem::directory_iterator(Documents("User/Projects"), error))
            for (const char* name : {"Package.sng.as", "Package.sng"})
                if (std::filesystem::exists(entry.path() / name))
                    return (entry.path() / name).string();
        return "";
    }
    // Whether every pixel of a region read with Region has one colour.
    static bool IsPlain(const std::string& rgb)
    {
        for (size_t i = 3; i + 2 < rgb.size(); i += 3)
            if (rgb.compare(i, 3, rgb, 0, 3) != 0)
                return false;
        return true;
    }
    // The left channel the disk device wrote.
    std::vector<int16_t> ReadLeftChannel() const
    {
        std::vector<int16_t> left;
        if (FILE* file = std::fopen(mAudio.c_str(), "rb"))
        {
            int16_t frame[2];
            while (std::fread(frame, sizeof(int16_t), 2, file) == 2)
                left.push_back(frame[0]);
            std::fclose(file);
        }
        return left;
    }
    // Onsets of sound after at least 50 ms at or below the quiet level.
    static std::vector<size_t> Onsets(const std::vector<int16_t>& samples, int quietLevel = 0)
    {
        std::vector<size_t> onsets;
        size_t quiet = 0;
        for (size_t i = 0; i < samples.size(); ++i)
        {
            if (std::abs(int(samples[i])) <= quietLevel)
            {
                ++quiet;
                continue;
            }
            if (quiet > size_t(kTrialSampleRate * 0.05) || (onsets.empty() && i > 0 && quiet == i))
                onsets.push_back(i);
            quiet = 0;
        }
        return onsets;
    }

    cVirtualDisplay mDisplay;
    cProgram* mProgram = nullptr;
    // Set while the screen moves on its own (a song playing, its meters
    // moving): taps then wait for what they show only.
    bool mMovingScreen = false;
    // Whether the program plays into the audio file; the dummy device otherwise.
    bool mDiskAudio = true;
    int mMarks = 0;
    std::string mWindow;
    const std::string mData;
    const std::string mAudio;
    const std::string mShotPrefix;
};

