#include "audio/MIDIControllerMap.h"

#include <climits>

#include "base/GenString.h"
#include "base/Serialise.h"

namespace
{
const cMIDIControllerMap::cSlotList kEmptyList;

bool IsController(int32_t value) { return value >= 0 && value < cMIDIControllerMap::kControllerCount; }
} // namespace

cMIDIControllerMap::cMIDIControllerMap() { ResetAssignments(); }

void cMIDIControllerMap::ResetAssignments()
{
    for (int32_t& assignment : mAssignments)
        assignment = kUnassigned;
    RebuildReverseLists();
}

void cMIDIControllerMap::RebuildReverseLists()
{
    for (cSlotList& list : mReverseLists)
        list.count = 0;
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        if (!IsController(mAssignments[slot]))
            continue;
        cSlotList& list = mReverseLists[mAssignments[slot]];
        list.slots[list.count++] = slot;
    }
}

void cMIDIControllerMap::SetAssignment(int32_t slot, int32_t controller)
{
    if (slot < 0 || slot >= kSlotCount || mAssignments[slot] == controller)
        return;
    mAssignments[slot] = controller;
    RebuildReverseLists();
}

int32_t cMIDIControllerMap::GetAssignment(int32_t slot) const
{
    return slot >= 0 && slot < kSlotCount ? mAssignments[slot] : kUnassigned;
}

const cMIDIControllerMap::cSlotList& cMIDIControllerMap::GetReverseList(int32_t controller) const
{
    return IsController(controller) ? mReverseLists[controller] : kEmptyList;
}

bool cMIDIControllerMap::Serialise(Base::cSerialise& serialiser)
{
    const bool reading = serialiser.IsLoading();
    if (reading)
        ResetAssignments();
    cGenStringFixed<16> name;
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        name.Printf("Ctrl%d", slot);
        serialiser.SerialiseInt32(name.CStr(), &mAssignments[slot], INT_MIN, INT_MAX);
    }
    if (reading)
        RebuildReverseLists();
    return true;
}
