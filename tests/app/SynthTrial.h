#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "ProgramTrial.h"

// What the synthesizer's preset trials share: a start from an empty data
// folder, as on a new machine; where the desktop layout of a 1024 x 768
// window puts the help, the main menu and its instrument cells, the preset
// band and the write dialogue; a finger's tap; the start-up help closed and
// an instrument's editor opened from the menu.
class cSynthTrial : public cProgramTrial
{
protected:
    static constexpr int kHelpX = 620, kHelpY = 145, kHelpCloseX = 377, kHelpCloseY = 57;
    static constexpr int kBarMiddle = 15, kMenuX = 25, kCellY = 68;
    static constexpr int kBandY = 56, kWriteX = 117, kBankUpX = 522, kPresetUpX = 971;
    static constexpr int kDialogueUpX = 648, kDialogueBankY = 253, kDialoguePresetY = 337;
    static constexpr int kDialogueButtonX = 691, kRenameY = 253, kDialogueWriteY = 297;
    static constexpr double kFirstStartSeconds = 180.0;

    using cProgramTrial::cProgramTrial;

    void SetUp() override
    {
        cProgramTrial::SetUp();
        std::filesystem::remove_all(mData + "/Quilwright");
    }

    // A tap held over a few frames but shorter than a spin button's repeat.
    void Press(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " sleep 0.05 mousedown 1 sleep 0.08 mouseup 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    // Text typed on the keyboard as a user would, then confirmed.
    void TypeAndConfirm(const std::string& text)
    {
        mDisplay.Run("xdotool type --window " + mWindow + " --delay 80 '" + text + "'");
        mDisplay.Run("xdotool key --window " + mWindow + " Return");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    // Whether the screenshot shows a light box or question at the point.
    static bool IsLightAt(const std::string& shot, int x, int y)
    {
        const cRGB rgb = Pixel(shot, x, y);
        return rgb.r > 180 && rgb.g > 180 && rgb.b > 180;
    }
    // Screenshots until the box at the point shows (or, with shown false,
    // has gone) or the time runs out; whether it did.
    bool WaitForLightBox(const std::string& name, int x, int y, bool shown = true, double seconds = 20.0)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            if (IsLightAt(Shot(name), x, y) == shown)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        return false;
    }
    // The start-up help closed, then the editor of the instrument whose menu
    // cell is at x opened. The help takes no taps while the first start is
    // still busy, and a second tap on its close button after it has gone
    // would play a pad.
    void OpenInstrument(int cellX)
    {
        // A first start installs its content before it draws anything, for
        // a minute or more on a busy machine.
        WaitUntil([&] { return !IsPlain(Region(0, 0, 50, 30)); }, kFirstStartSeconds);
        if (WaitForLightBox("0-help", kHelpX, kHelpY))
            for (int attempt = 0; attempt < 3; ++attempt)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(1000));
                Press(kHelpCloseX, kHelpCloseY);
                if (WaitForLightBox("0-help", kHelpX, kHelpY, false, 10.0))
                    break;
            }
        Press(kMenuX, kBarMiddle);
        Press(cellX, kCellY);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
};
