#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "KillHarness.h"
#include "MixdownFixture.h"

// A mixdown rendered over its file again and again, killed at each step of
// the commit and at random moments: every next start finds one of the two
// versions whole and no temporary left.
namespace
{
using namespace MixdownTest;

constexpr int32_t kBar = 1024;
constexpr uint32_t kOneBarFrames = 88320;
constexpr float kLevels[2] = {0.1f, 0.4f};

class MixdownKillTest : public cMixdownFixture
{
protected:
    void SetUp() override
    {
        cMixdownFixture::SetUp();
        AddPart(2, 0, kBar, 69, kBar);
    }

    // The tone's level tells the version.
    bool Save(int version)
    {
        Tone(2).settings.level = kLevels[version];
        return Render("User/Mixdowns/Mix.wav", cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, false) ==
               cMixdown::kResultWritten;
    }

    static int Start()
    {
        const std::string bytes = ReadBytes(Native("User/Mixdowns/Mix.wav"));
        if (bytes.size() != 44 + kOneBarFrames * 4 || Le32(bytes, 40) != kOneBarFrames * 4)
            return -1;
        const std::vector<int16_t> values = Samples(bytes);
        int32_t peak = 0;
        for (int16_t v : values)
            peak = std::max(peak, std::abs(int32_t(v)));
        // Each version's peak, far apart, over the whole bar.
        const int32_t last = std::abs(int32_t(values[values.size() - 2000]));
        const int version = peak < int32_t(0.2f * 32767) ? 0 : 1;
        return peak > 1000 && last > 0 ? version : -1;
    }

    KillHarness::cKind Kind()
    {
        return {[this](int version) { return Save(version); }, &Start, {Documents(), GetTempFolderPath()}};
    }
};

TEST_F(MixdownKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewMixWhole)
{
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind()), 1);
}

TEST_F(MixdownKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewMixWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(), 20, 12101);
}
} // namespace
