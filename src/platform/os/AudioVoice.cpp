#include "platform/os/AudioVoice.h"

#include <SDL.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
// Frames the device asks for per callback; a few of our buffers' worth.
constexpr Uint16 kDeviceFrames = 256;

SDL_AudioFormat ToSDLFormat(int bitsPerSample, bool isFloat)
{
    if (isFloat)
        return bitsPerSample == 32 ? AUDIO_F32SYS : 0;
    switch (bitsPerSample)
    {
    case 8: return AUDIO_S8;
    case 16: return AUDIO_S16SYS;
    case 32: return AUDIO_S32SYS;
    default: return 0;
    }
}
} // namespace

cAudioVoice::~cAudioVoice() { Release(); }

void cAudioVoice::SetError(const char* format, const char* reason)
{
    std::snprintf(mError, sizeof(mError), format, reason);
}

bool cAudioVoice::Init(int sampleRate, int channels, int bitsPerSample, bool isFloat)
{
    Release();
    mError[0] = 0;
    const SDL_AudioFormat format = ToSDLFormat(bitsPerSample, isFloat);
    if (format == 0 || channels <= 0 || sampleRate <= 0)
    {
        SetError("Couldn't open the audio device: %s", "unsupported sample format");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        SetError("Couldn't start the audio system: %s", SDL_GetError());
        return false;
    }
    mSubsystemStarted = true;

    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = sampleRate;
    wanted.format = format;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = kDeviceFrames;
    wanted.callback = &cAudioVoice::FillCallback;
    wanted.userdata = this;
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts to whatever the hardware wants.
    mDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (mDevice == 0)
    {
        SetError("Couldn't open the audio device: %s", SDL_GetError());
        Release();
        return false;
    }
    mSilence = obtained.silence;
    mRead.store(0);
    mWrite.store(0);
    mPlayedBytes = 0;
    return true;
}

void cAudioVoice::InitNull(int sampleRate, int channels, int bitsPerSample)
{
    Release();
    const int bytesPerFrame = std::max(channels, 1) * std::max(bitsPerSample / 8, 1);
    mNullRequest.assign(size_t(kDeviceFrames) * size_t(bytesPerFrame), 0);
    mNullPeriodNs = int64_t(kDeviceFrames) * 1000000000 / std::max(sampleRate, 1);
    mNullOpen = true;
    mRead.store(0);
    mWrite.store(0);
    mPlayedBytes = 0;
}

void cAudioVoice::StartNullPump()
{
    if (mNullPumping.exchange(true))
        return;
    mNullPump = std::thread(&cAudioVoice::RunNullPump, this);
}

void cAudioVoice::StopNullPump()
{
    if (!mNullPumping.exchange(false))
        return;
    mNullPump.join();
}

// Asks for one request's bytes each period, on absolute deadlines so the
// pace never drifts.
void cAudioVoice::RunNullPump()
{
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    while (mNullPumping.load())
    {
        deadline.tv_nsec += long(mNullPeriodNs);
        while (deadline.tv_nsec >= 1000000000L)
        {
            deadline.tv_nsec -= 1000000000L;
            ++deadline.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
        std::lock_guard<std::mutex> lock(mNullLock);
        Fill(mNullRequest.data(), uint32_t(mNullRequest.size()));
    }
}

void cAudioVoice::Release()
{
    StopNullPump();
    mNullOpen = false;
    if (mDevice != 0)
    {
        SDL_CloseAudioDevice(mDevice);
        mDevice = 0;
    }
    if (mSubsystemStarted)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        mSubsystemStarted = false;
    }
    // Wake a waiter so it sees the device gone.
    SignalBufferEnd();
}

bool cAudioVoice::Submit(const void* data, uint32_t bytes)
{
    const uint32_t write = mWrite.load(std::memory_order_relaxed);
    if (write - mRead.load(std::memory_order_acquire) >= kMaxQueued)
        return false;
    mQueue[write % kMaxQueued] = {static_cast<const uint8_t*>(data), bytes};
    mWrite.store(write + 1, std::memory_order_release);
    return true;
}

uint32_t cAudioVoice::GetBuffersQueued() const
{
    // The read index first: it never passes the write index, so a flush
    // between the two loads cannot make the count wrap around.
    const uint32_t read = mRead.load(std::memory_order_acquire);
    return mWrite.load(std::memory_order_acquire) - read;
}

bool cAudioVoice::IsQueued(const void* data) const
{
    const uint32_t write = mWrite.load(std::memory_order_relaxed);
    for (uint32_t i = mRead.load(std::memory_order_acquire); i != write; ++i)
        if (mQueue[i % kMaxQueued].data == data)
            return true;
    return false;
}

void cAudioVoice::Flush()
{
    if (mDevice != 0)
        SDL_LockAudioDevice(mDevice);
    {
        std::lock_guard<std::mutex> lock(mNullLock);
        mRead.store(mWrite.load(std::memory_order_acquire), std::memory_order_release);
        mPlayedBytes = 0;
    }
    if (mDevice != 0)
        SDL_UnlockAudioDevice(mDevice);
    SignalBufferEnd();
}

void cAudioVoice::Start()
{
    if (mDevice != 0)
        SDL_PauseAudioDevice(mDevice, 0);
    else if (mNullOpen)
        StartNullPump();
}

void cAudioVoice::Stop()
{
    if (mDevice != 0)
        SDL_PauseAudioDevice(mDevice, 1);
    else
        StopNullPump();
}

bool cAudioVoice::WaitForBufferEnd(uint32_t timeoutMs) { return mBufferEnd.Wait(timeoutMs); }

void cAudioVoice::SignalBufferEnd() { mBufferEnd.Signal(); }

void cAudioVoice::FillCallback(void* user, uint8_t* stream, int length)
{
    static_cast<cAudioVoice*>(user)->Fill(stream, length > 0 ? static_cast<uint32_t>(length) : 0);
}

void cAudioVoice::Fill(uint8_t* stream, uint32_t length)
{
    while (length > 0)
    {
        const uint32_t read = mRead.load(std::memory_order_relaxed);
        if (read == mWrite.load(std::memory_order_acquire))
        {
            // Underrun: play silence until the next buffer arrives.
            std::memset(stream, mSilence, length);
            return;
        }
        const cQueued& buffer = mQueue[read % kMaxQueued];
        const uint32_t count = std::min(length, buffer.bytes - mPlayedBytes);
        std::memcpy(stream, buffer.data + mPlayedBytes, count);
        stream += count;
        length -= count;
        mPlayedBytes += count;
        if (mPlayedBytes >= buffer.bytes)
        {
            mPlayedBytes = 0;
            mRead.store(read + 1, std::memory_order_release);
            SignalBufferEnd();
        }
    }
}
