#pragma once

#include <string>

// Writes the seven global synthesizer banks, "Instruments/Kest/GlobalA.bnk"
// to "GlobalG.bnk", below the resources folder: one family of presets per
// bank (basses, leads, pads, keys, plucks, strings, effects), each preset
// designed from the synthesizer's own parameters. The other slots hold the
// init single, and every multi is the init multi.
bool WriteFactoryBanks(const std::string& resources);
