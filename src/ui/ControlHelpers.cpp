#include "ui/ControlHelpers.h"

#include "render/Font.h"

float FontSizeOf(const cFontHandle& font) { return font.IsValid() ? font.sizeEntry->size : 0.0f; }
