#pragma once
#include <string>

// "Install.zip" beside the program: the documents a first start unpacks into
// the user's "Doc" folder (the factory pad kits under "User/VRX Banks"),
// staged in a scratch folder through the program's own writers and packed
// by its zip writer. False when any of it could not be written.
bool WriteInstallArchive(const std::string& resources);
