#include <gtest/gtest.h>

#include <string>

#include "base/File.h"
#include "base/SerialiseXML.h"
#include "project/TrackMap.h"

namespace
{
std::vector<int32_t> ListOf(const cTrackMap& map, int32_t channel)
{
    const cTrackMap::cChannelList& list = map.GetChannelList(channel);
    return std::vector<int32_t>(list.items, list.items + list.count);
}

TEST(TrackMap, TheMixerListensOnChannel16AndEachSlotOnItsOwn)
{
    cTrackMap map;
    EXPECT_EQ(ListOf(map, 15), std::vector<int32_t>({0}));
    for (int32_t channel = 0; channel < 15; ++channel)
        EXPECT_EQ(ListOf(map, channel), std::vector<int32_t>({channel + 1})) << channel;
    map.SetChannel(7, 0);
    map.SetChannel(3, 0);
    EXPECT_EQ(ListOf(map, 0), std::vector<int32_t>({1, 3, 7})) << "in slot order";
    EXPECT_TRUE(ListOf(map, 2).empty());
    map.SetChannel(3, 16);
    map.SetChannel(16, 3);
    EXPECT_EQ(map.GetChannel(3), 0);
    EXPECT_TRUE(ListOf(map, 16).empty());
    map.Reset();
    EXPECT_EQ(ListOf(map, 0), std::vector<int32_t>({1}));
}

TEST(TrackMap, AFileWithoutItKeepsTheDefaults)
{
    const std::string text = "<Root FileVersion=\"6.0\"/>";
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML serialise(6.0f, &stream, 0);
    ASSERT_TRUE(serialise.Begin());
    cTrackMap map;
    map.SetChannel(4, 9);
    EXPECT_FALSE(map.Serialise(serialise));
    serialise.End();
    EXPECT_EQ(map.GetChannel(4), 3);
    EXPECT_EQ(ListOf(map, 9), std::vector<int32_t>({10}));
}
} // namespace
