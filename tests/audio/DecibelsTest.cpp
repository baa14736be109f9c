#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/Decibels.h"

TEST(Decibels, GainsFollowTheBitPatternLine)
{
    const struct
    {
        float dB;
        float gain;
    } cases[] = {
        {0.0f, 0.996376f}, {4.25f, 1.698661f}, {7.5f, 2.476949f}, {3.75f, 1.615613f}, {-10.5f, 0.312185f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(FastDbToGain(c.dB), c.gain, 2e-6f) << c.dB;
    // A straight line through each octave: from half a per cent below to 6 % above.
    for (float dB = -60.0f; dB <= 24.0f; dB += 0.37f)
    {
        const float ratio = FastDbToGain(dB) / std::pow(10.0f, dB / 20.0f);
        EXPECT_GT(ratio, 0.995f) << dB;
        EXPECT_LT(ratio, 1.0577f) << dB;
    }
}

TEST(Decibels, GainsStayFiniteForAnyInput)
{
    for (float dB : {1.0e6f, -1.0e6f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                     std::numeric_limits<float>::quiet_NaN()})
    {
        const float gain = FastDbToGain(dB);
        EXPECT_TRUE(std::isfinite(gain)) << dB;
        EXPECT_GE(gain, 0.0f) << dB;
    }
    EXPECT_GT(FastDbToGain(1.0e6f), 1.0e30f);
    EXPECT_LT(FastDbToGain(-1.0e6f), 1.0e-30f);
}

TEST(Decibels, LevelsAreExactAtPowersOfTwoAndFloored)
{
    EXPECT_FLOAT_EQ(FastAmplitudeToDb(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(FastAmplitudeToDb(0.5f), -6.0206f);
    EXPECT_FLOAT_EQ(FastPowerToDb(0.5f), -3.0103f);
    EXPECT_FLOAT_EQ(FastPowerToDb(4.0f), 6.0206f);
    // Between powers of two the mantissa is read as a straight line.
    EXPECT_FLOAT_EQ(FastAmplitudeToDb(1.5f), 0.5f * 6.0206f);
    EXPECT_EQ(FastAmplitudeToDbFloored(3.1622763e-5f), -90.0f);
    EXPECT_EQ(FastAmplitudeToDbFloored(0.0f), -90.0f);
    EXPECT_GT(FastAmplitudeToDbFloored(3.2e-5f), -91.0f);
}
