#pragma once

#include <cstdint>

#include "base/Singleton.h"
#include "base/SettingsFile.h"

namespace Base
{
class cSerialise;
struct cEnumTable;
} // namespace Base

// Loads and saves the user's application settings, "GlobalSettings.dat" in
// "Doc": the program-wide values of gSettings, and the knob settings the
// widget manager keeps. The settings pages change the values in memory; the
// file is written only at the save points (start-up, auto-save, project load,
// save and export).
class cGlobalSettings : public Base::cSingleton<cGlobalSettings>
{
public:
    static constexpr const char* kFileName = "GlobalSettings.dat";
    static constexpr float kFileVersion = 1.0f;
    // Content installed by this version needs no installer run.
    static constexpr uint32_t kInstalledVersion = 9;

    // Registers; every value starts at its default.
    cGlobalSettings();

    // Reads the file, or its backup when the file is damaged; false when
    // neither could be read and the values stay as they were.
    bool Load();
    bool Save();
    // The one routine for both directions, in the file's order.
    void Serialise(Base::cSerialise& serialiser);

    void SetRecentProject(const char* path);
    const char* GetRecentProject() const;
    bool IsInstallerNeeded() const;
    void SetInstalled();
    uint32_t GetInstallerVersion() const;
    // The names the file stores the enumerated settings by; the settings
    // page shows the same texts.
    static const Base::cEnumTable& GetKeyWidthNames();
    static const Base::cEnumTable& GetKnobControlNames();
    static const Base::cEnumTable& GetSensitivityNames();
    static const Base::cEnumTable& GetBufferLatencyNames();
    static const Base::cEnumTable& GetAudioQualityNames();
    // The value's name in the table; "" when the table has none.
    static const char* FindName(const Base::cEnumTable& table, int32_t value);

    // How the last Load went. Damage that left the defaults makes the
    // installer version unknown: the installer runs, but deletes nothing.
    eSettingsRead GetLastRead() const { return mLastRead; }

private:
    eSettingsRead mLastRead = eSettingsRead::kNoFile;
};
