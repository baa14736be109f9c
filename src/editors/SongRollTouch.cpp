#include <algorithm>
#include <cmath>

#include "audio/AudioEvent.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/EditorHost.h"
#include "editors/SongRoll.h"
#include "editors/SongRollOwner.h"
#include "project/Project.h"
#include "project/ProjectHost.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"
#include "ui/InputManager.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kHitRadius = 6.0f;        // pixels around a finger that reach a part
constexpr float kTapSlop = 8.0f;          // pixels a tap may move before it selects by rubber band
constexpr float kLoopMarkerReach = 30.0f; // pixels from a loop marker that grab it
constexpr float kLoopMarkerSlop = 10.0f;  // pixels before a loop marker counts as moved
constexpr float kRulerDeadZone = 20.0f;   // pixels left of the header's edge the ruler ignores
constexpr float kPinchDeadZone = 60.0f;   // finger distance below which an axis does not zoom
constexpr float kPinchWidthLimit = 1.2f;  // of the largest of the minimum width, song and loop
constexpr uint32_t kStopAfterMove = 4;    // StopAllInstruments' flag after the position moves

float Distance(const cVector2& a, const cVector2& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

float NearestBar(float ticks)
{
    const float bar = float(gTransport.ticksPerBar.load());
    return bar * std::floor((ticks + 0.5f * bar) / bar);
}

cTrack* TrackAt(cTrackList* tracks, int32_t row) { return tracks ? tracks->GetTrack(row) : nullptr; }
} // namespace

bool cSongRoll::IsRowOnTrack(int32_t row) const { return row >= 0 && row < TrackCount(); }

bool cSongRoll::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && cWidget::HandleTouch(type, touch, captor))
        return true;
    if (!mTracks)
        return false;
    const bool mine = touch->id == mTouchId || touch->id == mSecondTouchId;
    switch (type)
    {
    case kTouchDown:
        if (mMode == kIdle)
            return TouchDown(touch);
        return !mine && SecondFingerDown(touch);
    case kTouchMove:
        if (mine && mMode != kIdle)
            TouchMove(touch);
        return mine;
    case kTouchUp:
        if (mine)
            TouchUp(touch);
        return mine;
    default: return false;
    }
}

void cSongRoll::Remember(cTouch* touch)
{
    mLastPoint = touch->position;
    mLastTick = XToTick(mLastPoint.X);
    mLastRow = YToRow(mLastPoint.Y);
}

bool cSongRoll::TouchDown(cTouch* touch)
{
    Remember(touch);
    mDownPoint = mLastPoint;
    mDownTick = mLastTick;
    mDownRow = mLastRow;
    mGestureView = mView;
    mDragAccumulator = 0.0f;
    mAutoScrollX = mAutoScrollY = false;
    mSelectionChanged = false;
    mTouchId = touch->id;
    if (touch->tapCount == 1 && mModel.GetSelectedCount() > 0)
        for (int32_t i = 0; i < kHandleCount; ++i)
            if (mHandles[i].visible && mHandles[i].touchRect.Contains(mLastPoint))
            {
                CaptureTouch(touch->id);
                mMode = kMoving + i;
                return true;
            }
    bool handled = false;
    if (mPartsTouchArea.Contains(mLastPoint))
        handled = TouchDownInParts(touch);
    else if (!mRuler.Contains(mLastPoint))
        handled = mHeaderWithPanel.Contains(mLastPoint) && TouchDownInHeader(touch);
    else
        handled = TouchDownInRuler(touch);
    if (mMode == kIdle)
        EndGesture();
    return handled;
}

bool cSongRoll::TouchDownInParts(cTouch* touch)
{
    CaptureTouch(touch->id);
    const float rollWidth = mRollArea.xMax - mRollArea.xMin;
    const float rollHeight = mRollArea.yMax - mRollArea.yMin;
    cSongEditModel::cPartView* hit = mModel.HitTest(mLastTick, mLastRow, kHitRadius * mView.width / rollWidth,
                                    kHitRadius * mView.rows / rollHeight);
    if (IsDrawToolOn())
    {
        // Below the last track there is nothing to draw on.
        if (IsRowOnTrack(int32_t(mLastRow)))
            StartDrawing();
        return true;
    }
    if (IsScrollModeOn())
    {
        StartScrolling(touch);
        return true;
    }
    StopEasing();
    if (touch->tapCount == 2 && hit)
    {
        if (mOwner)
            mOwner->EditPart(hit->part);
        return true;
    }
    mModel.SaveSelection();
    if (mAddToSelection)
    {
        if (!hit)
        {
            mMode = kRubberBand;
            return true;
        }
        mModel.ToggleSelected(hit);
    }
    else
    {
        mModel.ClearSelection();
        if (hit)
            mModel.SelectView(hit, true);
    }
    mSelectionChanged = true;
    mMode = kTapped;
    RefreshToolbar();
    return true;
}

bool cSongRoll::TouchDownInHeader(cTouch* touch)
{
    CaptureTouch(touch->id);
    const int32_t row = int32_t(std::floor(mLastRow));
    if (mLastPoint.X < mHeaderColumn.xMax)
    {
        if (touch->tapCount != 2)
        {
            mMode = kHeaderDrag;
            return true;
        }
        cTrack* track = IsRowOnTrack(row) ? TrackAt(mTracks, row) : nullptr;
        const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
        if (track && slots && slots->GetInstrument(track->GetChannel()))
            GetProjectHost().SelectPage(cProject::kPageInstrument, track->GetChannel());
        return true;
    }
    const int32_t column =
        std::clamp(int32_t((mLastPoint.X - mHeaderColumn.xMax) / mPanelColumnWidth), 0, kColumnCount - 1);
    PanelTap(column, row);
    return true;
}

void cSongRoll::PanelTap(int32_t column, int32_t row)
{
    // Rows below the last track stand for no track: nothing to change.
    cTrack* track = IsRowOnTrack(row) ? TrackAt(mTracks, row) : nullptr;
    if (!track)
        return;
    switch (column)
    {
    case kColumnMute:
        ToggleMuteSolo(row, cTrack::kMute);
        mMode = kMuteDrag;
        mLastMuteRow = row;
        break;
    case kColumnSolo:
        ToggleMuteSolo(row, cTrack::kSolo);
        mMode = kSoloDrag;
        mLastMuteRow = row;
        break;
    case kColumnInput:
        if (cSequencer* sequencer = cSequencer::GetInstance())
        {
            cScopedLock lock(sequencer->GetLock());
            mTracks->SelectChannelTrack(row);
        }
        MarkProjectModified();
        break;
    case kColumnDelete:
        if (CanDeleteTrack(row))
        {
            mModel.DeleteTrack(row);
            RecomputeRowLimits();
            AfterCommand();
        }
        break;
    case kColumnAdd:
        if (CanAddTrackAfter(row))
        {
            mModel.AddTrack(track->GetChannel());
            RecomputeRowLimits();
            BringRowIntoView(float(row + 1));
            AfterCommand();
        }
        break;
    default: break;
    }
}

void cSongRoll::ToggleMuteSolo(int32_t row, int32_t state)
{
    cTrack* track = IsRowOnTrack(row) ? TrackAt(mTracks, row) : nullptr;
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!track || !sequencer)
        return;
    sequencer->SetTrackMuteSolo(row, track->GetMuteSolo() == state ? cTrack::kNormal : state);
    MarkProjectModified();
    // Parts of tracks that are not heard draw grey.
    mModel.MarkPartsDirty();
}

bool cSongRoll::TouchDownInRuler(cTouch* touch)
{
    if (mLastPoint.X < mHeaderWithPanel.xMax - kRulerDeadZone)
        return false;
    CaptureTouch(touch->id);
    const float begin = float(gTransport.loopStart.load());
    const float end = float(gTransport.loopEnd.load());
    const float toBegin = std::fabs(mLastPoint.X - TickToX(begin));
    const float toEnd = std::fabs(mLastPoint.X - TickToX(end));
    if (std::min(toBegin, toEnd) <= kLoopMarkerReach)
    {
        mLoopBegin = begin;
        mLoopEnd = end;
        mLoopMarker = toEnd <= toBegin ? 1 : 0;
        mLoopMarkerMoved = false;
        mMode = kLoopMarker;
        return true;
    }
    SetSongPosition(mLastTick);
    return true;
}

void cSongRoll::SetSongPosition(float tick)
{
    const float bar = NearestBar(std::clamp(tick, mView.left, mView.left + mView.width));
    const int32_t position = int32_t(std::clamp(bar, 0.0f, kSongEnd));
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(MakeSetIntEvent(cSequencer::kParamPosition, position));
    if (cProjectList::GetInstance() && cProjectList::GetInstance()->GetCurrentProject())
        StopAllInstruments(kStopAfterMove);
    cGenStringFixed<64> text;
    text.Printf("Song position set to bar %d", int(position / gTransport.ticksPerBar.load()) + 1);
    ShowStatus(text.CStr());
}

bool cSongRoll::SecondFingerDown(cTouch* touch)
{
    if (mMode != kScrolling && mMode != kDrawing && mMode != kTapped && mMode != kRubberBand)
        return false;
    if (mSelectionChanged)
        mModel.RestoreSelection();
    mModel.HideInsertPreview();
    CaptureTouch(touch->id);
    StartPinch(touch);
    return true;
}

void cSongRoll::StartPinch(cTouch* second)
{
    mSecondTouchId = second->id;
    mSecondPoint = second->position;
    mPinchStartDistance = {std::max(std::fabs(mLastPoint.X - mSecondPoint.X), kPinchDeadZone),
                           std::max(std::fabs(mLastPoint.Y - mSecondPoint.Y), kPinchDeadZone)};
    mPinchEngaged[0] = mPinchEngaged[1] = false;
    mFollowToggle->value = 0;
    StopEasing();
    mGestureView = mView;
    mMode = kPinching;
}

void cSongRoll::Pinch()
{
    const float rollWidth = mRollArea.xMax - mRollArea.xMin;
    const float rollHeight = mRollArea.yMax - mRollArea.yMin;
    const cVector2 middle = {0.5f * (mLastPoint.X + mSecondPoint.X), 0.5f * (mLastPoint.Y + mSecondPoint.Y)};
    const float distances[2] = {std::fabs(mLastPoint.X - mSecondPoint.X), std::fabs(mLastPoint.Y - mSecondPoint.Y)};
    for (int32_t axis = 0; axis < 2; ++axis)
        if (!mPinchEngaged[axis] && distances[axis] > kPinchDeadZone)
        {
            // From here the point between the fingers keeps its place.
            mPinchEngaged[axis] = true;
            if (axis == 0)
                mPinchEngagedCentre.X = mView.left + (middle.X - mRollArea.xMin) / rollWidth * mView.width;
            else
                mPinchEngagedCentre.Y = mView.top + (middle.Y - mRollArea.yMin) / rollHeight * mView.rows;
        }
    cView view = mView;
    if (mPinchEngaged[0])
    {
        const float limit = kPinchWidthLimit * std::max({kMinimumWidth, SongLength(), float(gTransport.loopEnd.load())});
        view.width = std::clamp(mGestureView.width * mPinchStartDistance.X / std::max(distances[0], kPinchDeadZone),
                                kMinimumWidth, std::min(limit, kSongEnd));
        view.left = std::clamp(mPinchEngagedCentre.X - (middle.X - mRollArea.xMin) / rollWidth * view.width, 0.0f,
                               std::max(0.0f, kSongEnd - view.width));
    }
    if (mPinchEngaged[1])
    {
        view.rows = std::clamp(mGestureView.rows * mPinchStartDistance.Y / std::max(distances[1], kPinchDeadZone),
                               kMinimumRows, std::max(kMinimumRows, mMaximumRows));
        mTarget.rows = view.rows;
        RecomputeRowLimits();
        view.top = std::max(mLowestRow, std::min(mPinchEngagedCentre.Y - (middle.Y - mRollArea.yMin) / rollHeight *
                                                                                view.rows,
                                                 mHighestRow - view.rows));
    }
    ApplyView(view);
}

void cSongRoll::StartScrolling(cTouch* touch)
{
    mMode = kScrolling;
    mFollowToggle->value = 0;
    StopEasing();
    mTouchId = touch ? touch->id : mTouchId;
    mDownPoint = mLastPoint;
    mGestureView = mView;
    mFlingPoint = mLastPoint;
}

void cSongRoll::StartDrawing()
{
    StopEasing();
    mModel.ClearSelection();
    mMode = kDrawing;
    const float row = std::clamp(mLastRow, 0.0f, float(std::max(0, TrackCount() - 1)));
    mModel.SetInsertPreview(row, GetViewInfo(), mDownTick, mLastTick);
}

void cSongRoll::StartRubberBand()
{
    mModel.SaveSelection();
    mSelectionChanged = true;
    mDownPoint = {mRollArea.xMin, mDownPoint.Y};
    mDownTick = XToTick(mRollArea.xMin);
    mMode = kRubberBand;
}

void cSongRoll::TouchMove(cTouch* touch)
{
    if (touch->id == mSecondTouchId)
    {
        mSecondPoint = touch->position;
        if (mMode == kPinching)
            Pinch();
        return;
    }
    Remember(touch);
    const float rollWidth = mRollArea.xMax - mRollArea.xMin;
    const float rollHeight = mRollArea.yMax - mRollArea.yMin;
    switch (mMode)
    {
    case kScrolling:
        SetLeft(mGestureView.left + (mDownPoint.X - mLastPoint.X) / rollWidth * mGestureView.width, false);
        SetTop(mGestureView.top + (mDownPoint.Y - mLastPoint.Y) / rollHeight * mGestureView.rows, false);
        break;
    case kPinching: Pinch(); break;
    case kDrawing:
        mModel.SetInsertPreview(std::clamp(mLastRow, 0.0f, float(std::max(0, TrackCount() - 1))), GetViewInfo(),
                                mDownTick, mLastTick);
        break;
    case kLoopMarker: DragLoopMarker(mLastPoint); break;
    case kMoving:
    case kResizing:
    case kTrackMoving: Drag(); break;
    case kHeaderDrag: DragHeader(mLastPoint); break;
    case kMuteDrag:
    case kSoloDrag: DragMuteSolo(); break;
    case kTapped:
        if (Distance(mLastPoint, mDownPoint) > kTapSlop)
            mMode = kRubberBand;
        break;
    default: break;
    }
}

void cSongRoll::Drag()
{
    // What the limits refuse is carried, so the drag turns back at once.
    float refused = 0.0f;
    if (mMode == kMoving)
        refused = mModel.ConstrainMove(mLastTick - mDownTick + mDragAccumulator);
    else if (mMode == kResizing)
        refused = mModel.ConstrainResize(mLastTick - mDownTick + mDragAccumulator);
    else if (mMode == kTrackMoving)
        refused = mModel.ConstrainTrackMove(mLastRow - mDownRow + mDragAccumulator, 0.0f, float(TrackCount()));
    mDragAccumulator -= refused;
}

void cSongRoll::ReapplyDrag()
{
    mLastTick = XToTick(mLastPoint.X);
    mLastRow = YToRow(mLastPoint.Y);
    if (mMode == kMoving || mMode == kResizing || mMode == kTrackMoving)
        Drag();
    else if (mMode == kDrawing)
        mModel.SetInsertPreview(std::clamp(mLastRow, 0.0f, float(std::max(0, TrackCount() - 1))), GetViewInfo(),
                                mDownTick, mLastTick);
}

void cSongRoll::DragHeader(const cVector2& position)
{
    if (position.X <= mHeaderWithPanel.xMax)
    {
        const float rollHeight = mRollArea.yMax - mRollArea.yMin;
        SetTop(mGestureView.top - (position.Y - mDownPoint.Y) / rollHeight * mGestureView.rows, false);
        return;
    }
    mDownPoint = position;
    mDownTick = mLastTick;
    mDownRow = mLastRow;
    if (IsDrawToolOn())
        StartDrawing();
    else if (IsScrollModeOn())
        StartScrolling(nullptr);
    else
        StartRubberBand();
}

void cSongRoll::DragMuteSolo()
{
    const int32_t row = int32_t(std::floor(mLastRow));
    const int32_t state = mMode == kMuteDrag ? cTrack::kMute : cTrack::kSolo;
    const int32_t step = row > mLastMuteRow ? 1 : -1;
    for (int32_t passed = mLastMuteRow + step; row != mLastMuteRow && passed != row + step; passed += step)
        ToggleMuteSolo(passed, state);
    mLastMuteRow = row;
}

void cSongRoll::DragLoopMarker(const cVector2& position)
{
    const float value = std::clamp(NearestBar(XToTick(position.X)), 0.0f, kSongEnd);
    (mLoopMarker == 0 ? mLoopBegin : mLoopEnd) = value;
    if (std::fabs(position.X - mDownPoint.X) > kLoopMarkerSlop)
        mLoopMarkerMoved = true;
}

void cSongRoll::CommitLoopMarker()
{
    if (!mLoopMarkerMoved)
    {
        SetSongPosition(mDownTick);
        return;
    }
    if (mLoopBegin == mLoopEnd)
        return;
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->SetLoopRange(int32_t(std::min(mLoopBegin, mLoopEnd)), int32_t(std::max(mLoopBegin, mLoopEnd)));
    MarkProjectModified();
}

void cSongRoll::TouchUp(cTouch* touch)
{
    if (mMode == kPinching)
    {
        // The other finger goes on scrolling.
        if (touch->id == mTouchId)
        {
            mTouchId = mSecondTouchId;
            mLastPoint = mSecondPoint;
        }
        mSecondTouchId = -1;
        StartScrolling(nullptr);
        return;
    }
    if (touch->id != mTouchId)
        return;
    Remember(touch);
    switch (mMode)
    {
    case kDrawing:
    {
        const int32_t row = std::clamp(int32_t(mLastRow), 0, std::max(0, TrackCount() - 1));
        mModel.HideInsertPreview();
        mModel.DrawPart(row, mDownTick, mLastTick);
        AfterCommand();
        break;
    }
    case kLoopMarker: CommitLoopMarker(); break;
    case kMoving: CommitDrag(); break;
    case kResizing: CommitDrag(); break;
    case kTrackMoving: CommitDrag(); break;
    case kRubberBand:
        mModel.SelectInRect(mDownTick, mDownRow, mLastTick, mLastRow);
        AfterCommand();
        break;
    default: break;
    }
    EndGesture();
}

void cSongRoll::CommitDrag()
{
    const cSongEditModel::cSelectionBounds bounds = mModel.GetBounds();
    if (mMode == kMoving)
        mModel.MoveSelected(std::round(bounds.timeOffset), 0.0f);
    else if (mMode == kResizing)
        mModel.ResizeSelected(std::round(bounds.lengthDelta));
    else
        mModel.MoveSelected(0.0f, std::round(bounds.rowOffset));
    mModel.UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    AfterCommand();
}

void cSongRoll::EndGesture()
{
    mMode = kIdle;
    mTouchId = -1;
    mSecondTouchId = -1;
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->ReleaseCapture(this);
}
