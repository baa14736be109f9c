#pragma once
#include <cstdint>

namespace Base
{
class cSerialise;
}

// Which MIDI continuous controller each of an instrument package's 20
// mappable parameter slots listens to, with the reverse lists the MIDI input
// router reads: per controller number, the slots that listen to it.
class cMIDIControllerMap
{
public:
    static constexpr int32_t kSlotCount = 20;
    static constexpr int32_t kControllerCount = 128;
    static constexpr int32_t kUnassigned = -1;

    // The slots listening to one controller, in ascending slot order. Every
    // slot can listen to the same controller, so a list never overflows.
    struct cSlotList
    {
        int32_t count = 0;
        int32_t slots[kSlotCount] = {};
    };

    cMIDIControllerMap();

    void ResetAssignments();
    void RebuildReverseLists();
    // Stores the controller (any value; only 0..127 reach a list) and rebuilds
    // the lists when it changes. A slot outside 0..19 changes nothing.
    void SetAssignment(int32_t slot, int32_t controller);
    // The stored controller, or kUnassigned for a slot outside 0..19.
    int32_t GetAssignment(int32_t slot) const;
    // The slots listening to the controller; an empty list outside 0..127.
    const cSlotList& GetReverseList(int32_t controller) const;

    // Inside the element the caller opened: "Ctrl0".."Ctrl19". Reading starts
    // from no assignments, so slots the file leaves out end up unassigned.
    bool Serialise(Base::cSerialise& serialiser);

private:
    int32_t mAssignments[kSlotCount];
    cSlotList mReverseLists[kControllerCount];
};
