#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "instruments/synth/Envelope.h"

class cSampleRelocator;
namespace Base
{
class cSerialise;
struct cEnumTable;
}

// Everything one of the sixteen pads plays: its sample, level, pan, tuning,
// output bus, choke group, frame range, direction, trigger mode and amplitude
// envelope. A parameter set holds sixteen; voices read them every block, the
// editor copies whole records, banks and projects store them under "Pad%d".
class cTriggerPadData
{
public:
    // Parameter numbers of the set addresses and the editor.
    enum : int32_t
    {
        kParamVolume = 0,
        kParamPan = 1,
        kParamTranspose = 2,
        kParamFineTune = 3,
        kParamBus = 4,
        kParamChokeGroup = 5,
        kParamStart = 6,
        kParamEnd = 7,
        kParamDirection = 8,
        kParamTriggerMode = 9,
        kParamAttack = 10,
        kParamRelease = 11,
    };
    enum : int32_t
    {
        kDirectionForward = 0,
        kDirectionReverse = 1,
        kDirectionForwardReverse = 2,
        kDirectionReverseForward = 3,
        kDirectionCount = 4,
    };
    enum : int32_t
    {
        kTrigger = 0, // plays to its end, whatever note off says
        kHold = 1,    // releases on note off
        kLoop = 2,    // loops its range until note off, then releases
        kTriggerModeCount = 3,
    };
    static constexpr int32_t kBusCount = 3;
    static constexpr int32_t kTransposeLimit = 24; // semitones either way
    static constexpr int32_t kFineTuneLimit = 50;  // steps of 0.02 semitone either way
    static constexpr float kFineTuneStep = 0.02f;

    cTriggerPadData();

    void Reset();
    // The name is the path's file name without its extension.
    void UpdateName();

    // Both return false, changing nothing, for a value outside the field's
    // list or one that is not finite; transpose and fine tune are held to
    // their limits. A parameter the record has not is ignored (true).
    bool SetFloat(int32_t parameter, float value);
    bool SetInt(int32_t parameter, int32_t value);
    // 0 for a parameter the record has not.
    float GetFloat(int32_t parameter) const;
    int32_t GetInt(int32_t parameter) const;

    // Inside the pad's element. Writing relocates the sample path; reading
    // takes each key present (false when one is damaged or refused, which
    // then keeps its value). A path that climbs out with ".." is refused and
    // leaves the pad without a sample.
    bool Serialise(Base::cSerialise& s, cSampleRelocator* relocator);

    float volume;
    float pan;
    int32_t transpose;
    int32_t fineTune;
    int32_t bus;
    int32_t chokeGroup;
    int32_t start;
    int32_t end; // the last frame played
    int32_t direction;
    int32_t triggerMode;
    cEnvelopeParams ampEnvelope;
    cGenStringFixed<260> samplePath;
    cGenStringFixed<48> name;

private:
    bool SerialisePath(Base::cSerialise& s, cSampleRelocator* relocator);
    bool SerialiseIntKey(Base::cSerialise& s, const char* key, int32_t parameter);
    bool SerialiseFloatKey(Base::cSerialise& s, const char* key, int32_t parameter);
    bool SerialiseLabelKey(Base::cSerialise& s, const char* key, int32_t parameter, const Base::cEnumTable& labels);
    bool SerialiseEnvelope(Base::cSerialise& s);
};
