#include "base/FastMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
class FastMath : public testing::Test
{
protected:
    static void SetUpTestSuite() { InitFastMathTables(); }
    static void TearDownTestSuite() { FreeFastMathTables(); }
};
} // namespace

TEST_F(FastMath, ExactValuesAtZeroAndNearOneAtHalfPi)
{
    EXPECT_EQ(FastSin(0.0f), 0.0f);
    EXPECT_EQ(FastCos(0.0f), 1.0f);
    EXPECT_NEAR(FastSin(kHalfPi), 1.0f, 1e-6f);
    EXPECT_NEAR(FastSin(-kHalfPi), -1.0f, 1e-6f);
    EXPECT_NEAR(FastCos(static_cast<float>(M_PI)), -1.0f, 1e-6f);
}

TEST_F(FastMath, SymmetryAndAccuracyOverTwoPeriods)
{
    for (float x = 0.001f; x < 12.6f; x += 0.0137f)
    {
        ASSERT_EQ(FastSin(-x), -FastSin(x)) << x;
        ASSERT_EQ(FastCos(-x), FastCos(x)) << x;
        ASSERT_NEAR(FastSin(x), std::sin(x), 2e-6f) << x;
        ASSERT_NEAR(FastCos(x), std::cos(x), 2e-6f) << x;
    }
}

TEST_F(FastMath, ArgumentsBeyondOnePeriodWrap)
{
    const float twoPi = static_cast<float>(2.0 * M_PI);
    EXPECT_NEAR(FastSin(twoPi + 0.5f), FastSin(0.5f), 1e-5f);
    EXPECT_NEAR(FastSin(-(twoPi + 0.5f)), FastSin(-0.5f), 1e-5f);
    EXPECT_NEAR(FastSin(1000.0f), std::sin(1000.0f), 1e-3f);
}

TEST_F(FastMath, UnrepresentableArgumentsGiveZeroInsteadOfAWildIndex)
{
    const float cases[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f};
    for (float x : cases)
    {
        EXPECT_EQ(FastSin(x), 0.0f) << x;
        EXPECT_EQ(FastCos(x), 0.0f) << x;
    }
}

TEST_F(FastMath, SecondInitKeepsTheTable)
{
    const float* table = gSineTable;
    InitFastMathTables();
    EXPECT_EQ(gSineTable, table);
    EXPECT_EQ(table[0], 0.0f);
    EXPECT_NEAR(table[kSineTableSteps], 0.0f, 1e-6f);
}

TEST(FastMathBeforeStartUp, TheTableIsBuiltOnFirstUse)
{
    FreeFastMathTables();
    EXPECT_NEAR(FastSin(kHalfPi), 1.0f, 1e-6f);
    EXPECT_NE(gSineTable.load(), nullptr);
    FreeFastMathTables();
    EXPECT_NEAR(FastCos(0.5f), std::cos(0.5f), 2e-6f) << "built again after a free";
}

TEST(FloatHelpers, SinFAndSplitFloat)
{
    EXPECT_EQ(SinF(0.5f), static_cast<float>(std::sin(0.5)));
    const struct
    {
        float x, integer, fraction;
    } cases[] = {{3.25f, 3.0f, 0.25f}, {-2.5f, -2.0f, -0.5f}, {0.75f, 0.0f, 0.75f}, {7.0f, 7.0f, 0.0f}};
    for (const auto& c : cases)
    {
        float integer = 99.0f;
        EXPECT_EQ(SplitFloat(c.x, &integer), c.fraction) << c.x;
        EXPECT_EQ(integer, c.integer) << c.x;
    }
}
