#include <gtest/gtest.h>

#include <string>

#include "TestInstrument.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/MIDIControllerMap.h"
#include "base/File.h"
#include "base/SerialiseXML.h"

namespace
{
std::string SaveInstrument(cInstrument& instrument)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(6.0f, &stream, 0);
    EXPECT_TRUE(serialiser.Begin());
    EXPECT_TRUE(instrument.Serialise(serialiser, nullptr));
    EXPECT_TRUE(serialiser.End());
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

size_t Find(const std::string& text, const char* what) { return text.find(what); }
} // namespace

TEST(InstrumentTest, SavesItsStripsThenItsModuleThenItsName)
{
    cTestPackage package;
    cTestInstrument instrument(&package, 3);
    instrument.SetName("Lead");
    const std::string text = SaveInstrument(instrument);
    const size_t channels = Find(text, "<MixerChannels>");
    const size_t first = Find(text, "<Channel00 Vol=\"0");
    const size_t second = Find(text, "<Channel01 Vol=\"0.25");
    const size_t third = Find(text, "<Channel02 Vol=\"0.5");
    const size_t module = Find(text, "<AM Notes=\"0\"");
    const size_t ui = Find(text, "<UI Name=\"Lead\"");
    ASSERT_NE(channels, std::string::npos) << text;
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    ASSERT_NE(third, std::string::npos) << text;
    ASSERT_NE(module, std::string::npos) << text;
    ASSERT_NE(ui, std::string::npos) << text;
    EXPECT_LT(channels, first);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_LT(third, module);
    EXPECT_LT(module, ui);

    cTestInstrument loaded(&package, 3);
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML serialiser(6.0f, &stream, 0);
    ASSERT_TRUE(serialiser.Begin());
    EXPECT_TRUE(loaded.Serialise(serialiser, nullptr));
    EXPECT_STREQ(loaded.GetName(), "Lead");
}

TEST(InstrumentTest, WithoutAUISectionTheLoadFailsAndKeepsTheName)
{
    const std::string text = "<Root FileVersion=\"6.000000\"><AM/></Root>";
    cTestPackage package;
    cTestInstrument instrument(&package, 1);
    instrument.SetName("Kept");
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML serialiser(6.0f, &stream, 0);
    ASSERT_TRUE(serialiser.Begin());
    EXPECT_FALSE(instrument.Serialise(serialiser, nullptr));
    EXPECT_STREQ(instrument.GetName(), "Kept");
}

TEST(InstrumentTest, DeletesItsStripsWithItself)
{
    cTestPackage package;
    int deleted = 0;
    delete new cTestInstrument(&package, 3, &deleted);
    EXPECT_EQ(deleted, 3);
}

TEST(InstrumentTest, BaseAnswersForNotesAndPresets)
{
    cTestPackage package;
    cTestInstrument instrument(&package, 1);
    cGenStringFixed<32> text;
    instrument.GetNoteRangeName(text, 48, 67);
    EXPECT_STREQ(text.CStr(), "C3-G4");
    instrument.GetNoteName(text, 60);
    EXPECT_STREQ(text.CStr(), "C4");
    EXPECT_EQ(instrument.GetPresetWidget(), nullptr);
    EXPECT_STREQ(instrument.GetPresetName(cInstrument::kPresetSingle, 3), "");
    EXPECT_STREQ(instrument.GetCurrentPresetName(), "");
    EXPECT_EQ(instrument.MapPreset(0x0703, cInstrument::kPresetMulti), 0x0703);
    EXPECT_EQ(instrument.GetSlot(), 0);
    EXPECT_TRUE(instrument.HasMenuBackdrop());
    EXPECT_FALSE(instrument.IsTransposable());
}

TEST(InstrumentPackageTest, ControllerTablesAnswerOnlyInsideThemselves)
{
    const char* const names[] = {"Pitch Bend", "Volume", "Pan"};
    const cInstrumentPackage::cControllerParam params[] = {{0, 0, -32768.0f, 32767.0f, 1.0f, 1},
                                                           {1, 3, 0.0f, 32767.0f, 1.0f, 0}};
    const cInstrumentPackage::cControllerAssignment assignments[] = {{1, 7, 0}, {2, 10, 0}, {8, 74, 0}};
    cTestPackage package;
    EXPECT_EQ(package.GetControllerName(0), nullptr);
    EXPECT_EQ(package.GetControllerParam(0), nullptr);
    package.SetControllerTables(names, 3, params, 2, assignments, 3);
    EXPECT_STREQ(package.GetControllerName(2), "Pan");
    EXPECT_EQ(package.GetControllerName(3), nullptr);
    EXPECT_EQ(package.GetControllerName(-1), nullptr);
    ASSERT_NE(package.GetControllerParam(1), nullptr);
    EXPECT_EQ(package.GetControllerParam(1)->laneGroup, 3);
    EXPECT_EQ(package.GetControllerParam(2), nullptr);
    EXPECT_EQ(package.GetControllerParam(-1), nullptr);
    EXPECT_EQ(package.GetKeyRangeLow(), 24.0f);
    EXPECT_EQ(package.GetKeyRangeHigh(), 108.0f);
    EXPECT_EQ(package.GetKeyStep(), 8.0f);
    EXPECT_EQ(package.GetDrumLayout(), 0);

    EXPECT_EQ(package.GetControllerMap(), nullptr);
    package.CreateControllerMap();
    ASSERT_NE(package.GetControllerMap(), nullptr);
    EXPECT_EQ(package.GetControllerMap()->GetAssignment(1), 7);
    EXPECT_EQ(package.GetControllerMap()->GetAssignment(2), 10);
    EXPECT_EQ(package.GetControllerMap()->GetAssignment(8), 74);
    EXPECT_EQ(package.GetControllerMap()->GetAssignment(0), cMIDIControllerMap::kUnassigned);
}

TEST(InstrumentSlotTableTest, SixteenSlotsAndNothingOutside)
{
    cInstrumentSlotTable table;
    EXPECT_EQ(cInstrumentSlotTable::GetInstance(), &table);
    EXPECT_EQ(table.GetCount(), 16);
    for (int32_t slot : {-1, 0, 15, 16, 1000})
        EXPECT_EQ(table.GetInstrument(slot), nullptr) << slot;
}

TEST(InstrumentSlotTableTest, SetSlotHandsBackOrDestroysThePrevious)
{
    cTestPackage package;
    cInstrumentSlotTable table;
    cInstrument* first = package.CreateInstrument(0);
    cInstrument* second = package.CreateInstrument(0);
    cInstrument* third = package.CreateInstrument(0);
    EXPECT_EQ(table.SetSlot(3, first, false), nullptr);
    EXPECT_EQ(first->GetSlot(), 3);
    EXPECT_EQ(table.SetSlot(3, second, false), first);
    EXPECT_EQ(second->GetSlot(), 3);
    EXPECT_EQ(table.GetInstrument(3), second);
    EXPECT_EQ(package.destroyed, 0);
    EXPECT_EQ(table.SetSlot(3, third, true), nullptr);
    EXPECT_EQ(package.destroyed, 1);
    EXPECT_EQ(table.GetInstrument(3), third);
    EXPECT_EQ(table.SetSlot(3, nullptr, false), third);
    EXPECT_EQ(table.GetInstrument(3), nullptr);
    package.DestroyInstrument(first);
    package.DestroyInstrument(third);
}

// A slot past the table is refused: nothing stored, the instrument untouched.
TEST(InstrumentSlotTableTest, SetSlotOutsideTheTableChangesNothing)
{
    cTestPackage package;
    cInstrumentSlotTable table;
    cInstrument* instrument = package.CreateInstrument(0);
    instrument->SetSlot(5);
    for (int32_t slot : {16, 17, -1, 255})
    {
        EXPECT_EQ(table.SetSlot(slot, instrument, true), nullptr) << slot;
        EXPECT_EQ(instrument->GetSlot(), 5) << slot;
    }
    for (int32_t slot = 0; slot < 16; ++slot)
        EXPECT_EQ(table.GetInstrument(slot), nullptr);
    EXPECT_EQ(package.destroyed, 0);
    package.DestroyInstrument(instrument);
}

TEST(InstrumentSlotTableTest, DestroyAllDestroysExactlyTheOccupants)
{
    cTestPackage package;
    cInstrumentSlotTable table;
    table.SetSlot(0, package.CreateInstrument(0), false);
    table.SetSlot(9, package.CreateInstrument(0), false);
    table.DestroyAll();
    EXPECT_EQ(package.destroyed, 2);
    EXPECT_EQ(package.GetInstruments().GetCount(), 0u);
    for (int32_t slot = 0; slot < 16; ++slot)
        EXPECT_EQ(table.GetInstrument(slot), nullptr);
}

TEST(InstrumentSlotTableTest, PostsEventsOnlyToAnOccupiedSlot)
{
    cTestPackage package;
    cInstrumentSlotTable table;
    cTestInstrument* instrument = static_cast<cTestInstrument*>(package.CreateInstrument(0));
    table.SetSlot(4, instrument, false);
    cAudioEvent event;
    event.type = kAudioEventPrepareProgram;
    for (uint8_t slot : {uint8_t(3), uint8_t(16), uint8_t(255)})
    {
        event.slot = slot;
        EXPECT_FALSE(table.PostEvent(event)) << int(slot);
    }
    event.slot = 4;
    EXPECT_TRUE(table.PostEvent(event));
    instrument->Module().DrainEvents();
    ASSERT_EQ(instrument->Module().eventCount, 1);
    EXPECT_EQ(instrument->Module().events[0].type, kAudioEventPrepareProgram);
}

TEST(InstrumentPackageRegistryTest, FindsPackagesByNameIgnoringCaseInTheOrderAdded)
{
    int deleted = 0;
    {
        cInstrumentPackageRegistry registry;
        EXPECT_EQ(cInstrumentPackageRegistry::GetInstance(), &registry);
        cTestPackage* kest = new cTestPackage("Kest");
        cTestPackage* mixer = new cTestPackage("Mixer");
        cTestPackage* shadow = new cTestPackage("KEST");
        for (cTestPackage* package : {kest, mixer, shadow})
        {
            package->deletedPackages = &deleted;
            registry.AddPackage(package);
        }
        EXPECT_EQ(registry.FindPackage("kEsT"), kest);
        EXPECT_EQ(registry.FindPackage("mixer"), mixer);
        EXPECT_EQ(registry.FindPackage("VRX-16"), nullptr);
        cInstrument* instrument = registry.CreateInstrument("KEST", 0);
        ASSERT_NE(instrument, nullptr);
        EXPECT_EQ(instrument->GetPackage(), kest);
        EXPECT_EQ(registry.CreateInstrument("Nothing", 0), nullptr);
        EXPECT_EQ(registry.GetCount(), 3u);
    }
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(cInstrumentPackageRegistry::GetInstance(), nullptr);
}
