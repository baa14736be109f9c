#pragma once

// Colour-atlas entries of the up/down navigation button, drawn by the
// content generator.
namespace NavButtonSprite
{
enum : int
{
    kBackground = 406,
    kUpArrow = 407,
    kDownArrow = 408,
};
} // namespace NavButtonSprite
