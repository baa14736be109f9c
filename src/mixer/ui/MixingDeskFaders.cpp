#include "mixer/ui/MixingDeskFaders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioEvent.h"
#include "audio/Instrument.h"
#include "base/ProjectModified.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/ui/EffectRackUI.h"
#include "mixer/ui/MixingDeskPanelMixer.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "sequencer/Sequencer.h"
#include "ui/InputManager.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetSlider.h"

namespace
{
constexpr float kMasterFloor = -26.0f, kMasterTop = 0.0f;
constexpr float kChannelFloor = -26.0f, kChannelTop = 6.0f;
constexpr float kClipLampLevel = 0.1f;
constexpr float kGap = 6.0f;
constexpr float kMeterWidth = 12.0f;
constexpr float kPanCentreTolerance = 1e-6f;
constexpr uint32_t kSeparatorColour = 0xff000000u;
constexpr uint32_t kCaptionColour = 0xffc8c8c8u;
// The owner-less identifiers' selector of the pan.
constexpr uint32_t kPanSelector = 0x10000u;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

// A list channel's volume as the mixer names it when no instrument owns the
// channel; the pan adds its selector.
uint32_t OwnerlessVolumeId(int32_t position) { return cMixer::kIdListChannel | (uint32_t(position) << 8); }
} // namespace

// ---------------------------------------------------------------- fader

cMixingDeskFader::cMixingDeskFader(cMixingDeskPanelMixer* panel, int32_t position)
    : cMixingDeskStrip(panel)
    , mPosition(position)
{
    mSlider = new cWidgetSlider();
    mSlider->trackImage.SetSprites(Sprite(MixingDeskSprite::kFaderTrack), nullptr, nullptr);
    mSlider->thumbImage.SetSprites(Sprite(MixingDeskSprite::kFaderThumb), nullptr, nullptr);
    const cAtlasSprite* track = Sprite(MixingDeskSprite::kFaderTrack);
    const cAtlasSprite* thumb = Sprite(MixingDeskSprite::kFaderThumb);
    mSlider->thumbOffset = {track->width * 0.5f, track->height * 0.5f};
    mSlider->travel = track->height - thumb->height;
    mSlider->glowSprite = Sprite(MixingDeskSprite::kFaderGlow);
    mSlider->glowWidth = Sprite(MixingDeskSprite::kFaderGlow)->width;
    mSlider->valueDelegate = cDelegate(this, &cMixingDeskFader::OnVolumeChanged);
    mSlider->touchDelegate = cDelegate(this, &cMixingDeskFader::OnControlTouched);
    AddChild(mSlider);
    const cWidgetKnob::cParameter pan = {"Pan", kKnobContinuous, 0, 0, nullptr, 0,
                                         kKnobBipolar | kKnobLettersLR | kKnobNoValueText};
    mKnob = CreateEffectKnob(pan, kCaptionColour);
    mKnob->valueDelegate = cDelegate(this, &cMixingDeskFader::OnPanChanged);
    mKnob->touchDelegate = cDelegate(this, &cMixingDeskFader::OnControlTouched);
    AddChild(mKnob);
    mMeter.flags |= kMeterClipLEDs;
}

cMixingDeskFader::~cMixingDeskFader()
{
    mSlider->Release();
    mKnob->Release();
}

void cMixingDeskFader::Bind(int32_t position)
{
    mPosition = position;
    cMixingDeskInstrument* desk = mPanel->GetInstrument();
    cMixer* mixer = mPanel->GetMixer();
    mChannel = nullptr;
    if (desk && position < 0)
        mChannel = static_cast<cMixerChannel*>(desk->GetChannel(0));
    else if (mixer)
        mChannel = mixer->GetChannel(position);
    const bool master = mChannel && mChannel->kind == cMixerChannel::kKindMaster;
    mMeter.SetRange(master ? kMasterFloor : kChannelFloor, master ? kMasterTop : kChannelTop);
    Refresh(true);
}

void cMixingDeskFader::Refresh(bool force)
{
    if (!mChannel)
        return;
    cInstrument* owner = mChannel->owner;
    cAudioModule* module = owner ? owner->GetModule() : nullptr;
    if (module)
    {
        const int32_t volume = mChannel->volumeParamIndex, pan = mChannel->panParamIndex;
        if ((module->TakeChangedBit(volume) || force) && !mSliderHeld && volume < module->GetParamCount())
            mSlider->SetValue(module->GetParamValue(volume));
        if ((module->TakeChangedBit(pan) || force) && !mKnobHeld && pan < module->GetParamCount())
            mKnob->SetValue(module->GetParamValue(pan));
        return;
    }
    cMixer* mixer = mPanel->GetMixer();
    if (!mixer || !force)
        return;
    const uint32_t id = OwnerlessVolumeId(mPosition);
    mSlider->SetValue(mixer->GetParamFloat(id));
    mKnob->SetValue(mixer->GetParamFloat(id | kPanSelector));
}

void cMixingDeskFader::FormatGain(char* text, int32_t capacity, float value)
{
    const float decibels = FastGainToDecibels(cMixerChannel::VolumeGain(value / kUnityValue));
    std::snprintf(text, size_t(capacity), "Gain = %.1fdB", double(decibels));
}

void cMixingDeskFader::FormatPan(char* text, int32_t capacity, float value)
{
    if (std::fabs(value - 0.5f) < kPanCentreTolerance)
        std::snprintf(text, size_t(capacity), "Pan = Centre");
    else if (value < 0.5f)
        std::snprintf(text, size_t(capacity), "Pan = Left %.0f%%", double((0.5f - value) * 200.0f));
    else
        std::snprintf(text, size_t(capacity), "Pan = Right %.0f%%", double((value - 0.5f) * 200.0f));
}

void cMixingDeskFader::OnVolumeChanged(float value, cWidgetSlider*)
{
    char text[48];
    FormatGain(text, int32_t(sizeof(text)), value);
    GetMixingDeskUIHost().ShowStatusMessage(text, kStatusSeconds);
    MarkProjectModified();
    if (mChannel)
        PostParam(mChannel->volumeParamIndex, 0, value);
}

void cMixingDeskFader::OnPanChanged(float value, cWidgetKnob*)
{
    char text[48];
    FormatPan(text, int32_t(sizeof(text)), value);
    GetMixingDeskUIHost().ShowStatusMessage(text, kStatusSeconds);
    MarkProjectModified();
    if (mChannel)
        PostParam(mChannel->panParamIndex, kPanSelector, value);
}

// The owner's module takes the move, and the song, which records it.
void cMixingDeskFader::PostParam(int32_t paramIndex, uint32_t selector, float value)
{
    cInstrument* owner = mChannel->owner;
    cAudioModule* module = owner ? owner->GetModule() : nullptr;
    if (!module)
    {
        if (cMixer* mixer = mPanel->GetMixer())
            mixer->PostEvent(MakeSetFloatEvent(OwnerlessVolumeId(mPosition) | selector, value));
        return;
    }
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.slot = uint8_t(owner->GetSlot());
    event.wordA = 0;
    event.wordB = uint32_t(paramIndex);
    event.valueF = value;
    module->PostEvent(event);
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
}

// While a control is held the song does not play its recorded moves back.
void cMixingDeskFader::OnControlTouched(int32_t state, cWidget* control)
{
    (control == mSlider ? mSliderHeld : mKnobHeld) = state != 0;
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!mPanel->GetInstrument() || !mChannel || !mChannel->owner || !sequencer)
        return;
    cAudioEvent event;
    event.type = kAudioEventParamTouch;
    event.slot = uint8_t(mChannel->owner->GetSlot());
    event.wordA = uint32_t(control == mSlider ? mChannel->volumeParamIndex : mChannel->panParamIndex);
    event.wordB = uint32_t(state != 0);
    sequencer->PostEvent(event);
}

void cMixingDeskFader::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin;
    cVector2 minimum, knobSize;
    mKnob->GetSizePreferences(&minimum, &knobSize);
    const float knobLeft = std::floor(rect.xMin + (width - knobSize.X) * 0.5f);
    mKnob->SetAnchors(kAnchorsAbsoluteRect, knobLeft, rect.yMin + kGap, knobSize.X, knobSize.Y);
    const float top = rect.yMin + kGap * 2.0f + knobSize.Y;
    const float height = std::max(0.0f, rect.yMax - kGap - top);
    const float sliderWidth = std::floor(width * 0.6f);
    mSlider->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, top, sliderWidth, height);
    mMeter.SetRect({rect.xMin + sliderWidth, top + kGap * 2.0f, rect.xMin + sliderWidth + kMeterWidth,
                    std::max(top + kGap * 2.0f, rect.yMax - kGap * 2.0f)});
    mKnob->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    mSlider->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

bool cMixingDeskFader::Draw(cDrawList& list)
{
    Refresh(false);
    const cRect& rect = GetRect();
    const bool master = mChannel && mChannel->kind == cMixerChannel::kKindMaster;
    list.DrawNinePatch(rect, Sprite(master ? MixingDeskSprite::kMasterStrip : MixingDeskSprite::kStrip), nullptr,
                       0xffffffffu, true);
    if (!mChannel)
        return true;
    cMixer* mixer = mPanel->GetMixer();
    const bool clipLeft = master && mixer && mixer->GetClipHoldLeft() > kClipLampLevel;
    const bool clipRight = master && mixer && mixer->GetClipHoldRight() > kClipLampLevel;
    mMeter.Draw(mChannel->meterLeft, mChannel->meterRight, list, clipLeft, clipRight, 255);
    if (!master)
        list.FillRect({rect.xMax - 1.0f, rect.yMin, rect.xMax, rect.yMax}, kSeparatorColour);
    DrawChildren(list);
    mSlider->DrawTouchHighlight(list);
    return true;
}

bool cMixingDeskFader::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (cWidget::HandleTouch(type, touch, captor))
        return true;
    if (type != kTouchDown || captor || !HasFlags(kWidgetShown) || !GetRect().Contains(touch->position))
        return false;
    if (mChannel)
        mPanel->SelectChannel(mPosition);
    return true;
}

// ---------------------------------------------------------------- input faders

cMixingDeskInputFaders::~cMixingDeskInputFaders()
{
    for (cMixingDeskFader* fader : mFaders)
        fader->Release();
}

void cMixingDeskInputFaders::SetStripCount(int32_t count)
{
    const size_t wanted = size_t(std::max(0, count) + (count > 0 ? 1 : 0));
    while (mFaders.size() > wanted)
    {
        RemoveChild(mFaders.back());
        mFaders.back()->Release();
        mFaders.pop_back();
    }
    while (mFaders.size() < wanted)
    {
        auto* fader = new cMixingDeskFader(mPanel, mFirst + int32_t(mFaders.size()));
        AddChild(fader);
        fader->Bind(mFirst + int32_t(mFaders.size()));
        mFaders.push_back(fader);
    }
    PlaceFaders();
}

void cMixingDeskInputFaders::SetPosition(float position, bool force)
{
    const int32_t whole = int32_t(std::floor(position));
    const float fraction = position - float(whole);
    mOffset = fraction < 1e-6f ? 0.0f : fraction;
    if (whole != mFirst || force)
    {
        mFirst = whole;
        for (size_t i = 0; i < mFaders.size(); ++i)
            mFaders[i]->Bind(whole + int32_t(i));
    }
    PlaceFaders();
}

void cMixingDeskInputFaders::OnLayout() { PlaceFaders(); }

void cMixingDeskInputFaders::OnStateChange() { SetPosition(float(mFirst) + mOffset, true); }

void cMixingDeskInputFaders::PlaceFaders()
{
    const cRect& rect = GetRect();
    const int32_t shown = GetStripCount();
    mStripWidth = shown > 0 ? std::round((rect.xMax - rect.xMin) / float(shown)) : 0.0f;
    const int32_t listSize = mPanel->GetListSize();
    for (size_t i = 0; i < mFaders.size(); ++i)
    {
        cMixingDeskFader* fader = mFaders[i];
        const float left = rect.xMin + (float(i) - mOffset) * mStripWidth;
        fader->SetAnchors(kAnchorsAbsoluteRect, left, rect.yMin, mStripWidth, rect.yMax - rect.yMin);
        fader->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
        const bool inList = fader->GetPosition() < listSize;
        const bool extra = int32_t(i) == shown;
        fader->SetVisible(inList && (!extra || mOffset != 0.0f));
    }
}

// The row glides between pages inside its own rectangle.
bool cMixingDeskInputFaders::Draw(cDrawList& list)
{
    const bool clipped = mOffset != 0.0f && list.PushClipRect(GetRect());
    DrawChildren(list);
    if (clipped)
        list.PopClipRect();
    return true;
}

// ---------------------------------------------------------------- insert area

cMixingDeskInputInsertFX::cMixingDeskInputInsertFX(cMixingDeskPanelMixer* panel) : cMixingDeskStrip(panel)
{
    mChainEditor = new cEffectRackUI();
    AddChild(mChainEditor);
}

cMixingDeskInputInsertFX::~cMixingDeskInputInsertFX() { mChainEditor->Release(); }

void cMixingDeskInputInsertFX::Bind(int32_t position)
{
    cMixingDeskInstrument* desk = mPanel->GetInstrument();
    cMixer* mixer = mPanel->GetMixer();
    cMixerChannel* channel = nullptr;
    if (desk && position < 0)
        channel = desk->GetMaster();
    else if (mixer)
        channel = mixer->GetChannel(position);
    cEffectRack* rack = channel ? &channel->insertRack : nullptr;
    mChainEditor->SetRack(rack);
}

void cMixingDeskInputInsertFX::OnLayout()
{
    mChainEditor->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    mPanel->RefreshButtons();
}

// ---------------------------------------------------------------- output fader

cMixingDeskOutputFader::cMixingDeskOutputFader(cMixingDeskPanelMixer* panel) : cMixingDeskStrip(panel)
{
    mFader = new cMixingDeskFader(panel, -1);
    AddChild(mFader);
}

cMixingDeskOutputFader::~cMixingDeskOutputFader() { mFader->Release(); }

// Values posted just before are in the mixer before the fader reads them.
void cMixingDeskOutputFader::OnStateChange()
{
    if (cMixer* mixer = mPanel->GetMixer())
        mixer->WaitForEvents();
    mFader->Bind(-1);
}
