#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

class cAnalogueSynthPresetStore;
class cSampleRelocator;
namespace File
{
class cFile;
class cFileSystem;
}

// One bank as a bank file holds it: 64 singles, 64 multis and the sample
// paths of the singles, slot by slot.
//
// The file (little-endian): u32 version (4; files of version 5 or above are
// refused), u32 the file's length, then the singles, the multis and the paths
// as stream strings. Bank files live on "Doc" as the bank's path plus ".bnk",
// are written safely and are read with the suffix fallbacks of the load mode.
struct cAnalogueSynthBank
{
    enum : int32_t
    {
        kSlotCount = 64,
        kFileVersion = 4,
    };

    cAnalogueSynthSingle singles[kSlotCount];
    cAnalogueSynthMulti multis[kSlotCount];
    cGenStringFixed<260> paths[kSlotCount];
};

// The body after the two header words, in both directions. Reading stops with
// false at the first record or path that cannot be read whole.
bool SerialiseBank(cAnalogueSynthBank& bank, File::cFile& stream);

// Loads bank 0 to 7 of the store from the first candidate file that reads
// whole (mode: the suffix list of GetLoadSuffixList). The bank changes only
// then, all at once; a failed load leaves it as it was, with the error text
// of the last attempt. The bank's auto-save files are deleted after every
// attempt. Paths read go through the relocator's MakeAbsolute when one is given.
bool LoadBank(cAnalogueSynthPresetStore& store, int32_t bank, const cGenString& path, cSampleRelocator* relocator,
              int32_t mode, cGenString& errorText);

// Writes the bank under path + ".bnk" (+ ".as" for an auto-save), keeping the
// previous file as ".bak". Project-bank slots that the export map fills are
// written with the global presets they receive; each path is relocated and
// stored relative to the relocator's folder. Clears the bank's modified flag
// on success.
bool SaveBank(cAnalogueSynthPresetStore& store, int32_t bank, const cGenString& path, cSampleRelocator* relocator,
              bool autoSave);

// Reads one bank file into the scratch bank; errorText says why it failed.
bool ReadBankFile(File::cFileSystem& fileSystem, const cGenString& fileName, cSampleRelocator* relocator,
                  cAnalogueSynthBank& bank, cGenString& errorText);
