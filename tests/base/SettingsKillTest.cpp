#include "FileTestFolder.h"
#include "KillHarness.h"

#include "base/Delegate.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/Serialise.h"
#include "base/SettingsFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

// A settings file saved again and again, killed at each step of its commit
// and at random moments: every next start reads one of the two versions
// from the file itself (never its backup or the defaults) and finds no
// temporary left.
namespace
{
// A few thousand bytes, so a save takes a while to write.
constexpr int kFillerLength = 6000;

struct cSettings
{
    void Serialise(Base::cSerialise& s)
    {
        s.SerialiseInt32("Version", &version, 0, 100);
        s.SerialiseText("Filler", &filler);
    }
    int32_t version = 0;
    cGenStringFixed<kFillerLength + 16> filler;
};

class SettingsKillTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mFolder.Write("Documents/.keep", "");
        mRegistry.Mount(new File::cFileSystemDisk("Doc", Documents().c_str()));
        ASSERT_TRUE(Save(1));
    }

    std::string Documents() const { return mFolder / "Documents"; }

    static bool Save(int32_t version)
    {
        cSettings settings;
        settings.version = version;
        settings.filler.AssignCStr(std::string(kFillerLength, char('a' + version)).c_str());
        return WriteSettingsFile("Kill.dat", 1.0f, cDelegate(&settings, &cSettings::Serialise));
    }

    // The next start: which version it reads, or -1 when it read none whole.
    int32_t Start() const
    {
        KillHarness::NextStart({Documents()});
        cSettings settings;
        settings.version = -1;
        const eSettingsRead read = ReadSettingsFile("Kill.dat", 1.0f, cDelegate(&settings, &cSettings::Serialise));
        const bool whole = settings.filler.Length() == kFillerLength && settings.filler.CStr()[0] == 'a' + settings.version;
        return read == eSettingsRead::kFile && whole ? settings.version : -1;
    }

    cFileTestFolder mFolder;
    cFileSystemRegistry mRegistry;
};

TEST_F(SettingsKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewFileWhole)
{
    const int steps = KillHarness::KillAtEveryStep([] { return Save(2); },
                                                   [&](int step) {
                                                       SCOPED_TRACE(step);
                                                       const int32_t found = Start();
                                                       EXPECT_TRUE(found == 1 || found == 2) << found;
                                                       EXPECT_EQ(KillHarness::Temporaries(Documents()).size(), 0u);
                                                       ASSERT_TRUE(Save(1));
                                                   });
    EXPECT_GE(steps, 2) << "the backup's link and the rename";
}

TEST_F(SettingsKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    std::mt19937 random(54);
    const auto longest = KillHarness::Duration([] { Save(1); }) * 3;
    int killed = 0;
    for (int round = 0; round < KillHarness::Rounds(30); ++round)
    {
        SCOPED_TRACE(round);
        killed += KillHarness::RunKilledAtRandom(random, longest, [](int i) { Save(1 + i); }) ? 1 : 0;
        const int32_t found = Start();
        EXPECT_TRUE(found == 1 || found == 2) << found;
        EXPECT_EQ(KillHarness::Temporaries(Documents()).size(), 0u);
    }
    EXPECT_EQ(killed, KillHarness::Rounds(30));
}
} // namespace
