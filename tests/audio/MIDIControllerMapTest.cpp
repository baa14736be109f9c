#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/MIDIControllerMap.h"
#include "base/File.h"
#include "base/SerialiseXML.h"

namespace
{
std::vector<int32_t> ListOf(const cMIDIControllerMap& map, int32_t controller)
{
    const cMIDIControllerMap::cSlotList& list = map.GetReverseList(controller);
    return std::vector<int32_t>(list.slots, list.slots + list.count);
}

std::string Save(cMIDIControllerMap& map)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    EXPECT_TRUE(serialiser.Begin());
    EXPECT_TRUE(serialiser.BeginNode("Kest", true));
    map.Serialise(serialiser);
    serialiser.EndNode(nullptr);
    EXPECT_TRUE(serialiser.End());
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

void Load(cMIDIControllerMap& map, const std::string& text)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    ASSERT_TRUE(serialiser.Begin());
    ASSERT_TRUE(serialiser.BeginNode("Kest", false));
    map.Serialise(serialiser);
    serialiser.EndNode(nullptr);
    serialiser.End();
}
} // namespace

TEST(MIDIControllerMapTest, StartsUnassigned)
{
    cMIDIControllerMap map;
    for (int32_t slot = 0; slot < cMIDIControllerMap::kSlotCount; ++slot)
        EXPECT_EQ(map.GetAssignment(slot), -1);
    for (int32_t controller = 0; controller < cMIDIControllerMap::kControllerCount; ++controller)
        EXPECT_EQ(map.GetReverseList(controller).count, 0);
}

TEST(MIDIControllerMapTest, ReverseListsFollowTheAssignments)
{
    cMIDIControllerMap map;
    map.SetAssignment(7, 74);
    map.SetAssignment(3, 74);
    EXPECT_EQ(ListOf(map, 74), (std::vector<int32_t>{3, 7}));

    map.SetAssignment(3, 1);
    EXPECT_EQ(ListOf(map, 74), (std::vector<int32_t>{7}));
    EXPECT_EQ(ListOf(map, 1), (std::vector<int32_t>{3}));

    // Every slot on one controller fills its list exactly.
    for (int32_t slot = 0; slot < cMIDIControllerMap::kSlotCount; ++slot)
        map.SetAssignment(slot, 10);
    EXPECT_EQ(map.GetReverseList(10).count, cMIDIControllerMap::kSlotCount);
    EXPECT_EQ(map.GetReverseList(74).count, 0);

    map.ResetAssignments();
    EXPECT_EQ(map.GetReverseList(10).count, 0);
}

TEST(MIDIControllerMapTest, OutOfRangeValuesAreStoredButListedNowhere)
{
    cMIDIControllerMap map;
    map.SetAssignment(0, 200);
    map.SetAssignment(1, -5);
    EXPECT_EQ(map.GetAssignment(0), 200);
    EXPECT_EQ(map.GetAssignment(1), -5);
    for (int32_t controller = 0; controller < cMIDIControllerMap::kControllerCount; ++controller)
        EXPECT_EQ(map.GetReverseList(controller).count, 0) << controller;
    // Lookups outside the tables are refused rather than read past them.
    EXPECT_EQ(map.GetReverseList(200).count, 0);
    EXPECT_EQ(map.GetReverseList(-1).count, 0);
    map.SetAssignment(20, 5);
    map.SetAssignment(-1, 5);
    EXPECT_EQ(map.GetReverseList(5).count, 0);
    EXPECT_EQ(map.GetAssignment(20), -1);
}

TEST(MIDIControllerMapTest, SettingsRoundTrip)
{
    cMIDIControllerMap map;
    map.SetAssignment(0, 1);
    map.SetAssignment(4, 74);
    map.SetAssignment(19, 200);
    const std::string saved = Save(map);
    EXPECT_NE(saved.find("Ctrl0=\"1\""), std::string::npos);
    EXPECT_NE(saved.find("Ctrl1=\"-1\""), std::string::npos);
    EXPECT_NE(saved.find("Ctrl19=\"200\""), std::string::npos);

    cMIDIControllerMap loaded;
    Load(loaded, saved);
    for (int32_t slot = 0; slot < cMIDIControllerMap::kSlotCount; ++slot)
        EXPECT_EQ(loaded.GetAssignment(slot), map.GetAssignment(slot)) << slot;
    EXPECT_EQ(ListOf(loaded, 74), (std::vector<int32_t>{4}));
    EXPECT_EQ(ListOf(loaded, 1), (std::vector<int32_t>{0}));
}

TEST(MIDIControllerMapTest, ASectionWithoutControllersLeavesEverySlotUnassigned)
{
    cMIDIControllerMap map;
    map.SetAssignment(2, 7); // a package default
    map.SetAssignment(5, 10);
    Load(map, "<Root FileVersion=\"1.000000\"><Kest Other=\"3\"/></Root>\n");
    for (int32_t slot = 0; slot < cMIDIControllerMap::kSlotCount; ++slot)
        EXPECT_EQ(map.GetAssignment(slot), -1) << slot;
    EXPECT_EQ(map.GetReverseList(7).count, 0);
    EXPECT_EQ(map.GetReverseList(10).count, 0);
}
