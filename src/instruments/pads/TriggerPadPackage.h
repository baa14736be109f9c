#pragma once
#include "audio/InstrumentPackage.h"

class cTriggerPadEditor;

// The "VRX" instrument package: makes the pad instruments, shows the piano
// roll sixteen pad rows (notes 48..63), and lets MIDI controllers and song
// automation drive the buses: volume 7 and pan 10 the first bus, 70..82 the
// other thirteen controls in table order.
class cTriggerPadPackage : public cInstrumentPackage
{
public:
    cTriggerPadPackage();
    ~cTriggerPadPackage() override;

    // A non-zero argument loads the default bank into the new instrument.
    cInstrument* CreateInstrument(int32_t argument) override;
    // The editor stops showing the instrument it is deleting.
    void DestroyInstrument(cInstrument* instrument) override;
    bool IsSampleInUse(const cGenString& path) override;
    // Pad banks travel with the instruments themselves: nothing to do here.
    bool Reload() override;
    bool LoadProjectData(const cGenString& folder, cSampleRelocator* relocator, int32_t mode,
                         cGenString& errorText) override;
    bool SaveProjectData(const cGenString& folder, cSampleRelocator* relocator, bool autoSave) override;

    // Takes the caller's hold on the editor, whose page becomes the
    // package's user interface; the installed factory's editor comes by
    // itself.
    void SetEditor(cTriggerPadEditor* editor);
    cTriggerPadEditor* GetEditor() const { return mEditor; }

private:
    cTriggerPadEditor* mEditor = nullptr;
};
