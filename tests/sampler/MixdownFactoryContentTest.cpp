#include "MixdownFixture.h"

#include <cstdio>
#include <functional>
#include <map>

#include "BenchReferenceSong.h"
#include "MixdownLevels.h"
#include "audio/AudioEvent.h"
#include "audio/SignalMeasure.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "sequencer/MIDIFileOperations.h"

using namespace MixdownTest;

// Our own content mixed down through the program's own path at the desk's
// default faders, as a new user meets it.
namespace
{
using BenchReferenceSong::eArrangement;

constexpr int32_t kBar = 1024;
constexpr int32_t kMiddleC = 60;
constexpr int32_t kFirstPadNote = 48;
constexpr int32_t kPadCount = 16;
constexpr int32_t kDrumSlot = 1;
constexpr int32_t kSynthSlot = 2;
// Anything quieter is not heard beside a mix.
constexpr double kHeardDb = -40.0;

class MixdownFactoryContent : public cContentMixdownFixture
{
protected:

    static cProject& Project() { return *cProjectList::GetInstance()->GetCurrentProject(); }
    static cAnalogueSynthPackage& Synth()
    {
        return *static_cast<cAnalogueSynthPackage*>(cInstrumentPackageRegistry::GetInstance()->FindPackage("Kest"));
    }
    static cTriggerPadPackage& Pads()
    {
        return *static_cast<cTriggerPadPackage*>(cInstrumentPackageRegistry::GetInstance()->FindPackage("VRX"));
    }

    // A new project, its pads on their kit when fresh, as "New" makes one.
    static void NewProject(int32_t fresh)
    {
        const cGenStringFixed<260> path(Project().GetPath());
        Project().NewDefault(path, fresh);
    }

    static bool Arrange(eArrangement arrangement)
    {
        NewProject(0);
        const std::string copy = TestScratchFolder() + "/factory-content-song-" + std::to_string(getpid()) + ".mid";
        const bool placed = BenchReferenceSong::Place(copy, &Synth(), &Pads(), arrangement);
        std::filesystem::remove(copy);
        return placed;
    }

    // As the song tools import a MIDI file into a new project.
    static bool ImportIntoNewProject()
    {
        NewProject(1);
        std::filesystem::copy_file(ReferenceSong::Path(), Native("User/Reference.mid"));
        cGenStringFixed<128> error;
        cMIDIFileSong* song = LoadMIDIFile("User/Reference.mid", error);
        if (!song)
            return false;
        Sequencer().SetTempo(song->tempo);
        Sequencer().SetBeatsPerBar(song->numerator);
        return ImportMIDIFileSong(song, false);
    }

    // The final mix of the current song; the mixdown's result goes to result.
    std::vector<int16_t> MixDown(const std::string& name, bool tail, int32_t& result)
    {
        const std::string path = "User/Mixdowns/" + name + ".wav";
        cMixdown mixdown(0.0f, 1.0f, cDelegate());
        int32_t files = 0;
        result = mixdown.Render(cGenString(path.c_str()), cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, tail,
                                &files);
        std::vector<int16_t> samples = MixdownLevels::ReadSamples(Native(path));
        std::filesystem::remove(Native(path));
        return samples;
    }

    // The slot's track holds one bar with one note at velocity 100.
    static void OneNote(int32_t slot, int32_t note)
    {
        {
            cScopedLock lock(Sequencer().GetLock());
            cTrack* track = TrackOfSlot(slot);
            while (cPatternInstance* part = track->GetFirstPart())
            {
                track->RemovePart(part);
                part->Release();
            }
        }
        AddPart(slot, 0, kBar, note, kBar);
    }

    // The left side from a half to one second in, where every sound has
    // settled into its pitch.
    static double Pitch(const std::vector<int16_t>& samples)
    {
        std::vector<float> left;
        for (size_t i = 0; i + 1 < samples.size(); i += 2)
            left.push_back(float(samples[i]) / 32768.0f);
        return left.size() < 44100 ? 0.0 : CrossingFrequency(left, 22050, 44100);
    }

    // The song's one note mixed down without a tail: heard, below full
    // scale, and at its pitch when the table names the sound. True when it
    // was checked for its pitch.
    bool ExpectHeard(const std::string& name, const std::map<std::string, double>& pitches)
    {
        int32_t result = -1;
        const std::vector<int16_t> samples = MixDown("note", false, result);
        const MixdownLevels::cLevels levels = MixdownLevels::Measure(samples);
        EXPECT_EQ(result, cMixdown::kResultWritten);
        EXPECT_GT(levels.PeakDb(), kHeardDb);
        EXPECT_LE(levels.PeakDb(), -1.0);
        const auto pitch = pitches.find(name);
        if (pitch == pitches.end())
            return false;
        EXPECT_NEAR(Pitch(samples), pitch->second, pitch->second * 0.005);
        return true;
    }
};
} // namespace

// The reference song in both benchmark arrangements and imported into a new
// project, and the demo project: peaks at or below -1 dB with no sample at
// full scale, an RMS level between -23 and -16 dB (a General MIDI render of
// the song holds -20.5 dB).
TEST_F(MixdownFactoryContent, TheReferenceSongAndTheDemoMixDownBelowFullScale)
{
    if (!std::filesystem::exists(ReferenceSong::Path()))
        GTEST_FAIL() << "no reference song at " << ReferenceSong::Path();
    const struct
    {
        const char* name;
        std::function<bool()> prepare;
    } cases[] = {
        {"family presets", [] { return Arrange(eArrangement::FamilyPresets); }},
        {"mono", [] { return Arrange(eArrangement::Mono); }},
        {"imported", [] { return ImportIntoNewProject(); }},
        {"demo", [] { return Project().Load(cGenString("User/Projects/Demos/Rock On.prj")); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.prepare());
        int32_t result = -1;
        const MixdownLevels::cLevels levels = MixdownLevels::Measure(MixDown(c.name, true, result));
        EXPECT_EQ(result, cMixdown::kResultWritten);
        ASSERT_GT(levels.frames, 44100);
        for (const MixdownLevels::cSide& side : levels.sides)
        {
            EXPECT_LE(side.peakDb, -1.0);
            EXPECT_EQ(side.clips, 0);
            EXPECT_GE(side.rmsDb, -23.0);
            EXPECT_LE(side.rmsDb, -16.0);
        }
    }
}

// Every factory preset plays middle C at velocity 100 so that it is heard
// and stays below full scale; the pitched ones sound at the pitch they had
// at their designed level.
TEST_F(MixdownFactoryContent, EveryPresetIsHeardAndKeepsItsPitch)
{
    const std::map<std::string, double> pitches = {
        {"Round Sub", 261.6},      {"Sine Whistle", 261.6}, {"Square Lead", 261.9}, {"Electric Piano", 261.6},
        {"Drawbar Organ", 261.6},  {"Soft Keys", 261.6},    {"Cello", 522.6},
        {"Hollow Bass", 784.4},    {"Rubber Bass", 261.6},
    };
    NewProject(0);
    OneNote(kSynthSlot, kMiddleC);
    cInstrument& synth = *Slot(kSynthSlot);
    const cAnalogueSynthPresetStore& store = Synth().GetStore();
    int played = 0, pitched = 0;
    for (int32_t index = 0; index < cAnalogueSynthPresetStore::kPresetCount; ++index)
    {
        const int32_t id = cAnalogueSynthPresetStore::IdOf(index);
        const std::string name = store.GetSingle(id).Name;
        if (name == "<EMPTY>" || (id >> 8) >= cAnalogueSynthPresetStore::kGlobalBankCount)
            continue;
        SCOPED_TRACE(name);
        cAudioEvent select;
        select.type = kAudioEventSelectPreset;
        select.wordA = uint32_t(id >> 8);
        select.wordB = uint32_t(id & 0xFF);
        synth.GetModule()->HandleEvent(select);
        pitched += ExpectHeard(name, pitches) ? 1 : 0;
        ++played;
    }
    EXPECT_EQ(played, 115);
    EXPECT_EQ(pitched, int(pitches.size()));
}

// Every pad of every factory kit is heard at velocity 100; the tuned ones
// sound at their notes.
TEST_F(MixdownFactoryContent, EveryKitPadIsHeardAndTheTunedOnesKeepTheirPitch)
{
    const std::map<std::string, double> pitches = {
        {"Marimba C", 261.6}, {"Marimba E", 329.6}, {"Marimba G", 392.0}, {"Kalimba", 523.3},
    };
    NewProject(0);
    cTriggerPad& pads = *static_cast<cTriggerPadInstrument*>(Slot(kDrumSlot))->GetPads();
    int pitched = 0;
    for (const char* kit : {"Default", "Neon", "Timber"})
    {
        const std::string bank = std::string("User/VRX Banks/") + kit + ".vrx";
        ASSERT_TRUE(pads.LoadBank(cGenString(""), cGenString(bank.c_str()), false)) << kit;
        for (int32_t pad = 0; pad < kPadCount; ++pad)
        {
            const std::string name = pads.GetActiveSet().pads[pad].name.CStr();
            SCOPED_TRACE(std::string(kit) + " " + name);
            OneNote(kDrumSlot, kFirstPadNote + pad);
            pitched += ExpectHeard(name, pitches) ? 1 : 0;
        }
    }
    EXPECT_EQ(pitched, int(pitches.size()));
}
