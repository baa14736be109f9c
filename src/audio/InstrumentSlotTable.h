#pragma once
#include <cstdint>

#include "base/Singleton.h"

class cInstrument;
struct cAudioEvent;

// The current project's instruments by slot: the slot is the index of the
// instrument's track group, its MIDI channel and the slot byte of every event
// meant for it. The table only refers to the instruments; their packages own
// them. Callers replace a slot the audio thread may be rendering under the
// audio manager's lock; the table takes none.
class cInstrumentSlotTable : public Base::cSingleton<cInstrumentSlotTable>
{
public:
    static constexpr int32_t kSlotCount = 16;

    cInstrumentSlotTable();
    // Destroys the instruments still in the table.
    ~cInstrumentSlotTable();

    // Every instrument in the table is destroyed by its package.
    void DestroyAll();
    // Puts the instrument (or none) into the slot and gives it the slot's
    // index. The previous occupant is returned, or destroyed by its package
    // when destroyPrevious is set (null is returned then). A slot outside
    // 0..15 is refused: nothing changes and the result is null.
    cInstrument* SetSlot(int32_t slot, cInstrument* instrument, bool destroyPrevious);
    // Null for an empty slot or one outside 0..15.
    cInstrument* GetInstrument(int32_t slot) const;
    // Into the module of the instrument in the event's slot; false, posting
    // nothing, for an empty slot or one outside 0..15.
    bool PostEvent(const cAudioEvent& event) const;

    int32_t GetCount() const { return kSlotCount; }

private:
    cInstrument* mSlots[kSlotCount] = {};
};
