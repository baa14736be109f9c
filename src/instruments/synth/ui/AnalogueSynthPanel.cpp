#include "instruments/synth/ui/AnalogueSynthPanel.h"

#include <algorithm>
#include <bit>

#include "audio/AudioEvent.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "render/DrawList.h"
#include "render/Font.h"

cAnalogueSynthPanel::cAnalogueSynthPanel(cAnalogueSynthUI* owner, int32_t group) : mGroup(group), mOwner(owner) {}

bool cAnalogueSynthPanel::Draw(cDrawList& list)
{
    if (GetFlags() & kWidgetRectDirty)
        UpdateRect();
    list.DrawNinePatch(GetRect(), SynthSprite(kSynthPanelBackground), nullptr, 0xffffffffu, true);
    return false;
}

void cAnalogueSynthPanel::SetWide(bool) {}

cAnalogueSynthInstrument* cAnalogueSynthPanel::GetInstrument() const
{
    return mOwner ? mOwner->GetInstrument() : nullptr;
}

cAnalogueSynth* cAnalogueSynthPanel::GetModule() const
{
    cAnalogueSynthInstrument* instrument = GetInstrument();
    return instrument ? instrument->GetSynth() : nullptr;
}

bool cAnalogueSynthPanel::PostToModule(uint8_t type, int32_t wordA, int32_t wordB) const
{
    cAnalogueSynth* module = GetModule();
    if (!module)
        return false;
    cAudioEvent event;
    event.type = type;
    event.wordA = uint32_t(wordA);
    event.wordB = uint32_t(wordB);
    return module->PostEvent(event);
}

void cAnalogueSynthPanel::OnFloatChanged(float value, cWidget* sender)
{
    PostToModule(kAudioEventSetFloatParam, sender->GetTag(), int32_t(std::bit_cast<uint32_t>(value)));
}

void cAnalogueSynthPanel::OnIntChanged(int32_t value, cWidget* sender)
{
    PostToModule(kAudioEventSetIntParam, sender->GetTag(), value);
}

void cAnalogueSynthPanel::WaitForModule() const
{
    if (cAnalogueSynth* module = GetModule())
        module->WaitForEvents();
}

float cAnalogueSynthPanel::ReadParamFloat(uint32_t id) const
{
    cAnalogueSynth* module = GetModule();
    return module ? std::clamp(module->GetParamFloat(id), 0.0f, 1.0f) : 0.0f;
}

int32_t cAnalogueSynthPanel::ReadParamInt(uint32_t id) const
{
    cAnalogueSynth* module = GetModule();
    return module ? module->GetParamInt(id) : 0;
}

float cAnalogueSynthPanel::CaptionHeight() const
{
    constexpr float kFallbackLineHeight = 9.0f;
    const cFontHandle* font = mOwner ? &mOwner->GetLabelFont() : nullptr;
    return font && font->sizeEntry ? font->sizeEntry->size : kFallbackLineHeight;
}
