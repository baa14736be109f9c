#pragma once
#include <cstdint>

#include "audio/ChorusDelay.h"
#include "audio/WaveShaper.h"
#include "instruments/synth/ControllerValues.h"
#include "instruments/synth/PresetName.h"

namespace File
{
class cFile;
}

// Up to four singles of the store played together, each as a layer with its
// own key range, transpose and volume, through the multi's own effects.
struct cAnalogueSynthMulti
{
    enum : int32_t
    {
        kLayerCount = 4,
        kLayerOff = -1,
    };
    enum : uint32_t
    {
        kMarker = 0xEEEEEEEEu,
    };

    struct cLayer
    {
        int32_t Index = kLayerOff; // preset id of the layer's single
        float Vol = 1.0f;
        int32_t TrackKeys = 1; // 0: every key plays note 60
        int32_t Trans = 0;     // semitones
        int32_t KeyMin = 0;
        int32_t KeyMax = 127;
    };

    cLayer layers[kLayerCount];
    cWaveShapeParams WS;
    cChorusDelayParams CD;
    cControllerValues Ctrl;
    float Send1 = 0.0f;
    float Send2 = 0.0f;
    int32_t Octave = 1;
    int32_t Accel = 0;
    tPresetName Name;

    // The init multi: layer 0 plays preset 0, the others are off.
    cAnalogueSynthMulti();

    // Back to the init values, keeping the controller values.
    void Clear();
    void SetName(const char* text) { AssignPresetName(Name, text); }

    // The binary form, one routine for both directions; layer ids are stored
    // as they are held (a writer maps them first where it must). Reading
    // fails at once on a wrong marker, or when a field is cut short, and
    // leaves the record as it was.
    bool SerialiseBinary(File::cFile& stream);

    // By group (byte 1 of a parameter id) and byte 2, the layer or the field;
    // see SynthParamId.h.
    float GetParamFloat(int32_t group, int32_t index) const;
    void SetParamFloat(int32_t group, int32_t index, float value);
    int32_t GetParamInt(int32_t group, int32_t index) const;
    void SetParamInt(int32_t group, int32_t index, int32_t value);

private:
    bool SerialiseFields(File::cFile& stream);
};
