#pragma once
#include <atomic>
#include <cstdint>

#include "editors/PianoRollOwner.h"
#include "editors/SongRollOwner.h"
#include "ui/Widget.h"

class cEditGeometryBatch;
class cPianoRoll;
class cSongRoll;
class cTrackList;
struct cPatternEventChange;

// The page on which a song is arranged and its parts edited: the song roll
// (song view) or the piano roll on one part (pattern view), one at a time.
// Recording and record undo change the song on other threads; they reach the
// editors only through the page's flag words, which the hooks set and each
// drawn frame consumes, so any number of changes between two frames rebuild
// the visible roll once. The page lends both rolls its vertex store.
class cSequencerUI : public cWidget, public cSongRollOwner, public cPianoRollOwner
{
public:
    enum eViewMode : int32_t
    {
        kPatternView = 0,
        kSongView = 1,
    };
    // Bits of the flag words.
    enum : uint32_t
    {
        kRebuild = 1u << 0, // events or parts added or removed: views made again
        kRefresh = 1u << 2, // something changed in place: views refilled
    };

    cSequencerUI();

    // A project was activated, deactivated or reset: the song roll bound
    // afresh and framing the song, the piano roll's unsaved copy dropped.
    void ResetToSongView(cTrackList* tracks);
    void ShowSongView() override;
    void EditPart(cPatternInstance* part) override;
    cEditGeometryBatch* GetEditGeometryBatch() override { return mBatch; }

    // The recording hooks, on whichever thread changed the song.
    void OnEventsChanged(int32_t kind, const cPatternEventChange* change);
    void OnPartsChanged(int32_t kind, cPatternInstance* part);

    // The per-frame poll; the rolls are drawn as children after it.
    bool Draw(cDrawList& list) override;

    cSongRoll* GetSongRoll() const { return mSongRoll; }
    cPianoRoll* GetPianoRoll() const { return mPianoRoll; }
    int32_t GetViewMode() const { return mViewMode; }
    uint32_t PeekPatternChanges() const { return mPatternChanges.load(); }
    uint32_t PeekSongChanges() const { return mSongChanges.load(); }

protected:
    ~cSequencerUI() override;

private:
    void InstallHooks();
    void RemoveHooks();
    void UnbindPianoRoll();
    void PollExitRequest();
    void PollPatternChanges();
    void PollSongChanges();

    cEditGeometryBatch* mBatch;
    cPianoRoll* mPianoRoll;
    cSongRoll* mSongRoll;
    int32_t mViewMode = kSongView;
    std::atomic<uint32_t> mExitRequest{0};
    std::atomic<uint32_t> mPatternChanges{0};
    std::atomic<uint32_t> mSongChanges{0};
    // The open part, read by the hooks on the recording thread.
    std::atomic<cPatternInstance*> mOpenPart{nullptr};
};
