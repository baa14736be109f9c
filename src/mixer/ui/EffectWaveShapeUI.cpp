#include "mixer/ui/EffectWaveShapeUI.h"

#include <algorithm>

#include "audio/WaveShaper.h"
#include "base/Serialise.h"
#include "mixer/Effect.h"
#include "render/DrawList.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kKnobCaptionColour = 0xffdcdcdc;
constexpr uint32_t kSwitchLabelColour = 0xff202020;
constexpr uint32_t kPanelColour = 0xff3a3a3a;
constexpr float kKnobSize = 52.0f;
constexpr float kShapeWidth = 130.0f;
constexpr float kControlGap = 4.0f;
constexpr uint32_t kKnobParameters[cEffectWaveShapeUI::kKnobCount] = {
    cWaveShapeParams::kFieldDrive, cWaveShapeParams::kFieldBright, cWaveShapeParams::kFieldOut};
const char* const kKnobNames[cEffectWaveShapeUI::kKnobCount] = {"DRIVE", "CONTOUR", "LEVEL"};

// The shape's name, or "" for a value the list does not hold.
const char* ShapeName(int32_t shape)
{
    const Base::cEnumTable& names = cWaveShapeParams::GetShapeNames();
    for (int32_t i = 0; i < names.count; ++i)
        if (names.entries[i].value == shape)
            return names.entries[i].name;
    return "";
}
} // namespace

cEffectWaveShapeUI::cEffectWaveShapeUI(cEffectPackage* package) : cEffectUI(package)
{
    SetName("WaveShapeUI");
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        mKnobs[knob] = CreateEffectKnob({kKnobNames[knob], kKnobContinuous, 0, 0, nullptr, 0, 0}, kKnobCaptionColour);
        mKnobs[knob]->SetTag(int32_t(kKnobParameters[knob]));
        mKnobs[knob]->valueDelegate = cDelegate(this, &cEffectUI::OnFloatControlChanged);
        AddChild(mKnobs[knob]);
    }
    mShape = CreateSpinButton("");
    mShape->minimum = cWaveShapeParams::kShapeSoft;
    mShape->maximum = cWaveShapeParams::kShapeLoFi;
    const char* widest[] = {"EQ Only", "Hollow", "Lo-Fi"};
    mShape->SetLabelWidth(widest, 3);
    mShape->SetTag(int32_t(cWaveShapeParams::kFieldShape));
    mShape->valueDelegate = cDelegate(this, &cEffectWaveShapeUI::OnShapeSpin);
    AddChild(mShape);
    mPower = CreateEffectButton("POWER", kButtonCycle, nullptr, kSwitchLabelColour);
    mPower->SetTag(int32_t(cWaveShapeParams::kFieldEnable));
    mPower->clickDelegate = cDelegate(this, &cEffectUI::OnIntControlChanged);
    AddChild(mPower);
    ApplyShape(mShape->minimum);
}

cEffectWaveShapeUI::~cEffectWaveShapeUI()
{
    for (cWidgetKnob* knob : mKnobs)
        knob->Release();
    mShape->Release();
    mPower->Release();
}

void cEffectWaveShapeUI::ApplyShape(int32_t shape)
{
    mShape->SetText(ShapeName(shape));
    const bool loFi = shape == cWaveShapeParams::kShapeLoFi;
    mKnobs[kKnobDrive]->SetName(loFi ? "BITCRUSH" : "DRIVE");
    mKnobs[kKnobLevel]->SetName(loFi ? "DECIMATE" : "LEVEL");
    const bool toneOnly = shape == cWaveShapeParams::kShapeEQOnly;
    for (int32_t knob : {kKnobDrive, kKnobLevel})
    {
        if (toneOnly && mKnobs[knob]->IsVisible())
            mKnobs[knob]->CancelInputRecursive(true);
        mKnobs[knob]->SetVisible(!toneOnly);
    }
}

void cEffectWaveShapeUI::OnShapeSpin(int32_t shape, cWidgetSpinButton* spin)
{
    spin->SetValue(shape);
    ApplyShape(shape);
    OnIntControlChanged(shape, spin);
}

// Read at once: the page shows what the effect holds now.
void cEffectWaveShapeUI::OnStateChange()
{
    if (!mEffect)
        return;
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
    {
        const uint32_t id = MakeParamId(kKnobParameters[knob]);
        mKnobs[knob]->SetTag(int32_t(id));
        mKnobs[knob]->SetValue(mEffect->GetParamFloat(id));
    }
    mShape->SetTag(int32_t(MakeParamId(cWaveShapeParams::kFieldShape)));
    mPower->SetTag(int32_t(MakeParamId(cWaveShapeParams::kFieldEnable)));
    const int32_t shape = mEffect->GetParamInt(uint32_t(mShape->GetTag()));
    mShape->SetValue(std::clamp(shape, mShape->minimum, mShape->maximum));
    mPower->value = mEffect->GetParamInt(uint32_t(mPower->GetTag())) != 0 ? 1 : 0;
    ApplyShape(shape);
}

// One row along the bottom: the switch, the spinner and the three knobs.
void cEffectWaveShapeUI::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    PlaceAtOwnSize(mPower, 10.0f, height * 0.5f - 8.0f);
    // The spinner starts where the switch ends, the knobs where it ends.
    const float shapeLeft = RightOfOwnSize(mPower) + kControlGap;
    Place(mShape, shapeLeft, height * 0.5f - 10.0f, kShapeWidth, 36.0f);
    const float left = shapeLeft + kShapeWidth + kControlGap, pitch = (width - left - 8.0f) / float(kKnobCount);
    for (int32_t knob = 0; knob < kKnobCount; ++knob)
        Place(mKnobs[knob], left + pitch * float(knob) + (pitch - kKnobSize) * 0.5f, (height - kKnobSize) * 0.5f + 6.0f,
              kKnobSize, kKnobSize);
}

bool cEffectWaveShapeUI::Draw(cDrawList& list)
{
    list.FillRect(GetRect(), kPanelColour);
    mShape->valueTextStyle.colour = mPower->value != 0 ? kShapeOnColour : kShapeOffColour;
    return false;
}
