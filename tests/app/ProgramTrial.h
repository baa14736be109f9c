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
#include <vector>

#include "ProgramProcess.h"
#include "VirtualDisplay.h"

// A new user's trial of the program on a virtual display with the disk audio
// device: clicks and keys through xdotool, screenshots kept under
// test-output and read back pixel by pixel, and the audio the program wrote.
struct cRGB
{
    int r, g, b;
    bool IsLitBlue() const { return b > 110 && b > r + 60; }
};

class cProgramTrial : public ::testing::Test
{
protected:
    static constexpr double kTrialSampleRate = 44100.0;

    // The data folder is named after the trial, the screenshots after the
    // prefix.
    cProgramTrial(const char* dataName, const char* shotPrefix)
        : mData(TestScratchFolder() + "/" + dataName + "-" + std::to_string(getpid())), mAudio(mData + ".raw"),
          mShotPrefix(shotPrefix)
    {
    }

    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "import", "convert"})
            if (!HasTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(mDisplay.WaitUntilReady()) << "Xvfb did not start";
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
    void TearDown() override
    {
        std::filesystem::remove_all(mData);
        std::filesystem::remove(mData + "-leaks.supp");
        std::filesystem::remove(mData + "-probe.png");
        std::remove(mAudio.c_str());
    }

    static bool WaitUntil(const std::function<bool()>& condition, double seconds = 30.0)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return condition();
    }
    // A finger's press: down and up in different frames.
    void Tap(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1");
    }
    // A tap, then the wait until the program shows what it does.
    bool TapUntil(int x, int y, const std::function<bool()>& shown)
    {
        Tap(x, y);
        return WaitUntil(shown);
    }
    bool TapUntil(int x, int y, int probeX, int probeY, const std::function<bool(const cRGB&)>& shown)
    {
        return TapUntil(x, y, [&] { return shown(Pixel(Shot("probe"), probeX, probeY)); });
    }
    // A finger dragged from the spot by the distance, in steps a frame apart;
    // with the right button, two fingers mirrored about the spot.
    void Drag(int x, int y, int dx, int dy, int button = 1)
    {
        const std::string held = std::to_string(button);
        std::string command = "xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " +
                              std::to_string(y) + " sleep 0.1 mousedown " + held;
        for (int step = 1; step <= 6; ++step)
            command += " sleep 0.05 mousemove --window " + mWindow + " " + std::to_string(x + dx * step / 6) + " " +
                       std::to_string(y + dy * step / 6);
        mDisplay.Run(command + " sleep 0.1 mouseup " + held);
    }
    void Click(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " click 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    void Key(const char* name)
    {
        mDisplay.Run("xdotool key --clearmodifiers " + std::string(name));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    // A screenshot of the window, kept under test-output; a "probe", only
    // looked at, beside the trial's data, so that trials run side by side
    // never read each other's.
    std::string Shot(const std::string& name)
    {
        const std::string path = name == "probe" ? mData + "-probe.png"
                                                 : BuildFile("test-output/" + mShotPrefix + "-" + name + ".png");
        EXPECT_EQ(mDisplay.Run("import -window " + mWindow + " " + path), 0) << name;
        return path;
    }
    static cRGB Pixel(const std::string& shot, int x, int y)
    {
        cRGB rgb = {-1, -1, -1};
        const std::string command = "convert '" + shot + "' -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                                    " -depth 8 txt:- | tail -1";
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            char line[256] = {};
            if (fgets(line, sizeof(line), pipe))
                std::sscanf(std::strchr(line, '(') ? std::strchr(line, '(') : line, "(%d,%d,%d", &rgb.r, &rgb.g, &rgb.b);
            pclose(pipe);
        }
        return rgb;
    }
    // The bytes of a region of a screenshot, to compare between shots.
    static std::string Region(const std::string& shot, int x, int y, int width, int height)
    {
        std::string bytes;
        const std::string command = "convert '" + shot + "' -crop " + std::to_string(width) + "x" +
                                    std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y) +
                                    " +repage -depth 8 rgb:-";
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            char buffer[4096];
            size_t read;
            while ((read = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
                bytes.append(buffer, read);
            pclose(pipe);
        }
        return bytes;
    }
    // The same of a fresh screenshot.
    std::string Region(int x, int y, int width, int height) { return Region(Shot("probe"), x, y, width, height); }
    // Waits until two shots of the region a moment apart agree: an opening
    // fade, like the start-up cover's, which takes every tap, has ended.
    bool WaitUntilStill(int x, int y, int width, int height)
    {
        std::string last = Region(x, y, width, height);
        return WaitUntil([&] {
            const std::string now = Region(x, y, width, height);
            const bool still = now == last;
            last = now;
            return still;
        });
    }
    // The program on the display with the disk device, its window found and
    // focused (mWindow stays empty when none showed); with more environment,
    // files handed on its command line, another program file.
    std::unique_ptr<cProgram> StartProgram(const char* device = "-desktop", std::vector<std::string> environment = {},
                                           std::vector<std::string> documents = {},
                                           std::string programFile = BuildFile("bin/quilwright"))
    {
        for (std::string entry : {"DISPLAY=" + mDisplay.Name(), std::string("SDL_VIDEODRIVER=x11"),
                                  std::string("SDL_AUDIODRIVER=disk"), "SDL_DISKAUDIOFILE=" + mAudio,
                                  LeakOptionsForX11(mData + "-leaks.supp")})
            environment.push_back(entry);
        auto program = std::make_unique<cProgram>(device, environment, mData, documents, programFile);
        if (!program->Started())
            return program;
        mWindow = mDisplay.Output("xdotool search --sync --onlyvisible --name 'Quilwright V1.42'");
        mWindow = mWindow.substr(0, mWindow.find('\n'));
        if (mWindow.empty())
            return program;
        mDisplay.Run("xdotool windowfocus --sync " + mWindow);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        WaitUntilUncovered();
        return program;
    }
    // Until the menu button at the top left shows, and shows still: the
    // start-up cover, a plain fill while the project loads and a fade after,
    // takes every tap until it has gone, and a slow machine shows it for
    // seconds. A trial that meets an alert at start-up waits here in vain
    // for a while, and goes on.
    void WaitUntilUncovered()
    {
        std::string last;
        WaitUntil([&] {
            const std::string now = Region(0, 0, 50, 30);
            const bool shown = now == last && !IsPlain(now);
            last = now;
            return shown;
        });
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
    std::string mWindow;
    const std::string mData;
    const std::string mAudio;
    const std::string mShotPrefix;
};

