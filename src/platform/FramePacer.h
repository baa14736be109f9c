#pragma once

// Paces the frame loop to the application's frame rate: sleeps 1 ms at a
// time while more than 5 ms of the period remain, then spins. A late frame
// shortens the next wait by its lateness; after a stall of more than two
// periods the schedule restarts instead of bursting catch-up frames.
class cFramePacer
{
public:
    using tClock = double (*)(); // seconds
    using tSleep = void (*)(int milliseconds);

    // The program's clock and sleep unless others are given (tests).
    cFramePacer();
    cFramePacer(tClock clock, tSleep sleep);

    void SetFramesPerSecond(float framesPerSecond);
    // Waits until the frame period, less the carried lag, has passed since
    // the previous frame started; then this frame starts.
    void WaitForFrameStart();
    // After the frame is presented: carries what remains of the lag.
    void EndFrame();

    float GetPeriod() const { return mPeriod; }
    float GetLag() const { return mLag; }
    double GetLastFrameTime() const { return mLastFrameTime; }

private:
    tClock mClock;
    tSleep mSleep;
    float mPeriod = 1.0f / 60.0f;
    float mLag = 0.0f;
    double mLastFrameTime = 0.0;
};
