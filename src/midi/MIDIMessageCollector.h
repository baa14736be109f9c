#pragma once
#include <cstdint>

#include "base/CriticalSection.h"
#include "midi/MIDIBuffer.h"

class cMIDIMessage;

// The hand-over between MIDI input and the audio thread. Messages arrive at
// any moment stamped in seconds; they are queued as sample positions after
// the last audio callback, at most about one second of them, and once per
// device buffer moved into a buffer of that length, rescaled to fit.
// Lock order: the MIDI manager's lock, then this one.
class cMIDIMessageCollector
{
public:
    // The rate before the first reset: a value no caller passes.
    static constexpr double kUnsetSampleRate = 44100.0001;

    cMIDIMessageCollector() = default;

    // Empties the queue and restarts the time origin at now.
    void Reset(double sampleRate);
    void Reset(double sampleRate, double nowMilliseconds);
    void ResetKeepingRate();

    // Input thread: queues the message at its time stamp (seconds on the
    // program clock), then drops whatever lies more than a second before it.
    void addMessageToQueue(const cMIDIMessage& message, uint8_t source);
    // Queues the message after everything already queued.
    void AddMessageNow(const cMIDIMessage& message, uint8_t source);

    // Audio thread, once per device buffer: moves every queued message into
    // the destination at a position in 0 .. frames - 1. Messages that span
    // fewer samples than the buffer keep their spacing and land at its end;
    // messages of a longer wait are compressed into it.
    void RemoveNextBlock(cMIDIBuffer& destination, int32_t frames);
    void RemoveNextBlock(cMIDIBuffer& destination, int32_t frames, double nowMilliseconds);

    double GetSampleRate() const { return mSampleRate; }
    // Tests and tools: the queue as it stands (take the lock around use).
    const cMIDIBuffer& GetIncoming() const { return mIncoming; }
    cCriticalSection* GetLock() { return &mLock; }

private:
    void Add(const cMIDIMessage& message, int32_t position, uint8_t source);
    int32_t PositionOf(double seconds) const;

    double mLastCallbackTime = 0.0; // milliseconds on the program clock
    cCriticalSection mLock;
    cMIDIBuffer mIncoming;
    double mSampleRate = kUnsetSampleRate;
};
