#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KillHarness.h"
#include "TestEffects.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileTestFolder.h"
#include "mixer/EffectChainFile.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"

using namespace MixerTest;

// An effect-chain file saved again and again, killed at each step of its
// commit and at random moments: every next start loads one of the two
// versions whole and finds no temporary left.
namespace
{
constexpr const char* kChain = "User/FX Favourites/Kill.qfx";
constexpr const char* kSlots[] = {"SLOT1", "SLOT2", "SLOT3", "SLOT4"};

class ChainFileKillTest : public testing::Test
{
protected:
    void SetUp() override
    {
        mFolder.Write("Documents/User/FX Favourites/.keep", "");
        AddDeletableRoot(Documents().c_str());
        mDocuments = std::make_unique<File::cFileSystemDisk>("Doc", Documents().c_str());
        mRegistry.AddPackage(new cGainEffectPackage());
        mRack.BuildInsertChain();
        for (const char* slot : kSlots)
            mRack.FindNode(slot)->SetEffect(mRegistry.CreateEffect("TEST-GAIN"), true);
    }
    void TearDown() override { ClearDeletableRoots(); }

    std::string Documents() const { return mFolder / "Documents"; }

    // Every effect's gain tells the version.
    bool Save(int version)
    {
        for (const char* slot : kSlots)
            static_cast<cGainEffect*>(mRack.FindNode(slot)->GetEffect())->gain = 1.0f + float(version);
        return EffectChainFile::Save(mDocuments.get(), kChain, mRack);
    }

    // The version every effect of the loaded chain holds; -1 otherwise.
    int Start()
    {
        cEffectRack loaded;
        loaded.BuildInsertChain();
        if (!EffectChainFile::Load(mDocuments.get(), kChain, loaded))
            return -1;
        int version = -1;
        for (const char* slot : kSlots)
        {
            cEffect* effect = loaded.FindNode(slot) ? loaded.FindNode(slot)->GetEffect() : nullptr;
            const int found = effect ? int(static_cast<cGainEffect*>(effect)->gain) - 1 : -1;
            if (found < 0 || (version >= 0 && found != version))
                return -1;
            version = found;
        }
        return version;
    }

    KillHarness::cKind Kind()
    {
        return {[this](int version) { return Save(version); }, [this] { return Start(); }, {Documents()}};
    }

    cFileTestFolder mFolder;
    std::unique_ptr<File::cFileSystemDisk> mDocuments;
    cEffectRegistry mRegistry;
    cEffectRack mRack;
};

TEST_F(ChainFileKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewChainWhole)
{
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind()), 2);
}

TEST_F(ChainFileKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewChainWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(), 30, 8121);
}
} // namespace
