// The sample editor's view and gestures. The view is a window of whole
// frames that may reach a thirty-second of its length before frame 0 and
// past the edited length. It moves towards its targets by half the distance
// each frame, glides on after a drag-scroll, and scrolls by itself while a
// finger drawing a selection or dragging a handle nears the waveform's ends.
//
// The handles are relative controls: a drag moves the selection edge by the
// frames dragged, counted against a reference frame; an edge held at a limit
// pushes the reference along, so the handle follows the finger as soon as it
// turns back.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "sampler/SampleEditor.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetScrollBar.h"

namespace
{
// Fingers closer than this do not zoom until they have once been farther apart.
constexpr float kPinchThreshold = 60.0f;
// Frames after a pinch in which a drag measures no speed.
constexpr int32_t kPinchCoolDown = 4;
constexpr float kFlingDecay = 0.9f;
constexpr float kMaxFlingShare = 0.1f;
// Within this many pixels of an end the view scrolls by up to 5 % a frame.
constexpr float kEdgeZone = 30.0f;
constexpr float kEdgeScrollShare = 0.05f;
constexpr float kEdgeReferenceShare = 0.3f;

int32_t ToFrame(double value) { return int32_t(std::clamp(value, double(INT_MIN), double(INT_MAX))); }

int32_t Half(int64_t distance) { return int32_t(distance / 2); }
} // namespace

int32_t cSampleEditor::ClampStart(int32_t start) const
{
    const int64_t latest = int64_t(mMaximumEnd) - mTargetLength;
    return int32_t(std::max<int64_t>(std::min<int64_t>(start, latest), mMinimumStart));
}

void cSampleEditor::UpdateViewLimits()
{
    const int32_t margin = mTargetLength / 32;
    mMinimumStart = -margin;
    mMaximumEnd = mModel.GetFrames() + margin;
    mTargetStart = std::max(mTargetStart, mMinimumStart);
    mViewStart = std::max(mViewStart, mMinimumStart);
}

void cSampleEditor::SetViewLength(int32_t length, bool animate)
{
    const int32_t frames = mModel.GetFrames();
    mTargetLength = std::max(std::min(length, frames + 2 * (frames / 32)), kMinimumLength);
    if (!animate)
        mViewLength = mTargetLength;
    UpdateViewLimits();
}

void cSampleEditor::SetViewStart(int32_t start, bool animate)
{
    mTargetStart = ClampStart(start);
    if (!animate)
        mViewStart = mTargetStart;
}

void cSampleEditor::StopViewAnimation()
{
    mTargetStart = mViewStart;
    mTargetLength = mViewLength;
}

void cSampleEditor::UpdateScrollRange()
{
    UpdateViewLimits();
    mScrollBar->SetRange(float(mMinimumStart), float(mMaximumEnd));
}

void cSampleEditor::FollowViewWithScrollBar()
{
    mScrollBar->SetWindow(float(mViewStart), float(int64_t(mViewStart) + mViewLength));
}

void cSampleEditor::ZoomTo(float marginFactor, int32_t start, int32_t length, bool animate)
{
    const int64_t margin = int64_t(double(length) * marginFactor);
    const int64_t widened = std::clamp<int64_t>(length + 2 * margin, 0, INT_MAX);
    SetViewLength(int32_t(widened), animate);
    mTargetStart = ClampStart(ToFrame(double(start) + double(widened / 2) - mTargetLength / 2 - double(margin)));
    if (!animate)
        mViewStart = mTargetStart;
    UpdateScrollRange();
    FollowViewWithScrollBar();
}

void cSampleEditor::ZoomPreset(int32_t preset, bool animate)
{
    if (preset == 0)
        ZoomTo(0.1f, mModel.GetSelectionStart(), mModel.GetSelectionLength(), animate);
    else
        ZoomTo(0.1f, mMinimumStart, std::max(kMinimumLength, mMaximumEnd), animate);
}

void cSampleEditor::EnsureFrameVisible(int32_t frame)
{
    if (frame < mViewStart || int64_t(frame) > int64_t(mViewStart) + mViewLength)
        ZoomTo(0.0f, frame - mViewLength / 2, mViewLength, false);
}

void cSampleEditor::OnScroll(float start)
{
    mTargetStart = ClampStart(ToFrame(start));
    mViewStart = mTargetStart;
}

int32_t cSampleEditor::XToFrame(const cVector2& point) const
{
    const double width = double(mWaveformRect.xMax) - mWaveformRect.xMin;
    if (width <= 0.0)
        return mViewStart;
    const int32_t frame = ToFrame((point.X - mWaveformRect.xMin) / width * mViewLength + mViewStart);
    return int32_t(std::clamp<int64_t>(frame, mViewStart, int64_t(mViewStart) + mViewLength));
}

float cSampleEditor::FrameToX(int32_t frame) const
{
    return float(double(int64_t(frame) - mViewStart) * (double(mWaveformRect.xMax) - mWaveformRect.xMin) / mViewLength +
                 mWaveformRect.xMin);
}

void cSampleEditor::UpdateView()
{
    AnimateView();
    if (mMode == kModeDragScroll)
    {
        const float width = mWaveformRect.xMax - mWaveformRect.xMin;
        const float limit = kMaxFlingShare * float(mViewLength);
        mFlingVelocity = mPinchCoolDown != 0 || width <= 0.0f
                             ? 0.0f
                             : std::clamp((mLastX - mCurrentPosition.X) / width * float(mViewLength), -limit, limit);
        mLastX = mCurrentPosition.X;
    }
    else if (mMode == kModeIdle)
        Glide();
    else if (mMode >= kModePinch)
        ScrollAtEdge();
    // Counted after the speed, so the four frames of a drag that continues a
    // pinch measure none: the fingers' parting is no fling.
    mPinchCoolDown = mMode == kModePinch ? kPinchCoolDown : std::max(mPinchCoolDown - 1, 0);
}

// Half the remaining distance each frame, the last frame by a jump.
void cSampleEditor::AnimateView()
{
    const int64_t startDistance = int64_t(mTargetStart) - mViewStart;
    const int64_t lengthDistance = int64_t(mTargetLength) - mViewLength;
    if (startDistance != 0)
        mViewStart += Half(startDistance) != 0 ? Half(startDistance) : int32_t(startDistance);
    if (lengthDistance != 0)
        mViewLength += Half(lengthDistance) != 0 ? Half(lengthDistance) : int32_t(lengthDistance);
    if (startDistance != 0 || lengthDistance != 0)
        FollowViewWithScrollBar();
}

// Slows by a tenth a frame and stops below a pixel's worth of frames.
void cSampleEditor::Glide()
{
    const float width = mWaveformRect.xMax - mWaveformRect.xMin;
    if (width <= 0.0f || std::fabs(mFlingVelocity) <= float(mViewLength) / width)
    {
        mFlingVelocity = 0.0f;
        return;
    }
    mFlingVelocity *= kFlingDecay;
    mViewStart = ClampStart(ToFrame(double(mViewStart) + mFlingVelocity));
    mTargetStart = mViewStart;
    FollowViewWithScrollBar();
}

// Armed once the finger is farther from the middle than where it went down,
// so a drag that starts near an end does not scroll at once.
void cSampleEditor::ScrollAtEdge()
{
    const float x = mCurrentPosition.X;
    if (std::fabs(x - mWaveformCentreX) > std::fabs(mTouchDownPosition.X - mWaveformCentreX))
        mAutoScrollArmed = true;
    if (!mAutoScrollArmed)
        return;
    float share = (mWaveformRect.xMin + kEdgeZone - x) / kEdgeZone;
    if (share <= 0.0f)
        share = std::fmin((mWaveformRect.xMax - kEdgeZone - x) / kEdgeZone, 0.0f);
    share = std::clamp(share, -1.0f, 1.0f);
    if (share == 0.0f)
        return;
    const float scroll = float(mViewLength) * kEdgeScrollShare * share;
    int32_t step = int32_t(RoundAway(scroll));
    if (step == 0)
        step = share > 0.0f ? 1 : -1;
    const int64_t wanted = int64_t(mViewStart) - step;
    mViewStart = ClampStart(ToFrame(double(wanted)));
    mTargetStart = mViewStart;
    if (mViewStart != wanted && (mMode == kModeStartHandle || mMode == kModeEndHandle))
    {
        const float limit = kEdgeReferenceShare * float(mViewLength) * kEdgeScrollShare;
        mReferenceFrame = std::clamp(mReferenceFrame + int32_t(std::clamp(scroll, -limit, limit)), 0, mModel.GetFrames());
    }
    FollowViewWithScrollBar();
    mTouchFrame = XToFrame(mCurrentPosition);
    ApplyHandleDrag();
}

void cSampleEditor::SetMode(int32_t mode, bool forced)
{
    if (mode == mMode && !forced)
        return;
    mMode = mode;
    CloseMenus(nullptr);
    const bool selected = mModel.GetSelectionLength() > 0;
    mDeleteButton->SetVisible(selected);
    mTrimButton->SetVisible(selected);
    if (selected)
    {
        PlaceInColumn(mDeleteButton, 5);
        PlaceInColumn(mTrimButton, 6);
    }
    cHandle& start = mHandles[0];
    cHandle& end = mHandles[1];
    switch (mode)
    {
    case kModeStartHandle:
        start.visible = true;
        end.visible = false;
        UpdateHandleRect(0);
        break;
    case kModeEndHandle:
        start.visible = false;
        end.visible = true;
        UpdateHandleRect(1);
        break;
    case kModeDragScroll:
    case kModePinch:
        start.visible = end.visible = false;
        break;
    default:
        start.visible = end.visible = selected || mLastHandle != kHandleNone;
        start.current = start.resting;
        end.current = end.resting;
        break;
    }
}

// Follows the finger's distance from where it went down, within the waveform.
void cSampleEditor::UpdateHandleRect(int32_t index)
{
    cHandle& handle = mHandles[index];
    const float right = std::fmax(mWaveformRect.xMax - mHandleWidth, mWaveformRect.xMin);
    const float x = std::clamp(handle.resting.xMin + (mCurrentPosition.X - mTouchDownPosition.X), mWaveformRect.xMin, right);
    handle.current = {x, handle.resting.yMin, x + mHandleWidth, handle.resting.yMin + mHandleHeight};
}

void cSampleEditor::ApplyHandleDrag()
{
    const int64_t wanted = int64_t(mAnchorFrame) + mTouchFrame - mReferenceFrame;
    if (mMode == kModeStartHandle)
    {
        mModel.SetSelectionStart(ToFrame(double(wanted)));
        mReferenceFrame = ToFrame(double(mReferenceFrame) + double(wanted - mModel.GetSelectionStart()));
    }
    else if (mMode == kModeEndHandle)
    {
        mModel.SetSelectionEnd(ToFrame(double(wanted)));
        mReferenceFrame = ToFrame(double(mReferenceFrame) + double(wanted - mModel.GetSelectionEnd()));
    }
    else if (mMode == kModeSelect)
        mModel.SetSelection(mReferenceFrame, mTouchFrame);
}

bool cSampleEditor::IsScrollModeOn() const { return mScrollModeToggle->value != 0; }

bool cSampleEditor::IsOnHandle(int32_t handle, const cVector2& point) const
{
    return mHandles[handle].visible && mHandles[handle].touch.Contains(point);
}

bool cSampleEditor::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && (type != kTouchDown || !GetRect().Contains(touch->position)))
        return false;
    if (cWidget::HandleTouch(type, touch, captor))
        return true;
    switch (mMode)
    {
    case kModeIdle:
        return TouchIdle(type, touch);
    case kModeDragScroll:
        return TouchDragScroll(type, touch);
    case kModePinch:
        return TouchPinch(type, touch);
    case kModeStartHandle:
    case kModeEndHandle:
        return TouchHandle(type, touch);
    case kModeSelect:
        return TouchSelect(type, touch);
    default:
        return false;
    }
}

// Only a finger going down on the waveform starts a gesture; others reach
// the widgets around.
bool cSampleEditor::TouchIdle(int32_t type, cTouch* touch)
{
    if (type != kTouchDown || !mWaveformRect.Contains(touch->position))
        return false;
    mFirstTouch = touch;
    mSecondTouch = nullptr;
    mAutoScrollArmed = false;
    CaptureTouch(touch->id);
    if (IsOnHandle(0, touch->position))
        BeginHandleDrag(touch, kHandleStart);
    else if (IsOnHandle(1, touch->position))
        BeginHandleDrag(touch, kHandleEnd);
    else
    {
        mCurrentPosition = mTouchDownPosition = touch->position;
        mTouchFrame = XToFrame(touch->position);
        mReferenceFrame = mTouchFrame;
        if (IsScrollModeOn())
            BeginDragScroll(touch);
        else
        {
            mModel.SaveSelection();
            mModel.SetSelection(mTouchFrame, mTouchFrame);
            mLastHandle = kHandleNone;
            SetMode(kModeSelect, false);
        }
    }
    return true;
}

void cSampleEditor::BeginHandleDrag(cTouch* touch, int32_t handle)
{
    const bool start = handle == kHandleStart;
    mAnchorFrame = start ? mModel.GetSelectionStart() : mModel.GetSelectionEnd();
    mLastHandle = handle;
    EnsureFrameVisible(mAnchorFrame);
    mCurrentPosition = mTouchDownPosition = touch->position;
    mTouchFrame = XToFrame(touch->position);
    mReferenceFrame = mTouchFrame;
    SetMode(start ? kModeStartHandle : kModeEndHandle, false);
}

void cSampleEditor::FollowTouch(cTouch* touch)
{
    mCurrentPosition = touch->position;
    mTouchFrame = XToFrame(touch->position);
}

bool cSampleEditor::TouchDragScroll(int32_t type, cTouch* touch)
{
    if (touch != mFirstTouch)
    {
        if (type == kTouchDown)
            BeginPinch(touch);
        return true;
    }
    if (type == kTouchMove)
    {
        FollowTouch(touch);
        const float width = mWaveformRect.xMax - mWaveformRect.xMin;
        const double moved = width > 0.0f ? (mTouchDownPosition.X - touch->position.X) / width * mViewLength : 0.0;
        const int32_t start = ToFrame(double(ToFrame(moved)) + mDragStartViewStart);
        SetViewStart(start, false);
        mDragStartViewStart = ToFrame(double(mDragStartViewStart) + (double(mTargetStart) - start));
        UpdateScrollRange();
        FollowViewWithScrollBar();
    }
    else if (type == kTouchUp)
        SetMode(kModeIdle, false);
    return true;
}

bool cSampleEditor::TouchPinch(int32_t type, cTouch* touch)
{
    if (touch != mFirstTouch && touch != mSecondTouch)
        return true;
    if (type == kTouchUp)
    {
        cTouch* other = touch == mFirstTouch ? mSecondTouch : mFirstTouch;
        mFirstTouch = other;
        mSecondTouch = nullptr;
        BeginDragScroll(other);
        return true;
    }
    if (type != kTouchMove)
        return true;
    const float x1 = mFirstTouch->position.X, x2 = mSecondTouch->position.X;
    const int32_t f1 = XToFrame(mFirstTouch->position), f2 = XToFrame(mSecondTouch->position);
    float distance = std::fabs(x1 - x2);
    const float centre = (x1 + x2) * 0.5f - mWaveformRect.xMin;
    if (distance > kPinchThreshold)
    {
        if (!mPinchActive)
        {
            mPinchSpan = std::abs(f1 - f2);
            mPinchCentre = int32_t((int64_t(f1) + f2) / 2);
            mPinchActive = true;
        }
    }
    else
        distance = kPinchThreshold;
    if (mPinchActive)
        ZoomTo(0.0f, ToFrame(mPinchCentre - double(mPinchSpan) * centre / distance),
               ToFrame(double(mDragStartViewLength) * mPinchDistance / distance), false);
    return true;
}

bool cSampleEditor::TouchHandle(int32_t type, cTouch* touch)
{
    if (touch != mFirstTouch)
        return true;
    if (type == kTouchMove)
    {
        FollowTouch(touch);
        ApplyHandleDrag();
        UpdateHandleRect(mMode == kModeStartHandle ? 0 : 1);
        UpdateScrollRange();
    }
    else if (type == kTouchUp)
    {
        mModel.SyncAudition(true);
        SetMode(kModeIdle, false);
    }
    return true;
}

bool cSampleEditor::TouchSelect(int32_t type, cTouch* touch)
{
    if (touch != mFirstTouch)
    {
        if (type == kTouchDown)
        {
            mModel.RestoreSelection();
            BeginPinch(touch);
        }
        return true;
    }
    if (type == kTouchMove)
    {
        FollowTouch(touch);
        mModel.SetSelection(mReferenceFrame, mTouchFrame);
    }
    else if (type == kTouchUp)
    {
        mModel.SyncAudition(true);
        SetMode(kModeIdle, false);
    }
    return true;
}

void cSampleEditor::BeginDragScroll(cTouch* touch)
{
    StopViewAnimation();
    mFirstTouch = touch;
    mCurrentPosition = mTouchDownPosition = touch->position;
    mTouchFrame = XToFrame(touch->position);
    mDragStartViewStart = mViewStart;
    mDragStartViewLength = mViewLength;
    mReferenceFrame = mTouchFrame;
    mPinchSpan = 0;
    mPinchCentre = mTouchFrame;
    mPinchDistance = 0.0f;
    mPinchActive = false;
    mFlingVelocity = 0.0f;
    mLastX = touch->position.X;
    SetMode(kModeDragScroll, false);
}

void cSampleEditor::BeginPinch(cTouch* touch)
{
    StopViewAnimation();
    mTouchDownPosition = mCurrentPosition;
    mSecondTouch = touch;
    CaptureTouch(touch->id);
    mDragStartViewStart = mViewStart;
    mDragStartViewLength = mViewLength;
    const int32_t f1 = XToFrame(mFirstTouch->position), f2 = XToFrame(touch->position);
    mPinchSpan = std::abs(f1 - f2);
    mPinchCentre = int32_t((int64_t(f1) + f2) / 2);
    mPinchDistance = std::fabs(mFirstTouch->position.X - touch->position.X);
    mPinchActive = mPinchDistance > kPinchThreshold;
    if (!mPinchActive)
        mPinchDistance = kPinchThreshold;
    SetMode(kModePinch, false);
}

void cSampleEditor::CancelInput()
{
    if (mMode != kModeIdle)
        SetMode(kModeIdle, false);
    mReferenceFrame = mTouchFrame;
    mTouchDownPosition = mCurrentPosition;
    mFirstTouch = mSecondTouch = nullptr;
}
