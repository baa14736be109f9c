#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsFixture.h"
#include "app/GlobalSettings.h"
#include "platform/GlobalSettingValues.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
using cGlobalSettingsTest = cSettingsFixture;

// The widget manager keeps the knob settings; it needs an input manager.
struct cKnobKeeper
{
    cInputManager input;
    cWidgetManager* ui = new cWidgetManager();
    ~cKnobKeeper() { delete ui; }
};

TEST_F(cGlobalSettingsTest, AFirstStartHasTheDefaults)
{
    cKnobKeeper knobs;
    knobs.ui->knobControl = 1;
    knobs.ui->sensitivity = 2;
    gSettings.auditionNoteVol = 5;
    cGlobalSettings settings;
    EXPECT_EQ(gSettings.currentOrientation, 4);
    EXPECT_FALSE(settings.Load());
    EXPECT_EQ(settings.GetLastRead(), eSettingsRead::kNoFile);
    EXPECT_TRUE(TakeSettingsDamageNotice() == nullptr);

    const cGlobalSettingValues& v = gSettings;
    EXPECT_STREQ(settings.GetRecentProject(), "User/Projects/Demos/Rock On.prj");
    EXPECT_FALSE(v.autoSaved);
    EXPECT_TRUE(v.normalizeSample);
    EXPECT_FALSE(v.normalizeResample);
    EXPECT_EQ(settings.GetInstallerVersion(), 0u);
    EXPECT_TRUE(settings.IsInstallerNeeded());
    EXPECT_EQ(v.introHelp, 0);
    EXPECT_EQ(v.keyWidth, cGlobalSettingValues::kKeyWidthNormal);
    EXPECT_EQ(v.auditionNote, 1);
    EXPECT_EQ(v.auditionNoteVol, 80);
    EXPECT_EQ(v.stopSamples, 1);
    EXPECT_EQ(v.lockOrientation, 0);
    EXPECT_EQ(v.startOnProjectPage, 0);
    EXPECT_EQ(v.dynamicCPUBoost, 0);
    EXPECT_EQ(v.backgroundAudio, 0);
    // 4 until a load, 1 after every load.
    EXPECT_EQ(v.currentOrientation, 1);
    EXPECT_EQ(v.audioQuality, 1);
    EXPECT_EQ(v.bufferLatency, 2);
    EXPECT_FALSE(v.debug);
    // Nothing was read, so the widget manager keeps what it had.
    EXPECT_EQ(knobs.ui->knobControl, 1);
    EXPECT_EQ(knobs.ui->sensitivity, 2);
}

TEST_F(cGlobalSettingsTest, ASavedFileListsTheNineteenKeysInOrderWithEnumsByName)
{
    cKnobKeeper knobs;
    cGlobalSettings settings;
    gSettings.keyWidth = cGlobalSettingValues::kKeyWidthVeryWide;
    gSettings.bufferLatency = 0;
    gSettings.audioQuality = 2;
    knobs.ui->knobControl = 1;
    knobs.ui->sensitivity = 0;
    settings.SetInstalled();
    ASSERT_TRUE(settings.Save());

    const std::vector<std::string> expected = {
        "FileVersion",     "RecentProject",      "AutoSaved",          "NormalizeSample",    "NormalizeResample",
        "InstallerVersion", "IntroHelp",         "KeyWidth",           "AuditionNote",       "AuditionNoteVol",
        "StopSamples",     "LockOrientation",    "StartOnProjectPage", "DynamicCPUBoost",    "BackgroundAudio",
        "CurrentOrientation", "AudioQuality",    "BufferLatency",      "KnobControl",        "Sensitivity"};
    EXPECT_EQ(RootAttributes("GlobalSettings.dat"), expected);
    const std::string text = mFolder.Read("GlobalSettings.dat");
    EXPECT_EQ(text.rfind("<Root FileVersion=\"1.000000\"", 0), 0u) << text;
    for (const char* pair : {"AutoSaved=\"false\"", "NormalizeSample=\"true\"", "InstallerVersion=\"9\"",
                             "KeyWidth=\"Very Wide\"", "AudioQuality=\"High\"", "BufferLatency=\"Very Low\"",
                             "KnobControl=\"Rotary\"", "Sensitivity=\"Low\""})
        EXPECT_NE(text.find(pair), std::string::npos) << pair;
}

struct cReadCase
{
    const char* attributes;
    int32_t cGlobalSettingValues::*field;
    int32_t before;
    int32_t expected;
};

TEST_F(cGlobalSettingsTest, ValuesReadAreHeldToTheirRangesAndUnknownNamesKeepTheValue)
{
    using V = cGlobalSettingValues;
    const cReadCase cases[] = {
        {"AuditionNoteVol=\"150\"", &V::auditionNoteVol, 80, 100},
        {"AuditionNoteVol=\"-5\"", &V::auditionNoteVol, 80, 0},
        {"AuditionNoteVol=\"37\"", &V::auditionNoteVol, 80, 37},
        {"BufferLatency=\"Very High\"", &V::bufferLatency, 2, 4},
        {"BufferLatency=\"very low\"", &V::bufferLatency, 2, 0},
        {"BufferLatency=\"Turbo\"", &V::bufferLatency, 1, 1},
        {"BufferLatency=\"3\"", &V::bufferLatency, 1, 3},
        {"BufferLatency=\"99\"", &V::bufferLatency, 1, 1},
        {"AudioQuality=\"-1\"", &V::audioQuality, 2, 2},
        {"KeyWidth=\"Wide\"", &V::keyWidth, 1, 2},
        {"CurrentOrientation=\"3\"", &V::currentOrientation, 4, 1},
        {"LockOrientation=\"7\"", &V::lockOrientation, 0, 1},
        {"", &V::stopSamples, -12, -12},
    };
    for (const cReadCase& c : cases)
    {
        mFolder.Write("GlobalSettings.dat", std::string("<Root FileVersion=\"1.0\" ") + c.attributes + "/>");
        cGlobalSettings settings;
        gSettings.*c.field = c.before;
        EXPECT_TRUE(settings.Load()) << c.attributes;
        EXPECT_EQ(gSettings.*c.field, c.expected) << c.attributes;
    }
}

TEST_F(cGlobalSettingsTest, KnobSettingsGoIntoTheWidgetManagerAndMissingOnesReadAsTheirDefaults)
{
    cKnobKeeper knobs;
    cGlobalSettings settings;
    mFolder.Write("GlobalSettings.dat", "<Root FileVersion=\"1.0\" KnobControl=\"Rotary\" Sensitivity=\"High\"/>");
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(knobs.ui->knobControl, 1);
    EXPECT_EQ(knobs.ui->sensitivity, 2);

    mFolder.Write("GlobalSettings.dat", "<Root FileVersion=\"1.0\" KnobControl=\"Sideways\"/>");
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(knobs.ui->knobControl, 0);
    EXPECT_EQ(knobs.ui->sensitivity, 1);
}

TEST_F(cGlobalSettingsTest, AnotherFileVersionIsReadAsFound)
{
    mFolder.Write("GlobalSettings.dat", "<Root FileVersion=\"0.5\" IntroHelp=\"3\" RecentProject=\"User/Projects/A.prj\"/>");
    cGlobalSettings settings;
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(gSettings.introHelp, 3);
    EXPECT_STREQ(settings.GetRecentProject(), "User/Projects/A.prj");
    settings.SetRecentProject("");
    EXPECT_STREQ(settings.GetRecentProject(), "");
}
} // namespace
