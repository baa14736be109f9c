#pragma once
#include <cstdint>
#include <memory>

#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

// Every synthesizer preset the program knows: 512 singles with their sample
// paths and 512 multis in 8 banks of 64. Banks 0 to 6 are the global banks,
// bank 7 the project's. A preset id is bank << 8 | slot; only bits 0 to 5
// and 8 to 10 select the entry. The store also holds the export map, which
// renumbers the global presets a project uses into free slots of its
// project bank when the project is exported.
//
// Shared by every synthesizer instrument and read by the audio thread when a
// module selects a preset or plays multi layers; its writers take the audio
// manager's lock where they run beside it.
class cAnalogueSynthPresetStore
{
public:
    enum : int32_t
    {
        kBankCount = 8,
        kGlobalBankCount = 7,
        kProjectBank = 7,
        kSlotCount = 64,
        kPresetCount = kBankCount * kSlotCount,
    };
    // Export map entries besides preset ids.
    enum : int32_t
    {
        kExportUnused = -2,
        kExportUsed = -1,
    };

    static int32_t IndexOf(int32_t id) { return ((id >> 8) & 7) * kSlotCount + (id & 0x3F); }
    static int32_t IdOf(int32_t index) { return (index >> 6) << 8 | (index & 0x3F); }
    static int32_t BankOf(int32_t id) { return (id >> 8) & 7; }
    static int32_t MakeId(int32_t bank, int32_t slot) { return bank << 8 | slot; }
    // "A" to "G" for the global banks, "P" for the project bank.
    static char GetBankLetter(int32_t bank);
    // The bank letter, the slot as two digits, a point and the name.
    static void FormatPresetText(cGenString& out, int32_t id, const char* name);

    cAnalogueSynthPresetStore();
    ~cAnalogueSynthPresetStore();
    cAnalogueSynthPresetStore(const cAnalogueSynthPresetStore&) = delete;
    cAnalogueSynthPresetStore& operator=(const cAnalogueSynthPresetStore&) = delete;

    // Clears every preset and path and every bank's modified flag, and
    // resets the export map to the identity.
    void Reset();
    void ClearProjectBank();

    cAnalogueSynthSingle& GetSingle(int32_t id) { return mSingles[IndexOf(id)]; }
    const cAnalogueSynthSingle& GetSingle(int32_t id) const { return mSingles[IndexOf(id)]; }
    cAnalogueSynthMulti& GetMulti(int32_t id) { return mMultis[IndexOf(id)]; }
    const cAnalogueSynthMulti& GetMulti(int32_t id) const { return mMultis[IndexOf(id)]; }
    const cGenString& GetSamplePath(int32_t id) const { return mSamplePaths[IndexOf(id)]; }
    void SetSamplePath(int32_t id, const cGenString& path) { mSamplePaths[IndexOf(id)].Assign(path); }

    // Both mark the id's bank modified.
    void WriteSingle(int32_t id, const cAnalogueSynthSingle& single, const cGenString& path);
    void WriteMulti(int32_t id, const cAnalogueSynthMulti& multi);

    // Whether a single's sample layer uses the file, ignoring case.
    bool IsSampleInUse(const cGenString& path) const;
    // "P05.Bass": the bank letter, the slot, a point and the name of the
    // single (kind 0) or multi (kind 1); other kinds have no name.
    void GetPresetText(cGenString& out, int32_t id, int32_t kind) const;
    // The single's (kind 0) or multi's (kind 1) name, else "".
    const char* GetPresetName(int32_t kind, int32_t id) const;

    bool IsBankModified(int32_t bank) const { return mBankModified[bank & 7] != 0; }
    void SetBankModified(int32_t bank, bool modified) { mBankModified[bank & 7] = modified ? 1 : 0; }

    // The export map. A normal save begins with the identity; an export
    // collects the presets the project uses (ExportMapCollect, then
    // AddUsedPreset for each), then finalizes the map, after which a used
    // global preset maps to a free project slot and that slot back to it.
    void ExportMapBegin();
    void ExportMapCollect();
    void AddUsedPreset(int32_t id, int32_t kind);
    void ExportMapFinalize();
    // The id a preset is saved under: ids of the project bank as they are.
    int32_t MapPreset(int32_t id, int32_t kind) const;
    // The next project slot no one uses, as an id, or -1 when none is left.
    int32_t NextFreeProjectSingle();
    int32_t GetSingleExportEntry(int32_t id) const { return mSingleExportMap[IndexOf(id)]; }
    int32_t GetMultiExportEntry(int32_t id) const { return mMultiExportMap[IndexOf(id)]; }
    // Gives each layer of the multi the id its single is saved under.
    void MapMultiLayers(cAnalogueSynthMulti& multi) const;

private:
    static int32_t NextFreeProjectSlot(const int32_t* map, int32_t& cursor);
    static void FinalizeMap(int32_t* map, int32_t& cursor);

    std::unique_ptr<cAnalogueSynthMulti[]> mMultis;
    std::unique_ptr<cAnalogueSynthSingle[]> mSingles;
    std::unique_ptr<cGenStringFixed<260>[]> mSamplePaths;
    int32_t mBankModified[kBankCount] = {};
    int32_t mMultiExportMap[kPresetCount];
    int32_t mSingleExportMap[kPresetCount];
    int32_t mSingleCursor = -1;
    int32_t mMultiCursor = -1;
};
