#pragma once

#include <algorithm>
#include <cstdint>

// Resize options of cHeapArray.
enum eHeapArrayOptions : uint32_t
{
    kHeapArrayForce = 1u << 0, // reallocate even when a block exists
    kHeapArrayKeep = 1u << 1,  // copy the elements that fit into the new block
};

// A buffer sized once and then reused: a resize reallocates only an empty
// array, a resize to 0, or when forced, so calling it again and again costs
// nothing on the audio path. The count is always the size of the block that
// exists; read it where the real size matters. Elements are default-
// initialised: plain numbers are left as they are, records with member
// initialisers (audio events: the empty type) get them.
template <class T>
class cHeapArray
{
public:
    cHeapArray() = default;
    cHeapArray(const cHeapArray&) = delete;
    cHeapArray& operator=(const cHeapArray&) = delete;
    ~cHeapArray() { Free(); }

    void Resize(uint32_t count, uint32_t options = 0)
    {
        if (count == mCount)
            return;
        if (mData && count != 0 && !(options & kHeapArrayForce))
            return;
        T* block = count ? new T[count] : nullptr;
        if (mData && block && (options & kHeapArrayKeep))
            std::copy(mData, mData + std::min(mCount, count), block);
        delete[] mData;
        mData = block;
        mCount = count;
    }

    void Free()
    {
        delete[] mData;
        mData = nullptr;
        mCount = 0;
    }

    uint32_t GetCount() const { return mCount; }
    T* GetData() { return mData; }
    const T* GetData() const { return mData; }
    // No bounds check: the caller keeps i below the count.
    T* At(uint32_t i) { return mData + i; }
    T& operator[](uint32_t i) { return mData[i]; }
    const T& operator[](uint32_t i) const { return mData[i]; }

private:
    uint32_t mCount = 0;
    T* mData = nullptr;
};

using cFloatArray = cHeapArray<float>;

// A byte buffer with two counters, reset as a whole.
class cByteArray
{
public:
    cByteArray() = default;
    cByteArray(const cByteArray&) = delete;
    cByteArray& operator=(const cByteArray&) = delete;
    ~cByteArray() { delete[] mData; }

    // Replaces the block only when the array has none or size is 0 (as
    // cHeapArray::Resize); then zeroes the whole current block and both
    // counters.
    void Reset(uint32_t size);
    // Zeroes the block and both counters without reallocating.
    void Clear();

    uint32_t GetSize() const { return mSize; }
    uint8_t* GetData() { return mData; }
    const uint8_t* GetData() const { return mData; }
    int32_t first = 0;
    int32_t second = 0;

private:
    uint32_t mSize = 0;
    uint8_t* mData = nullptr;
};
