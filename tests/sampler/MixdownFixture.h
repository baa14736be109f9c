#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "BuildPaths.h"
#include "audio/AudioManager.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Oscillator.h"
#include "audio/ScopedTransport.h"
#include "audio/Transport.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/FastMath.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/RootPaths.h"
#include "base/Zip.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskPackage.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "sampler/Mixdown.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace MixdownTest
{
// The documents folder is decided once per process: every test of the
// program shares one data home, whose documents each mixdown test empties.
inline const std::string& DataHome()
{
    static const std::string folder = TestScratchFolder() + "/mixdown-data-" + std::to_string(getpid());
    return folder;
}

class cDataHomeEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        std::filesystem::remove_all(DataHome());
        setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(DataHome(), ignored);
    }
};

inline ::testing::Environment* const gDataHome = ::testing::AddGlobalTestEnvironment(new cDataHomeEnvironment());

inline std::string Documents() { return GetDocumentsFolderPath(); }
inline std::string Native(const std::string& docPath) { return Documents() + "/" + docPath; }

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline uint32_t Le32(const std::string& bytes, size_t offset)
{
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

inline uint16_t Le16(const std::string& bytes, size_t offset)
{
    uint16_t v = 0;
    std::memcpy(&v, bytes.data() + offset, 2);
    return v;
}

// The interleaved samples of a 44-byte-header WAV file.
inline std::vector<int16_t> Samples(const std::string& bytes)
{
    std::vector<int16_t> samples(bytes.size() > 44 ? (bytes.size() - 44) / 2 : 0);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

inline std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What a test instrument sounds: a sine per held note that stops at once or
// fades, a drone that never stops, or full-scale spikes every few frames.
struct cToneSettings
{
    float level = 0.2f;
    // Per frame after a note-off; 0 stops at once.
    float releaseFactor = 0.0f;
    bool drone = false;
    // Every spikePeriod-th frame of the song holds spikeValue, when set.
    int32_t spikePeriod = 0;
    float spikeValue = 0.0f;
    // What the strip sends to the first return (the reverb).
    float send1 = 0.0f;
};

class cToneModule : public cAudioModule
{
public:
    static constexpr int kVoices = 16;

    explicit cToneModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        if (event.type == kAudioEventNoteOn)
            Start(event);
        else if (event.type == kAudioEventNoteOff)
            Release(event.wordB);
        else if (event.type == kAudioEventAllNotesOff)
            for (cVoice& voice : mVoices)
                voice.active = false;
        return 0;
    }

    float GetOutputValue(int32_t kind, int32_t output) override
    {
        return kind == 2 ? settings.send1 : cAudioModule::GetOutputValue(kind, output);
    }

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        DrainEvents();
        float* out = buffer.Floats();
        for (uint32_t f = 0; f < buffer.frames; ++f)
        {
            float x = 0.0f;
            for (cVoice& voice : mVoices)
                x += Next(voice, info.sampleRate);
            if (settings.drone)
                x += settings.level * float(std::sin(mDronePhase += 2.0 * M_PI * 220.0 / info.sampleRate));
            if (settings.spikePeriod > 0 && mFrame % settings.spikePeriod == 0)
                x = settings.spikeValue;
            ++mFrame;
            out[f * 2] += x;
            out[f * 2 + 1] += x;
        }
        return 0;
    }

    cToneSettings settings;

private:
    struct cVoice
    {
        bool active = false;
        bool released = false;
        uint32_t voiceId = 0;
        float frequency = 0.0f;
        float gain = 0.0f;
        double phase = 0.0;
    };

    float Next(cVoice& voice, float rate)
    {
        if (!voice.active)
            return 0.0f;
        const float x = voice.gain * float(std::sin(voice.phase));
        voice.phase += 2.0 * M_PI * voice.frequency / rate;
        if (voice.released)
        {
            voice.gain *= settings.releaseFactor;
            voice.active = voice.gain > 1.0e-7f;
        }
        return x;
    }

    void Start(const cAudioEvent& event)
    {
        for (cVoice& voice : mVoices)
            if (!voice.active)
            {
                voice = {true, false, event.wordB, NoteToFrequency(float(event.GetNote())), settings.level, M_PI / 2.0};
                return;
            }
    }

    void Release(uint32_t voiceId)
    {
        for (cVoice& voice : mVoices)
            if (voice.active && voice.voiceId == voiceId)
            {
                voice.released = true;
                voice.active = settings.releaseFactor > 0.0f;
            }
    }

    cVoice mVoices[kVoices];
    double mDronePhase = 0.0;
    int64_t mFrame = 0;
};

// An instrument with one mixer strip sounding a cToneModule.
class cToneInstrument : public cInstrument
{
public:
    explicit cToneInstrument(cInstrumentPackage* package)
    {
        mPackage = package;
        SetModule(new cToneModule(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}

    cToneModule& Tone() const { return *static_cast<cToneModule*>(GetModule()); }
};

// Stands in for the synthesizer ("Kest") of a new project.
class cTonePackage : public cInstrumentPackage
{
public:
    explicit cTonePackage(const char* name) { mName.AssignCStr(name); }
    ~cTonePackage() override
    {
        while (cInstrument* instrument = mInstruments.PopFront())
            delete instrument;
    }
    cInstrument* CreateInstrument(int32_t) override
    {
        auto* instrument = new cToneInstrument(this);
        AddInstrument(instrument);
        return instrument;
    }
    void DestroyInstrument(cInstrument* instrument) override
    {
        RemoveInstrument(instrument);
        delete instrument;
    }
    bool IsSampleInUse(const cGenString&) override { return false; }
    bool Reload() override { return true; }
    bool LoadProjectData(const cGenString&, cSampleRelocator*, int32_t, cGenString&) override { return true; }
    bool SaveProjectData(const cGenString&, cSampleRelocator*, bool) override { return true; }
};

// Records the renderer's progress reports and cancels at a chosen one.
struct cProgressProbe
{
    void OnProgress(bool* cancel, float fraction)
    {
        ++calls;
        last = fraction;
        if (onReport)
            onReport(calls);
        *cancel = cancelAtCall > 0 && calls >= cancelAtCall;
    }
    cDelegate Delegate() { return cDelegate(this, &cProgressProbe::OnProgress); }

    int calls = 0;
    float last = 0.0f;
    int cancelAtCall = 0;
    std::function<void(int)> onReport;
};

// The engine as start-up leaves it, without an audio device: the slots, the
// song, the effect units, the packages (the desk, the real pads and a tone
// instrument as "Kest") and the project list with a new current project,
// over an empty documents folder with the program's mounts. With the
// factory content instead: the real synthesizer as "Kest", the wave tables
// and a paused audio manager for its voices, and the installer's archive
// unpacked into the documents, as a user's first start leaves them.
class cMixdownWorld
{
public:
    explicit cMixdownWorld(bool factoryContent = false) : mFactoryContent(factoryContent)
    {
        std::error_code ignored;
        std::filesystem::remove_all(Documents(), ignored);
        std::filesystem::create_directories(Documents() + "/User/Mixdowns");
        mRegistry = std::make_unique<cFileSystemRegistry>();
        mRegistry->Mount(new File::cFileSystemDisk("Native", ""));
        mRegistry->Mount(new File::cFileSystemDisk("Doc", GetDocumentsFolderPath()));
        mRegistry->Mount(new File::cFileSystemDisk("Tmp", GetTempFolderPath()));
        ClearDeletableRoots();
        AddDeletableRoot(GetDocumentsFolderPath());
        AddDeletableRoot(GetTempFolderPath());
        BuildShapeTables();
        RegisterEffectPackages();
        if (factoryContent)
            StartFactoryContent();
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        if (factoryContent)
            packages->AddPackage(new cAnalogueSynthPackage());
        else
            packages->AddPackage(new cTonePackage("Kest"));
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new cTriggerPadPackage());
        new cProjectList();
        cProjectList::GetInstance()->NewProject();
    }
    ~cMixdownWorld()
    {
        delete cProjectList::GetInstance();
        delete cInstrumentSlotTable::GetInstance();
        if (cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance())
        {
            packages->DeleteAll();
            delete packages;
        }
        delete cSequencer::GetInstance();
        mAudio.reset();
        if (mFactoryContent)
            FreeWaveTables();
        DeleteEffectPackages();
        FreeShapeTables();
        ClearDeletableRoots();
    }
    cMixdownWorld(const cMixdownWorld&) = delete;
    cMixdownWorld& operator=(const cMixdownWorld&) = delete;

    // False when the content or the audio manager is missing.
    bool IsReady() const { return mReady; }

private:
    void StartFactoryContent()
    {
        InitFastMathTables();
        const std::string resources = BuildFile("bin/Resource");
        mRegistry->Mount(new File::cFileSystemDisk("Res", resources.c_str()));
        BuildWaveTables();
        const std::string archive = resources + "/Install.zip";
        mReady = Zip::cZipExtractor().ExtractArchive(archive.c_str(), Documents().c_str(), false) == Zip::kResultOk;
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        mAudio = std::make_unique<cAudioManager>();
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        mReady = mAudio->Init(settings) && mReady;
        mAudio->SetPaused(true);
    }

    std::unique_ptr<cFileSystemRegistry> mRegistry;
    std::unique_ptr<cAudioManager> mAudio;
    cScopedTransport mTransport;
    bool mFactoryContent;
    bool mReady = true;
};

inline cSequencer& Sequencer() { return *cSequencer::GetInstance(); }
inline cTrackList& Tracks() { return *Sequencer().GetTrackList(); }
inline cInstrument* Slot(int32_t slot) { return cInstrumentSlotTable::GetInstance()->GetInstrument(slot); }
inline cToneModule& Tone(int32_t slot) { return static_cast<cToneInstrument*>(Slot(slot))->Tone(); }
// The first track of the slot's group.
inline int32_t TrackIndexOfSlot(int32_t slot) { return Tracks().GetGroup(slot).first; }
inline cTrack* TrackOfSlot(int32_t slot) { return Tracks().GetTrack(TrackIndexOfSlot(slot)); }

// A part on the slot's track from start for length ticks, holding a note
// that lasts noteLength ticks from the part's start (none when 0).
inline cPatternInstance* AddPart(int32_t slot, int32_t start, int32_t length, int32_t note = 69,
                                 int32_t noteLength = 0)
{
    cScopedLock lock(Sequencer().GetLock());
    cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
    part->start = start;
    part->length = length;
    part->pattern->loopLength = length;
    if (noteLength > 0)
    {
        cPatternEvent* event = cPatternEvent::Allocate();
        event->time = 0;
        event->length = noteLength;
        event->SetNote(note);
        event->SetVelocity(100);
        part->pattern->InsertEventSorted(event);
    }
    TrackOfSlot(slot)->InsertPart(part);
    return part;
}

// Mutes every track but the given one's (-1: none heard).
inline void MuteAllBut(int32_t keptTrack)
{
    for (int32_t i = 0; i < Tracks().GetCount(); ++i)
        Sequencer().SetTrackMuteSolo(i, i == keptTrack ? cTrack::kNormal : cTrack::kMute);
}

// A world with the generated content loaded, as the program mixes it.
class cContentMixdownFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mWorld = std::make_unique<cMixdownWorld>(true);
        ASSERT_TRUE(mWorld->IsReady()) << "no content at " << BuildFile("bin/Resource")
                                       << " (the quil_resources target makes it), or no audio manager";
    }
    void TearDown() override { mWorld.reset(); }

private:
    std::unique_ptr<cMixdownWorld> mWorld;
};

class cMixdownFixture : public ::testing::Test
{
protected:
    void SetUp() override { mWorld = std::make_unique<cMixdownWorld>(); }
    void TearDown() override { mWorld.reset(); }

    int32_t Render(const std::string& path, int32_t region, int32_t output, bool tail, int32_t* files = nullptr)
    {
        int32_t count = 0;
        cMixdown mixdown(0.0f, 1.0f, probe.Delegate());
        const int32_t result = mixdown.Render(cGenString(path.c_str()), region, output, tail, &count);
        if (files)
            *files = count;
        return result;
    }

    cProgressProbe probe;

private:
    std::unique_ptr<cMixdownWorld> mWorld;
};
} // namespace MixdownTest
