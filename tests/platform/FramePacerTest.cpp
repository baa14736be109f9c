#include <gtest/gtest.h>

#include "platform/FramePacer.h"

namespace
{
// A clock that only moves when read (a spin step) or slept on; a sleep
// wakes up a little after its deadline, as the system's do.
double sNow = 0.0;
int sSleeps = 0;
int sSpins = 0;
double sSleptUntil = 0.0;
constexpr double kSpinStep = 1e-6;
constexpr double kWakeUpLatency = 50e-6;

double FakeClock()
{
    ++sSpins;
    sNow += kSpinStep;
    return sNow;
}

void FakeSleep(double until)
{
    ++sSleeps;
    sSleptUntil = until;
    if (until > sNow)
        sNow = until + kWakeUpLatency;
}

class FramePacerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sNow = 100.0;
        sSleeps = 0;
        pacer.SetFramesPerSecond(60.0f);
        // The first frame starts at once and restarts the schedule.
        RunFrame(0.0);
    }

    // Frame work, then the wait; returns when the next frame started.
    double RunFrame(double workSeconds, bool presented = true)
    {
        sNow += workSeconds;
        sSleeps = 0;
        sSpins = 0;
        pacer.WaitForFrameStart();
        pacer.EndFrame(presented);
        return pacer.GetLastFrameTime();
    }

    cFramePacer pacer{&FakeClock, &FakeSleep};
};

TEST_F(FramePacerTest, SleepsToTheDeadlineThenSpinsOnlyTheLastFraction)
{
    const double start = pacer.GetLastFrameTime();
    const double next = RunFrame(0.002);
    EXPECT_NEAR(next - start, 1.0 / 60.0, 1e-5);
    // 14.7 ms of waiting: one sleep to 0.3 ms before the frame is due, then
    // the spin covers what the late wake-up left.
    EXPECT_EQ(sSleeps, 1);
    EXPECT_NEAR(sSleptUntil, start + 1.0 / 60.0 - cFramePacer::kSpinWindow, 1e-6);
    EXPECT_LE(sSpins, int((cFramePacer::kSpinWindow - kWakeUpLatency) / kSpinStep) + 3);
    EXPECT_FLOAT_EQ(pacer.GetPeriod(), 1.0f / 60.0f);

    // Work that leaves less than the spin window only spins.
    RunFrame(1.0 / 60.0 - 0.0002);
    EXPECT_EQ(sSleeps, 0);
}

// After a frame that showed nothing new the wait is one sleep to the frame's
// deadline, with no spin; once a frame is presented again, the spin returns.
TEST_F(FramePacerTest, AfterAnUnchangedFrameTheWholeWaitIsSlept)
{
    RunFrame(0.002, false);
    const double start = pacer.GetLastFrameTime();
    const double next = RunFrame(0.002, true);
    EXPECT_EQ(sSleeps, 1);
    EXPECT_NEAR(sSleptUntil, start + 1.0 / 60.0, 1e-6);
    EXPECT_LE(sSpins, 2) << "one reading before the sleep, one after";
    // The late wake-up is carried as lag like any lateness.
    EXPECT_NEAR(next - start, 1.0 / 60.0 + kWakeUpLatency, 1e-5);

    const float lag = pacer.GetLag();
    const double after = RunFrame(0.002, true);
    EXPECT_NEAR(sSleptUntil, next + 1.0 / 60.0 - lag - cFramePacer::kSpinWindow, 1e-6);
    EXPECT_GT(sSpins, 2);
    EXPECT_NEAR(after - start, 2.0 / 60.0, 1e-5) << "back on the grid";
}

TEST_F(FramePacerTest, ALateFrameShortensTheNextWait)
{
    const double start = pacer.GetLastFrameTime();
    const double late = RunFrame(1.0 / 60.0 + 0.003);
    EXPECT_NEAR(late - start, 1.0 / 60.0 + 0.003, 1e-5);
    EXPECT_NEAR(pacer.GetLag(), 0.003, 1e-5);

    const double next = RunFrame(0.001);
    EXPECT_NEAR(next - late, 1.0 / 60.0 - 0.003, 1e-5);
    EXPECT_NEAR(pacer.GetLag(), 0.0, 1e-5);
    EXPECT_GE(pacer.GetLag(), 0.0f);
}

TEST_F(FramePacerTest, AStallRestartsTheScheduleInsteadOfBursting)
{
    const double start = pacer.GetLastFrameTime();
    const double stalled = RunFrame(0.060);
    EXPECT_NEAR(stalled - start, 0.060, 1e-5);
    EXPECT_FLOAT_EQ(pacer.GetLag(), 0.0f);

    const double next = RunFrame(0.0);
    EXPECT_NEAR(next - stalled, 1.0 / 60.0, 1e-5);
}

TEST_F(FramePacerTest, FollowsTheFrameRate)
{
    pacer.SetFramesPerSecond(30.0f);
    const double start = pacer.GetLastFrameTime();
    const double next = RunFrame(0.0);
    EXPECT_NEAR(next - start, 1.0 / 30.0, 1e-5);
}
} // namespace
