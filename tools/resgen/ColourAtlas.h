#pragma once

#include "AtlasLayout.h"

// Device classes whose art differs in size.
enum class eProfile { Phone, Tablet, Desktop };

// The manifest of the colour atlas: every index of the 466-entry table, with
// its size for the profile, its role and how code draws it. Indices no code
// uses share one small neutral placeholder.
void BuildColourAtlas(eProfile profile, cAtlasLayout& layout);
