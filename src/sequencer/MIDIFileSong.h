#pragma once

#include "base/GenString.h"

#include <cstdint>
#include <vector>

// What a standard MIDI file holds for the song: a flat image per MIDI channel
// that import and export build or consume. Times are song ticks (256 per
// quarter note).
class cMIDIFileSong
{
public:
    static constexpr int kChannelCount = 16;
    // The song model ends here; times read from a file are clamped to it.
    static constexpr int32_t kSongEndTicks = 512000;

    enum class eEventKind : int32_t
    {
        Note = 0,
        Controller = 1,
        PitchBend = 2,
        Program = 3,
        Marker = 4,
        SequencerData = 5,
    };

    struct sEvent
    {
        eEventKind kind = eEventKind::Note;
        int32_t time = 0;
        double seconds = 0.0; // file time, only when read
        // Note: note, velocity. Controller: number, value. Program: number.
        // Pitch bend: the 14-bit value in bend (8192 = centre). Marker and
        // sequencer data: the index into the song's texts or data blocks.
        union
        {
            uint8_t bytes[4];
            uint16_t bend;
            int32_t index;
        } data = {};
        int32_t length = 0; // notes: ticks; sequencer data: bytes
    };

    struct sChannel
    {
        cGenString trackName;
        cGenString instrumentName;
        int32_t bank = -1;    // first bank select (controller 32), -1 none
        int32_t program = -1; // first program change, -1 none
        std::vector<sEvent> events;
    };

    cMIDIFileSong();
    cMIDIFileSong(const cMIDIFileSong&) = delete;
    cMIDIFileSong& operator=(const cMIDIFileSong&) = delete;

    void Clear();

    // Each appends to the channel's events and returns the new event's
    // index. Data values keep only their low byte, as a file event stores
    // them; the writer skips channel events whose bytes do not fit MIDI.
    int AddNote(int channel, int32_t time, int note, int velocity, int32_t length);
    int AddController(int channel, int32_t time, int controller, int value);
    int AddPitchBend(int channel, int32_t time, int value);
    int AddProgram(int channel, int32_t time, int program);
    int AddMarker(int channel, int32_t time, const cGenString& text);
    int AddSequencerData(int channel, int32_t time, const uint8_t* data, int32_t length);

    cGenString name;
    float tempo = 120.0f;
    int32_t numerator = 4;
    // Reading stores the file's power of two here (2 for quarter notes).
    int32_t denominator = 4;
    sChannel channels[kChannelCount];
    std::vector<cGenString> texts;
    std::vector<std::vector<uint8_t>> dataBlocks;

private:
    sEvent& Append(int channel, eEventKind kind, int32_t time);
};
