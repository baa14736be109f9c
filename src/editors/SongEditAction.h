#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/GenString.h"
#include "editors/SongEditModel.h"
#include "sequencer/Pattern.h"

class cInstrument;
class cInstrumentPackage;
class cTrack;

// What each kind of action works with.
struct cSongEditParameters
{
    int32_t deltaTicks = 0; // a length delta, a move or copy offset, or the split tick
    int32_t deltaRows = 0;
    int32_t row = 0; // drawing
    float tickA = 0.0f;
    float tickB = 0.0f;
    int32_t slot = 0;  // tracks and instruments
    int32_t track = 0; // "Del track"
    cInstrumentPackage* package = nullptr;
    const char* name = nullptr; // copied into the action
};

// One change of the arrangement made in the song roll, with what it needs to
// be undone and redone. Undo is by the inverse operation: parts, tracks and
// instruments an action takes out stay alive in it, so an undo puts back the
// very same objects and a redo works on them again. A done action owns what
// it removed; an undone one owns only what its undo took out of the song (an
// instrument it added or swapped in), so nothing is made twice or lost.
class cSongEditAction
{
public:
    using cPartView = cSongEditModel::cPartView;

    enum eKind : uint32_t
    {
        kNone = 0,
        kLength = 1,
        kMove = 2,
        kDelete = 3,
        kCopy = 4,
        kSplit = 5,
        kJoin = 6,
        kDraw = 7,
        kToPattern = 8,
        kToPart = 9,
        kEditPart = 10,
        kAddTrack = 11,
        kDeleteTrack = 12,
        kAddInstrument = 13,
        kSwapInstrument = 14,
        kDeleteInstrument = 15,
        kKindCount = 16,
    };

    enum eState : int32_t
    {
        kNew = 0,
        kDone = 1,
        kUndone = 2,
    };

    static constexpr int32_t kNameCapacity = 32;
    static constexpr int32_t kMaxSplitPieces = 997;

    explicit cSongEditAction(cSongEditModel* model);
    ~cSongEditAction();
    cSongEditAction(const cSongEditAction&) = delete;
    cSongEditAction& operator=(const cSongEditAction&) = delete;

    // Releases for good what the action keeps; back to no kind, new.
    void Reset();
    // The first run, or again as a redo.
    void Execute();
    void Undo();
    const char* GetName() const;
    static const char* GetKindName(uint32_t kind);

    // The parameters; the name is copied (cut to 32 characters).
    void SetParameters(const cSongEditParameters& parameters);
    const cSongEditParameters& GetParameters() const { return mParameters; }
    // The pattern as it was before a piano-roll visit, and the visited one.
    void SetPatternEdit(cPattern* target, const cPattern& backup);

    eState GetState() const { return mState; }
    int32_t GetPartCount() const { return mPartCount; }
    int32_t GetSubjectCount() const { return int32_t(mSubjects.size()); }
    int32_t GetRemovedCount() const { return int32_t(mRemoved.size()); }
    int32_t GetCreatedCount() const { return int32_t(mCreated.size()); }
    // The index of the track an add made (-1 before or when none could be).
    int32_t GetInsertedTrack() const { return mInsertedTrack; }
    int32_t GetKeptTrackCount() const { return int32_t(mKeptTracks.size()); }
    cInstrument* GetKeptInstrument() const { return mKeptInstrument; }
    const char* GetInstrumentName() const { return mName.CStr(); }

    eKind kind = kNone;

private:
    // A part the action took out of the song, and whether it had a view.
    struct cRemoved
    {
        cPatternInstance* part;
        bool hadView;
        int32_t createdBefore; // what the action had made when it took the part out
    };
    // A part the action made, with its view when one was free.
    struct cCreated
    {
        cPatternInstance* part;
        cPartView* view;
    };

    bool IsFirstRun() const { return mState == kNew; }
    bool IsInstrumentKind() const;
    void Apply();
    void Reverse();
    // The instrument kinds' slot changes, made outside the sequencer lock.
    void ApplySlot();
    void ReverseSlot();
    void Release();

    // Parts.
    void ChangeLengths(int32_t sign);
    void MoveParts(int32_t sign);
    void DeleteParts();
    void CopyParts();
    void SplitParts();
    void JoinParts();
    void DrawPart();
    void ConvertParts();
    void UnconvertParts();
    void SwapPatternEdit();
    // Out of its track; its view, when it has one, is freed.
    void TakeOut(cPatternInstance* part);
    void Create(cPatternInstance* part, cTrack* track);
    // Removes and releases what the action made from that entry on, last first.
    void RemoveCreated(size_t from = 0);
    // Puts the removed parts back, last first, with selected views that
    // become the subjects again.
    void PutBackRemoved();

    // Tracks and instruments.
    void AddTrack();
    void RemoveAddedTrack();
    void DeleteTrack();
    void PutBackTrack();
    void RemoveInstrumentTracks();
    void PutBackInstrumentTracks();
    // Frees the views of the track's parts, keeping which parts had them.
    void FreeTrackViews(const cTrack* track);
    // Gives those parts views again, in the reverse order of freeing.
    void GiveBackTrackViews();
    void DestroyInstrument(cInstrument*& instrument);

    cSongEditModel* mModel;
    eState mState = kNew;
    cTrackList* mTracks = nullptr;
    int32_t mPartCount = 0;
    cSongEditParameters mParameters;
    cGenStringFixed<kNameCapacity + 1> mName;

    std::vector<cPartView*> mSubjects;
    std::vector<cRemoved> mRemoved;
    std::vector<cCreated> mCreated;
    std::vector<cPatternInstance*> mFreedViews; // in the order their views were freed
    std::vector<int32_t> mLoopLengths;          // "Length": each subject's loop before the first run
    std::vector<int32_t> mSharedNumbers;        // "To pattern": the shared pattern each subject took

    cPattern mPatternCopy;
    cPattern* mTarget = nullptr;
    cPartView* mTargetView = nullptr; // a part showing the target

    int32_t mInsertedTrack = -1;
    int32_t mPlaceInGroup = 0;
    std::vector<cTrack*> mKeptTracks;
    cInstrument* mKeptInstrument = nullptr; // the replaced, removed or (undone) added one
};
