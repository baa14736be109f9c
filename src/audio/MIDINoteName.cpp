#include "audio/MIDINoteName.h"

#include "base/GenString.h"

namespace
{
const char* const kNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
} // namespace

void GetMIDINoteName(cGenString& name, int32_t note)
{
    if (note < 0 || note > 127)
    {
        name.AssignCStr("--");
        return;
    }
    name.Printf("%s%d", kNoteNames[note % 12], note / 12 - 1);
}
