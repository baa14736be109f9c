#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "BuildPaths.h"
#include "PresetFixtures.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"

namespace
{
using tStore = cAnalogueSynthPresetStore;

// The generated content, mounted where the installer later puts it.
class FactoryBankTest : public testing::Test
{
protected:
    void SetUp() override
    {
        registry.Mount(new File::cFileSystemDisk("Doc", BuildFile("bin/Resource").c_str()));
    }

    cFileSystemRegistry registry;
    std::unique_ptr<tStore> store = std::make_unique<tStore>();
};

std::string Unnamed(cAnalogueSynthSingle single)
{
    single.SetName("");
    return WriteRecord(single);
}

// Its record with the init single's level.
std::string UnnamedAtInitLevel(cAnalogueSynthSingle single)
{
    single.AmpEnv.Amount = cAnalogueSynthSingle().AmpEnv.Amount;
    return Unnamed(single);
}
} // namespace

TEST_F(FactoryBankTest, EveryBankHoldsItsOwnDesignedPresets)
{
    const std::string init = Unnamed(cAnalogueSynthSingle());
    cAnalogueSynthMulti initMulti;
    const std::string initMultiBytes = WriteRecord(initMulti);
    std::set<std::string> names;
    for (int32_t bank = 0; bank < tStore::kGlobalBankCount; ++bank)
    {
        cGenStringFixed<64> path, error;
        path.Printf("Instruments/Kest/Global%c", 'A' + bank);
        SCOPED_TRACE(path.CStr());
        ASSERT_TRUE(LoadBank(*store, bank, path, nullptr, 0, error)) << error.CStr();
        int32_t designed = 0;
        for (int32_t slot = 0; slot < tStore::kSlotCount; ++slot)
        {
            const int32_t id = tStore::MakeId(bank, slot);
            const cAnalogueSynthSingle& single = store->GetSingle(id);
            EXPECT_TRUE(store->GetSamplePath(id).IsEmpty());
            EXPECT_NE(single.Osc.Mod, cOscSectionParams::kModeSample) << single.Name;
            EXPECT_EQ(WriteRecord(store->GetMulti(id)), initMultiBytes) << slot;
            // An unused slot holds the init sound at the factory presets' level.
            if (std::string(single.Name) == "<EMPTY>")
            {
                EXPECT_EQ(UnnamedAtInitLevel(single), init) << slot;
                EXPECT_NEAR(single.AmpEnv.Amount, 0.42f, 1e-6f) << slot;
                continue;
            }
            EXPECT_EQ(slot, designed) << "designed presets come first";
            ++designed;
            EXPECT_TRUE(names.insert(single.Name).second) << single.Name << " appears twice";
            EXPECT_NE(Unnamed(single), init) << single.Name << " is the init sound";
        }
        EXPECT_GE(designed, 16);
    }
}
