#include "instruments/synth/ui/LiveControlEvents.h"

#include "audio/AudioEvent.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "sequencer/Sequencer.h"

namespace
{
cAudioEvent LiveEvent(const cAnalogueSynthInstrument& instrument, uint8_t type)
{
    cAudioEvent event;
    event.type = type;
    event.slot = uint8_t(instrument.GetSlot());
    return event;
}

void PostToSequencer(const cAudioEvent& event)
{
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->PostEvent(event);
}
} // namespace

void PostLiveValue(cAnalogueSynthInstrument* instrument, int32_t index, float value)
{
    cAnalogueSynth* module = instrument ? instrument->GetSynth() : nullptr;
    if (!module)
        return;
    cAudioEvent event = LiveEvent(*instrument, kAudioEventModuleParam);
    event.wordA = 0;
    event.wordB = uint32_t(index);
    event.valueF = value;
    module->PostEvent(event);
    PostToSequencer(event);
}

void PostLiveTouch(cAnalogueSynthInstrument* instrument, int32_t index, bool held)
{
    if (!instrument || !instrument->GetSynth())
        return;
    cAudioEvent event = LiveEvent(*instrument, kAudioEventParamTouch);
    event.wordA = uint32_t(index);
    event.wordB = held ? 1u : 0u;
    PostToSequencer(event);
}
