#pragma once
#include <string>
#include <vector>

// The pad instrument's factory kits: "Default" (every new pad instrument
// loads it), "Neon" and "Timber", sixteen synthesised sounds each, written as
// bank packages "User/VRX Banks/<Kit>.vrx" by the instrument's own bank
// writer into the mounted "Doc" folder.
namespace PadKits
{
// The kits' names, "Default" first.
std::vector<std::string> KitNames();
// Needs the "Native" and "Doc" mounts; the documents folder must be a
// deletable root. The kit sounds are made in "Kits/" there, which is
// removed again. False when a kit could not be written whole.
bool WriteFactoryKits(const std::string& documentsFolder);
// The "Default" kit's sounds as plain WAV files in a folder below the
// documents folder, for the user to load anywhere.
bool WriteFactorySamples(const std::string& documentsFolder, const std::string& folder);
} // namespace PadKits
