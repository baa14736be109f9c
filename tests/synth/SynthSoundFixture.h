#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "BuildPaths.h"
#include "audio/AudioEvent.h"
#include "audio/AudioManager.h"
#include "audio/SampleFiles.h"
#include "audio/SignalMeasure.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/FastMath.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/AnalogueSynthSampleManager.h"
#include "instruments/synth/AnalogueSynthVoiceEngine.h"
#include "instruments/synth/SynthParamId.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixerTestUtil.h"
#include "sequencer/RecordingSequencer.h"

// What a synthesizer needs to sound, as the program has it after start-up:
// a documents folder ("Doc", "Tmp", "Native"), the wave tables from the
// generated content ("Res"), the shaper curves, the effect units, and a
// paused audio manager whose buffer pool the voices borrow from.
class cSynthSound : public testing::Test
{
protected:
    static constexpr uint32_t kBlock = 128;
    static constexpr float kRate = 44100.0f;

    static void SetUpTestSuite()
    {
        InitFastMathTables();
        BuildShapeTables();
    }
    static void TearDownTestSuite() { FreeShapeTables(); }

    void SetUp() override
    {
        folder = std::make_unique<cSampleFolder>();
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", BuildFile("bin/Resource").c_str()));
        BuildWaveTables();
        RegisterEffectPackages();
        manager = MixerTest::MakePausedAudioManager();
        ASSERT_NE(manager, nullptr);
    }
    void TearDown() override
    {
        manager.reset();
        DeleteEffectPackages();
        FreeWaveTables();
        folder.reset();
    }

    // A module on its own, or the module of an instrument, bound to a store
    // of init presets.
    std::unique_ptr<cAnalogueSynth> MakeSynth(cInstrument* owner = nullptr)
    {
        auto synth = std::make_unique<cAnalogueSynth>(owner);
        synth->SetStore(&store);
        return synth;
    }

    static cAudioEvent Note(uint8_t type, int note, int velocity, uint32_t voiceId, uint8_t slot = 0)
    {
        cAudioEvent event;
        event.type = type;
        event.slot = slot;
        event.SetNote(uint8_t(note), uint8_t(velocity));
        event.wordB = voiceId;
        return event;
    }
    static uint32_t UserVoice(uint32_t n) { return kVoiceSourceUser << 24 | n; }
    static uint32_t SequencerVoice(uint32_t n) { return kVoiceSourceSequencer << 24 | n; }
    // Live MIDI from a device slot: the note in the low byte.
    static uint32_t MIDIVoice(uint32_t deviceSlot, int note) { return kVoiceSourceMIDI << 24 | deviceSlot << 8 | uint32_t(note); }

    static void NoteOn(cAnalogueSynth& synth, int note, uint32_t voiceId, int velocity = 127, uint8_t slot = 0)
    {
        synth.PostEvent(Note(kAudioEventNoteOn, note, velocity, voiceId, slot));
    }
    static void NoteOff(cAnalogueSynth& synth, int note, uint32_t voiceId, uint8_t slot = 0)
    {
        synth.PostEvent(Note(kAudioEventNoteOff, note, 0, voiceId, slot));
    }
    static void SetInt(cAnalogueSynth& synth, uint32_t id, int32_t value) { synth.PostEvent(MakeSetIntEvent(id, value)); }
    static void SetFloat(cAnalogueSynth& synth, uint32_t id, float value)
    {
        synth.PostEvent(MakeSetFloatEvent(id, value));
    }
    static uint32_t SingleId(int32_t group, int32_t index = 0, int32_t field = 0)
    {
        return MakeSynthParamId(kSynthParamSingle, group, index, field);
    }
    static void ModuleParam(cAnalogueSynth& synth, uint32_t index, float value, uint32_t automation = 0)
    {
        cAudioEvent event;
        event.type = kAudioEventModuleParam;
        event.wordA = automation;
        event.wordB = index;
        event.valueF = value;
        synth.PostEvent(event);
    }

    // Renders blocks into a stereo recording, the module's output as the
    // mixer receives it.
    static std::vector<float> Render(cAnalogueSynth& synth, uint32_t frames, uint32_t block = kBlock,
                                     bool offline = false)
    {
        std::vector<float> out;
        out.reserve(size_t(frames) * 2);
        cTestBlock scratch(block, 2);
        for (uint32_t done = 0; done < frames; done += block)
        {
            const uint32_t n = std::min(block, frames - done);
            cAudioProcessInfo info = MakeProcessInfo(n, kRate);
            info.offline = offline ? 1 : 0;
            std::fill(scratch.samples.begin(), scratch.samples.end(), 0.0f);
            scratch.view.frames = n;
            synth.Process(info, scratch.view);
            out.insert(out.end(), scratch.samples.begin(), scratch.samples.begin() + n * 2);
        }
        return out;
    }
    static std::vector<float> Channel(const std::vector<float>& stereo, int channel)
    {
        std::vector<float> out(stereo.size() / 2);
        for (size_t f = 0; f < out.size(); ++f)
            out[f] = stereo[f * 2 + size_t(channel)];
        return out;
    }

    // The voices in use, newest first.
    static std::vector<const cAnalogueSynthVoice*> Voices(const cAnalogueSynth& synth)
    {
        std::vector<const cAnalogueSynthVoice*> voices;
        for (const cAnalogueSynthVoice* v = synth.GetVoiceEngine().GetNewestVoice(); v; v = v->GetNext())
            voices.push_back(v);
        return voices;
    }

    std::unique_ptr<cSampleFolder> folder;
    std::unique_ptr<cAudioManager> manager;
    cAnalogueSynthPresetStore store;
};
