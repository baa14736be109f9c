#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PerformFixture.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPanelMulti.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/WidgetAccelerometer.h"
#include "instruments/synth/ui/WidgetKeyRange.h"
#include "platform/DeviceServices.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

// The multi editor no page shows, put on the screen by the test beside the
// bound editor.
class SynthMulti : public SynthPerform
{
protected:
    void SetUp() override
    {
        SynthPerform::SetUp();
        multi = new cAnalogueSynthPanelMulti(editor);
        multi->SetAnchors(kAnchorsAbsoluteRect, 20.0f, 20.0f, 430.0f, 220.0f);
    }
    void TearDown() override
    {
        if (multi->GetParent())
            multi->GetParent()->RemoveChild(multi);
        multi->Release();
        SynthPerform::TearDown();
    }
    void Show()
    {
        OpenPerform();
        widgets->GetRoot()->AddChild(multi);
        Frame(2);
        Drain();
    }
    std::vector<cAudioEvent> SetInts() { return Synth().Take(); }

    cAnalogueSynthPanelMulti* multi = nullptr;
};

TEST_F(SynthMulti, FiveTabsChooseALayerOrTheGlobalSends)
{
    Show();
    const char* names[] = {"Layer 1", "Layer 2", "Layer 3", "Layer 4", "GLOBAL"};
    for (int32_t index = 0; index < cAnalogueSynthPanelMulti::kTabCount; ++index)
        EXPECT_STREQ(multi->GetTab(index)->GetName(), names[index]);
    EXPECT_STREQ(multi->GetLayerPanel()->GetName(), "Layer");
    EXPECT_STREQ(multi->GetGlobalPanel()->GetName(), "Global");

    ClickCentre(multi->GetTab(4));
    EXPECT_EQ(instrument->multiTab, 4);
    EXPECT_TRUE(multi->GetGlobalPanel()->IsVisible());
    EXPECT_FALSE(multi->GetLayerPanel()->IsVisible());
    EXPECT_EQ(multi->GetTab(4)->value, 1);
    EXPECT_EQ(multi->GetTab(0)->value, 0);
    EXPECT_EQ(multi->GetGlobalPanel()->GetSend(0)->GetTag(), 0x603);
    EXPECT_EQ(multi->GetGlobalPanel()->GetSend(1)->GetTag(), 0x703);

    ClickCentre(multi->GetTab(2));
    EXPECT_EQ(instrument->multiTab, 2);
    EXPECT_TRUE(multi->GetLayerPanel()->IsVisible());
    EXPECT_EQ(multi->GetLayerPanel()->GetLayer(), 2);

    // A refresh brings back the instrument's remembered tab.
    instrument->multiTab = 4;
    multi->ModifyFlags(kWidgetStateDirty, 0, true);
    Frame();
    EXPECT_EQ(multi->GetSelectedTab(), 4);
}

TEST_F(SynthMulti, ALayersControlsAddressItsFieldsOfTheMulti)
{
    Show();
    ClickCentre(multi->GetTab(2));
    Frame();
    cAnalogueSynthPanelMultiLayer* layer = multi->GetLayerPanel();
    const int32_t base = 2 << 16;
    EXPECT_EQ(layer->GetPreset()->GetTag(), base + 0x003);
    EXPECT_EQ(layer->GetLevel()->GetTag(), base + 0x103);
    EXPECT_EQ(layer->GetTrackKeys()->GetTag(), base + 0x203);
    EXPECT_EQ(layer->GetTranspose()->GetTag(), base + 0x303);
    Drain();

    layer->OnKeyLowChanged(40, layer->GetKeyRange());
    layer->OnKeyHighChanged(90, layer->GetKeyRange());
    layer->OnTransposeChanged(-12, layer->GetTranspose());
    layer->OnPresetChanged(3, layer->GetPreset());
    ClickCentre(layer->GetBankButton(cAnalogueSynthPanelMultiLayer::kBankProject));
    std::vector<std::pair<uint32_t, int32_t>> posted;
    for (const cAudioEvent& event : Synth().Take())
        posted.emplace_back(event.wordA, event.GetIntValue());
    EXPECT_EQ(posted, (std::vector<std::pair<uint32_t, int32_t>>{
                          {base + 0x403, 40}, {base + 0x503, 90}, {base + 0x303, -12}, {base + 0x003, 3}, {base + 0x003, 0x703}}));
    EXPECT_STREQ(layer->GetTranspose()->GetText(), "-12");
    EXPECT_EQ(layer->GetBankButton(cAnalogueSynthPanelMultiLayer::kBankProject)->value, 1);
    EXPECT_EQ(layer->GetBankButton(cAnalogueSynthPanelMultiLayer::kBankA)->value, 0);
}

TEST_F(SynthMulti, ALayerShowsNoBankOffOrItsPreset)
{
    // Without a bound instrument there is no store to name presets from.
    multi->GetLayerPanel()->ShowPreset(0x105);
    EXPECT_STREQ(multi->GetLayerPanel()->GetPreset()->GetText(), "No Bank");
    EXPECT_EQ(multi->GetLayerPanel()->GetPreset()->GetValue(), 0);

    Show();
    cAnalogueSynthPanelMultiLayer* layer = multi->GetLayerPanel();
    layer->ShowPreset(-1);
    EXPECT_STREQ(layer->GetPreset()->GetText(), "OFF");
    EXPECT_EQ(layer->GetPreset()->GetValue(), -1);
    for (int32_t index = 0; index < cAnalogueSynthPanelMultiLayer::kBankButtonCount; ++index)
        EXPECT_EQ(layer->GetBankButton(index)->value, 0);
    package->GetStore().GetSingle(0x105).SetName("Strings");
    layer->ShowPreset(0x105);
    EXPECT_STREQ(layer->GetPreset()->GetText(), "Strings");
    EXPECT_EQ(layer->GetPreset()->GetValue(), 5);
    EXPECT_EQ(layer->GetBankButton(cAnalogueSynthPanelMultiLayer::kBankB)->value, 1);
}

TEST_F(SynthMulti, TheKeyRangeLearnsTheNextKeyAndKeepsItsEndsInOrder)
{
    Show();
    cWidgetKeyRange* range = multi->GetLayerPanel()->GetKeyRange();
    range->SetRange(0, 127);
    cGenStringFixed<32> text;
    range->GetValueText(text);
    EXPECT_STREQ(text.CStr(), "C-1-G9");

    ClickCentre(range);
    EXPECT_EQ(range->GetLearnMode(), cWidgetKeyRange::kLearnNone) << "between the boxes";
    const cRect low = range->GetLowBox();
    Click(low.xMin + 2.0f, 0.5f * (low.yMin + low.yMax));
    EXPECT_EQ(range->GetLearnMode(), cWidgetKeyRange::kLearnLow);
    range->GetValueText(text);
    EXPECT_STREQ(text.CStr(), "PRESS KEY");
    Click(low.xMin + 2.0f, 0.5f * (low.yMin + low.yMax));
    EXPECT_EQ(range->GetLearnMode(), cWidgetKeyRange::kLearnNone) << "a second tap stops learning";

    range->SetRange(40, 60);
    Click(low.xMin + 2.0f, 0.5f * (low.yMin + low.yMax));
    Drain();
    range->Learn(-1);
    EXPECT_EQ(range->GetLearnMode(), cWidgetKeyRange::kLearnLow) << "no key yet";
    range->Learn(72);
    EXPECT_EQ(range->GetLow(), 72);
    EXPECT_EQ(range->GetHigh(), 72) << "a low end above the high moves both";
    EXPECT_EQ(range->GetLearnMode(), cWidgetKeyRange::kLearnNone);
    std::vector<uint32_t> ids;
    for (const cAudioEvent& event : Synth().Take())
        ids.push_back(event.wordA);
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x403, 0x503}));
}

TEST_F(SynthMulti, TheTiltToggleShowsItsBallCentredAndItsLampBeside)
{
    Show();
    auto* toggle = new cWidgetAccelerometer(SynthSprite(kSynthKnob));
    toggle->SetAnchors(kAnchorsAbsoluteRect, 600.0f, 100.0f, 64.0f, 44.0f);
    widgets->GetRoot()->AddChild(toggle);
    Frame();
    EXPECT_FLOAT_EQ(toggle->GetBallCentre().X, 621.0f);
    EXPECT_FLOAT_EQ(toggle->GetBallCentre().Y, 121.0f);
    EXPECT_FLOAT_EQ(toggle->GetLampCentre().X, 652.0f);
    EXPECT_FLOAT_EQ(toggle->GetLampCentre().Y, 122.0f);
    ClickCentre(toggle);
    EXPECT_TRUE(toggle->IsOn());
    EXPECT_FLOAT_EQ(toggle->GetBallCentre().X, 621.0f) << "the record at rest";
    {
        cDeviceMotion motion;
        motion.motion[0] = 1.0f;
        motion.motion[1] = 0.0f;
        EXPECT_FLOAT_EQ(toggle->GetBallCentre().X, 633.0f);
        EXPECT_FLOAT_EQ(toggle->GetBallCentre().Y, 121.0f);
    }
    widgets->GetRoot()->RemoveChild(toggle);
    toggle->Release();
}
