#pragma once
#include "audio/InstrumentPackage.h"

class cMixingDeskEditor;
class cMixingDeskInstrument;

// The "Mixer" instrument package: makes the mixing-desk instruments and lets
// MIDI controllers drive the master and the returns (channel volume 7 and pan
// 10 the master, 70 to 73 the returns' volumes and pans). Its instruments'
// parts show the piano keyboard in the piano roll.
class cMixingDeskPackage : public cInstrumentPackage
{
public:
    cMixingDeskPackage();
    ~cMixingDeskPackage() override;

    cInstrument* CreateInstrument(int32_t argument) override;
    // The desk stops showing the instrument it is deleting.
    void DestroyInstrument(cInstrument* instrument) override;
    bool IsSampleInUse(const cGenString& path) override;
    // Both drop the desk's insert-chain choice back to the master; with no
    // instrument shown they change nothing.
    bool Reload() override;
    bool LoadProjectData(const cGenString& folder, cSampleRelocator* relocator, int32_t mode,
                         cGenString& errorText) override;
    bool SaveProjectData(const cGenString& folder, cSampleRelocator* relocator, bool autoSave) override;

    // The instrument the desk shows, or null; the page follows.
    void Show(cMixingDeskInstrument* instrument);
    cMixingDeskInstrument* GetShown() const { return mShown; }
    cMixingDeskEditor* GetEditor() const { return mEditor; }

private:
    void SetEditor(cMixingDeskEditor* editor);
    void ResetInsertChoice();

    cMixingDeskInstrument* mShown = nullptr;
    cMixingDeskEditor* mEditor = nullptr;
};
