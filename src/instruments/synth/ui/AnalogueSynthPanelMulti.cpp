#include "instruments/synth/ui/AnalogueSynthPanelMulti.h"

#include <algorithm>

#include "audio/AudioEvent.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetKeyRange.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kHighlightSprite = 141;
// Left and top from the parent's start, then a width and a height.
constexpr uint32_t kAnchorsInParent = 0x1133;
// The same, with the bottom edge from the parent's bottom.
constexpr uint32_t kAnchorsToBottom = 0x5133;
constexpr int32_t kLayerOff = -1;
constexpr int32_t kBankOfButton[cAnalogueSynthPanelMultiLayer::kBankButtonCount] = {0, 1, 2, 7};
constexpr const char* kBankNames[cAnalogueSynthPanelMultiLayer::kBankButtonCount] = {"A", "B", "C", "PROJ"};
// The preset's name leaves this much of the spin for its arrows.
constexpr float kNameInset = 80.0f;
constexpr uint32_t kSpinStyle = 16;
constexpr uint32_t kCaptionColour = SynthColour::kDarkRed;

void Place(cWidget* widget, float left, float top, float right, float bottom)
{
    widget->SetAnchors(kAnchorsInParent, left, top, right - left, bottom - top);
}

void DrawHighlight(cDrawList& list, const cRect& rect)
{
    list.DrawNinePatch(rect, SynthSprite(kHighlightSprite), nullptr, SynthColour::kWhite, true);
}
} // namespace

// --- Global ---

cAnalogueSynthPanelMultiGlobal::cAnalogueSynthPanelMultiGlobal(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    const char* names[2] = {"SEND 1", "SEND 2"};
    for (int32_t index = 0; index < 2; ++index)
    {
        cWidgetKnob* knob = CreateSynthKnob();
        knob->SetParameter({names[index], kKnobContinuous, 0, 0, nullptr, 0, 0});
        knob->valueDelegate.Bind(static_cast<cAnalogueSynthPanel*>(this), &cAnalogueSynthPanel::OnFloatChanged);
        Place(knob, 20.0f + 55.0f * float(index), 20.0f, 64.0f + 55.0f * float(index), 64.0f);
        AddChild(knob);
        mSends[index] = knob;
    }
}

cAnalogueSynthPanelMultiGlobal::~cAnalogueSynthPanelMultiGlobal()
{
    mSends[0]->Release();
    mSends[1]->Release();
}

void cAnalogueSynthPanelMultiGlobal::OnStateChange()
{
    WaitForModule();
    const int32_t groups[2] = {kMultiGroupSend1, kMultiGroupSend2};
    for (int32_t index = 0; index < 2; ++index)
    {
        const uint32_t id = MakeSynthParamId(kSynthParamMulti, groups[index]);
        mSends[index]->SetTag(int32_t(id));
        mSends[index]->SetValue(ReadParamFloat(id));
    }
}

bool cAnalogueSynthPanelMultiGlobal::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    DrawHighlight(list, GetRect());
    return false;
}

// --- Layer ---

cAnalogueSynthPanelMultiLayer::cAnalogueSynthPanelMultiLayer(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mLevel = CreateSynthKnob();
    mLevel->SetParameter({"LEVEL", kKnobContinuous, 0, 0, nullptr, 0, 0});
    mLevel->valueDelegate.Bind(static_cast<cAnalogueSynthPanel*>(this), &cAnalogueSynthPanel::OnFloatChanged);
    Place(mLevel, 260.0f, 3.0f, 304.0f, 47.0f);

    mPreset = CreateSynthSpin(kSpinStyle);
    mPreset->SetName("PRESET");
    mPreset->minimum = kLayerOff;
    mPreset->maximum = cAnalogueSynthPresetStore::kSlotCount - 1;
    mPreset->valueDelegate.Bind(this, &cAnalogueSynthPanelMultiLayer::OnPresetChanged);
    Place(mPreset, 15.0f, 65.0f, 230.0f, 97.0f);

    mKeyRange = new cWidgetKeyRange(SynthSprite(kSynthValueBox), SynthSprite(kSynthLamp), SynthSprite(kSynthLamp));
    mKeyRange->SetName("KEY RANGE");
    mKeyRange->lowChangedDelegate.Bind(this, &cAnalogueSynthPanelMultiLayer::OnKeyLowChanged);
    mKeyRange->highChangedDelegate.Bind(this, &cAnalogueSynthPanelMultiLayer::OnKeyHighChanged);
    Place(mKeyRange, 15.0f, 115.0f, 160.0f, 175.0f);

    mTranspose = CreateSynthSpin(kSpinStyle);
    mTranspose->SetName("TRANSPOSE");
    mTranspose->minimum = -24;
    mTranspose->maximum = 24;
    mTranspose->valueDelegate.Bind(this, &cAnalogueSynthPanelMultiLayer::OnTransposeChanged);
    Place(mTranspose, 190.0f, 115.0f, 300.0f, 175.0f);

    for (int32_t index = 0; index < kBankButtonCount; ++index)
    {
        cWidgetButton* button = CreateSynthButton(kButtonPush, 0);
        button->SetName(kBankNames[index]);
        button->SetTag(index);
        button->clickDelegate.Bind(this, &cAnalogueSynthPanelMultiLayer::OnBankClicked);
        Place(button, 15.0f + 50.0f * float(index), 15.0f, 60.0f + 50.0f * float(index), 47.0f);
        mBanks[index] = button;
    }

    mTrackKeys = CreateSynthButton(kButtonCycle, 3);
    mTrackKeys->SetName("TRACK KEYS");
    mTrackKeys->clickDelegate.Bind(static_cast<cAnalogueSynthPanel*>(this), &cAnalogueSynthPanel::OnIntChanged);
    Place(mTrackKeys, 265.0f, 64.0f, 301.0f, 96.0f);

    for (cWidget* widget : {static_cast<cWidget*>(mLevel), static_cast<cWidget*>(mPreset),
                            static_cast<cWidget*>(mKeyRange), static_cast<cWidget*>(mTranspose),
                            static_cast<cWidget*>(mTrackKeys)})
        AddChild(widget);
    for (cWidgetButton* button : mBanks)
        AddChild(button);
}

cAnalogueSynthPanelMultiLayer::~cAnalogueSynthPanelMultiLayer()
{
    mLevel->Release();
    mPreset->Release();
    mKeyRange->Release();
    mTranspose->Release();
    mTrackKeys->Release();
    for (cWidgetButton* button : mBanks)
        button->Release();
}

void cAnalogueSynthPanelMultiLayer::SetLayer(int32_t layer)
{
    mLayer = std::clamp(layer, 0, 3);
    ModifyFlags(kWidgetStateDirty, 0, false);
}

uint32_t cAnalogueSynthPanelMultiLayer::LayerId(int32_t group) const
{
    return MakeSynthParamId(kSynthParamMulti, group, mLayer);
}

cAnalogueSynthPresetStore* cAnalogueSynthPanelMultiLayer::GetStore() const
{
    cAnalogueSynthInstrument* instrument = GetInstrument();
    auto* package = instrument ? static_cast<cAnalogueSynthPackage*>(instrument->GetPackage()) : nullptr;
    return package ? &package->GetStore() : nullptr;
}

void cAnalogueSynthPanelMultiLayer::OnStateChange()
{
    WaitForModule();
    mLevel->SetTag(int32_t(LayerId(kMultiGroupVol)));
    mTrackKeys->SetTag(int32_t(LayerId(kMultiGroupTrackKeys)));
    mTranspose->SetTag(int32_t(LayerId(kMultiGroupTrans)));
    mPreset->SetTag(int32_t(LayerId(kMultiGroupIndex)));
    mTrackKeys->value = ReadParamInt(LayerId(kMultiGroupTrackKeys));
    const int32_t transpose = ReadParamInt(LayerId(kMultiGroupTrans));
    mTranspose->SetValue(transpose);
    cGenStringFixed<8> text;
    text.Printf("%d", transpose);
    mTranspose->SetText(text.CStr());
    const int32_t low = ReadParamInt(LayerId(kMultiGroupKeyMin));
    mKeyRange->SetRange(low, std::max(low, ReadParamInt(LayerId(kMultiGroupKeyMax))));
    mLevel->SetValue(ReadParamFloat(LayerId(kMultiGroupVol)));
    ShowPreset(GetStore() ? ReadParamInt(LayerId(kMultiGroupIndex)) : kLayerOff);
}

void cAnalogueSynthPanelMultiLayer::ShowPreset(int32_t id)
{
    cAnalogueSynthPresetStore* store = GetStore();
    for (cWidgetButton* button : mBanks)
        button->value = 0;
    if (!store)
    {
        mPreset->SetText("No Bank");
        mPreset->SetValue(0);
        return;
    }
    if (id == kLayerOff)
    {
        mPreset->SetText("OFF");
        mPreset->SetValue(kLayerOff);
        return;
    }
    mBank = id >> 8;
    for (int32_t index = 0; index < kBankButtonCount; ++index)
        if (kBankOfButton[index] == mBank)
            mBanks[index]->value = 1;
    cGenStringFixed<32> name;
    name.AssignCStr(store->GetPresetName(cAnalogueSynth::kModeSingle, id));
    const cRect& rect = mPreset->GetRect();
    cFontHandle font;
    font.Select(11.0f);
    if (font.IsValid())
        font.TruncateEnd(name, rect.xMax - rect.xMin - kNameInset);
    mPreset->SetText(name.CStr());
    mPreset->SetValue(id & 0x3F);
}

void cAnalogueSynthPanelMultiLayer::PostPreset(int32_t slot)
{
    const int32_t id = slot == kLayerOff ? kLayerOff : (mBank << 8) + (slot & 0x3F);
    PostToModule(kAudioEventSetIntParam, int32_t(LayerId(kMultiGroupIndex)), id);
    ShowPreset(id);
}

void cAnalogueSynthPanelMultiLayer::OnPresetChanged(int32_t slot, cWidget*) { PostPreset(slot); }

void cAnalogueSynthPanelMultiLayer::OnBankClicked(int32_t, cWidget* sender)
{
    const int32_t tag = sender->GetTag();
    if (tag < 0 || tag >= kBankButtonCount)
        return;
    mBank = kBankOfButton[tag];
    PostPreset(mPreset->GetValue());
}

void cAnalogueSynthPanelMultiLayer::OnTransposeChanged(int32_t value, cWidget*)
{
    cGenStringFixed<8> text;
    text.Printf("%d", value);
    mTranspose->SetText(text.CStr());
    mTranspose->SetValue(value);
    PostToModule(kAudioEventSetIntParam, int32_t(LayerId(kMultiGroupTrans)), value);
}

void cAnalogueSynthPanelMultiLayer::OnKeyLowChanged(int32_t note, cWidget*)
{
    PostToModule(kAudioEventSetIntParam, int32_t(LayerId(kMultiGroupKeyMin)), note);
}

void cAnalogueSynthPanelMultiLayer::OnKeyHighChanged(int32_t note, cWidget*)
{
    PostToModule(kAudioEventSetIntParam, int32_t(LayerId(kMultiGroupKeyMax)), note);
}

bool cAnalogueSynthPanelMultiLayer::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    if (mOwner)
        mKeyRange->Learn(mOwner->GetLastTouchedNote());
    const cRect& rect = GetRect();
    DrawHighlight(list, rect);
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, 8.0f);
    list.GetTextBatch().DrawText(rect.xMin + 17.0f, rect.yMin + 6.0f, list.depth, font, kCaptionColour, "BANK");
    return false;
}

// --- The tabs ---

cAnalogueSynthPanelMulti::cAnalogueSynthPanelMulti(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mLayerPanel = new cAnalogueSynthPanelMultiLayer(owner);
    mLayerPanel->SetName("Layer");
    mLayerPanel->SetAnchors(kAnchorsToBottom, 95.0f, 11.0f, 410.0f - 95.0f, -11.0f);
    AddChild(mLayerPanel);
    mGlobalPanel = new cAnalogueSynthPanelMultiGlobal(owner);
    mGlobalPanel->SetName("Global");
    mGlobalPanel->SetAnchors(kAnchorsToBottom, 95.0f, 11.0f, 410.0f - 95.0f, -11.0f);
    AddChild(mGlobalPanel);
    for (int32_t index = 0; index < kTabCount; ++index)
    {
        cWidgetButton* tab = CreateSynthButton(kButtonPush, 0);
        cGenStringFixed<16> text;
        if (index < kGlobalTab)
            text.Printf("Layer %d", index + 1);
        else
            text.AssignCStr("GLOBAL");
        tab->SetName(text.CStr());
        tab->SetTag(index);
        tab->clickDelegate.Bind(this, &cAnalogueSynthPanelMulti::OnTabClicked);
        Place(tab, 20.0f, 11.0f + 30.0f * float(index), 80.0f, 43.0f + 30.0f * float(index));
        AddChild(tab);
        mTabs[index] = tab;
    }
    SelectTab(0);
}

cAnalogueSynthPanelMulti::~cAnalogueSynthPanelMulti()
{
    mLayerPanel->Release();
    mGlobalPanel->Release();
    for (cWidgetButton* tab : mTabs)
        tab->Release();
}

void cAnalogueSynthPanelMulti::SelectTab(int32_t tab)
{
    mSelected = std::clamp(tab, 0, kGlobalTab);
    for (int32_t index = 0; index < kTabCount; ++index)
        mTabs[index]->value = index == mSelected ? 1 : 0;
    if (mSelected == kGlobalTab)
    {
        mGlobalPanel->SetVisible(true);
        mLayerPanel->SetVisible(false);
        return;
    }
    mLayerPanel->SetLayer(mSelected);
    mLayerPanel->SetVisible(true);
    mGlobalPanel->SetVisible(false);
}

void cAnalogueSynthPanelMulti::OnTabClicked(int32_t, cWidget* sender)
{
    if (cAnalogueSynthInstrument* instrument = GetInstrument())
        instrument->multiTab = sender->GetTag();
    SelectTab(sender->GetTag());
}

void cAnalogueSynthPanelMulti::OnStateChange()
{
    WaitForModule();
    cAnalogueSynthInstrument* instrument = GetInstrument();
    SelectTab(instrument ? instrument->multiTab : mSelected);
}

bool cAnalogueSynthPanelMulti::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    const cRect& tab = mTabs[mSelected]->GetRect();
    DrawHighlight(list, {tab.xMin + 3.0f, tab.yMin + 4.0f, tab.xMax + 30.0f, tab.yMax - 3.0f});
    return false;
}
