#include "instruments/synth/AnalogueSynthPackage.h"

#include "audio/AudioLock.h"
#include "audio/InstrumentIcons.h"
#include "audio/InstrumentSlotTable.h"
#include "base/CriticalSection.h"
#include "base/PathUtils.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
// Names of the module's parameters.
const char* const kControllerNames[] = {"Pitch Bend", "Volume", "Pan",    "",    "Pad1 X",
                                        "Pad1 Y",     "Pad2 X", "Pad2 Y", "Knob"};

// Lane groups: 0 the knob, 1 the first XY pad, 2 the second, 3 bend, volume
// and pan; bend and pan are centred.
constexpr float kControllerMax = 32767.0f;
const cInstrumentPackage::cControllerParam kControllerParams[] = {
    {8, 0, 0.0f, kControllerMax, 1.0f, 0},       {4, 1, 0.0f, kControllerMax, 1.0f, 0},
    {5, 1, 0.0f, kControllerMax, 1.0f, 0},       {6, 2, 0.0f, kControllerMax, 1.0f, 0},
    {7, 2, 0.0f, kControllerMax, 1.0f, 0},       {0, 3, -32768.0f, kControllerMax, 1.0f, 1},
    {1, 3, 0.0f, kControllerMax, 1.0f, 0},       {2, 3, 0.0f, kControllerMax, 1.0f, 1},
};

// Volume and pan on their usual controllers, the pads and the knob on 70..74.
const cInstrumentPackage::cControllerAssignment kDefaultAssignments[] = {
    {1, 7, 0}, {2, 10, 0}, {4, 70, 0}, {5, 71, 0}, {6, 72, 0}, {7, 73, 0}, {8, 74, 0},
};

constexpr uint32_t kProgramBankKindMask = 0x00FF0000u;
constexpr uint32_t kProgramIdMask = 0x0000FFFFu;

// A part's program change that selects the single.
bool SelectsSingle(const cPatternInstance& part, int32_t id)
{
    const uint32_t word = part.programWord;
    return word > 0xFFFFFFu && (word & kProgramBankKindMask) == 0 && int32_t(word & kProgramIdMask) == id;
}

cAnalogueSynth& SynthOf(cInstrument* instrument)
{
    return *static_cast<cAnalogueSynthInstrument*>(instrument)->GetSynth();
}

bool PlaysSingle(cInstrument* instrument, int32_t id)
{
    const cAnalogueSynth& synth = SynthOf(instrument);
    return synth.GetMode() == cAnalogueSynth::kModeSingle && synth.GetSingleId() == id;
}

// Calls visit (instrument, part) for every part of every track, under the
// sequencer's lock; visit returns true to stop.
template <class tVisit>
bool ForEachPart(tVisit visit)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!sequencer || !slots)
        return false;
    cScopedLock lock(sequencer->GetLock());
    const cTrackList* tracks = sequencer->GetTrackList();
    for (int32_t i = 0; i < tracks->GetCount(); ++i)
    {
        const cTrack* track = tracks->GetTrack(i);
        cInstrument* owner = slots->GetInstrument(track->GetChannel());
        for (cPatternInstance* part = track->GetFirstPart(); part; part = part->next)
            if (visit(owner, *part))
                return true;
    }
    return false;
}
} // namespace

cAnalogueSynthPackage::cAnalogueSynthPackage() : mStore(std::make_unique<cAnalogueSynthPresetStore>())
{
    mName.AssignCStr("Kest");
    // The grid's cells and the type lists show the package by these, as
    // they do the mixing desk and the pads.
    mGridIconSprite = InstrumentIcons::kSynthGrid;
    mListIconSprite = InstrumentIcons::kSynthList;
    LoadGlobalBanks();
    SetControllerTables(kControllerNames, kControllerParams, kDefaultAssignments);
    CreateKeyStripDrawer();
    mEditor = NewAnalogueSynthEditor(this);
    if (mEditor)
        mUserInterface = mEditor->GetPage();
}

cAnalogueSynthPackage::~cAnalogueSynthPackage()
{
    if (mEditor)
        mEditor->SetInstrument(nullptr);
    while (cInstrument* instrument = mInstruments.PopFront())
        delete instrument;
    if (mEditor)
        mEditor->Destroy();
}

// Nobody is told of a bank that is missing or damaged: its presets stay init.
void cAnalogueSynthPackage::LoadGlobalBanks()
{
    for (int32_t bank = 0; bank < cAnalogueSynthPresetStore::kGlobalBankCount; ++bank)
    {
        cGenStringFixed<64> path;
        GetGlobalBankPath(bank, path);
        cGenStringFixed<256> error;
        LoadBank(*mStore, bank, path, nullptr, 1, error);
    }
}

cInstrument* cAnalogueSynthPackage::CreateInstrument(int32_t)
{
    auto* instrument = new cAnalogueSynthInstrument(this);
    instrument->GetSynth()->SetStore(mStore.get());
    AddInstrument(instrument);
    return instrument;
}

void cAnalogueSynthPackage::DestroyInstrument(cInstrument* instrument)
{
    if (!instrument)
        return;
    if (mEditor && mEditor->GetInstrument() == instrument)
        mEditor->SetInstrument(nullptr);
    RemoveInstrument(instrument);
    delete instrument;
}

bool cAnalogueSynthPackage::IsSampleInUse(const cGenString& path)
{
    if (path.IsEmpty())
        return false;
    for (cInstrument* instrument = mInstruments.GetFirst(); instrument; instrument = instrument->GetNext())
    {
        const cAnalogueSynth& synth = SynthOf(instrument);
        if (synth.GetMode() == cAnalogueSynth::kModeSingle &&
            cGenString::EqualsNoCase(synth.GetCurrentSamplePath(), path))
            return true;
    }
    return mStore->IsSampleInUse(path);
}

void cAnalogueSynthPackage::ExportMapBegin() { mStore->ExportMapBegin(); }

void cAnalogueSynthPackage::ExportMapCollect()
{
    mStore->ExportMapCollect();
    for (cInstrument* instrument = mInstruments.GetFirst(); instrument; instrument = instrument->GetNext())
    {
        const cAnalogueSynth& synth = SynthOf(instrument);
        if (synth.GetMode() == cAnalogueSynth::kModeSingle)
            mStore->AddUsedPreset(synth.GetSingleId(), cInstrument::kPresetSingle);
        else
            mStore->AddUsedPreset(synth.GetMultiId(), cInstrument::kPresetMulti);
    }
}

void cAnalogueSynthPackage::ExportMapFinalize() { mStore->ExportMapFinalize(); }

bool cAnalogueSynthPackage::IsSingleShared(int32_t id, const cAnalogueSynthInstrument& instrument) const
{
    for (cInstrument* other = mInstruments.GetFirst(); other; other = other->GetNext())
        if (other != &instrument && PlaysSingle(other, id))
            return true;
    return ForEachPart([&](cInstrument* owner, const cPatternInstance& part) {
        return owner != &instrument && SelectsSingle(part, id);
    });
}

void cAnalogueSynthPackage::RepointPreset(int32_t oldId, int32_t newId, cAnalogueSynthInstrument& instrument)
{
    if (PlaysSingle(&instrument, oldId))
        instrument.GetSynth()->WritePreset(newId);
    ForEachPart([&](cInstrument* owner, cPatternInstance& part) {
        if (owner == &instrument && SelectsSingle(part, oldId))
            part.programWord = (part.programWord & ~kProgramIdMask) | (uint32_t(newId) & kProgramIdMask);
        return false;
    });
}

// The modules' records, the store and the song change while the audio
// thread may play from them.
void cAnalogueSynthPackage::ExportMapApply()
{
    cScopedAudioLock lock;
    ExportMapCollect();
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->ReportPartPresets();
    for (cInstrument* instrument = mInstruments.GetFirst(); instrument; instrument = instrument->GetNext())
    {
        cAnalogueSynth& synth = SynthOf(instrument);
        if (!synth.IsModified() || synth.GetMode() != cAnalogueSynth::kModeSingle)
            continue;
        const int32_t id = synth.GetSingleId();
        auto& synthInstrument = *static_cast<cAnalogueSynthInstrument*>(instrument);
        if (!IsSingleShared(id, synthInstrument))
            synth.WritePreset(id);
        else if (const int32_t free = mStore->NextFreeProjectSingle(); free != -1)
            RepointPreset(id, free, synthInstrument);
    }
}

bool cAnalogueSynthPackage::Reload()
{
    cScopedAudioLock lock;
    mStore->ClearProjectBank();
    for (cInstrument* instrument = mInstruments.GetFirst(); instrument; instrument = instrument->GetNext())
        SynthOf(instrument).SetStore(mStore.get());
    return true;
}

bool cAnalogueSynthPackage::LoadProjectData(const cGenString& folder, cSampleRelocator* relocator, int32_t mode,
                                            cGenString& errorText)
{
    cGenStringFixed<512> path(folder.CStr());
    PathAppend(path, cGenString(kProjectBankName));
    // The project bank is always saved under its normal name.
    cGenStringFixed<256> reason;
    if (LoadBank(*mStore, cAnalogueSynthPresetStore::kProjectBank, path, relocator, mode == 3 ? 1 : mode, reason))
        return true;
    // Nothing of another project's bank may stay in its place.
    {
        cScopedAudioLock lock;
        mStore->ClearProjectBank();
    }
    errorText.Printf("Couldn't load the sound bank '%s.bnk': %s", kProjectBankName, reason.CStr());
    return false;
}

bool cAnalogueSynthPackage::SaveProjectData(const cGenString& folder, cSampleRelocator* relocator, bool)
{
    cGenStringFixed<512> path(folder.CStr());
    PathAppend(path, cGenString(kProjectBankName));
    bool ok = SaveBank(*mStore, cAnalogueSynthPresetStore::kProjectBank, path, relocator, false);
    for (int32_t bank = 0; bank < cAnalogueSynthPresetStore::kGlobalBankCount; ++bank)
        if (mStore->IsBankModified(bank))
            ok = SaveGlobalBank(bank) && ok;
    return ok;
}

bool cAnalogueSynthPackage::SaveGlobalBank(int32_t bank)
{
    cGenStringFixed<64> path;
    GetGlobalBankPath(bank, path);
    return SaveBank(*mStore, bank, path, nullptr, false);
}

void cAnalogueSynthPackage::GetGlobalBankPath(int32_t bank, cGenString& path)
{
    path.Printf(kGlobalBankFormat, cAnalogueSynthPresetStore::GetBankLetter(bank));
}
