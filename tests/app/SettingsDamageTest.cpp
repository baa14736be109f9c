#include <gtest/gtest.h>

#include <string>

#include "SettingsFixture.h"
#include "app/GlobalSettings.h"
#include "base/Delegate.h"
#include "base/Serialise.h"
#include "platform/GlobalSettingValues.h"

namespace
{
// A settings body with one value, so each case shows where it was read from.
struct cOneValue
{
    void Serialise(Base::cSerialise& serialiser) { serialiser.SerialiseInt32("Value", &value, 0, 100); }
    int32_t value = 50;
};

const std::string kBinary("\x00\x9c\xff<\x01\x02\x80xml\x00\xfe\x7f\x10", 14);

struct cDamage
{
    const char* name;
    std::string bytes;
    const char* reason;
};

const cDamage kDamages[] = {
    {"truncated", "<Root FileVersion=\"1.000000\" Value=\"7\" Oth", "it is not readable XML"},
    {"empty", "", "it is empty"},
    {"binary", kBinary, "it is not readable XML"},
    {"wrong root", "<Settings FileVersion=\"1.0\" Value=\"7\"/>", "it has no \"Root\" element"},
};

class cSettingsDamageTest : public cSettingsFixture
{
protected:
    eSettingsRead Read(cOneValue& target)
    {
        return ReadSettingsFile("Test.dat", 1.0f, cDelegate(&target, &cOneValue::Serialise));
    }
};

TEST_F(cSettingsDamageTest, ADamagedFileFallsBackToItsBackupOrTheDefaultsSaysSoAndStaysAsItIs)
{
    for (const cDamage& damage : kDamages)
        for (const bool withBackup : {true, false})
        {
            SCOPED_TRACE(std::string(damage.name) + (withBackup ? " with backup" : " without backup"));
            mFolder.Write("Test.dat", damage.bytes);
            if (withBackup)
                mFolder.Write("Test.dat.bak", "<Root FileVersion=\"1.0\" Value=\"33\"/>");
            else
                std::filesystem::remove(mFolder / "Test.dat.bak");

            cOneValue target;
            testing::internal::CaptureStderr();
            const eSettingsRead read = Read(target);
            const std::string said = testing::internal::GetCapturedStderr();

            EXPECT_EQ(read, withBackup ? eSettingsRead::kBackup : eSettingsRead::kDamaged);
            EXPECT_EQ(target.value, withBackup ? 33 : 50);
            EXPECT_NE(said.find("\"Test.dat\" is damaged (" + std::string(damage.reason)), std::string::npos) << said;
            EXPECT_NE(said.find(withBackup ? "using its backup" : "using the defaults"), std::string::npos) << said;
            const char* notice = TakeSettingsDamageNotice();
            ASSERT_NE(notice, nullptr);
            EXPECT_STREQ(notice, withBackup ? "SETTINGS DAMAGED - Using backup" : "SETTINGS DAMAGED - Using defaults");
            EXPECT_EQ(TakeSettingsDamageNotice(), nullptr);
            EXPECT_EQ(mFolder.Read("Test.dat"), damage.bytes);
        }
}

TEST_F(cSettingsDamageTest, AMissingFileIsNoDamageAndAMissingMountReadsNothing)
{
    cOneValue target;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(target), eSettingsRead::kNoFile);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(TakeSettingsDamageNotice(), nullptr);

    delete gFileSystemRegistry;
    new cFileSystemRegistry();
    EXPECT_EQ(Read(target), eSettingsRead::kNoMount);
    EXPECT_EQ(target.value, 50);
}

// Defaults outrank a backup: the user must hear of the worst.
TEST_F(cSettingsDamageTest, TheNoticeTellsTheWorstOfSeveralFiles)
{
    cOneValue target;
    mFolder.Write("Test.dat", "");
    testing::internal::CaptureStderr();
    Read(target);
    mFolder.Write("Test.dat.bak", "<Root FileVersion=\"1.0\" Value=\"33\"/>");
    Read(target);
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(TakeSettingsDamageNotice(), "SETTINGS DAMAGED - Using defaults");
}

TEST_F(cSettingsDamageTest, AFailingSaveKeepsTheDamagedBytesAndAWorkingOneKeepsThemAsTheBackup)
{
    mFolder.Write("GlobalSettings.dat", kDamages[0].bytes);
    cGlobalSettings settings;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Load());
    EXPECT_EQ(settings.GetLastRead(), eSettingsRead::kDamaged);
    bool saved = true;
    {
        // Writes beyond a small size fail, as on a full disk.
        cFileSizeLimit fullDisk(300);
        saved = settings.Save();
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(saved);
    EXPECT_NE(said.find("Couldn't save the settings file \"GlobalSettings.dat\": it couldn't be written: "),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("the previous file is kept"), std::string::npos) << said;
    EXPECT_EQ(mFolder.Read("GlobalSettings.dat"), kDamages[0].bytes);
    EXPECT_FALSE(mFolder.Exists("GlobalSettings.dat.bak"));

    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(mFolder.Read("GlobalSettings.dat.bak"), kDamages[0].bytes);
    EXPECT_TRUE(settings.Load());
}

TEST_F(cSettingsDamageTest, ASaveWithNowhereToGoSaysWhy)
{
    cGlobalSettings settings;
    delete gFileSystemRegistry;
    new cFileSystemRegistry();
    gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", (mFolder / "gone").c_str()));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Save());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("\"GlobalSettings.dat\": it can't be created: No such file or directory"), std::string::npos)
        << said;

    delete gFileSystemRegistry;
    new cFileSystemRegistry();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Save());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("there is no documents folder"), std::string::npos);
}
} // namespace
