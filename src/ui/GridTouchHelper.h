#pragma once

#include <cstdint>
#include <memory>

#include "base/IntrusiveList.h"
#include "base/Math.h"

class cTouch;
class cWidget;

// One finger followed over a grid.
struct cGridTouchRecord : public Base::cIntrusiveListItem<cGridTouchRecord>
{
    int32_t touchId = -1; // -1 while free
    int32_t cell = -1;    // column + row x columns
    int32_t column = 0;
    int32_t row = 0;
    // The last move's direction on each axis: -1, 0 or +1.
    int32_t lastStepX = 0;
    int32_t lastStepY = 0;
    // Where the finger may go before the touch is abandoned.
    cRect hitRect = {0.0f, 0.0f, 0.0f, 0.0f};
};

enum eGridTouchMode : uint32_t
{
    // With tracking: every cell the finger passes is reported at once.
    kGridWalk = 0x1,
    // The cell under the finger at release counts, wherever the press began.
    kGridTrack = 0x2,
};

// Maps fingers on a grid of cells to chosen cells for its listener: in tap
// mode a cell is chosen at release if the finger stayed on it (within a
// 6 mm margin); in track mode the cell under the finger at release; in
// paint mode (track and walk) every cell along the finger's path, at once,
// for up to as many fingers as it has records. The record pool is allocated
// when the grid is set; touch handling allocates nothing. Main thread only.
class cGridTouchHelper
{
public:
    class cListener
    {
    public:
        virtual ~cListener();
        virtual void OnCell(int32_t column, int32_t row);
    };

    static constexpr float kHitMarginMillimetres = 6.0f;

    // The margin is measured once, with the display metrics in force.
    cGridTouchHelper(cListener* listener, cWidget* owner);
    ~cGridTouchHelper();
    cGridTouchHelper(const cGridTouchHelper&) = delete;
    cGridTouchHelper& operator=(const cGridTouchHelper&) = delete;

    // Type 0 down, 1 move, 2 up. The owner captures every finger pressed on
    // it, tracked or not, so always true.
    bool HandleTouch(int32_t type, cTouch* touch);
    // Cells of rect / grid size, 1 pixel at least.
    void SetRect(const cRect& rect);
    // Rebuilds the record pool with that many records (none for 0).
    void SetGrid(int32_t columns, int32_t rows, int32_t capacity, uint32_t mode);
    int32_t GetCellCount() const { return mColumns * mRows; }
    bool IsCellTouched(int32_t cell) const;
    // Lets go of every finger without reporting anything.
    void ReleaseAll();

    float GetHitMargin() const { return mHitMargin; }
    int32_t GetActiveCount() const { return int32_t(mActive.GetCount()); }
    int32_t GetFreeCount() const { return int32_t(mFree.GetCount()); }

private:
    bool IsWalking() const { return (mMode & (kGridWalk | kGridTrack)) == (kGridWalk | kGridTrack); }
    bool IsTracking() const { return (mMode & kGridTrack) != 0; }
    void CellAt(const cVector2& position, int32_t* column, int32_t* row) const;
    cGridTouchRecord* FindRecord(int32_t touchId) const;
    void Press(cTouch* touch);
    void Follow(cGridTouchRecord* record, const cVector2& position);
    void Release(cGridTouchRecord* record);
    // Reports every cell of the 8-connected line between two cells, both included.
    void WalkCells(int32_t column0, int32_t row0, int32_t column1, int32_t row1);

    cListener* mListener;
    cWidget* mOwner;
    uint32_t mMode = 0;
    int32_t mColumns = 1;
    int32_t mRows = 1;
    float mCellWidth = 1.0f;
    float mCellHeight = 1.0f;
    cRect mRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mHitMargin;
    Base::cIntrusiveList<cGridTouchRecord> mActive;
    Base::cIntrusiveList<cGridTouchRecord> mFree;
    int32_t mCapacity = 0;
    std::unique_ptr<cGridTouchRecord[]> mRecords;
};
