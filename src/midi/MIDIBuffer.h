#pragma once
#include <cstdint>

// MIDI messages kept in time order in one growable block: each event is a
// 7-byte header (i32 sample position, u8 source device slot, u16 size, all
// little-endian, unpadded) followed by its bytes. Events with equal positions
// keep the order they were added in. The block grows by half again plus a
// margin and never shrinks, so a buffer in steady use stops allocating.
class cMIDIBuffer
{
public:
    static constexpr int32_t kHeaderBytes = 7;
    static constexpr int32_t kMaxEventBytes = 0xFFFF;

    // Walks the events in order.
    class cIterator
    {
    public:
        explicit cIterator(const cMIDIBuffer& buffer) : mBuffer(buffer) {}
        // False after the last event.
        bool Next(const uint8_t*& bytes, int32_t& size, int32_t& position, uint8_t& source);
        // Moves to the first event at or after the position.
        void SkipTo(int32_t position);

    private:
        const cMIDIBuffer& mBuffer;
        int32_t mOffset = 0;
    };

    cMIDIBuffer() = default;
    ~cMIDIBuffer();
    cMIDIBuffer(const cMIDIBuffer&) = delete;
    cMIDIBuffer& operator=(const cMIDIBuffer&) = delete;

    // Grows the block to at least the bytes, so the first uses need not.
    void Reserve(int32_t bytes);
    // Adds the message at the start of bytes (its length by
    // cMIDIMessage::GetEventLength). Returns the bytes stored, 0 when they do
    // not begin an event or it would not fit a 16-bit size.
    int32_t AddEvent(const uint8_t* bytes, int32_t count, int32_t position, uint8_t source);
    void Clear();
    // Removes the events at positions start .. start + length - 1.
    void ClearRange(int32_t start, int32_t length);

    int32_t GetEventCount() const { return mCount; }
    bool IsEmpty() const { return mCount == 0; }
    // The largest position added since the last clear.
    int32_t GetLastTime() const { return mLastTime; }
    // Position of the first event; 0 when empty.
    int32_t GetFirstPosition() const;
    int32_t GetAllocated() const { return mAllocated; }
    int32_t GetUsed() const { return mUsed; }

private:
    struct cHeader
    {
        int32_t position;
        uint8_t source;
        int32_t size;
    };

    cHeader ReadHeader(int32_t offset) const;
    void WriteHeader(int32_t offset, int32_t position, uint8_t source, int32_t size);
    // Offset after the last event whose position is at or before the position.
    int32_t FindInsertOffset(int32_t position) const;
    bool Grow(int64_t bytes);

    uint8_t* mData = nullptr;
    int32_t mAllocated = 0;
    int32_t mUsed = 0;
    int32_t mCount = 0;
    int32_t mLastTime = 0;
};
