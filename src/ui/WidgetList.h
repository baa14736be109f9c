#pragma once

#include <cstdint>

#include "render/Image.h"
#include "ui/ScrollHelper.h"
#include "ui/Widget.h"

class cWidgetScrollBar;

// A scrolling list of rows that owns no items: the owner's data source hands
// out, walks and draws them, and the owner's listener is told about taps and
// selections. Rows are the items in tree order (an expanded item's children
// follow it), though every list of the program is flat. Drags scroll with
// momentum; an optional vertical scroll bar mirrors and moves the position.
// The rows are re-read lazily, at the next draw after a reload is asked for.
// Main thread only.
class cWidgetList : public cWidget, public cScrollHelper::cListener
{
public:
    // The head of every item record, which the data source extends; the list
    // reads and writes these bits.
    struct cItem
    {
        uint32_t flags = 0;
    };

    enum eItemFlags : uint32_t
    {
        kItemExpanded = 0x1,
        kItemSelected = 0x4,
    };

    class cDataSource
    {
    public:
        enum eFlags : int32_t
        {
            kMultipleSelection = 0x1,
        };

        explicit cDataSource(int32_t flags) : flags(flags) {}
        virtual ~cDataSource();

        // The children of an item, or the top level for null.
        virtual cItem* GetLastChild(cItem* parent);
        virtual cItem* GetFirstChild(cItem* parent);
        // The next sibling, null at the end.
        virtual cItem* GetNext(cItem* item);
        // One row's content: text, icons, the selection highlight.
        virtual void DrawItem(cItem* item, cDrawList& list, const cRect& row);

        int32_t flags;
    };

    class cListener
    {
    public:
        virtual ~cListener();
        // True lets the tap select the item.
        virtual bool OnItemTapped(cWidgetList* list, cItem* item, const cRect& row, const cVector2& point);
        virtual void OnItemSelected(cWidgetList* list, cItem* item) = 0;
    };

    static constexpr float kDefaultRowHeight = 50.0f;
    static constexpr int32_t kDefaultMinimumRows = 4;

    cWidgetList();

    // Neither is owned.
    void SetDataSource(cDataSource* source);
    void SetListener(cListener* listener) { mListener = listener; }
    // Owners call it whenever their items change.
    void MarkForReload();
    void SetRowHeight(float rowHeight, int32_t minimumRows);
    // The list keeps a reference and shows the bar at its right edge.
    void SetScrollBar(cWidgetScrollBar* bar);
    // Re-reads the rows when a reload is pending.
    void Reload();
    // Clears the selected bit of every top-level item.
    void ClearSelection();
    cItem* GetItemAtRow(int32_t row) const;
    int32_t CountRows() const;

    cScrollHelper& GetScrollHelper() { return mScroll; }
    cWidgetScrollBar* GetScrollBar() const { return mScrollBar; }
    int32_t GetSelectedCount() const { return mSelectedCount; }
    cItem* GetLastSelectedItem() const { return mLastSelected; }
    float GetVisibleRows() const { return mVisibleRows; }
    float GetRowHeight() const { return mRowHeight; }
    int32_t GetFirstVisibleRow() const { return mFirstVisibleRow; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    bool OnRowTouched(cScrollHelper* helper, int32_t row, const cRect& rowRect, const cVector2& point) override;
    void OnRowSelected(cScrollHelper* helper, int32_t row) override;
    void OnScroll(cScrollHelper* helper, float position) override;

    cImage backgroundImage;
    cImage evenRowImage;
    cImage oddRowImage;
    cTextStyle captionStyle;

protected:
    ~cWidgetList() override;

private:
    void OnScrollBarMoved(float start, cWidgetScrollBar* bar);
    void BringToTop(cItem* item, int32_t row);
    void DrawRows(cDrawList& list);
    int32_t CountSelected(cItem* parent) const;
    void ClearSelectedBits();

    cScrollHelper mScroll;
    cDataSource* mDataSource = nullptr;
    cListener* mListener = nullptr;
    cItem* mLastSelected = nullptr;
    cItem* mFirstVisibleItem = nullptr;
    int32_t mFirstVisibleRow = -1;
    float mRowHeight = kDefaultRowHeight;
    int32_t mMinimumRows = kDefaultMinimumRows;
    int32_t mSelectedCount = 0;
    float mVisibleRows = 5.0f;
    cRect mCaptionRect = {0, 0, 0, 0};
    bool mReloadPending = false;
    cWidgetScrollBar* mScrollBar = nullptr;
};
