#pragma once

// Colour-atlas entries of the pasteboard page, drawn by the content generator.
namespace PasteboardSprite
{
enum : int
{
    kPasteIcon = 446,
    kAuditionIcon = 447,
    kUnderAudition = 448, // the image centred under "Audition"
    kRowFrame = 449,      // nine-patch around each clip's row
    kHighlightBox = 450,  // nine-patch behind an installed application
    kAppMarkerA = 451,
    kAppMarkerB = 452,
};
} // namespace PasteboardSprite
