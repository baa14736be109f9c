#pragma once

#include <string>

// Writes the separate textures: the brushed panel, the keyboard keys, the
// piano-roll and song-roll backgrounds, into the given folder.
bool WriteTextures(const std::string& textureFolder);
