#pragma once
#include <cstdint>

namespace File
{
class cFile;
}

// A preset's name: 24 bytes holding at most 23 characters and a NUL.
constexpr int32_t kPresetNameSize = 24;
using tPresetName = char[kPresetNameSize];

// Copies at most 23 characters of text and the terminator; the bytes after
// it are cleared.
void AssignPresetName(tPresetName& name, const char* text);

// The 24 bytes as they are held. A name read from a stream gets its last
// byte cleared, so that it always ends inside its field; the other bytes are
// kept as they were stored. False when the stream could not move all 24.
bool SerialisePresetName(File::cFile& stream, tPresetName& name);
