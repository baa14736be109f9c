#include <gtest/gtest.h>

#include <filesystem>

#include "KillHarness.h"
#include "PadTestSupport.h"
#include "base/StatusNotice.h"

using namespace PadTest;

// A pad bank saved again and again over itself, killed at each step of its
// commit and at random moments: every next start loads one of the two
// versions whole, every sample with it, and finds no temporary left. Where
// the file system cannot swap two folders in one step, a kill between the
// commit's two renames leaves the bank's name missing for a moment: the next
// load puts back the whole version and says so.
namespace
{
constexpr const char* kBank = "User/VRX Banks/Live.vrx";

class PadBankKillTest : public testing::Test
{
protected:
    PadBankKillTest()
    {
        std::filesystem::create_directories(rig.folder.Doc("User/VRX Banks"));
        rig.LoadLevel(0, "Kick", 6000, 0.5f);
        rig.LoadLevel(1, "Snare", 5000, 0.25f);
    }
    ~PadBankKillTest() override { RefuseRenameSwaps(false); }

    // The version is the mute word (1 or 2), written with both samples.
    bool Save(int version)
    {
        rig.Post(MakeSetIntEvent(cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindMuteWord, 0, 0)),
                                 version + 1));
        rig.Render(0);
        return rig.pads.SaveBank(cGenString(kBank));
    }

    // The version a fresh pad module loads, with every sample; -1 otherwise.
    static int Start()
    {
        cMorePads other;
        if (!other.pads.LoadBank(cGenString(""), cGenString(kBank), false) || !other.pads.GetSample(0) ||
            !other.pads.GetSample(1))
            return -1;
        return int(other.pads.GetActiveSet().mute) - 1;
    }

    KillHarness::cKind Kind()
    {
        return {[this](int version) { return Save(version); }, &Start,
                {rig.folder.Documents(), rig.folder.Doc("../Temp")}};
    }

    cPadRig rig;
};

TEST_F(PadBankKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewBankWhole)
{
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind()), 3) << "the samples, the package file and the swap";
}

TEST_F(PadBankKillTest, WithoutFolderSwapsABankLeftMissingIsPutBackWholeAndTold)
{
    RefuseRenameSwaps(true);
    cGenStringFixed<512> notice;
    while (TakeStatusNotice(notice))
    {
    }
    int putBack = 0;
    KillHarness::cKind kind = Kind();
    kind.start = [&] {
        const bool missing = !std::filesystem::exists(rig.folder.Doc(kBank));
        const int found = Start();
        if (missing)
        {
            EXPECT_TRUE(TakeStatusNotice(notice));
            EXPECT_EQ(std::string(notice.CStr()).rfind("Recovered bank 'Live' from 'Live.vrx.", 0), 0u)
                << notice.CStr();
            ++putBack;
        }
        return found;
    };
    KillHarness::ExpectEveryStepSurvived(kind);
    EXPECT_GE(putBack, 1) << "a kill between the two renames";
}

TEST_F(PadBankKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewBankWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(), 30, 7105);
}
} // namespace
