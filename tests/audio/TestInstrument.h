#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "audio/AudioBuffer.h"
#include "audio/AudioModule.h"
#include "audio/ChannelStrip.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/Oscillator.h"
#include "base/GenString.h"
#include "base/Serialise.h"

// A stand-in instrument for engine tests: its module keeps every event it is
// handed (up to a fixed number, so the audio thread never allocates) and
// sounds a sine per held note, added to the block it is given.
class cTestInstrumentModule : public cAudioModule
{
public:
    static constexpr int kMaxEvents = 4096;
    static constexpr int kVoices = 32;
    static constexpr float kLevel = 0.2f;

    explicit cTestInstrumentModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        if (eventCount < kMaxEvents)
            events[eventCount++] = event;
        if (event.type == kAudioEventNoteOn)
            StartVoice(event);
        else if (event.type == kAudioEventNoteOff)
            StopVoice(event.wordB);
        return 0;
    }

    // Adds the held notes to a float block.
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        DrainEvents();
        float* out = buffer.Floats();
        for (cVoice& voice : mVoices)
        {
            if (!voice.active)
                continue;
            const double step = 2.0 * M_PI * NoteToFrequency(voice.note) / double(info.sampleRate);
            for (uint32_t f = 0; f < buffer.frames; ++f)
            {
                const float x = kLevel * float(std::sin(voice.phase));
                voice.phase += step;
                for (uint32_t c = 0; c < buffer.channels; ++c)
                    out[f * buffer.channels + c] += x;
            }
        }
        return 0;
    }

    bool Serialise(Base::cSerialise& serialise, cInstrument*, cSampleRelocator*) override
    {
        return serialise.SerialiseInt32("Notes", &eventCount, 0, kMaxEvents);
    }

    // Parameter 1 is the preset an instrument plays.
    int32_t GetParamInt(uint32_t id) override { return id == 1 ? preset : 0; }
    // Events of one type, in arrival order, copied into out; the count.
    int Collect(uint8_t type, cAudioEvent* out, int capacity) const
    {
        int n = 0;
        for (int i = 0; i < eventCount && n < capacity; ++i)
            if (events[i].type == type)
                out[n++] = events[i];
        return n;
    }

    cAudioEvent events[kMaxEvents];
    int32_t eventCount = 0;
    int32_t preset = 0;

private:
    struct cVoice
    {
        bool active = false;
        uint32_t voiceId = 0;
        float note = 0.0f;
        double phase = 0.0;
    };

    void StartVoice(const cAudioEvent& event)
    {
        for (cVoice& voice : mVoices)
            if (!voice.active)
            {
                // A quarter cycle in, so a note is heard from its first frame.
                voice = {true, event.wordB, float(event.GetNote()), M_PI / 2.0};
                return;
            }
    }

    void StopVoice(uint32_t voiceId)
    {
        for (cVoice& voice : mVoices)
            if (voice.active && voice.voiceId == voiceId)
                voice.active = false;
    }

    cVoice mVoices[kVoices];
};

// A strip that notes its deletion and keeps one key of its own.
class cTestStrip : public cChannelStrip
{
public:
    explicit cTestStrip(int* deleted = nullptr, float volume = 0.5f) : mDeleted(deleted), mVolume(volume) {}
    ~cTestStrip() override
    {
        if (mDeleted)
            ++*mDeleted;
    }
    bool Serialise(Base::cSerialise& serialise) override
    {
        return serialise.SerialiseFloat("Vol", &mVolume, 0.0f, 1.0f);
    }

private:
    int* mDeleted;
    float mVolume;
};

class cTestInstrument : public cInstrument
{
public:
    cTestInstrument(cInstrumentPackage* package, int strips, int* stripsDeleted = nullptr)
    {
        mPackage = package;
        SetModule(new cTestInstrumentModule(this));
        for (int i = 0; i < strips; ++i)
            AddChannel(new cTestStrip(stripsDeleted, 0.25f * float(i)));
    }

    void Select() override {}
    // A new preset chooser from the test's maker, or none.
    cWidget* GetPresetWidget() override { return presetWidgetMaker ? presetWidgetMaker() : nullptr; }

    cWidget* (*presetWidgetMaker)() = nullptr;

    cTestInstrumentModule& Module() const { return *static_cast<cTestInstrumentModule*>(GetModule()); }
};

// A package of test instruments that counts what it destroys.
class cTestPackage : public cInstrumentPackage
{
public:
    explicit cTestPackage(const char* name = "Test", int stripsPerInstrument = 1)
        : mStrips(stripsPerInstrument)
    {
        mName.AssignCStr(name);
    }
    ~cTestPackage() override
    {
        while (cInstrument* instrument = mInstruments.PopFront())
            delete instrument;
        if (deletedPackages)
            ++*deletedPackages;
    }

    cInstrument* CreateInstrument(int32_t) override
    {
        cTestInstrument* instrument = new cTestInstrument(this, mStrips);
        AddInstrument(instrument);
        return instrument;
    }

    void DestroyInstrument(cInstrument* instrument) override
    {
        RemoveInstrument(instrument);
        delete instrument;
        ++destroyed;
    }

    bool IsSampleInUse(const cGenString&) override { return false; }
    bool Reload() override { return true; }
    bool LoadProjectData(const cGenString&, cSampleRelocator*, int32_t, cGenString&) override { return true; }
    bool SaveProjectData(const cGenString&, cSampleRelocator*, bool) override { return true; }

    using cInstrumentPackage::CreateControllerMap;
    using cInstrumentPackage::CreateKeyStripDrawer;
    void SetControllerTables(const char* const* names, int32_t nameCount, const cControllerParam* params,
                             int32_t paramCount, const cControllerAssignment* assignments, int32_t assignmentCount)
    {
        mControllerNames = names;
        mControllerNameCount = nameCount;
        mControllerParams = params;
        mControllerParamCount = paramCount;
        mDefaultAssignments = assignments;
        mDefaultAssignmentCount = assignmentCount;
    }

    int destroyed = 0;
    int* deletedPackages = nullptr;

private:
    int mStrips;
};
