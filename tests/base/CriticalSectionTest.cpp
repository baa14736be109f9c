#include "base/CriticalSection.h"
#include "base/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace
{
// Another thread tries to enter. A probe that must stay out is given 30 ms;
// one that must get in is given seconds, as a loaded machine may start it
// late. The probe is joined before returning, so it always leaves again.
class cProbe
{
public:
    explicit cProbe(cCriticalSection& section)
        : mThread([this, &section] {
              section.Enter();
              mEntered = true;
              section.Leave();
          })
    {
    }
    ~cProbe() { mThread.join(); }

    bool StaysOut()
    {
        for (int i = 0; i < 30 && !mEntered.load(); ++i)
            Sleep(1);
        return !mEntered.load();
    }

    bool GetsIn()
    {
        for (int i = 0; i < 5000 && !mEntered.load(); ++i)
            Sleep(1);
        return mEntered.load();
    }

private:
    std::atomic<bool> mEntered{false};
    std::thread mThread;
};
} // namespace

TEST(CriticalSection, OwnerMayEnterAgainAndOthersWaitUntilFullyLeft)
{
    cCriticalSection section;
    section.Enter();
    {
        cScopedLock nested(&section);
    }
    {
        cProbe probe(section);
        EXPECT_TRUE(probe.StaysOut()) << "still held once after the nested scope";
        section.Leave();
        EXPECT_TRUE(probe.GetsIn());
    }
}

TEST(CriticalSection, ExceptionLeavingTheScopeReleasesTheLock)
{
    cCriticalSection section;
    try
    {
        cScopedLock lock(&section);
        throw std::runtime_error("leave the scope");
    }
    catch (const std::runtime_error&)
    {
    }
    cProbe probe(section);
    EXPECT_TRUE(probe.GetsIn());
}

TEST(CriticalSection, DestroyIsSafeToRepeat)
{
    cCriticalSection section;
    section.Destroy();
    section.Destroy();
}

TEST(CriticalSection, TryEnterGetsInOnlyWhenNoOtherThreadHolds)
{
    cCriticalSection section;
    ASSERT_TRUE(section.TryEnter());
    EXPECT_TRUE(section.TryEnter()) << "the owner may enter again";
    bool otherGotIn = true;
    std::thread([&] { otherGotIn = section.TryEnter(); }).join();
    EXPECT_FALSE(otherGotIn);
    section.Leave();
    section.Leave();
    std::thread([&] {
        otherGotIn = section.TryEnter();
        if (otherGotIn)
            section.Leave();
    }).join();
    EXPECT_TRUE(otherGotIn);
}

// The real-time audio thread waits on these locks: a holder must run at its
// priority, or a thread of middle priority could hold the audio up.
TEST(CriticalSection, InheritsPriority)
{
    cCriticalSection lock;
    EXPECT_TRUE(lock.InheritsPriority());
    cScopedLock outer(&lock);
    cScopedLock inner(&lock);
}
