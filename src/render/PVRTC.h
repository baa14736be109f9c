#pragma once

#include <cstdint>

// Expands one PVRTC level (block-ordered, 2 or 4 bits per pixel) to width x height
// RGBA bytes. Width and height must be powers of two; the data must hold the
// level's whole block grid (at least 2 x 2 blocks).
void DecompressPVRTC(const uint8_t* compressed, bool twoBitsPerPixel, uint32_t width, uint32_t height,
                     uint8_t* output);

// Bytes one compressed level occupies, never less than the 2 x 2-block minimum;
// wide, so that sizes read from a file cannot wrap.
uint64_t PVRTCLevelSize(bool twoBitsPerPixel, uint32_t width, uint32_t height);
