#pragma once
#include <cstdint>
#include <vector>

struct snd_seq_event;
struct snd_midi_event;

// Turns ALSA sequencer events back into the MIDI bytes a device sent, one
// event at a time, with running status off so every message carries its
// status byte. One per input port: the decoder keeps state between events.
class cAlsaMIDIDecoder
{
public:
    // A sysex piece larger than this is dropped rather than buffered.
    static constexpr uint32_t kMaxEventBytes = 1u << 20;

    cAlsaMIDIDecoder();
    ~cAlsaMIDIDecoder();
    cAlsaMIDIDecoder(const cAlsaMIDIDecoder&) = delete;
    cAlsaMIDIDecoder& operator=(const cAlsaMIDIDecoder&) = delete;

    bool IsValid() const { return mParser != nullptr; }
    void Reset();
    // The bytes of the event, valid until the next call; 0 for events that
    // carry no MIDI (port notices, queue control, unknown kinds).
    int32_t Decode(const snd_seq_event& event, const uint8_t*& bytes);

private:
    snd_midi_event* mParser = nullptr;
    std::vector<uint8_t> mBytes;
};
