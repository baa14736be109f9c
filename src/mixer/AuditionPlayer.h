#pragma once
#include <atomic>
#include <cstdint>

#include "audio/SamplePlayer.h"
#include "mixer/EffectRack.h"

class cSample;
namespace Base
{
class cSerialise;
}
struct cAudioBuffer;
struct cAudioProcessInfo;

// Previews samples on the main output, after the project's master effects:
// the file browser plays WAV files, the sampler the sample it edits, through
// the player's own insert chain when asked. The chain is kept in
// "AuditionSettings.dat". Play, stop and the setters run on the main thread
// under the audio manager's lock; Render runs on the audio thread.
class cAuditionPlayer
{
public:
    // Longer files are cut to this many bytes of sample data.
    static constexpr int32_t kFileSizeLimit = 0x400000;
    static constexpr const char* kSettingsFile = "AuditionSettings.dat";
    // The end frame the sampler passes for "to the sample's end".
    static constexpr int32_t kEndOfSample = 0x7fffffff;

    // Sets gAuditionPlayer.
    cAuditionPlayer();
    ~cAuditionPlayer();
    cAuditionPlayer(const cAuditionPlayer&) = delete;
    cAuditionPlayer& operator=(const cAuditionPlayer&) = delete;

    // A WAV file on "Doc", loaded before the lock is taken. False when it
    // cannot be read (the sample error text says why): nothing plays then.
    bool PlayFile(const char* path);
    void PlaySample(cSample* sample, int32_t loopMode, int32_t start, int32_t end, int32_t position);
    void Stop(bool clearUseEffects);
    void SetLoopMode(int32_t mode);
    // The sampler keeps the preview on its selection: the range within the
    // held sample, and the frame to go on from. Called with the audio
    // manager's lock held.
    void SetPlayRange(int32_t start, int32_t end);
    void SetPlayPosition(int32_t frame);
    // Adds the preview into a float stereo block.
    void Render(const cAudioProcessInfo& info, cAudioBuffer& output);
    // Reads (load true) or writes "AuditionSettings.dat" on "Doc". A damaged
    // file is read from its backup and reported; a read is true when one was.
    bool SerialiseSettings(bool load);

    bool IsActive() const { return mPlaying.load(std::memory_order_relaxed) != 0; }
    bool IsLooping() const { return mLoopMode != 0; }
    bool GetUseEffects() const { return mUseEffects != 0; }
    void SetUseEffects(bool use) { mUseEffects = use ? 1 : 0; }
    int32_t GetPosition() const { return mPlayer.GetPosition(); }
    // The range the last start plays (and loops over), within the sample.
    int32_t GetPlayStart() const { return mStart; }
    int32_t GetPlayEnd() const { return mEnd; }
    float GetMeterLeft() const { return mMeterLeft; }
    float GetMeterRight() const { return mMeterRight; }
    cSample* GetSample() const { return mSample; }
    cEffectRack& GetRack() { return mRack; }

private:
    void SerialiseRack(Base::cSerialise& serialiser);
    // Under the lock: the player and the flags stopped; returns the loaded
    // sample for the caller to release once the lock is left.
    cSample* StopLocked(bool clearUseEffects);
    void Start(cSample* sample, int32_t loopMode, int32_t start, int32_t end, int32_t position);
    void RenderThroughRack(const cAudioProcessInfo& info, cAudioBuffer& output);
    void RenderSample(const cAudioProcessInfo& info, cAudioBuffer& block);
    void FollowMeters(const cAudioBuffer& block);

    cSample* mSample = nullptr;
    cSamplePlayer mPlayer;
    float mMeterLeft = 0.0f;
    float mMeterRight = 0.0f;
    uint8_t mUseEffects = 0;
    cEffectRack mRack;
    std::atomic<uint8_t> mPlaying{0};
    int32_t mLoopMode = 0;
    int32_t mStart = 0;
    int32_t mEnd = 0;
};

extern cAuditionPlayer* gAuditionPlayer;
