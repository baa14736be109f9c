// Reads arbitrary bytes as the "Package.vrx" of a bank package in a scratch
// "Doc" folder into a pad module. A load that fails must leave the module as
// it was; one that succeeds must leave every value in its range, write the
// same set again and play all sixteen pads into finite sound.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/AudioEvent.h"
#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/SerialiseXML.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"

namespace
{
constexpr const char* kPackage = "User/VRX Banks/Fuzz.vrx";

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void WriteFile(const std::string& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(size));
}

// A short stereo WAV, so pads that name "Kick.wav" have a sample.
std::string KickWav()
{
    std::string wav = "RIFF\x00\x00\x00\x00WAVEfmt ";
    const uint8_t format[] = {16, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0};
    wav.append(reinterpret_cast<const char*>(format), sizeof(format));
    const uint32_t dataBytes = 400 * 4;
    wav += "data";
    wav.append(reinterpret_cast<const char*>(&dataBytes), 4);
    for (uint32_t i = 0; i < 400 * 2; ++i)
    {
        const int16_t sample = int16_t((i * 997) % 20000 - 10000);
        wav.append(reinterpret_cast<const char*>(&sample), 2);
    }
    const uint32_t riffBytes = uint32_t(wav.size() - 8);
    wav.replace(4, 4, reinterpret_cast<const char*>(&riffBytes), 4);
    return wav;
}

struct cScratch
{
    cScratch()
    {
        folder = (std::filesystem::temp_directory_path() / ("pad-bank-fuzz-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(folder + "/" + kPackage);
        const std::string kick = KickWav();
        WriteFile(folder + "/" + kPackage + "/Kick.wav", kick.data(), kick.size());
        registry.Mount(new File::cFileSystemDisk("Native", ""));
        registry.Mount(new File::cFileSystemDisk("Doc", folder.c_str()));
        AddDeletableRoot(folder.c_str());
    }

    std::string folder;
    cFileSystemRegistry registry;
};

bool Finite(float x) { return std::isfinite(x); }

void CheckSet(const cTriggerPadSet& set)
{
    for (const cTriggerPadData& pad : set.pads)
    {
        Require(pad.bus >= 0 && pad.bus < 3);
        Require(pad.direction >= 0 && pad.direction < 4);
        Require(pad.triggerMode >= 0 && pad.triggerMode < 3);
        Require(pad.transpose >= -24 && pad.transpose <= 24);
        Require(pad.fineTune >= -50 && pad.fineTune <= 50);
        Require(Finite(pad.volume) && Finite(pad.pan));
        const cEnvelopeParams& envelope = pad.ampEnvelope;
        Require(Finite(envelope.A) && Finite(envelope.D) && Finite(envelope.S) && Finite(envelope.R) &&
                Finite(envelope.Amount));
        Require(!PathHasParentPart(pad.samplePath));
    }
    for (const cTriggerPadOutput& output : set.outputs)
    {
        Require(output.filter.type >= 1 && output.filter.type < 4);
        Require(Finite(output.rev) && Finite(output.del) && Finite(output.filter.cutoff) && Finite(output.filter.q));
    }
}

std::string Write(cTriggerPad& pads)
{
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    Require(serialiser.Begin());
    Require(pads.Serialise(serialiser, nullptr, nullptr));
    Require(serialiser.End());
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

void Read(cTriggerPad& pads, const std::string& xml)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(xml.data()), int(xml.size()));
    Base::cSerialiseXML serialiser(1.0f, &stream, 0);
    Require(serialiser.Begin());
    Require(pads.Serialise(serialiser, nullptr, nullptr));
    serialiser.End();
}

void PlayEveryPad(cTriggerPad& pads)
{
    for (int32_t pad = 0; pad < 16; ++pad)
    {
        cAudioEvent note;
        note.type = kAudioEventNoteOn;
        note.SetNote(uint8_t(48 + pad), 127);
        note.wordB = (kVoiceSourceSequencer << 24) | uint32_t(pad + 1);
        pads.PostEvent(note);
    }
    std::vector<float> samples(128 * 2);
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 128, 2, samples.data());
    for (int32_t block = 0; block < 4; ++block)
        for (int32_t bus = 0; bus < 3; ++bus)
        {
            cAudioProcessInfo info;
            info.sampleRate = 44100.0f;
            info.secondsPerSample = 1.0f / 44100.0f;
            info.duration = 128.0f / 44100.0f;
            info.outputIndex = bus;
            std::fill(samples.begin(), samples.end(), 0.0f);
            pads.Process(info, buffer);
            for (float x : samples)
                Require(std::isfinite(x));
        }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static cScratch scratch;
    static cTriggerPadInstrument instrument(nullptr, false);
    cTriggerPad& pads = *instrument.GetPads();
    WriteFile(scratch.folder + "/" + kPackage + "/Package.vrx", data, size);
    const std::string before = Write(pads);
    const int32_t index = pads.GetActiveSetIndex();
    if (!pads.LoadBank(cGenString(""), cGenString(kPackage), false))
    {
        Require(pads.GetActiveSetIndex() == index);
        Require(Write(pads) == before);
        return 0;
    }
    CheckSet(pads.GetActiveSet());
    const std::string written = Write(pads);
    Read(pads, written);
    CheckSet(pads.GetActiveSet());
    Require(Write(pads) == written);
    PlayEveryPad(pads);
    return 0;
}
