#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramTrial.h"

// The sampler tried as a new user would, on a virtual display with the disk
// audio device: the default kit imported with its samples left in the
// installed (read-only) bank folder, the kick's EDIT on the pad page, a part of
// it deleted, "Done" and "OK": the file browser asks for a new name instead
// of writing over the installed file, and the pad plays the new file. On
// the way the kick is normalized, zoomed by a pinch, taken back and forth
// through its history, auditioned and rendered through the Effects tab.
// Then RECORD: four bars of the song resampled into the project's folder,
// and a take of the click captured from the program's own output.
namespace
{
// Where the desktop layout of a 1024 x 768 window puts things.
constexpr int kEditTabX = 139, kTabY = 67, kLitOffsetX = -21, kTabLitY = 80;
constexpr int kImportX = 140, kBankY = 333, kHomeTabX = 51;
constexpr int kKickX = 379, kKickY = 682;
constexpr int kRowX = 200, kFirstRowY = 77, kRowPitch = 60;
constexpr int kAcceptX = 969, kAcceptY = 745, kUpX = 874, kSaveAsY = 700;
constexpr int kBrowserProbeX = 600, kBrowserProbeY = 500;
constexpr int kAlertNoX = 457, kAlertOKX = 669, kAlertY = 194;
// The pad editor's EDIT; the sampler's Edit tab, Delete and Done below the
// status bar.
constexpr int kPadEditX = 121, kPadRecordX = 181, kPadEditY = 338;
constexpr int kSamplerEditTabX = 398, kSamplerResampleTabX = 239, kSamplerTabY = 40;
constexpr int kResampleRecX = 63, kResampleRecY = 105, kMonitorUpX = 425, kSamplerSampleTabX = 79;
constexpr int kCaptureStopX = 723, kCaptureStopY = 195;
constexpr int kDeleteX = 625, kDoneX = 966, kBottomBarY = 747;
constexpr int kSamplerEffectsTabX = 557, kStopX = 926, kPlayX = 966, kTransportY = 46;
constexpr int kProcessX = 826, kProcessY = 87;
// The History and Volume menus open upwards from the bottom bar, newest edit
// first; the ruler and the waveform below the scroll bar.
constexpr int kHistoryX = 170, kVolumeX = 852, kMenuBottom = 724, kMenuPitch = 39, kNormalizeItem = 1;
constexpr int kRulerY = 96, kRulerWidth = 980, kRulerHeight = 16;
constexpr int kWaveformTop = 115, kWaveformHeight = 605, kWaveformLeft = 40, kWaveformRight = 290;
constexpr int kPinchX = 200, kPinchY = 400, kPinchSpread = 150;
constexpr int kMenuSkinOffset = 40, kRightButton = 3;

int MenuItemY(int item) { return kMenuBottom - kMenuPitch / 2 - item * kMenuPitch; }

bool IsAlertGrey(const cRGB& c) { return c.r > 150 && std::abs(c.r - c.b) < 8 && std::abs(c.r - c.g) < 8; }
bool IsBrowserDark(const cRGB& c) { return c.r + c.g + c.b < 250; }
// The waveform's blue and its pale tips; the grid and cursor lines are grey.
bool IsWaveform(const cRGB& c) { return c.b >= 150 && c.b >= c.r + 25; }
// A button's or menu item's grey skin; the waveform's background and the
// empty bar are darker or bluer.
bool IsGreySkin(const cRGB& c) { return c.r > 45 && std::abs(c.r - c.b) <= 3 && std::abs(c.r - c.g) <= 3; }

// The loudest 16-bit sample after a plain 44-byte header.
int PeakOf(const std::string& wav)
{
    int peak = 0;
    for (size_t at = 44; at + 1 < wav.size(); at += 2)
        peak = std::max(peak, std::abs(int(int16_t(uint8_t(wav[at]) | uint8_t(wav[at + 1]) << 8))));
    return peak;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SamplerTrialTest : public cProgramTrial
{
protected:
    SamplerTrialTest() : cProgramTrial("sampler-trial", "sampler-trial") {}

    // A first start: the installer puts the kits in place.
    void SetUp() override
    {
        cProgramTrial::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        WriteFirstStartSettings();
    }

    void Press(const char* key) { Input("key --window " + mWindow + " " + key); }
    // Rows from the highest to the lowest drawn peak at the sample's start.
    int WaveformHeight()
    {
        const int width = kWaveformRight - kWaveformLeft;
        const std::string rgb = Region(kWaveformLeft, kWaveformTop, width, kWaveformHeight);
        int top = kWaveformHeight, bottom = -1;
        for (int y = 0; y < kWaveformHeight; ++y)
            for (int x = 0; x < width; ++x)
            {
                const size_t at = size_t(y * width + x) * 3;
                if (at + 2 < rgb.size() && IsWaveform({uint8_t(rgb[at]), uint8_t(rgb[at + 1]), uint8_t(rgb[at + 2])}))
                {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        return bottom - top;
    }
    // A menu of the bottom bar opened, then one of its items chosen.
    void OpenMenu(int x)
    {
        Tap(x, kBottomBarY);
        StillShot("probe");
    }
    void ChooseItem(int x, int item)
    {
        Tap(x, MenuItemY(item));
        StillShot("probe");
    }
    // A tap, then the window at rest.
    void TapAndWait(int x, int y)
    {
        Tap(x, y);
        StillShot("probe");
    }
    // The items of the open menu above the button, told by their skin beside
    // the centred name: the newest, in effect, lit and the older ones grey.
    int MenuItems(int x)
    {
        const cScreenshot shot = StillShot("probe");
        if (!Pixel(shot, x + kMenuSkinOffset, MenuItemY(0)).IsLitBlue())
            return 0;
        int items = 1;
        while (items < 8 && IsGreySkin(Pixel(shot, x + kMenuSkinOffset, MenuItemY(items))))
            ++items;
        return items;
    }
    int Peak(size_t from, size_t frames) const
    {
        const std::vector<int16_t> left = ReadLeftChannel();
        int peak = 0;
        for (size_t i = from; i < std::min(left.size(), from + frames); ++i)
            peak = std::max(peak, std::abs(int(left[i])));
        return peak;
    }
};

TEST_F(SamplerTrialTest, EditingAnInstalledKickKeepsItAndSavesACopy)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    const auto homeLit = [&] { return Pixel(Shot("probe"), kHomeTabX + kLitOffsetX, kTabLitY).IsLitBlue(); };
    ASSERT_TRUE(WaitUntil(homeLit)) << "the pad page's HOME tab is lit";
    StillShot("probe"); // the page settles before the first tap

    // IMPORT "Default", its samples left in the installed kit's folder.
    ASSERT_TRUE(TapUntil(kImportX, kBankY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark)) << "the browser opens";
    ASSERT_TRUE(TapUntil(kRowX, kFirstRowY, kBrowserProbeX, kFirstRowY, [](const cRGB& c) { return c.IsLitBlue(); }));
    ASSERT_TRUE(TapUntil(kAcceptX, kAcceptY, 330, 150, IsAlertGrey)) << "the copy question";
    Tap(kAlertNoX, kAlertY);
    ASSERT_TRUE(WaitUntil([&] { return homeLit() && !IsBrowserDark(Pixel(Shot("probe"), kBrowserProbeX, kBrowserProbeY)); }));
    const std::string kitKick = Documents("User/VRX Banks/Default.vrx/Kick.wav");
    ASSERT_TRUE(std::filesystem::exists(kitKick));
    const std::string installed = ReadFile(kitKick);

    // EDIT tab, the kick's pad, its EDIT: the sampler on "Edit".
    ASSERT_TRUE(TapUntil(kEditTabX, kTabY, kEditTabX + kLitOffsetX, kTabLitY, [](const cRGB& c) { return c.IsLitBlue(); }));
    Tap(kKickX, kKickY);
    StillShot("1-pad-edit");
    ASSERT_TRUE(TapUntil(kPadEditX, kPadEditY, kSamplerEditTabX, kSamplerTabY, [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the sampler on its Edit tab";
    Shot("2-sampler");

    // A drag selects, "Delete" takes it out.
    Drag(300, 400, 300, 0);
    StillShot("3-selected");
    Tap(kDeleteX, kBottomBarY);
    StillShot("4-deleted");

    // "Volume", "Normalize": the kick's peaks reach the top.
    const int heightBefore = WaveformHeight();
    OpenMenu(kVolumeX);
    Shot("5-volume-menu");
    ChooseItem(kVolumeX, kNormalizeItem);
    EXPECT_TRUE(WaitUntil([&] { return WaveformHeight() > heightBefore + 20; })) << "the waveform grows";
    StillShot("6-normalized");

    // The right button's pinch zooms in: the ruler shows other times.
    const std::string ruler = Region(0, kRulerY, kRulerWidth, kRulerHeight);
    Drag(kPinchX, kPinchY, kPinchSpread, 0, kRightButton);
    EXPECT_TRUE(WaitUntil([&] { return Region(0, kRulerY, kRulerWidth, kRulerHeight) != ruler; })) << "the view zoomed";
    StillShot("7-zoomed");

    // History lists the edits; "..." shows the sample before them with the
    // deleted part selected, the newest item brings them back.
    OpenMenu(kHistoryX);
    Shot("8-history");
    EXPECT_EQ(MenuItems(kHistoryX), 3) << "Normalize, Delete and the sample before them";
    ChooseItem(kHistoryX, 2);
    EXPECT_TRUE(IsGreySkin(Pixel(StillShot("9-history-start"), kDeleteX + kMenuSkinOffset, kBottomBarY)))
        << "the deleted part back and selected: Delete offered";
    OpenMenu(kHistoryX);
    ChooseItem(kHistoryX, 0);
    EXPECT_FALSE(IsGreySkin(Pixel(StillShot("10-history-newest"), kDeleteX + kMenuSkinOffset, kBottomBarY)))
        << "the edits back: nothing selected";

    // A double tap on stop brings the selection back to the start; Play:
    // the edited sample sounds on the disk audio.
    Input(MoveTo(kStopX, kTransportY) + " click --repeat 2 --delay 120 1");
    const size_t playAt = Frames();
    Tap(kPlayX, kTransportY);
    ASSERT_TRUE(WaitForFrames(playAt + size_t(kTrialSampleRate)));
    EXPECT_GT(Peak(playAt, size_t(kTrialSampleRate)), 1000) << "the audition sounds";

    // "Effects", the process button: back on "Edit" with the render as one edit.
    ASSERT_TRUE(TapUntil(kSamplerEffectsTabX, kSamplerTabY, kSamplerEffectsTabX, kSamplerTabY,
                         [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the Effects tab";
    Shot("11-effects");
    ASSERT_TRUE(TapUntil(kProcessX, kProcessY, kSamplerEditTabX, kSamplerTabY, [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the render ends on the Edit tab";
    Shot("12-rendered");
    OpenMenu(kHistoryX);
    Shot("13-history-effects");
    EXPECT_EQ(MenuItems(kHistoryX), 4) << "Effects on top of the edits";
    ChooseItem(kHistoryX, 0);

    // "Done", "OK": the installed file is not written over; the browser asks
    // where the edit goes.
    ASSERT_TRUE(TapUntil(kDoneX, kBottomBarY, 330, 150, IsAlertGrey)) << "Keep changes to 'Kick'?";
    Shot("14-keep-changes");
    ASSERT_TRUE(TapUntil(kAlertOKX, kAlertY, kBrowserProbeX, kBrowserProbeY, IsBrowserDark)) << "the browser opens";
    Shot("15-save-browser");
    EXPECT_EQ(ReadFile(kitKick), installed) << "the kit's file unchanged";

    // Up to "User", into "Samples", "Save As" "Kick Edit", Enter.
    TapAndWait(kUpX, kAcceptY);
    TapAndWait(kUpX, kAcceptY);
    const int samplesRowY = kFirstRowY + 4 * kRowPitch;
    ASSERT_TRUE(TapUntil(kRowX, samplesRowY, kBrowserProbeX, samplesRowY, [](const cRGB& c) { return c.IsLitBlue(); }))
        << "Samples selected";
    TapAndWait(kRowX, samplesRowY);
    TapAndWait(kAcceptX, kSaveAsY);
    Input("key --window " + mWindow + " --repeat 24 BackSpace");
    Input("type --delay 80 'Kick Edit'");
    Shot("16-name");
    Press("Return");
    const std::string edited = Documents("User/Samples/Kick Edit.wav");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(edited); })) << "the edit saved under its new name";
    ASSERT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kEditTabX + kLitOffsetX, kTabLitY).IsLitBlue(); }))
        << "back on the pad page";
    Shot("17-pad-after");
    EXPECT_EQ(ReadFile(kitKick), installed) << "the kit's file unchanged";
    const std::string bytes = ReadFile(edited);
    ASSERT_GT(bytes.size(), 44u);
    EXPECT_NE(bytes, installed) << "the copy holds the edits";
    EXPECT_GT(PeakOf(bytes), 32000) << "normalized, the history back at its newest edit";
    EXPECT_EQ(std::system(("soxi -s '" + edited + "' > /dev/null 2>&1").c_str()), 0);

    // The pad plays the new file: "z" sounds it.
    const size_t at = Frames();
    Press("z");
    ASSERT_TRUE(WaitForFrames(at + size_t(kTrialSampleRate)));
    EXPECT_GT(Peak(at, size_t(kTrialSampleRate)), 1000) << "the pad sounds";

    // RECORD: the sampler on "Resample"; REC renders bars 1-4 onto "Edit";
    // "Done", "OK" keeps them in the project's folder for the pad.
    ASSERT_TRUE(TapUntil(kPadRecordX, kPadEditY, kSamplerResampleTabX, kSamplerTabY,
                         [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the sampler on its Resample tab";
    Shot("18-resample");
    ASSERT_TRUE(TapUntil(kResampleRecX, kResampleRecY, kSamplerEditTabX, kSamplerTabY,
                         [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the resample ends on the Edit tab";
    Shot("19-resampled");
    ASSERT_TRUE(TapUntil(kDoneX, kBottomBarY, 330, 150, IsAlertGrey)) << "Keep changes to 'Bar 1_4'?";
    Tap(kAlertOKX, kAlertY);
    const std::string bars = Documents("User/Projects/Untitled-01.prj/Bar 1_4.wav");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(bars); })) << "the resample kept";
    ASSERT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kEditTabX + kLitOffsetX, kTabLitY).IsLitBlue(); }));
    Shot("20-pad-resampled");
    EXPECT_EQ(ReadFile(bars).size(), 44u + 352800u * 4u) << "four bars at 120 BPM, stereo";

    // RECORD, "Sample", Monitor "Click", REC, Stop after 2 s.
    ASSERT_TRUE(TapUntil(kPadRecordX, kPadEditY, kSamplerResampleTabX, kSamplerTabY,
                         [](const cRGB& c) { return c.IsLitBlue(); }));
    ASSERT_TRUE(TapUntil(kSamplerSampleTabX, kSamplerTabY, kSamplerSampleTabX, kSamplerTabY,
                         [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the Sample tab";
    Tap(kMonitorUpX, kResampleRecY);
    StillShot("21-sample-click");
    // Two seconds of the program's audio after the frame that took REC.
    Tap(kResampleRecX, kResampleRecY);
    ASSERT_TRUE(WaitForFrames(Frames() + size_t(2.0 * kTrialSampleRate)));
    Shot("22-capturing");
    ASSERT_TRUE(TapUntil(kCaptureStopX, kCaptureStopY, kSamplerEditTabX, kSamplerTabY,
                         [](const cRGB& c) { return c.IsLitBlue(); }))
        << "the take ends on the Edit tab";
    Shot("23-captured");
    ASSERT_TRUE(TapUntil(kDoneX, kBottomBarY, 330, 150, IsAlertGrey)) << "Keep changes to 'Sample-01'?";
    Tap(kAlertOKX, kAlertY);
    const std::string take = Documents("User/Projects/Untitled-01.prj/Sample-01.wav");
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(take); })) << "the take kept";
    ASSERT_TRUE(WaitUntil([&] { return Pixel(Shot("probe"), kEditTabX + kLitOffsetX, kTabLitY).IsLitBlue(); }));
    Shot("24-pad-captured");
    // About two seconds of the click, after its count-in.
    const size_t takeFrames = (ReadFile(take).size() - 44) / 4;
    EXPECT_GT(takeFrames, size_t(kTrialSampleRate * 1.0));
    EXPECT_LT(takeFrames, size_t(kTrialSampleRate * 4.0));
}
} // namespace
