#pragma once
#include <cstdint>

namespace File
{
class cFile;
}

// The binary form of every patch section begins with its version word,
// except in legacy patch data (legacy patch versions 1 and 2), where none is
// stored and each section reads as its version 1.
bool IsLegacyPatchData(const File::cFile& stream);

// Writes current; reads the stored word, or gives 1 in legacy data. False
// when the stream could not move the word.
bool SerialiseSectionVersion(File::cFile& stream, uint32_t current, uint32_t* version);
