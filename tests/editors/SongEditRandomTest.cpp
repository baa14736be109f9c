#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "SongEditExerciser.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"

namespace
{
class cRandomChoices : public cChoiceSource
{
public:
    explicit cRandomChoices(uint32_t seed) : mRandom(seed) {}
    uint32_t Next(uint32_t range) override { return range ? uint32_t(mRandom() % range) : 0; }
    bool IsExhausted() const override { return false; }

private:
    std::mt19937 mRandom;
};

constexpr int kStepsPerSeed = 5000;
} // namespace

// QUIL_EDIT_SEED runs one seed of one's own choosing.
TEST(SongEditRandomTest, RandomEditsKeepTheSongItsViewsAndItsHistoryWhole)
{
    std::vector<uint32_t> seeds = {1, 2, 3, 4, 5, 6, 7, 8};
    if (const char* seed = std::getenv("QUIL_EDIT_SEED"))
        seeds = {uint32_t(std::strtoul(seed, nullptr, 10))};
    const int32_t partsBefore = cPatternInstance::GetPoolUsedCount();
    const int32_t eventsBefore = cPatternEvent::GetPoolUsedCount();
    for (uint32_t seed : seeds)
    {
        std::printf("song edit seed %u\n", seed);
        cRandomChoices choices(seed);
        cSongEditExerciser exerciser(choices);
        exerciser.Fill();
        for (int step = 0; step < kStepsPerSeed; ++step)
            ASSERT_TRUE(exerciser.Step()) << "seed " << seed << " step " << step << " " << exerciser.GetFailure();
        ASSERT_TRUE(exerciser.UndoAllRedoAll()) << "seed " << seed << " " << exerciser.GetFailure();
        EXPECT_GT(exerciser.GetEditCount(), kStepsPerSeed / 8) << "edits among the steps";
    }
    EXPECT_EQ(cPatternInstance::GetPoolUsedCount(), partsBefore) << "parts leaked or freed twice";
    EXPECT_EQ(cPatternEvent::GetPoolUsedCount(), eventsBefore) << "events leaked or freed twice";
}
