#pragma once
#include <cstdint>
#include <memory>

class cMIDIInput;
class cMIDIInputCallback;

// Turns the raw bytes a device sends, in whatever pieces they arrive, into
// complete messages: it applies running status, delivers real-time bytes
// (clock, active sensing) at once even inside another message, and joins
// system exclusive pieces into one message delivered when its 0xF7 arrives,
// stamped with the time of its 0xF0. One per device; one thread pushes.
class cMIDIByteAssembler
{
public:
    // A system exclusive message longer than this (64 KiB less the byte the
    // event size field cannot hold) is dropped, up to its 0xF7.
    static constexpr int32_t kMaxSysexBytes = 0xFFFF;
    static constexpr int32_t kInitialSysexBytes = 4096;

    cMIDIByteAssembler();
    ~cMIDIByteAssembler();
    cMIDIByteAssembler(const cMIDIByteAssembler&) = delete;
    cMIDIByteAssembler& operator=(const cMIDIByteAssembler&) = delete;

    // Delivers every message the bytes complete to the callback, as coming
    // from the source; an unfinished sysex reaches its partial handler.
    void Push(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback, cMIDIInput* source);
    void Reset();

    int32_t GetPendingCount() const { return mPendingCount; }
    int32_t GetPendingCapacity() const { return mPendingCapacity; }

private:
    // Returns the bytes consumed, or count when the rest is dropped.
    int32_t PushShort(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback, cMIDIInput* source);
    int32_t PushSysex(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback, cMIDIInput* source);
    int32_t SkipDroppedSysex(const uint8_t* bytes, int32_t count, double time, cMIDIInputCallback& callback,
                             cMIDIInput* source);
    bool EnsurePendingRoom(int32_t bytes);
    // Delivers a finished sysex, or shows an unfinished one to the partial handler.
    void FinishSysex(cMIDIInputCallback& callback, cMIDIInput* source);

    std::unique_ptr<uint8_t[]> mPending;
    int32_t mPendingCapacity = 0;
    int32_t mPendingCount = 0;
    double mPendingTime = 0.0;
    uint8_t mRunningStatus = 0;
    // Set when an overlong sysex was dropped: its remaining data is skipped.
    bool mSkippingSysex = false;
};
