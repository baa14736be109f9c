#include "base/CriticalSection.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace
{
bool HeldByAnotherThread(cCriticalSection& section)
{
    bool acquired = false;
    std::thread probe([&] {
        acquired = section.TryEnter();
        if (acquired)
            section.Leave();
    });
    probe.join();
    return !acquired;
}
} // namespace

TEST(CriticalSection, OwnerMayEnterAgainAndOthersWaitUntilFullyLeft)
{
    cCriticalSection section;
    {
        cScopedLock outer(&section);
        cScopedLock inner(&section);
        EXPECT_TRUE(HeldByAnotherThread(section));
    }
    EXPECT_FALSE(HeldByAnotherThread(section));
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
    EXPECT_FALSE(HeldByAnotherThread(section));
}

TEST(CriticalSection, DestroyIsSafeToRepeat)
{
    cCriticalSection section;
    section.Destroy();
    section.Destroy();
}
