#include "ui/WidgetMultiButton.h"

#include <algorithm>
#include <cmath>

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"

namespace
{
constexpr int32_t kCaptionAlignment = kTextAlignAbove;
constexpr int32_t kPaintRecords = 4;

float SpriteWidth(const cImage& image) { return image.sprite ? image.sprite->width : 0.0f; }
float SpriteHeight(const cImage& image) { return image.sprite ? image.sprite->height : 0.0f; }

// Where a span of a length sits between low and high by an alignment code.
float AlignedStart(uint32_t alignment, float low, float high, float length)
{
    if (alignment == kAlignStart)
        return low;
    if (alignment == kAlignEnd)
        return high - length;
    return (low + high) * 0.5f - length * 0.5f;
}

// The template's look without its laid-out rects.
void CopyLook(cImage& item, const cImage& look)
{
    const cRect layoutRect = item.layoutRect, drawRect = item.drawRect;
    const int32_t type = item.type;
    item = look;
    item.layoutRect = layoutRect;
    item.drawRect = drawRect;
    item.type = type;
}

float SnapIcon(float value) { return std::floor(value + 0.5f); }
} // namespace

cWidgetMultiButton::cWidgetMultiButton(int32_t columns, int32_t rows, uint32_t flags)
    : mFlags(flags), mColumns(std::max(columns, 1)), mRows(std::max(rows, 1)), mHelper(this, this)
{
    items.resize(size_t(mColumns) * size_t(mRows));
    captionStyle.alignment = kCaptionAlignment;
    const uint32_t mode = ((flags & kMultiPaint) ? kGridWalk : 0u) | ((flags & kMultiTrack) ? kGridTrack : 0u);
    mHelper.SetGrid(mColumns, mRows, (flags & kMultiPaint) ? kPaintRecords : 1, mode);
}

cWidgetMultiButton::~cWidgetMultiButton() = default;

void cWidgetMultiButton::SetFirstItemVisible(bool visible)
{
    cItem& first = items.front();
    if (first.visible == uint8_t(visible))
        return;
    first.visible = uint8_t(visible);
    if (!(mFlags & kMultiKeepHiddenPlaces))
        ModifyFlags(kWidgetLayoutDirty, 0, false);
}

void cWidgetMultiButton::OnCell(int32_t column, int32_t row)
{
    const int32_t index = items[size_t(row * mColumns + column)].itemAtPosition;
    if (index < 0 || !items[size_t(index)].enabled)
        return;
    cItem& item = items[size_t(index)];
    switch (SelectionMode())
    {
    case kMultiSingleSelect:
        item.on = 0;
        selectedItem = (mFlags & kMultiDeselect) && selectedItem == index ? -1 : index;
        selectionDelegate.Invoke(selectedItem, this);
        break;
    case kMultiToggle:
        item.on = !item.on;
        selectedItem = index;
        selectionDelegate.Invoke(index, this);
        break;
    case kMultiCommand:
        item.on = 0;
        selectionDelegate.Invoke(index, this);
        break;
    default:
        break;
    }
}

void cWidgetMultiButton::OnStateChange()
{
    for (cItem& item : items)
    {
        CopyLook(item.litImage, litTemplate);
        CopyLook(item.normalImage, normalTemplate);
    }
}

void cWidgetMultiButton::OnLayout()
{
    OnStateChange();
    ModifyFlags(0, kWidgetStateDirty, false);
    FitGridRect();
    mHelper.SetRect(mGridRect);

    const float gridWidth = mGridRect.xMax - mGridRect.xMin, gridHeight = mGridRect.yMax - mGridRect.yMin;
    const float columns = float(mColumns), rows = float(mRows);
    cVector2 cell, gaps;
    if (mFlags & kMultiSpriteWidth)
    {
        cell.X = SpriteWidth(litTemplate);
        gaps.X = mColumns > 1 ? std::max((gridWidth - columns * cell.X) / (columns - 1.0f), -cell.X) : 0.0f;
    }
    else
    {
        gaps.X = gap.X;
        cell.X = (gridWidth - (columns - 1.0f) * gaps.X) / columns;
    }
    if (mFlags & kMultiSpriteHeight)
    {
        cell.Y = SpriteHeight(litTemplate);
        gaps.Y = mRows > 1 ? (gridHeight - rows * cell.Y) / (rows - 1.0f) : 0.0f;
        if (gaps.Y < gap.Y)
        {
            gaps.Y = gap.Y;
            cell.Y = gridHeight / rows;
        }
    }
    else
    {
        gaps.Y = gap.Y;
        cell.Y = (gridHeight - (rows - 1.0f) * gaps.Y) / rows;
    }
    mPitch = {cell.X + gaps.X, cell.Y + gaps.Y};
    PlaceItems(cell, gaps);

    mGridOrigin = {mGridRect.xMin - RoundAway(gaps.X) * 0.5f, mGridRect.yMin - RoundAway(gaps.Y) * 0.5f};
    mCaptionRect = mGridRect;
    MoveRect(mCaptionRect, captionStyle.offsetX, captionStyle.offsetY);
    mTouchRect = mGridRect;
    mTouchRect.Grow(touchMargins[0], touchMargins[1], touchMargins[2], touchMargins[3]);
}

// The background's sprite gives the grid; without one, a single column
// (row) of sprite-sized cells is narrowed (shortened) to the sprite.
void cWidgetMultiButton::FitGridRect()
{
    const cRect& rect = GetRect();
    if (background.sprite)
    {
        background.Layout(rect, {0.0f, 0.0f});
        mGridRect = background.layoutRect;
        return;
    }
    mGridRect = rect;
    const uint32_t anchors = GetAnchorWord();
    if (mColumns == 1 && (mFlags & kMultiSpriteWidth))
    {
        const float width = std::max(SpriteWidth(litTemplate), SpriteWidth(normalTemplate));
        mGridRect.xMin = RoundAway(AlignedStart((anchors >> 16) & 0xf, rect.xMin, rect.xMax, width));
        mGridRect.xMax = mGridRect.xMin + width;
    }
    if (mRows == 1 && (mFlags & kMultiSpriteHeight))
    {
        const float height = std::max(SpriteHeight(litTemplate), SpriteHeight(normalTemplate));
        mGridRect.yMin = RoundAway(AlignedStart((anchors >> 20) & 0xf, rect.yMin, rect.yMax, height));
        mGridRect.yMax = mGridRect.yMin + height;
    }
}

// Items take the grid's cells in row-major order, skipping hidden ones
// unless they keep their places; edges are rounded so neighbours meet.
void cWidgetMultiButton::PlaceItems(const cVector2& cell, const cVector2& gaps)
{
    for (cItem& item : items)
        item.itemAtPosition = item.position = -1;
    const float roundedGapX = RoundAway(gaps.X), roundedGapY = RoundAway(gaps.Y);
    const float x0 = mGridRect.xMin, y0 = mGridRect.yMin;
    float runningX = x0, runningY = y0;
    int32_t position = 0;
    for (size_t index = 0; index < items.size(); ++index)
    {
        cItem& item = items[index];
        if (!item.visible && !(mFlags & kMultiKeepHiddenPlaces))
            continue;
        const int32_t column = position % mColumns, row = position / mColumns;
        items[size_t(position)].itemAtPosition = int32_t(index);
        item.position = position;
        cRect rect;
        if (mFlags & kMultiSpriteWidth)
        {
            rect.xMin = RoundAway(float(column) * mPitch.X + x0);
            rect.xMax = rect.xMin + cell.X;
        }
        else
        {
            rect.xMin = runningX;
            rect.xMax = RoundAway(float(column) * mPitch.X + x0 + cell.X);
        }
        if (mFlags & kMultiSpriteHeight)
        {
            rect.yMin = runningY;
            rect.yMax = RoundAway(float(row) * mPitch.Y + y0 + cell.Y);
        }
        else
        {
            rect.yMin = RoundAway(float(row) * mPitch.Y + y0);
            rect.yMax = rect.yMin + cell.Y;
        }
        item.litImage.Layout(rect, {0.0f, 0.0f});
        item.normalImage.Layout(rect, {0.0f, 0.0f});
        const cRect& lit = item.litImage.layoutRect;
        item.textAnchor = {(lit.xMin + lit.xMax) * 0.5f, (lit.yMin + lit.yMax) * 0.5f};
        runningX = rect.xMax + roundedGapX;
        if (column == mColumns - 1)
        {
            runningX = x0;
            runningY = rect.yMax + roundedGapY;
        }
        ++position;
    }
}

bool cWidgetMultiButton::IsItemLit(int32_t index) const
{
    const cItem& item = items[size_t(index)];
    const bool touched = mHelper.IsCellTouched(item.position);
    switch (SelectionMode())
    {
    case kMultiSingleSelect:
    case kMultiCommand:
        return touched || selectedItem == index;
    case kMultiToggle:
        // A held toggle previews its next state, unless tracking.
        return (!(mFlags & kMultiTrack) && touched) ? !item.on : item.on != 0;
    default:
        return false;
    }
}

bool cWidgetMultiButton::Draw(cDrawList& list)
{
    const bool widgetDisabled = !IsEnabled();
    const bool allDim = (mFlags & kMultiDimWhenDisabled) && widgetDisabled;
    background.Draw(background.drawRect, list, allDim);
    for (size_t index = 0; index < items.size(); ++index)
        if (items[index].visible)
            DrawItem(list, items[index], int32_t(index), allDim);

    uint32_t captionColour = captionStyle.colour;
    if (allDim && (GetFlags() & kWidgetDisabledImages))
        captionColour = HalveColour(captionColour);
    list.fontHandle = captionStyle.font;
    list.GetTextBatch().DrawTextInRect(mCaptionRect, captionStyle.font, list.depth, captionColour,
                                       uint32_t(captionStyle.alignment), GetName());
    return false;
}

void cWidgetMultiButton::DrawItem(cDrawList& list, const cItem& item, int32_t index, bool allDim)
{
    const bool dim = allDim || !item.enabled;
    const cImage& image = IsItemLit(index) ? item.litImage : item.normalImage;
    image.Draw(image.drawRect, list, dim);

    const cVector2& anchor = item.textAnchor;
    if (item.text.IsEmpty())
    {
        if (!item.icon)
            return;
        const cAtlasSprite& icon = *item.icon;
        cRect rect;
        rect.xMin = SnapIcon(anchor.X - icon.width * 0.5f);
        rect.yMin = SnapIcon(anchor.Y - icon.height * 0.5f);
        rect.xMax = SnapIcon(rect.xMin + icon.width);
        rect.yMax = SnapIcon(rect.yMin + icon.height);
        list.DrawQuad(rect, {icon.u0, icon.v0}, {icon.u1, icon.v1}, 0xffffffffu, 0);
        return;
    }

    uint32_t colour = itemStyle.colour;
    if (dim && (GetFlags() & kWidgetDisabledImages) && !IsEnabled())
        colour = HalveColour(colour);
    list.fontHandle = itemStyle.font;
    const char* text = item.text.CStr();
    const uint32_t horizontal = uint32_t(itemStyle.alignment) & 0x0f, vertical = uint32_t(itemStyle.alignment) & 0xf0;
    const float size = FontSizeOf(itemStyle.font);
    float x = anchor.X, y = anchor.Y;
    if (horizontal == kTextAlignRight)
        x -= itemStyle.font.GetTextWidth(text);
    else if (horizontal == kTextAlignCentreX)
        x -= itemStyle.font.GetTextWidth(text) * 0.5f;
    if (vertical == kTextAlignBottom)
        y -= size;
    else if (vertical == kTextAlignCentreY)
        y -= size * 0.5f;
    list.GetTextBatch().DrawText(x, y, list.depth, itemStyle.font, colour, text);
}

void cWidgetMultiButton::CancelInput() { mHelper.ReleaseAll(); }

bool cWidgetMultiButton::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor == this || (type == kTouchDown && mTouchRect.Contains(touch->position)))
        return mHelper.HandleTouch(type, touch);
    return false;
}

void cWidgetMultiButton::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    const float columns = float(mColumns), rows = float(mRows);
    cVector2 spriteMinimum, spriteSize;
    litTemplate.GetSize(spriteMinimum, spriteSize);
    *preferredSize = {columns * spriteMinimum.X + (columns - 1.0f) * gap.X,
                      rows * spriteMinimum.Y + (rows - 1.0f) * gap.Y};

    cVector2 cell = {0.0f, FontSizeOf(itemStyle.font)};
    for (const cItem& item : items)
    {
        if (item.position < 0)
            continue;
        cell.X = std::max(cell.X, itemStyle.font.GetTextWidth(item.text.CStr()));
        if (item.icon)
        {
            cell.X = std::max(cell.X, item.icon->width);
            cell.Y = std::max(cell.Y, item.icon->height);
        }
    }
    *minimumSize = {columns * cell.X + (columns - 1.0f) * gap.X, rows * cell.Y + (rows - 1.0f) * gap.Y};
}
