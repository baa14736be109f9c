#include "base/Random.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Random, StepMatchesTheExactProductModulo2To30)
{
    cRandom fresh;
    EXPECT_EQ(fresh.Step(), 255991826);

    cRandom random;
    uint64_t expected = 123456789;
    for (int i = 0; i < 10000; ++i)
    {
        expected = (expected * 31415821u + 1) % (1u << 30);
        ASSERT_EQ(static_cast<uint64_t>(random.Step()), expected) << i;
    }
}

TEST(Random, SharedGeneratorStaysInRange)
{
    const int32_t bounds[] = {1, 2, 7, 100, 65536};
    for (int32_t n : bounds)
        for (int i = 0; i < 2000; ++i)
        {
            const int32_t value = RandomInt(n);
            ASSERT_GE(value, 0);
            ASSERT_LT(value, n);
        }
    for (int i = 0; i < 2000; ++i)
    {
        const float value = RandomFloat(3.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 3.0f);
    }
}

TEST(Random, FloatNeverReachesTheScale)
{
    const cRandom saved = gRandom;
    // With multiplier 1 a step adds one, landing on the largest state.
    gRandom.multiplier = 1;
    gRandom.state = (1 << 30) - 2;
    EXPECT_LT(RandomFloat(1.0f), 1.0f);
    gRandom = saved;
}

TEST(Random, ExponentialVariateHasMeanOne)
{
    cRandom random;
    double sum = 0.0;
    const int count = 200000;
    for (int i = 0; i < count; ++i)
    {
        const float value = ExponentialVariate(&random);
        ASSERT_GE(value, 0.0f);
        sum += value;
    }
    EXPECT_NEAR(sum / count, 1.0, 0.02);
}
