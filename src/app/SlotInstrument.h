#pragma once

#include <cstdint>

class cInstrument;

// The instrument in a slot now, or null: for an empty slot, a slot outside
// 0..15 or before the slot table exists. The screens ask afresh each time
// rather than keep a pointer that a removal could leave dangling.
cInstrument* GetSlotInstrument(int32_t slot);
