#pragma once

#include "HouseStyle.h"

// The mixdown dialogue's art: the "Mixdown" button's icon and the file
// browser's icons of the three output formats.
namespace MixdownArt
{
// The mix pouring down into a tray.
void DrawMixdownIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
// A page with a folded corner: a waveform for WAV, a waveform in a ring for
// Ogg Vorbis, a zipper for a zip archive.
void DrawWavIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawOggIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawZipIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace MixdownArt
