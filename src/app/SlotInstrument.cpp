#include "app/SlotInstrument.h"

#include "audio/InstrumentSlotTable.h"

cInstrument* GetSlotInstrument(int32_t slot)
{
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    return slots ? slots->GetInstrument(slot) : nullptr;
}
