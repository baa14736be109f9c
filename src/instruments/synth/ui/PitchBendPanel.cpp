#include "instruments/synth/ui/PitchBendPanel.h"

#include <algorithm>
#include <cmath>

#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/LiveControlEvents.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr int32_t kThumbSprite = 142;
constexpr int32_t kWheelDrawn = 143;
constexpr int32_t kWheelLayout = 144;
constexpr int32_t kTrackMarker = 145;
constexpr int32_t kWheelAlignment = 17;
constexpr int32_t kBendIndex = 0;
// The thumb travels over the middle 80 % of the track and flattens by up
// to 30 % as it is bent; it darkens from white by up to 160 grey levels.
constexpr float kThumbTravel = 0.8f;
constexpr float kThumbFlatten = 0.3f;
constexpr float kThumbDarken = 160.0f;
// Moves within this much of the last post are not sent, except near the
// centre and the ends, where the exact value matters.
constexpr float kSendStep = 0.02f;
constexpr float kNearCentre = 0.01f;
constexpr float kNearEnd = 0.99f;
constexpr float kMarkerDrop = 18.0f;
constexpr float kMaxWidthFactor = 5.0f;
constexpr float kMaxHeightFactor = 1.2f;

float Snap(float value) { return std::floor(value + 0.5f); }
} // namespace

cPitchBendPanel::cPitchBendPanel(cAnalogueSynthUI* owner) : cAnalogueSynthPanel(owner, 0)
{
    mWheel.SetSprites(SynthSprite(kWheelLayout), SynthSprite(kWheelDrawn), nullptr);
    mWheel.alignment = kWheelAlignment;
}

void cPitchBendPanel::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    const cAtlasSprite* track = SynthSprite(kTrackMarker);
    *minimum = {track->width, track->height};
    *preferred = {kMaxWidthFactor * track->width, kMaxHeightFactor * track->height};
}

void cPitchBendPanel::OnLayout()
{
    mWheel.Layout(GetRect(), {0.0f, 0.0f});
    const cAtlasSprite* layout = SynthSprite(kWheelLayout);
    const cAtlasSprite* track = SynthSprite(kTrackMarker);
    const cRect& wheel = mWheel.layoutRect;
    mTrack = {wheel.xMin + (track->x0 - layout->x0), wheel.yMin + (track->y0 - layout->y0),
              wheel.xMax + (track->x1 - layout->x1), wheel.yMax + (track->y1 - layout->y1)};
}

void cPitchBendPanel::SetValue(float value) { mValue = std::clamp(value, -1.0f, 1.0f); }

void cPitchBendPanel::PostGesture(int32_t kind)
{
    cAnalogueSynthInstrument* instrument = GetInstrument();
    if (kind == kBend)
    {
        PostLiveValue(instrument, kBendIndex, mValue);
        mLastSent = mValue;
        return;
    }
    PostLiveTouch(instrument, kBendIndex, kind == kGrabbed);
    mLastSent = kNothingSent;
}

void cPitchBendPanel::EndGesture()
{
    mValue = 0.0f;
    mDragging = false;
    PostGesture(kBend);
    PostGesture(kLetGo);
}

bool cPitchBendPanel::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!GetModule())
        return true;
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this)
    {
        const cRect& wheel = mWheel.layoutRect;
        const cRect hit = {wheel.xMin - kHitMargin, wheel.yMin, wheel.xMax + kHitMargin, wheel.yMax};
        if (type != kTouchDown || !hit.Contains(touch->position))
            return false;
    }
    if (!mDragging)
    {
        if (type != kTouchDown)
            return true;
        CaptureTouch(touch->id);
        mTouchX = touch->position.X;
        mLastY = touch->position.Y;
        mValue = 0.0f;
        mDragging = true;
        PostGesture(kBend);
        PostGesture(kGrabbed);
        return true;
    }
    if (type == kTouchMove)
    {
        const float height = mWheel.layoutRect.yMax - mWheel.layoutRect.yMin;
        const float moved = mValue - (touch->position.Y - mLastY) / height * 2.0f;
        // Past an end the reference stays, so moving back acts at once.
        if (moved > 1.0f || moved < -1.0f)
            mValue = std::clamp(moved, -1.0f, 1.0f);
        else
        {
            mValue = moved;
            mLastY = touch->position.Y;
        }
        const float size = std::fabs(mValue);
        if (size >= kNearCentre && size <= kNearEnd && std::fabs(mLastSent - mValue) <= kSendStep)
            return true;
        PostGesture(kBend);
    }
    else if (type == kTouchUp)
        EndGesture();
    return true;
}

void cPitchBendPanel::CancelInput()
{
    if (!mDragging)
        return;
    EndGesture();
}

cRect cPitchBendPanel::GetThumbRect() const
{
    const cAtlasSprite* thumb = SynthSprite(kThumbSprite);
    const float trackHeight = SynthSprite(kTrackMarker)->height;
    const float centreX = 0.5f * (mTrack.xMin + mTrack.xMax);
    const float centreY = mTrack.yMin + (1.0f - kThumbTravel * mValue) * trackHeight * 0.5f;
    const float width = thumb->width;
    const float height = thumb->height * (1.0f - kThumbFlatten * std::fabs(mValue));
    return {Snap(centreX - 0.5f * width), Snap(centreY - 0.5f * height), Snap(centreX + 0.5f * width),
            Snap(centreY + 0.5f * height)};
}

uint32_t cPitchBendPanel::GetThumbColour() const
{
    const uint32_t grey = uint32_t(255 - int32_t(kThumbDarken * std::fabs(mValue)));
    return 0xff000000u | grey << 16 | grey << 8 | grey;
}

bool cPitchBendPanel::Draw(cDrawList& list)
{
    cAnalogueSynthPanel::Draw(list);
    mWheel.Draw(GetRect(), list, false);
    DrawSprite(list, SynthSprite(kThumbSprite), GetThumbRect(), GetThumbColour());
    DrawRecordBlinkMarker(list, 0.5f * (mTrack.xMin + mTrack.xMax), mWheel.layoutRect.yMin + kMarkerDrop);
    return false;
}
