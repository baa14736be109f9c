#pragma once

#include <cstdint>

// The window icon, drawn by tools/resgen and compiled into the program:
// straight-alpha RGBA bytes, top row first.
namespace AppIcon
{
constexpr int kWidth = 64;
constexpr int kHeight = 64;
extern const uint8_t kPixels[kWidth * kHeight * 4];
}
