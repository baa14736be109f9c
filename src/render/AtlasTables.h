#pragma once

#include "render/AtlasSprite.h"

// Sprite tables of the generated atlases, one per atlas and profile. They are
// written by tools/resgen together with the atlas images, so both always match.
namespace AtlasTables
{
constexpr int kTex8888Count = 466;   // colour atlas; entry 465 is the solid fill
constexpr int kTex8Count = 6;        // mono atlas; entry 5 is the solid fill
constexpr int kInstallerCount = 5;   // installer screen
constexpr int kFillCount = 30;       // line cross-sections; entry 29 is the solid fill

extern const cAtlasSprite kTex8888Default[kTex8888Count];
extern const cAtlasSprite kTex8888Tablet[kTex8888Count];
extern const cAtlasSprite kTex8888Desktop[kTex8888Count];
extern const cAtlasSprite kTex8Default[kTex8Count];
extern const cAtlasSprite kTex8Tablet[kTex8Count];
extern const cAtlasSprite kInstallerDefault[kInstallerCount];
extern const cAtlasSprite kFillDefault[kFillCount];
}
