#include "ui/GridTouchHelper.h"

#include <algorithm>
#include <cstdlib>

#include "platform/DisplayMetrics.h"
#include "ui/InputManager.h"
#include "ui/Widget.h"

namespace
{
int32_t Sign(int32_t value) { return (value > 0) - (value < 0); }

// Cells narrower than a pixel would divide positions by nothing.
float CellSize(float length, int32_t count) { return length < 1.0f ? 1.0f : length / float(count); }
} // namespace

cGridTouchHelper::cListener::~cListener() = default;

void cGridTouchHelper::cListener::OnCell(int32_t, int32_t) {}

cGridTouchHelper::cGridTouchHelper(cListener* listener, cWidget* owner)
    : mListener(listener), mOwner(owner), mHitMargin(kHitMarginMillimetres * gDisplayMetrics.pixelsPerMillimetre)
{
}

cGridTouchHelper::~cGridTouchHelper() = default;

void cGridTouchHelper::SetRect(const cRect& rect)
{
    mRect = rect;
    mCellWidth = CellSize(rect.xMax - rect.xMin, mColumns);
    mCellHeight = CellSize(rect.yMax - rect.yMin, mRows);
}

void cGridTouchHelper::SetGrid(int32_t columns, int32_t rows, int32_t capacity, uint32_t mode)
{
    mColumns = std::max(columns, 1);
    mRows = std::max(rows, 1);
    mMode = mode;
    mActive = {};
    mFree = {};
    mCapacity = std::max(capacity, 0);
    mRecords.reset(mCapacity > 0 ? new cGridTouchRecord[size_t(mCapacity)] : nullptr);
    for (int32_t i = 0; i < mCapacity; ++i)
        mFree.PushBack(&mRecords[i]);
}

bool cGridTouchHelper::IsCellTouched(int32_t cell) const
{
    if (cell < 0 || cell >= GetCellCount())
        return false;
    for (const cGridTouchRecord* record = mActive.GetFirst(); record; record = record->GetNext())
        if (record->cell == cell)
            return true;
    return false;
}

void cGridTouchHelper::ReleaseAll()
{
    while (cGridTouchRecord* record = mActive.GetFirst())
        Release(record);
}

void cGridTouchHelper::CellAt(const cVector2& position, int32_t* column, int32_t* row) const
{
    *column = std::clamp(int32_t((position.X - mRect.xMin) / mCellWidth), 0, mColumns - 1);
    *row = std::clamp(int32_t((position.Y - mRect.yMin) / mCellHeight), 0, mRows - 1);
}

cGridTouchRecord* cGridTouchHelper::FindRecord(int32_t touchId) const
{
    for (cGridTouchRecord* record = mActive.GetFirst(); record; record = record->GetNext())
        if (record->touchId == touchId)
            return record;
    return nullptr;
}

bool cGridTouchHelper::HandleTouch(int32_t type, cTouch* touch)
{
    if (type == kTouchDown)
    {
        Press(touch);
        return true;
    }
    cGridTouchRecord* record = FindRecord(touch->id);
    if (!record)
        return true;
    if (type == kTouchMove)
    {
        Follow(record, touch->position);
    }
    else if (type == kTouchUp)
    {
        if (!IsWalking())
            mListener->OnCell(record->column, record->row);
        Release(record);
    }
    return true;
}

// A finger beyond the pool is captured all the same, so it reaches nothing
// else, but chooses nothing.
void cGridTouchHelper::Press(cTouch* touch)
{
    mOwner->CaptureTouch(touch->id);
    cGridTouchRecord* record = mFree.PopFront();
    if (!record)
        return;
    mActive.PushBack(record);
    CellAt(touch->position, &record->column, &record->row);
    record->cell = record->column + record->row * mColumns;
    record->touchId = touch->id;
    record->lastStepX = 0;
    record->lastStepY = 0;
    if (IsTracking())
    {
        record->hitRect = mRect;
    }
    else
    {
        const float x0 = float(record->column) * mCellWidth + mRect.xMin;
        const float y0 = float(record->row) * mCellHeight + mRect.yMin;
        record->hitRect = {x0, y0, x0 + mCellWidth, y0 + mCellHeight};
    }
    record->hitRect.Grow(mHitMargin, mHitMargin, mHitMargin, mHitMargin);
    if (IsWalking())
        mListener->OnCell(record->column, record->row);
}

void cGridTouchHelper::Follow(cGridTouchRecord* record, const cVector2& position)
{
    if (!record->hitRect.Contains(position))
    {
        Release(record);
        return;
    }
    int32_t column, row;
    CellAt(position, &column, &row);
    const int32_t cell = column + row * mColumns;
    if (cell == record->cell || !IsTracking())
        return;
    if (IsWalking())
    {
        const int32_t stepX = Sign(column - record->column);
        const int32_t stepY = Sign(row - record->row);
        // After a reversal the cell under the finger is painted again first.
        const int32_t startColumn = std::abs(stepX - record->lastStepX) > 1 ? record->column : record->column + stepX;
        const int32_t startRow = std::abs(stepY - record->lastStepY) > 1 ? record->row : record->row + stepY;
        WalkCells(startColumn, startRow, column, row);
        record->lastStepX = stepX;
        record->lastStepY = stepY;
    }
    record->cell = cell;
    record->column = column;
    record->row = row;
}

void cGridTouchHelper::Release(cGridTouchRecord* record)
{
    mActive.Remove(record);
    record->touchId = -1;
    record->cell = -1;
    mFree.PushBack(record);
}

void cGridTouchHelper::WalkCells(int32_t column0, int32_t row0, int32_t column1, int32_t row1)
{
    const int32_t dx = std::abs(column1 - column0), dy = std::abs(row1 - row0);
    const int32_t sx = column0 < column1 ? 1 : -1, sy = row0 < row1 ? 1 : -1;
    int32_t error = 2 * (dx - dy);
    int32_t x = column0, y = row0;
    for (;;)
    {
        mListener->OnCell(x, y);
        if (x == column1 && y == row1)
            return;
        const int32_t e = error;
        if (e > -dy)
        {
            error -= 2 * dy;
            x += sx;
        }
        if (e < dx)
        {
            error += 2 * dx;
            y += sy;
        }
    }
}
