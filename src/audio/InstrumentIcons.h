#pragma once

#include <cstdint>

// Colour-atlas entries of the instrument packages' icons, drawn by the
// content generator: one for the instrument grid, one for lists of
// instrument types.
namespace InstrumentIcons
{
constexpr int32_t kMixerGrid = 242;
constexpr int32_t kSynthGrid = 243;
constexpr int32_t kPadsGrid = 244;
constexpr int32_t kMixerList = 245;
constexpr int32_t kSynthList = 246;
constexpr int32_t kPadsList = 247;
} // namespace InstrumentIcons
