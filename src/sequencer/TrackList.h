#pragma once
#include <cstdint>
#include <vector>

#include "base/Singleton.h"

class cPattern;
class cTrack;
struct cPatternEvent;

namespace File
{
class cFile;
} // namespace File

// The song's tracks, at most 64, in 16 groups: one per instrument slot, each
// holding that slot's tracks together and in slot order, with one selected
// track that takes the instrument's live input. Owned by the sequencer;
// everything runs under its lock.
class cTrackList : public Base::cSingleton<cTrackList>
{
public:
    static constexpr int32_t kMaxTracks = 64;
    static constexpr int32_t kGroupCount = 16;

    // An empty group has first == end, both at the end of the group before it.
    struct cGroup
    {
        int32_t first = 0;
        int32_t end = 0;
        int32_t selected = 0;
    };

    cTrackList();
    ~cTrackList();
    cTrackList(const cTrackList&) = delete;
    cTrackList& operator=(const cTrackList&) = delete;

    // Into the group of a slot at an index in the group (past its end, or
    // negative: at its end); the track then finds its place in the song.
    // The new index, or -1 (the track stays the caller's) when 64 tracks
    // exist or the slot is outside 0..15.
    int32_t InsertTrack(cTrack* track, int32_t slot, int32_t indexInGroup);
    // Silences the track and takes it out; the caller deletes it. Null for
    // an index out of range.
    cTrack* RemoveTrack(int32_t index);
    // The track becomes its group's input track; the others commit what
    // they were recording.
    void SelectChannelTrack(int32_t index);
    // The block's playback on the audio thread: every audible track plays up
    // to the position.
    void PlayUpTo(int32_t ticks);
    int32_t GetSongLength() const;
    int32_t CountParts() const;
    // Deletes every track.
    void Clear();
    void Regroup();
    // The song file's section: the track count and every track. Reading (of
    // a checked stream, into an empty list) converts what older files
    // stored: controller ids of version 3, the channels before version 5,
    // which also gain an empty track in slot 0's group.
    void Serialise(File::cFile& stream);

    int32_t GetCount() const { return static_cast<int32_t>(mTracks.size()); }
    cTrack* GetTrack(int32_t index) const;
    const cGroup& GetGroup(int32_t slot) const { return mGroups[slot]; }

    // What pattern edits tell the tracks playing the pattern.
    void OnEventInserted(const cPattern* pattern, cPatternEvent* event);
    void OnEventRemoved(const cPattern* pattern, const cPatternEvent* event);
    // Every track, whatever it plays.
    void ReleaseEventEverywhere(const cPatternEvent* event);
    void OnLoopLengthChanged(const cPattern* pattern);
    void OnContentsSwapped(const cPattern* first, const cPattern* second);

    // Transport changes, for every track.
    void OnTransportStateChanged(int32_t oldState);
    void LocateAll(int32_t ticks);
    void RelocateAll(int32_t newTicks, int32_t oldTicks);

private:
    void Renumber();
    void ReadTracks(File::cFile& stream);
    void ConvertVersionThreeControllers();

    std::vector<cTrack*> mTracks;
    cGroup mGroups[kGroupCount];
};
