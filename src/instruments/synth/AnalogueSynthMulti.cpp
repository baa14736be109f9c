#include "instruments/synth/AnalogueSynthMulti.h"

#include "base/File.h"
#include "instruments/synth/SynthParamId.h"

namespace
{
bool SerialiseInt(File::cFile& stream, int32_t& field) { return stream.SerialiseInt32(&field) == 4; }
bool SerialiseFloat(File::cFile& stream, float& field) { return stream.SerialiseFloat(&field) == 4; }

bool SerialiseLayer(File::cFile& stream, cAnalogueSynthMulti::cLayer& layer)
{
    return SerialiseInt(stream, layer.Index) && SerialiseFloat(stream, layer.Vol) &&
           SerialiseInt(stream, layer.TrackKeys) && SerialiseInt(stream, layer.Trans) &&
           SerialiseInt(stream, layer.KeyMin) && SerialiseInt(stream, layer.KeyMax);
}

bool IsLayer(int32_t index) { return index >= 0 && index < cAnalogueSynthMulti::kLayerCount; }
} // namespace

cAnalogueSynthMulti::cAnalogueSynthMulti()
{
    layers[0].Index = 0;
    SetName("<EMPTY>");
}

void cAnalogueSynthMulti::Clear()
{
    const cControllerValues kept = Ctrl;
    *this = cAnalogueSynthMulti();
    Ctrl = kept;
}

bool cAnalogueSynthMulti::SerialiseBinary(File::cFile& stream)
{
    if (!stream.IsReading())
        return SerialiseFields(stream);
    cAnalogueSynthMulti read = *this;
    if (!read.SerialiseFields(stream))
        return false;
    *this = read;
    return true;
}

bool cAnalogueSynthMulti::SerialiseFields(File::cFile& stream)
{
    uint32_t marker = kMarker;
    if (stream.SerialiseUInt32(&marker) != 4 || marker != kMarker || !SerialisePresetName(stream, Name))
        return false;
    for (cLayer& layer : layers)
        if (!SerialiseLayer(stream, layer))
            return false;
    return WS.SerialiseBinary(stream) && CD.SerialiseBinary(stream) && Ctrl.SerialiseBinary(stream) &&
           SerialiseFloat(stream, Send1) && SerialiseFloat(stream, Send2) && SerialiseInt(stream, Octave) &&
           SerialiseInt(stream, Accel);
}

float cAnalogueSynthMulti::GetParamFloat(int32_t group, int32_t index) const
{
    switch (group)
    {
    case kMultiGroupVol:
        return IsLayer(index) ? layers[index].Vol : 0.0f;
    case kMultiGroupSend1:
        return Send1;
    case kMultiGroupSend2:
        return Send2;
    case kMultiGroupWS:
        return WS.GetParamFloat(index);
    case kMultiGroupCD:
        return CD.GetParamFloat(index);
    case kMultiGroupCtrl:
        return Ctrl.GetParamFloat(index);
    default:
        return 0.0f;
    }
}

void cAnalogueSynthMulti::SetParamFloat(int32_t group, int32_t index, float value)
{
    switch (group)
    {
    case kMultiGroupVol:
        if (IsLayer(index))
            layers[index].Vol = value;
        break;
    case kMultiGroupSend1:
        Send1 = value;
        break;
    case kMultiGroupSend2:
        Send2 = value;
        break;
    case kMultiGroupWS:
        WS.SetParamFloat(index, value);
        break;
    case kMultiGroupCD:
        CD.SetParamFloat(index, value);
        break;
    case kMultiGroupCtrl:
        Ctrl.SetParamFloat(index, value);
        break;
    default:
        break;
    }
}

int32_t cAnalogueSynthMulti::GetParamInt(int32_t group, int32_t index) const
{
    if (group == kMultiGroupWS)
        return WS.GetParamInt(index);
    if (group == kMultiGroupCD)
        return CD.GetParamInt(index);
    if (!IsLayer(index))
        return 0;
    const cLayer& layer = layers[index];
    switch (group)
    {
    case kMultiGroupIndex:
        return layer.Index;
    case kMultiGroupTrackKeys:
        return layer.TrackKeys;
    case kMultiGroupTrans:
        return layer.Trans;
    case kMultiGroupKeyMin:
        return layer.KeyMin;
    case kMultiGroupKeyMax:
        return layer.KeyMax;
    default:
        return 0;
    }
}

void cAnalogueSynthMulti::SetParamInt(int32_t group, int32_t index, int32_t value)
{
    if (group == kMultiGroupWS)
        return WS.SetParamInt(index, value);
    if (group == kMultiGroupCD)
        return CD.SetParamInt(index, value);
    if (!IsLayer(index))
        return;
    cLayer& layer = layers[index];
    switch (group)
    {
    case kMultiGroupIndex:
        layer.Index = value;
        break;
    case kMultiGroupTrackKeys:
        layer.TrackKeys = value;
        break;
    case kMultiGroupTrans:
        layer.Trans = value;
        break;
    case kMultiGroupKeyMin:
        layer.KeyMin = value;
        break;
    case kMultiGroupKeyMax:
        layer.KeyMax = value;
        break;
    default:
        break;
    }
}
