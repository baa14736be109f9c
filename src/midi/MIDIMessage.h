#pragma once
#include <cstdint>

// One MIDI message (channel message, system message, system exclusive or
// file meta event) with its time stamp: seconds on the live input path, a
// sample offset inside the device buffer once handed to the MIDI sink.
// Messages of up to 4 bytes live inline; longer ones own a heap copy, except
// a view, which points at bytes its maker keeps alive (the audio thread's
// hand-over, which must not allocate).
class cMIDIMessage
{
public:
    static constexpr int32_t kInlineBytes = 4;

    // A two-byte message 0xF0 0xF7 at time 0.
    cMIDIMessage();
    // Parses one message from the start of raw bytes, reading no further than
    // count. used receives the bytes taken, or -1 when the bytes begin with a
    // data byte (the message is then empty).
    cMIDIMessage(const uint8_t* bytes, int32_t count, int32_t& used, double time);
    // Copies exactly size bytes.
    cMIDIMessage(const uint8_t* bytes, int32_t size, double time);
    cMIDIMessage(uint8_t byte0, double time);
    cMIDIMessage(uint8_t byte0, uint8_t byte1, double time);
    cMIDIMessage(uint8_t byte0, uint8_t byte1, uint8_t byte2, double time);
    cMIDIMessage(const cMIDIMessage& other);
    cMIDIMessage& operator=(const cMIDIMessage& other);
    ~cMIDIMessage();

    // Refers to the caller's bytes without copying when they do not fit
    // inline; copies of the message own theirs.
    void AssignView(const uint8_t* bytes, int32_t size, double time);

    // Channels are 1..16, clamped. Controller: 0xB0 | channel - 1,
    // controller & 0x7F, value 0.
    static cMIDIMessage Controller(int32_t channel, int32_t controller);
    static cMIDIMessage AllNotesOff(int32_t channel);
    static cMIDIMessage AllSoundOff(int32_t channel);
    static cMIDIMessage AllControllersOff(int32_t channel);
    // Velocity 0..1 becomes the byte round(velocity x 127), clamped.
    static cMIDIMessage NoteOn(int32_t channel, int32_t note, float velocity);
    static cMIDIMessage NoteOn(int32_t channel, int32_t note, int32_t velocity);
    static cMIDIMessage NoteOff(int32_t channel, int32_t note);

    // Bytes of a message by its status byte: 0x80..0xBF 3, 0xC0..0xDF 2,
    // 0xE0..0xEF 3, 0xF0 1, 0xF1 2, 0xF2 3, 0xF3 2, 0xF4..0xFF 1. Indexed by
    // status & 0x7F, so a data byte reads the entry of its status twin.
    static int32_t GetStatusLength(uint8_t status);
    // Bytes the message at the start of bytes takes, never more than count:
    // sysex runs to its 0xF7 or the end, a meta event by its length field, a
    // data byte first gives 0 (no event).
    static int32_t GetEventLength(const uint8_t* bytes, int32_t count);
    // A variable-length quantity: big-endian groups of 7 bits while the top
    // bit is set, at most 6 bytes and never past count. byteCount receives the
    // bytes read.
    static int64_t ReadVariableLength(const uint8_t* bytes, int32_t count, int32_t& byteCount);

    const uint8_t* GetData() const { return mData; }
    int32_t GetSize() const { return mSize; }
    double GetTimeStamp() const { return mTimeStamp; }
    void SetTimeStamp(double time) { mTimeStamp = time; }
    // The first byte, 0 for an empty message.
    uint8_t GetStatus() const { return mSize > 0 ? mData[0] : 0; }
    bool IsNoteOnOrOff() const;

private:
    void Free();
    void CopyFrom(const uint8_t* bytes, int32_t size);
    void ParseSysex(const uint8_t* bytes, int32_t count, int32_t& used);
    void ParseMeta(const uint8_t* bytes, int32_t count, int32_t& used);
    void ParseShort(const uint8_t* bytes, int32_t count, int32_t& used);

    double mTimeStamp = 0.0;
    const uint8_t* mData = mInline;
    int32_t mSize = 0;
    uint8_t mInline[kInlineBytes] = {0, 0, 0, 0};
    uint8_t* mHeap = nullptr; // owned; mData points here for long copies
};
