#pragma once

struct cAtlasSprite;

// The Fill atlas line sprite whose cross-section is closest to the width:
// widths 1..16 get a sprite two pixels wider than the line, anything wider
// the 22-pixel sprite.
const cAtlasSprite* GetLineSpriteForWidth(float width);
