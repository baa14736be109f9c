#pragma once

#include <cstdint>
#include <vector>

// Encodes RGBA bytes (top row first) as a PNG image so a person can look at
// generated art with any viewer.
std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba);
