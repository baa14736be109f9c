#include "PatternEditExerciser.h"

#include <algorithm>
#include <sstream>
#include <unordered_set>

#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "editors/PatternEditAction.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
using cEventView = cPatternEditModel::cEventView;

enum eOperation : uint32_t
{
    kSelectAll,
    kClearSelection,
    kToggle,
    kSelectRect,
    kSelectSameNotes,
    kSelectToEnd,
    kSelectToStart,
    kSelectInverse,
    kSaveAndRestore,
    kSetLane,
    kConstrain,
    kGoToStep,
    kUndo,
    kRedo,
    kRebuild,
    kEditFirst, // and one per edit kind after it
    kOperationCount = kEditFirst + cPatternEditAction::kDrawController,
};

constexpr int32_t kSharedSources[] = {1, 2, 3};
const int32_t kControllerIds[] = {cPatternEditWorld::kPlainController, cPatternEditWorld::kCentredController,
                                  cPatternEditWorld::kOtherController};
} // namespace

cPatternEditExerciser::cPatternEditExerciser(cChoiceSource& choices) : mChoices(choices), mModel(mWorld.model)
{
    SetProjectModifiedFlag(&mActionBegun);
}

cPatternEditExerciser::~cPatternEditExerciser() { SetProjectModifiedFlag(nullptr); }

void cPatternEditExerciser::Fill(int32_t maxEvents)
{
    {
        cScopedLock lock(mWorld.sequencer.GetLock());
        const int32_t count = int32_t(mChoices.Next(uint32_t(maxEvents) + 1));
        for (int32_t i = 0; i < count; ++i)
        {
            const int32_t time = int32_t(mChoices.Next(8192));
            const int32_t length = 1 + int32_t(mChoices.Next(400));
            if (mChoices.Next(4) == 0)
                cPatternEditWorld::AddControllerTo(mWorld.Pattern(), time, kControllerIds[mChoices.Next(3)],
                                                   int32_t(mChoices.Next(65536)) - 32768, length);
            else
                cPatternEditWorld::AddNoteTo(mWorld.Pattern(), time, 40 + int32_t(mChoices.Next(40)), length,
                                             1 + int32_t(mChoices.Next(127)));
        }
        for (int32_t number : kSharedSources)
        {
            cPattern& shared = *cPatternTable::GetInstance()->GetPattern(number);
            for (int32_t i = int32_t(mChoices.Next(6)); i > 0; --i)
                cPatternEditWorld::AddNoteTo(shared, int32_t(mChoices.Next(4600)), 60, 1 + int32_t(mChoices.Next(300)),
                                             100);
        }
    }
    mWorld.Rebuild();
    mStates.assign(1, SortedRecords(mWorld.Pattern()));
}

cQuantizeGrid cPatternEditExerciser::NextGrid()
{
    cQuantizeSettings settings;
    settings.on = int32_t(mChoices.Next(2));
    settings.interval = int32_t(mChoices.Next(cQuantizeSettings::kIntervalCount));
    settings.type = int32_t(mChoices.Next(cQuantizeSettings::kTypeCount));
    settings.swing = float(mChoices.Next(3)) * 0.5f;
    cQuantizeGrid grid;
    grid.Apply(settings);
    return grid;
}

cEventView* cPatternEditExerciser::NextView()
{
    const int32_t count = mModel.GetViewCount();
    if (count == 0)
        return nullptr;
    cEventView* view = mModel.GetViews().GetFirst();
    for (int32_t i = int32_t(mChoices.Next(uint32_t(count))); i > 0; --i)
        view = view->GetNext();
    return view;
}

bool cPatternEditExerciser::Step()
{
    // Every action begun marks the project modified; nothing else here does.
    mActionBegun = false;
    const int32_t current = mModel.GetCurrentStep();
    const uint32_t operation = mChoices.Next(kOperationCount);
    Operate(operation);
    if (operation == kRebuild)
        mStates.assign(1, SortedRecords(mWorld.Pattern()));
    else if (mActionBegun)
    {
        // A new step: the undone ones go, and with four done the oldest.
        mStates.resize(size_t(current + 2));
        if (current == cPatternEditModel::kHistorySteps - 1)
            mStates.pop_front();
        mStates.push_back(SortedRecords(mWorld.Pattern()));
        ++mEdits;
    }
    return Check(("operation " + std::to_string(operation)).c_str());
}

void cPatternEditExerciser::Operate(uint32_t operation)
{
    switch (operation)
    {
    case kSelectAll: mModel.SelectAll(); break;
    case kClearSelection: mModel.ClearSelection(); break;
    case kToggle:
        if (cEventView* view = NextView())
            mModel.ToggleSelect(view);
        break;
    case kSelectRect:
        mModel.SelectInRect(NextTick(), mChoices.NextFloat(-9000.0f, 9000.0f), NextTick(),
                            mChoices.NextFloat(-9000.0f, 9000.0f));
        break;
    case kSelectSameNotes: mModel.SelectSameNotes(); break;
    case kSelectToEnd: mModel.SelectToEnd(); break;
    case kSelectToStart: mModel.SelectToStart(); break;
    case kSelectInverse: mModel.SelectInverse(); break;
    case kSaveAndRestore:
        mModel.SaveSelection();
        mModel.SelectAll();
        mModel.RestoreSelection();
        break;
    case kSetLane:
        mModel.SetLane(int32_t(mChoices.Next(3)), int32_t(mChoices.Next(3)), mChoices.Next(2) != 0);
        break;
    case kConstrain:
        mModel.UpdateSelectionBounds(mChoices.NextFloat(-9000.0f, 9000.0f), mChoices.NextFloat(-200.0f, 200.0f),
                                     mChoices.NextFloat(-9000.0f, 9000.0f));
        mModel.ConstrainMove(NextGrid());
        mModel.ConstrainLength(NextGrid());
        mModel.ConstrainNoteShift(0.0f, 128.0f);
        mModel.ConstrainValueShift(-8192.0f, 8191.0f);
        break;
    case kGoToStep: mModel.GoToHistoryStep(int32_t(mChoices.Next(7)) - 2); break;
    case kUndo: mModel.UndoStep(); break;
    case kRedo: mModel.RedoStep(); break;
    case kRebuild: mModel.RebuildViews(); break;
    default: Edit(operation - kEditFirst + 1); break;
    }
}

void cPatternEditExerciser::Edit(uint32_t kind)
{
    using cAction = cPatternEditAction;
    switch (kind)
    {
    case cAction::kTranspose: mModel.Transpose(int32_t(mChoices.Next(49)) - 24); break;
    case cAction::kOffsetVelocity: mModel.OffsetVelocity(int32_t(mChoices.Next(255)) - 127); break;
    case cAction::kOffsetController: mModel.OffsetController(int32_t(mChoices.Next(80001)) - 40000); break;
    case cAction::kLength: mModel.ChangeLength(mChoices.NextFloat(-3000.0f, 3000.0f)); break;
    case cAction::kMove: mModel.Move(mChoices.NextFloat(-5000.0f, 5000.0f)); break;
    case cAction::kQuantize:
    {
        const cQuantizeGrid grid = NextGrid();
        mModel.Quantize(int32_t(mChoices.Next(5)), grid.interval, grid.swingOffset);
        break;
    }
    case cAction::kDelete: mModel.DeleteSelected(); break;
    case cAction::kDeleteAll:
        // Rarely, or little would be left to edit.
        if (mChoices.Next(8) == 0)
            mModel.DeleteAll();
        break;
    case cAction::kCopy: mModel.CopySelection(NextGrid()); break;
    case cAction::kCopyPattern:
    {
        const uint32_t pick = mChoices.Next(5);
        mModel.CopyPattern(pick < 3 ? kSharedSources[pick] : pick == 3 ? mWorld.Pattern().number : -1);
        break;
    }
    case cAction::kClean: mModel.Clean(int32_t(mChoices.Next(4))); break;
    case cAction::kDrawNote:
    {
        const float a = NextTick();
        const float b = mChoices.Next(2) ? a + mChoices.NextFloat(-10.0f, 10.0f) : NextTick();
        mModel.DrawNotes(a, b, mChoices.NextFloat(30.0f, 90.0f), NextGrid());
        break;
    }
    case cAction::kDrawVelocity:
        mModel.DrawVelocities(NextTick(), NextTick(), mChoices.NextFloat(-20.0f, 150.0f),
                              mChoices.NextFloat(-20.0f, 150.0f));
        break;
    default:
        mModel.DrawControllers(NextTick(), NextTick(), mChoices.NextFloat(-40000.0f, 40000.0f),
                               mChoices.NextFloat(-40000.0f, 40000.0f), NextGrid());
        break;
    }
}

bool cPatternEditExerciser::UndoAllRedoAll()
{
    mModel.GoToHistoryStep(-1);
    if (!Check("undo all"))
        return false;
    mModel.GoToHistoryStep(mModel.GetStepCount() - 1);
    return Check("redo all");
}

bool cPatternEditExerciser::Check(const char* operation)
{
    if (CheckPattern() && CheckViews() && CheckHistory())
        return true;
    mFailure = std::string("after ") + operation + ": " + mFailure;
    return false;
}

bool cPatternEditExerciser::Fail(const std::string& text)
{
    mFailure = text;
    return false;
}

bool cPatternEditExerciser::CheckPattern()
{
    const cPattern& pattern = mWorld.Pattern();
    int32_t count = 0;
    const cPatternEvent* previous = nullptr;
    for (const cPatternEvent* e = pattern.head; e; previous = e, e = e->next, ++count)
    {
        if (e->previous != previous)
            return Fail("a broken link at event " + std::to_string(count));
        if (previous && previous->time > e->time)
            return Fail("out of time order at event " + std::to_string(count));
    }
    if (pattern.tail != previous || pattern.count != count)
        return Fail("the count or tail disagrees with the list");
    return true;
}

bool cPatternEditExerciser::CheckViews()
{
    std::unordered_set<const cPatternEvent*> events;
    for (const cPatternEvent* e = mWorld.Pattern().head; e; e = e->next)
        events.insert(e);
    std::unordered_set<const cPatternEvent*> shown;
    for (const cEventView* view = mModel.GetViews().GetFirst(); view; view = view->GetNext())
    {
        const cPatternEvent* e = view->event;
        if (!e || !events.count(e) || !shown.insert(e).second)
            return Fail("a view shows no event of the pattern, or one shown twice");
        const int32_t note = e->IsController() ? 0 : e->data1;
        if (view->start != float(e->time) || view->end != float(e->time) + float(e->length) || view->note != note)
            return Fail("a view's geometry is not its event's");
    }
    if (mModel.GetViewCount() + mModel.GetFreeViewCount() != cPatternEditModel::kMaxViews)
        return Fail("views lost from the pools");
    // Filled with at most 1000 events, and no edit goes past that.
    if (shown.size() != events.size())
        return Fail("an event without a view");
    int32_t selected = 0;
    for (const auto* node = mModel.GetSelection().GetFirst(); node; node = node->GetNext(), ++selected)
        if (!node->view->event || node->view->selection != node)
            return Fail("a selection node of a free view");
    if (selected > mModel.GetViewCount())
        return Fail("more selected than shown");
    return true;
}

bool cPatternEditExerciser::CheckHistory()
{
    const int32_t current = mModel.GetCurrentStep();
    if (int32_t(mStates.size()) != mModel.GetStepCount() + 1)
        return Fail("the history holds " + std::to_string(mModel.GetStepCount()) + " steps, expected " +
                    std::to_string(mStates.size() - 1));
    if (SortedRecords(mWorld.Pattern()) != mStates[size_t(current + 1)])
    {
        std::string steps;
        for (int32_t i = 0; i < mModel.GetStepCount(); ++i)
            steps += std::string(" \"") + mModel.GetStep(i)->GetName() + "\"";
        const std::vector<cEventRecord> now = SortedRecords(mWorld.Pattern());
        const std::vector<cEventRecord>& then = mStates[size_t(current + 1)];
        std::ostringstream first;
        for (size_t i = 0; i < std::min(now.size(), then.size()); ++i)
            if (!(now[i] == then[i]))
            {
                first << " first difference " << now[i] << " for " << then[i];
                break;
            }
        return Fail("the pattern differs from its state at step " + std::to_string(current) + " of" + steps + ", " +
                    std::to_string(now.size()) + " events for " + std::to_string(then.size()) + first.str());
    }
    return true;
}
