#include <gtest/gtest.h>

#include <memory>

#include "instruments/synth/AnalogueSynthPresetStore.h"

namespace
{
using tStore = cAnalogueSynthPresetStore;

std::unique_ptr<tStore> MakeStore() { return std::make_unique<tStore>(); }

int32_t Id(int32_t bank, int32_t slot) { return tStore::MakeId(bank, slot); }
} // namespace

TEST(PresetStoreTest, IdsAndIndexes)
{
    struct cCase
    {
        int32_t id;
        int32_t index;
    };
    // Only bits 0 to 5 and 8 to 10 count: 0x0905 is bank 1 like 0x0105, and
    // 0x3F05 keeps the low three bank bits, 7.
    const cCase cases[] = {{0x0000, 0}, {0x0105, 69}, {0x0905, 69}, {0x01C5, 69}, {0x3F05, 453}, {0x073F, 511}};
    for (const cCase& c : cases)
        EXPECT_EQ(tStore::IndexOf(c.id), c.index) << std::hex << c.id;
    for (int32_t index : {0, 69, 453, 511})
        EXPECT_EQ(tStore::IndexOf(tStore::IdOf(index)), index);
    EXPECT_EQ(tStore::IdOf(69), 0x0105);

    auto store = MakeStore();
    store->GetSingle(0x0105).SetName("Shared");
    EXPECT_STREQ(store->GetSingle(0x0905).Name, "Shared");
}

TEST(PresetStoreTest, PresetTexts)
{
    auto store = MakeStore();
    store->GetSingle(Id(7, 5)).SetName("Bass");
    store->GetMulti(Id(2, 63)).SetName("Layers");
    struct cCase
    {
        int32_t id;
        int32_t kind;
        const char* text;
    };
    const cCase cases[] = {{Id(0, 0), 0, "A00.<EMPTY>"},
                           {Id(7, 5), 0, "P05.Bass"},
                           {Id(2, 63), 1, "C63.Layers"},
                           {Id(6, 9), 1, "G09.<EMPTY>"},
                           {Id(1, 1), 2, "B01."}};
    for (const cCase& c : cases)
    {
        cGenStringFixed<64> text;
        store->GetPresetText(text, c.id, c.kind);
        EXPECT_STREQ(text.CStr(), c.text);
    }
    EXPECT_STREQ(store->GetPresetName(1, Id(2, 63)), "Layers");
    EXPECT_STREQ(store->GetPresetName(3, Id(2, 63)), "");
}

TEST(PresetStoreTest, WritesMarkTheirBankAndClearsKeepControllers)
{
    auto store = MakeStore();
    cAnalogueSynthSingle single;
    single.SetName("Written");
    single.Ctrl.values[5] = 0.5f;
    store->WriteSingle(Id(3, 7), single, "User/Samples/Kick.wav");
    store->WriteMulti(Id(7, 1), cAnalogueSynthMulti());
    for (int32_t bank = 0; bank < 8; ++bank)
        EXPECT_EQ(store->IsBankModified(bank), bank == 3 || bank == 7) << bank;
    EXPECT_STREQ(store->GetSamplePath(Id(3, 7)).CStr(), "User/Samples/Kick.wav");

    EXPECT_TRUE(store->IsSampleInUse("user/samples/KICK.wav"));
    EXPECT_FALSE(store->IsSampleInUse("User/Samples/Kick2.wav"));
    EXPECT_FALSE(store->IsSampleInUse(""));

    store->GetSingle(Id(7, 2)).SetName("Project");
    store->SetSamplePath(Id(7, 2), "Song.prj/Snare.wav");
    store->ClearProjectBank();
    EXPECT_STREQ(store->GetSingle(Id(7, 2)).Name, "<EMPTY>");
    EXPECT_FALSE(store->IsSampleInUse("Song.prj/Snare.wav"));
    EXPECT_FALSE(store->IsBankModified(7));
    EXPECT_TRUE(store->IsBankModified(3));

    store->Reset();
    EXPECT_STREQ(store->GetSingle(Id(3, 7)).Name, "<EMPTY>");
    EXPECT_FLOAT_EQ(store->GetSingle(Id(3, 7)).Ctrl.values[5], 0.5f);
    EXPECT_FALSE(store->IsSampleInUse("User/Samples/Kick.wav"));
    EXPECT_FALSE(store->IsBankModified(3));
}

TEST(PresetStoreTest, AfterBeginEveryPresetMapsToItself)
{
    auto store = MakeStore();
    store->ExportMapCollect();
    store->AddUsedPreset(Id(0, 1), 0);
    store->ExportMapFinalize();
    store->ExportMapBegin();
    for (int32_t id : {Id(0, 1), Id(3, 9), Id(7, 63)})
    {
        EXPECT_EQ(store->MapPreset(id, 0), id);
        EXPECT_EQ(store->MapPreset(id, 1), id);
        EXPECT_EQ(store->GetSingleExportEntry(id), id);
    }
    EXPECT_EQ(store->MapPreset(Id(3, 9), 2), 0);
}

// 70 global singles in use and an empty project bank: the first 64, by bank
// and slot, move into project slots 0 to 63; the last 6 keep their ids.
TEST(PresetStoreTest, AnExportMovesWhatFitsIntoTheProjectBank)
{
    auto store = MakeStore();
    store->ExportMapCollect();
    for (int32_t slot = 0; slot < 64; ++slot)
        store->AddUsedPreset(Id(2, slot), 0);
    for (int32_t slot = 0; slot < 6; ++slot)
        store->AddUsedPreset(Id(0, 10 + slot), 0);
    store->ExportMapFinalize();

    for (int32_t slot = 0; slot < 6; ++slot)
    {
        EXPECT_EQ(store->MapPreset(Id(0, 10 + slot), 0), Id(7, slot));
        EXPECT_EQ(store->GetSingleExportEntry(Id(7, slot)), Id(0, 10 + slot));
    }
    for (int32_t slot = 0; slot < 58; ++slot)
        EXPECT_EQ(store->MapPreset(Id(2, slot), 0), Id(7, 6 + slot)) << slot;
    for (int32_t slot = 58; slot < 64; ++slot)
        EXPECT_EQ(store->MapPreset(Id(2, slot), 0), Id(2, slot)) << slot;
    EXPECT_EQ(store->NextFreeProjectSingle(), -1);
    EXPECT_EQ(store->MapPreset(Id(4, 4), 0), Id(4, 4)); // not used at all
}

TEST(PresetStoreTest, ProjectSlotsInUseKeepTheirPlace)
{
    auto store = MakeStore();
    store->ExportMapCollect();
    store->AddUsedPreset(Id(7, 0), 0);
    store->AddUsedPreset(Id(7, 3), 0);
    for (int32_t slot : {10, 11, 12})
        store->AddUsedPreset(Id(0, slot), 0);
    store->ExportMapFinalize();
    EXPECT_EQ(store->GetSingleExportEntry(Id(7, 0)), Id(7, 0));
    EXPECT_EQ(store->GetSingleExportEntry(Id(7, 3)), Id(7, 3));
    EXPECT_EQ(store->MapPreset(Id(0, 10), 0), Id(7, 1));
    EXPECT_EQ(store->MapPreset(Id(0, 11), 0), Id(7, 2));
    EXPECT_EQ(store->MapPreset(Id(0, 12), 0), Id(7, 4));
    EXPECT_EQ(store->MapPreset(Id(7, 3), 0), Id(7, 3));
    EXPECT_EQ(store->GetSingleExportEntry(Id(7, 5)), tStore::kExportUnused);
    EXPECT_EQ(store->NextFreeProjectSingle(), Id(7, 5));
}

// A multi in use marks its own layers' singles, not those of the multi in the
// same slot of another bank.
TEST(PresetStoreTest, AMultiMarksItsOwnLayers)
{
    auto store = MakeStore();
    cAnalogueSynthMulti& used = store->GetMulti(Id(5, 2));
    used.layers[0].Index = Id(0, 16);
    used.layers[1].Index = Id(2, 3);
    used.layers[2].Index = -1;
    cAnalogueSynthMulti& other = store->GetMulti(Id(4, 2));
    other.layers[0].Index = Id(0, 17);

    store->ExportMapCollect();
    store->AddUsedPreset(Id(5, 2), 1);
    store->ExportMapFinalize();
    EXPECT_EQ(store->MapPreset(Id(5, 2), 1), Id(7, 0));
    EXPECT_EQ(store->MapPreset(Id(4, 2), 1), Id(4, 2));
    EXPECT_EQ(store->MapPreset(Id(0, 16), 0), Id(7, 0));
    EXPECT_EQ(store->MapPreset(Id(2, 3), 0), Id(7, 1));
    EXPECT_EQ(store->MapPreset(Id(0, 17), 0), Id(0, 17));
    // Layer 3 of the init multi is off; nothing else was marked.
    EXPECT_EQ(store->GetSingleExportEntry(Id(7, 2)), tStore::kExportUnused);

    cAnalogueSynthMulti mapped = used;
    mapped.layers[3].Index = Id(7, 9);
    store->MapMultiLayers(mapped);
    EXPECT_EQ(mapped.layers[0].Index, Id(7, 0));
    EXPECT_EQ(mapped.layers[1].Index, Id(7, 1));
    EXPECT_EQ(mapped.layers[2].Index, -1);
    EXPECT_EQ(mapped.layers[3].Index, Id(7, 9)); // project ids stay
}
