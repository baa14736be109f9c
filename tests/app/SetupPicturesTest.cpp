#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "SetupFixture.h"
#include "app/SetupPanelDebug.h"
#include "app/SetupPanelDockline.h"
#include "app/SetupPanelGlobal.h"
#include "app/SetupPanelMIDI.h"
#include "app/SetupPanelMIDIDevicePage.h"
#include "app/SetupPanelMIDIMappingPage.h"
#include "app/SetupUI.h"
#include "project/ui/SetupPanelProject.h"
#include "base/Clock.h"
#include "midi/MIDIPortSettings.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetTabView.h"
#include "ui/WidgetTabbedProperties.h"

// Every setup page drawn through the real renderer with the generated
// atlases and font, saved as pictures in the build's test-output folder and
// probed where a fault would show.
namespace
{
// A tool panel of four pages, as the sequencer editors' panels are made.
class cSampleProperties : public cWidgetTabbedProperties
{
public:
    cSampleProperties() : cWidgetTabbedProperties(4)
    {
        const char* const titles[] = {"Notes", "Velocity", "Length", "Swing"};
        for (int32_t i = 0; i < 4; ++i)
        {
            cWidget* page = new cWidget();
            cWidgetLabel* label = CreateLabel(titles[i]);
            label->SetText(titles[i]);
            label->SetAnchors(kAnchorsFillParent, 20.0f, 20.0f, 20.0f, 260.0f);
            page->AddChild(label);
            label->Release();
            cWidgetButton* tab = CreateTabButton(false);
            GetTabView()->AddPage(i, titles[i], page, tab);
            tab->Release();
            page->Release();
        }
        SetName("Part Properties");
    }
};

class SetupPicturesTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override { Begin(kDeviceClassDesktop); }
    void Begin(int32_t deviceClass)
    {
        StartScreen(1024, 768, deviceClass);
        SetupUIMetrics();
        gSettings.Reset();
        SetStatusBarHost(&host);
        engine = std::make_unique<cSetupEngine>();
        engine->OpenProject();
        engine->SetInputs({"Keystation 49", "Pad Controller"});
        // Known from the settings, unplugged now.
        engine->SetInputs({"Keystation 49", "Pad Controller", "Old Synth"});
        engine->SetInputs({"Keystation 49", "Pad Controller"});
        cMIDIPortSettings* keys = engine->midi->FindPortByName("Keystation 49");
        keys->SetEnableFlags(cMIDIPortSettings::kEnableBit);
        keys->SetChannels(0x00FF);
        engine->midi->FindPortByName("Pad Controller")->SetOmni(true);
    }
    void TearDown() override
    {
        manager->GetRoot()->RemoveAllChildren();
        manager.reset();
        engine.reset();
        SetStatusBarHost(nullptr);
        gSettings.Reset();
        OffscreenScreenFixture::TearDown();
    }

    template <class T>
    T* Show(T* widget, const cRect& rect = {0.0f, 0.0f, 1024.0f, 768.0f})
    {
        manager->GetRoot()->RemoveAllChildren();
        widget->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
        manager->GetRoot()->AddChild(widget);
        widget->Release();
        DrawFrame();
        return widget;
    }
    void Tap(const cRect& rect)
    {
        const float x = (rect.xMin + rect.xMax) * 0.5f, y = (rect.yMin + rect.yMax) * 0.5f;
        input->TouchBegan(1, x, y);
        input->TouchEnded(1, x, y);
        DrawFrame();
    }
    // The picture, and its pixels to probe.
    std::vector<uint8_t> Save(const char* name)
    {
        DrawFrame();
        const std::string path = gl->SaveFrame(name);
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
        return gl->ReadPixels();
    }
    static uint32_t Rgb(uint32_t abgr) { return abgr & 0x00ffffffu; }

    cRecordingStatusBar host;
    std::unique_ptr<cSetupEngine> engine;
    ProjectTest::cRecordingBrowserHost browserHost;
};

TEST_F(SetupPicturesTest, EverySetupPage)
{
    cSetupUI* screen = Show(new cSetupUI(browserHost));
    Save("setup-project");

    Tap(screen->GetTabView()->GetTab(cSetupUI::kSettingsTab)->GetRect());
    auto* settings = static_cast<cSetupPanelGlobal*>(screen->GetTabView()->GetPage(cSetupUI::kSettingsTab));
    std::vector<uint8_t> pixels = Save("setup-settings");
    const cRect gap = settings->GetDividerGapRect();
    const int x = int(std::floor((gap.xMin + gap.xMax) * 0.5f + 0.5f));
    EXPECT_EQ(Rgb(gl->PixelAt(pixels, x, int(gap.yMin + gap.yMax) / 2)), Rgb(cSetupPanelGlobal::kDividerColour));
    EXPECT_NE(Rgb(gl->PixelAt(pixels, x + 3, int(gap.yMin + gap.yMax) / 2)), Rgb(cSetupPanelGlobal::kDividerColour));

    Tap(screen->GetTabView()->GetTab(cSetupUI::kHelpTab)->GetRect());
    Save("setup-help");
    EXPECT_EQ(host.title, "Quilwright Help");

    Tap(screen->GetTabView()->GetTab(cSetupUI::kMIDITab)->GetRect());
    auto* midi = static_cast<cSetupPanelMIDI*>(screen->GetTabView()->GetPage(cSetupUI::kMIDITab));
    engine->system->FindOpen("Keystation 49")->Send({0x91, 60, 100}, GetMilliseconds() * 0.001);
    engine->midi->DecayActivity(0.25f);
    pixels = Save("setup-midi-inputs");
    EXPECT_EQ(host.title, "MIDI Devices");
    // Channel 2's light, half lit over the dark frame.
    const cRect& grid = midi->GetDevicePage()->GetChannelGrid()->GetRect();
    const float cell = (grid.xMax - grid.xMin) / 8.0f;
    const int lightX = int(std::floor(grid.xMin + 2.0f + cell + 0.5f)) + 3;
    const int lightY = int(std::floor(grid.yMin + 2.5f)) + 3;
    const uint32_t light = gl->PixelAt(pixels, lightX, lightY);
    EXPECT_GT(light & 0xff, light >> 16 & 0xff) << "the activity colour over the dark frame";
    EXPECT_GT(light & 0xff, 0x40u);

    Tap(midi->GetMappingsButton()->GetTouchRect());
    Save("setup-midi-mappings");
    EXPECT_EQ(host.title, "MIDI Mappings");

    Show(new cSetupPanelDebug());
    Save("setup-debug");
    EXPECT_EQ(host.title, "Debug Settings");

    Show(new cSetupPanelDockline());
    Save("setup-companion");
    EXPECT_EQ(host.title, "Dockline Server");
}

// With no MIDI port at all the list says so in its middle instead of
// standing empty.
TEST_F(SetupPicturesTest, TheInputsPageWithoutDevices)
{
    engine.reset();
    engine = std::make_unique<cSetupEngine>();
    engine->OpenProject();
    cSetupUI* screen = Show(new cSetupUI(browserHost));
    Tap(screen->GetTabView()->GetTab(cSetupUI::kMIDITab)->GetRect());
    auto* midi = static_cast<cSetupPanelMIDI*>(screen->GetTabView()->GetPage(cSetupUI::kMIDITab));
    const std::vector<uint8_t> pixels = Save("setup-midi-inputs-none");
    const cRect& list = midi->GetDevicePage()->GetList()->GetRect();
    const int middle = int(list.yMin + list.yMax) / 2;
    int light = 0;
    for (int y = middle - 6; y <= middle + 6; ++y)
        for (int x = int(list.xMin); x < int(list.xMax); ++x)
            light += (gl->PixelAt(pixels, x, y) & 0xff) > 150 ? 1 : 0;
    EXPECT_GT(light, 40) << "light text across the middle of the list";
}

// The project page's icons sit on their buttons' faces, above the labels, at
// the desktop and tablet sizes; the page's texts read and nothing overlaps.
TEST_F(SetupPicturesTest, TheProjectPagesIconsStayOnTheirButtons)
{
    for (const int32_t deviceClass : {kDeviceClassDesktop, kDeviceClassTablet})
    {
        if (deviceClass != kDeviceClassDesktop)
        {
            TearDown();
            Begin(deviceClass);
        }
        cSetupUI* screen = Show(new cSetupUI(browserHost));
        Save(deviceClass == kDeviceClassDesktop ? "setup-project-icons" : "setup-project-icons-tablet");
        auto* page = static_cast<cSetupPanelProject*>(screen->GetTabView()->GetPage(cSetupUI::kProjectTab));
        for (int32_t id = 0; id < cSetupPanelProject::kButtonCount; ++id)
        {
            cWidgetButton* button = page->GetButton(id);
            if (!button->IsVisible())
                continue;
            const cRect& face = button->GetRect();
            const cRect& icon = button->icon.drawRect;
            EXPECT_TRUE(icon.yMin >= face.yMin && icon.yMax <= face.yMax && icon.xMin >= face.xMin &&
                        icon.xMax <= face.xMax)
                << button->GetName() << ": icon " << icon.yMin << ".." << icon.yMax << " on " << face.yMin << ".."
                << face.yMax;
        }
        if (deviceClass == kDeviceClassDesktop)
        {
            EXPECT_EQ(ScreenFaults(), "");
        }
    }
}

TEST_F(SetupPicturesTest, ATabbedDialogueOfFourPages)
{
    Show(new cSetupUI(browserHost));
    auto* dialogue = new cSampleProperties();
    cVector2 minimum, preferred;
    dialogue->GetSizePreferences(&minimum, &preferred);
    const float left = std::round((1024.0f - preferred.X) * 0.5f);
    dialogue->SetAnchors(kAnchorsAbsoluteRect, left, 120.0f, preferred.X, preferred.Y + 200.0f);
    manager->GetRoot()->Push(dialogue, 2, 0);
    dialogue->Show(1);
    dialogue->Release();
    for (int i = 0; i < 70; ++i)
        DrawFrame();
    const std::vector<uint8_t> pixels = Save("tabbed-properties");
    const cRect& tab = dialogue->GetTabView()->GetTab(1)->GetRect();
    const cRect& other = dialogue->GetTabView()->GetTab(2)->GetRect();
    EXPECT_NE(gl->PixelAt(pixels, int(tab.xMin + 10), int(tab.yMin + tab.yMax) / 2),
              gl->PixelAt(pixels, int(other.xMin + 10), int(other.yMin + other.yMax) / 2))
        << "the chosen tab is lit";
}
} // namespace
