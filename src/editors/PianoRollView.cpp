#include <algorithm>
#include <cmath>

#include "editors/PianoRoll.h"
#include "editors/PianoRollSprites.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr float kGlideRate = 0.6f;         // of the way to the target per frame
constexpr float kTickSnap = 1.0f;          // ticks
constexpr float kValueSnap = 0.2f;         // lane values
constexpr float kFlingLimit = 0.1f;        // of the span per frame
constexpr float kFlingDecay = 0.9f;        // per frame
constexpr float kEdgeBand = 30.0f;         // pixels
constexpr float kEdgeTickRate = 0.046875f; // of the tick span per frame
constexpr float kEdgeValueRate = 0.04f;    // of the value span per frame
constexpr float kEdgeFollow = 0.3f;        // of a scroll step the drag origin follows
constexpr float kDrawZoomStep = 1.0f / 30.0f;
constexpr float kScrollRoom = 0.1f;   // of the span past the content
constexpr float kNoteFloorRoom = 0.2f; // of the visible span below the lowest note

float Width(const cRect& r) { return r.xMax - r.xMin; }
float Height(const cRect& r) { return r.yMax - r.yMin; }
} // namespace

// --- Mapping ---

float cPianoRoll::TickToX(float tick) const
{
    return mEditArea.xMin + (tick - mView.firstTick) / mView.tickSpan * Width(mEditArea);
}

float cPianoRoll::ValueToY(float value) const
{
    return mEditArea.yMax - (value - mView.lowestValue) / mView.valueSpan * Height(mEditArea);
}

float cPianoRoll::XToTick(float x) const
{
    const float width = std::max(Width(mEditArea), 1.0f);
    const float tick = (x - mEditArea.xMin) / width * mView.tickSpan + mView.firstTick;
    return std::clamp(tick, mView.firstTick, mView.firstTick + mView.tickSpan);
}

float cPianoRoll::YToValue(float y) const
{
    const float height = std::max(Height(mEditArea), 1.0f);
    const float value = (mEditArea.yMax - y) / height * mView.valueSpan + mView.lowestValue;
    return std::clamp(value, mView.lowestValue, mView.lowestValue + mView.valueSpan - 0.0001f);
}

// --- Limits ---

float cPianoRoll::GetScrollFloor() const
{
    if (mModel.GetLane() != cPatternEditModel::kLaneNotes)
        return mRangeLow;
    return mRangeLow - std::round(kNoteFloorRoom * mTarget.valueSpan);
}

// What the part holds: at least 256 ticks, the loop and the last event's end.
float cPianoRoll::ContentLength() const
{
    float length = kMinimumTickSpan;
    if (const cPattern* pattern = mModel.GetPattern())
    {
        length = std::max(length, float(pattern->loopLength));
        if (pattern->tail)
            length = std::max(length, float(pattern->tail->time + pattern->tail->length));
    }
    return length;
}

float cPianoRoll::GetScrollRangeEnd() const
{
    float end = std::max(ContentLength(), mTarget.firstTick + mTarget.tickSpan);
    if (mModel.GetSelectionCount() > 0)
        end = std::max(end, mModel.GetSelectionBounds().latestEnd);
    if (end > mTarget.tickSpan)
        end += kScrollRoom * mTarget.tickSpan;
    return end;
}

// A pinch never shows more than 1.05 times what the part plays: a shared
// pattern's loop (or, without one, the view's end), a private part's length.
float cPianoRoll::PinchLengthLimit() const
{
    const cPatternInstance* part = GetPart();
    float length = mView.firstTick + mView.tickSpan;
    if (part && part->pattern && part->IsShared())
    {
        if (part->pattern->loopLength > 0)
            length = float(part->pattern->loopLength);
    }
    else if (part)
        length = float(part->length);
    return std::clamp(1.05f * length, kMinimumTickSpan, kSongEnd);
}

void cPianoRoll::ClampTarget(cView& view) const
{
    view.tickSpan = std::clamp(view.tickSpan, kMinimumTickSpan, kSongEnd);
    view.firstTick = std::clamp(view.firstTick, 0.0f, kSongEnd - view.tickSpan);
    const float floor = GetScrollFloor();
    view.valueSpan = std::clamp(view.valueSpan, mMinimumValueSpan, std::max(mMinimumValueSpan, mRangeHigh - floor));
    view.lowestValue = std::clamp(view.lowestValue, floor, std::max(floor, mRangeHigh - view.valueSpan));
}

// --- Zoom ---

void cPianoRoll::ZoomToTicks(float start, float length, float margin, bool glide)
{
    const float requested = length + 2.0f * length * margin;
    const float span = std::clamp(requested, kMinimumTickSpan, kSongEnd);
    mTarget.tickSpan = span;
    mTarget.firstTick = std::clamp(start - length * margin + (requested - span) * 0.5f, 0.0f, kSongEnd - span);
    ApplyTarget(glide);
}

void cPianoRoll::ZoomToValues(float start, float length, float margin, bool glide)
{
    const float requested = length + 2.0f * length * margin;
    const float span = std::clamp(requested, mMinimumValueSpan, std::max(mMinimumValueSpan, mRangeHigh - mRangeLow));
    mTarget.valueSpan = span;
    mTarget.lowestValue = start - length * margin + (requested - span) * 0.5f;
    ApplyTarget(glide);
}

void cPianoRoll::ApplyTarget(bool glide)
{
    ClampTarget(mTarget);
    if (!glide)
        mView = mTarget;
    mModel.eventGeometryDirty = true;
    UpdateScrollBars();
    UpdateHandles();
}

void cPianoRoll::ZoomTicksAround(float centre, float factor)
{
    const float span = std::clamp(mTarget.tickSpan * factor, kMinimumTickSpan, kSongEnd);
    ZoomToTicks(centre - span * 0.5f, span, 0.0f, true);
}

void cPianoRoll::ZoomValuesAround(float centre, float factor)
{
    const float span = mTarget.valueSpan * factor;
    ZoomToValues(centre - span * 0.5f, span, 0.0f, true);
}

void cPianoRoll::ZoomOut(bool glide)
{
    ZoomToTicks(0.0f, ContentLength(), 0.05f, glide);
    ZoomToValues(mRangeLow, mRangeHigh - mRangeLow, 0.0f, glide);
}

// --- Scroll bars ---

void cPianoRoll::UpdateScrollBars()
{
    mHorizontalBar->SetRange(0.0f, GetScrollRangeEnd());
    mHorizontalBar->SetWindow(mTarget.firstTick, mTarget.firstTick + mTarget.tickSpan);
    // Values grow upwards; the bar's window grows downwards.
    const float floor = GetScrollFloor();
    const float top = mRangeHigh;
    mVerticalBar->SetRange(0.0f, top - floor);
    const float fromTop = top - (mTarget.lowestValue + mTarget.valueSpan);
    mVerticalBar->SetWindow(fromTop, fromTop + mTarget.valueSpan);
}

intptr_t cPianoRoll::OnScrollBar(float start, cWidgetScrollBar* bar)
{
    mFlingTicks = mFlingValues = 0.0f;
    if (bar == mHorizontalBar)
        mTarget.firstTick = start;
    else
        mTarget.lowestValue = mRangeHigh - start - mTarget.valueSpan;
    ClampTarget(mTarget);
    mView.firstTick = mTarget.firstTick;
    mView.lowestValue = mTarget.lowestValue;
    mModel.eventGeometryDirty = true;
    UpdateHandles();
    return 0;
}

// --- The per-frame update ---

void cPianoRoll::Glide()
{
    const auto glide = [](float& current, float target, float snap)
    {
        current += (target - current) * kGlideRate;
        if (std::fabs(target - current) < snap)
            current = target;
    };
    const cView before = mView;
    glide(mView.firstTick, mTarget.firstTick, kTickSnap);
    glide(mView.tickSpan, mTarget.tickSpan, kTickSnap);
    glide(mView.lowestValue, mTarget.lowestValue, kValueSnap);
    glide(mView.valueSpan, mTarget.valueSpan, kValueSnap);
    if (before.firstTick != mView.firstTick || before.tickSpan != mView.tickSpan ||
        before.lowestValue != mView.lowestValue || before.valueSpan != mView.valueSpan)
        mModel.eventGeometryDirty = true;
}

void cPianoRoll::Fling()
{
    if (mState != kIdle || (mFlingTicks == 0.0f && mFlingValues == 0.0f))
        return;
    mTarget.firstTick += mFlingTicks;
    mTarget.lowestValue += mFlingValues;
    ClampTarget(mTarget);
    mView.firstTick = mTarget.firstTick;
    mView.lowestValue = mTarget.lowestValue;
    mModel.eventGeometryDirty = true;
    mFlingTicks *= kFlingDecay;
    mFlingValues *= kFlingDecay;
    // Below one pixel's worth the fling has spent itself.
    if (std::fabs(mFlingTicks) < mView.tickSpan / std::max(Width(mEditArea), 1.0f))
        mFlingTicks = 0.0f;
    if (std::fabs(mFlingValues) < mView.valueSpan / std::max(Height(mEditArea), 1.0f))
        mFlingValues = 0.0f;
    UpdateScrollBars();
}

void cPianoRoll::EdgeScroll()
{
    const bool horizontal = mState == kDrawing || mState == kRuler || mState == kMoving || mState == kResizing ||
                            mState == kRubberBand;
    const bool vertical = mState == kDrawing || mState == kMoving || mState == kRubberBand || mState == kNoteShift ||
                          mState == kVelocityShift || mState == kControllerShift;
    if (!horizontal && !vertical)
        return;
    const cVector2 centre = {(mEditArea.xMin + mEditArea.xMax) * 0.5f, (mEditArea.yMin + mEditArea.yMax) * 0.5f};
    // An axis joins in only once the finger is farther out than where it pressed.
    if (std::fabs(mPoint.X - centre.X) > std::fabs(mDownPoint.X - centre.X))
        mEdgeScroll[0] = true;
    if (std::fabs(mPoint.Y - centre.Y) > std::fabs(mDownPoint.Y - centre.Y))
        mEdgeScroll[1] = true;
    const auto factor = [](float finger, float low, float high)
    {
        if (finger < low + kEdgeBand)
            return -std::min((low + kEdgeBand - finger) / kEdgeBand, 1.0f);
        if (finger > high - kEdgeBand)
            return std::min((finger - (high - kEdgeBand)) / kEdgeBand, 1.0f);
        return 0.0f;
    };
    const cView before = mTarget;
    if (horizontal && mEdgeScroll[0])
        mTarget.firstTick += factor(mPoint.X, mEditArea.xMin, mEditArea.xMax) * mTarget.tickSpan * kEdgeTickRate;
    if (vertical && mEdgeScroll[1])
        mTarget.lowestValue -= factor(mPoint.Y, mEditArea.yMin, mEditArea.yMax) * mTarget.valueSpan * kEdgeValueRate;
    ClampTarget(mTarget);
    const float ticks = mTarget.firstTick - before.firstTick;
    const float values = mTarget.lowestValue - before.lowestValue;
    if (ticks == 0.0f && values == 0.0f)
        return;
    mView.firstTick = mTarget.firstTick;
    mView.lowestValue = mTarget.lowestValue;
    mModel.eventGeometryDirty = true;
    // A moved or resized selection keeps pace with the scrolling.
    if (mState == kMoving || mState == kResizing)
    {
        const float follow = kEdgeFollow * mTarget.tickSpan * kEdgeTickRate;
        mDownTick -= std::clamp(ticks, -follow, follow);
    }
    UpdateScrollBars();
}

// A held draw zooms in on the pressed row after a pause, and springs back
// once released. Stepped by a fixed frame so it looks the same at any rate.
void cPianoRoll::StepDrawZoom()
{
    float origin = mView.lowestValue, span = mView.valueSpan;
    if (!mDrawZoom.Step(kDrawZoomStep, &origin, &span))
        return;
    mTarget.lowestValue = mView.lowestValue = origin;
    mTarget.valueSpan = mView.valueSpan = span;
    mModel.eventGeometryDirty = true;
    UpdateScrollBars();
}

void cPianoRoll::UpdateHandles()
{
    const bool selected = mModel.GetSelectionCount() > 0;
    const bool controllers = mModel.GetLane() == cPatternEditModel::kLaneController;
    mHandles[kHandleMove].visible = selected;
    mHandles[kHandleLength].visible = selected && !controllers;
    mHandles[kHandleValue].visible = selected;
    if (!selected)
        return;
    const cPatternEditModel::cSelectionBounds& b = mModel.GetSelectionBounds();
    // Every handle image has the size of the move handle's.
    const float size = gTex8888AtlasTable[PianoRollSprite::kMoveHandle].width;
    const auto inside = [&](float x, float y)
    {
        return cRect{std::clamp(x - size * 0.5f, mEditArea.xMin, mEditArea.xMax - size),
                     std::clamp(y - size * 0.5f, mEditArea.yMin, mEditArea.yMax - size), 0.0f, 0.0f};
    };
    const float left = TickToX(b.earliestStart), right = TickToX(b.latestEnd);
    const float top = ValueToY(b.highestTop), bottom = ValueToY(b.lowestBottom);
    const cRect places[kHandleCount] = {inside(left, bottom + size * 0.5f), inside(right + size * 0.5f, (top + bottom) * 0.5f),
                                        inside((left + right) * 0.5f, top - size * 0.5f)};
    for (int32_t i = 0; i < kHandleCount; ++i)
    {
        cRect rect = places[i];
        rect.xMax = rect.xMin + size;
        rect.yMax = rect.yMin + size;
        mHandles[i].rect = rect;
        if (mState != kMoving + i && !(i == kHandleValue && mState >= kNoteShift && mState <= kControllerShift))
            mHandles[i].dragged = rect;
    }
}

// The dragged handle follows the finger along its axis, inside the area.
void cPianoRoll::DragHandle()
{
    const float dx = mPoint.X - mDownPoint.X, dy = mPoint.Y - mDownPoint.Y;
    const auto shifted = [&](const cRect& r, float x, float y)
    {
        const float w = r.xMax - r.xMin, h = r.yMax - r.yMin;
        const float left = std::clamp(r.xMin + x, mEditArea.xMin, mEditArea.xMax - w);
        const float top = std::clamp(r.yMin + y, mEditArea.yMin, mEditArea.yMax - h);
        return cRect{left, top, left + w, top + h};
    };
    if (mState == kMoving || mState == kResizing)
        mHandles[mState - kMoving].dragged = shifted(mHandles[mState - kMoving].rect, dx, 0.0f);
    else
        mHandles[kHandleValue].dragged = shifted(mHandles[kHandleValue].rect, 0.0f, dy);
}
