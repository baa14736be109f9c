#include "SetupFixture.h"

#include <cmath>
#include <functional>

#include "app/SetupPanelGlobal.h"
#include "audio/AudioManager.h"
#include "ui/WidgetSpinButton.h"

namespace
{
class SetupPanelGlobalTest : public SetupFixture
{
protected:
    void SetUp() override
    {
        page = Place(new cSetupPanelGlobal(), {0.0f, 0.0f, kScreenWidth, kScreenHeight});
        Frame();
    }
    // The page reads the settings again whenever it is shown.
    void ShowAgain()
    {
        page->SetVisible(false);
        Frame();
        page->SetVisible(true);
        Frame();
    }
    // A held spin button steps at the next frame.
    void Step(cWidgetSpinButton* spin, bool up)
    {
        const cVector2 zone = Centre(up ? spin->GetUpZone() : spin->GetDownZone());
        Down(1, zone.X, zone.Y);
        Frame();
        Up(1, zone.X, zone.Y);
        Frame();
    }

    cSetupPanelGlobal* page = nullptr;
};

struct cSpinCase
{
    const char* label;
    std::function<cWidgetSpinButton*(cSetupPanelGlobal&)> spin;
    std::vector<const char*> names;
    std::function<int32_t()> stored;
};

TEST_F(SetupPanelGlobalTest, EachSpinStepsThroughItsRangeShowingTheSettingsFilesNames)
{
    const cSpinCase cases[] = {
        {"Key Width", [](cSetupPanelGlobal& p) { return p.GetKeyWidth(); },
         {"Narrow", "Normal", "Wide", "Very Wide"}, [] { return gSettings.keyWidth; }},
        {"Knob Control", [](cSetupPanelGlobal& p) { return p.GetKnobControl(); }, {"Vertical", "Rotary"},
         [] { return cWidgetManager::GetInstance()->knobControl; }},
        {"Control Sensitivity", [](cSetupPanelGlobal& p) { return p.GetSensitivity(); }, {"Low", "Normal", "High"},
         [] { return cWidgetManager::GetInstance()->sensitivity; }},
        {"Buffer Latency", [](cSetupPanelGlobal& p) { return p.GetBufferLatency(); },
         {"Very Low", "Low", "Medium", "High", "Very High"}, [] { return gSettings.bufferLatency; }},
    };
    gSettings.keyWidth = 0;
    gSettings.bufferLatency = 0;
    manager->knobControl = 0;
    manager->sensitivity = 0;
    ShowAgain();
    for (const cSpinCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        cWidgetSpinButton* spin = c.spin(*page);
        EXPECT_STREQ(spin->GetName(), c.label);
        EXPECT_EQ(spin->minimum, 0);
        EXPECT_EQ(spin->maximum, int32_t(c.names.size()) - 1);
        EXPECT_STREQ(spin->GetText(), c.names[0]);
        for (size_t value = 1; value < c.names.size(); ++value)
        {
            Step(spin, true);
            EXPECT_EQ(spin->GetValue(), int32_t(value));
            EXPECT_STREQ(spin->GetText(), c.names[value]);
            EXPECT_EQ(c.stored(), int32_t(value));
        }
        Step(spin, true);
        EXPECT_EQ(c.stored(), int32_t(c.names.size()) - 1) << "held at its maximum";
    }
    EXPECT_EQ(page->GetAudioQuality()->maximum, 2);
}

TEST_F(SetupPanelGlobalTest, AStoredValueWithoutANameShowsNoTextAndAClampedSpin)
{
    gSettings.keyWidth = 7;
    gSettings.bufferLatency = -2;
    manager->sensitivity = 5;
    ShowAgain();
    EXPECT_STREQ(page->GetKeyWidth()->GetText(), "");
    EXPECT_EQ(page->GetKeyWidth()->GetValue(), 3);
    EXPECT_STREQ(page->GetBufferLatency()->GetText(), "");
    EXPECT_EQ(page->GetBufferLatency()->GetValue(), 0);
    EXPECT_STREQ(page->GetSensitivity()->GetText(), "");
    EXPECT_EQ(page->GetSensitivity()->GetValue(), 2);
    EXPECT_EQ(gSettings.keyWidth, 7) << "showing changes nothing";
}

TEST_F(SetupPanelGlobalTest, BufferLatencyChangesTheAudioQueueAtOnce)
{
    cAudioManager audio;
    ShowAgain();
    cWidgetSpinButton* latency = page->GetBufferLatency();
    ASSERT_EQ(latency->GetValue(), 2);
    Step(latency, false);
    Step(latency, false);
    EXPECT_EQ(gSettings.bufferLatency, 0);
    EXPECT_EQ(cAudioManager::GetLatencyDepth(audio.GetLatencyIndex()), 4);
    for (int i = 0; i < 4; ++i)
        Step(latency, true);
    EXPECT_EQ(gSettings.bufferLatency, 4);
    EXPECT_EQ(cAudioManager::GetLatencyDepth(audio.GetLatencyIndex()), 14);
}

TEST_F(SetupPanelGlobalTest, AKeyWidthChangedElsewhereShowsAtTheNextShow)
{
    ASSERT_STREQ(page->GetKeyWidth()->GetText(), "Normal");
    gSettings.keyWidth = cGlobalSettingValues::kKeyWidthVeryWide;
    Frame();
    EXPECT_STREQ(page->GetKeyWidth()->GetText(), "Normal") << "read on each show, not each frame";
    ShowAgain();
    EXPECT_STREQ(page->GetKeyWidth()->GetText(), "Very Wide");
    EXPECT_EQ(page->GetKeyWidth()->GetValue(), 3);
}

TEST_F(SetupPanelGlobalTest, TheSwitchesEditTheirSettingsAndTheHiddenOnesKeepTheirs)
{
    gSettings.lockOrientation = 1;
    gSettings.backgroundAudio = 1;
    gSettings.dynamicCPUBoost = 1;
    gSettings.audioQuality = 2;
    ShowAgain();
    for (int32_t tag : {cSetupPanelGlobal::kLockOrientation, cSetupPanelGlobal::kBackgroundAudio,
                        cSetupPanelGlobal::kDynamicCPUBoost})
        EXPECT_FALSE(page->GetSwitch(tag)->IsVisible()) << tag;
    EXPECT_FALSE(page->GetAudioQuality()->IsVisible());
    EXPECT_STREQ(page->GetSwitch(cSetupPanelGlobal::kStartOnProjectPage)->GetName(), "Always start on project page");
    EXPECT_STREQ(page->GetSwitch(cSetupPanelGlobal::kStopSamples)->GetName(), "Stop samples when song stops");

    TapButton(page->GetSwitch(cSetupPanelGlobal::kStartOnProjectPage));
    TapButton(page->GetSwitch(cSetupPanelGlobal::kStopSamples));
    Step(page->GetKeyWidth(), true);
    EXPECT_EQ(gSettings.startOnProjectPage, 1);
    EXPECT_EQ(gSettings.stopSamples, 0);
    EXPECT_EQ(gSettings.lockOrientation, 1);
    EXPECT_EQ(gSettings.backgroundAudio, 1);
    EXPECT_EQ(gSettings.dynamicCPUBoost, 1);
    EXPECT_EQ(gSettings.audioQuality, 2);
    EXPECT_EQ(page->GetSwitch(cSetupPanelGlobal::kLockOrientation)->value, 1) << "shown as stored";
}

// Where the switch shows, switching it on explains the cost, once per switch-on.
TEST_F(SetupPanelGlobalTest, BackgroundAudioSwitchedOnShowsItsAlert)
{
    cWidgetButton* background = page->GetSwitch(cSetupPanelGlobal::kBackgroundAudio);
    background->SetAnchors(kAnchorsAbsoluteRect, 20.0f, 400.0f, 200.0f, 40.0f);
    background->SetVisible(true);
    Frame();
    cWidgetAlert* alert = page->GetBackgroundAudioAlert();
    TapButton(background);
    EXPECT_EQ(gSettings.backgroundAudio, 1);
    EXPECT_TRUE(alert->IsShown());
    EXPECT_STREQ(alert->GetName(), "Play Audio When In Background");
    EXPECT_STREQ(alert->firstLine.CStr(), "Enabling this feature will increase battery drain when");
    EXPECT_STREQ(alert->secondLine.CStr(), "Quilwright is running in the background.");
    Frame(20);
    TapButton(alert->GetButton(kAlertOK));
    Frame(20);
    ASSERT_FALSE(alert->IsShown());
    TapButton(background);
    EXPECT_EQ(gSettings.backgroundAudio, 0);
    EXPECT_FALSE(alert->IsShown());
}

TEST_F(SetupPanelGlobalTest, TheDividerMarksTheMiddleOfTheGapBetweenTheColumns)
{
    const cRect gap = page->GetDividerGapRect();
    ASSERT_GT(gap.xMax, gap.xMin);
    const float x = std::floor((gap.xMin + gap.xMax) * 0.5f + 0.5f);
    int dividers = 0;
    for (const cDrawnQuad& quad : Quads())
    {
        if (quad.colour != cSetupPanelGlobal::kDividerColour)
            continue;
        ++dividers;
        EXPECT_FLOAT_EQ(quad.rect.xMin, x);
        EXPECT_FLOAT_EQ(quad.rect.xMax, x + 1.0f);
        EXPECT_FLOAT_EQ(quad.rect.yMin, gap.yMin);
        EXPECT_FLOAT_EQ(quad.rect.yMax, gap.yMax);
    }
    EXPECT_EQ(dividers, 1);
    // The columns lie on either side of it.
    EXPECT_LT(page->GetKeyWidth()->GetRect().xMax, x);
    EXPECT_GT(page->GetBufferLatency()->GetRect().xMin, x);
    EXPECT_FLOAT_EQ(page->GetKeyWidth()->GetRect().yMin, page->GetBufferLatency()->GetRect().yMin);
    EXPECT_EQ(host.title, "Global Settings");
}
} // namespace
