#include "ui/WidgetButton.h"

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr uint32_t kHorizontalAlignMask = 0x0f;

// The average size of the icon images that have a size sprite.
bool AverageIconSize(const cImage& a, const cImage& b, cVector2* size)
{
    int count = 0;
    *size = {0.0f, 0.0f};
    for (const cImage* image : {&a, &b})
        if (image->sprite)
        {
            size->X += image->sprite->width;
            size->Y += image->sprite->height;
            ++count;
        }
    if (count == 0)
        return false;
    *size = {size->X / float(count), size->Y / float(count)};
    return true;
}
} // namespace

cWidgetButton::cWidgetButton(int32_t mode, const cAtlasSprite* sizeSprite, const cAtlasSprite* drawnSprite)
    : mMode(mode)
{
    background.SetSprites(sizeSprite, drawnSprite, nullptr);
    litBackground.SetSprites(sizeSprite, drawnSprite, nullptr);
}

cWidgetButton::~cWidgetButton() = default;

void cWidgetButton::SetIconTextGap(float gap) { SetLabelPlacement(kLabelIconLeft, gap); }

void cWidgetButton::SetIconAboveText(float gap) { SetLabelPlacement(kLabelIconAbove, gap); }

void cWidgetButton::SetLabelPlacement(int32_t placement, float gap)
{
    if (mLabelPlacement == placement && mIconTextGap == gap)
        return;
    mLabelPlacement = placement;
    mIconTextGap = gap;
    ModifyFlags(kWidgetStateDirty, 0, false);
    ModifyChildFlags(kWidgetStateDirty, 0);
}

void cWidgetButton::SetKeyShortcut(int32_t keyCode)
{
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mKeyShortcut = keyCode;
    mCharShortcut = -1;
}

void cWidgetButton::SetCharShortcut(int32_t character)
{
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mKeyShortcut = -1;
    mCharShortcut = UpperCaseCharacter(character);
}

void cWidgetButton::OnLayout()
{
    const cRect& rect = GetRect();
    const cVector2 origin = {0.0f, 0.0f};
    icon.Layout(rect, origin);
    litIcon.Layout(rect, origin);
    background.Layout(rect, origin);
    litBackground.Layout(rect, origin);
    PlaceLabel();
    icon.Layout(rect, mPlacedIconOffset);
    litIcon.Layout(rect, mPlacedIconOffset);
    mContentBounds = UnionRect(litBackground.layoutRect, background.layoutRect);
    AlignContent();

    mTouchRect = (GetFlags() & kWidgetTouchWholeRect) ? GetRect()
                                                      : UnionRect(background.layoutRect, litBackground.layoutRect);
    mTouchRect.Grow(touchMargins[0], touchMargins[1], touchMargins[2], touchMargins[3]);
}

// The label sits on the lit background; with an icon beside or above the
// text, icon, gap and text form one block centred there.
void cWidgetButton::PlaceLabel()
{
    mLabelRect = litBackground.layoutRect;
    MoveRect(mLabelRect, labelStyle.offsetX, labelStyle.offsetY);
    mPlacedIconOffset = iconOffset;
    cVector2 iconSize;
    if (mLabelPlacement == kLabelOnBackground || !AverageIconSize(icon, litIcon, &iconSize))
        return;
    if (mLabelPlacement == kLabelIconLeft)
    {
        labelStyle.alignment &= ~kHorizontalAlignMask;
        const float textWidth = labelStyle.font.GetTextWidth(GetName());
        if (textWidth <= 0.0f)
            return;
        const float total = mIconTextGap + iconSize.X + textWidth;
        mLabelRect.xMin = RoundAway((mLabelRect.xMin + mLabelRect.xMax) * 0.5f + total * 0.5f - textWidth);
        mPlacedIconOffset.X = RoundAway((iconSize.X - total) * 0.5f + iconOffset.X);
    }
    else if (mLabelPlacement == kLabelIconAbove)
    {
        labelStyle.alignment = (labelStyle.alignment & ~kHorizontalAlignMask) | kTextAlignCentreX;
        const float total = mIconTextGap + iconSize.Y + FontSizeOf(labelStyle.font);
        mPlacedIconOffset.Y = RoundAway((iconSize.Y - total) * 0.5f + iconOffset.Y);
    }
}

void cWidgetButton::AlignContent()
{
    cVector2 offset;
    GetAlignedOffset(&offset, mContentBounds);
    MoveRect(mContentBounds, offset.X, offset.Y);
    for (cImage* image : {&icon, &litIcon, &background, &litBackground})
        MoveImage(*image, offset.X, offset.Y);
    MoveRect(mLabelRect, offset.X, offset.Y);
}

bool cWidgetButton::LooksLit() const
{
    if (mMode == kButtonCyclePressedLook)
        return mPressed && mLit;
    return mPressed ? mLit : value != 0;
}

bool cWidgetButton::Draw(cDrawList& list)
{
    const bool enabled = IsEnabled();
    const bool dimImages = (GetFlags() & kWidgetDisabledImages) && !enabled;
    const bool lit = LooksLit();
    if (lit)
    {
        // A blinking lit skin fades over the unlit one.
        if (litBackground.state == kImageBlinking)
            background.Draw(background.drawRect, list, dimImages);
        litBackground.Draw(litBackground.drawRect, list, dimImages);
    }
    else
    {
        background.Draw(background.drawRect, list, dimImages);
    }
    const cImage& shownIcon = lit ? litIcon : icon;
    shownIcon.Draw(shownIcon.drawRect, list, dimImages);

    uint32_t colour = labelStyle.colour;
    if ((GetFlags() & kWidgetDisabledLabel) && !enabled)
        colour = HalveColour(colour);
    list.fontHandle = labelStyle.font;
    list.GetTextBatch().DrawTextInRect(mLabelRect, labelStyle.font, list.depth, colour, uint32_t(labelStyle.alignment),
                                       GetName());
    return false;
}

void cWidgetButton::Report() { clickDelegate.Invoke(value, this); }

void cWidgetButton::AdvanceCycle()
{
    if (++value > maximum)
        value = minimum;
}

void cWidgetButton::CancelInput()
{
    mPressed = false;
    if (mMode != kButtonMomentary)
        return;
    mLit = false;
    if (value == 0)
        return;
    value = 0;
    tapCount = 0;
    Report();
}

bool cWidgetButton::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (type == kTouchDown)
        return PressFromTouch(touch);
    if (type == kTouchMove || type == kTouchUp)
        return captor == this && FollowTouch(type, touch);
    return false;
}

bool cWidgetButton::PressFromTouch(cTouch* touch)
{
    if (!mTouchRect.Contains(touch->position))
        return false;
    // A second finger on a held button changes nothing.
    if (mPressed)
        return true;
    CaptureTouch(touch->id);
    mPressed = true;
    switch (mMode)
    {
    case kButtonMomentary:
        mLit = true;
        value = 1;
        tapCount = touch->tapCount;
        Report();
        break;
    case kButtonCyclePressedLook:
        mLit = true;
        break;
    default:
        mLit = value < maximum;
        break;
    }
    return true;
}

bool cWidgetButton::FollowTouch(int32_t type, cTouch* touch)
{
    cRect slack = mTouchRect;
    slack.Grow(kPressSlack, kPressSlack, kPressSlack, kPressSlack);
    const bool inside = slack.Contains(touch->position);
    const bool up = type == kTouchUp;
    if (mMode == kButtonMomentary)
    {
        mLit = inside;
        if (up)
        {
            mPressed = false;
            if (inside)
            {
                value = 0;
                tapCount = touch->tapCount;
                Report();
            }
        }
        else if (int32_t(inside) != value)
        {
            value = int32_t(inside);
            tapCount = touch->tapCount;
            Report();
        }
        return true;
    }

    if (mMode == kButtonCyclePressedLook)
        mLit = inside && !up;
    else
        mLit = inside ? value < maximum : value != 0;
    if (!up)
        return true;
    mPressed = false;
    if (!inside)
        return true;
    if (mMode != kButtonPush)
        AdvanceCycle();
    tapCount = touch->tapCount;
    Report();
    return true;
}

bool cWidgetButton::IsKeyMatch(const cKeyEvent* event) const
{
    if (mKeyShortcut != -1 && mKeyShortcut == event->keyCode)
        return true;
    return mCharShortcut != -1 && event->character >= 0 && mCharShortcut == UpperCaseCharacter(event->character);
}

// A key acts like a finger that never leaves the button.
bool cWidgetButton::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys) || !IsKeyMatch(event))
        return false;
    if (event->action == 1)
    {
        mPressed = true;
        tapCount = 1;
        if (mMode == kButtonMomentary)
        {
            mLit = true;
            value = 1;
            Report();
        }
        else
        {
            mLit = mMode == kButtonCyclePressedLook || value < maximum;
        }
    }
    else if (event->action == 0)
    {
        mPressed = false;
        mLit = false;
        tapCount = 1;
        if (mMode == kButtonMomentary)
            value = 0;
        else if (mMode != kButtonPush)
            AdvanceCycle();
        Report();
    }
    return true;
}

void cWidgetButton::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    litBackground.GetSize(*minimumSize, *preferredSize);
}
