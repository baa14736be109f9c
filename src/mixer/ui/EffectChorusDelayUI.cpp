#include "mixer/ui/EffectChorusDelayUI.h"

#include <algorithm>

#include "audio/ChorusDelay.h"
#include "base/Serialise.h"
#include "mixer/Effect.h"
#include "render/DrawList.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
using Params = cChorusDelayParams;

constexpr uint32_t kKnobCaptionColour = 0xffdcdcdc;
constexpr uint32_t kSwitchLabelColour = 0xff202020;
constexpr uint32_t kPanelColour = 0xff404040;
constexpr float kKnobSize = 52.0f;
constexpr float kModeWidth = 116.0f;
constexpr float kControlGap = 4.0f;

// Eighths of a turn from 1/8 to 7/8, the half turn left out.
const cWidgetKnob::cListEntry kBeatStops[] = {
    {0.785398f, 0, 0, "1/16"}, {1.5708f, 1, 0, "1/8"},  {2.35619f, 2, 0, "1/8D"},
    {3.92699f, 3, 0, "1/4"},   {4.71239f, 4, 0, "1/4D"}, {5.49779f, 5, 0, "1/2"},
};

struct cKnobDef
{
    const char* label;
    uint32_t parameter;
    int32_t kind;
    uint32_t style;
};
const cKnobDef kKnobDefs[cEffectChorusDelayUI::kKnobCount] = {
    {"RATE", Params::kFieldCRate, kKnobContinuous, 0},
    {"DELAY", Params::kFieldCDelay, kKnobContinuous, 0},
    {"DEPTH", Params::kFieldCDepth, kKnobContinuous, 0},
    {"FEEDBACK", Params::kFieldCFeedback, kKnobContinuous, 0},
    {"TIME", Params::kFieldDTime, kKnobContinuous, 0},
    {"BEAT", Params::kFieldDBeatTime, kKnobValueList, 0},
    {"FEEDBACK", Params::kFieldDFeedback, kKnobContinuous, 0},
    {"DRY/WET", Params::kFieldDAmount, kKnobContinuous, kKnobBipolar},
};

// The four shared cells, left to right, each showing one of its controls.
constexpr int32_t kCells[4][3] = {{cEffectChorusDelayUI::kKnobDelay, cEffectChorusDelayUI::kKnobDryWet, -1},
                                  {cEffectChorusDelayUI::kKnobDepth, cEffectChorusDelayUI::kKnobDelayFeedback, -1},
                                  {cEffectChorusDelayUI::kKnobChorusFeedback, cEffectChorusDelayUI::kKnobTime,
                                   cEffectChorusDelayUI::kKnobBeat},
                                  {cEffectChorusDelayUI::kKnobRate, -1, -1}};

const char* TypeName(int32_t type)
{
    const Base::cEnumTable& names = Params::GetTypeNames();
    for (int32_t i = 0; i < names.count; ++i)
        if (names.entries[i].value == type)
            return names.entries[i].name;
    return "";
}
} // namespace

cEffectChorusDelayUI::cEffectChorusDelayUI(cEffectPackage* package) : cEffectUI(package)
{
    SetName("ChorusDelayUI");
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        const cKnobDef& def = kKnobDefs[knob];
        const bool list = def.kind == kKnobValueList;
        mKnobs[knob] = CreateEffectKnob({def.label, def.kind, 0, 0, list ? kBeatStops : nullptr,
                                         list ? int32_t(sizeof(kBeatStops) / sizeof(kBeatStops[0])) : 0, def.style},
                                        kKnobCaptionColour);
        mKnobs[knob]->SetTag(int32_t(def.parameter));
        if (list)
            mKnobs[knob]->stepDelegate = cDelegate(this, &cEffectUI::OnIntControlChanged);
        else
            mKnobs[knob]->valueDelegate = cDelegate(this, &cEffectUI::OnFloatControlChanged);
        AddChild(mKnobs[knob]);
    }
    mMode = CreateSpinButton("");
    mMode->minimum = Params::kTypeChorus;
    mMode->maximum = Params::kTypeCrossDelay;
    const char* widest[] = {"Flanger", "X-Delay"};
    mMode->SetLabelWidth(widest, 2);
    mMode->SetTag(int32_t(Params::kFieldType));
    mMode->valueDelegate = cDelegate(this, &cEffectChorusDelayUI::OnModeSpin);
    mOn = CreateEffectButton("ON", kButtonCycle, nullptr, kSwitchLabelColour);
    mOn->SetTag(int32_t(Params::kFieldEnable));
    mOn->clickDelegate = cDelegate(this, &cEffectUI::OnIntControlChanged);
    mSync = CreateEffectButton("BEAT SYNC", kButtonCycle, nullptr, kSwitchLabelColour);
    mSync->SetTag(int32_t(Params::kFieldSync));
    mSync->clickDelegate = cDelegate(this, &cEffectChorusDelayUI::OnSyncButton);
    for (cWidget* widget : {static_cast<cWidget*>(mMode), static_cast<cWidget*>(mOn), static_cast<cWidget*>(mSync)})
        AddChild(widget);
    ApplyMode(Params::kTypeChorus, 0);
}

cEffectChorusDelayUI::~cEffectChorusDelayUI()
{
    for (cWidgetKnob* knob : mKnobs)
        knob->Release();
    mMode->Release();
    mOn->Release();
    mSync->Release();
}

void cEffectChorusDelayUI::Show(cWidget* control, bool show)
{
    if (!show && control->IsVisible())
        control->CancelInputRecursive(true);
    control->SetVisible(show);
}

void cEffectChorusDelayUI::ApplyMode(int32_t type, int32_t sync)
{
    mMode->SetText(TypeName(type));
    const bool chorus = type == Params::kTypeChorus || type == Params::kTypeFlanger;
    const bool delay = type == Params::kTypeDelay || type == Params::kTypeCrossDelay;
    for (int32_t knob : {kKnobRate, kKnobDelay, kKnobDepth, kKnobChorusFeedback})
        Show(mKnobs[knob], chorus);
    for (int32_t knob : {kKnobDelayFeedback, kKnobDryWet})
        Show(mKnobs[knob], delay);
    Show(mSync, delay);
    Show(mKnobs[kKnobTime], delay && sync == 0);
    Show(mKnobs[kKnobBeat], delay && sync != 0);
}

void cEffectChorusDelayUI::OnModeSpin(int32_t type, cWidgetSpinButton* spin)
{
    spin->SetValue(type);
    ApplyMode(type, mSync->value);
    OnIntControlChanged(type, spin);
}

void cEffectChorusDelayUI::OnSyncButton(int32_t sync, cWidgetButton* button)
{
    mSync->value = sync;
    ApplyMode(mMode->GetValue(), sync);
    OnIntControlChanged(sync, button);
}

void cEffectChorusDelayUI::OnStateChange()
{
    if (!mEffect)
        return;
    WaitForEffect();
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        const uint32_t id = MakeParamId(kKnobDefs[knob].parameter);
        mKnobs[knob]->SetTag(int32_t(id));
        if (kKnobDefs[knob].kind == kKnobValueList)
            mKnobs[knob]->SetIntValue(mEffect->GetParamInt(id));
        else
            mKnobs[knob]->SetValue(mEffect->GetParamFloat(id));
    }
    mMode->SetTag(int32_t(MakeParamId(Params::kFieldType)));
    mOn->SetTag(int32_t(MakeParamId(Params::kFieldEnable)));
    mSync->SetTag(int32_t(MakeParamId(Params::kFieldSync)));
    mOn->value = mEffect->GetParamInt(uint32_t(mOn->GetTag())) != 0 ? 1 : 0;
    mSync->value = mEffect->GetParamInt(uint32_t(mSync->GetTag())) != 0 ? 1 : 0;
    const int32_t type = mEffect->GetParamInt(uint32_t(mMode->GetTag()));
    mMode->SetValue(std::clamp(type, mMode->minimum, mMode->maximum));
    ApplyMode(type, mSync->value);
}

// "ON", the spinner, then the four cells; a cell's controls share a place.
void cEffectChorusDelayUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    const float top = (height - kKnobSize) * 0.5f + 6.0f;
    PlaceAtOwnSize(mOn, 10.0f, height * 0.5f - 8.0f);
    // The mode spinner starts where the switch ends, the knobs where it ends.
    const float modeLeft = RightOfOwnSize(mOn) + kControlGap;
    Place(mMode, modeLeft, height * 0.5f - 10.0f, kModeWidth, 36.0f);
    const float left = modeLeft + kModeWidth + kControlGap, pitch = (width - left - 8.0f) / 4.0f;
    for (int32_t cell = 0; cell < 4; ++cell)
    {
        const float x = left + pitch * float(cell) + (pitch - kKnobSize) * 0.5f;
        for (int32_t knob : kCells[cell])
            if (knob >= 0)
                Place(mKnobs[knob], x, top, kKnobSize, kKnobSize);
    }
    PlaceAtOwnSize(mSync, left + pitch * 3.0f + 4.0f, height * 0.5f - 8.0f);
}

bool cEffectChorusDelayUI::Draw(cDrawList& list)
{
    list.FillRect(GetRect(), kPanelColour);
    mMode->valueTextStyle.colour = mOn->value != 0 ? kModeOnColour : kModeOffColour;
    return false;
}
