#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "SdlEvents.h"
#include "app/MainUI.h"
#include "app/WidgetStatusBar.h"
#include "audio/AudioEvent.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/pads/ui/TriggerPadControlPanel.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadPanelAutoBeat.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadWidget.h"
#include "pads/PadTestSupport.h"
#include "platform/DisplayMetrics.h"
#include "ui/WidgetButton.h"

// The whole program in this process, headless, on the disk audio device: a
// new project opens on the pad page, whose keys and pads sound when they
// are played, a muted pad stays silent, and a key held with the auto-beat's
// "1/16" repeats on the song's sixteenth notes.
namespace
{
constexpr double kSampleRate = 44100.0;
// A hit: a twentieth of a second of sound, then silence.
constexpr int32_t kHitFrames = 2205;

std::vector<int16_t> ReadLeft(const std::string& path)
{
    std::vector<int16_t> left;
    if (FILE* file = std::fopen(path.c_str(), "rb"))
    {
        int16_t frame[2];
        while (std::fread(frame, sizeof(int16_t), 2, file) == 2)
            left.push_back(frame[0]);
        std::fclose(file);
    }
    return left;
}

size_t FileFrames(const std::string& path)
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    return error ? 0 : size_t(bytes / 4);
}

// Where each sound begins after at least 20 ms of silence.
std::vector<size_t> Onsets(const std::vector<int16_t>& samples)
{
    std::vector<size_t> onsets;
    size_t quiet = size_t(kSampleRate);
    for (size_t i = 0; i < samples.size(); ++i)
    {
        if (samples[i] == 0)
        {
            ++quiet;
            continue;
        }
        if (quiet > size_t(kSampleRate * 0.02))
            onsets.push_back(i);
        quiet = 0;
    }
    return onsets;
}

size_t OnsetsBetween(const std::vector<size_t>& onsets, size_t from, size_t to)
{
    size_t count = 0;
    for (size_t onset : onsets)
        count += onset >= from && onset < to;
    return count;
}

cTriggerPadUI* PadPage()
{
    auto* package = static_cast<cTriggerPadPackage*>(cInstrumentPackageRegistry::GetInstance()->FindPackage("VRX"));
    return package ? static_cast<cTriggerPadUI*>(package->GetEditor()) : nullptr;
}

cVector2 CentreOf(const cRect& rect) { return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f}; }

cVector2 PadCentre(int32_t pad)
{
    const cRect& rect = PadPage()->GetPadGrid()->GetRect();
    const float cellW = (rect.xMax - rect.xMin) / 4.0f, cellH = (rect.yMax - rect.yMin) / 4.0f;
    return {rect.xMin + (float(pad % 4) + 0.5f) * cellW, rect.yMax - (float(pad / 4) + 0.5f) * cellH};
}

void Click(const cVector2& point)
{
    PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, int(point.X), int(point.Y));
    PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, int(point.X), int(point.Y));
}

void Tap(SDL_Scancode scanCode, SDL_Keycode key)
{
    PushKey(SDL_KEYDOWN, scanCode, key);
    PushKey(SDL_KEYUP, scanCode, key);
}
} // namespace

TEST(PadPageProgramTest, KeysAndPadsSoundWhenPlayed)
{
    const std::string audio = TestScratchFolder() + "/pad-page-" + std::to_string(getpid()) + ".raw";
    std::remove(audio.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", audio.c_str(), 1);
    EmptyInProcessDocumentsOfAReturningUser();
    std::filesystem::create_directories(InProcessDocuments() + "/User/Samples");
    std::ofstream(InProcessDocuments() + "/User/Samples/Hit.wav", std::ios::binary)
        << PadTest::LevelWav(kHitFrames, 0.5f);

    struct cMoment
    {
        const char* what;
        size_t at = 0;
        bool sounds = true;
    };
    cMoment moments[] = {{"z"}, {"x"}, {"1"}, {"pad 3 clicked"}, {"muted pad 4 clicked", 0, false}};
    size_t holdAt = 0, releaseAt = 0;
    bool opened = false;
    std::string title;
    cTriggerPad* pads = nullptr;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 60 * 5,
        [&](cScriptedApplication&, int frame)
        {
            switch (frame - kStartupCoverFrames)
            {
            case 2:
            {
                auto* instrument = static_cast<cTriggerPadInstrument*>(cInstrumentSlotTable::GetInstance()->GetInstrument(1));
                pads = instrument->GetPads();
                // z, x, 1, the third pad, the muted fourth, and "a" for the repeat.
                for (int32_t pad : {0, 1, 12, 2, 3, 4})
                    pads->LoadPadSample(pad, "User/Samples/Hit.wav", false);
                pads->PostEvent(MakeSetIntEvent(0x0302 + 3 * 0x10000, 1));
                PadPage()->ModifyFlags(kWidgetStateDirty, 0, true);
                break;
            }
            case 25:
                opened = PadPage()->IsVisible();
                title = cMainUI::GetInstance()->GetStatusBar()->GetTitleText().CStr();
                break;
            case 30: moments[0].at = FileFrames(audio), Tap(SDL_SCANCODE_Z, SDLK_z); break;
            case 50: moments[1].at = FileFrames(audio), Tap(SDL_SCANCODE_X, SDLK_x); break;
            case 70: moments[2].at = FileFrames(audio), Tap(SDL_SCANCODE_1, SDLK_1); break;
            case 90: moments[3].at = FileFrames(audio), Click(PadCentre(2)); break;
            case 110: moments[4].at = FileFrames(audio), Click(PadCentre(3)); break;
            case 130:
            {
                auto* home = static_cast<cTriggerPadPageHome*>(
                    PadPage()->GetControlPanel()->GetPage(cTriggerPadControlPanel::kPageHome));
                Click(CentreOf(home->GetAutoBeatPanel()->GetLengthButton(5)->GetRect()));
                break;
            }
            case 150:
                holdAt = FileFrames(audio);
                PushKey(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a);
                break;
            case 200:
                releaseAt = FileFrames(audio);
                PushKey(SDL_KEYUP, SDL_SCANCODE_A, SDLK_a);
                break;
            default: break;
            }
        });
    EXPECT_EQ(RunInProcess(application), 0);
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    EXPECT_TRUE(opened) << "a new project opens on the pad page";
    EXPECT_EQ(title, "VRX - Home");
    const std::vector<int16_t> left = ReadLeft(audio);
    std::remove(audio.c_str());
    const std::vector<size_t> onsets = Onsets(left);
    ASSERT_GT(releaseAt, holdAt);
    ASSERT_GT(left.size(), releaseAt);
    // Each hit is heard within a quarter of a second of its moment, once.
    for (const cMoment& moment : moments)
        EXPECT_EQ(OnsetsBetween(onsets, moment.at, moment.at + size_t(kSampleRate / 4)), moment.sounds ? 1u : 0u)
            << moment.what;
    // Held with "1/16" at 120 BPM: a hit every eighth of a second, each on
    // its step to within one 128-frame block.
    std::vector<size_t> repeats;
    for (size_t onset : onsets)
        if (onset >= holdAt && onset < releaseAt + size_t(kSampleRate / 8))
            repeats.push_back(onset);
    ASSERT_GE(repeats.size(), 4u);
    for (size_t i = 1; i < repeats.size(); ++i)
        EXPECT_NEAR(double(repeats[i] - repeats[i - 1]), kSampleRate / 8.0, 128.0) << i;
}

// On the phone the pad page shares the main window with pages hidden beside
// it; a tap on each tab still reaches the tab and shows its page.
TEST(PadPageProgramTest, ThePhoneTabsShowTheirPages)
{
    EmptyInProcessDocumentsOfAReturningUser();
    const char* arguments[] = {"-phone"};
    std::vector<int32_t> shown;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 60,
        [&](cScriptedApplication&, int frame)
        {
            const int step = frame - kStartupCoverFrames - 10;
            if (step < 0 || step / 10 > 4)
                return;
            cTriggerPadControlPanel* panel = PadPage()->GetControlPanel();
            const int32_t tabs[4] = {cTriggerPadControlPanel::kPageEdit, cTriggerPadControlPanel::kPageAutoBeat,
                                     cTriggerPadControlPanel::kPageOutput, cTriggerPadControlPanel::kPageHome};
            if (step % 10 == 0 && step > 0)
                shown.push_back(panel->GetShownPage());
            if (step / 10 == 4)
                return;
            // A finger's press: down and up some frames apart.
            const cVector2 tab = CentreOf(panel->GetTabButton(tabs[step / 10])->GetRect());
            if (step % 10 == 0)
            {
                PushMouseMove(int(tab.X), int(tab.Y));
                PushMouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, int(tab.X), int(tab.Y));
            }
            else if (step % 10 == 5)
                PushMouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, int(tab.X), int(tab.Y));
        },
        1, arguments);
    EXPECT_EQ(RunInProcess(application), 0);
    ResetDisplayMetrics();
    EXPECT_EQ(shown, (std::vector<int32_t>{cTriggerPadControlPanel::kPageEdit, cTriggerPadControlPanel::kPageAutoBeat,
                                           cTriggerPadControlPanel::kPageOutput, cTriggerPadControlPanel::kPageHome}));
}
