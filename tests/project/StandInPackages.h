#pragma once

#include <cstring>
#include <iterator>
#include <string>

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/MIDIControllerMap.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "base/GenString.h"
#include "base/Serialise.h"
#include "mixer/MixerChannel.h"
#include "project/SampleRelocator.h"

// Packages named as the program's synthesizer ("Kest") and pads ("VRX")
// until those land: their instruments keep every event they are handed (in
// a fixed table, so the audio thread never allocates) and give the mixer one
// strip each.
namespace ProjectTest
{
class cRecordingModule : public cAudioModule
{
public:
    static constexpr int kMaxEvents = 1024;

    explicit cRecordingModule(cInstrument* owner) : cAudioModule(owner, 256) {}

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        if (count < kMaxEvents)
            events[count++] = event;
        return 0;
    }
    // "Level" stands for what an instrument keeps of its sound, "Sample"
    // for its sample, written and read as every sample path is.
    bool Serialise(Base::cSerialise& serialise, cInstrument*, cSampleRelocator* relocator) override
    {
        serialise.SerialiseFloat("Level", &level, 0.0f, 1.0f);
        cGenStringFixed<260> stored(samplePath);
        if (serialise.IsSaving())
        {
            if (relocator)
            {
                relocator->Relocate(stored);
                if (!relocator->KeepsPaths())
                    samplePath.Assign(stored);
                relocator->MakeRelative(stored);
            }
            return serialise.SerialiseText("Sample", &stored);
        }
        if (serialise.SerialiseText("Sample", &stored) && relocator)
            relocator->MakeAbsolute(stored);
        samplePath.Assign(stored);
        return true;
    }

    // Parameter 1 is the preset the instrument plays.
    int32_t GetParamInt(uint32_t id) override { return id == 1 ? presetNumber : 0; }
    // Every posted event, in order.
    int Take()
    {
        count = 0;
        DrainEvents();
        return count;
    }

    cAudioEvent events[kMaxEvents];
    int count = 0;
    float level = 0.5f;
    int32_t presetNumber = 0;
    cGenStringFixed<260> samplePath;
};

class cStandInInstrument : public cInstrument
{
public:
    explicit cStandInInstrument(cInstrumentPackage* package)
    {
        mPackage = package;
        mTransposable = 1;
        SetModule(new cRecordingModule(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}
    void AllNotesOff(uint32_t flags) override { lastAllNotesOff = int64_t(flags); }

    cRecordingModule& Module() const { return *static_cast<cRecordingModule*>(GetModule()); }
    cMixerChannel& Strip() const { return *static_cast<cMixerChannel*>(GetChannel(0)); }
    void SetTransposable(bool on) { mTransposable = on ? 1 : 0; }

    int64_t lastAllNotesOff = -1;
};

// Controller 7 drives parameters 1 and 3 (a fan-out), 10 parameter 2.
inline const cInstrumentPackage::cControllerAssignment kStandInAssignments[] = {{1, 7, 0}, {2, 10, 0}, {3, 7, 0}};

class cStandInPackage : public cInstrumentPackage
{
public:
    explicit cStandInPackage(const char* name)
    {
        mName.AssignCStr(name);
        mDefaultAssignments = kStandInAssignments;
        mDefaultAssignmentCount = int32_t(std::size(kStandInAssignments));
        CreateControllerMap();
    }
    ~cStandInPackage() override
    {
        while (cInstrument* instrument = mInstruments.PopFront())
            delete instrument;
    }

    cInstrument* CreateInstrument(int32_t fresh) override
    {
        auto* instrument = new cStandInInstrument(this);
        lastFresh = fresh;
        AddInstrument(instrument);
        return instrument;
    }
    void DestroyInstrument(cInstrument* instrument) override
    {
        RemoveInstrument(instrument);
        delete instrument;
    }
    bool IsSampleInUse(const cGenString& path) override { return std::strcmp(path.CStr(), sampleInUse) == 0; }
    bool Reload() override
    {
        ++reloads;
        return true;
    }
    bool LoadProjectData(const cGenString& folder, cSampleRelocator*, int32_t, cGenString& error) override
    {
        if (loadError)
            error.AssignCStr(loadError);
        if (!bank.empty())
            loadedBank = ReadBank(folder);
        return !loadError;
    }
    bool SaveProjectData(const cGenString& folder, cSampleRelocator*, bool) override
    {
        return saves && (bank.empty() || WriteBank(folder));
    }

    const char* loadError = nullptr; // set: the project data fails to load with it
    bool saves = true;
    // Set: the project data is a bank file of this text, "<name>.bnk" in the
    // folder, written safely; a load reads it into loadedBank.
    std::string bank;
    std::string loadedBank;
    int32_t lastFresh = -1;
    int reloads = 0;
    const char* sampleInUse = "";

private:
    cGenStringFixed<260> BankPath(const cGenString& folder) const
    {
        cGenStringFixed<260> path;
        path.Printf("%s/%s.bnk", folder.CStr(), GetName());
        return path;
    }
    bool WriteBank(const cGenString& folder) const
    {
        File::cFile* file = gFileSystemRegistry->OpenIn("Doc", BankPath(folder), File::kModeWrite, File::kFlagSafeWrite);
        if (!file)
            return false;
        const bool written = file->Write(bank.data(), int(bank.size())) == int(bank.size());
        const bool closed = file->Close(!written);
        delete file;
        return written && closed;
    }
    std::string ReadBank(const cGenString& folder) const
    {
        File::cFile* file = gFileSystemRegistry->OpenIn("Doc", BankPath(folder), File::kModeRead, 0);
        std::string text(file ? size_t(file->GetLength()) : 0, '\0');
        if (file && file->Read(text.data(), int(text.size())) != int(text.size()))
            text.clear();
        delete file;
        return text;
    }
};
} // namespace ProjectTest
