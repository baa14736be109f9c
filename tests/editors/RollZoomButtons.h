#pragma once

#include <string>

#include "ui/WidgetButton.h"

// The zoom buttons of a roll (the song roll or the piano roll) whose skins
// reach out of their own rectangles, one line each; empty when every skin
// keeps to its button.
template <class tRoll>
std::string ZoomSkinsOutsideTheirButtons(const tRoll& roll)
{
    std::string outside;
    for (bool vertical : {false, true})
        for (bool in : {false, true})
        {
            cWidgetButton* button = roll.GetZoomButton(vertical, in);
            const cRect& rect = button->GetRect();
            const cRect& skin = button->background.drawRect;
            if (skin.xMin < rect.xMin || skin.yMin < rect.yMin || skin.xMax > rect.xMax || skin.yMax > rect.yMax)
                outside += std::string(button->GetName()) + " skin " + std::to_string(skin.yMin) + ".." +
                           std::to_string(skin.yMax) + " on " + std::to_string(rect.yMin) + ".." +
                           std::to_string(rect.yMax) + "\n";
        }
    return outside;
}
