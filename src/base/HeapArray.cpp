#include "base/HeapArray.h"

#include <cstring>

void cByteArray::Reset(uint32_t size)
{
    if (size != mSize && (!mData || size == 0))
    {
        delete[] mData;
        mData = size ? new uint8_t[size] : nullptr;
        mSize = size;
    }
    Clear();
}

void cByteArray::Clear()
{
    if (mData)
        std::memset(mData, 0, mSize);
    first = 0;
    second = 0;
}
