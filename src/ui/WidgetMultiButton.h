#pragma once

#include <cstdint>
#include <vector>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/Image.h"
#include "ui/GridTouchHelper.h"
#include "ui/Widget.h"

struct cAtlasSprite;

enum eMultiButtonFlags : uint32_t
{
    // Selection mode in the low four bits: 0 single select, 1 toggle each
    // item, 2 command; other values choose nothing.
    kMultiSelectMask = 0x0f,
    kMultiSingleSelect = 0x0,
    kMultiToggle = 0x1,
    kMultiCommand = 0x2,
    // Four fingers instead of one, and with tracking every cell they pass.
    kMultiPaint = 0x1,
    kMultiDimWhenDisabled = 0x100,
    // Hidden items keep their places in the grid.
    kMultiKeepHiddenPlaces = 0x200,
    // The cell under the finger at release counts; toggles show no preview.
    kMultiTrack = 0x400,
    // Choosing the selected item again deselects it.
    kMultiDeselect = 0x800,
    // Cells as wide (high) as the lit item sprite; one column (row) is
    // narrowed (shortened) to it.
    kMultiSpriteWidth = 0x1000,
    kMultiSpriteHeight = 0x2000,
};

// A grid of columns x rows items drawn as one widget: radio groups, rows of
// toggles, step and pad grids and command strips. Each item shows a text or
// an icon over a normal or lit image. Fingers are followed by a grid touch
// helper, and every chosen item is reported to the selection delegate as
// (item index or -1, multi-button). Main thread only.
class cWidgetMultiButton : public cWidget, public cGridTouchHelper::cListener
{
public:
    struct cItem
    {
        cGenString text; // empty: the icon is drawn instead
        cImage litImage;
        cImage normalImage;
        cVector2 textAnchor = {0.0f, 0.0f};
        const cAtlasSprite* icon = nullptr;
        uint8_t visible = 1;
        uint8_t enabled = 1;
        uint8_t on = 0;
        // The item shown in grid cell p, kept in entry p; -1 for none.
        int32_t itemAtPosition = -1;
        // The cell this item was placed in; -1 when not placed.
        int32_t position = -1;
    };

    cWidgetMultiButton(int32_t columns, int32_t rows, uint32_t flags);

    // Changing the first item's visibility re-lays the grid out unless the
    // hidden items keep their places.
    void SetFirstItemVisible(bool visible);
    void OnCell(int32_t column, int32_t row) override;

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    // Minimum from the item texts and icons; preferred from the lit sprite.
    void GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize) override;

    int32_t GetColumns() const { return mColumns; }
    int32_t GetRows() const { return mRows; }
    uint32_t GetMultiFlags() const { return mFlags; }
    const cRect& GetGridRect() const { return mGridRect; }
    const cRect& GetTouchRect() const { return mTouchRect; }
    const cRect& GetCaptionRect() const { return mCaptionRect; }
    // Cell size plus gap on each axis, and the grid's corner less half the
    // gaps: where owners draw over the cells.
    const cVector2& GetPitch() const { return mPitch; }
    const cVector2& GetGridOrigin() const { return mGridOrigin; }
    const cGridTouchHelper& GetTouchHelper() const { return mHelper; }
    // Whether the item draws its lit image now.
    bool IsItemLit(int32_t index) const;

    cDelegate selectionDelegate;
    cImage normalTemplate;
    cImage litTemplate;
    cImage background;
    cTextStyle itemStyle;
    cVector2 gap = {0.0f, 0.0f};
    cTextStyle captionStyle;
    float touchMargins[4] = {10.0f, 10.0f, 10.0f, 10.0f};
    int32_t selectedItem = -1;
    std::vector<cItem> items;

protected:
    ~cWidgetMultiButton() override;

private:
    int32_t SelectionMode() const { return int32_t(mFlags & kMultiSelectMask); }
    void FitGridRect();
    void PlaceItems(const cVector2& cell, const cVector2& gaps);
    void DrawItem(cDrawList& list, const cItem& item, int32_t index, bool allDim);

    uint32_t mFlags;
    int32_t mColumns;
    int32_t mRows;
    cRect mGridRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cVector2 mPitch = {0.0f, 0.0f};
    cVector2 mGridOrigin = {0.0f, 0.0f};
    cRect mCaptionRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTouchRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cGridTouchHelper mHelper;
};
