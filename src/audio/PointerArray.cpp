#include "audio/PointerArray.h"

#include <algorithm>
#include <cstring>

cPointerArray::~cPointerArray() { delete[] mItems; }

void cPointerArray::Append(void* item)
{
    if (mCount == mCapacity)
    {
        const uint32_t n = mCount + 1;
        Reallocate((n + n / 2 + 8) & ~7u);
    }
    mItems[mCount++] = item;
}

bool cPointerArray::RemoveFirst(const void* item)
{
    void** end = mItems + mCount;
    void** found = std::find(mItems, end, item);
    if (found == end)
        return false;
    std::memmove(found, found + 1, (end - found - 1) * sizeof(void*));
    --mCount;
    if (mCount < mCapacity / 2)
    {
        const uint32_t smaller = std::max(mCount, 16u);
        if (smaller < mCapacity)
            Reallocate(smaller);
    }
    return true;
}

void cPointerArray::Reallocate(uint32_t capacity)
{
    void** items = new void*[capacity];
    if (mCount)
        std::memcpy(items, mItems, mCount * sizeof(void*));
    delete[] mItems;
    mItems = items;
    mCapacity = capacity;
}
