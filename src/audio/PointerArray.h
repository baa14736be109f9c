#pragma once
#include <cstdint>

// An ordered array of pointers it does not own. Grows when full to
// (n + 1) + (n + 1) / 2 + 8 entries rounded down to a multiple of 8; after a
// removal that leaves fewer than half the entries used it shrinks to
// max(count, 16) when that is smaller.
class cPointerArray
{
public:
    cPointerArray() = default;
    ~cPointerArray();
    cPointerArray(const cPointerArray&) = delete;
    cPointerArray& operator=(const cPointerArray&) = delete;

    void Append(void* item);
    // Removes the first entry equal to item, keeping the order of the rest.
    bool RemoveFirst(const void* item);

    uint32_t GetCount() const { return mCount; }
    uint32_t GetCapacity() const { return mCapacity; }
    void* operator[](uint32_t index) const { return mItems[index]; }

private:
    void Reallocate(uint32_t capacity);

    uint32_t mCount = 0;
    uint32_t mCapacity = 0;
    void** mItems = nullptr;
};
