#pragma once

#include <smf.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "ReferenceSong.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/AudioModule.h"
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
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"

// The shared reference song as the renders' benchmarks play it: placed as
// the MIDI-file import places it (channel 1's notes in a free slot, channel
// c + 1 in slot c), from a copy in which the drum notes are moved onto the
// pads 48..63; the synthesizer on every melodic channel, the pad instrument
// on the default kit in the drums' slot. Two arrangements: a factory preset
// of each channel's family with the drums on the kit's matching pads, as a
// musician would set the song up; and the synthesizer's first preset (a
// mono sub-bass) everywhere with the drums an octave up, pad by pad in note
// order, which older figures were measured with.
namespace BenchReferenceSong
{
constexpr int kDrumChannel = 9;
constexpr int kMelodicChannels = 6;
constexpr int kOctave = 12;
constexpr int kFirstPadNote = 48;

enum class eArrangement
{
    FamilyPresets,
    Mono,
};

inline const char* ArrangementName(eArrangement arrangement)
{
    return arrangement == eArrangement::FamilyPresets ? "family presets" : "mono";
}

// The song's programs (synth bass, warm pad, polysynth pad, saw lead, square
// lead, string ensemble) as factory presets, channel 1 to 6.
constexpr const char* kFamilyPresets[kMelodicChannels] = {"Saw Bass",        "Warm Pad",    "Soft Square Pad",
                                                          "Bright Saw Lead", "Square Lead", "String Section"};

// The default kit's pad for a General MIDI drum note, -1 for one it lacks.
// The ride goes to the crash, the kit's only cymbal.
inline int DefaultKitPad(int note)
{
    struct cDrum
    {
        int note;
        int pad;
    };
    static constexpr cDrum kDrums[] = {
        {35, 0},  {36, 0},  {38, 1},  {40, 1},  {42, 2},  {46, 3},  {39, 4},  {37, 5},  {44, 6},  {49, 7},
        {51, 7},  {52, 7},  {55, 7},  {57, 7},  {59, 7},  {41, 8},  {43, 8},  {45, 9},  {47, 9},  {48, 10},
        {50, 10}, {56, 11}, {69, 12}, {70, 12}, {60, 13}, {61, 13}, {62, 13}, {63, 13}, {64, 13},
    };
    for (const cDrum& drum : kDrums)
        if (drum.note == note)
            return drum.pad;
    return -1;
}

// A drum note as the arrangement plays it; a note without a pad stays put.
inline int DrumNoteOnPads(int note, eArrangement arrangement)
{
    if (arrangement == eArrangement::Mono)
        return note + kOctave <= 127 ? note + kOctave : note;
    const int pad = DefaultKitPad(note);
    return pad < 0 ? note : kFirstPadNote + pad;
}

// The reference song with its drum notes on the pads.
inline bool WriteSongOnPads(const std::filesystem::path& path, eArrangement arrangement)
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
            if ((status & 0xE0) == 0x80 && (status & 0x0F) == kDrumChannel)
                event->midi_buffer[1] = uint8_t(DrumNoteOnPads(event->midi_buffer[1], arrangement));
        }
    }
    const bool saved = smf_save(smf, path.c_str()) == 0;
    smf_delete(smf);
    return saved;
}

// The factory preset of that name as a bank and program; false when absent.
inline bool FindPreset(const cAnalogueSynthPackage& synth, const char* name, int32_t& bank, int32_t& program)
{
    const cAnalogueSynthPresetStore& store = synth.GetStore();
    for (int32_t index = 0; index < cAnalogueSynthPresetStore::kPresetCount; ++index)
    {
        const int32_t id = cAnalogueSynthPresetStore::IdOf(index);
        if (std::strcmp(store.GetSingle(id).Name, name) != 0)
            continue;
        bank = id >> 8;
        program = id & 0xFF;
        return true;
    }
    return false;
}

// Nothing plays while the song is placed, so the preset is taken at once.
inline bool SelectPreset(cAnalogueSynthPackage& synth, cInstrument& instrument, const char* name)
{
    cAudioEvent select;
    select.type = kAudioEventSelectPreset;
    int32_t bank = 0, program = 0;
    if (!FindPreset(synth, name, bank, program))
        return false;
    select.wordA = uint32_t(bank);
    select.wordB = uint32_t(program);
    instrument.GetModule()->HandleEvent(select);
    return true;
}

// The song into the current project, copied to copyPath on the way; false
// when the reference song cannot be read or a factory preset is missing.
inline bool Place(const std::filesystem::path& copyPath, cAnalogueSynthPackage* synth, cTriggerPadPackage* pads,
                  eArrangement arrangement)
{
    cMIDIFileSong song;
    if (!WriteSongOnPads(copyPath, arrangement) || !ReferenceSong::Read(copyPath.string(), song))
        return false;
    int32_t slots[cMIDIFileSong::kChannelCount];
    const int32_t transposes[cMIDIFileSong::kChannelCount] = {};
    for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
        slots[channel] = song.channels[channel].events.empty() ? -1 : channel;
    // Slot 0 is the desk's: channel 1 goes to the first slot no channel takes.
    for (int32_t slot = 1; slots[0] == 0 && slot < cMIDIFileSong::kChannelCount; ++slot)
        if (std::find(std::begin(slots), std::end(slots), slot) == std::end(slots))
            slots[0] = slot;
    bool presets = true;
    for (int channel = 0; channel < cMIDIFileSong::kChannelCount; ++channel)
        if (slots[channel] > 0)
        {
            const bool drums = channel == kDrumChannel;
            cInstrument* instrument = drums ? pads->CreateInstrument(1) : synth->CreateInstrument(0);
            if (!drums && arrangement == eArrangement::FamilyPresets && channel < kMelodicChannels)
                presets = SelectPreset(*synth, *instrument, kFamilyPresets[channel]) && presets;
            SetInstrumentSlot(instrument, slots[channel], true);
        }
    CreateMissingInstrumentTracks();
    ReferenceSong::Place(song, slots, transposes);
    return presets;
}

// The program's engine over the documents folder of a data home of its own,
// the audio manager paused, with a new project holding the song. Mounts
// the file systems the registry lacks (making one when there is none).
struct cSongRig
{
    // home: the data home, emptied first; copyPath: the song's copy on the pads.
    cSongRig(const std::filesystem::path& home, const std::filesystem::path& copyPath,
             eArrangement arrangement = eArrangement::FamilyPresets)
        : songCopy(copyPath)
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
        ready = Place(copyPath, synth, pads, arrangement);
    }

    // The current project made new (with the pads' kit loaded when fresh),
    // as the user's "New" makes it.
    void NewProject(int32_t fresh)
    {
        cProject* project = cProjectList::GetInstance()->GetCurrentProject();
        const cGenStringFixed<260> path(project->GetPath());
        project->NewDefault(path, fresh);
    }

    // A new project holding the song in the given arrangement.
    bool Arrange(eArrangement arrangement)
    {
        NewProject(0);
        return ready = Place(songCopy, synth, pads, arrangement);
    }

    std::filesystem::path songCopy;
    std::filesystem::path documents;
    cAudioManager audio;
    cAnalogueSynthPackage* synth = nullptr;
    cTriggerPadPackage* pads = nullptr;
    bool ready = false;
};
} // namespace BenchReferenceSong
