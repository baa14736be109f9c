#pragma once

// Colour-atlas entries of the sampler page's own controls, drawn by the
// content generator.
namespace SamplerSprite
{
enum : int
{
    kTransportButton = 70, // natural size; the buttons overlap by one pixel
    kTransportButtonPressed = 71,
    kStopIcon = 72, // icons centred on the buttons; white art for tinting
    kPlayIcon = 73,
    kLoopIcon = 74,
};
} // namespace SamplerSprite
