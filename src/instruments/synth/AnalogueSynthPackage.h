#pragma once
#include <cstdint>
#include <memory>

#include "audio/InstrumentPackage.h"

class cAnalogueSynthEditor;
class cAnalogueSynthInstrument;
class cAnalogueSynthPresetStore;

// The "Kest" instrument package: it makes the synthesizer instruments and
// owns the preset store they share, loaded at construction from the seven
// global banks on "Doc" ("Instruments/Kest/GlobalA" to "GlobalG"; a bank
// that is missing or damaged leaves init presets, quietly). A project keeps
// its own bank beside its other files, and carries edits that no bank holds
// in its instruments' "EditPresetData".
class cAnalogueSynthPackage : public cInstrumentPackage
{
public:
    static constexpr const char* kGlobalBankFormat = "Instruments/Kest/Global%c";
    static constexpr const char* kProjectBankName = "Kest";

    cAnalogueSynthPackage();
    ~cAnalogueSynthPackage() override;

    // Bound to the store, playing its first single.
    cInstrument* CreateInstrument(int32_t argument) override;
    void DestroyInstrument(cInstrument* instrument) override;
    // In an instrument's current sample path (its edit, too) or in the store.
    bool IsSampleInUse(const cGenString& path) override;
    void ExportMapBegin() override;
    // Marks what every instrument plays; the project has the song's parts
    // report theirs after.
    void ExportMapCollect() override;
    void ExportMapFinalize() override;
    // After a project load: an instrument's edit is written into the store,
    // over its own preset, or into a free project slot when others use that
    // preset too (its parts follow it there).
    void ExportMapApply() override;
    // A new project: the project bank is emptied and every instrument
    // reloads its presets.
    bool Reload() override;
    // The project bank from "Kest" in the folder.
    bool LoadProjectData(const cGenString& folder, cSampleRelocator* relocator, int32_t mode,
                         cGenString& errorText) override;
    // The project bank under its normal name, also for an auto-save, and
    // every global bank with changes. False when any of them failed.
    bool SaveProjectData(const cGenString& folder, cSampleRelocator* relocator, bool autoSave) override;

    // Writes global bank 0..6 to its file at once (a preset the user wrote
    // is theirs even if the program dies before the next project save).
    // False when it could not be written; the bank then stays modified, so
    // the next project save tries again.
    bool SaveGlobalBank(int32_t bank);
    // "Instruments/Kest/GlobalA" to "GlobalG", without the extension.
    static void GetGlobalBankPath(int32_t bank, cGenString& path);

    cAnalogueSynthPresetStore& GetStore() const { return *mStore; }
    // Null when no editor factory was installed.
    cAnalogueSynthEditor* GetEditor() const { return mEditor; }

private:
    void LoadGlobalBanks();
    // Another synthesizer in single mode plays the single, or a part of
    // another instrument's tracks selects it.
    bool IsSingleShared(int32_t id, const cAnalogueSynthInstrument& instrument) const;
    void RepointPreset(int32_t oldId, int32_t newId, cAnalogueSynthInstrument& instrument);

    std::unique_ptr<cAnalogueSynthPresetStore> mStore;
    cAnalogueSynthEditor* mEditor = nullptr;
};
