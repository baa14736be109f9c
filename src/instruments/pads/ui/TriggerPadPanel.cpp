#include "instruments/pads/ui/TriggerPadPanel.h"

#include "audio/AudioEvent.h"
#include "base/ProjectModified.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/ui/TriggerPadUI.h"

cTriggerPadPanel::cTriggerPadPanel(cTriggerPadUI* owner) : mOwner(owner) {}

cTriggerPadPanel::~cTriggerPadPanel() = default;

cTriggerPad* cTriggerPadPanel::Module() const { return mOwner ? mOwner->GetModule() : nullptr; }

void cTriggerPadPanel::Post(uint32_t id, int32_t value) const
{
    if (cTriggerPad* module = Module())
        module->PostEvent(MakeSetIntEvent(id, value));
}

void cTriggerPadPanel::PostFloat(uint32_t id, float value) const
{
    if (cTriggerPad* module = Module())
        module->PostEvent(MakeSetFloatEvent(id, value));
}

void cTriggerPadPanel::OnFloatControl(float value, cWidget* control)
{
    MarkProjectModified();
    PostFloat(uint32_t(control->GetTag()), value);
}

void cTriggerPadPanel::OnIntControl(int32_t value, cWidget* control)
{
    MarkProjectModified();
    Post(uint32_t(control->GetTag()), value);
}
