#include "editors/PatternEditModel.h"

#include <algorithm>
#include <cmath>

#include "editors/PatternEditAction.h"
#include "editors/SongEditLock.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
using cAction = cPatternEditAction;

constexpr float kSongEnd = cPatternEditModel::kSongEnd;
constexpr float kTicksWithoutGrid = 16.0f; // controllers are drawn this far apart without a grid

// Callers pass what touches and dialogues give; nothing they pass may make a
// tick outside the song or a number that overflows when rounded.
float Finite(float value) { return std::isfinite(value) ? value : 0.0f; }
float Tick(float tick) { return std::clamp(Finite(tick), 0.0f, kSongEnd); }
float Ticks(float ticks) { return std::clamp(Finite(ticks), -kSongEnd, kSongEnd); }
// The velocity lane runs from 0 to 128.
float Velocity(float value) { return std::clamp(Finite(value), 0.0f, 128.0f); }
// A controller event holds a signed 16-bit value.
float ControllerValue(float value) { return std::clamp(Finite(value), -32768.0f, 32767.0f); }

// A grid worth drawing on: grids from the settings are at least 10 ticks.
bool IsUsable(const cQuantizeGrid& grid)
{
    return grid.on != 0 && std::isfinite(grid.interval) && grid.interval >= 1.0f && grid.interval <= kSongEnd &&
           std::isfinite(grid.swingOffset) && std::fabs(grid.swingOffset) <= grid.interval;
}
} // namespace

cPatternEditAction* cPatternEditModel::Run(uint32_t kind, const cPatternEditParameters& parameters)
{
    // One hold for the backup and the edit, so nothing lands between them.
    cSongEditLock lock(cSongEditLock::kChange);
    cPatternEditAction* action = BeginAction();
    action->Reset();
    action->kind = static_cast<cAction::eKind>(kind);
    action->parameters = parameters;
    action->Execute();
    eventGeometryDirty = true;
    visibleBoundsDirty = true;
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return action;
}

int32_t cPatternEditModel::RunOnSelection(uint32_t kind, int32_t amount)
{
    cPatternEditParameters parameters;
    parameters.amount = amount;
    Run(kind, parameters);
    return GetSelectionCount();
}

int32_t cPatternEditModel::NotRun()
{
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    return 0;
}

int32_t cPatternEditModel::Transpose(int32_t semitones)
{
    if (!HasSelectionToEdit() || semitones == 0)
        return NotRun();
    return RunOnSelection(cAction::kTranspose, semitones);
}

int32_t cPatternEditModel::OffsetVelocity(int32_t delta)
{
    if (!HasSelectionToEdit() || delta == 0)
        return NotRun();
    return RunOnSelection(cAction::kOffsetVelocity, delta);
}

int32_t cPatternEditModel::OffsetController(int32_t delta)
{
    if (!HasSelectionToEdit() || delta == 0)
        return NotRun();
    return RunOnSelection(cAction::kOffsetController, delta);
}

int32_t cPatternEditModel::ChangeLength(float delta)
{
    const float ticks = Ticks(delta);
    if (!HasSelectionToEdit() || std::fabs(ticks) < 0.5f)
        return NotRun();
    return RunOnSelection(cAction::kLength, int32_t(std::round(ticks)));
}

int32_t cPatternEditModel::Move(float delta)
{
    const int32_t ticks = int32_t(std::round(Ticks(delta)));
    if (!HasSelectionToEdit() || ticks == 0)
        return NotRun();
    return RunOnSelection(cAction::kMove, ticks);
}

int32_t cPatternEditModel::Quantize(int32_t mode, float interval, float swing)
{
    if (!HasSelectionToEdit() || mode < cAction::kQuantizePosition || mode > cAction::kQuantizeEnd)
        return NotRun();
    cPatternEditParameters parameters;
    parameters.amount = mode;
    parameters.interval = Tick(interval);
    parameters.swing = Ticks(swing);
    Run(cAction::kQuantize, parameters);
    return GetSelectionCount();
}

int32_t cPatternEditModel::DeleteSelected()
{
    if (!HasSelectionToEdit())
        return NotRun();
    return Run(cAction::kDelete, cPatternEditParameters())->GetRemovedCount();
}

int32_t cPatternEditModel::DeleteAll()
{
    if (mUsedViews.IsEmpty() || !GetPattern())
        return NotRun();
    return Run(cAction::kDeleteAll, cPatternEditParameters())->GetRemovedCount();
}

// Just after the selection: from the grid line at or before its start to
// the one after its end, or its own span without a grid; never past the song.
float cPatternEditModel::CopyOffset(const cQuantizeGrid& grid)
{
    UpdateSelectionBounds(0.0f, 0.0f, 0.0f);
    const float start = mBounds.earliestStart, end = mBounds.latestEnd;
    const float offset = IsUsable(grid) ? grid.Ceil(end, false) - grid.Floor(start) : end - start;
    return std::min(offset, kSongEnd - end);
}

int32_t cPatternEditModel::CopySelection(const cQuantizeGrid& grid)
{
    if (!HasSelectionToEdit() || GetPattern()->count >= kMaxEvents)
        return NotRun();
    return RunOnSelection(cAction::kCopy, int32_t(std::round(Ticks(CopyOffset(grid)))));
}

int32_t cPatternEditModel::CopyPattern(int32_t patternNumber)
{
    const cPatternTable* table = cPatternTable::GetInstance();
    const cPattern* source = table ? table->GetPattern(patternNumber) : nullptr;
    const cPattern* pattern = GetPattern();
    // Copying a pattern into itself would walk its own copies.
    if (!pattern || !source || source == pattern || source->count == 0 || pattern->count >= kMaxEvents)
        return NotRun();
    return RunOnSelection(cAction::kCopyPattern, patternNumber);
}

int32_t cPatternEditModel::Clean(int32_t mode)
{
    if (mUsedViews.IsEmpty() || !GetPattern() || mode < cAction::kCleanIdentical ||
        mode > cAction::kCleanAllControllers)
        return NotRun();
    cPatternEditParameters parameters;
    parameters.amount = mode;
    return Run(cAction::kClean, parameters)->GetRemovedCount();
}

int32_t cPatternEditModel::DrawNotes(float tickA, float tickB, float note, const cQuantizeGrid& grid)
{
    if (!GetPattern())
        return NotRun();
    cPatternEditParameters parameters;
    parameters.valueA = std::clamp(Finite(note), 0.0f, 127.0f);
    parameters.tickA = Tick(tickA);
    parameters.tickB = Tick(tickB);
    if (IsUsable(grid))
    {
        parameters.interval = grid.interval;
        parameters.swing = grid.swingOffset;
    }
    const int32_t before = GetViewCount();
    Run(cAction::kDrawNote, parameters);
    return GetViewCount() - before;
}

int32_t cPatternEditModel::DrawVelocities(float tickA, float tickB, float velocityA, float velocityB)
{
    if (!GetPattern())
        return NotRun();
    cPatternEditParameters parameters;
    parameters.tickA = Tick(tickA);
    parameters.tickB = Tick(tickB);
    parameters.valueA = Velocity(velocityA);
    parameters.valueB = Velocity(velocityB);
    if (parameters.tickB < parameters.tickA)
    {
        std::swap(parameters.tickA, parameters.tickB);
        std::swap(parameters.valueA, parameters.valueB);
    }
    parameters.tickB = std::max(parameters.tickB, parameters.tickA + 1.0f);
    const int32_t before = GetViewCount();
    Run(cAction::kDrawVelocity, parameters);
    return GetViewCount() - before;
}

int32_t cPatternEditModel::DrawControllers(float tickA, float tickB, float valueA, float valueB,
                                           const cQuantizeGrid& grid)
{
    const cInstrumentPackage::cControllerParam* entry = GetControllerEntry();
    if (!GetPattern() || !entry)
        return NotRun();
    cPatternEditParameters parameters;
    parameters.tickA = Tick(tickA);
    parameters.tickB = Tick(tickB);
    parameters.valueA = ControllerValue(valueA);
    parameters.valueB = ControllerValue(valueB);
    if (parameters.tickB < parameters.tickA)
    {
        std::swap(parameters.tickA, parameters.tickB);
        std::swap(parameters.valueA, parameters.valueB);
    }
    parameters.tickB = std::max(parameters.tickB, parameters.tickA + 1.0f);
    parameters.controller = uint32_t(entry->paramIndex);
    parameters.interval = kTicksWithoutGrid;
    if (IsUsable(grid))
    {
        parameters.interval = grid.interval;
        parameters.swing = grid.swingOffset;
    }
    const int32_t before = GetViewCount();
    Run(cAction::kDrawController, parameters);
    return GetViewCount() - before;
}
