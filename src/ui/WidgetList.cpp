#include "ui/WidgetList.h"

#include <cmath>

#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/InputManager.h"
#include "ui/WidgetScrollBar.h"

namespace
{
constexpr float kTiny = 0.000001f;
constexpr float kCaptionTextSize = 8.0f;
constexpr uint32_t kCaptionColour = 0xffc8c8c8u;
// The bar's touch rect reaches further into the rows than out of the list.
constexpr float kScrollBarMargins[4] = {15.0f, 5.0f, 10.0f, 5.0f};

using cItem = cWidgetList::cItem;
using cDataSource = cWidgetList::cDataSource;

// Visits the rows in order (an expanded item's children after it) until the
// visitor returns true; row counts the rows passed.
template <class F>
bool WalkRows(cDataSource& source, cItem* parent, int32_t& row, F&& visit)
{
    for (cItem* item = source.GetFirstChild(parent); item; item = source.GetNext(item))
    {
        if (visit(item, row))
            return true;
        ++row;
        if ((item->flags & cWidgetList::kItemExpanded) && WalkRows(source, item, row, visit))
            return true;
    }
    return false;
}
} // namespace

cWidgetList::cDataSource::~cDataSource() = default;

cItem* cWidgetList::cDataSource::GetLastChild(cItem*) { return nullptr; }

cItem* cWidgetList::cDataSource::GetFirstChild(cItem*) { return nullptr; }

cItem* cWidgetList::cDataSource::GetNext(cItem*) { return nullptr; }

void cWidgetList::cDataSource::DrawItem(cItem*, cDrawList&, const cRect&) {}

cWidgetList::cListener::~cListener() = default;

bool cWidgetList::cListener::OnItemTapped(cWidgetList*, cItem*, const cRect&, const cVector2&) { return true; }

cWidgetList::cWidgetList()
{
    mScroll.owner = this;
    mScroll.listener = this;
    mScroll.visibleRows = mVisibleRows;
    backgroundImage.alignment = 0x33;
    evenRowImage.alignment = 0x22;
    oddRowImage.alignment = 0x22;
    captionStyle.colour = kCaptionColour;
    captionStyle.font.SetSize(kCaptionTextSize);
    captionStyle.alignment = kTextAlignAbove;
}

cWidgetList::~cWidgetList()
{
    if (mScrollBar)
        mScrollBar->Release();
}

// The item last selected may be gone with the old items: until the rows
// are read again, a selection clears the bits of the top-level items instead.
void cWidgetList::SetDataSource(cDataSource* source)
{
    mDataSource = source;
    mReloadPending = true;
    mLastSelected = nullptr;
}

void cWidgetList::MarkForReload()
{
    mReloadPending = true;
    mLastSelected = nullptr;
}

void cWidgetList::SetRowHeight(float rowHeight, int32_t minimumRows)
{
    mRowHeight = rowHeight;
    mMinimumRows = minimumRows;
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cWidgetList::SetScrollBar(cWidgetScrollBar* bar)
{
    if (bar == mScrollBar)
        return;
    if (mScrollBar)
    {
        RemoveChild(mScrollBar);
        mScrollBar->Release();
    }
    mScrollBar = bar;
    if (!bar)
        return;
    bar->AddRef();
    bar->windowMovedDelegate = cDelegate(this, &cWidgetList::OnScrollBarMoved);
    for (int edge = 0; edge < 4; ++edge)
        bar->touchMargins[edge] = kScrollBarMargins[edge];
    AddChild(bar);
    ModifyFlags(kWidgetLayoutDirty, 0, true);
}

cItem* cWidgetList::GetItemAtRow(int32_t row) const
{
    if (!mDataSource || row < 0)
        return nullptr;
    cItem* found = nullptr;
    int32_t counter = 0;
    WalkRows(*mDataSource, nullptr, counter, [&](cItem* item, int32_t at)
             {
                 if (at != row)
                     return false;
                 found = item;
                 return true;
             });
    return found;
}

int32_t cWidgetList::CountRows() const
{
    if (!mDataSource)
        return 0;
    int32_t rows = 0;
    WalkRows(*mDataSource, nullptr, rows, [](cItem*, int32_t) { return false; });
    return rows;
}

// Every item counts, whether its parent is expanded or not.
int32_t cWidgetList::CountSelected(cItem* parent) const
{
    int32_t count = 0;
    for (cItem* item = mDataSource->GetFirstChild(parent); item; item = mDataSource->GetNext(item))
    {
        if (item->flags & kItemSelected)
            ++count;
        count += CountSelected(item);
    }
    return count;
}

void cWidgetList::Reload()
{
    if (!mDataSource || !mReloadPending)
        return;
    mReloadPending = false;
    mLastSelected = nullptr;
    mFirstVisibleItem = nullptr;
    mFirstVisibleRow = -1;
    const int32_t rows = CountRows();
    mScroll.SetRowCount(rows);
    if (mScrollBar)
        mScrollBar->SetRange(0.0f, float(rows));
    mSelectedCount = CountSelected(nullptr);
    if (mSelectedCount > 0)
    {
        int32_t row = 0;
        WalkRows(*mDataSource, nullptr, row, [&](cItem* item, int32_t at)
                 {
                     if (!(item->flags & kItemSelected))
                         return false;
                     BringToTop(item, at);
                     return true;
                 });
    }
    OnScroll(&mScroll, mScroll.GetPosition());
}

void cWidgetList::BringToTop(cItem* item, int32_t row)
{
    mFirstVisibleItem = item;
    mFirstVisibleRow = row;
    mScroll.SetPosition(float(row), true);
}

void cWidgetList::ClearSelectedBits()
{
    if (!mDataSource)
        return;
    for (cItem* item = mDataSource->GetFirstChild(nullptr); item; item = mDataSource->GetNext(item))
        item->flags &= ~kItemSelected;
}

void cWidgetList::ClearSelection() { ClearSelectedBits(); }

bool cWidgetList::OnRowTouched(cScrollHelper*, int32_t row, const cRect& rowRect, const cVector2& point)
{
    if (!mDataSource || row < 0 || !mListener)
        return false;
    cItem* item = GetItemAtRow(row);
    return item && mListener->OnItemTapped(this, item, rowRect, point);
}

void cWidgetList::OnRowSelected(cScrollHelper*, int32_t row)
{
    cItem* item = GetItemAtRow(row);
    if (!item)
    {
        mSelectedCount = 0;
        return;
    }
    if (mDataSource->flags & cDataSource::kMultipleSelection)
    {
        item->flags ^= kItemSelected;
        if (item->flags & kItemSelected)
            ++mSelectedCount;
        else if (mSelectedCount > 0)
            --mSelectedCount;
    }
    else
    {
        if (mLastSelected)
            mLastSelected->flags &= ~kItemSelected;
        else
            ClearSelectedBits();
        item->flags |= kItemSelected;
        mSelectedCount = 1;
    }
    mLastSelected = item;
    if (mListener)
        mListener->OnItemSelected(this, item);
}

void cWidgetList::OnScroll(cScrollHelper*, float position)
{
    const int32_t row = int32_t(position);
    if (row == mFirstVisibleRow)
        return;
    mFirstVisibleRow = row;
    mFirstVisibleItem = GetItemAtRow(row);
}

void cWidgetList::OnScrollBarMoved(float start, cWidgetScrollBar*) { mScroll.SetPosition(start, true); }

void cWidgetList::OnLayout()
{
    const cRect rect = GetRect();
    backgroundImage.Layout(rect, {0.0f, 0.0f});
    cVector2 offset;
    GetAlignedOffset(&offset, backgroundImage.layoutRect);
    MoveImage(backgroundImage, offset.X, offset.Y);
    mCaptionRect = backgroundImage.layoutRect;
    MoveRect(mCaptionRect, captionStyle.offsetX, captionStyle.offsetY);

    float rowsRight = rect.xMax;
    if (mScrollBar)
    {
        const float width = mScrollBar->trackSprite ? mScrollBar->trackSprite->width : 0.0f;
        mScrollBar->SetAnchors(kAnchorsAbsoluteRect, rect.xMax - width, rect.yMin, width, rect.yMax - rect.yMin);
        rowsRight = rect.xMax - width;
    }
    mScroll.area = {rect.xMin, rect.yMin, rowsRight, rect.yMax};
    ModifyFlags(kWidgetStateDirty, 0, true);
}

void cWidgetList::OnStateChange()
{
    const cRect& rect = GetRect();
    const float rows = mRowHeight < kTiny ? 0.0f : std::trunc((rect.yMax - rect.yMin) / mRowHeight);
    mVisibleRows = std::fmax(rows, float(mMinimumRows));
    mScroll.visibleRows = mVisibleRows;
}

void cWidgetList::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    *minimum = {0.0f, mRowHeight * float(mMinimumRows)};
    *preferred = *minimum;
}

bool cWidgetList::Draw(cDrawList& list)
{
    Reload();
    if (mScrollBar)
    {
        const float position = mScroll.GetPosition();
        mScrollBar->SetWindow(position, position + mVisibleRows);
    }
    mScroll.Update();
    list.GetTextBatch().DrawTextInRect(mCaptionRect, captionStyle.font, list.depth, captionStyle.colour,
                                       uint32_t(captionStyle.alignment), GetName());
    backgroundImage.Draw(backgroundImage.drawRect, list, false);
    DrawRows(list);
    return false;
}

// Rows alternate their backgrounds by absolute index, so scrolling by one
// row swaps the shades on screen.
void cWidgetList::DrawRows(cDrawList& list)
{
    const cScrollHelper::cVisibleRange& visible = mScroll.GetVisibleRows();
    cRect row = {visible.x0, visible.y0, visible.x1, visible.y1};
    evenRowImage.Layout(row, {0.0f, 0.0f});
    oddRowImage.Layout(row, {0.0f, 0.0f});
    if (!mDataSource || !mFirstVisibleItem)
        return;
    cScopedClipRect clip(list, mScroll.area);
    int32_t index = visible.firstRow;
    float drop = 0.0f;
    for (cItem* item = mFirstVisibleItem; item && row.yMin < mScroll.area.yMax; item = mDataSource->GetNext(item))
    {
        const cImage& image = (index & 1) ? oddRowImage : evenRowImage;
        cRect background = image.drawRect;
        MoveRect(background, 0.0f, drop);
        image.Draw(background, list, false);
        mDataSource->DrawItem(item, list, row);
        MoveRect(row, 0.0f, visible.rowHeight);
        drop += visible.rowHeight;
        ++index;
    }
}

void cWidgetList::CancelInput() { mScroll.Cancel(); }

// A touch the scroll bar takes is not offered to what lies beneath.
bool cWidgetList::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (OfferTouchToChildren(type, touch, captor))
        return true;
    return mScroll.HandleTouch(type, touch, captor);
}
