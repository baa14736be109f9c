#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "KillHarness.h"
#include "audio/SampleFiles.h"
#include "base/SafeWrite.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"

// A global bank saved again and again, killed at each step of its commit and
// at random moments: every next start loads one of the two versions from the
// bank file itself, whole, and finds no temporary left.
namespace
{
using tStore = cAnalogueSynthPresetStore;

constexpr const char* kBankPath = "Instruments/Kest/GlobalC";
constexpr int32_t kBank = 2;

class BankKillTest : public testing::Test
{
protected:
    // Every slot named after the version, so a bank mixing two shows.
    static void Name(tStore& store, int version)
    {
        for (int32_t slot = 0; slot < 64; ++slot)
        {
            cGenStringFixed<24> name;
            name.Printf("V%d %d", version, int(slot));
            store.GetSingle(tStore::MakeId(kBank, slot)).SetName(name.CStr());
        }
    }

    bool Save(int version)
    {
        Name(*mStores[version], version);
        return SaveBank(*mStores[version], kBank, kBankPath, nullptr, false);
    }

    // The version the bank file itself holds in every slot; -1 otherwise.
    static int Start()
    {
        auto store = std::make_unique<tStore>();
        cGenStringFixed<128> error;
        if (!LoadBank(*store, kBank, kBankPath, nullptr, kLoadExact, error))
            return -1;
        const int version = store->GetSingle(tStore::MakeId(kBank, 0)).Name[1] - '0';
        for (int32_t slot = 0; slot < 64; ++slot)
        {
            cGenStringFixed<24> name;
            name.Printf("V%d %d", version, int(slot));
            if (std::strcmp(store->GetSingle(tStore::MakeId(kBank, slot)).Name, name.CStr()) != 0)
                return -1;
        }
        return version;
    }

    KillHarness::cKind Kind()
    {
        return {[this](int version) { return Save(version); }, &Start,
                {folder.Documents(), folder.Doc("../Temp")}};
    }

    cSampleFolder folder;
    std::unique_ptr<tStore> mStores[2] = {std::make_unique<tStore>(), std::make_unique<tStore>()};
};

TEST_F(BankKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewBankWhole)
{
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind()), 2);
}

TEST_F(BankKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewBankWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(), 30, 6114);
}
} // namespace
