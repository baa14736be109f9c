#pragma once

#include <string>

// Rasterises the "Default" font from a TrueType file into "FontDefault.fnt"
// and its glyph atlas "FontDefault.pvr" in the given folder: sizes 6 to 15
// (without 14), ASCII and Latin-1, with kerning pairs.
bool BuildDefaultFont(const std::string& trueTypePath, const std::string& fontFolder);
