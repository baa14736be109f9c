#pragma once
#include <cstdint>

#include "audio/Instrument.h"

class cTriggerPad;

// The pad instrument in an instrument slot: one pad module and the three
// mixer channels its buses feed, which exist before the module that reads
// them. It keeps the editor page last shown and saves both with the project.
class cTriggerPadInstrument : public cInstrument
{
public:
    static constexpr float kChannelLevel = 2.4f;
    static constexpr int32_t kPageCount = 4;
    static constexpr int32_t kAutoBeatPage = 2;
    static constexpr const char* kDefaultBank = "User/VRX Banks/Default.vrx";

    // With loadDefault the default bank's pads load, from where it lies.
    cTriggerPadInstrument(cInstrumentPackage* package, bool loadDefault);

    void Select() override;
    // The base's sections and "MainPage". Reading loads the pads' samples,
    // keeping the saved ranges that fit them, and is true only when every
    // pad with a sample has it.
    bool Serialise(Base::cSerialise& serialise, cSampleRelocator* relocator) override;
    // Posted to the module and the sequencer; the editor lets go of its pads.
    void AllNotesOff(uint32_t flags) override;
    void DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view) override;
    // "Pad 1" for note 48.
    void GetNoteName(cGenString& name, int32_t note) override;
    void GetNoteRangeName(cGenString& name, int32_t low, int32_t high) override;

    cTriggerPad* GetPads() const;
    int32_t GetMainPage() const { return mMainPage; }
    void SetMainPage(int32_t page) { mMainPage = page; }

private:
    int32_t mMainPage = 0;
};
