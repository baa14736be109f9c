#include "ui/WidgetLabel.h"

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"

namespace
{
constexpr float kCaptionSize = 8.0f;
constexpr float kTextSize = 11.0f;
constexpr int32_t kBoxAlignment = 0x33;
constexpr int32_t kCaptionAlignment = kTextAlignAbove;
// Left-aligned, vertically centred, shortened with ".." at its end.
constexpr int32_t kTextAlignment = kTextAlignLeft | kTextAlignCentreY | kTextShortenEnd;
} // namespace

cWidgetLabel::cWidgetLabel()
{
    background.alignment = kBoxAlignment;
    captionStyle.font.SetSize(kCaptionSize);
    captionStyle.alignment = kCaptionAlignment;
    textStyle.font.SetSize(kTextSize);
    textStyle.colour = 0xff000000u;
    textStyle.alignment = kTextAlignment;
}

cWidgetLabel::~cWidgetLabel() = default;

void cWidgetLabel::SetText(const char* newText) { text.AssignCStr(newText); }

void cWidgetLabel::OnLayout()
{
    background.Layout(GetRect(), {0.0f, 0.0f});
    cVector2 offset;
    GetAlignedOffset(&offset, background.layoutRect);
    MoveImage(background, offset.X, offset.Y);
    PlaceText();
}

// Without its box sprite the label has no box to place the text in, so the
// text and caption go by the widget's own rect.
void cWidgetLabel::PlaceText()
{
    const cRect box = background.sprite ? background.layoutRect : GetRect();
    float insets[4];
    GetInsets(insets);
    mTextRect = {box.xMin + insets[0], box.yMin, box.xMax - insets[2], box.yMax};
    mCaptionRect = box;
    MoveRect(mCaptionRect, captionStyle.offsetX, captionStyle.offsetY);
}

void cWidgetLabel::GetInsets(float insets[4]) const
{
    const cAtlasSprite* box = background.sprite;
    const cAtlasSprite* area = textAreaSprite;
    if (!box || !area)
    {
        insets[0] = insets[1] = insets[2] = insets[3] = 0.0f;
        return;
    }
    insets[0] = area->x0 - box->x0;
    insets[1] = area->y0 - box->y0;
    insets[2] = box->x1 - area->x1;
    insets[3] = box->y1 - area->y1;
}

bool cWidgetLabel::Draw(cDrawList& list)
{
    background.Draw(background.drawRect, list, false);
    const uint32_t colour = IsEnabled() ? textStyle.colour : disabledColour;
    list.fontHandle = textStyle.font;
    list.GetTextBatch().DrawTextInRect(mTextRect, textStyle.font, list.depth, colour, uint32_t(textStyle.alignment),
                                       text.CStr());
    if (*GetName() != '\0')
    {
        list.fontHandle = captionStyle.font;
        list.GetTextBatch().DrawTextInRect(mCaptionRect, captionStyle.font, list.depth, captionStyle.colour,
                                           uint32_t(captionStyle.alignment), GetName());
    }
    return false;
}

void cWidgetLabel::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    float insets[4];
    GetInsets(insets);
    *minimumSize = {insets[0] + insets[2], insets[1] + FontSizeOf(textStyle.font) + insets[3]};
    *preferredSize = *minimumSize;
}
