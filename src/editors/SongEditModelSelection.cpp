#include <algorithm>
#include <cmath>
#include <limits>

#include "editors/SongEditModel.h"

namespace
{
// A point inside a view lies at no more than this scaled distance from it.
constexpr float kInside = 0.000001f;

// The remainder after whole bars, also for ticks before the song start.
float BarRemainder(float ticks, float bar) { return ticks - bar * std::floor(ticks / bar); }

// The correction that moves ticks to the nearest bar line; half a bar goes up.
float NearestBarCorrection(float ticks, float bar)
{
    const float remainder = BarRemainder(ticks, bar);
    return remainder < 0.5f * bar ? -remainder : bar - remainder;
}
} // namespace

// --- Selection ---

void cSongEditModel::ClearSelection()
{
    while (cSelectionNode* node = mSelection.PopFront())
    {
        node->view->selection = nullptr;
        node->view = nullptr;
        mFreeNodes.PushFront(node);
    }
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

void cSongEditModel::SelectView(cPartView* view, bool update)
{
    if (view && view->part && !view->selection && !mFreeNodes.IsEmpty())
    {
        cSelectionNode* node = mFreeNodes.PopFront();
        node->view = view;
        view->selection = node;
        mSelection.PushBack(node);
        mHighlightsDirty = true;
    }
    if (update)
        UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

void cSongEditModel::SelectPart(const cPatternInstance* part)
{
    if (cPartView* view = FindView(part))
        SelectView(view, true);
}

void cSongEditModel::ToggleSelected(cPartView* view)
{
    if (cSelectionNode* node = view->selection)
    {
        mSelection.Remove(node);
        node->view = nullptr;
        mFreeNodes.PushFront(node);
        view->selection = nullptr;
    }
    else
        SelectView(view, false);
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

bool cSongEditModel::SelectWhere(bool (*test)(const cPartView& view, const void* context), const void* context)
{
    ClearSelection();
    for (cPartView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        if (test(*view, context))
            SelectView(view, false);
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return !mSelection.IsEmpty();
}

bool cSongEditModel::SelectAll()
{
    return SelectWhere([](const cPartView&, const void*) { return true; }, nullptr);
}

bool cSongEditModel::SelectTracksOfSelection()
{
    if (mSelection.IsEmpty())
        return false;
    uint64_t rows = 0;
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        rows |= uint64_t(1) << (int32_t(node->view->top) & 63);
    return SelectWhere([](const cPartView& view, const void* context)
                       { return ((*static_cast<const uint64_t*>(context) >> (int32_t(view.top) & 63)) & 1) != 0; },
                       &rows);
}

bool cSongEditModel::SelectToEnd()
{
    if (mSelection.IsEmpty())
        return false;
    float earliest = std::numeric_limits<float>::max();
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        earliest = std::min(earliest, node->view->start);
    return SelectFrom(earliest);
}

bool cSongEditModel::SelectFrom(float tick)
{
    return SelectWhere([](const cPartView& view, const void* context)
                       { return view.start >= *static_cast<const float*>(context); },
                       &tick);
}

bool cSongEditModel::SelectToStart()
{
    if (mSelection.IsEmpty())
        return false;
    float latest = std::numeric_limits<float>::lowest();
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        latest = std::max(latest, node->view->end);
    return SelectWhere([](const cPartView& view, const void* context)
                       { return view.end <= *static_cast<const float*>(context); },
                       &latest);
}

bool cSongEditModel::InvertSelection()
{
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        node->view->marks |= kMarked;
    const bool any = SelectWhere([](const cPartView& view, const void*) { return (view.marks & kMarked) == 0; },
                                 nullptr);
    for (cPartView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        view->marks &= ~uint32_t(kMarked);
    return any;
}

bool cSongEditModel::SelectInRect(float tickA, float rowA, float tickB, float rowB)
{
    const float box[4] = {std::min(tickA, tickB), std::max(tickA, tickB), std::min(rowA, rowB), std::max(rowA, rowB)};
    return SelectWhere(
        [](const cPartView& view, const void* context)
        {
            const float* b = static_cast<const float*>(context);
            return view.end >= b[0] && view.start <= b[1] && view.bottom >= b[2] && view.top <= b[3];
        },
        box);
}

void cSongEditModel::SaveSelection()
{
    mSavedCount = 0;
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        mSaved[mSavedCount++] = node->view;
}

void cSongEditModel::RestoreSelection()
{
    ClearSelection();
    for (int32_t i = 0; i < mSavedCount; ++i)
        SelectView(mSaved[i], false);
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

cSongEditModel::cPartView* cSongEditModel::HitTest(float tick, float row, float tickRadius, float rowRadius) const
{
    const float across = std::max(tickRadius, std::numeric_limits<float>::min());
    const float down = std::max(rowRadius, std::numeric_limits<float>::min());
    cPartView* best = nullptr;
    bool bestInside = false;
    float bestScore = 0.0f;
    for (cPartView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
    {
        const float dx = (tick - std::clamp(tick, view->start, view->end)) / across;
        const float dy = (row - std::clamp(row, view->top, view->bottom)) / down;
        const float distance = dx * dx + dy * dy;
        if (!(distance < 1.0f))
            continue;
        // A part holding the point beats any that does not, whatever their
        // lengths; among those the shortest wins, among the others the nearest.
        const bool inside = distance < kInside;
        const float score = inside ? view->end - view->start : distance;
        if (!best || (inside && !bestInside) || (inside == bestInside && score < bestScore))
        {
            best = view;
            bestInside = inside;
            bestScore = score;
        }
    }
    return best;
}

cSongEditModel::cExtent cSongEditModel::GetExtent()
{
    if (!mExtentDirty)
        return mExtent;
    mExtentDirty = false;
    mExtent = cExtent();
    const cPartView* view = mUsedViews.GetFirst();
    if (!view)
        return mExtent;
    mExtent = {view->start, view->end, view->top, view->bottom};
    for (; view; view = view->GetNext())
    {
        mExtent.earliestStart = std::min(mExtent.earliestStart, view->start);
        mExtent.latestEnd = std::max(mExtent.latestEnd, view->end);
        mExtent.lowestRow = std::min(mExtent.lowestRow, view->top);
        mExtent.highestRow = std::max(mExtent.highestRow, view->bottom);
    }
    return mExtent;
}

// --- Drags ---

void cSongEditModel::UpdateSelectionBounds(float timeOffset, float rowOffset, float lengthDelta)
{
    mHighlightsDirty = true;
    const cSelectionNode* node = mSelection.GetFirst();
    if (!node)
    {
        mBounds = cSelectionBounds();
        return;
    }
    mBounds.timeOffset = timeOffset;
    mBounds.rowOffset = rowOffset;
    mBounds.lengthDelta = lengthDelta;
    mBounds.ghostStart = 0.0f;
    mBounds.ghostEnd = 0.0f;
    mBounds.earliestStart = std::numeric_limits<float>::max();
    mBounds.latestEnd = std::numeric_limits<float>::lowest();
    mBounds.lowestRow = std::numeric_limits<float>::max();
    mBounds.highestRow = std::numeric_limits<float>::lowest();
    mBounds.shortestLength = std::numeric_limits<float>::max();
    for (; node; node = node->GetNext())
    {
        const cPartView& view = *node->view;
        const float start = view.start + timeOffset;
        const float end = view.end + timeOffset + lengthDelta;
        mBounds.earliestStart = std::min(mBounds.earliestStart, start);
        mBounds.latestEnd = std::max(mBounds.latestEnd, end);
        mBounds.lowestRow = std::min(mBounds.lowestRow, view.top + rowOffset);
        mBounds.highestRow = std::max(mBounds.highestRow, view.bottom + rowOffset);
        mBounds.shortestLength = std::min(mBounds.shortestLength, end - start);
    }
}

float cSongEditModel::ConstrainMove(float timeOffset)
{
    UpdateSelectionBounds(timeOffset, 0.0f, 0.0f);
    const float correction = NearestBarCorrection(mBounds.earliestStart, TicksPerBar());
    float offset = timeOffset + correction;
    mBounds.earliestStart += correction;
    mBounds.latestEnd += correction;
    float refused = 0.0f;
    if (mBounds.earliestStart < 0.0f)
        refused = mBounds.earliestStart;
    else if (mBounds.latestEnd > kSongEnd)
        refused = mBounds.latestEnd - kSongEnd;
    offset -= refused;
    mBounds.earliestStart -= refused;
    mBounds.latestEnd -= refused;
    mBounds.timeOffset = offset;
    mBounds.ghostStart = offset;
    mBounds.ghostEnd = offset;
    return refused;
}

float cSongEditModel::ConstrainResize(float lengthDelta)
{
    UpdateSelectionBounds(0.0f, 0.0f, lengthDelta);
    const float bar = TicksPerBar();
    const float correction = NearestBarCorrection(mBounds.latestEnd, bar);
    float delta = lengthDelta + correction;
    mBounds.latestEnd += correction;
    mBounds.shortestLength += correction;
    float refused = 0.0f;
    if (mBounds.shortestLength < bar)
    {
        // The shortest selected part stays one bar long.
        const float grow = bar - mBounds.shortestLength;
        delta += grow;
        mBounds.latestEnd += grow;
        mBounds.shortestLength = bar;
    }
    else if (mBounds.latestEnd > kSongEnd)
    {
        refused = mBounds.latestEnd - kSongEnd;
        delta -= refused;
        mBounds.latestEnd -= refused;
        mBounds.shortestLength -= refused;
    }
    mBounds.lengthDelta = delta;
    mBounds.ghostStart = 0.0f;
    mBounds.ghostEnd = delta;
    return refused;
}

float cSongEditModel::ConstrainTrackMove(float rowOffset, float lowestRow, float highestRow)
{
    float offset = std::round(rowOffset);
    UpdateSelectionBounds(0.0f, offset, 0.0f);
    float refused = 0.0f;
    if (mBounds.lowestRow < lowestRow)
        refused = mBounds.lowestRow - lowestRow;
    else if (mBounds.highestRow > highestRow)
        refused = mBounds.highestRow - highestRow;
    if (refused != 0.0f)
    {
        offset -= refused;
        UpdateSelectionBounds(0.0f, offset, 0.0f);
    }
    return refused;
}
