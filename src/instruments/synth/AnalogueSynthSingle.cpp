#include "instruments/synth/AnalogueSynthSingle.h"

#include <cmath>
#include <cstring>

#include "audio/SectionVersion.h"
#include "base/File.h"
#include "instruments/synth/SynthParamId.h"

namespace
{
constexpr float kMaxGlideSeconds = 5.0f; // GlideTime = 5 v^4 from the knob

// The version a legacy record stands for: bank files name it by their own
// version, the project's edit data by the project file's.
int32_t LegacyPatchVersion(const File::cFile& stream)
{
    const int32_t fileVersion = stream.GetFileVersion();
    if (std::strstr(stream.GetName(), ".bnk"))
        return fileVersion > 1 ? 2 : 1;
    return fileVersion < 3 ? 1 : 2;
}

bool SerialisePatchVersion(File::cFile& stream)
{
    uint32_t word = cAnalogueSynthSingle::kPatchVersion;
    if (stream.SerialiseUInt32(&word) != 4)
        return false;
    if (!stream.IsReading())
        return true;
    if (word == cAnalogueSynthSingle::kLegacyMarker)
    {
        stream.SetLegacyPatchVersion(LegacyPatchVersion(stream));
        return true;
    }
    return int32_t(word) <= int32_t(cAnalogueSynthSingle::kPatchVersion);
}

bool SerialiseInt(File::cFile& stream, int32_t& field) { return stream.SerialiseInt32(&field) == 4; }
bool SerialiseFloat(File::cFile& stream, float& field) { return stream.SerialiseFloat(&field) == 4; }

cEnvelopeParams InitEnvelope(float release, float amount)
{
    cEnvelopeParams envelope;
    envelope.Flags = cEnvelopeParams::kFlagCurvedDecay | cEnvelopeParams::kFlagCurvedRelease;
    envelope.R = release;
    envelope.Amount = amount;
    return envelope;
}

cLFOParams InitLFO()
{
    cLFOParams lfo;
    lfo.Shape = cLFOParams::kShapeRandomStep;
    lfo.Rate = 4.41f;
    return lfo;
}
} // namespace

bool cSampleLayerParams::SerialiseBinary(File::cFile& stream)
{
    cSampleLayerParams r = *this;
    uint32_t version = 0;
    bool ok = SerialiseSectionVersion(stream, kVersion, &version) && SerialiseInt(stream, r.Transpose) &&
              SerialiseInt(stream, r.Pitch) && SerialiseFloat(stream, r.Level) && SerialiseInt(stream, r.Loop) &&
              SerialiseInt(stream, r.Dir);
    if (ok && version > 1)
        ok = SerialiseInt(stream, r.NoteSlice);
    if (ok)
        *this = r;
    return ok;
}

float cSampleLayerParams::GetParamFloat(int32_t field) const { return field == kFieldLevel ? Level : 0.0f; }

void cSampleLayerParams::SetParamFloat(int32_t field, float value)
{
    if (field == kFieldLevel)
        Level = value;
}

int32_t cSampleLayerParams::GetParamInt(int32_t field) const
{
    switch (field)
    {
    case kFieldTranspose:
        return Transpose;
    case kFieldPitch:
        return Pitch;
    case kFieldDir:
        return Dir;
    case kFieldLoop:
        return Loop;
    case kFieldNoteSlice:
        return NoteSlice;
    default:
        return 0;
    }
}

void cSampleLayerParams::SetParamInt(int32_t field, int32_t value)
{
    switch (field)
    {
    case kFieldTranspose:
        Transpose = value;
        break;
    case kFieldPitch:
        Pitch = value;
        break;
    case kFieldDir:
        Dir = value;
        break;
    case kFieldLoop:
        Loop = value;
        break;
    case kFieldNoteSlice:
        NoteSlice = value;
        break;
    default:
        break;
    }
}

cAnalogueSynthSingle::cAnalogueSynthSingle()
    : FilterEnv(InitEnvelope(0.25f, 1.0f)), AmpEnv(InitEnvelope(0.0f, 1.0f)), LFO1(InitLFO()), LFO2(InitLFO()),
      LFO3(InitLFO()), LFO4(InitLFO()), AuxEnv(InitEnvelope(0.0f, 0.0f))
{
    Osc.Osc1.Wave = 3;
    Osc.Osc2.Wave = 3;
    SetName("<EMPTY>");
}

void cAnalogueSynthSingle::Clear()
{
    const cControllerValues kept = Ctrl;
    *this = cAnalogueSynthSingle();
    Ctrl = kept;
}

cLFOParams& cAnalogueSynthSingle::GetLFO(int32_t index)
{
    cLFOParams* const lfos[4] = {&LFO1, &LFO2, &LFO3, &LFO4};
    return *lfos[index & 3];
}

const cLFOParams& cAnalogueSynthSingle::GetLFO(int32_t index) const
{
    return const_cast<cAnalogueSynthSingle*>(this)->GetLFO(index);
}

bool cAnalogueSynthSingle::SerialiseBinary(File::cFile& stream)
{
    if (!stream.IsReading())
        return SerialiseFields(stream);
    cAnalogueSynthSingle read = *this;
    if (!read.SerialiseFields(stream))
        return false;
    *this = read;
    return true;
}

bool cAnalogueSynthSingle::SerialiseFields(File::cFile& stream)
{
    return SerialisePatchVersion(stream) && SerialisePresetName(stream, Name) && SerialiseInt(stream, Polyphony) &&
           SerialiseInt(stream, Octave) && SerialiseFloat(stream, GlideTime) && SerialiseInt(stream, BendRange) &&
           SerialiseFloat(stream, Send1) && SerialiseFloat(stream, Send2) && SerialiseInt(stream, Accel) &&
           Osc.SerialiseBinary(stream) && Sample.SerialiseBinary(stream) && Filter.SerialiseBinary(stream) &&
           FilterEnv.SerialiseBinary(stream) && AmpEnv.SerialiseBinary(stream) && LFO1.SerialiseBinary(stream) &&
           LFO2.SerialiseBinary(stream) && LFO3.SerialiseBinary(stream) && LFO4.SerialiseBinary(stream) &&
           AuxEnv.SerialiseBinary(stream) && Mod.SerialiseBinary(stream) && WS.SerialiseBinary(stream) &&
           CD.SerialiseBinary(stream) && Ctrl.SerialiseBinary(stream);
}

float cAnalogueSynthSingle::GetParamFloat(int32_t group, int32_t index, int32_t field) const
{
    switch (group)
    {
    case kSingleGroupOsc:
        return Osc.GetParamFloat(index, field);
    case kSingleGroupSample:
        return Sample.GetParamFloat(index);
    case kSingleGroupFilter:
        return Filter.GetParamFloat(index);
    case kSingleGroupFilterEnv:
        return FilterEnv.GetParamFloat(index);
    case kSingleGroupAmpEnv:
        return AmpEnv.GetParamFloat(index);
    case kSingleGroupLFO1:
    case kSingleGroupLFO1 + 1:
    case kSingleGroupLFO1 + 2:
    case kSingleGroupLFO1 + 3:
        return GetLFO(group - kSingleGroupLFO1).GetParamFloat(index);
    case kSingleGroupAuxEnv:
        return AuxEnv.GetParamFloat(index);
    case kSingleGroupSend1:
        return Send1;
    case kSingleGroupSend2:
        return Send2;
    case kSingleGroupWS:
        return WS.GetParamFloat(index);
    case kSingleGroupCD:
        return CD.GetParamFloat(index);
    case kSingleGroupGlideTime:
        return std::pow(std::fmax(GlideTime / kMaxGlideSeconds, 0.0f), 0.25f);
    case kSingleGroupCtrl:
        return Ctrl.GetParamFloat(index);
    default:
        return 0.0f;
    }
}

void cAnalogueSynthSingle::SetParamFloat(int32_t group, int32_t index, int32_t field, float value)
{
    switch (group)
    {
    case kSingleGroupOsc:
        Osc.SetParamFloat(index, field, value);
        break;
    case kSingleGroupSample:
        Sample.SetParamFloat(index, value);
        break;
    case kSingleGroupFilter:
        Filter.SetParamFloat(index, value);
        break;
    case kSingleGroupFilterEnv:
        FilterEnv.SetParamFloat(index, value);
        break;
    case kSingleGroupAmpEnv:
        AmpEnv.SetParamFloat(index, value);
        break;
    case kSingleGroupLFO1:
    case kSingleGroupLFO1 + 1:
    case kSingleGroupLFO1 + 2:
    case kSingleGroupLFO1 + 3:
        GetLFO(group - kSingleGroupLFO1).SetParamFloat(index, value);
        break;
    case kSingleGroupAuxEnv:
        AuxEnv.SetParamFloat(index, value);
        break;
    case kSingleGroupSend1:
        Send1 = value;
        break;
    case kSingleGroupSend2:
        Send2 = value;
        break;
    case kSingleGroupWS:
        WS.SetParamFloat(index, value);
        break;
    case kSingleGroupCD:
        CD.SetParamFloat(index, value);
        break;
    case kSingleGroupGlideTime:
        GlideTime = kMaxGlideSeconds * value * value * value * value;
        break;
    case kSingleGroupCtrl:
        Ctrl.SetParamFloat(index, value);
        break;
    default:
        break;
    }
}

int32_t cAnalogueSynthSingle::GetParamInt(int32_t group, int32_t index, int32_t field) const
{
    switch (group)
    {
    case kSingleGroupOsc:
        return Osc.GetParamInt(index, field);
    case kSingleGroupSample:
        return Sample.GetParamInt(index);
    case kSingleGroupFilter:
        return Filter.GetParamInt(index);
    case kSingleGroupFilterEnv:
        return FilterEnv.GetParamInt(index);
    case kSingleGroupAmpEnv:
        return AmpEnv.GetParamInt(index);
    case kSingleGroupLFO1:
    case kSingleGroupLFO1 + 1:
    case kSingleGroupLFO1 + 2:
    case kSingleGroupLFO1 + 3:
        return GetLFO(group - kSingleGroupLFO1).GetParamInt(index);
    case kSingleGroupAuxEnv:
        return AuxEnv.GetParamInt(index);
    case kSingleGroupMod:
        return Mod.GetParamInt(index, field);
    case kSingleGroupWS:
        return WS.GetParamInt(index);
    case kSingleGroupCD:
        return CD.GetParamInt(index);
    case kSingleGroupPolyphony:
        return Polyphony;
    case kSingleGroupBendRange:
        return BendRange;
    default:
        return 0;
    }
}

void cAnalogueSynthSingle::SetParamInt(int32_t group, int32_t index, int32_t field, int32_t value)
{
    switch (group)
    {
    case kSingleGroupOsc:
        Osc.SetParamInt(index, field, value);
        break;
    case kSingleGroupSample:
        Sample.SetParamInt(index, value);
        break;
    case kSingleGroupFilter:
        Filter.SetParamInt(index, value);
        break;
    case kSingleGroupFilterEnv:
        FilterEnv.SetParamInt(index, value);
        break;
    case kSingleGroupAmpEnv:
        AmpEnv.SetParamInt(index, value);
        break;
    case kSingleGroupLFO1:
    case kSingleGroupLFO1 + 1:
    case kSingleGroupLFO1 + 2:
    case kSingleGroupLFO1 + 3:
        GetLFO(group - kSingleGroupLFO1).SetParamInt(index, value);
        break;
    case kSingleGroupAuxEnv:
        AuxEnv.SetParamInt(index, value);
        break;
    case kSingleGroupMod:
        Mod.SetParamInt(index, field, value);
        break;
    case kSingleGroupWS:
        WS.SetParamInt(index, value);
        break;
    case kSingleGroupCD:
        CD.SetParamInt(index, value);
        break;
    case kSingleGroupPolyphony:
        Polyphony = value;
        break;
    case kSingleGroupBendRange:
        BendRange = value;
        break;
    default:
        break;
    }
}
