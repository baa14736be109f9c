// Feeds arbitrary bytes to the settings files as "GlobalSettings.dat" or
// "MIDISettings.dat" (by the first byte): whatever they hold, a load leaves
// every value in its range, and what is then saved loads again to the same
// values. A damaged file must change nothing and cost nothing but a report;
// run with -close_fd_mask=2 to keep those reports off the screen.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/GlobalSettings.h"
#include "app/MIDISettings.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/MIDIControllerMap.h"
#include "audio/TestInstrument.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "platform/GlobalSettingValues.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool Within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// The program's settings objects over a "Doc" mount of their own, made once.
struct cWorld
{
    cWorld()
    {
        char pattern[] = "/tmp/settings-fuzz-XXXXXX";
        folder = mkdtemp(pattern);
        new cFileSystemRegistry();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", folder.c_str()));
        new cInputManager();
        new cWidgetManager();
        new cInstrumentPackageRegistry();
        for (const char* name : {"Kest", "Mixer", "VRX"})
        {
            auto* package = new cTestPackage(name);
            package->CreateControllerMap();
            cInstrumentPackageRegistry::GetInstance()->AddPackage(package);
        }
        new cMIDIManager(std::make_unique<cFakeMIDISystem>());
        new cGlobalSettings();
        new cMIDISettings();
    }

    void Write(const char* name, const uint8_t* data, size_t size) const
    {
        for (const char* suffix : {"", ".bak"})
            unlink((folder + "/" + name + suffix).c_str());
        std::ofstream(folder + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(data), long(size));
    }

    std::string folder;
};

struct cGlobalSnapshot
{
    cGlobalSnapshot()
        : values(gSettings), knobControl(cWidgetManager::GetInstance()->knobControl),
          sensitivity(cWidgetManager::GetInstance()->sensitivity)
    {
    }

    bool operator==(const cGlobalSnapshot& o) const
    {
        const cGlobalSettingValues& a = values;
        const cGlobalSettingValues& b = o.values;
        return std::strcmp(a.recentProject.CStr(), b.recentProject.CStr()) == 0 && a.autoSaved == b.autoSaved &&
               a.normalizeSample == b.normalizeSample && a.normalizeResample == b.normalizeResample &&
               a.installerVersion == b.installerVersion && a.introHelp == b.introHelp && a.keyWidth == b.keyWidth &&
               a.auditionNote == b.auditionNote && a.auditionNoteVol == b.auditionNoteVol &&
               a.stopSamples == b.stopSamples && a.lockOrientation == b.lockOrientation &&
               a.startOnProjectPage == b.startOnProjectPage && a.dynamicCPUBoost == b.dynamicCPUBoost &&
               a.backgroundAudio == b.backgroundAudio && a.currentOrientation == b.currentOrientation &&
               a.audioQuality == b.audioQuality && a.bufferLatency == b.bufferLatency &&
               knobControl == o.knobControl && sensitivity == o.sensitivity;
    }

    void CheckRanges() const
    {
        const cGlobalSettingValues& v = values;
        Check(Within(v.keyWidth, 0, 3) && Within(v.auditionNote, 0, 1) && Within(v.auditionNoteVol, 0, 100));
        Check(Within(v.lockOrientation, 0, 1) && Within(v.startOnProjectPage, 0, 1));
        Check(Within(v.dynamicCPUBoost, 0, 1) && Within(v.backgroundAudio, 0, 1));
        Check(Within(v.audioQuality, 0, 2) && Within(v.bufferLatency, 0, 4));
        Check(Within(knobControl, 0, 1) && Within(sensitivity, 0, 2));
        Check(std::strlen(v.recentProject.CStr()) < 260);
    }

    cGlobalSettingValues values;
    int32_t knobControl;
    int32_t sensitivity;
};

struct cPortRecord
{
    std::string name;
    uint32_t flags, channels;
    bool omni;
    bool operator==(const cPortRecord&) const = default;
};

struct cMIDISnapshot
{
    cMIDISnapshot()
    {
        for (cInstrumentPackage* p = cInstrumentPackageRegistry::GetInstance()->GetFirst(); p; p = p->GetNext())
            for (int32_t slot = 0; slot < cMIDIControllerMap::kSlotCount; ++slot)
                assignments.push_back(p->GetControllerMap()->GetAssignment(slot));
        const cMIDIManager* midi = cMIDIManager::GetInstance();
        for (int32_t i = 0; i < midi->GetPortCount(); ++i)
        {
            const cMIDIPortSettings* port = midi->GetPort(i);
            ports.push_back({port->GetName().CStr(), port->GetEnableFlags(), port->GetChannels(), port->IsOmni()});
        }
    }

    bool operator==(const cMIDISnapshot&) const = default;

    // Every reverse list names slots of the map that listen to its controller.
    static void CheckRanges()
    {
        for (cInstrumentPackage* p = cInstrumentPackageRegistry::GetInstance()->GetFirst(); p; p = p->GetNext())
        {
            const cMIDIControllerMap& map = *p->GetControllerMap();
            for (int32_t controller = 0; controller < cMIDIControllerMap::kControllerCount; ++controller)
            {
                const cMIDIControllerMap::cSlotList& list = map.GetReverseList(controller);
                Check(Within(list.count, 0, cMIDIControllerMap::kSlotCount));
                for (int32_t i = 0; i < list.count; ++i)
                    Check(Within(list.slots[i], 0, 19) && map.GetAssignment(list.slots[i]) == controller);
            }
        }
    }

    std::vector<int32_t> assignments;
    std::vector<cPortRecord> ports;
};

void FuzzGlobalSettings(const cWorld& world, const uint8_t* data, size_t size)
{
    world.Write(cGlobalSettings::kFileName, data, size);
    cGlobalSettings& settings = *cGlobalSettings::GetInstance();
    gSettings.Reset();
    settings.Load();
    const cGlobalSnapshot first;
    first.CheckRanges();
    Check(settings.Save());
    gSettings.Reset();
    cWidgetManager::GetInstance()->knobControl = 0;
    cWidgetManager::GetInstance()->sensitivity = 1;
    Check(settings.Load());
    Check(cGlobalSnapshot() == first);
}

void FuzzMIDISettings(const cWorld& world, const uint8_t* data, size_t size)
{
    world.Write(cMIDISettings::kFileName, data, size);
    cMIDISettings& settings = *cMIDISettings::GetInstance();
    settings.Load();
    const cMIDISnapshot first;
    cMIDISnapshot::CheckRanges();
    Check(settings.Save());
    Check(settings.Load());
    Check(cMIDISnapshot() == first);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const cWorld world;
    if (size == 0)
        return 0;
    if (data[0] & 1)
        FuzzMIDISettings(world, data + 1, size - 1);
    else
        FuzzGlobalSettings(world, data + 1, size - 1);
    return 0;
}
