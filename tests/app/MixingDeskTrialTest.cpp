#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "ProgramTrial.h"

// The mixing desk tried as a new user would, on a virtual display with the
// disk audio device: the master's insert chain given an effect, saved
// through the file browser, cleared, loaded back, and the project that the
// program keeps on closing holding what the desk showed.
namespace
{
using namespace std::chrono_literals;

// Where the desktop layout of a 1024 x 768 window puts things: MIXER on the
// bar, the chain's first slot, the chooser's rows (the list opens with the
// slot's unit on top, "None" for an empty slot) and its buttons, the
// browser's first row, its "Save As" and accept buttons, the alert's OK.
constexpr int kMixerX = 131, kBarY = 11, kMixerLitX = 115, kMixerLitY = 6;
constexpr int kSlot1X = 244, kSlotY = 715;
constexpr int kChooserRowX = 500, kChooserFirstRowY = 327, kChooserRowPitch = 58;
constexpr int kLoadChainX = 349, kSaveChainX = 457, kClearChainX = 566, kChooserOKX = 674, kChooserButtonY = 579;
constexpr int kBrowserRowX = 300, kBrowserFirstRowY = 77, kBrowserAcceptX = 968, kBrowserAcceptY = 745,
              kSaveAsY = 700;
constexpr int kAlertOKX = 562, kAlertButtonY = 194;
// The chooser's title bar, the alert's body, the chain strip's background,
// and a spot of the browser's list where the desk draws black.
constexpr int kChooserTitleX = 400, kChooserTitleY = 256, kAlertBodyX = 400, kAlertBodyY = 100;
constexpr int kChainStripX = 500, kChainStripY = 690, kBrowserListX = 600, kBrowserListY = 400;
// The first slot's button, whose label names its unit.
constexpr int kSlot1LabelX = 170, kSlot1LabelY = 700, kSlot1LabelWidth = 150, kSlot1LabelHeight = 30;

bool IsLightGrey(const cRGB& c) { return c.r > 150 && std::abs(c.r - c.b) < 15 && std::abs(c.r - c.g) < 15; }
bool IsBrowserGrey(const cRGB& c) { return std::abs(c.r - 32) < 6 && c.r == c.g && c.g == c.b; }

class MixingDeskTrialTest : public cProgramTrial
{
protected:
    MixingDeskTrialTest() : cProgramTrial("desk-trial", "desk-trial") {}

    std::string Documents(const std::string& name) const { return mData + "/Quilwright/Documents/" + name; }

    static bool WaitUntil(const std::function<bool()>& condition, double seconds = 30.0)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline)
        {
            if (condition())
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return condition();
    }
    // A finger's press: down and up in different frames.
    void Tap(int x, int y)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " sleep 0.1 mousedown 1 sleep 0.1 mouseup 1");
    }
    // A finger resting on the spot until the condition shows, then lifted.
    bool HoldUntil(int x, int y, const std::function<bool()>& shown)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(x) + " " + std::to_string(y) +
                     " sleep 0.1 mousedown 1");
        const bool seen = WaitUntil(shown);
        mDisplay.Run("xdotool mouseup 1");
        return seen;
    }
    bool TapUntil(int x, int y, const std::function<bool()>& shown)
    {
        Tap(x, y);
        return WaitUntil(shown);
    }
    bool ProbeIs(int x, int y, const std::function<bool(const cRGB&)>& test) { return test(Pixel(Shot("probe"), x, y)); }

    bool DeskAlone()
    {
        const std::string shot = Shot("probe");
        return Pixel(shot, kMixerLitX, kMixerLitY).IsLitBlue() && IsLightGrey(Pixel(shot, kChainStripX, kChainStripY));
    }
    bool ChooserOpen() { return ProbeIs(kChooserTitleX, kChooserTitleY, IsLightGrey); }
    bool BrowserOpen()
    {
        const std::string shot = Shot("probe");
        return IsBrowserGrey(Pixel(shot, kBrowserListX, kBrowserListY)) &&
               IsBrowserGrey(Pixel(shot, kChainStripX, kChainStripY));
    }
    bool AlertOpen() { return ProbeIs(kAlertBodyX, kAlertBodyY, IsLightGrey); }

    // The bytes of a region of a fresh screenshot.
    std::string Region(int x, int y, int width, int height)
    {
        const std::string shot = Shot("probe");
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
    std::string Slot1Label() { return Region(kSlot1LabelX, kSlot1LabelY, kSlot1LabelWidth, kSlot1LabelHeight); }

    // The project the program kept on closing.
    std::string SavedProject() const
    {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(Documents("User/Projects"), error))
            if (std::filesystem::exists(entry.path() / "Package.prj"))
                return (entry.path() / "Package.prj").string();
        return "";
    }
    static std::string Text(const std::string& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(MixingDeskTrialTest, AChainIsSavedClearedAndLoadedThroughTheBrowserAndKeptWithTheProject)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();

    // MIXER shows the desk on the master's insert chain, its slots empty.
    ASSERT_TRUE(TapUntil(kMixerX, kBarY, [&] { return DeskAlone(); })) << "the desk";
    Shot("1-desk");
    const std::string emptyLabel = Slot1Label();

    // A slot held opens the chooser; the third row is "EQ-3B".
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); })) << "the chooser";
    Shot("2-chooser");
    Tap(kChooserRowX, kChooserFirstRowY + 2 * kChooserRowPitch);
    ASSERT_TRUE(TapUntil(kChooserOKX, kChooserButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Slot1Label() != emptyLabel; })) << "the slot names its unit";
    const std::string chosenLabel = Slot1Label();
    Shot("3-eq-inserted");

    // "Save Chain": the browser opens in the favourites; "Save As" asks for
    // a name, and the save closes browser and chooser.
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    ASSERT_TRUE(TapUntil(kSaveChainX, kChooserButtonY, [&] { return BrowserOpen(); })) << "the save browser";
    Shot("4-save-browser");
    const std::string before = Region(130, 40, 760, 50);
    ASSERT_TRUE(TapUntil(kBrowserAcceptX, kSaveAsY, [&] { return Region(130, 40, 760, 50) != before; }))
        << "Save As asks for a name";
    for (int i = 0; i < 24; ++i)
        mDisplay.Run("xdotool key --window " + mWindow + " BackSpace");
    mDisplay.Run("xdotool type --delay 80 Trial");
    Shot("5-save-name");
    mDisplay.Run("xdotool key --window " + mWindow + " Return");
    const std::string chain = Documents("User/FX Favourites/Trial.qfx");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(chain); })) << "the chain file";
    ASSERT_TRUE(WaitUntil([&] { return DeskAlone(); }));
    Shot("6-saved");
    EXPECT_EQ(std::system(("xmllint --noout '" + chain + "'").c_str()), 0);
    EXPECT_NE(Text(chain).find("<SLOT1 Type=\"EQ-3B\">"), std::string::npos) << Text(chain);

    // "Clear Chain", then OK: the slot is empty again.
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    ASSERT_TRUE(TapUntil(kClearChainX, kChooserButtonY, [&] { return AlertOpen(); })) << "the clear question";
    Shot("7-clear-question");
    ASSERT_TRUE(TapUntil(kAlertOKX, kAlertButtonY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Slot1Label() == emptyLabel; })) << "the chain cleared";
    Shot("8-cleared");

    // "Load Chain": the saved file chosen and loaded brings the unit back.
    ASSERT_TRUE(HoldUntil(kSlot1X, kSlotY, [&] { return ChooserOpen(); }));
    ASSERT_TRUE(TapUntil(kLoadChainX, kChooserButtonY, [&] { return BrowserOpen(); })) << "the load browser";
    Tap(kBrowserRowX, kBrowserFirstRowY);
    Shot("9-load-browser");
    ASSERT_TRUE(TapUntil(kBrowserAcceptX, kBrowserAcceptY, [&] { return DeskAlone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Slot1Label() == chosenLabel; })) << "the loaded chain";
    Shot("10-loaded");

    program->Signal(SIGTERM);
    ASSERT_TRUE(program->WaitForExit(20.0)) << "still running 20 s after SIGTERM";
    EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();

    // The desk's view and the master's chain as loaded are in the project.
    const std::string project = SavedProject();
    ASSERT_FALSE(project.empty()) << "no project kept";
    EXPECT_EQ(std::system(("xmllint --noout '" + project + "'").c_str()), 0);
    const std::string text = Text(project);
    const size_t desk = text.find("<Instr Type=\"Mixer\"");
    ASSERT_NE(desk, std::string::npos);
    const std::string deskLine = text.substr(desk, text.find('\n', desk) - desk);
    EXPECT_NE(deskLine.find(" InChan=\""), std::string::npos) << deskLine;
    EXPECT_NE(deskLine.find(" InsertFX=\""), std::string::npos) << deskLine;
    const size_t slot = text.find("<SLOT1 Type=\"EQ-3B\">", desk);
    ASSERT_NE(slot, std::string::npos) << "the loaded chain";
    EXPECT_NE(text.find("<Patch Enable=\"1\"", slot), std::string::npos);
}
} // namespace
