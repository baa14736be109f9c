#include "sampler/WidgetSamplerTransportBar.h"

#include "audio/AudioLock.h"
#include "mixer/AuditionPlayer.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sampler/SampleEditor.h"
#include "sampler/SamplerSprites.h"
#include "sampler/WidgetSampler.h"
#include "ui/WidgetButton.h"

namespace
{
// Left and top from the bar's start, then width and height.
constexpr uint32_t kAnchorsFromParent = 0x1133;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

bool IsAuditionPlaying() { return gAuditionPlayer && gAuditionPlayer->IsActive(); }
} // namespace

cWidgetSamplerTransportBar::cWidgetSamplerTransportBar(cWidgetSampler& page) : mPage(page)
{
    SetName("TransportBar");
    AddButton(kStop, kButtonPush, SamplerSprite::kStopIcon);
    AddButton(kPlay, kButtonPush, SamplerSprite::kPlayIcon);
    AddButton(kLoop, kButtonCycle, SamplerSprite::kLoopIcon);
}

cWidgetSamplerTransportBar::~cWidgetSamplerTransportBar()
{
    for (cWidgetButton* button : mButtons)
        button->Release();
}

void cWidgetSamplerTransportBar::AddButton(int32_t index, int32_t mode, int icon)
{
    auto* button = new cWidgetButton(mode, Sprite(SamplerSprite::kTransportButton), nullptr);
    const cAtlasSprite* pressed = Sprite(SamplerSprite::kTransportButtonPressed);
    button->litBackground.SetSprites(pressed, pressed, nullptr);
    button->icon.SetSprites(Sprite(icon), Sprite(icon), nullptr);
    button->litIcon.SetSprites(Sprite(icon), Sprite(icon), nullptr);
    button->SetTag(index);
    button->clickDelegate = cDelegate(this, &cWidgetSamplerTransportBar::OnButton);
    mButtons[index] = button;
    AddChild(button);
}

float cWidgetSamplerTransportBar::GetBarWidth() const
{
    return (Sprite(SamplerSprite::kTransportButton)->width - 1.0f) * float(kButtonCount);
}

float cWidgetSamplerTransportBar::GetBarHeight() const { return Sprite(SamplerSprite::kTransportButton)->height; }

bool cWidgetSamplerTransportBar::IsLoopOn() const { return mButtons[kLoop]->value != 0; }

void cWidgetSamplerTransportBar::OnLayout()
{
    const cAtlasSprite* image = Sprite(SamplerSprite::kTransportButton);
    for (int32_t i = 0; i < kButtonCount; ++i)
        mButtons[i]->SetAnchors(kAnchorsFromParent, float(i) * (image->width - 1.0f), 0.0f, image->width,
                                image->height);
}

bool cWidgetSamplerTransportBar::Draw(cDrawList&)
{
    FollowRewindTimer();
    const bool withSample = mPage.GetSample() != nullptr;
    const int32_t lit = withSample && IsAuditionPlaying() ? 1 : 0;
    mButtons[kPlay]->value = lit;
    mButtons[kStop]->value = lit;
    for (cWidgetButton* button : mButtons)
        if (button->IsEnabled() != withSample)
            button->SetEnabled(withSample);
    return false;
}

void cWidgetSamplerTransportBar::FollowRewindTimer()
{
    if (mTapsNeeded == kTapsToRewind)
        return;
    mRewindTimer -= gFramePeriod;
    if (mRewindTimer <= 0.0f)
    {
        mRewindTimer = 0.0f;
        mTapsNeeded = kTapsToRewind;
    }
}

void cWidgetSamplerTransportBar::OnButton(int32_t state, cWidgetButton* button)
{
    // Start, stop and loop changes never meet the audio thread halfway.
    cScopedAudioLock lock;
    switch (button->GetTag())
    {
    case kPlay: mPage.PlaySample(); break;
    case kLoop:
        if (gAuditionPlayer)
            gAuditionPlayer->SetLoopMode(state);
        break;
    case kStop: Stop(button); break;
    default: break;
    }
}

void cWidgetSamplerTransportBar::Stop(const cWidgetButton* button)
{
    if (IsAuditionPlaying())
    {
        gAuditionPlayer->Stop(true);
        mTapsNeeded = kTapsAfterStop;
        mRewindTimer = kStopSeconds;
        return;
    }
    if (button->tapCount < mTapsNeeded)
        return;
    mPage.GetSampleEditor().ResetSelection();
    mTapsNeeded = kTapsToRewind;
    mRewindTimer = 0.0f;
}
