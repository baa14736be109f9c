#pragma once
#include <cstdint>

class cDelegate;
class cWidgetButton;

// The roll toolbar's skin in the colour atlas: a button's face, and the
// face it shows pressed or lit.
constexpr int32_t kRollButtonSkin = 240;
constexpr int32_t kRollButtonSkinLit = 241;

// A toolbar button of the piano roll and the song roll, in the mode of
// cWidgetButton, named, with its click delegate and the ID in its tag. Its
// background is the skin sprite, lit by the second sprite, both stretched
// across at their own height; light label text at the UI's text size. The
// caller adds it to a parent and holds its reference.
cWidgetButton* CreateRollButton(const char* name, int32_t mode, int32_t id, const cDelegate& click, int32_t skinSprite,
                                int32_t litSprite);
// An icon above the label, for buttons that carry one.
void SetRollButtonIcon(cWidgetButton* button, int32_t sprite);
// A roll button smaller than the toolbar (the zoom buttons beside the
// scroll bars): its skin stretched both ways into its own rectangle, where
// at the skin's height it would reach over the toolbar's buttons.
void FitRollButtonSkin(cWidgetButton* button);
