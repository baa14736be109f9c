#pragma once
#include <string>

// "Install.zip" beside the program: the documents a first start unpacks into
// the user's "Doc" folder (the user's folders, the factory pad kits under
// "User/VRX Banks", a few factory samples under "User/Samples/Kest Factory",
// the demo song under "User/MIDI Files", the demo project under
// "User/Projects/Demos" and the synthesizer's global banks under
// "Instruments/Kest"), staged in a scratch folder through the program's own
// writers and packed by its zip writer. False when any of it could not be written.
bool WriteInstallArchive(const std::string& resources);
