#pragma once
#include <atomic>
#include <bit>
#include <cstdint>

// Event types a module may receive; receivers ignore the ones they do not know.
enum : uint8_t
{
    kAudioEventNoteOn = 0,
    kAudioEventNoteOff = 1,
    kAudioEventNoteCut = 2,
    kAudioEventAllNotesOff = 3,
    kAudioEventReleaseLiveNotes = 4,
    kAudioEventReset = 5,
    kAudioEventParamTouch = 6,
    kAudioEventModuleParam = 7,
    kAudioEventReloadParams = 8,
    kAudioEventSetFloatParam = 9,
    kAudioEventSetIntParam = 10,
    kAudioEventSelectPreset = 11,
    kAudioEventStepPreset = 12,
    kAudioEventPitchBend = 13,
    kAudioEventPrepareProgram = 14,
    kAudioEventMIDITransport = 15,
    kAudioEventEmpty = 16,
};

enum : uint32_t
{
    kAudioEventFlagOwnTime = 1,       // position holds the event's own time in ticks
    kAudioEventFlagAudition = 2,      // not for recording
    kAudioEventFlagTransportStop = 4, // all-notes-off of a transport stop
    kAudioEventFlagIgnoreMute = 8,    // sounds even where its pad is muted
    kAudioEventFlagReportPreset = 16, // tell the user interface about the preset change
};

// The top byte of a voice id names where the note came from.
enum : uint32_t
{
    kVoiceSourceUser = 0x01,
    kVoiceSourceSequencer = 0x02,
    kVoiceSourceMIDI = 0x03,
};

// One fixed-size message to a module: six 32-bit words, copied, never shared.
struct cAudioEvent
{
    uint32_t flags = 0;
    int32_t position = 0; // ticks, valid with kAudioEventFlagOwnTime
    uint8_t type = kAudioEventEmpty;
    uint8_t slot = 0; // instrument slot 0..15, 255 for a MIDI message without channel
    uint8_t zero[2] = {0, 0};
    uint32_t wordA = 0; // note events: note in the first byte, velocity in the second
    uint32_t wordB = 0; // note events: the voice id
    float valueF = 0.0f;

    uint8_t GetNote() const { return static_cast<uint8_t>(wordA & 0xff); }
    uint8_t GetVelocity() const { return static_cast<uint8_t>((wordA >> 8) & 0xff); }
    void SetNote(uint8_t note, uint8_t velocity) { wordA = note | (uint32_t(velocity) << 8); }
    // Set-float and set-int events: the parameter id in wordA, the value in wordB.
    float GetFloatValue() const { return std::bit_cast<float>(wordB); }
    int32_t GetIntValue() const { return static_cast<int32_t>(wordB); }
};
static_assert(sizeof(cAudioEvent) == 24, "events are six 32-bit words");

inline cAudioEvent MakeSetFloatEvent(uint32_t id, float value)
{
    cAudioEvent event;
    event.type = kAudioEventSetFloatParam;
    event.wordA = id;
    event.wordB = std::bit_cast<uint32_t>(value);
    return event;
}

inline cAudioEvent MakeSetIntEvent(uint32_t id, int32_t value)
{
    cAudioEvent event;
    event.type = kAudioEventSetIntParam;
    event.wordA = id;
    event.wordB = static_cast<uint32_t>(value);
    return event;
}

// Process-wide count of generated notes, 0 at program start.
extern std::atomic<uint32_t> NoteIdCounter;

// A fresh voice id for a generated note: the counter's next value in the low
// 24 bits (wrapping there) under the source's top byte.
uint32_t MakeVoiceId(uint32_t source);
