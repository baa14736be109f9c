#include "ui/WidgetComboBox.h"

#include <cmath>

#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr float kTiny = 0.000001f;
// The open menu lies in front of whatever is drawn after the combo.
constexpr float kMenuDepth = 0.2f;
constexpr int32_t kEscapeKey = 257;
} // namespace

// The storage starts zeroed, so nothing past the items in use is ever garbage.
cWidgetComboBox::cWidgetComboBox(int32_t capacity, int32_t comboFlags)
    : cWidgetButton(kButtonCycle, nullptr, nullptr), mComboFlags(comboFlags),
      mCapacity(capacity > 0 ? capacity : 0), mItems(new cItem[size_t(mCapacity)]())
{
    for (float& margin : touchMargins)
        margin = 0.0f;
    itemImage.alignment = 0x23;
    highlightedItemImage.alignment = 0x23;
    ModifyFlags(kWidgetLayoutDirty, 0, false);
}

cWidgetComboBox::~cWidgetComboBox() = default;

bool cWidgetComboBox::AddItem(const char* text, int32_t itemValue, bool enabled)
{
    if (mItemCount >= mCapacity)
        return false;
    mItems[size_t(mItemCount++)] = {text, itemValue, uint8_t(enabled ? 1 : 0)};
    return true;
}

cWidgetComboBox::cItem* cWidgetComboBox::GetItem(int32_t index)
{
    return index >= 0 && index < mItemCount ? &mItems[size_t(index)] : nullptr;
}

void cWidgetComboBox::SetMenuSuppressed(bool suppressed)
{
    mMenuSuppressed = suppressed;
    value = suppressed ? 1 : 0;
}

void cWidgetComboBox::OnLayout()
{
    cWidgetButton::OnLayout();
    const cRect& rect = GetRect();
    mItemSize = {std::fmax(rect.xMax - rect.xMin, minimumMenuWidth), itemHeight};
    const cRect itemRect = {0.0f, 0.0f, mItemSize.X, mItemSize.Y};
    itemImage.Layout(itemRect, {0.0f, 0.0f});
    highlightedItemImage.Layout(itemRect, {0.0f, 0.0f});
}

bool cWidgetComboBox::Draw(cDrawList& list)
{
    cWidgetButton::Draw(list);
    list.fontHandle = labelStyle.font;
    if (mComboFlags & kComboSelection)
        DrawSelectedLabel(list);
    if (!IsMenuOpen())
    {
        mMenuRect = {0, 0, 0, 0};
        return false;
    }
    DrawMenu(list);
    return false;
}

void cWidgetComboBox::DrawSelectedLabel(cDrawList& list)
{
    const cItem* item = GetItem(mSelectedItem);
    if (!item || !item->text || !*item->text)
        return;
    const cVector2 centre = RectCentre(GetRect());
    const float x = centre.X + labelStyle.offsetX - labelStyle.font.GetTextWidth(item->text) * 0.5f;
    const float y = centre.Y + labelStyle.offsetY - FontSizeOf(labelStyle.font) * 0.5f;
    list.GetTextBatch().DrawText(x, y, list.depth, labelStyle.font, labelStyle.colour, item->text);
}

bool cWidgetComboBox::IsHighlighted(int32_t index) const
{
    if (mComboFlags & kComboLevelHighlight)
        return index < (mHoveredItem >= 0 ? mHoveredItem : mSelectedItem);
    return index == mHoveredItem || index == mSelectedItem;
}

// Items hang from the lit skin's right edge, below it or (opening upwards)
// above it.
void cWidgetComboBox::DrawMenu(cDrawList& list)
{
    cScopedDrawListValue depth(list);
    list.depth = kMenuDepth;
    const cRect& skin = litBackground.layoutRect;
    const float right = skin.xMax, left = right - mItemSize.X;
    const float pitch = mItemSize.Y + itemGap;
    const bool upwards = (mComboFlags & kComboOpensUpwards) != 0;
    const float extent = float(mItemCount) * pitch;
    mMenuRect = upwards ? cRect{left, skin.yMin - extent, right, skin.yMin}
                        : cRect{left, skin.yMax, right, skin.yMax + extent};
    for (int32_t i = 0; i < mItemCount; ++i)
    {
        const float top = upwards ? skin.yMin - mItemSize.Y - float(i) * pitch : skin.yMax + float(i) * pitch;
        const cRect itemRect = {left, top, right, top + mItemSize.Y};
        const cImage& image = IsHighlighted(i) ? highlightedItemImage : itemImage;
        cRect imageRect = image.drawRect;
        MoveRect(imageRect, left, top);
        image.Draw(imageRect, list, false);
        if (!itemDrawDelegate.IsEmpty())
        {
            const cItemDrawRecord record = {this, i, &mItems[size_t(i)], itemRect};
            itemDrawDelegate.Invoke(&record);
        }
        else
            DrawItemText(list, i, itemRect);
    }
}

void cWidgetComboBox::DrawItemText(cDrawList& list, int32_t index, const cRect& rect)
{
    const cItem& item = mItems[size_t(index)];
    if (!item.text || !*item.text)
        return;
    const cVector2 centre = RectCentre(rect);
    const uint32_t colour = item.enabled ? labelStyle.colour : HalveColour(labelStyle.colour);
    list.GetTextBatch().DrawText(centre.X - labelStyle.font.GetTextWidth(item.text) * 0.5f,
                                 centre.Y - FontSizeOf(labelStyle.font) * 0.5f, list.depth, labelStyle.font, colour,
                                 item.text);
}

int32_t cWidgetComboBox::ItemAt(const cVector2& point) const
{
    const float pitch = mItemSize.Y + itemGap;
    if (mItemCount == 0 || pitch < kTiny)
        return -1;
    float offset;
    if (mComboFlags & kComboOpensUpwards)
    {
        if (point.Y > mMenuRect.yMax)
            return -1;
        offset = mMenuRect.yMax - point.Y;
    }
    else
    {
        if (point.Y < mMenuRect.yMin)
            return -1;
        offset = point.Y - mMenuRect.yMin;
    }
    const float index = offset / pitch;
    return index >= float(mItemCount - 1) ? mItemCount - 1 : int32_t(index);
}

int32_t cWidgetComboBox::EnabledItemAt(const cVector2& point) const
{
    const int32_t index = ItemAt(point);
    return index >= 0 && mItems[size_t(index)].enabled ? index : -1;
}

bool cWidgetComboBox::Choose(const cVector2& point)
{
    const int32_t index = EnabledItemAt(point);
    if (index < 0)
        return false;
    if (mComboFlags & kComboSelection)
    {
        if (index == mSelectedItem)
            return true;
        mSelectedItem = index;
    }
    clickDelegate.Invoke(index, this);
    return true;
}

cRect cWidgetComboBox::HitRect()
{
    cRect rect = GetRect();
    rect.Grow(touchMargins[0], touchMargins[1], touchMargins[2], touchMargins[3]);
    return rect;
}

// The owner may fill the menu when it hears -1, so the items are counted
// after the report.
void cWidgetComboBox::Open()
{
    clickDelegate.Invoke(-1, this);
    if (mItemCount > 0 && !mMenuSuppressed)
        value = 1;
    mHoveredItem = -1;
}

void cWidgetComboBox::Close()
{
    if (!mMenuSuppressed)
        value = 0;
    mHoveredItem = -1;
}

bool cWidgetComboBox::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    const cRect hit = HitRect();
    const bool onButton = hit.Contains(touch->position);
    if (!IsMenuOpen())
    {
        if (type != kTouchDown || !onButton)
            return false;
        Open();
        if (mItemCount > 0)
            CaptureTouch(touch->id);
        return true;
    }
    switch (type)
    {
    case kTouchDown:
        if (onButton)
        {
            CaptureTouch(touch->id);
            Close();
            return true;
        }
        if (!mMenuRect.Contains(touch->position))
            return false;
        CaptureTouch(touch->id);
        mHoveredItem = EnabledItemAt(touch->position);
        return true;
    case kTouchMove:
        if (captor != this)
            return false;
        mHoveredItem = EnabledItemAt(touch->position);
        return true;
    case kTouchUp:
        if (captor != this)
            return false;
        mHoveredItem = -1;
        if (!onButton && Choose(touch->position))
            Close();
        return true;
    default:
        return false;
    }
}

bool cWidgetComboBox::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys))
        return false;
    if (IsKeyMatch(event))
    {
        if (event->action == 1)
        {
            if (IsMenuOpen())
                Close();
            else
                Open();
        }
        return true;
    }
    if (event->keyCode == kEscapeKey && IsMenuOpen())
    {
        Close();
        return true;
    }
    return false;
}

void cWidgetComboBox::CancelInput()
{
    cWidgetButton::CancelInput();
    if (!mMenuSuppressed)
        value = 0;
}
