#include "FileTestFolder.h"
#include "KillHarness.h"

#include "base/Delegate.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/Serialise.h"
#include "base/SettingsFile.h"

#include <gtest/gtest.h>

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
    }

    std::string Documents() const { return mFolder / "Documents"; }

    static bool Save(int32_t version)
    {
        cSettings settings;
        settings.version = version;
        settings.filler.AssignCStr(std::string(kFillerLength, char('a' + version)).c_str());
        return WriteSettingsFile("Kill.dat", 1.0f, cDelegate(&settings, &cSettings::Serialise));
    }

    // The version read from the file itself, whole; -1 otherwise.
    static int Start()
    {
        cSettings settings;
        settings.version = -1;
        const eSettingsRead read = ReadSettingsFile("Kill.dat", 1.0f, cDelegate(&settings, &cSettings::Serialise));
        const bool whole = settings.filler.Length() == kFillerLength && settings.filler.CStr()[0] == 'a' + settings.version;
        return read == eSettingsRead::kFile && whole ? settings.version : -1;
    }

    KillHarness::cKind Kind() const { return {&Save, &Start, {Documents()}}; }

    cFileTestFolder mFolder;
    cFileSystemRegistry mRegistry;
};

TEST_F(SettingsKillTest, AKillAtEachStepOfTheCommitLeavesTheOldOrTheNewFileWhole)
{
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(Kind()), 2) << "the backup's link and the rename";
}

TEST_F(SettingsKillTest, AKillAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    KillHarness::ExpectRandomKillsSurvived(Kind(), 30, 54);
}
} // namespace
