#include "mixer/ui/EffectUI.h"

#include "audio/AudioEvent.h"
#include "base/ProjectModified.h"
#include "audio/AudioModule.h"
#include "ui/StatusBarHost.h"

cEffectUI::cEffectUI(cEffectPackage* package) : mPackage(package) {}

void cEffectUI::SetEffect(cAudioModuleBase* effect, int32_t instance)
{
    mEffect = effect;
    mInstance = instance;
    ModifyFlags(kWidgetStateDirty, 0, true);
}

uint32_t cEffectUI::MakeParamId(uint32_t parameter) const
{
    return mInstance == 0 ? parameter : (parameter << 8) | uint32_t(mInstance & 0xff);
}

// The change counts even when the ring is full and the event is dropped.
void cEffectUI::OnFloatControlChanged(float value, cWidget* control)
{
    if (!mEffect)
        return;
    MarkProjectModified();
    mEffect->PostEvent(MakeSetFloatEvent(uint32_t(control->GetTag()), value));
}

void cEffectUI::OnIntControlChanged(int32_t value, cWidget* control)
{
    if (!mEffect)
        return;
    MarkProjectModified();
    mEffect->PostEvent(MakeSetIntEvent(uint32_t(control->GetTag()), value));
}

void cEffectUI::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    *minimum = {0.0f, 0.0f};
    *preferred = {kPreferredWidth, kPreferredHeight};
}

void cEffectUI::WaitForEffect() const
{
    if (mEffect)
        mEffect->WaitForEvents();
}

void cEffectUI::ShowStatusText(const char* text)
{
    if (cStatusBarHost* host = GetStatusBarHost())
        host->ShowStatusMessage(text);
}

// Left and top from the editor's corner, then the size.
void cEffectUI::Place(cWidget* widget, float x, float y, float width, float height)
{
    constexpr uint32_t kFromCornerWithSize = 0x1133;
    widget->SetAnchors(kFromCornerWithSize, x, y, width, height);
}

void cEffectUI::PlaceAtOwnSize(cWidget* widget, float x, float y)
{
    widget->SetAnchors(widget->GetAnchorWord(), x, y, widget->GetAnchorValue(2), widget->GetAnchorValue(3));
}

float cEffectUI::RightOfOwnSize(const cWidget* widget) { return widget->GetAnchorValue(0) + widget->GetAnchorValue(2); }
