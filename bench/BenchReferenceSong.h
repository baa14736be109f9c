#pragma once

#include <smf.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "ReferenceSong.h"
#include "audio/AudioManager.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/DeletableRoots.h"
#include "base/FastMath.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/RootPaths.h"
#include "base/Zip.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"

// The shared reference song as the renders' benchmarks play it: placed as
// the MIDI-file import places it (channel 1's notes in a free slot, channel
// c + 1 in slot c), from a copy in which the drum notes rise an octave onto
// the pads 48..63; the synthesizer on every melodic channel, the pad
// instrument on the default kit in the drums' slot.
namespace BenchReferenceSong
{
constexpr int kDrumChannel = 9;
constexpr int kOctave = 12;

// The reference song with its drum notes an octave up, where the pads are.
inline bool WriteSongOnPads(const std::filesystem::path& path)
{
    smf_t* smf = smf_load(ReferenceSong::Path().c_str());
    if (!smf)
        return false;
    for (int number = 1; number <= smf->number_of_tracks; ++number)
    {
        smf_track_t* track = smf_get_track_by_number(smf, number);
        for (int e = 1; e <= track->number_of_events; ++e)
        {
            smf_event_t* event = smf_track_get_event_by_number(track, e);
            const uint8_t status = event->midi_buffer_length >= 3 ? event->midi_buffer[0] : 0;
            const bool note = (status & 0xE0) == 0x80 && (status & 0x0F) == kDrumChannel;
            if (note && event->midi_buffer[1] + kOctave <= 127)
                event->midi_buffer[1] = uint8_t(event->midi_buffer[1] + kOctave);
        }
    }
    const bool saved = smf_save(smf, path.c_str()) == 0;
    smf_delete(smf);
    return saved;
}

// The song into the current project, copied to copyPath on the way; false
// when the reference song cannot be read.
inline bool Place(const std::filesystem::path& copyPath, cAnalogueSynthPackage* synth, cTriggerPadPackage* pads)
{
    cMIDIFileSong song;
    if (!WriteSongOnPads(copyPath) || !ReferenceSong::Read(copyPath.string(), song))
        return false;
    int32_t slots[cMIDIFileSong::kChannelCount];
    const int32_t transposes[cMIDIFileSong::kChannelCount] = {};
    for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
        slots[channel] = song.channels[channel].events.empty() ? -1 : channel;
    // Slot 0 is the desk's: channel 1 goes to the first slot no channel takes.
    for (int32_t slot = 1; slots[0] == 0 && slot < cMIDIFileSong::kChannelCount; ++slot)
        if (std::find(std::begin(slots), std::end(slots), slot) == std::end(slots))
            slots[0] = slot;
    for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
        if (slots[channel] > 0)
        {
            const bool drums = channel == kDrumChannel;
            cInstrument* instrument = drums ? pads->CreateInstrument(1) : synth->CreateInstrument(0);
            SetInstrumentSlot(instrument, slots[channel], true);
        }
    CreateMissingInstrumentTracks();
    ReferenceSong::Place(song, slots, transposes);
    return true;
}

// The program's engine over the documents folder of a data home of its own,
// the audio manager paused, with a new project holding the song. Mounts
// the file systems the registry lacks (making one when there is none).
struct cSongRig
{
    // home: the data home, emptied first; copyPath: the song's copy on the pads.
    cSongRig(const std::filesystem::path& home, const std::filesystem::path& copyPath)
    {
        InitFastMathTables();
        BuildShapeTables();
        std::filesystem::remove_all(home);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        documents = GetDocumentsFolderPath();
        std::filesystem::create_directories(documents / "User/Mixdowns");
        std::filesystem::create_directories(GetTempFolderPath());
        const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        cFileSystemRegistry* registry = gFileSystemRegistry ? gFileSystemRegistry : new cFileSystemRegistry();
        const std::pair<const char*, std::string> mounts[] = {{"Native", ""},
                                                              {"Res", (bin / "Resource").string()},
                                                              {"Doc", documents.string()},
                                                              {"Tmp", GetTempFolderPath()}};
        for (const auto& [name, root] : mounts)
            if (!registry->FindFileSystem(name))
                registry->Mount(new File::cFileSystemDisk(name, root.c_str()));
        AddDeletableRoot(documents.c_str());
        Zip::cZipExtractor().ExtractArchive((bin / "Resource/Install.zip").c_str(), documents.c_str(), false);
        BuildWaveTables();
        RegisterEffectPackages();
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        audio.Init(settings);
        audio.SetPaused(true);
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        synth = new cAnalogueSynthPackage();
        pads = new cTriggerPadPackage();
        packages->AddPackage(synth);
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(pads);
        new cProjectList();
        cProjectList::GetInstance()->NewProject();
        ready = Place(copyPath, synth, pads);
    }

    std::filesystem::path documents;
    cAudioManager audio;
    cAnalogueSynthPackage* synth = nullptr;
    cTriggerPadPackage* pads = nullptr;
    bool ready = false;
};
} // namespace BenchReferenceSong
