#pragma once

// Colour-atlas entries of the sampler's Effects tab, drawn by the content
// generator.
namespace SamplerEffectsSprite
{
enum : int
{
    kStrip = 80,       // nine-patch behind the control strip
    kCheek = 81,       // three-patch down; its width is the end cheeks'
    kProcessIcon = 82, // the process button's icon
    kMeterHousing = 83, // the clip LEDs' housing above the meter; its width is the meter's
    kClipMarkerLeft = 84, // inside the housing: where each clip LED sits
    kClipMarkerRight = 85,
    kClipLed = 86,
    kMeterStrip = 174, // 21 segments down; tinted: white art
};
} // namespace SamplerEffectsSprite
