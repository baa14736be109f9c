#pragma once
#include <cstdint>

// The 32-bit ids through which the editor reads and writes the synthesizer's
// current single, current multi and module state: byte 0 the section, byte 1
// the group, byte 2 the index and byte 3 the field. An id that names no
// field reads 0 and writes nothing.
constexpr uint32_t MakeSynthParamId(int32_t section, int32_t group = 0, int32_t index = 0, int32_t field = 0)
{
    return (uint32_t(section) & 0xFF) | (uint32_t(group) & 0xFF) << 8 | (uint32_t(index) & 0xFF) << 16 |
           (uint32_t(field) & 0xFF) << 24;
}
constexpr int32_t SynthParamSection(uint32_t id) { return int32_t(id & 0xFF); }
constexpr int32_t SynthParamGroup(uint32_t id) { return int32_t((id >> 8) & 0xFF); }
constexpr int32_t SynthParamIndex(uint32_t id) { return int32_t((id >> 16) & 0xFF); }
constexpr int32_t SynthParamField(uint32_t id) { return int32_t((id >> 24) & 0xFF); }

// Byte 0.
enum eSynthParamSection : int32_t
{
    kSynthParamMode = 0,          // int: 0 single, 1 multi
    kSynthParamPreset = 1,        // int: the current preset id of the mode
    kSynthParamSingle = 2,        // a field of the current single
    kSynthParamMulti = 3,         // a field of the current multi
    kSynthParamCompare = 4,       // int; a set toggles compare while modified
    kSynthParamModified = 5,      // int, read only
    kSynthParamSinglePreset = 6,  // int: the single id in any mode
    kSynthParamMultiPreset = 7,   // int: the multi id in any mode
    kSynthParamWritePreset = 8,   // int, set only: writes the current preset under the id
    kSynthParamHeldKeys = 9,      // int, read only: 32 keys from id >> 8
    kSynthParamOctave = 10,       // int, of the single or multi by mode
    kSynthParamChorusDelay = 11,  // byte 1 = chorus/delay field, by mode
    kSynthParamSend1 = 12,        // float, by mode
    kSynthParamSend2 = 13,        // float, by mode
    kSynthParamWaveShaper = 14,   // byte 1 = drive field, by mode
    kSynthParamCtrl = 15,         // float, byte 1 = controller 0..8, by mode
    kSynthParamAccel = 16,        // int, by mode
};

// Byte 1 of section 2: the groups of a single.
enum eSingleParamGroup : int32_t
{
    kSingleGroupOsc = 0,
    kSingleGroupSample = 1,
    kSingleGroupFilter = 2,
    kSingleGroupFilterEnv = 3,
    kSingleGroupAmpEnv = 4,
    kSingleGroupLFO1 = 5, // .. kSingleGroupLFO1 + 3
    kSingleGroupAuxEnv = 9,
    kSingleGroupMod = 10,
    kSingleGroupSend1 = 11,
    kSingleGroupSend2 = 12,
    kSingleGroupWS = 13,
    kSingleGroupCD = 14,
    kSingleGroupPolyphony = 15,
    kSingleGroupGlideTime = 16,
    kSingleGroupBendRange = 17,
    kSingleGroupCtrl = 18,
};

// Byte 1 of section 3: the groups of a multi; byte 2 is the layer (groups 0
// to 5) or the field.
enum eMultiParamGroup : int32_t
{
    kMultiGroupIndex = 0,
    kMultiGroupVol = 1,
    kMultiGroupTrackKeys = 2,
    kMultiGroupTrans = 3,
    kMultiGroupKeyMin = 4,
    kMultiGroupKeyMax = 5,
    kMultiGroupSend1 = 6,
    kMultiGroupSend2 = 7,
    kMultiGroupWS = 8,
    kMultiGroupCD = 9,
    kMultiGroupCtrl = 10,
};
