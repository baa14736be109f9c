#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// One line of text in a skinned box (a value field, a name, a read-out),
// with its name as an optional caption above the box. It takes no input.
// The box's size sprite holds a marker sprite, the text-area sprite, whose
// place inside it gives the insets of the text. Main thread only.
class cWidgetLabel : public cWidget
{
public:
    cWidgetLabel();

    void SetText(const char* text);
    const char* GetText() const { return text.CStr(); }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    // Minimum and preferred alike: the insets around one line of the text font.
    void GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize) override;

    const cRect& GetTextRect() const { return mTextRect; }
    const cRect& GetCaptionRect() const { return mCaptionRect; }

    cImage background;
    cTextStyle captionStyle;
    const cAtlasSprite* textAreaSprite = nullptr;
    cTextStyle textStyle;
    uint32_t disabledColour = 0xff808080u;

protected:
    ~cWidgetLabel() override;

    // Left, top, right and bottom distances of the text area inside the box;
    // all 0 when either sprite is missing.
    void GetInsets(float insets[4]) const;
    // Where the text goes and the caption hangs, from the laid-out box.
    void PlaceText();

    cGenString text;

private:
    cRect mCaptionRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTextRect = {0.0f, 0.0f, 0.0f, 0.0f};
};
