#pragma once

#include <cstdint>

// The toolkit's house colours, red in the lowest byte like every colour the
// draw list takes: the lit and value colours are blues.
namespace HouseColour
{
constexpr uint32_t kLit = 0xffba8400;         // lit buttons and icons
constexpr uint32_t kDarkCaption = 0xff1e1e1e; // captions and texts on light panels
constexpr uint32_t kDarkText = 0xff202020;    // titles, label values, dark skins
constexpr uint32_t kGreyLabel = 0xffb4b4b4;
constexpr uint32_t kLightLabel = 0xffdcdcdc; // labels on the dark button skins
constexpr uint32_t kValue = 0xffe5b000;      // value texts and lit meter segments
constexpr uint32_t kUnlitSegment = 0xff4c3a00;
constexpr uint32_t kDisabledText = 0xff808080;
constexpr uint32_t kWhite = 0xffffffff;
} // namespace HouseColour
