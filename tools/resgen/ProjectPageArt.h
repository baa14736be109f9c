#pragma once

#include "HouseStyle.h"

// The project page's button icons and the instrument properties dialogue's
// check background.
namespace ProjectPageArt
{
enum class eIcon
{
    Save, SaveAs, New, Export, Load, Share, Email
};

// Line art in the label colour with a value-coloured accent, filling the box.
void DrawIcon(cCanvas& canvas, const HouseStyle::cRectF& r, eIcon icon);
// The lit band behind a checked list row.
void DrawCheckBackground(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace ProjectPageArt
