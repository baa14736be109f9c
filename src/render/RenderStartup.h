#pragma once

#include <cstdint>

// The rendering steps of start-up and shutdown, in the order the application
// runs them.

// Makes the sprite tables of the device class's profile current.
void SelectTextureProfiles(int32_t deviceClass);

// Creates the material registry: loads the colour, mono and fill atlases of the
// device class, gives each its solid-fill sprite and registers "TexturedColour",
// "TexturedMono", "Fill", "Untextured" and "UntexturedAlpha". A missing atlas
// leaves its material untextured; false when any atlas did not load.
bool CreateMaterials(int32_t deviceClass);

// Creates the font registry and loads the "Default" font; false when it did not load.
bool CreateFonts();

// Releases the textures' bookkeeping, the material registry and the font registry.
void DestroyMaterialsAndFonts();
