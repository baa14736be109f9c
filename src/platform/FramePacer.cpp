#include "platform/FramePacer.h"

#include "base/Clock.h"
#include "base/Thread.h"

namespace
{
constexpr float kSpinThreshold = 0.005f;

double ClockSeconds() { return double(GetTicks()) * GetMillisecondsPerTick() * 0.001; }

void SleepMilliseconds(int milliseconds) { Sleep(uint32_t(milliseconds)); }
} // namespace

cFramePacer::cFramePacer() : cFramePacer(&ClockSeconds, &SleepMilliseconds) {}

cFramePacer::cFramePacer(tClock clock, tSleep sleep) : mClock(clock), mSleep(sleep) {}

void cFramePacer::SetFramesPerSecond(float framesPerSecond) { mPeriod = 1.0f / framesPerSecond; }

void cFramePacer::WaitForFrameStart()
{
    double now = mClock();
    float elapsed = float(now - mLastFrameTime);
    while (mPeriod - mLag > elapsed)
    {
        if (mPeriod - elapsed - mLag > kSpinThreshold)
            mSleep(1);
        now = mClock();
        elapsed = float(now - mLastFrameTime);
    }
    mLastFrameTime = now;
    mLag += elapsed;
}

void cFramePacer::EndFrame()
{
    mLag -= mPeriod;
    if (mLag > 2.0f * mPeriod)
        mLag = 0.0f;
}
