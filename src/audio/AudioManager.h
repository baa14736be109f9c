#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/AudioBuffer.h"
#include "base/CriticalSection.h"
#include "base/Delegate.h"
#include "base/GenString.h"

class cAudioBufferPool;
class cAudioDevicePort;
class cAudioVoice;
class cThread;

// What cAudioManager::Init is given; start-up passes 8 pool buffers.
struct cAudioSettings
{
    int32_t poolBufferCount = 2;
    float sampleRate = 44100.0f;
    int32_t sampleFormat = kAudioFormatS16;
    int32_t channels = 2;
    int32_t bufferLatency = 2; // index into the latency depths, 0..4
    int32_t audioQuality = 1;
};

// What the audio manager needs of MIDI input. The MIDI manager installs
// itself; without one, passes deliver no MIDI and pausing suspends nothing.
class cAudioMIDIInput
{
public:
    // Main thread, when the audio output pauses and resumes.
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
    // Audio thread, under the audio manager's lock: hands the messages of the
    // device buffer about to be rendered to the sink.
    virtual void DeliverBlock(const cDelegate& sink, uint32_t frames) = 0;

protected:
    ~cAudioMIDIInput() = default;
};

// The one audio output of the program. Its "AudioManager" thread renders one
// device buffer of 220 frames per pass by pulling the "MainOut" port, submits
// it to the output voice and measures the CPU load. Every structural change to
// the audio graph elsewhere is made under this manager's lock; the lock order
// on the audio thread is this lock, then a port's lock, then the sequencer's.
class cAudioManager
{
public:
    static constexpr uint32_t kDeviceBufferFrames = 220;
    static constexpr uint32_t kBlockFrames = 128;
    static constexpr uint32_t kDeviceRingFrames = 3300; // 15 device buffers
    static constexpr int32_t kLatencyCount = 5;
    // A lost device must never hang pause or shutdown.
    static constexpr uint32_t kBufferEndTimeoutMs = 100;

    enum : int32_t
    {
        kPortMainOut = 0,
        kPortRecord = 1,
        kPortCount = 2,
    };

    // The one instance, or null outside its lifetime.
    static cAudioManager* Get() { return sInstance; }
    // Device buffers for a latency index 0..4: 4, 6, 8, 10, 14.
    static int32_t GetLatencyDepth(int32_t latencyIndex);

    cAudioManager();
    ~cAudioManager();
    cAudioManager(const cAudioManager&) = delete;
    cAudioManager& operator=(const cAudioManager&) = delete;

    // False, changing nothing, when already running; otherwise false with
    // GetErrorText() set when the thread or the device is not usable. Without
    // a device the manager still runs, on a null output.
    bool Init(const cAudioSettings& settings);
    // Stops the thread and releases the output; false when not running.
    bool Shutdown();
    // Main thread; never from the audio thread or while holding the lock.
    void SetPaused(bool paused);
    // Offline renders switch the live output off and on with it.
    void SetOutputsEnabled(bool enabled);
    // Clamped to 0..4; takes effect at the next wait.
    void SetLatencyIndex(int32_t latencyIndex);
    void SetQuality(int32_t quality) { mQuality = quality; }
    void SetMIDIInput(cAudioMIDIInput* input);

    cAudioDevicePort* FindPort(const char* name) const;
    cAudioDevicePort* GetOutputPort() const { return mPorts[kPortMainOut].get(); }
    cCriticalSection* GetLock() { return &mLock; }
    cAudioBufferPool* GetBufferPool() const { return mBufferPool.get(); }

    // Started on the output device.
    bool IsInitialised() const { return mInitialised.load(); }
    // The thread renders, on the device or on the null output.
    bool IsRunning() const { return mRunning.load(); }
    bool IsPaused() const { return mPaused.load(); }
    bool IsRendering() const { return mRendering.load(); }
    const char* GetErrorText() const { return mErrorText.CStr(); }
    const cAudioSettings& GetSettings() const { return mSettings; }
    int32_t GetLatencyIndex() const { return mLatencyIndex.load(); }
    int32_t GetQuality() const { return mQuality; }
    uint32_t GetRingIndex() const { return mRingIndex.load(); }
    uint32_t GetBuffersRendered() const { return mBuffersRendered.load(); }
    uint32_t GetFramesRendered() const { return mFramesRendered.load(); }
    uint32_t GetBuffersQueued() const;
    float GetRenderTime() const { return mRenderTime.load(); } // milliseconds of the last pass
    float GetCPULoad() const { return mCPULoad.load(); }       // percent of the last pass

    // One pass of the audio thread.
    void ThreadIteration(cThread* thread);
    // Renders the next device buffer into the ring without the device: the
    // pass's steps after the wait. Returns the buffer rendered.
    const cAudioBuffer& RenderNextBuffer();
    // CPU load in percent of a pass that took elapsedSeconds for one device
    // buffer; 0 for passes over a second, which are stalls, not load.
    float ComputeCPULoad(double elapsedSeconds) const;

    // The active project's MIDI handler; written under the lock, read by every pass.
    cDelegate MIDISink;

private:
    void CreateDevicePorts();
    uint8_t* GetRingBuffer(uint32_t ringIndex) const;
    bool WaitForRoom();
    void MeasureLoad(int64_t startTicks);
    void StopThread();

    static cAudioManager* sInstance;

    std::unique_ptr<cAudioVoice> mVoice;
    std::atomic<uint32_t> mRingIndex{0};
    std::atomic<uint32_t> mBuffersRendered{0};
    std::unique_ptr<cThread> mThread;
    uint32_t mDeviceRingBytes = 0;
    std::unique_ptr<uint8_t[]> mDeviceRing;
    std::unique_ptr<cAudioDevicePort> mPorts[kPortCount];
    std::atomic<bool> mInitialised{false};
    std::atomic<bool> mRunning{false};
    cAudioSettings mSettings;
    std::atomic<uint32_t> mFramesRendered{0};
    float mSecondsPerSample = 1.0f / 44100.0f;
    int32_t mQuality = 1;
    std::unique_ptr<cAudioBufferPool> mBufferPool;
    std::atomic<int32_t> mLatencyIndex{2};
    std::atomic<float> mRenderTime{0.0f};
    std::atomic<float> mCPULoad{0.0f};
    std::atomic<bool> mPaused{true};
    cCriticalSection mLock;
    std::atomic<bool> mRendering{false};
    cAudioMIDIInput* mMIDIInput = nullptr;
    cGenStringFixed<1024> mErrorText;
    cAudioBuffer mBuffer;
};
