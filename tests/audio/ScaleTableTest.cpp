#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/ScaleTable.h"

namespace
{
std::vector<int32_t> InScale(const cScale& scale)
{
    return std::vector<int32_t>(scale.GetInScaleSemitones(), scale.GetInScaleSemitones() + scale.GetInScaleCount());
}
} // namespace

TEST(ScaleTableTest, ThirtyScalesInOrder)
{
    const char* const names[cScaleTable::kScaleCount] = {
        "Off",       "Chromatic",  "Major",      "Major Pentatonic", "Minor",    "Minor Pentatonic",
        "Major Blues", "Minor Blues", "Dorian",   "Ionian",           "Phrygian", "Lydian",
        "Mixolydian", "Aeolian",    "Locrian",    "Diminished",       "Wholetone", "Klezmer",
        "Ryukyu",    "Japanese",   "Spanish",    "Gypsy",            "Arabian",  "Egyptian",
        "Hawaiian",  "Balinese",   "Minor 3rd",  "3rd",              "4th",      "5th"};
    cScaleTable table;
    EXPECT_EQ(cScaleTable::GetInstance(), &table);
    for (int32_t i = 0; i < cScaleTable::kScaleCount; ++i)
        EXPECT_STREQ(table.GetScale(i)->GetName(), names[i]) << i;
    EXPECT_EQ(table.GetScale(30), nullptr);
    EXPECT_EQ(table.GetScale(-1), nullptr);
}

TEST(ScaleTableTest, StepCountsAndSemitones)
{
    struct cCase
    {
        int32_t index;
        int32_t steps;
        int32_t inScale;
        int32_t outOfScale;
        std::vector<int32_t> semitones;
    };
    const cCase cases[] = {
        {0, 12, 7, 5, {0, 2, 4, 5, 7, 9, 11}},
        {1, 12, 12, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {2, 7, 7, 0, {0, 2, 4, 5, 7, 9, 11}},
        {9, 7, 7, 0, {0, 2, 4, 5, 7, 9, 11}},
        {15, 8, 8, 0, {0, 2, 3, 5, 6, 8, 9, 11}},
        {26, 4, 4, 0, {0, 3, 6, 9}},
        {29, 2, 2, 0, {0, 7}},
    };
    cScaleTable table;
    for (const cCase& c : cases)
    {
        const cScale& scale = *table.GetScale(c.index);
        EXPECT_EQ(scale.GetStepCount(), c.steps) << c.index;
        EXPECT_EQ(scale.GetInScaleCount(), c.inScale) << c.index;
        EXPECT_EQ(scale.GetOutOfScaleCount(), c.outOfScale) << c.index;
        EXPECT_EQ(InScale(scale), c.semitones) << c.index;
    }
    // Separate entries, the same notes.
    EXPECT_NE(table.GetScale(2), table.GetScale(9));
}

TEST(ScaleTableTest, PianoLayoutPlacesEveryKey)
{
    const float positions[12] = {0, 0.85f, 1, 2.15f, 2, 3, 3.85f, 4, 5, 5, 6.15f, 6};
    const float rows[12] = {0, 0, 0, 0.666667f, 0, 0, 0, 0, 0.333333f, 0, 0.666667f, 0};
    const uint8_t inScale[12] = {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1};
    cScaleTable table;
    const cScaleStep* steps = table.GetScale(0)->GetSteps();
    for (int32_t i = 0; i < 12; ++i)
    {
        EXPECT_EQ(steps[i].semitone, i);
        EXPECT_EQ(steps[i].inScale, inScale[i]) << i;
        EXPECT_FLOAT_EQ(steps[i].keyPosition, positions[i]) << i;
        EXPECT_NEAR(steps[i].textureRow, rows[i], 1e-6f) << i;
    }
    // Every other scale's keys are full width, one per position.
    const cScale& lydian = *table.GetScale(11);
    for (int32_t k = 0; k < lydian.GetStepCount(); ++k)
    {
        EXPECT_EQ(lydian.GetSteps()[k].keyPosition, float(k));
        EXPECT_EQ(lydian.GetSteps()[k].textureRow, 0.0f);
    }
}

TEST(ScaleTableTest, DestroyingClearsTheInstance)
{
    {
        cScaleTable table;
    }
    EXPECT_EQ(cScaleTable::GetInstance(), nullptr);
}
