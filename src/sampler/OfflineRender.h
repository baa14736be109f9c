#pragma once

#include <cstdint>

#include "audio/AudioBuffer.h"

class cMixer;

// The engine taken over by a render on the job thread: the transport
// stopped, MIDI input suspended, every instrument silenced and the device
// outputs switched off, so that the audio thread leaves the project's mixer
// alone and the render drives it in blocks of its own. Restore puts the
// transport, loop, metronome and track mute and solo states back and hands
// the mixer to the audio thread again. The mixdown and the sampler's renders
// share it.
//
// Job thread only. The sequencer's lock is taken around the first stop; the
// other transport changes are plain stores the audio thread no longer races.
class cOfflineRender
{
public:
    static constexpr uint32_t kBlockFrames = 128;
    static constexpr float kSampleRate = 44100.0f;
    // One mute/solo state per track of the track list, in list order.
    static constexpr int32_t kTrackStateCount = 64;

    cOfflineRender() = default;
    // A render that was not restored is restored here.
    ~cOfflineRender();
    cOfflineRender(const cOfflineRender&) = delete;
    cOfflineRender& operator=(const cOfflineRender&) = delete;

    // Every track's mute/solo state (0 normal, 1 mute, 2 solo) into states;
    // the number of tracks.
    static int32_t GetTrackStates(uint8_t* states);
    // Gives every track its state; a track that becomes audible is located
    // at the song position, one that falls silent releases its notes.
    static void ApplyTrackStates(const uint8_t* states);

    // Quiets the engine and flushes the mixer; false, changing nothing,
    // without a mixer.
    bool Quiet(cMixer* mixer);
    // Only the device outputs off and MIDI input suspended, for a render
    // through a rack of its own: the transport and the instruments stay as
    // they are, and an audition goes on once Restore turns the outputs on.
    void QuietOutputs();
    // Keeps the metronome mode, song position, loop switch and track states.
    void SaveTransport();
    // Plays from start with the metronome and the loop off and the given
    // track states (none: as they are).
    void StartPlaying(int32_t start, const uint8_t* trackStates);
    // Renders the next frames (at most 128) of the mix into the block, only
    // the channels whose bit is set in mask (none: all). The mixer renders
    // whole groups of four frames; the caller takes the frames it asked for.
    const int16_t* RenderBlock(uint32_t frames, const uint32_t* mask);
    // The saved transport back, every instrument silenced and reset, the
    // outputs on and MIDI input resumed.
    void Restore();

    bool IsQuiet() const { return mMixer != nullptr || mOutputsOnly; }

private:
    void Flush();

    cMixer* mMixer = nullptr;
    cAudioProcessInfo mInfo;
    cAudioBuffer mBuffer;
    int16_t mBlock[kBlockFrames * 2] = {};
    bool mTransportSaved = false;
    bool mOutputsOnly = false;
    int32_t mSavedMetronome = 0;
    int32_t mSavedPosition = 0;
    int32_t mSavedLoopOn = 0;
    uint8_t mSavedStates[kTrackStateCount] = {};
};
