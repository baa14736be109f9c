#pragma once

// Colour-atlas entries of the piano roll, drawn by the content generator.
namespace PianoRollSprite
{
enum : int
{
    kMoveHandle = 36,   // drags the selection along time
    kLengthHandle = 37, // drags the selection's ends
    kValueHandle = 38,  // shifts notes, velocities or controller values
    kScrollModeIcon = 39,
    kRuler = 40,       // stretched along the ruler
    kLoopRegion = 41,  // stretched over the shared pattern's repeat
    kQuantizeIcon = 42, // the "Qtz" button's icon
    kDoneIcon = 43,     // the "Done" button's icon
};
} // namespace PianoRollSprite
