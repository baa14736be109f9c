#pragma once

// Colour-atlas entries of the mixdown dialogue, drawn by the content generator.
namespace MixdownSprite
{
enum : int
{
    kMixdown = 402,   // the "Mixdown" button's icon
    kFormatWav = 403, // the file browser's icons of the output formats
    kFormatOgg = 404,
    kFormatZip = 405,
};
} // namespace MixdownSprite
