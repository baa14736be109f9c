#include "mixer/ui/MixingDeskTitles.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioEvent.h"
#include "audio/Instrument.h"
#include "base/ProjectModified.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/ui/MixingDeskPanelMixer.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/InputManager.h"

namespace
{
constexpr float kNameSize = 10.0f;
constexpr uint32_t kInputColour = 0xffffffffu;
constexpr uint32_t kReturnColour = 0xff80d0ffu;
constexpr uint32_t kUnlitColour = 0xff606060u;
constexpr uint32_t kMuteLitColour = 0xff3030ffu;
constexpr uint32_t kSoloLitColour = 0xff30e0ffu;
constexpr uint32_t kSeparatorColour = 0xff000000u;
constexpr uint32_t kGroupSizeMask = 0xf;
constexpr uint32_t kGroupEnd = 0x10;
constexpr int32_t kStateSprites[] = {MixingDeskSprite::kFxNone, MixingDeskSprite::kFxOff, MixingDeskSprite::kFxOn};

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void DrawSpriteIn(cDrawList& list, int index, const cRect& area, uint32_t colour)
{
    const cAtlasSprite* sprite = Sprite(index);
    const float left = std::floor((area.xMin + area.xMax - sprite->width) * 0.5f);
    const float top = std::floor((area.yMin + area.yMax - sprite->height) * 0.5f);
    list.DrawQuad({left, top, left + sprite->width, top + sprite->height}, {sprite->u0, sprite->v0},
                  {sprite->u1, sprite->v1}, colour, 0);
}

int32_t RackState(const cMixerChannel* channel) { return channel ? channel->insertRack.GetState() : 0; }

void PostMute(cMixer* mixer, int32_t position, int32_t value)
{
    if (mixer)
        mixer->PostEvent(MakeSetIntEvent(cMixer::MakeMuteId(cMixer::kIdSetMute, position), value));
}

bool IsPhone() { return gDisplayMetrics.deviceClass == kDeviceClassPhone; }
} // namespace

// ---------------------------------------------------------------- input titles

cMixingDeskInputTitles::cMixingDeskInputTitles(cMixingDeskPanelMixer* panel) : cMixingDeskStrip(panel)
{
    mFont.Select(kNameSize);
}

void cMixingDeskInputTitles::SetStripCount(int32_t count)
{
    mRecords.resize(size_t(std::max(0, count) + (count > 0 ? 1 : 0)));
    Rebind();
    OnLayout();
}

void cMixingDeskInputTitles::SetPosition(float position, bool force)
{
    const int32_t whole = int32_t(std::floor(position));
    const float fraction = position - float(whole);
    mOffset = fraction < 1e-6f ? 0.0f : fraction;
    if (whole != mFirst || force)
    {
        mFirst = whole;
        Rebind();
    }
}

// The chains' states are read once the mixer has taken what was posted.
void cMixingDeskInputTitles::Rebind()
{
    cMixer* mixer = mPanel->GetMixer();
    if (mixer)
        mixer->WaitForEvents();
    for (size_t i = 0; i < mRecords.size(); ++i)
    {
        cRecord& record = mRecords[i];
        record.position = mFirst + int32_t(i);
        record.channel = mixer ? mixer->GetChannel(record.position) : nullptr;
        record.valid = record.channel != nullptr;
        record.fxState = RackState(record.channel);
    }
}

void cMixingDeskInputTitles::OnLayout()
{
    const cRect& rect = GetRect();
    const int32_t shown = GetStripCount();
    mStripWidth = shown > 0 ? std::round((rect.xMax - rect.xMin) / float(shown)) : 0.0f;
    mRowLeft = rect.xMin;
}

void cMixingDeskInputTitles::OnStateChange() { Rebind(); }

int32_t cMixingDeskInputTitles::StripAt(float x) const
{
    if (mStripWidth <= 0.0f)
        return -1;
    const int32_t strip = int32_t(std::floor((x - mRowLeft) / mStripWidth + mOffset));
    return std::clamp(strip, 0, GetStripCount());
}

// Marks the project modified; muting an input asks for the solo hint.
void cMixingDeskInputTitles::ToggleMute(int32_t strip)
{
    const cRecord& record = mRecords[size_t(strip)];
    if (!record.valid)
        return;
    MarkProjectModified();
    if (record.channel->kind == cMixerChannel::kKindInstrument)
        mHintWanted = true;
    PostMute(mPanel->GetMixer(), record.position, kActionMute);
}

void cMixingDeskInputTitles::ToggleSolo(int32_t strip)
{
    const cRecord& record = mRecords[size_t(strip)];
    if (!record.valid)
        return;
    MarkProjectModified();
    PostMute(mPanel->GetMixer(), record.position, kActionSolo);
}

void cMixingDeskInputTitles::Apply(int32_t strip, int32_t action)
{
    if (action == kActionMute)
        ToggleMute(strip);
    else
        ToggleSolo(strip);
}

void cMixingDeskInputTitles::CancelInput()
{
    mTouchState = kIdle;
    mDragTouch = -1;
    mSwipes.clear();
}

cMixingDeskInputTitles::cSwipe* cMixingDeskInputTitles::FindSwipe(int32_t touchId)
{
    for (cSwipe& swipe : mSwipes)
        if (swipe.touchId == touchId)
            return &swipe;
    return nullptr;
}

// A single tap mutes (unsolos a soloed channel); a double tap solos. Phones
// have a solo band of their own and never solo from the mute band.
void cMixingDeskInputTitles::PressMuteOrSolo(const cTouch* touch, int32_t strip, bool soloBand)
{
    const cRecord& record = mRecords[size_t(strip)];
    const int32_t state = record.valid ? record.channel->muteState : 0;
    int32_t action = kActionSolo;
    if (!soloBand && (IsPhone() || (touch->tapCount <= 1 && state != 2)))
        action = kActionMute;
    Apply(strip, action);
    if (int32_t(mSwipes.size()) < kMaxSwipes)
        mSwipes.push_back({touch->id, strip, action});
    mTouchState = kSwiping;
}

void cMixingDeskInputTitles::SwipeTo(cSwipe& swipe, int32_t strip)
{
    while (swipe.lastStrip != strip)
    {
        swipe.lastStrip += strip > swipe.lastStrip ? 1 : -1;
        Apply(swipe.lastStrip, swipe.action);
    }
}

// Back within a third of a strip of the page it started on, the drag was a
// tap on its channel; otherwise the page follows the way it moved.
void cMixingDeskInputTitles::EndDrag()
{
    cMixingDeskInstrument* desk = mPanel->GetInstrument();
    const float scroll = mPanel->GetScrollPosition();
    const int32_t first = mPanel->GetFirstShown();
    if (std::fabs(scroll - float(first)) <= kTapTolerance)
    {
        if (mPressedPosition >= 0 && mPanel->GetMixer() && mPressedPosition < mPanel->GetListSize())
            mPanel->SelectChannel(mPressedPosition);
    }
    else if (desk)
        mPanel->SetFirstShown(int32_t(scroll > mPressScroll ? std::ceil(scroll) : std::floor(scroll)));
    mPanel->RefreshButtons();
    mTouchState = kIdle;
    mDragTouch = -1;
}

bool cMixingDeskInputTitles::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (type == kTouchDown)
    {
        if (captor || !HasFlags(kWidgetShown) || !GetRect().Contains(touch->position) || mStripWidth <= 0.0f)
            return false;
        const int32_t strip = StripAt(touch->position.X);
        const cRecord& record = mRecords[size_t(strip)];
        if (!IsPhone() && record.valid)
            mPanel->SelectChannel(record.position);
        const float y = touch->position.Y - GetRect().yMin;
        CaptureTouch(touch->id);
        if (y >= kNameBand)
        {
            PressMuteOrSolo(touch, strip, y >= kNameBand + kMuteBand);
            return true;
        }
        if (touch->tapCount == 2 && record.valid && record.channel->owner)
        {
            GetMixingDeskUIHost().ShowInstrumentPage(record.channel->owner);
            return true;
        }
        mTouchState = kDragging;
        mDragTouch = touch->id;
        mPressedPosition = record.valid ? record.position : -1;
        mPressX = touch->position.X;
        mPressScroll = mPanel->GetScrollPosition();
        return true;
    }
    if (captor != this)
        return false;
    if (touch->id == mDragTouch && mTouchState == kDragging)
    {
        if (type == kTouchMove)
            mPanel->Scroll(mPressScroll - (touch->position.X - mPressX) / mStripWidth);
        else if (type == kTouchUp)
            EndDrag();
        return true;
    }
    cSwipe* swipe = FindSwipe(touch->id);
    if (!swipe)
        return true;
    if (type == kTouchMove)
        SwipeTo(*swipe, StripAt(touch->position.X));
    else if (type == kTouchUp)
    {
        mSwipes.erase(mSwipes.begin() + (swipe - mSwipes.data()));
        if (mSwipes.empty())
            mTouchState = kIdle;
    }
    return true;
}

bool cMixingDeskInputTitles::Draw(cDrawList& list)
{
    if (mHintWanted)
    {
        mHintWanted = false;
        if (!IsPhone())
            GetMixingDeskUIHost().ShowStatusMessage("Double tap to solo", kStatusSeconds);
    }
    const cRect& rect = GetRect();
    list.fontHandle = mFont;
    const bool clipped = list.PushClipRect(rect);
    for (size_t i = 0; i < mRecords.size(); ++i)
        DrawRecord(list, int32_t(i), rect.xMin + (float(i) - mOffset) * mStripWidth);
    if (clipped)
        list.PopClipRect();
    return true;
}

void cMixingDeskInputTitles::DrawRecord(cDrawList& list, int32_t index, float left)
{
    const cRecord& record = mRecords[size_t(index)];
    if (!record.valid)
        return;
    const cRect& rect = GetRect();
    const cMixerChannel& channel = *record.channel;
    const float right = left + mStripWidth;
    list.DrawNinePatch({left, rect.yMin, right, rect.yMax}, Sprite(MixingDeskSprite::kStrip), nullptr, 0xffffffffu,
                       true);
    const bool selected = mPanel->GetSelectedChannel() == record.position;
    const uint32_t colour = channel.kind == cMixerChannel::kKindReturn ? kReturnColour : kInputColour;
    const int32_t groupSize = int32_t(channel.groupFlags & kGroupSizeMask);
    if (groupSize > 0)
    {
        const float before = float(groupSize - 1 - groupSize / 2);
        const float nameLeft = left - before * mStripWidth;
        list.DrawTextSized(nameLeft + float(groupSize) * mStripWidth * 0.5f, rect.yMin + kNameBand * 0.5f,
                           selected ? kSoloLitColour : colour, kTextAlignCentreX | kTextAlignCentreY,
                           channel.GetDisplayName(), kNameSize);
    }
    DrawSpriteIn(list, kStateSprites[std::clamp(record.fxState, 0, 2)],
                 {right - kNameBand, rect.yMin, right, rect.yMin + kNameBand}, 0xffffffffu);
    const float muteTop = rect.yMin + kNameBand, soloTop = muteTop + kMuteBand;
    DrawSpriteIn(list, MixingDeskSprite::kMute, {left, muteTop, right, soloTop},
                 channel.muteState == 1 ? kMuteLitColour : kUnlitColour);
    DrawSpriteIn(list, MixingDeskSprite::kSolo, {left, soloTop, right, rect.yMax},
                 channel.muteState == 2 ? kSoloLitColour : kUnlitColour);
    if (channel.groupFlags & kGroupEnd)
        list.FillRect({right - 1.0f, rect.yMin, right, rect.yMax}, kSeparatorColour);
}

// ---------------------------------------------------------------- output title

cMixingDeskOutputTitle::cMixingDeskOutputTitle(cMixingDeskPanelMixer* panel) : cMixingDeskStrip(panel)
{
    mFont.Select(kNameSize);
}

void cMixingDeskOutputTitle::ToggleMute()
{
    MarkProjectModified();
    PostMute(mPanel->GetMixer(), -1, cMixingDeskInputTitles::kActionMute);
}

void cMixingDeskOutputTitle::OnLayout()
{
    const cRect& rect = GetRect();
    const float top = rect.yMin + cMixingDeskInputTitles::kNameBand;
    mMuteRect = {rect.xMin, top, rect.xMax, top + cMixingDeskInputTitles::kMuteBand};
}

bool cMixingDeskOutputTitle::Draw(cDrawList& list)
{
    const cRect& rect = GetRect();
    list.DrawNinePatch(rect, Sprite(MixingDeskSprite::kMasterStrip), nullptr, 0xffffffffu, true);
    list.fontHandle = mFont;
    const bool selected = mPanel->GetSelectedChannel() < 0;
    list.DrawTextSized((rect.xMin + rect.xMax) * 0.5f, rect.yMin + cMixingDeskInputTitles::kNameBand * 0.5f,
                       selected ? kSoloLitColour : kInputColour, kTextAlignCentreX | kTextAlignCentreY, "OUT",
                       kNameSize);
    cMixingDeskInstrument* desk = mPanel->GetInstrument();
    const cMixerChannel* master = desk ? desk->GetMaster() : nullptr;
    if (!master)
        return true;
    const float nameBottom = rect.yMin + cMixingDeskInputTitles::kNameBand;
    DrawSpriteIn(list, kStateSprites[std::clamp(RackState(master), 0, 2)],
                 {rect.xMax - cMixingDeskInputTitles::kNameBand, rect.yMin, rect.xMax, nameBottom}, 0xffffffffu);
    DrawSpriteIn(list, MixingDeskSprite::kMute, mMuteRect, master->muteState == 1 ? kMuteLitColour : kUnlitColour);
    return true;
}

bool cMixingDeskOutputTitle::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (type != kTouchDown || captor || !HasFlags(kWidgetShown) || !GetRect().Contains(touch->position))
        return false;
    if (mMuteRect.Contains(touch->position))
        ToggleMute();
    else
        mPanel->SelectChannel(-1);
    return true;
}
