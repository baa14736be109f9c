#pragma once

#include <vector>

#include "audio/InstrumentSlotTable.h"
#include "audio/TestInstrument.h"

// The slot table with test instruments in slots 0 and 1, and what they received.
class cSlotInstruments
{
public:
    cSlotInstruments()
    {
        for (int32_t slot : {0, 1})
            slots.SetSlot(slot, package.CreateInstrument(0), false);
    }

    cTestInstrumentModule& Module(int32_t slot)
    {
        return static_cast<cTestInstrument*>(slots.GetInstrument(slot))->Module();
    }

    // What the slot's instrument received since the last call.
    std::vector<cAudioEvent> Take(int32_t slot)
    {
        cTestInstrumentModule& module = Module(slot);
        module.DrainEvents();
        std::vector<cAudioEvent> events(module.events, module.events + module.eventCount);
        module.eventCount = 0;
        return events;
    }

    static std::vector<cAudioEvent> OfType(const std::vector<cAudioEvent>& events, uint8_t type)
    {
        std::vector<cAudioEvent> found;
        for (const cAudioEvent& event : events)
            if (event.type == type)
                found.push_back(event);
        return found;
    }

    cTestPackage package;
    cInstrumentSlotTable slots;
};
