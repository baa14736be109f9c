#include <gtest/gtest.h>

#include <string>

#include "SongFixture.h"
#include "base/GenString.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
cQuantizeGrid Grid(int32_t interval, int32_t type, float swing, int32_t on = 1)
{
    cQuantizeSettings settings;
    settings.on = on;
    settings.interval = interval;
    settings.type = type;
    settings.swing = swing;
    cQuantizeGrid grid;
    grid.Apply(settings);
    return grid;
}

std::string Text(int32_t interval, int32_t type, float swing, bool withSwing)
{
    cQuantizeSettings settings;
    settings.interval = interval;
    settings.type = type;
    settings.swing = swing;
    cGenStringFixed<64> text;
    QuantizeSettingsToText(text, settings, withSwing);
    return text.CStr();
}

std::string Position(int32_t ticks, float tempo)
{
    cGenStringFixed<32> text;
    FormatSongPosition(text, ticks, tempo);
    return text.CStr();
}
} // namespace

TEST(QuantizeTest, GridsFromSettings)
{
    const struct
    {
        int32_t interval, type;
        float swing, ticks, swingOffset;
    } cases[] = {
        {4, 2, 0.5f, 85.333336f, 0.0f}, // 1/8T: triplets never swing
        {5, 0, 0.5f, 64.0f, 10.666667f}, {5, 0, 0.0f, 64.0f, 0.0f}, {3, 1, 0.0f, 384.0f, 0.0f},
        {0, 0, 1.0f, 0.0f, 0.0f},        {1, 0, 1.0f, 1024.0f, 341.33334f},
        {9, 7, 0.0f, 0.0f, 0.0f}, // unknown indexes: "OFF", straight
    };
    for (const auto& c : cases)
    {
        const cQuantizeGrid grid = Grid(c.interval, c.type, c.swing);
        EXPECT_FLOAT_EQ(grid.interval, c.ticks) << c.interval << " " << c.type;
        EXPECT_FLOAT_EQ(grid.swingOffset, c.swingOffset) << c.interval << " " << c.type;
    }
}

TEST(QuantizeTest, SnapFloorAndCeilWithSwingOnOddLines)
{
    const cQuantizeGrid swung = Grid(5, 0, 0.5f);
    const struct
    {
        float time, snap, floor, ceil;
    } cases[] = {
        {100.0f, 128.0f, 74.666667f, 128.0f}, {90.0f, 74.666667f, 74.666667f, 128.0f},
        {96.0f, 128.0f, 74.666667f, 128.0f},  {128.0f, 128.0f, 128.0f, 128.0f},
        {10.0f, 0.0f, 0.0f, 74.666667f},
    };
    for (const auto& c : cases)
    {
        EXPECT_FLOAT_EQ(swung.Snap(c.time), c.snap) << c.time;
        EXPECT_FLOAT_EQ(swung.Floor(c.time), c.floor) << c.time;
        EXPECT_FLOAT_EQ(swung.Ceil(c.time, false), c.ceil) << c.time;
    }
    EXPECT_FLOAT_EQ(swung.Ceil(128.0f, true), 192.0f + 10.666667f);
}

// With the grid switched on but at "OFF" there is no interval to divide by:
// every rounding leaves the time as it is instead of making a non-number.
TEST(QuantizeTest, OffAndAnIntervalOfOffLeaveTimesAlone)
{
    for (const cQuantizeGrid& grid : {Grid(5, 0, 0.0f, 0), Grid(0, 0, 0.0f, 1), Grid(0, 1, 0.5f, 1)})
        for (float t : {0.0f, 33.3f, 1000.0f})
        {
            EXPECT_EQ(grid.Snap(t), t);
            EXPECT_EQ(grid.Floor(t), t);
            EXPECT_EQ(grid.Ceil(t, false), t);
            EXPECT_EQ(grid.Ceil(t, true), t);
        }
}

TEST(QuantizeTest, SettingsTexts)
{
    EXPECT_EQ(Text(5, 0, 0.0f, true), "1/16");
    EXPECT_EQ(Text(4, 2, 0.0f, true), "1/8T");
    EXPECT_EQ(Text(3, 1, 0.0f, true), "1/4D");
    EXPECT_EQ(Text(5, 0, 0.55f, true), "1/16S, 55% swing");
    EXPECT_EQ(Text(5, 0, 0.55f, false), "1/16S");
    EXPECT_EQ(Text(4, 2, 0.55f, true), "1/8T");
    EXPECT_EQ(Text(0, 1, 0.0f, true), "OFF");
    EXPECT_EQ(Text(42, 0, 0.0f, true), "OFF");
}

TEST(QuantizeTest, SongPositionTexts)
{
    ResetTransport();
    EXPECT_EQ(Position(1024, 0.0f), "002:01");
    EXPECT_EQ(Position(1024, 120.0f), "00:02s");
    EXPECT_EQ(Position(0, 0.0f), "001:01");
    EXPECT_EQ(Position(1791, 0.0f), "002:03");
    EXPECT_EQ(Position(256 * 4 * 90, 60.0f), "06:00s");
    const struct
    {
        int32_t ticks;
        const char* text;
    } countIn[] = {{-1024, "-01:01"}, {-769, "-01:01"}, {-768, "-01:02"}, {-512, "-01:03"},
                   {-257, "-01:03"},  {-256, "-01:04"}, {-1, "-01:04"},   {-1025, "-02:04"}};
    for (const auto& c : countIn)
        EXPECT_EQ(Position(c.ticks, 120.0f), c.text) << c.ticks;
    gTransport.beatsPerBar = 3;
    EXPECT_EQ(Position(768, 0.0f), "002:01");
    ResetTransport();
}

TEST(QuantizeTest, RecordAndGridSettingsEachKeepTheirGrid)
{
    cQuantizeSettings triplets;
    triplets.interval = 4;
    triplets.type = 2;
    ApplyRecordQuantize(triplets);
    EXPECT_EQ(gRecordQuantizeSettings.type, 2);
    EXPECT_FLOAT_EQ(gRecordQuantizeGrid.interval, 85.333336f);
    cQuantizeSettings quarters;
    quarters.interval = 3;
    SetGridQuantizeSettings(quarters);
    EXPECT_FLOAT_EQ(gGridQuantizeGrid.interval, 256.0f);
    EXPECT_FLOAT_EQ(gRecordQuantizeGrid.interval, 85.333336f);
    ApplyRecordQuantize(cQuantizeSettings());
    SetGridQuantizeSettings(cQuantizeSettings());
}

TEST(QuantizeTest, BarRounding)
{
    ResetTransport();
    EXPECT_EQ(RoundToBarLine(700), 0);
    EXPECT_EQ(RoundToBarLine(800), 1024);
    EXPECT_EQ(RoundToBars(1500.0f, 2), 2048.0f);
    EXPECT_EQ(RoundToBars(900.0f, 2), 0.0f);
    EXPECT_EQ(FloorToBars(3000.0f, 1), 2048.0f);
    EXPECT_EQ(CeilToBars(2048.0f, 1, false), 2048.0f);
    EXPECT_EQ(CeilToBars(2048.0f, 1, true), 3072.0f);
    EXPECT_EQ(CeilToBars(2049.0f, 2, false), 4096.0f);
    EXPECT_EQ(FloorToBars(3000.0f, 0), 3000.0f) << "no span to round to";
}
