#include <algorithm>
#include <cmath>

#include "audio/AudioEvent.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/EditorHost.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/PianoRoll.h"
#include "platform/GlobalSettingValues.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "ui/InputManager.h"

namespace
{
constexpr float kHitRadius = 6.0f;      // pixels around a finger that reach an event
constexpr float kTapSlop = 8.0f;        // pixels a tap may move before it selects by rubber band
constexpr float kRepeatSlop = 10.0f;    // pixels before a ruler drag sets the repeat
constexpr float kPinchDeadZone = 60.0f; // finger distance below which an axis does not zoom
constexpr float kTouchAudition = 6.0f;  // seconds a touched note sounds at most
constexpr float kBandAudition = 0.2f;   // seconds for a rubber band's one pitch
constexpr int32_t kDrawVelocity = 127;
constexpr uint32_t kAuditionFlags = kAudioEventFlagAudition | kAudioEventFlagIgnoreMute;
constexpr uint32_t kStopAfterMove = 4; // StopAllInstruments' flag after the position moves
constexpr float kBeat = 256.0f;
} // namespace

bool cPianoRoll::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && cWidget::HandleTouch(type, touch, captor))
        return true;
    if (!GetPart())
        return false;
    const bool mine = touch->id == mTouchId || touch->id == mSecondTouchId;
    switch (type)
    {
    case kTouchDown:
        if (mState == kIdle)
            return TouchDown(touch);
        return !mine && SecondFingerDown(touch);
    case kTouchMove:
        if (mine && mState != kIdle)
        {
            if (touch->id == mSecondTouchId)
                mSecondPoint = touch->position;
            else
                Remember(touch->position);
            TouchMove(touch);
        }
        return mine;
    case kTouchUp:
        if (mine)
            TouchUp(touch);
        return mine;
    default: return false;
    }
}

void cPianoRoll::Remember(const cVector2& point)
{
    mPoint = point;
    mTick = XToTick(point.X);
    mValue = YToValue(point.Y);
}

// Leaving a gesture silences the audition, unless the new one goes on with it.
void cPianoRoll::SetState(int32_t state)
{
    if (state != kDrawing && state != kNoteShift && state != kSelectTap)
        StopAudition();
    mState = state;
}

bool cPianoRoll::TouchDown(cTouch* touch)
{
    Remember(touch->position);
    mDownPoint = mPoint;
    mDownTick = mTick;
    mDownValue = mValue;
    mOrigin = mView;
    mEdgeScroll[0] = mEdgeScroll[1] = false;
    mFlingTicks = mFlingValues = mLastFlingTicks = mLastFlingValues = 0.0f;
    mTimeOffset = mValueOffset = 0.0f;
    mRepeatDrag = false;
    mTouchId = touch->id;
    CloseMenus(nullptr);
    for (int32_t i = 0; i < kHandleCount; ++i)
        if (mHandles[i].visible && mHandles[i].dragged.Contains(mPoint))
        {
            CaptureTouch(touch->id);
            SetState(i == kHandleValue ? kNoteShift + mModel.GetLane() : kMoving + i);
            return true;
        }
    if (mRuler.Contains(mPoint))
    {
        CaptureTouch(touch->id);
        SetState(kRuler);
        return true;
    }
    if (mKeyStrip.Contains(mPoint))
        return TouchDownOnKeyStrip(touch);
    if (mEditArea.Contains(mPoint))
        return TouchDownInEditArea(touch);
    mTouchId = -1;
    return false;
}

bool cPianoRoll::TouchDownOnKeyStrip(cTouch* touch)
{
    CaptureTouch(touch->id);
    if (touch->tapCount == 2)
    {
        // At the smallest span already: everything; else zoom in on the tap.
        if (mTarget.valueSpan <= mMinimumValueSpan + 0.001f)
            ZoomToValues(mRangeLow, mRangeHigh - mRangeLow, 0.0f, true);
        else
            ZoomToValues(mValue - mMinimumValueSpan * 0.5f, mMinimumValueSpan, 0.0f, true);
    }
    SetState(kKeyStrip);
    return true;
}

bool cPianoRoll::TouchDownInEditArea(cTouch* touch)
{
    CaptureTouch(touch->id);
    if (IsScrollModeOn())
    {
        StartScrolling();
        return true;
    }
    if (IsDrawToolOn())
    {
        StartDrawing();
        return true;
    }
    const float tickRadius = kHitRadius * mView.tickSpan / std::max(mEditArea.xMax - mEditArea.xMin, 1.0f);
    const float valueRadius = kHitRadius * mView.valueSpan / std::max(mEditArea.yMax - mEditArea.yMin, 1.0f);
    cPatternEditModel::cEventView* hit = mModel.HitTest(mTick, mValue, tickRadius, valueRadius);
    if (hit && hit->event && !hit->event->IsController())
        Audition(hit->note, hit->event->data2, kTouchAudition);
    mModel.SaveSelection();
    if (mAddToSelection)
    {
        if (!hit)
        {
            StartRubberBand();
            return true;
        }
        mModel.ToggleSelect(hit);
    }
    else
    {
        mModel.ClearSelection();
        if (hit)
            mModel.Select(hit, true);
    }
    SetState(kSelectTap);
    AfterCommand();
    return true;
}

void cPianoRoll::StartScrolling()
{
    mDrawZoom.Reset();
    mOrigin = mView;
    mDownPoint = mPoint;
    mTarget = mView;
    SetState(kScrolling);
}

void cPianoRoll::StartDrawing()
{
    // Outside the lane's range there is nothing to draw on.
    if (mValue < mRangeLow || mValue >= mRangeHigh + (mModel.GetLane() == cPatternEditModel::kLaneNotes ? 1.0f : 0.0f))
    {
        SetState(kIdle);
        return;
    }
    mModel.ClearSelection();
    mTarget = mView;
    SetState(kDrawing);
    // The pressed value keeps its height, so the row under the finger stays the row pressed.
    mDrawZoom.Start(mView.lowestValue, mView.valueSpan, mMinimumValueSpan, mValue);
    if (mModel.GetLane() == cPatternEditModel::kLaneNotes)
        Audition(int32_t(mValue), kDrawVelocity, 0.0f);
    AfterCommand();
}

void cPianoRoll::StartRubberBand()
{
    SetState(kRubberBand);
}

bool cPianoRoll::SecondFingerDown(cTouch* touch)
{
    if (mState != kScrolling && mState != kDrawing && mState != kSelectTap && mState != kRubberBand &&
        mState != kKeyStrip)
        return false;
    if (mState == kSelectTap || mState == kRubberBand)
        mModel.RestoreSelection();
    mDrawZoom.Reset();
    CaptureTouch(touch->id);
    mSecondTouchId = touch->id;
    mSecondPoint = touch->position;
    mPinchDistance = {std::fabs(mPoint.X - mSecondPoint.X), std::fabs(mPoint.Y - mSecondPoint.Y)};
    mPinchActive[0] = mPinchDistance.X > kPinchDeadZone;
    mPinchActive[1] = mPinchDistance.Y > kPinchDeadZone;
    mOrigin = mView;
    mTarget = mView;
    SetState(kPinching);
    AfterCommand();
    return true;
}

// Per axis, once the fingers are far enough apart on it: the span shrinks as
// they part, centred between them.
void cPianoRoll::Pinch()
{
    const cVector2 distance = {std::fabs(mPoint.X - mSecondPoint.X), std::fabs(mPoint.Y - mSecondPoint.Y)};
    const cVector2 centre = {(mPoint.X + mSecondPoint.X) * 0.5f, (mPoint.Y + mSecondPoint.Y) * 0.5f};
    for (int32_t axis = 0; axis < 2; ++axis)
    {
        const float d = axis == 0 ? distance.X : distance.Y;
        if (!mPinchActive[axis] && d > kPinchDeadZone)
        {
            mPinchActive[axis] = true;
            (axis == 0 ? mPinchDistance.X : mPinchDistance.Y) = d;
            mOrigin = mView;
        }
    }
    if (mPinchActive[0])
    {
        const float centreTick = XToTick(centre.X);
        const float span = std::clamp(mOrigin.tickSpan * mPinchDistance.X / std::max(distance.X, 1.0f), kMinimumTickSpan,
                                      PinchLengthLimit());
        const float fraction = (centre.X - mEditArea.xMin) / std::max(mEditArea.xMax - mEditArea.xMin, 1.0f);
        mTarget.tickSpan = span;
        mTarget.firstTick = centreTick - fraction * span;
    }
    if (mPinchActive[1])
    {
        const float centreValue = YToValue(centre.Y);
        const float span = mOrigin.valueSpan * mPinchDistance.Y / std::max(distance.Y, 1.0f);
        const float fraction = (mEditArea.yMax - centre.Y) / std::max(mEditArea.yMax - mEditArea.yMin, 1.0f);
        mTarget.valueSpan = span;
        mTarget.lowestValue = centreValue - fraction * std::max(span, mMinimumValueSpan);
    }
    ApplyTarget(false);
}

void cPianoRoll::TouchMove(cTouch*)
{
    const float width = std::max(mEditArea.xMax - mEditArea.xMin, 1.0f);
    const float height = std::max(mEditArea.yMax - mEditArea.yMin, 1.0f);
    const float dx = mPoint.X - mDownPoint.X, dy = mPoint.Y - mDownPoint.Y;
    switch (mState)
    {
    case kScrolling:
    case kKeyStrip:
    {
        if (mState == kKeyStrip && mPoint.X > mKeyStrip.xMax && mEditArea.Contains(mPoint))
        {
            // Out of the strip into the notes: the gesture the area would start.
            if (IsScrollModeOn())
                StartScrolling();
            else if (IsDrawToolOn())
            {
                mDownPoint = mPoint;
                mDownTick = mTick;
                mDownValue = mValue;
                StartDrawing();
            }
            else
            {
                mDownPoint = mPoint;
                mDownTick = mTick;
                mDownValue = mValue;
                mModel.SaveSelection();
                SetState(kSelectTap);
            }
            return;
        }
        const cView before = mView;
        if (mState == kScrolling)
            mTarget.firstTick = mOrigin.firstTick - dx / width * mOrigin.tickSpan;
        mTarget.lowestValue = mOrigin.lowestValue + dy / height * mOrigin.valueSpan;
        ClampTarget(mTarget);
        mView.firstTick = mTarget.firstTick;
        mView.lowestValue = mTarget.lowestValue;
        mLastFlingTicks = std::clamp(mView.firstTick - before.firstTick, -0.1f * mView.tickSpan, 0.1f * mView.tickSpan);
        mLastFlingValues =
            std::clamp(mView.lowestValue - before.lowestValue, -0.1f * mView.valueSpan, 0.1f * mView.valueSpan);
        mModel.eventGeometryDirty = true;
        UpdateScrollBars();
        break;
    }
    case kPinching: Pinch(); break;
    case kDrawing:
        if (mModel.GetLane() == cPatternEditModel::kLaneNotes)
            Audition(int32_t(mValue), kDrawVelocity, 0.0f);
        break;
    case kRuler:
        if (GetPart()->IsShared() && std::fabs(dx) > kRepeatSlop)
            mRepeatDrag = true;
        if (mRepeatDrag)
            mRepeatTick = RepeatTickAt(mPoint.X);
        break;
    case kMoving:
        mModel.UpdateSelectionBounds(mTick - mDownTick, 0.0f, 0.0f);
        mModel.ConstrainMove(gGridQuantizeGrid);
        DragHandle();
        break;
    case kResizing:
        mModel.UpdateSelectionBounds(0.0f, 0.0f, mTick - mDownTick);
        mModel.ConstrainLength(gGridQuantizeGrid);
        DragHandle();
        break;
    case kNoteShift:
    case kVelocityShift:
    case kControllerShift:
    {
        mModel.UpdateSelectionBounds(0.0f, -dy / height * mView.valueSpan, 0.0f);
        if (mState == kNoteShift)
            mModel.ConstrainNoteShift(mRangeLow, mRangeHigh);
        else
            mModel.ConstrainValueShift(mRangeLow, mRangeHigh);
        DragHandle();
        int32_t note = 0;
        if (mState != kControllerShift && SelectionIsOnePitch(&note))
        {
            const cPatternEditModel::cEventView* view = mModel.GetSelection().GetFirst()->view;
            if (mState == kNoteShift)
                Audition(note + int32_t(std::round(mModel.GetValueOffset())), view->event->data2, 0.0f);
            else
                Audition(note, view->event->data2 + int32_t(mModel.GetValueOffset()), 0.0f);
        }
        break;
    }
    case kSelectTap:
        if (std::hypot(dx, dy) > kTapSlop)
        {
            mModel.RestoreSelection();
            StartRubberBand();
        }
        break;
    default: break;
    }
}

void cPianoRoll::TouchUp(cTouch* touch)
{
    if (mState == kPinching)
    {
        // Lifting one finger goes on scrolling with the other.
        if (touch->id == mTouchId)
        {
            mTouchId = mSecondTouchId;
            mPoint = mSecondPoint;
        }
        mSecondTouchId = -1;
        mDownPoint = mPoint;
        StartScrolling();
        return;
    }
    Remember(touch->position);
    switch (mState)
    {
    case kScrolling:
    case kKeyStrip:
        mFlingTicks = mLastFlingTicks;
        mFlingValues = mLastFlingValues;
        break;
    case kDrawing: ReleaseDraw(); break;
    case kRuler:
        if (mRepeatDrag)
            CommitRepeatLength();
        else
            TapRuler();
        break;
    case kMoving:
    case kResizing:
    case kNoteShift:
    case kVelocityShift:
    case kControllerShift: CommitHandleDrag(); break;
    case kRubberBand:
    {
        mModel.SelectInRect(mDownTick, mDownValue, mTick, mValue);
        int32_t note = 0;
        if (SelectionIsOnePitch(&note))
            Audition(note, mModel.GetSelection().GetFirst()->view->event->data2, kBandAudition);
        break;
    }
    default: break;
    }
    mTouchId = -1;
    mRepeatDrag = false;
    // A rubber band's one pitch sounds on for its moment.
    if (mState == kRubberBand)
        mState = kIdle;
    else
        SetState(kIdle);
    AfterEdit();
}

void cPianoRoll::ReleaseDraw()
{
    mDrawZoom.Release();
    const float low = mRangeLow;
    const float high = mModel.GetLane() == cPatternEditModel::kLaneNotes ? mRangeHigh : mRangeHigh;
    const float pressed = std::clamp(mDownValue, low, high);
    const float released = std::clamp(mValue, low, high);
    switch (mModel.GetLane())
    {
    case cPatternEditModel::kLaneNotes:
        mModel.DrawNotes(mDownTick, mTick, std::floor(released), gGridQuantizeGrid);
        break;
    case cPatternEditModel::kLaneVelocity: mModel.DrawVelocities(mDownTick, mTick, pressed, released); break;
    default: mModel.DrawControllers(mDownTick, mTick, pressed, released, gGridQuantizeGrid); break;
    }
}

void cPianoRoll::CommitHandleDrag()
{
    switch (mState)
    {
    case kMoving: mModel.Move(mModel.GetTimeOffset()); break;
    case kResizing: mModel.ChangeLength(mModel.GetLengthOffset()); break;
    case kNoteShift: mModel.Transpose(int32_t(std::round(mModel.GetValueOffset()))); break;
    case kVelocityShift: mModel.OffsetVelocity(int32_t(mModel.GetValueOffset())); break;
    default: mModel.OffsetController(int32_t(mModel.GetValueOffset())); break;
    }
    mModel.UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

// The ruler tick under the finger plus a quarter bar, cut to whole bars.
float cPianoRoll::RepeatTickAt(float x) const
{
    const float bar = float(gTransport.ticksPerBar.load());
    const float tick = std::round(XToTick(x)) + bar * 0.25f;
    return std::clamp(std::floor(tick / bar) * bar, 0.0f, kSongEnd);
}

void cPianoRoll::CommitRepeatLength()
{
    cPattern* pattern = mModel.GetPattern();
    if (!pattern || !GetPart()->IsShared())
        return;
    {
        cSequencer* sequencer = cSequencer::GetInstance();
        cScopedLockIfAny lock(sequencer ? sequencer->GetLock() : nullptr);
        pattern->SetLoopLength(int32_t(mRepeatTick));
    }
    MarkProjectModified();
    UpdateScrollBars();
}

// A tap on the ruler moves the song to the nearest beat inside the part.
void cPianoRoll::TapRuler()
{
    const cPatternInstance* part = GetPart();
    const float beat = std::round(mDownTick / kBeat);
    float offset = std::min(beat * kBeat, float(part->length));
    if (part->IsShared() && part->pattern && part->pattern->loopLength > 0)
        offset = std::min(offset, float(part->pattern->loopLength));
    const int32_t position = part->start + int32_t(offset);
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(MakeSetIntEvent(cSequencer::kParamPosition, position));
    if (cProjectList::GetInstance() && cProjectList::GetInstance()->GetCurrentProject())
        StopAllInstruments(kStopAfterMove);
    const int32_t ticksPerBar = std::max(gTransport.ticksPerBar.load(), 1);
    cGenStringFixed<64> text;
    text.Printf("Song position set to %03d.%02d", int(position / ticksPerBar) + 1,
                int((position % ticksPerBar) / int32_t(kBeat)) + 1);
    GetEditorHost().ShowStatusMessage(text.CStr(), cEditorHost::kMessageSeconds);
}

// --- Audition ---

cInstrument* cPianoRoll::PartInstrument() const
{
    const cPatternInstance* part = GetPart();
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!part || !part->owner || !slots)
        return nullptr;
    return slots->GetInstrument(part->owner->GetChannel());
}

bool cPianoRoll::SelectionIsOnePitch(int32_t* note) const
{
    const cPatternEditModel::cSelectionNode* first = mModel.GetSelection().GetFirst();
    if (!first)
        return false;
    for (const cPatternEditModel::cSelectionNode* node = first; node; node = node->GetNext())
        if (!node->view->event || node->view->event->IsController() || node->view->note != first->view->note)
            return false;
    *note = first->view->note;
    return true;
}

// Plays a note on the part's instrument while auditioning is on. seconds 0
// holds it until the gesture ends.
void cPianoRoll::Audition(int32_t note, int32_t velocity, float seconds)
{
    const int32_t lane = mModel.GetLane();
    cInstrument* instrument = PartInstrument();
    if ((lane != cPatternEditModel::kLaneNotes && lane != cPatternEditModel::kLaneVelocity) ||
        gSettings.auditionNote != 1 || gSettings.auditionNoteVol <= 0 || note < 0 || note >= 128 || !instrument ||
        !instrument->GetModule())
        return;
    const int32_t scaled = std::clamp(velocity * gSettings.auditionNoteVol / 100, 1, 127);
    if (mAudition.sounding && mAudition.note == note)
    {
        mAudition.secondsLeft = seconds;
        return;
    }
    StopAudition();
    cAudioEvent event;
    event.type = kAudioEventNoteOn;
    event.flags = kAuditionFlags;
    event.slot = uint8_t(instrument->GetSlot());
    event.SetNote(uint8_t(note), uint8_t(scaled));
    event.wordB = MakeVoiceId(kVoiceSourceSequencer);
    instrument->GetModule()->PostEvent(event);
    mAudition = {true, event.wordB, note, scaled, instrument->GetSlot(), seconds};
}

void cPianoRoll::StopAudition()
{
    if (!mAudition.sounding)
        return;
    mAudition.sounding = false;
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    cInstrument* instrument = slots ? slots->GetInstrument(mAudition.slot) : nullptr;
    if (!instrument || !instrument->GetModule())
        return;
    cAudioEvent event;
    event.type = kAudioEventNoteCut;
    event.flags = kAuditionFlags;
    event.slot = uint8_t(mAudition.slot);
    event.wordB = mAudition.voice;
    instrument->GetModule()->PostEvent(event);
}
