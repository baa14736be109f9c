#include "sequencer/MIDIFileProjectHost.h"

namespace
{
cMIDIFileProjectHost* sHost = nullptr;
} // namespace

void SetMIDIFileProjectHost(cMIDIFileProjectHost* host) { sHost = host; }

cMIDIFileProjectHost* GetMIDIFileProjectHost() { return sHost; }
