#pragma once

// Colour-atlas entries of the project page, drawn by the content generator.
namespace ProjectPageSprite
{
enum : int
{
    kSave = 314,
    kSaveAs = 315,
    kNew = 316,
    kExport = 317,
    kLoad = 318,
    kMixdown = 319,
    kShare = 320,
    kEmail = 321,
    kPanel = 322,
    kPanelInner = 323,
};
} // namespace ProjectPageSprite
