#pragma once
#include <atomic>
#include <cstdint>

// The song clock's shared variables, one set per program. The sequencer
// writes them under its lock (on the audio thread while it plays); the user
// interface, the renders and the instruments (tempo-synced effects, the click)
// read them without a lock, so each is atomic. They live with the audio engine
// because instruments below the sequencer read them.
struct cTransport
{
    enum : int32_t
    {
        kStopped = 0,
        kPlaying = 1,
        kPlayCountIn = 2,
        kRecording = 3,
        kRecordCountIn = 4,
        kMetronomeCountIn = 5, // one bar of clicks, repeated until the state changes
    };

    static constexpr int32_t kTicksPerBeat = 256;

    std::atomic<int32_t> state{kStopped};
    std::atomic<int32_t> position{0};       // ticks
    std::atomic<int32_t> samplePosition{0}; // the position in samples at the current tempo and rate
    std::atomic<int32_t> sampleRate{44100}; // of the last block
    std::atomic<float> tempo{120.0f};       // beats per minute, 40..240
    std::atomic<int32_t> beatsPerBar{4};    // 1..7
    std::atomic<int32_t> ticksPerBar{1024};
    std::atomic<float> ticksPerBarFloat{1024.0f};
    std::atomic<float> barsPerTick{1.0f / 1024.0f};
    std::atomic<int32_t> loopOn{0};
    std::atomic<int32_t> loopStart{0};
    std::atomic<int32_t> loopEnd{4096};
    std::atomic<int32_t> countInBars{1};   // before recording
    std::atomic<int32_t> metronomeMode{1}; // 0 off, 1 while recording, 2 while playing and recording
    std::atomic<float> metronomeLevel{0.7f};
    // Samples: counts a count-in up from below zero, runs freely while stopped.
    std::atomic<int32_t> clockCounter{0};
    // The counter in ticks: negative in a count-in, the position while
    // playing; tempo-synced effects follow it.
    std::atomic<int32_t> clock{0};
    // While set, playback erases held keys' notes (or every event) and live
    // input is not recorded.
    std::atomic<uint8_t> eraseKeys{0};
    std::atomic<uint8_t> eraseAll{0};
    // Goes up with every change of the song the editors must redraw for.
    std::atomic<int32_t> changeCounter{0};
};

extern cTransport gTransport;
