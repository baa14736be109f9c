#include "app/MIDISettings.h"

#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/MIDIControllerMap.h"
#include "base/Delegate.h"
#include "base/Serialise.h"
#include "base/SettingsFile.h"
#include "midi/MIDIManager.h"

namespace
{
void SerialiseControllerMaps(Base::cSerialise& serialiser)
{
    const cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    if (!packages || !serialiser.BeginNode("Instruments", true))
        return;
    for (cInstrumentPackage* package = packages->GetFirst(); package; package = package->GetNext())
    {
        cMIDIControllerMap* map = package->GetControllerMap();
        // The serialiser makes the package's name a safe element name.
        if (map && serialiser.BeginNode(package->GetName(), true))
        {
            map->Serialise(serialiser);
            serialiser.EndNode(package->GetName());
        }
    }
    serialiser.EndNode("Instruments");
}

void SerialisePorts(Base::cSerialise& serialiser)
{
    cMIDIManager* midi = cMIDIManager::GetInstance();
    if (!midi || !serialiser.BeginNode("MIDIManager", true))
        return;
    midi->SerialiseSettings(serialiser);
    serialiser.EndNode("MIDIManager");
}
} // namespace

cMIDISettings::cMIDISettings() : cSingleton(this) {}

bool cMIDISettings::LoadSave(bool load)
{
    const cDelegate body(this, &cMIDISettings::Serialise);
    if (!load)
        return WriteSettingsFile(kFileName, kFileVersion, body);
    const eSettingsRead read = ReadSettingsFile(kFileName, kFileVersion, body);
    return read == eSettingsRead::kFile || read == eSettingsRead::kBackup;
}

void cMIDISettings::Serialise(Base::cSerialise& serialiser)
{
    SerialiseControllerMaps(serialiser);
    SerialisePorts(serialiser);
}
