#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

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

    using cProgramTrial::cProgramTrial;

    void SetUp() override
    {
        cProgramTrial::SetUp();
        std::filesystem::remove_all(mData + "/Quilwright");
    }

    // A tap held over a few frames but shorter than a spin button's repeat.
    void Press(int x, int y) { Input(MoveTo(x, y) + " sleep 0.05 mousedown 1 sleep 0.08 mouseup 1"); }
    // Text typed on the keyboard as a user would, then confirmed.
    void TypeAndConfirm(const std::string& text)
    {
        Input("type --window " + mWindow + " --delay 80 '" + text + "'");
        Input("key --window " + mWindow + " Return");
    }
    // Whether the screenshot shows a light box or question at the point: a
    // light neutral grey, which no pad tile is.
    static bool IsLightAt(const cScreenshot& shot, int x, int y)
    {
        const cRGB rgb = Pixel(shot, x, y);
        return rgb.r > 180 && std::abs(rgb.r - rgb.g) < 10 && std::abs(rgb.r - rgb.b) < 10;
    }
    // Screenshots until the box at the point shows (or, with shown false,
    // has gone) or the time runs out; whether it did.
    bool WaitForLightBox(const std::string& name, int x, int y, bool shown = true, double seconds = 30.0)
    {
        return WaitUntil([&] { return IsLightAt(Shot(name), x, y) == shown; }, seconds);
    }
    // The start-up help closed, then the editor of the instrument whose menu
    // cell is at x opened. A first start shows the help once the installer
    // is done, a later one only while it has not been closed; the help takes
    // no taps while the first start is still busy, so its close button is
    // pressed again while it shows (a tap after it has gone would play a pad).
    void OpenInstrument(int cellX, bool firstStart = true)
    {
        if (firstStart ? WaitForLightBox("0-help", kHelpX, kHelpY) : IsLightAt(StillShot("probe"), kHelpX, kHelpY))
            for (int attempt = 0; attempt < 5; ++attempt)
            {
                StillShot("probe");
                Press(kHelpCloseX, kHelpCloseY);
                if (WaitForLightBox("0-help", kHelpX, kHelpY, false, 5.0))
                    break;
            }
        Press(kMenuX, kBarMiddle);
        StillShot("probe");
        Press(cellX, kCellY);
        StillShot("probe");
    }
};
