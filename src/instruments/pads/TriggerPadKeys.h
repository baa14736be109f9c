#pragma once
#include <cstdint>

namespace Base
{
class cSerialise;
struct cEnumTable;
}

// One stored key of a pad set. Writing goes through the serialiser's typed
// values. Reading takes the key's text and accepts only a whole number that
// fits the field (a finite one for floats) or a label of the field's list, so
// a damaged bank is told from a good one: each returns false, leaving the
// value, for a key whose text is not such a value. A missing key leaves the
// value and counts as read.
namespace TriggerPadKeys
{
bool SerialiseInt(Base::cSerialise& s, const char* key, int32_t& value);
bool SerialiseUInt(Base::cSerialise& s, const char* key, uint32_t& value);
bool SerialiseFloat(Base::cSerialise& s, const char* key, float& value);
// By label; a decimal number is read only when the list has that value.
bool SerialiseLabel(Base::cSerialise& s, const char* key, int32_t& value, const Base::cEnumTable& labels);
} // namespace TriggerPadKeys
