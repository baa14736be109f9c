#include "editors/PatternEditModel.h"

#include <algorithm>
#include <limits>

#include "sequencer/QuantizeSettings.h"

void cPatternEditModel::UpdateSelectionBounds(float timeOffset, float valueOffset, float lengthOffset)
{
    mTimeOffset = timeOffset;
    mValueOffset = valueOffset;
    mLengthOffset = lengthOffset;
    mStartShift = 0.0f;
    mEndShift = 0.0f;
    selectionGeometryDirty = true;
    mBounds = cSelectionBounds();
    if (mSelection.IsEmpty())
    {
        mTimeOffset = mValueOffset = mLengthOffset = 0.0f;
        return;
    }
    constexpr float kFar = std::numeric_limits<float>::max();
    cSelectionBounds b = {kFar, -kFar, kFar, -kFar, kFar, kFar, std::numeric_limits<int32_t>::max(),
                          std::numeric_limits<int32_t>::min()};
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
    {
        const cEventView& view = *node->view;
        // Bars in the value lanes may grow down from a centre line.
        const float bottom = mLane == kLaneNotes ? view.bottom + valueOffset : std::min(view.bottom, view.top);
        b.earliestStart = std::min(b.earliestStart, view.start + timeOffset);
        b.latestEnd = std::max(b.latestEnd, view.end + timeOffset + lengthOffset);
        b.lowestBottom = std::min(b.lowestBottom, bottom);
        b.highestTop = std::max(b.highestTop, view.top + valueOffset);
        b.shortestLength = std::min(b.shortestLength, view.end + lengthOffset - view.start);
        b.lowestTop = std::min(b.lowestTop, view.top + valueOffset);
        b.lowestNote = std::min(b.lowestNote, view.note);
        b.highestNote = std::max(b.highestNote, view.note);
    }
    mBounds = b;
}

void cPatternEditModel::ShiftTime(float delta)
{
    mTimeOffset += delta;
    mBounds.earliestStart += delta;
    mBounds.latestEnd += delta;
}

void cPatternEditModel::ConstrainMove(const cQuantizeGrid& grid)
{
    UpdateSelectionBounds(mTimeOffset, mValueOffset, mLengthOffset);
    if (grid.IsActive() && grid.interval > 0.0f)
        ShiftTime(grid.Snap(mBounds.earliestStart) - mBounds.earliestStart);
    if (mBounds.earliestStart < 0.0f)
        ShiftTime(-mBounds.earliestStart);
    else if (mBounds.latestEnd > kSongEnd)
        ShiftTime(kSongEnd - mBounds.latestEnd);
    mStartShift = mEndShift = mTimeOffset;
}

void cPatternEditModel::ConstrainLength(const cQuantizeGrid& grid)
{
    UpdateSelectionBounds(mTimeOffset, mValueOffset, mLengthOffset);
    float correction = 0.0f;
    if (grid.IsActive() && grid.interval > 0.0f)
        correction = grid.Snap(mBounds.latestEnd) - mBounds.latestEnd;
    if (mBounds.shortestLength + correction < 1.0f)
        correction = 1.0f - mBounds.shortestLength;
    else if (mBounds.latestEnd + correction > kSongEnd)
        correction = kSongEnd - mBounds.latestEnd;
    mLengthOffset += correction;
    mBounds.latestEnd += correction;
    mBounds.shortestLength += correction;
    mStartShift = 0.0f;
    mEndShift = mLengthOffset;
}

void cPatternEditModel::ConstrainNoteShift(float lowest, float highest)
{
    UpdateSelectionBounds(mTimeOffset, mValueOffset, mLengthOffset);
    if (mBounds.lowestBottom < lowest)
        mValueOffset += lowest - mBounds.lowestBottom;
    else if (mBounds.highestTop > highest)
        mValueOffset -= mBounds.highestTop - highest;
    UpdateSelectionBounds(mTimeOffset, mValueOffset, mLengthOffset);
}

void cPatternEditModel::ConstrainValueShift(float lowest, float highest)
{
    UpdateSelectionBounds(mTimeOffset, mValueOffset, mLengthOffset);
    if (mBounds.lowestTop < lowest)
        mValueOffset += lowest - mBounds.lowestTop;
    else if (mBounds.highestTop > highest)
        mValueOffset -= mBounds.highestTop - highest;
    UpdateSelectionBounds(mTimeOffset, mValueOffset, mLengthOffset);
}

void cPatternEditModel::GetVisibleBounds(float* earliestStart, float* latestEnd, float* lowestBottom,
                                         float* highestTop)
{
    if (visibleBoundsDirty)
    {
        visibleBoundsDirty = false;
        bool any = false;
        mVisibleStart = mVisibleEnd = mVisibleBottom = mVisibleTop = 0.0f;
        for (const cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        {
            if (!(view->flags & kViewDrawn))
                continue;
            const float bottom = std::min(view->bottom, view->top), top = std::max(view->bottom, view->top);
            mVisibleStart = any ? std::min(mVisibleStart, view->start) : view->start;
            mVisibleEnd = any ? std::max(mVisibleEnd, view->end) : view->end;
            mVisibleBottom = any ? std::min(mVisibleBottom, bottom) : bottom;
            mVisibleTop = any ? std::max(mVisibleTop, top) : top;
            any = true;
        }
    }
    *earliestStart = mVisibleStart;
    *latestEnd = mVisibleEnd;
    *lowestBottom = mVisibleBottom;
    *highestTop = mVisibleTop;
}
