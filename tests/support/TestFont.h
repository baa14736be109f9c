#pragma once

#include "render/Font.h"

#include <cstdint>
#include <vector>

// A font with sizes 10, 12 and 16 whose metrics are easy to reason about:
// every glyph advances half the size and fills a box of that width and the
// full size high; 'A' kerns 'V' by -0.2 of the size; the byte 0xE9 reaches
// glyph 129 through a code range; anything else above 0x7F shows glyph 0.
// The glyph number is stored in u0, so tests can tell glyphs apart.
// Null only if the font's own tables were refused.
cFont* MakeTestFont();
// The font file of that font; its texture is "TestFont.pvr" beside it.
std::vector<uint8_t> TestFontBytes();
