#include "sequencer/TrackList.h"

#include <algorithm>
#include <bitset>
#include <climits>

#include "audio/Transport.h"
#include "base/File.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/PatternTable.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/SongFileFormat.h"
#include "sequencer/Track.h"

cTrackList::cTrackList() : cSingleton(this) { mTracks.reserve(kMaxTracks); }

cTrackList::~cTrackList() { Clear(); }

cTrack* cTrackList::GetTrack(int32_t index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return mTracks[size_t(index)];
}

void cTrackList::Renumber()
{
    for (int32_t i = 0; i < GetCount(); ++i)
        mTracks[size_t(i)]->mIndex = i;
}

int32_t cTrackList::InsertTrack(cTrack* track, int32_t slot, int32_t indexInGroup)
{
    if (GetCount() >= kMaxTracks || slot < 0 || slot >= kGroupCount)
        return -1;
    const cGroup& group = mGroups[slot];
    const int32_t size = group.end - group.first;
    if (indexInGroup < 0 || indexInGroup > size)
        indexInGroup = size;
    const int32_t index = group.first + indexInGroup;
    track->mChannel = slot;
    mTracks.insert(mTracks.begin() + index, track);
    Renumber();
    Regroup();
    track->Locate(gTransport.position.load());
    return index;
}

cTrack* cTrackList::RemoveTrack(int32_t index)
{
    cTrack* track = GetTrack(index);
    if (!track)
        return nullptr;
    track->StopSoundingNotes();
    track->GetRecorder().CommitUpTo(gTransport.position.load());
    if (cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance())
        journal->OnTrackRemoved(track);
    mTracks.erase(mTracks.begin() + index);
    Renumber();
    Regroup();
    return track;
}

void cTrackList::SelectChannelTrack(int32_t index)
{
    const cTrack* chosen = GetTrack(index);
    if (!chosen)
        return;
    cGroup& group = mGroups[chosen->GetChannel()];
    for (int32_t i = group.first; i < group.end; ++i)
        mTracks[size_t(i)]->SetSelected(i == index);
    group.selected = index;
}

void cTrackList::PlayUpTo(int32_t ticks)
{
    for (cTrack* track : mTracks)
    {
        track->BeginBlock();
        if (!track->IsAudible())
            continue;
        if (!track->GetFirstPart())
            track->GetRecorder().CommitUpTo(ticks);
        else if (!track->GetCurrentPart() && track->FindPartAt(ticks, nullptr))
            track->Locate(ticks);
        track->CrossPatternLoop(ticks);
        track->PlayUpTo(ticks);
    }
}

int32_t cTrackList::GetSongLength() const
{
    int32_t length = 0;
    for (const cTrack* track : mTracks)
        length = std::max(length, track->GetEndTime());
    return length;
}

int32_t cTrackList::CountParts() const
{
    int32_t parts = 0;
    for (const cTrack* track : mTracks)
        parts += track->GetPartCount();
    return parts;
}

void cTrackList::Clear()
{
    for (cTrack* track : mTracks)
        delete track; // which silences it and releases its parts
    mTracks.clear();
    Regroup();
}

void cTrackList::Regroup()
{
    for (cGroup& group : mGroups)
        group = {INT32_MAX, INT32_MIN, -1};
    for (int32_t i = 0; i < GetCount(); ++i)
    {
        const cTrack* track = mTracks[size_t(i)];
        cGroup& group = mGroups[track->GetChannel()];
        group.first = std::min(group.first, i);
        group.end = std::max(group.end, i + 1);
        if (track->IsSelected())
            group.selected = i;
    }
    int32_t previousEnd = 0;
    for (cGroup& group : mGroups)
    {
        if (group.end == INT32_MIN)
        {
            group = {previousEnd, previousEnd, previousEnd};
            continue;
        }
        previousEnd = group.end;
        if (group.selected < group.first || group.selected >= group.end)
            group.selected = group.first;
        for (int32_t i = group.first; i < group.end; ++i)
        {
            cTrack* track = mTracks[size_t(i)];
            track->SetSelected(i == group.selected);
            track->mIndexInGroup = i - group.first;
        }
    }
}

void cTrackList::OnEventInserted(const cPattern* pattern, cPatternEvent* event)
{
    for (cTrack* track : mTracks)
        if (track->PlaysPattern(pattern))
            track->OnEventInserted(event);
}

void cTrackList::OnEventRemoved(const cPattern* pattern, const cPatternEvent* event)
{
    for (cTrack* track : mTracks)
        if (track->PlaysPattern(pattern))
            track->OnEventRemoved(event);
}

void cTrackList::ReleaseEventEverywhere(const cPatternEvent* event)
{
    for (cTrack* track : mTracks)
        track->ReleaseEventNote(event);
}

void cTrackList::OnLoopLengthChanged(const cPattern* pattern)
{
    for (cTrack* track : mTracks)
        if (track->PlaysPattern(pattern))
            track->Reseek();
}

void cTrackList::OnContentsSwapped(const cPattern* first, const cPattern* second)
{
    for (cTrack* track : mTracks)
        if (track->PlaysPattern(first) || track->PlaysPattern(second))
            track->OnContentsSwapped();
}

void cTrackList::OnTransportStateChanged(int32_t oldState)
{
    for (cTrack* track : mTracks)
        track->OnTransportStateChanged(oldState);
}

void cTrackList::LocateAll(int32_t ticks)
{
    for (cTrack* track : mTracks)
        track->Locate(ticks);
}

void cTrackList::RelocateAll(int32_t newTicks, int32_t oldTicks)
{
    for (cTrack* track : mTracks)
        track->Relocate(newTicks, oldTicks);
}

// --- The song file ---

void cTrackList::Serialise(File::cFile& stream)
{
    if (stream.IsReading())
    {
        ReadTracks(stream);
        return;
    }
    uint32_t count = static_cast<uint32_t>(GetCount());
    stream.SerialiseUInt32(&count);
    for (cTrack* track : mTracks)
        track->Serialise(stream);
}

void cTrackList::ReadTracks(File::cFile& stream)
{
    const int32_t version = stream.GetFileVersion();
    uint32_t count = 0;
    stream.SerialiseUInt32(&count);
    for (uint32_t i = 0; i < count; ++i)
    {
        cTrack* track = new cTrack();
        track->mIndex = static_cast<int32_t>(i);
        track->Serialise(stream);
        mTracks.push_back(track);
    }
    if (version == SongFile::kVersionWithOldPresets)
        ConvertVersionThreeControllers();
    // A slot's tracks stay together, in slot order, as the groups need.
    std::stable_sort(mTracks.begin(), mTracks.end(),
                     [](const cTrack* a, const cTrack* b) { return a->GetChannel() < b->GetChannel(); });
    Renumber();
    Regroup();
    if (version < SongFile::kFirstVersionWithChannels)
        InsertTrack(new cTrack(), 0, -1);
}

// Version 3 numbered the controllers of the first four tracks from 0 with 0
// unused, and those of the others from 0 as well; both moved up.
void cTrackList::ConvertVersionThreeControllers()
{
    constexpr int32_t kTracksWithUnusedZero = 4;
    constexpr int32_t kShiftOfFirstTracks = 3;
    constexpr int32_t kShiftOfOtherTracks = 4;
    constexpr int32_t kLastControllerId = 255;
    std::bitset<cPatternTable::kCount> converted;
    for (int32_t i = 0; i < GetCount(); ++i)
    {
        const bool first = i < kTracksWithUnusedZero;
        const int32_t shift = first ? kShiftOfFirstTracks : kShiftOfOtherTracks;
        for (const cPatternInstance* part = mTracks[size_t(i)]->GetFirstPart(); part; part = part->next)
        {
            if (!part->pattern || converted[size_t(part->patternNumber)])
                continue;
            converted[size_t(part->patternNumber)] = true;
            for (cPatternEvent* event = part->pattern->head; event; event = event->next)
                if (event->IsController() && !(first && event->data3 == 0))
                    event->data3 = static_cast<uint8_t>(std::min(event->data3 + shift, kLastControllerId));
        }
    }
}
