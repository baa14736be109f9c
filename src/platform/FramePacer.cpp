#include "platform/FramePacer.h"

#include "base/Clock.h"

#include <cmath>

namespace
{
double ClockSeconds() { return double(GetTicks()) * GetMillisecondsPerTick() * 0.001; }

void SleepUntilSeconds(double time) { SleepUntilTicks(int64_t(std::llround(time * double(GetTicksPerSecond())))); }
} // namespace

cFramePacer::cFramePacer() : cFramePacer(&ClockSeconds, &SleepUntilSeconds) {}

cFramePacer::cFramePacer(tClock clock, tSleepUntil sleepUntil) : mClock(clock), mSleepUntil(sleepUntil) {}

void cFramePacer::SetFramesPerSecond(float framesPerSecond) { mPeriod = 1.0f / framesPerSecond; }

void cFramePacer::WaitForFrameStart()
{
    const float spinWindow = mSpin ? kSpinWindow : 0.0f;
    double now = mClock();
    float elapsed = float(now - mLastFrameTime);
    if (mPeriod - mLag - elapsed > spinWindow)
    {
        mSleepUntil(mLastFrameTime + double(mPeriod - mLag - spinWindow));
        now = mClock();
        elapsed = float(now - mLastFrameTime);
    }
    while (mPeriod - mLag > elapsed)
    {
        now = mClock();
        elapsed = float(now - mLastFrameTime);
    }
    mLastFrameTime = now;
    mLag += elapsed;
}

void cFramePacer::EndFrame(bool presented)
{
    mSpin = presented;
    mLag -= mPeriod;
    if (mLag > 2.0f * mPeriod)
        mLag = 0.0f;
}
