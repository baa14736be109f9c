#pragma once
#include <cstdint>
#include <vector>

#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthMulti.h"
#include "instruments/synth/AnalogueSynthSingle.h"

// A synthesizer module's unsaved edits as they travel in the project file:
// the edit single, its sample path and the edit multi, in one byte block
// that the project holds as base64 text ("EditPresetData").
struct cEditPresetData
{
    cAnalogueSynthSingle single;
    cGenStringFixed<260> samplePath;
    cAnalogueSynthMulti multi;

    // The block: the single's binary record, the path as a stream string
    // and the multi's binary record, on a stream of the project's file version.
    std::vector<uint8_t> Write(int32_t fileVersion);
    // Reads all three or nothing: false, with the record unchanged, when any
    // part is missing or cut short.
    bool Read(const uint8_t* bytes, int32_t length, int32_t fileVersion);
};

// The base64 text of a block, on one line; and back.
void EncodeEditPresetText(const std::vector<uint8_t>& block, cGenString& text);
std::vector<uint8_t> DecodeEditPresetText(const cGenString& text);
