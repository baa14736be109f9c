#include "base/Delegate.h"

#include <gtest/gtest.h>

namespace
{
struct cCounter
{
    int total = 0;
    const cCounter* lastSender = nullptr;

    int Add(int a, int b)
    {
        total += a + b;
        return total;
    }
    void Take(float value, const cCounter* sender)
    {
        total = static_cast<int>(value * 10.0f);
        lastSender = sender;
    }
    bool IsPositive() const { return total > 0; }
};

// A base that puts the counter part away from the derived object's address.
struct cPadding
{
    virtual ~cPadding() = default;
    int padding[3] = {};
};

struct cDerived : cPadding, cCounter
{
};

int gPlainCalls = 0;
int PlainSubtract(int a, int b)
{
    ++gPlainCalls;
    return a - b;
}
} // namespace

TEST(Delegate, EmptyReturnsZeroAndCallsNothing)
{
    cDelegate empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.Invoke(5, 6), 0);

    cCounter counter;
    cDelegate cleared(&counter, &cCounter::Add);
    cleared.Clear();
    EXPECT_TRUE(cleared.IsEmpty());
    EXPECT_EQ(cleared.Invoke(1, 2), 0);
    EXPECT_EQ(counter.total, 0);
}

TEST(Delegate, MemberCallsReachTheBoundObjectAndCopiesShareIt)
{
    cCounter counter;
    cDelegate add(&counter, &cCounter::Add);
    EXPECT_EQ(add.Invoke(2, 3), 5);
    const cDelegate copy = add;
    EXPECT_EQ(copy.Invoke(10, 0), 15);
    EXPECT_EQ(counter.total, 15);

    // A base-class member bound to a derived object reaches the base part.
    cDerived derived;
    cDelegate inherited(&derived, &cDerived::Add);
    EXPECT_EQ(inherited.Invoke(4, 4), 8);
    EXPECT_EQ(static_cast<cCounter&>(derived).total, 8);

    cDelegate query(&counter, &cCounter::IsPositive);
    EXPECT_EQ(query.Invoke(), 1);
}

TEST(Delegate, ConvertsFloatsAndPointersBothWays)
{
    cCounter counter, sender;
    cDelegate take(&counter, &cCounter::Take);
    take.Invoke(2.5f, &sender);
    EXPECT_EQ(counter.total, 25);
    EXPECT_EQ(counter.lastSender, &sender);
    EXPECT_EQ(cDelegate::FromWord<float>(cDelegate::ToWord(-0.75f)), -0.75f);
}

TEST(Delegate, PlainFunctionWithoutObject)
{
    gPlainCalls = 0;
    cDelegate subtract(&PlainSubtract);
    EXPECT_EQ(subtract.Invoke(9, 4), 5);
    EXPECT_EQ(subtract.Invoke(-3, 4), -7);
    EXPECT_EQ(gPlainCalls, 2);
}
