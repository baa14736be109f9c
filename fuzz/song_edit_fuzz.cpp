// Drives the song edit model from the input's bytes: a song of tracks on
// three instruments with parts on private and shared patterns, then
// selections, drags, every command on parts, tracks and instruments,
// piano-roll visits, undos, redos and history jumps, checking after each
// step that every view shows a part of the song on its own row and the song
// is what it was at the history's current step; at the end, undoing
// everything and redoing everything give the first and the last song, and
// every part and event taken from the pools went back to them.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "SongEditExerciser.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"

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
    const int32_t partsBefore = cPatternInstance::GetPoolUsedCount();
    const int32_t eventsBefore = cPatternEvent::GetPoolUsedCount();
    {
        cByteChoices choices(data, size);
        cSongEditExerciser exerciser(choices);
        exerciser.Fill();
        while (!choices.IsExhausted())
            if (!exerciser.Step())
                Fail(exerciser.GetFailure());
        if (!exerciser.UndoAllRedoAll())
            Fail(exerciser.GetFailure());
    }
    if (cPatternInstance::GetPoolUsedCount() != partsBefore || cPatternEvent::GetPoolUsedCount() != eventsBefore)
        Fail("parts or events leaked or freed twice");
    return 0;
}
