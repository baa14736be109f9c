#include <algorithm>
#include <cmath>

#include "audio/Transport.h"
#include "editors/SongRoll.h"
#include "platform/FrameTiming.h"
#include "render/AtlasSprite.h"
#include "sequencer/TrackList.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr float kEase = 0.6f;          // of the way to the target each frame
constexpr float kEaseTicks = 1.0f;     // closer than this snaps
constexpr float kEaseRows = 0.1f;
constexpr float kFlingDecay = 0.9f;    // per frame
constexpr float kFlingLimit = 0.1f;    // of the visible width or rows a frame
constexpr float kEdgeZone = 30.0f;     // pixels from an edge where auto-scroll runs
constexpr float kScrollStepX = 0.046875f; // of the view width a frame at full speed
constexpr float kScrollStepY = 0.04f;     // of the rows
constexpr float kHandleFade = 1000.0f;    // alpha a second
constexpr float kRowsMargin = 0.2f;       // of the rows shown below the last track

float EaseTowards(float current, float target, float threshold)
{
    return std::fabs(target - current) > threshold ? current + kEase * (target - current) : target;
}
} // namespace

// --- Coordinates ---

float cSongRoll::TickToX(float tick) const { return GetViewInfo().TickToX(tick); }

float cSongRoll::RowToY(float row) const { return GetViewInfo().RowToY(row); }

float cSongRoll::XToTick(float x) const
{
    const float width = mRollArea.xMax - mRollArea.xMin;
    if (!(width > 0.0f))
        return mView.left;
    const float tick = mView.left + (std::max(x, mHeaderWithPanel.xMax) - mRollArea.xMin) / width * mView.width;
    return std::min(tick, mView.left + mView.width);
}

float cSongRoll::YToRow(float y) const
{
    const float height = mRollArea.yMax - mRollArea.yMin;
    if (!(height > 0.0f))
        return mView.top;
    const float row = mView.top + (y - mRollArea.yMin) / height * mView.rows;
    return std::clamp(row, mView.top, mView.top + mView.rows - 0.0001f);
}

cSongViewInfo cSongRoll::GetViewInfo() const
{
    cSongViewInfo info;
    info.rect = mRollArea;
    info.leftTick = mView.left;
    info.widthTicks = mView.width;
    info.topRow = mView.top;
    info.rows = mView.rows;
    return info;
}

// --- The view ---

void cSongRoll::StopEasing() { mTarget = mView; }

void cSongRoll::ApplyView(const cView& view)
{
    mView = view;
    mTarget = view;
    UpdateScrollRanges();
}

void cSongRoll::SetLeft(float left, bool animate)
{
    mTarget.left = std::clamp(left, 0.0f, std::max(0.0f, kSongEnd - mTarget.width));
    if (!animate)
        mView.left = mTarget.left;
}

void cSongRoll::SetTop(float top, bool animate)
{
    mTarget.top = std::max(mLowestRow, std::min(top, mHighestRow - mTarget.rows));
    if (!animate)
        mView.top = mTarget.top;
}

void cSongRoll::ZoomToRange(float start, float length, float margin, bool animate)
{
    const float extra = length * margin;
    const float span = 2.0f * extra + length;
    mTarget.width = std::clamp(span, kMinimumWidth, kSongEnd);
    SetLeft(start - extra + 0.5f * span - 0.5f * mTarget.width, true);
    if (!animate)
    {
        mView.width = mTarget.width;
        mView.left = mTarget.left;
    }
    UpdateScrollRanges();
}

void cSongRoll::ZoomRows(float top, float rows, float margin, bool animate)
{
    const float extra = rows * margin;
    const float span = 2.0f * extra + rows;
    mTarget.rows = std::clamp(span, kMinimumRows, std::max(kMinimumRows, mMaximumRows));
    RecomputeRowLimits();
    SetTop(top - extra + 0.5f * span - 0.5f * mTarget.rows, true);
    if (!animate)
    {
        mView.rows = mTarget.rows;
        mView.top = mTarget.top;
    }
    UpdateScrollRanges();
}

void cSongRoll::RecomputeRowLimits()
{
    mTrackCount = TrackCount();
    mMaximumRows = std::max(kMinimumRows, float(mTrackCount));
    mHighestRow = std::round(float(mTrackCount) + kRowsMargin * mTarget.rows);
    mTarget.top = std::max(mLowestRow, std::min(mTarget.top, mHighestRow - mTarget.rows));
    mView.top = mTarget.top;
    UpdateScrollRanges();
}

float cSongRoll::SongLength() const { return mTracks ? float(mTracks->GetSongLength()) : 0.0f; }

void cSongRoll::UpdateScrollRanges()
{
    const float end = std::max({kMinimumWidth, SongLength(), mView.left + mView.width, float(gTransport.loopEnd.load()),
                                mModel.GetSelectedCount() ? mModel.GetBounds().latestEnd : 0.0f});
    mHorizontalBar->SetRange(0.0f, end);
    mHorizontalBar->SetWindow(mView.left, mView.left + mView.width);
    mVerticalBar->SetRange(mLowestRow, std::max(mHighestRow, mLowestRow + mView.rows));
    mVerticalBar->SetWindow(mView.top, mView.top + mView.rows);
}

void cSongRoll::BringRowIntoView(float row)
{
    if (row < mTarget.top)
        SetTop(row, true);
    else if (row + 1.0f > mTarget.top + mTarget.rows)
        SetTop(row + 1.0f - mTarget.rows, true);
}

void cSongRoll::ScrollToSelection()
{
    const float centre = mModel.GetSelectionCentreTick();
    if (centre >= mView.left && centre <= mView.left + mView.width)
        return;
    SetLeft(centre - 0.5f * mTarget.width, true);
}

// --- The frame ---

void cSongRoll::Update()
{
    mView.left = EaseTowards(mView.left, mTarget.left, kEaseTicks);
    mView.width = EaseTowards(mView.width, mTarget.width, kEaseTicks);
    mView.top = EaseTowards(mView.top, mTarget.top, kEaseRows);
    mView.rows = EaseTowards(mView.rows, mTarget.rows, kEaseRows);
    if (!mHorizontalBar->IsDragging() && !mVerticalBar->IsDragging())
        UpdateScrollRanges();
    mPinchCooldown = mMode == kPinching ? 4 : std::max(0, mPinchCooldown - 1);
    if (mMode == kIdle)
    {
        if (IsFollowing())
            FollowPlayback();
        else
            Fling();
    }
    if (mMode == kScrolling || mMode == kHeaderDrag)
        MeasureFling();
    AutoScroll();
    UpdateHandles();
}

void cSongRoll::Fling()
{
    const float width = mRollArea.xMax - mRollArea.xMin;
    const float height = mRollArea.yMax - mRollArea.yMin;
    const float pixelTicks = width > 0.0f ? mView.width / width : 0.0f;
    const float pixelRows = height > 0.0f ? mView.rows / height : 0.0f;
    if (std::fabs(mFlingTicks) > pixelTicks)
    {
        mFlingTicks *= kFlingDecay;
        SetLeft(mTarget.left + mFlingTicks, false);
    }
    else
        mFlingTicks = 0.0f;
    if (std::fabs(mFlingRows) > pixelRows)
    {
        mFlingRows *= kFlingDecay;
        SetTop(mTarget.top + mFlingRows, false);
    }
    else
        mFlingRows = 0.0f;
}

void cSongRoll::FollowPlayback()
{
    const int32_t state = gTransport.state.load();
    if (state != cTransport::kPlaying && state != cTransport::kRecording)
        return;
    const float position = float(gTransport.position.load());
    if (position < mTarget.left + 0.25f * mTarget.width)
        SetLeft(position - 0.25f * mTarget.width, false);
    else if (position > mTarget.left + 0.75f * mTarget.width)
        SetLeft(mTarget.left + 0.5f * mTarget.width, false);
}

void cSongRoll::MeasureFling()
{
    const float width = mRollArea.xMax - mRollArea.xMin;
    const float height = mRollArea.yMax - mRollArea.yMin;
    if (mPinchCooldown > 0 || !(width > 0.0f) || !(height > 0.0f))
        mFlingTicks = mFlingRows = 0.0f;
    else
    {
        const float ticks = (mFlingPoint.X - mLastPoint.X) * mView.width / width;
        const float rows = (mFlingPoint.Y - mLastPoint.Y) * mView.rows / height;
        mFlingTicks = mMode == kScrolling ? std::clamp(ticks, -kFlingLimit * mView.width, kFlingLimit * mView.width)
                                          : 0.0f;
        mFlingRows = std::clamp(rows, -kFlingLimit * mView.rows, kFlingLimit * mView.rows);
    }
    mFlingPoint = mLastPoint;
}

float cSongRoll::AutoScrollFactor(float finger, float nearEdge, float farEdge) const
{
    float factor = 0.0f;
    if (finger < nearEdge + kEdgeZone)
        factor = (nearEdge + kEdgeZone - finger) / kEdgeZone;
    else if (finger > farEdge - kEdgeZone)
        factor = (farEdge - kEdgeZone - finger) / kEdgeZone;
    return std::clamp(factor, -1.0f, 1.0f);
}

void cSongRoll::AutoScroll()
{
    const bool across = mMode == kDrawing || mMode == kRubberBand || mMode == kLoopMarker || mMode == kMoving ||
                        mMode == kResizing;
    const bool down = mMode == kDrawing || mMode == kRubberBand || mMode == kTrackMoving;
    if (!across && !down)
        return;
    // An axis scrolls once the finger has gone further from the middle
    // than where it went down, so a drag that starts near an edge does not.
    const cVector2 centre = {0.5f * (mRollArea.xMin + mRollArea.xMax), 0.5f * (mRollArea.yMin + mRollArea.yMax)};
    mAutoScrollX |= std::fabs(mLastPoint.X - centre.X) > std::fabs(mDownPoint.X - centre.X);
    mAutoScrollY |= std::fabs(mLastPoint.Y - centre.Y) > std::fabs(mDownPoint.Y - centre.Y);
    bool scrolled = false;
    if (across && mAutoScrollX)
        if (const float factor = AutoScrollFactor(mLastPoint.X, mRollArea.xMin, mRollArea.xMax); factor != 0.0f)
        {
            SetLeft(mTarget.left - factor * kScrollStepX * mTarget.width, false);
            scrolled = true;
        }
    if (down && mAutoScrollY)
        if (const float factor = AutoScrollFactor(mLastPoint.Y, mRollArea.yMin, mRollArea.yMax); factor != 0.0f)
        {
            SetTop(mTarget.top - factor * kScrollStepY * mTarget.rows, false);
            scrolled = true;
        }
    if (scrolled)
        ReapplyDrag();
}

void cSongRoll::UpdateHandles()
{
    const bool selected = mModel.GetSelectedCount() > 0;
    const bool resting = mMode == kIdle || mMode == kLoopMarker || mMode == kTapped;
    const cVector2 bottomCentre = {0.5f * (mRollArea.xMin + mRollArea.xMax), mRollArea.yMax};
    for (int32_t i = 0; i < kHandleCount; ++i)
    {
        cHandle& handle = mHandles[i];
        const float w = handle.sprite->width, h = handle.sprite->height;
        if (i == kHandleMove)
            handle.home = {bottomCentre.X - w, bottomCentre.Y - 0.5f * h - 4.0f};
        else if (i == kHandleResize)
            handle.home = {bottomCentre.X + w, bottomCentre.Y - 0.5f * h - 4.0f};
        else
            handle.home = {mRollArea.xMax - 0.5f * w - 4.0f, 0.5f * (mRollArea.yMin + mRollArea.yMax)};
        const bool dragged = mMode == kMoving + i;
        handle.visible = selected && (resting || dragged);
        if (dragged)
            handle.position = {std::clamp(mLastPoint.X, mRollArea.xMin + 0.5f * w, mRollArea.xMax - 0.5f * w),
                               std::clamp(mLastPoint.Y, mRollArea.yMin + 0.5f * h, mRollArea.yMax - 0.5f * h)};
        else
            handle.position = handle.home;
        handle.touchRect = {handle.position.X - 0.5f * w, handle.position.Y - 0.5f * h, handle.position.X + 0.5f * w,
                            handle.position.Y + 0.5f * h};
        const float step = kHandleFade * gFramePeriod;
        handle.alpha = std::clamp(handle.alpha + (handle.visible ? step : -step), 0.0f, 255.0f);
    }
}
