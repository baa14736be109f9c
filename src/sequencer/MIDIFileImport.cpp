// A song read from a MIDI file goes in after the end of the current song:
// each channel's slot gets an instrument and a track when its group has
// none, and the channel's events are cut into parts of whole bars, each
// aiming at about 500 events and ending after its last event has ended.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "audio/AudioEvent.h"
#include "audio/AudioLock.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/MIDIControllerMap.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/GenString.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
using eKind = cMIDIFileSong::eEventKind;
using sEvent = cMIDIFileSong::sEvent;
using sChannel = cMIDIFileSong::sChannel;

constexpr int32_t kSlotCount = cInstrumentSlotTable::kSlotCount;
constexpr int32_t kMaxSongParts = 1000;
constexpr int32_t kMaxPartEvents = cPattern::kMaxEvents;
constexpr int32_t kAimedEvents = 500;
constexpr int32_t kMaxPartBars = 499;
constexpr int32_t kLeastPartTicks = 256;
// A controller or bend counts as lasting this long, so a part never ends on it.
constexpr int32_t kControllerTicks = 16;
constexpr int32_t kBankSelectMSB = 0;
constexpr int32_t kBankSelectLSB = 32;
constexpr uint32_t kPresetParameter = 1;
constexpr const char* kDefaultPackage = "Kest";
constexpr const char* kMixerPackage = "Mixer";

bool IsDropped(const sEvent& event) { return event.kind == eKind::Marker || event.kind == eKind::SequencerData; }

int64_t EventEnd(const sEvent& event)
{
    switch (event.kind)
    {
    case eKind::Note:
        return int64_t(event.time) + event.length;
    case eKind::Controller:
    case eKind::PitchBend:
        return int64_t(event.time) + kControllerTicks;
    default:
        return event.time;
    }
}

bool IsMixingDesk(const cInstrument* instrument)
{
    return instrument && instrument->GetPackage() && std::strcmp(instrument->GetPackage()->GetName(), kMixerPackage) == 0;
}

cInstrument* SlotInstrument(int32_t slot)
{
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    return slots ? slots->GetInstrument(slot) : nullptr;
}

void PutIntoSlot(cInstrument* instrument, int32_t slot)
{
    if (cMIDIFileProjectHost* host = GetMIDIFileProjectHost())
    {
        host->SetInstrumentSlot(instrument, slot, true);
        return;
    }
    if (cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance())
    {
        cScopedAudioLock lock;
        slots->SetSlot(slot, instrument, true);
    }
}

// The package the instrument name's first word names (an export writes
// "<package> : <preset>"), else the synthesizer.
cInstrument* CreateChannelInstrument(const cGenString& instrumentName)
{
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    if (!packages)
        return nullptr;
    const char* name = instrumentName.CStr();
    if (const char* blank = std::strchr(name, ' '); blank && blank != name)
    {
        cGenString word;
        word.AssignChars(name, int(blank - name));
        if (cInstrument* instrument = packages->CreateInstrument(word.CStr(), 0))
            return instrument;
    }
    return packages->CreateInstrument(kDefaultPackage, 0);
}

// A range of one channel's events that becomes one part.
struct cRange
{
    size_t first = 0;
    size_t last = 0;
    int32_t start = 0; // ticks of the file, on a bar
    int32_t bars = 0;
};

class cImport
{
public:
    cImport(cSequencer& sequencer, cMIDIFileSong& song, bool applyPresets)
        : mSequencer(sequencer), mSong(song), mApplyPresets(applyPresets),
          mTicksPerBar(std::max(gTransport.ticksPerBar.load(std::memory_order_relaxed), 1))
    {
    }

    void Run()
    {
        mStart = StartPosition();
        for (int32_t slot = 0; slot < kSlotCount; ++slot)
        {
            sChannel& channel = mSong.channels[slot];
            if (channel.events.empty())
                continue;
            if (slot == 0 && IsMixingDesk(SlotInstrument(0)))
                ImportBesideTheDesk(channel);
            else
                ImportChannel(channel, slot, slot, [](const sEvent&) { return true; });
        }
    }

private:
    // After the song's end, on the next bar line.
    int32_t StartPosition()
    {
        int32_t length;
        {
            cScopedLock lock(mSequencer.GetLock());
            length = mSequencer.GetTrackList()->GetSongLength();
        }
        const int32_t intoBar = length % mTicksPerBar;
        return intoBar > 0 ? length + mTicksPerBar - intoBar : length;
    }

    // The desk cannot play notes: a channel 1 that has notes is an
    // instrument's part, and goes whole, with its volume, pan and fades, to
    // an instrument of its own in a free slot (or nowhere when none is
    // free), never to the master. A channel 1 without notes is the desk's
    // own automation, as an export writes it, and stays with the desk.
    void ImportBesideTheDesk(sChannel& channel)
    {
        const bool hasNotes = std::any_of(channel.events.begin(), channel.events.end(),
                                          [](const sEvent& event) { return event.kind == eKind::Note; });
        if (!hasNotes)
            ImportChannel(channel, 0, 0,
                          [](const sEvent& event) { return event.kind == eKind::Controller || event.kind == eKind::Program; });
        else if (const int32_t slot = FreeSlot(); slot > 0)
            ImportChannel(channel, 0, slot, [](const sEvent&) { return true; });
    }

    // The first slot with no instrument and no track that no channel of the
    // file will take.
    int32_t FreeSlot()
    {
        cScopedLock lock(mSequencer.GetLock());
        for (int32_t slot = 1; slot < kSlotCount; ++slot)
        {
            const cTrackList::cGroup& group = mSequencer.GetTrackList()->GetGroup(slot);
            if (!SlotInstrument(slot) && group.first == group.end && mSong.channels[slot].events.empty())
                return slot;
        }
        return -1;
    }

    template <class tKeep>
    void ImportChannel(sChannel& channel, int32_t channelIndex, int32_t slot, tKeep keep)
    {
        std::vector<sEvent> events;
        events.reserve(channel.events.size());
        std::copy_if(channel.events.begin(), channel.events.end(), std::back_inserter(events), keep);
        if (events.empty())
            return;
        cTrack* track = FirstTrack(slot);
        if (!track)
            track = AddTrack(channel, channelIndex, slot);
        if (!track)
            return;
        const cMIDIControllerMap* map = ControllerMap(slot);
        for (size_t first = 0; first < events.size();)
        {
            cRange range;
            if (!ChooseRange(events, first, range))
                break;
            CreatePart(*track, events, range, channel, map);
            first = range.last + 1;
        }
        if (mApplyPresets)
            ApplyPreset(channel, slot);
    }

    cTrack* FirstTrack(int32_t slot)
    {
        cScopedLock lock(mSequencer.GetLock());
        const cTrackList::cGroup& group = mSequencer.GetTrackList()->GetGroup(slot);
        return group.first != group.end ? mSequencer.GetTrackList()->GetTrack(group.first) : nullptr;
    }

    // A new instrument replaces the slot's only once it exists and its track
    // has found room; the desk is never replaced.
    cTrack* AddTrack(const sChannel& channel, int32_t channelIndex, int32_t slot)
    {
        cInstrument* instrument = IsMixingDesk(SlotInstrument(slot)) ? nullptr : CreateChannelInstrument(channel.instrumentName);
        auto track = std::make_unique<cTrack>();
        {
            cScopedLock lock(mSequencer.GetLock());
            if (mSequencer.InsertTrack(track.get(), slot, -1) < 0)
            {
                if (instrument)
                    instrument->GetPackage()->DestroyInstrument(instrument);
                return nullptr;
            }
            mSequencer.UpdateAudibleTracks();
        }
        if (instrument)
        {
            cGenStringFixed<16> name;
            name.Printf("MIDI %d", int(channelIndex + 1));
            instrument->SetName(name.CStr());
            PutIntoSlot(instrument, slot);
        }
        return track.release();
    }

    static const cMIDIControllerMap* ControllerMap(int32_t slot)
    {
        const cInstrument* instrument = SlotInstrument(slot);
        return instrument && instrument->GetPackage() ? instrument->GetPackage()->GetControllerMap() : nullptr;
    }

    // From first: the number of whole bars whose events come nearest 500
    // and, better, all end inside them.
    bool ChooseRange(const std::vector<sEvent>& events, size_t first, cRange& range) const
    {
        size_t end = events.size();
        while (first < end && IsDropped(events[first]))
            ++first;
        while (end > first && IsDropped(events[end - 1]))
            --end;
        if (first >= end)
            return false;
        range.first = first;
        range.start = events[first].time - events[first].time % mTicksPerBar;
        double best = -1.0;
        size_t counted = first;
        int64_t latestEnd = INT64_MIN;
        for (int32_t bars = 1; bars <= kMaxPartBars; ++bars)
        {
            const int64_t barsEnd = int64_t(range.start) + int64_t(bars) * mTicksPerBar;
            while (counted < end && events[counted].time < barsEnd)
                latestEnd = std::max(latestEnd, EventEnd(events[counted++]));
            const int32_t n = int32_t(counted - first);
            if (n > kMaxPartEvents)
            {
                // A bar denser than a pattern holds: it alone, cut later.
                if (range.bars == 0)
                {
                    range.bars = bars;
                    range.last = counted - 1;
                }
                break;
            }
            const bool allInside = latestEnd <= barsEnd;
            const double score = 1.0 - std::abs(n - kAimedEvents) / double(kAimedEvents) + (allInside ? 1.0 : 0.0);
            if (score >= best)
            {
                best = score;
                range.bars = bars;
                range.last = first + size_t(n) - 1;
            }
            if (counted == end && allInside)
                break;
        }
        range.last = std::clamp(range.last, first, end - 1);
        return true;
    }

    void CreatePart(cTrack& track, const std::vector<sEvent>& events, const cRange& range, sChannel& channel,
                    const cMIDIControllerMap* map)
    {
        const int64_t position = int64_t(range.start) + mStart;
        if (position >= cSequencer::kSongEnd)
            return;
        const int64_t end = std::min<int64_t>(position + int64_t(range.bars) * mTicksPerBar, cSequencer::kSongEnd);
        const int32_t length = int32_t(end - position);
        if (length < kLeastPartTicks)
            return;
        cScopedLock lock(mSequencer.GetLock());
        if (mSequencer.GetTrackList()->CountParts() >= kMaxSongParts)
            return;
        cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
        if (!part)
            return;
        part->start = int32_t(position);
        part->length = length;
        part->pattern->loopLength = length;
        part->owner = &track;
        const size_t last = std::min(range.last, range.first + kMaxPartEvents - 1);
        for (size_t i = range.first; i <= last; ++i)
            if (!FillEvent(*part->pattern, events[i], events[i].time - range.start, length, channel, map))
                break;
        track.InsertPart(part);
    }

    // False once the pattern is full or the event lies past its end.
    static bool FillEvent(cPattern& pattern, const sEvent& event, int32_t offset, int32_t length, sChannel& channel,
                          const cMIDIControllerMap* map)
    {
        if (offset < 0)
            return true;
        if (offset >= length || pattern.count >= kMaxPartEvents)
            return false;
        switch (event.kind)
        {
        case eKind::Note:
            if (event.length > 0)
                AddNote(pattern, event, offset);
            break;
        case eKind::Controller:
            AddController(pattern, event, offset, channel, map);
            break;
        case eKind::PitchBend:
            AddControllerEvent(pattern, 0, (int32_t(event.data.bend) - 8192) * 4, offset);
            break;
        case eKind::Program:
            if (channel.program < 0)
                channel.program = event.data.bytes[0];
            break;
        default:
            break;
        }
        return true;
    }

    static void AddNote(cPattern& pattern, const sEvent& event, int32_t offset)
    {
        cPatternEvent* note = cPatternEvent::Allocate();
        note->SetNote(event.data.bytes[0]);
        note->SetVelocity(event.data.bytes[1]);
        note->time = offset;
        note->length = event.length;
        pattern.InsertEventSorted(note);
    }

    static void AddController(cPattern& pattern, const sEvent& event, int32_t offset, sChannel& channel,
                              const cMIDIControllerMap* map)
    {
        const int32_t number = event.data.bytes[0];
        const int32_t value = event.data.bytes[1];
        if (number == kBankSelectMSB)
            return;
        if (number == kBankSelectLSB)
        {
            if (channel.bank < 0)
                channel.bank = value;
            return;
        }
        if (!map)
            return;
        const cMIDIControllerMap::cSlotList& listeners = map->GetReverseList(number);
        for (int32_t i = 0; i < listeners.count && pattern.count < kMaxPartEvents; ++i)
            AddControllerEvent(pattern, std::clamp(listeners.slots[i], 0, 255), value << 8, offset);
    }

    static void AddControllerEvent(cPattern& pattern, int32_t id, int32_t value, int32_t offset)
    {
        cPatternEvent* controller = cPatternEvent::Allocate();
        controller->flags = cPatternEvent::kFlagController;
        controller->data3 = uint8_t(id);
        controller->SetControllerValue(value);
        controller->time = offset;
        controller->length = kControllerTicks;
        pattern.InsertEventSorted(controller);
    }

    void ApplyPreset(const sChannel& channel, int32_t slot) const
    {
        cInstrument* instrument = SlotInstrument(slot);
        if (!instrument || IsMixingDesk(instrument))
            return;
        const int32_t preset = (channel.bank >= 0 ? channel.bank * 256 : 0) | (channel.program >= 0 ? channel.program : 0);
        if (cAudioModule* module = instrument->GetModule())
        {
            cAudioEvent event = MakeSetIntEvent(kPresetParameter, preset);
            event.slot = uint8_t(slot);
            module->PostEvent(event);
        }
        instrument->SetName(channel.trackName.CStr());
    }

    cSequencer& mSequencer;
    cMIDIFileSong& mSong;
    const bool mApplyPresets;
    const int32_t mTicksPerBar;
    int32_t mStart = 0;
};
} // namespace

bool ImportMIDIFileSong(cMIDIFileSong* song, bool applyPresets)
{
    std::unique_ptr<cMIDIFileSong> owned(song);
    cSequencer* sequencer = cSequencer::GetInstance();
    if (owned && sequencer)
        cImport(*sequencer, *owned, applyPresets).Run();
    return true;
}
