#include "audio/AudioManager.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "audio/AudioBufferPool.h"
#include "audio/AudioDevicePort.h"
#include "audio/FlushDenormals.h"
#include "base/Clock.h"
#include "base/Thread.h"
#include "platform/os/AudioVoice.h"

cAudioManager* cAudioManager::sInstance = nullptr;

namespace
{
constexpr int32_t kLatencyDepths[cAudioManager::kLatencyCount] = {4, 6, 8, 10, 14};
constexpr uint32_t kThreadStackSize = 4096;
constexpr uint32_t kIdleSleepMs = 200;

int32_t ClampLatencyIndex(int32_t index) { return std::clamp(index, 0, cAudioManager::kLatencyCount - 1); }

} // namespace

int32_t cAudioManager::GetLatencyDepth(int32_t latencyIndex) { return kLatencyDepths[ClampLatencyIndex(latencyIndex)]; }

cAudioManager::cAudioManager()
    : mVoice(std::make_unique<cAudioVoice>())
{
    sInstance = this;
    CreateDevicePorts();
    mThread = std::make_unique<cThread>("AudioManager", cDelegate(this, &cAudioManager::ThreadIteration),
                                        cThread::kPriorityTimeCritical, cThread::kStatePause, kThreadStackSize);
}

cAudioManager::~cAudioManager()
{
    Shutdown();
    // After a failed Init the thread still runs its paused loop.
    StopThread();
    sInstance = nullptr;
}

void cAudioManager::CreateDevicePorts()
{
    mPorts[kPortMainOut] = std::make_unique<cAudioDeviceOutputPort>(kBlockFrames);
    mPorts[kPortRecord] = std::make_unique<cAudioDeviceInputPort>();
}

bool cAudioManager::Init(const cAudioSettings& settings)
{
    if (mRunning.load())
        return false;
    mSettings = settings;
    mSecondsPerSample = 1.0f / settings.sampleRate;
    mLatencyIndex.store(ClampLatencyIndex(settings.bufferLatency));
    mQuality = settings.audioQuality;

    if (!mThread || !mThread->HasStarted())
    {
        mErrorText.Printf("Couldn't start the audio thread: error %d", mThread ? mThread->GetCreationError() : 0);
        return false;
    }
    const uint32_t bytesPerSample = GetBytesPerSample(static_cast<uint32_t>(settings.sampleFormat));
    const bool isFloat = settings.sampleFormat == kAudioFormatFloat;
    const int bitsPerSample = static_cast<int>(bytesPerSample * 8);
    const bool device = mVoice->Init(static_cast<int>(settings.sampleRate), settings.channels, bitsPerSample, isFloat);
    if (!device)
    {
        // The start has failed and says why; the engine stays live on a null
        // output at the device's pace, so events, edits and presets still
        // reach the modules and offline renders work.
        mErrorText.AssignCStr(mVoice->GetError());
        mVoice->InitNull(static_cast<int>(settings.sampleRate), settings.channels, bitsPerSample);
    }

    mDeviceRingBytes = static_cast<uint32_t>(settings.channels) * bytesPerSample * kDeviceRingFrames;
    mDeviceRing.reset(new uint8_t[mDeviceRingBytes]());
    mRingIndex.store(0);
    mBufferPool = std::make_unique<cAudioBufferPool>(static_cast<uint32_t>(std::max(settings.poolBufferCount, 0)), kBlockFrames);

    // Running before the thread first runs, so its first pass renders.
    mRunning.store(true);
    mInitialised.store(device);
    mPaused.store(true);
    SetPaused(false);
    return device;
}

void cAudioManager::StopThread()
{
    // Deleting the thread stops it and waits for its pass to end; the pass
    // waits for the device at most kBufferEndTimeoutMs at a time.
    mThread.reset();
}

bool cAudioManager::Shutdown()
{
    if (!mRunning.load())
        return false;
    StopThread();
    mVoice->Stop();
    mVoice->Release();
    mBufferPool.reset();
    mInitialised.store(false);
    mRunning.store(false);
    return true;
}

void cAudioManager::SetPaused(bool paused)
{
    if (paused == mPaused.load())
        return;
    mPaused.store(paused);
    if (paused)
    {
        if (mThread)
            mThread->mRequestedState.store(cThread::kStatePause);
        if (mMIDIInput)
            mMIDIInput->Suspend();
        // The thread finishes the pass it is in.
        while (mThread && mThread->HasStarted() && mThread->mReportedState.load() != cThread::kStatePause)
            std::this_thread::yield();
        mVoice->Flush();
        mVoice->Stop();
    }
    else
    {
        if (mThread)
            mThread->mRequestedState.store(cThread::kStateRun);
        mVoice->Flush();
        mVoice->Start();
        if (mMIDIInput)
            mMIDIInput->Resume();
    }
    mRenderTime.store(0.0f);
    mCPULoad.store(0.0f);
}

void cAudioManager::SetOutputsEnabled(bool enabled)
{
    cScopedLock lock(&mLock);
    for (auto& port : mPorts)
        if (port->GetDirection() == cAudioDevicePort::kDirectionOutput)
            port->SetEnabled(enabled);
}

uint32_t cAudioManager::GetBuffersQueued() const { return mVoice->GetBuffersQueued(); }

void cAudioManager::SetLatencyIndex(int32_t latencyIndex) { mLatencyIndex.store(ClampLatencyIndex(latencyIndex)); }

void cAudioManager::SetMIDIInput(cAudioMIDIInput* input)
{
    cScopedLock lock(&mLock);
    mMIDIInput = input;
}

cAudioDevicePort* cAudioManager::FindPort(const char* name) const
{
    for (const auto& port : mPorts)
        if (std::strcmp(port->GetName().CStr(), name ? name : "") == 0)
            return port.get();
    return nullptr;
}

uint8_t* cAudioManager::GetRingBuffer(uint32_t ringIndex) const
{
    const uint32_t bytesPerBuffer =
        GetBytesPerSample(static_cast<uint32_t>(mSettings.sampleFormat)) * static_cast<uint32_t>(mSettings.channels) * kDeviceBufferFrames;
    return mDeviceRing.get() + size_t(ringIndex) * bytesPerBuffer;
}

bool cAudioManager::WaitForRoom()
{
    // At most depth - 1 buffers wait in the voice; render only below that.
    // After the latency was raised the ring index may come round to a buffer
    // queued under the old depth: it is rendered into only once it has played.
    while (mVoice->GetBuffersQueued() >= static_cast<uint32_t>(GetLatencyDepth(mLatencyIndex.load()) - 1) ||
           mVoice->IsQueued(GetRingBuffer(mRingIndex.load())))
        if (!mVoice->WaitForBufferEnd(kBufferEndTimeoutMs))
            return false; // let the thread loop see a pause or stop request
    return true;
}

const cAudioBuffer& cAudioManager::RenderNextBuffer()
{
    const uint32_t ringIndex = mRingIndex.load();
    mBuffer.Describe(static_cast<uint32_t>(mSettings.sampleFormat), kDeviceBufferFrames, static_cast<uint32_t>(mSettings.channels),
                     GetRingBuffer(ringIndex));

    cAudioProcessInfo info;
    info.offline = 0;
    info.duration = kDeviceBufferFrames * mSecondsPerSample;
    info.sampleRate = mSettings.sampleRate;
    info.secondsPerSample = mSecondsPerSample;
    info.outputIndex = 0;
    info.quality = 2;
    {
        cScopedLock lock(&mLock);
        if (mMIDIInput)
            mMIDIInput->DeliverBlock(MIDISink, kDeviceBufferFrames);
        mPorts[kPortMainOut]->Process(info, mBuffer, kBlockFrames);
    }
    mFramesRendered.fetch_add(kDeviceBufferFrames);
    // The wrap test uses the depth of now: the ring holds 15 buffers and the
    // deepest setting uses 14, so a change while running stays inside it.
    const uint32_t next = ringIndex + 1;
    mRingIndex.store(next < static_cast<uint32_t>(GetLatencyDepth(mLatencyIndex.load())) ? next : 0);
    return mBuffer;
}

float cAudioManager::ComputeCPULoad(double elapsedSeconds) const
{
    if (elapsedSeconds > 1.0)
        return 0.0f;
    const double load = elapsedSeconds / (kDeviceBufferFrames * double(mSecondsPerSample)) * 100.0;
    return static_cast<float>(std::clamp(load, 0.0, 100.0));
}

void cAudioManager::MeasureLoad(int64_t startTicks)
{
    const double elapsed = double(GetTicks() - startTicks) * GetMillisecondsPerTick() * 0.001;
    mCPULoad.store(ComputeCPULoad(elapsed));
    mRenderTime.store(elapsed > 1.0 ? 0.0f : static_cast<float>(elapsed * 1000.0));
}

void cAudioManager::ThreadIteration(cThread*)
{
    FlushDenormalsToZero();
    if (!mRunning.load() || !mVoice->IsOpen())
    {
        Sleep(kIdleSleepMs);
        return;
    }
    mRendering.store(true);
    if (WaitForRoom())
    {
        const int64_t start = GetTicks();
        const cAudioBuffer& buffer = RenderNextBuffer();
        mVoice->Submit(buffer.data, buffer.bytes);
        MeasureLoad(start);
        mBuffersRendered.fetch_add(1);
    }
    mRendering.store(false);
}
