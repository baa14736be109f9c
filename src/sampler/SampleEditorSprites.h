#pragma once

// Colour-atlas entries of the sample editor, drawn by the content generator.
namespace SampleEditorSprite
{
enum : int
{
    kButton = 290, // three-patch across, natural height
    kButtonPressed = 291,
    kBottomBar = 292, // three-patch across; its height is the bottom bar's
    kRuler = 293,     // stretched over the ruler strip; its height is the strip's
    kAmplitudeBox = 294, // three-patch down; its size is the box's and the top strip's height
    kStartHandle = 295,
    kEndHandle = 296,
    kScrollMode = 297, // icon of the scroll-mode toggle
};
} // namespace SampleEditorSprite
