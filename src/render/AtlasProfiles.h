#pragma once

#include <cstdint>

struct cAtlasSprite;

// The current sprite table of each atlas; each starts at its "default" table.
// Widgets name skin images by their index in the colour table.
extern const cAtlasSprite* gTex8888AtlasTable;
extern const cAtlasSprite* gTex8AtlasTable;
extern const cAtlasSprite* gInstallerTable;
extern const cAtlasSprite* gFillAtlasTable;

// Solid-fill entries: a white 1 x 1 sprite at each atlas's top-left texel.
constexpr int kTex8888SolidFill = 465;
constexpr int kTex8SolidFill = 5;
constexpr int kFillSolidFill = 29;

// Each makes the table of the named profile current; an unknown name (the
// match is case-sensitive) leaves the current table as it is.
void SelectTex8888AtlasTable(const char* profile);
void SelectTex8AtlasTable(const char* profile);
void SelectInstallerTable(const char* profile);
void SelectFillAtlasTable(const char* profile);

// "default" for the phone class, "tablet" and "desktop" for the others.
const char* GetTextureProfileName(int32_t deviceClass);
