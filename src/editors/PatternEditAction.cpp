#include "editors/PatternEditAction.h"

#include <cmath>

#include "editors/SongEditLock.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
constexpr const char* kNames[cPatternEditAction::kKindCount] = {
    "",         "Transpose", "Offset vel", "Offset ctrl", "Length",    "Move",     "Quantize", "Delete",
    "Delete all", "Copy",    "Copy ptn",   "Clean",       "Draw note", "Draw vel", "Draw ctrl",
};

constexpr int32_t kShortestNoteEnd = 16; // "Note End" never leaves a note shorter

int32_t Round(float ticks) { return int32_t(std::round(ticks)); }

// Pitches and velocities belong to notes, values to controllers: a shift of
// the other kind of event would write past a note's range or into a
// controller's value, so it leaves that event alone.
bool Shifts(uint32_t kind, const cPatternEvent& event)
{
    if (kind == cPatternEditAction::kTranspose || kind == cPatternEditAction::kOffsetVelocity)
        return !event.IsController();
    return kind != cPatternEditAction::kOffsetController || event.IsController();
}

// The nearest line of a length or end grid: half-way goes up, odd lines swing.
float SnapToLine(float ticks, float interval, float swing)
{
    const float r = std::fmod(ticks, interval);
    float line = ticks - r;
    if (r >= interval * 0.5f)
        line += interval;
    if (int64_t(line / interval) & 1)
        line += swing;
    return line;
}
} // namespace

cPatternEditAction::cPatternEditAction(cPatternEditModel* model) : mModel(model) {}

cPatternEditAction::~cPatternEditAction() { Reset(); }

void cPatternEditAction::Reset()
{
    // A done action owns the events it took out; nothing else refers to them.
    if (mState == kDone)
        for (cPatternEvent* event : mRemoved)
            cPatternEvent::Free(event);
    mRemoved.clear();
    mItems.clear();
    mCreated.clear();
    mValues.clear();
    mKept.clear();
    kind = kNone;
    mState = kNew;
    mPart = nullptr;
    mPattern = nullptr;
    mEventCount = 0;
}

const char* cPatternEditAction::GetName() const { return kind < kKindCount ? kNames[kind] : ""; }

void cPatternEditAction::Execute()
{
    if (IsFirstRun())
    {
        mPart = mModel->GetPart();
        mPattern = mModel->GetPattern();
        mItems.clear();
        for (cPatternEditModel::cSelectionNode* node = mModel->GetSelection().GetFirst(); node;
             node = node->GetNext())
            mItems.push_back(node->view);
    }
    else
        mModel->ClearSelection();
    const bool redo = !IsFirstRun();
    if (mPattern)
    {
        cSongEditLock lock(cSongEditLock::kChange);
        Apply();
    }
    if (redo)
        mModel->UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    mPart = mModel->GetPart();
    mPattern = mModel->GetPattern();
    mEventCount = mPattern ? mPattern->count : 0;
    mState = kDone;
}

void cPatternEditAction::Undo()
{
    mModel->ClearSelection();
    if (mPattern)
    {
        cSongEditLock lock(cSongEditLock::kChange);
        Reverse();
    }
    mModel->UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    mPart = mModel->GetPart();
    mPattern = mModel->GetPattern();
    mEventCount = mPattern ? mPattern->count : 0;
    mState = kUndone;
}

void cPatternEditAction::Apply()
{
    switch (kind)
    {
    case kTranspose:
    case kOffsetVelocity:
    case kOffsetController:
    case kLength:
    case kMove:
    case kQuantize: ApplyToItems(); break;
    case kDelete: DeleteItems(); break;
    case kDeleteAll: DeleteAllViews(); break;
    case kCopy: CopyItems(); break;
    case kCopyPattern: CopyPattern(); break;
    case kClean: Clean(); break;
    case kDrawNote: DrawNotes(); break;
    case kDrawVelocity: DrawVelocities(); break;
    case kDrawController: DrawControllers(); break;
    default: break;
    }
}

void cPatternEditAction::Reverse()
{
    switch (kind)
    {
    case kTranspose:
    case kOffsetVelocity:
    case kOffsetController:
    case kLength:
    case kMove:
    case kQuantize:
    case kDrawVelocity: ReverseItems(); break;
    case kDelete:
    case kDeleteAll:
    case kClean: PutBackRemoved(); break;
    case kCopy: UncopyItems(); break;
    case kCopyPattern: FreeCreated(); break;
    case kDrawNote:
    case kDrawController:
        FreeCreated();
        PutBackRemoved();
        break;
    default: break;
    }
}

// --- Kinds that change each item in place ---

void cPatternEditAction::ApplyToItems()
{
    const bool redo = !IsFirstRun();
    mValues.resize(mItems.size());
    for (size_t i = 0; i < mItems.size(); ++i)
    {
        cEventView* view = mItems[i];
        cPatternEvent* event = view->event;
        const int32_t amount = parameters.amount;
        switch (Shifts(kind, *event) ? kind : kNone)
        {
        case kTranspose:
            mValues[i] = event->data1;
            event->Transpose(amount);
            break;
        case kOffsetVelocity:
            mValues[i] = event->data2;
            event->AddVelocity(amount);
            break;
        case kOffsetController:
            mValues[i] = event->GetControllerValue();
            event->AddControllerValue(amount);
            break;
        case kLength:
            mValues[i] = event->length;
            event->AddLength(amount);
            break;
        case kMove: mPattern->MoveEvent(event, amount, nullptr); break;
        case kQuantize: ApplyQuantize(view, i); break;
        default: break;
        }
        mModel->UpdateView(view, event);
        if (redo)
            mModel->Select(view, false);
    }
}

// Clamped values come back exactly as they were, not by the negated change.
void cPatternEditAction::ReverseItems()
{
    for (size_t i = mItems.size(); i-- > 0;)
    {
        cEventView* view = mItems[i];
        cPatternEvent* event = view->event;
        switch (Shifts(kind, *event) ? kind : kNone)
        {
        // Transposed back, so a note still sounding at the shifted pitch is stopped.
        case kTranspose: event->Transpose(mValues[i] - event->data1); break;
        case kOffsetVelocity: event->SetVelocityForUndo(mValues[i]); break;
        case kOffsetController: event->SetControllerValue(mValues[i]); break;
        case kLength: event->length = mValues[i]; break;
        case kMove: mPattern->MoveEvent(event, -parameters.amount, nullptr); break;
        case kDrawVelocity: event->SetVelocityForUndo(mValues[i]); break;
        case kQuantize: ReverseQuantize(view, i); break;
        default: break;
        }
        mModel->UpdateView(view, event);
        mModel->Select(view, false);
    }
}

void cPatternEditAction::ApplyQuantize(cEventView* view, size_t index)
{
    cPatternEvent* event = view->event;
    mValues[index] = 0;
    if (parameters.amount == kQuantizePosition)
    {
        cQuantizeGrid grid;
        grid.on = 1;
        grid.interval = parameters.interval;
        grid.swingOffset = parameters.swing;
        const int32_t before = event->time;
        mPattern->MoveEvent(event, 0, &grid);
        mValues[index] = event->time - before;
    }
    else if (!event->IsController())
        ApplyQuantizeLength(event, index, parameters.amount == kQuantizeEnd);
}

void cPatternEditAction::ApplyQuantizeLength(cPatternEvent* event, size_t index, bool atEnd)
{
    const float interval = parameters.interval;
    const int32_t before = event->length;
    int32_t length;
    if (atEnd)
    {
        const float end = float(event->time) + float(before);
        const float snapped = interval != 0.0f ? SnapToLine(end, interval, parameters.swing) : end;
        length = std::max(Round(snapped) - event->time, kShortestNoteEnd);
    }
    else
    {
        const float snapped = interval != 0.0f ? SnapToLine(float(before), interval, parameters.swing) : float(before);
        length = std::max(Round(snapped), Round(interval));
    }
    event->length = std::max(1, length);
    mValues[index] = event->length - before;
}

void cPatternEditAction::ReverseQuantize(cEventView* view, size_t index)
{
    cPatternEvent* event = view->event;
    const int32_t delta = mValues[index];
    if (parameters.amount == kQuantizePosition)
    {
        if (delta != 0)
            mPattern->MoveEvent(event, -delta, nullptr);
    }
    else
        event->length = std::max(1, event->length - delta);
}
