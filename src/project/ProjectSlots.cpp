#include "project/ProjectSlots.h"

#include <cstring>

#include "audio/AudioLock.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "base/CriticalSection.h"
#include "mixer/Mixer.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr int32_t kSlotCount = cInstrumentSlotTable::kSlotCount;

bool IsMixerInstrument(const cInstrument* instrument)
{
    return instrument && instrument->GetPackage() && std::strcmp(instrument->GetPackage()->GetName(), "Mixer") == 0;
}

cInstrument* NextInstrumentAbove(const cInstrumentSlotTable& slots, int32_t slot)
{
    for (int32_t next = slot + 1; next < kSlotCount; ++next)
        if (cInstrument* instrument = slots.GetInstrument(next))
            return instrument;
    return nullptr;
}

template <class F>
void ForEachInstrument(F&& visit)
{
    if (cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance())
        for (int32_t slot = 0; slot < kSlotCount; ++slot)
            if (cInstrument* instrument = slots->GetInstrument(slot))
                visit(*instrument);
}
} // namespace

cMixer* GetMixer()
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    cInstrument* desk = slots ? slots->GetInstrument(0) : nullptr;
    return IsMixerInstrument(desk) ? dynamic_cast<cMixer*>(desk->GetModule()) : nullptr;
}

cInstrument* SetInstrumentSlot(cInstrument* instrument, int32_t slot, bool deleteOld)
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!slots || slot < 0 || slot >= kSlotCount)
        return nullptr;
    cScopedAudioLock lock;
    cInstrument* old = slots->GetInstrument(slot);
    if (cMixer* mixer = GetMixer(); old && mixer)
        mixer->RemoveChannels(old);
    cInstrument* result = slots->SetSlot(slot, instrument, deleteOld);
    cMixer* mixer = GetMixer();
    if (!instrument || !mixer)
        return result;
    if (slot > 0)
        mixer->InsertChannels(instrument, NextInstrumentAbove(*slots, slot));
    else
    {
        // A desk that arrives after the instruments takes all their outputs.
        for (int32_t other = 1; other < kSlotCount; ++other)
            if (cInstrument* input = slots->GetInstrument(other))
                mixer->InsertChannels(input, nullptr);
    }
    return result;
}

void StopAllInstruments(uint32_t flags)
{
    ForEachInstrument([flags](cInstrument& instrument) { instrument.AllNotesOff(flags); });
}

void ResetAllInstrumentModules()
{
    ForEachInstrument([](cInstrument& instrument) {
        if (cAudioModule* module = instrument.GetModule())
        {
            cAudioEvent reset;
            reset.type = kAudioEventReset;
            module->PostEvent(reset); // a full queue drops it
        }
    });
}

void CreateMissingInstrumentTracks()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    if (!sequencer || !slots)
        return;
    cScopedLock lock(sequencer->GetLock());
    cTrackList* tracks = sequencer->GetTrackList();
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        const cTrackList::cGroup& group = tracks->GetGroup(slot);
        if (!slots->GetInstrument(slot) || group.first != group.end)
            continue;
        auto* track = new cTrack();
        if (sequencer->InsertTrack(track, slot, -1) < 0)
            delete track; // the song holds 64 tracks already
    }
    sequencer->UpdateAudibleTracks();
}

bool IsSampleInUseByProject(const cGenString& path)
{
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    for (cInstrumentPackage* package = packages ? packages->GetFirst() : nullptr; package; package = package->GetNext())
        if (package->IsSampleInUse(path))
            return true;
    return false;
}
