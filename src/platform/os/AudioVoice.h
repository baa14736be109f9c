#pragma once

#include "base/AutoResetEvent.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// The program's audio output: one stream of interleaved buffers played in the
// order they were submitted. Submitted buffers are not copied; each must stay
// untouched until the buffer-end event reports it played. The device pulls
// from the queue on its own thread, plays silence when the queue runs dry,
// and signals the buffer-end event after each buffer.
class cAudioVoice
{
public:
    static constexpr uint32_t kMaxQueued = 16;

    cAudioVoice() = default;
    ~cAudioVoice();
    cAudioVoice(const cAudioVoice&) = delete;
    cAudioVoice& operator=(const cAudioVoice&) = delete;

    // Opens the default output device, stopped. On failure GetError() tells why.
    bool Init(int sampleRate, int channels, int bitsPerSample, bool isFloat);
    // Opens no device: a thread of the voice's own takes the queued buffers
    // at the pace a device would play them, and drops them. Keeps GetError().
    void InitNull(int sampleRate, int channels, int bitsPerSample);
    void Release();
    bool IsOpen() const { return mDevice != 0 || mNullOpen; }
    bool IsNull() const { return mNullOpen; }
    const char* GetError() const { return mError; }

    // One producer thread. False (and nothing queued) when the queue is full.
    bool Submit(const void* data, uint32_t bytes);
    // Counts the buffer in play.
    uint32_t GetBuffersQueued() const;
    // Whether a buffer submitted from data waits or plays; the submitting thread asks.
    bool IsQueued(const void* data) const;
    // Drops every queued buffer, the one in play included.
    void Flush();
    void Start();
    void Stop();

    // Waits for the buffer-end event (auto-reset) at most timeoutMs; false on time-out.
    bool WaitForBufferEnd(uint32_t timeoutMs);

private:
    struct cQueued
    {
        const uint8_t* data = nullptr;
        uint32_t bytes = 0;
    };

    static void FillCallback(void* user, uint8_t* stream, int length);
    void StartNullPump();
    void StopNullPump();
    void RunNullPump();
    void Fill(uint8_t* stream, uint32_t length);
    void SignalBufferEnd();
    void SetError(const char* format, const char* reason);

    uint32_t mDevice = 0; // the window system's device id
    // The null output: the bytes of one device request, taken each period.
    bool mNullOpen = false;
    std::vector<uint8_t> mNullRequest;
    int64_t mNullPeriodNs = 0;
    std::thread mNullPump;
    std::atomic<bool> mNullPumping{false};
    std::mutex mNullLock; // held around each request, as the device lock is
    bool mSubsystemStarted = false;
    uint8_t mSilence = 0;

    // Written by Submit; read by the device thread.
    std::atomic<uint32_t> mWrite{0};
    // Written by the device thread, or by Flush while it is locked out.
    std::atomic<uint32_t> mRead{0};
    uint32_t mPlayedBytes = 0; // of the buffer in play
    cQueued mQueue[kMaxQueued];

    cAutoResetEvent mBufferEnd;

    char mError[512] = {};
};
