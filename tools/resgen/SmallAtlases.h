#pragma once

#include "AtlasLayout.h"

// The mono atlas (alpha masks tinted by code): 6 entries, 5 the solid fill.
void BuildMonoAtlas(bool tablet, cAtlasLayout& layout);
// The fill atlas: line cross-sections by width, 29 the solid fill.
void BuildFillAtlas(cAtlasLayout& layout);
// The installer screen at its 1x size; the double-resolution file paints the
// same layout at scale 2.
void BuildInstallerAtlas(cAtlasLayout& layout);
