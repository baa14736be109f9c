#include "editors/PatternEditModel.h"

#include <algorithm>
#include <bitset>

#include "sequencer/PatternEvent.h"

namespace
{
using cEventView = cPatternEditModel::cEventView;

constexpr float kInside = 0.000001f; // a distance this small means the point is inside

bool IsSelectable(const cEventView& view) { return (view.flags & cPatternEditModel::kViewSelectable) != 0; }

struct cRange
{
    float low, high;
};

struct cRectangle
{
    cRange ticks, values;
};

bool Meets(float a, float b, const cRange& range) { return std::max(a, b) >= range.low && std::min(a, b) <= range.high; }
} // namespace

void cPatternEditModel::Select(cEventView* view, bool updateBounds)
{
    if ((view->flags & kViewShown) == kViewShown && !view->selection && !mFreeNodes.IsEmpty())
    {
        cSelectionNode* node = mFreeNodes.PopFront();
        node->view = view;
        view->selection = node;
        mSelection.PushBack(node);
    }
    if (updateBounds)
        UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

void cPatternEditModel::ToggleSelect(cEventView* view)
{
    if (cSelectionNode* node = view->selection)
    {
        mSelection.Remove(node);
        mFreeNodes.PushFront(node);
        node->view = nullptr;
        view->selection = nullptr;
    }
    else if (!mFreeNodes.IsEmpty())
    {
        cSelectionNode* added = mFreeNodes.PopFront();
        added->view = view;
        view->selection = added;
        mSelection.PushBack(added);
    }
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

void cPatternEditModel::ClearSelection()
{
    while (cSelectionNode* node = mSelection.PopFront())
    {
        node->view->selection = nullptr;
        node->view = nullptr;
        mFreeNodes.PushFront(node);
    }
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

// Clears the selection, then selects every selectable view that passes.
void cPatternEditModel::SelectWhere(bool (*test)(const cEventView& view, const void* context), const void* context)
{
    ClearSelection();
    for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        if (IsSelectable(*view) && test(*view, context))
            Select(view, false);
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

bool cPatternEditModel::SelectAll()
{
    SelectWhere([](const cEventView&, const void*) { return true; }, nullptr);
    return !mSelection.IsEmpty();
}

bool cPatternEditModel::SelectSameNotes()
{
    if (mSelection.IsEmpty())
        return false;
    std::bitset<128> notes;
    for (cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        if (!node->view->event->IsController())
            notes.set(node->view->event->data1 & 127);
    // Controller views count as note 0.
    SelectWhere([](const cEventView& view, const void* context)
                { return static_cast<const std::bitset<128>*>(context)->test(size_t(view.note & 127)); },
                &notes);
    return !mSelection.IsEmpty();
}

bool cPatternEditModel::SelectToEnd()
{
    if (mSelection.IsEmpty())
        return false;
    float from = mSelection.GetFirst()->view->start;
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        from = std::min(from, node->view->start);
    SelectWhere([](const cEventView& view, const void* context)
                { return view.start >= *static_cast<const float*>(context); },
                &from);
    return !mSelection.IsEmpty();
}

bool cPatternEditModel::SelectToStart()
{
    if (mSelection.IsEmpty())
        return false;
    float to = mSelection.GetFirst()->view->end;
    for (const cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        to = std::max(to, node->view->end);
    SelectWhere([](const cEventView& view, const void* context)
                { return view.end <= *static_cast<const float*>(context); },
                &to);
    return !mSelection.IsEmpty();
}

bool cPatternEditModel::SelectInverse()
{
    for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
        view->flags = view->selection ? view->flags | kViewMarked : view->flags & ~kViewMarked;
    SelectWhere([](const cEventView& view, const void*) { return (view.flags & kViewMarked) == 0; }, nullptr);
    return !mSelection.IsEmpty();
}

bool cPatternEditModel::SelectInRect(float tickA, float valueA, float tickB, float valueB)
{
    if (mUsedViews.IsEmpty())
        return false;
    const cRectangle rectangle = {{std::min(tickA, tickB), std::max(tickA, tickB)},
                                  {std::min(valueA, valueB), std::max(valueA, valueB)}};
    SelectWhere(
        [](const cEventView& view, const void* context)
        {
            const cRectangle& r = *static_cast<const cRectangle*>(context);
            return Meets(view.start, view.end, r.ticks) && Meets(view.bottom, view.top, r.values);
        },
        &rectangle);
    return !mSelection.IsEmpty();
}

void cPatternEditModel::SaveSelection()
{
    mSavedCount = 0;
    for (cSelectionNode* node = mSelection.GetFirst(); node; node = node->GetNext())
        mSaved[mSavedCount++] = node->view;
}

void cPatternEditModel::RestoreSelection()
{
    ClearSelection();
    for (int32_t i = 0; i < mSavedCount; ++i)
        Select(mSaved[i], false);
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
}

void cPatternEditModel::ForgetSelection() { mSavedCount = 0; }

cPatternEditModel::cEventView* cPatternEditModel::HitTest(float tick, float value, float tickRadius,
                                                          float valueRadius) const
{
    cEventView* nearest = nullptr;
    float nearestDistance = 1.0f;
    cEventView* shortestHolding = nullptr;
    float shortestLength = 0.0f;
    for (cEventView* view = mUsedViews.GetFirst(); view; view = view->GetNext())
    {
        if (!IsSelectable(*view))
            continue;
        const float dt = (tick - std::clamp(tick, view->start, std::max(view->start, view->end))) / tickRadius;
        const float low = std::min(view->bottom, view->top), high = std::max(view->bottom, view->top);
        const float dv = (value - std::clamp(value, low, high)) / valueRadius;
        const float distance = dt * dt + dv * dv;
        if (distance < kInside)
        {
            const float length = view->end - view->start;
            if (!shortestHolding || length < shortestLength)
            {
                shortestHolding = view;
                shortestLength = length;
            }
        }
        else if (distance < nearestDistance)
        {
            nearest = view;
            nearestDistance = distance;
        }
    }
    return shortestHolding ? shortestHolding : nearest;
}
