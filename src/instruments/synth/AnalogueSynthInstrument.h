#pragma once
#include <cstdint>

#include "audio/Instrument.h"
#include "base/GenString.h"

class cAnalogueSynth;
class cAnalogueSynthEditor;

// A synthesizer in an instrument slot: one module and the one mixer strip
// it plays into, which exists before the module that follows it. Live MIDI
// notes take the project's transpose. It keeps where its editor was left,
// and saves that with the project.
class cAnalogueSynthInstrument : public cInstrument
{
public:
    static constexpr float kChannelLevel = 2.4f;
    static constexpr int32_t kMultiTabCount = 5;
    static constexpr int32_t kLFOCount = 4;

    explicit cAnalogueSynthInstrument(cInstrumentPackage* package);

    // Binds the package's editor, when it has one.
    void Select() override;
    // The base's sections, then "TopPanel", "MLIndex", "LFOIndex", "PbyIdx"
    // and "PbyPos".
    bool Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator) override;
    // Posted to the module and to the sequencer, which holds notes for the
    // instrument too; the editor's keyboards let go of theirs.
    void AllNotesOff(uint32_t flags) override;
    const char* GetPresetName(int32_t kind, int32_t presetId) override;
    const char* GetCurrentPresetName() override;
    void AddUsedPreset(int32_t presetId, int32_t kind) override;
    int32_t MapPreset(int32_t presetId, int32_t kind) override;
    // The editor's part preset panel; none without an editor.
    cWidget* GetPresetWidget() override;

    cAnalogueSynth* GetSynth() const;
    cAnalogueSynthEditor* GetEditor() const;

    cGenStringFixed<32> topPanel;
    int32_t multiTab = 0;
    int32_t lfoIndex = 0;
    int32_t patchbayRow = 0;
    float patchbayPosition = 0.0f;
};
