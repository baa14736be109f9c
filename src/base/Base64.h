#pragma once

#include <cstdint>
#include <vector>

// Base64 with the standard alphabet and "=" padding. Both codecs append to
// what out already holds.

// Lines of at most 72 characters, each ended by "\r\n" (the last included),
// then one NUL byte. An empty input gives only the NUL.
void Base64Encode(const uint8_t* data, int32_t length, std::vector<uint8_t>& out);

// Lenient: characters outside the alphabet (line breaks, "=", anything else)
// are passed over; padding follows from the count of significant characters.
void Base64Decode(const char* text, int32_t length, std::vector<uint8_t>& out);
