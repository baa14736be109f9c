#pragma once
#include <cstdint>

// Conversions between float blocks and integer device or file formats. They
// work in groups of four samples: a trailing count % 4 samples is left as it
// is (device blocks are always whole groups). Float input is clamped to
// -1..+1 and truncated toward zero.
void FloatToInt16(const float* source, int16_t* destination, uint32_t count);
void FloatToInt24(const float* source, uint8_t* destination, uint32_t count); // packed little-endian
void FloatToInt32(const float* source, int32_t* destination, uint32_t count);

void Int16ToFloat(const int16_t* source, float* destination, uint32_t count);
void Int24ToFloat(const uint8_t* source, float* destination, uint32_t count);
void Int32ToFloat(const int32_t* source, float* destination, uint32_t count);
