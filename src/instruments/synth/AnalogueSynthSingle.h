#pragma once
#include <cstdint>

#include "audio/ChorusDelay.h"
#include "audio/LFO.h"
#include "audio/WaveShaper.h"
#include "instruments/synth/ControllerValues.h"
#include "instruments/synth/Envelope.h"
#include "instruments/synth/FilterSection.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/OscillatorSection.h"
#include "instruments/synth/PresetName.h"

namespace File
{
class cFile;
}

// How a single plays its sample when the oscillators' mode is "SAMPLE". The
// file itself is not part of the record: the store and the module keep one
// path beside each single.
struct cSampleLayerParams
{
    enum : int32_t
    {
        kFieldTranspose = 0,
        kFieldPitch = 1,
        kFieldLevel = 2,
        kFieldDir = 3,
        kFieldLoop = 4,
        kFieldNoteSlice = 5,
        kVersion = 2, // version 1 had no NoteSlice
    };

    int32_t Transpose = 0; // semitones
    int32_t Pitch = 0;     // cents
    float Level = 0.5f;    // the voice multiplies it by 5
    int32_t Dir = 0;       // "Forward", "Reverse", "Fwd-Rev", "Rev-Fwd"
    int32_t Loop = 1;
    int32_t NoteSlice = 0; // 0: keys transpose; n: keys pick one of n slices

    bool SerialiseBinary(File::cFile& stream);
    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);
};

// One complete synthesizer sound. Records are plain values: the store and the
// module copy them whole.
struct cAnalogueSynthSingle
{
    enum : uint32_t
    {
        kPatchVersion = 3,
        // Stood in place of the version word in records of older writers.
        kLegacyMarker = 0xDDDDDDDDu,
    };

    cOscSectionParams Osc;
    cSampleLayerParams Sample;
    cFilterParams Filter;
    cEnvelopeParams FilterEnv;
    cEnvelopeParams AmpEnv;
    cLFOParams LFO1;
    cLFOParams LFO2;
    cLFOParams LFO3;
    cLFOParams LFO4;
    cEnvelopeParams AuxEnv;
    cModMatrix Mod;
    cWaveShapeParams WS;
    cChorusDelayParams CD;
    int32_t Polyphony = 4; // 0: one voice gliding legato; 1: one voice retriggered
    int32_t Octave = 1;    // the keyboard octave the editor restores
    float GlideTime = 0.1f;
    int32_t BendRange = 2; // semitones
    float Send1 = 0.0f;
    float Send2 = 0.0f;
    int32_t Accel = 0; // motion sensor: 0 off, 1 XY pad 1, 2 XY pad 2
    cControllerValues Ctrl;
    tPresetName Name;

    // The init single.
    cAnalogueSynthSingle();

    // Back to the init values, keeping the controller values.
    void Clear();
    void SetName(const char* text) { AssignPresetName(Name, text); }
    cLFOParams& GetLFO(int32_t index);
    const cLFOParams& GetLFO(int32_t index) const;

    // The binary form, one routine for both directions. Reading takes a
    // legacy record (the marker in place of the version word) by the rules
    // of the stream's container and marks the stream legacy for the records
    // after it; a version above 3, or a field cut short, fails the record and
    // leaves it as it was.
    bool SerialiseBinary(File::cFile& stream);

    // The fields of a group (byte 1 of a parameter id) by index and field
    // (bytes 2 and 3); see SynthParamId.h. Unknown ones read 0 and write nothing.
    float GetParamFloat(int32_t group, int32_t index, int32_t field) const;
    void SetParamFloat(int32_t group, int32_t index, int32_t field, float value);
    int32_t GetParamInt(int32_t group, int32_t index, int32_t field) const;
    void SetParamInt(int32_t group, int32_t index, int32_t field, int32_t value);

private:
    bool SerialiseFields(File::cFile& stream);
};
