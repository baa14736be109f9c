#pragma once

// Colour-atlas entries of the sampler's Resample and Sample tabs, drawn by
// the content generator.
namespace SamplerPanelSprite
{
enum : int
{
    kMeterStrip = 28, // the capture's input meter: a horizontal segment strip
    kMeterFrame = 29, // three-patch across round the meter
    kBackground = 298, // nine-patch behind a tab's controls
    kBackgroundInner = 299,
    kShadowRect = 300, // nine-patch sunk behind the status text
    kShadowRectInner = 301,
    kRecordIcon = 302, // the "REC" button's icon
};
} // namespace SamplerPanelSprite
