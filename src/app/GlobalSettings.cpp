#include "app/GlobalSettings.h"

#include <cstdint>

#include "base/Delegate.h"
#include "base/Serialise.h"
#include "platform/GlobalSettingValues.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr Base::cEnumEntry kKeyWidths[] = {{0, "Narrow"}, {1, "Normal"}, {2, "Wide"}, {3, "Very Wide"}};
constexpr Base::cEnumEntry kAudioQualities[] = {{0, "Low"}, {1, "Medium"}, {2, "High"}};
constexpr Base::cEnumEntry kBufferLatencies[] = {
    {0, "Very Low"}, {1, "Low"}, {2, "Medium"}, {3, "High"}, {4, "Very High"}};
constexpr Base::cEnumEntry kKnobControls[] = {{0, "Vertical"}, {1, "Rotary"}};
constexpr Base::cEnumEntry kSensitivities[] = {{0, "Low"}, {1, "Normal"}, {2, "High"}};

template <int32_t N>
constexpr Base::cEnumTable Table(const Base::cEnumEntry (&entries)[N])
{
    return {entries, N};
}

constexpr Base::cEnumTable kKeyWidthNames = Table(kKeyWidths);
constexpr Base::cEnumTable kAudioQualityNames = Table(kAudioQualities);
constexpr Base::cEnumTable kBufferLatencyNames = Table(kBufferLatencies);
constexpr Base::cEnumTable kKnobControlNames = Table(kKnobControls);
constexpr Base::cEnumTable kSensitivityNames = Table(kSensitivities);

// A value read is taken only when it is one of the table's: a name, or a
// number naming an entry. Anything else keeps the value it had.
void SerialiseListedEnum(Base::cSerialise& serialiser, const char* name, int32_t* value, const Base::cEnumTable& table)
{
    int32_t read = *value;
    if (!serialiser.SerialiseEnum(name, &read, &table) || serialiser.IsSaving())
        return;
    for (int32_t i = 0; i < table.count; ++i)
        if (table.entries[i].value == read)
            *value = read;
}

// The knob settings live in the widget manager; without one they read and
// write as their defaults.
void SerialiseKnobSettings(Base::cSerialise& serialiser)
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    int32_t knobControl = 0;
    int32_t sensitivity = 1;
    if (ui && serialiser.IsSaving())
    {
        knobControl = ui->knobControl;
        sensitivity = ui->sensitivity;
    }
    SerialiseListedEnum(serialiser, "KnobControl", &knobControl, kKnobControlNames);
    SerialiseListedEnum(serialiser, "Sensitivity", &sensitivity, kSensitivityNames);
    if (ui && !serialiser.IsSaving())
    {
        ui->knobControl = knobControl;
        ui->sensitivity = sensitivity;
    }
}
} // namespace

cGlobalSettings::cGlobalSettings() : cSingleton(this) { gSettings.Reset(); }

bool cGlobalSettings::Load()
{
    mLastRead = ReadSettingsFile(kFileName, kFileVersion, cDelegate(this, &cGlobalSettings::Serialise));
    // A changed orientation never survives a restart, whatever was read.
    gSettings.currentOrientation = 1;
    return mLastRead == eSettingsRead::kFile || mLastRead == eSettingsRead::kBackup;
}

bool cGlobalSettings::Save()
{
    return WriteSettingsFile(kFileName, kFileVersion, cDelegate(this, &cGlobalSettings::Serialise));
}

void cGlobalSettings::Serialise(Base::cSerialise& s)
{
    cGlobalSettingValues& v = gSettings;
    s.SerialiseText("RecentProject", &v.recentProject);
    s.SerialiseBool("AutoSaved", &v.autoSaved);
    s.SerialiseBool("NormalizeSample", &v.normalizeSample);
    s.SerialiseBool("NormalizeResample", &v.normalizeResample);
    s.SerialiseUInt32("InstallerVersion", &v.installerVersion, 0, UINT32_MAX);
    s.SerialiseInt32("IntroHelp", &v.introHelp, INT32_MIN, INT32_MAX);
    SerialiseListedEnum(s, "KeyWidth", &v.keyWidth, kKeyWidthNames);
    s.SerialiseInt32("AuditionNote", &v.auditionNote, 0, 1);
    s.SerialiseInt32("AuditionNoteVol", &v.auditionNoteVol, 0, 100);
    s.SerialiseInt32("StopSamples", &v.stopSamples, INT32_MIN, INT32_MAX);
    s.SerialiseInt32("LockOrientation", &v.lockOrientation, 0, 1);
    s.SerialiseInt32("StartOnProjectPage", &v.startOnProjectPage, 0, 1);
    s.SerialiseInt32("DynamicCPUBoost", &v.dynamicCPUBoost, 0, 1);
    s.SerialiseInt32("BackgroundAudio", &v.backgroundAudio, 0, 1);
    s.SerialiseInt32("CurrentOrientation", &v.currentOrientation, INT32_MIN, INT32_MAX);
    SerialiseListedEnum(s, "AudioQuality", &v.audioQuality, kAudioQualityNames);
    SerialiseListedEnum(s, "BufferLatency", &v.bufferLatency, kBufferLatencyNames);
    SerialiseKnobSettings(s);
}

const Base::cEnumTable& cGlobalSettings::GetKeyWidthNames() { return kKeyWidthNames; }

const Base::cEnumTable& cGlobalSettings::GetKnobControlNames() { return kKnobControlNames; }

const Base::cEnumTable& cGlobalSettings::GetSensitivityNames() { return kSensitivityNames; }

const Base::cEnumTable& cGlobalSettings::GetBufferLatencyNames() { return kBufferLatencyNames; }

const Base::cEnumTable& cGlobalSettings::GetAudioQualityNames() { return kAudioQualityNames; }

const char* cGlobalSettings::FindName(const Base::cEnumTable& table, int32_t value)
{
    for (int32_t i = 0; i < table.count; ++i)
        if (table.entries[i].value == value)
            return table.entries[i].name;
    return "";
}

void cGlobalSettings::SetRecentProject(const char* path) { gSettings.recentProject = path ? path : ""; }

const char* cGlobalSettings::GetRecentProject() const { return gSettings.recentProject.CStr(); }

bool cGlobalSettings::IsInstallerNeeded() const { return gSettings.installerVersion < kInstalledVersion; }

void cGlobalSettings::SetInstalled() { gSettings.installerVersion = kInstalledVersion; }

uint32_t cGlobalSettings::GetInstallerVersion() const { return gSettings.installerVersion; }
