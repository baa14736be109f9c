// Drives the pattern edit model from the input's bytes: a pattern of up to
// 1000 events, then selections, lane changes, edits of every kind, undos,
// redos and history jumps, checking after each step that the pattern is
// whole and in time order, every view shows its own event and the pattern is
// what it was at the history's current step; at the end, undoing everything
// and redoing everything give the first and the last pattern, and every
// event taken from the pool went back to it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "PatternEditExerciser.h"
#include "sequencer/PatternEvent.h"

namespace
{
[[noreturn]] void Fail(const std::string& failure)
{
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int32_t eventsBefore = cPatternEvent::GetPoolUsedCount();
    {
        cByteChoices choices(data, size);
        cPatternEditExerciser exerciser(choices);
        exerciser.Fill(cPatternEditModel::kMaxViews);
        while (!choices.IsExhausted())
            if (!exerciser.Step())
                Fail(exerciser.GetFailure());
        if (!exerciser.UndoAllRedoAll())
            Fail(exerciser.GetFailure());
    }
    if (cPatternEvent::GetPoolUsedCount() != eventsBefore)
        Fail("events leaked or freed twice");
    return 0;
}
