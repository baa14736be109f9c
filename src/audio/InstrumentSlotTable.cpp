#include "audio/InstrumentSlotTable.h"

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"

namespace
{
bool IsSlot(int32_t slot) { return slot >= 0 && slot < cInstrumentSlotTable::kSlotCount; }

void Destroy(cInstrument* instrument) { instrument->GetPackage()->DestroyInstrument(instrument); }
} // namespace

cInstrumentSlotTable::cInstrumentSlotTable() : cSingleton(this) {}

cInstrumentSlotTable::~cInstrumentSlotTable() { DestroyAll(); }

void cInstrumentSlotTable::DestroyAll()
{
    for (cInstrument*& instrument : mSlots)
    {
        if (instrument)
            Destroy(instrument);
        instrument = nullptr;
    }
}

cInstrument* cInstrumentSlotTable::SetSlot(int32_t slot, cInstrument* instrument, bool destroyPrevious)
{
    if (!IsSlot(slot))
        return nullptr;
    cInstrument* previous = mSlots[slot];
    mSlots[slot] = instrument;
    if (instrument)
        instrument->SetSlot(slot);
    if (destroyPrevious && previous)
    {
        Destroy(previous);
        return nullptr;
    }
    return previous;
}

cInstrument* cInstrumentSlotTable::GetInstrument(int32_t slot) const
{
    return IsSlot(slot) ? mSlots[slot] : nullptr;
}

bool cInstrumentSlotTable::PostEvent(const cAudioEvent& event) const
{
    const cInstrument* instrument = GetInstrument(event.slot);
    if (!instrument || !instrument->GetModule())
        return false;
    return instrument->GetModule()->PostEvent(event);
}
