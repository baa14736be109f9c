#pragma once

// Paces the frame loop to the application's frame rate: sleeps to an absolute
// deadline on the monotonic clock, then spins at most the last 0.3 ms, which
// is as close as the system's wake-up comes. The spin only pays while frames
// are being presented: after a frame that showed nothing new the whole wait
// is slept, so an idle program does not spin. A late frame shortens the next
// wait by its lateness; after a stall of more than two periods the schedule
// restarts instead of bursting catch-up frames.
class cFramePacer
{
public:
    using tClock = double (*)();              // seconds
    using tSleepUntil = void (*)(double time); // seconds on the same clock

    // The program's clock and sleep unless others are given (tests).
    cFramePacer();
    cFramePacer(tClock clock, tSleepUntil sleepUntil);

    void SetFramesPerSecond(float framesPerSecond);
    // Waits until the frame period, less the carried lag, has passed since
    // the previous frame started; then this frame starts.
    void WaitForFrameStart();
    // After the frame: carries what remains of the lag. presented: whether
    // the frame reached the screen, which decides whether the next wait ends
    // in a spin.
    void EndFrame(bool presented);

    float GetPeriod() const { return mPeriod; }
    float GetLag() const { return mLag; }
    double GetLastFrameTime() const { return mLastFrameTime; }

    // The part of each wait that is spun rather than slept.
    static constexpr float kSpinWindow = 0.0003f;

private:
    tClock mClock;
    tSleepUntil mSleepUntil;
    float mPeriod = 1.0f / 60.0f;
    float mLag = 0.0f;
    double mLastFrameTime = 0.0;
    bool mSpin = true;
};
