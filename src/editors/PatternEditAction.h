#pragma once
#include <cstdint>
#include <vector>

#include "editors/PatternEditModel.h"

class cPattern;
class cPatternInstance;
struct cPatternEvent;

// What each kind of action works with.
struct cPatternEditParameters
{
    // Semitones, a delta, a tick offset, a pattern number or a mode.
    int32_t amount = 0;
    float tickA = 0.0f;
    float tickB = 0.0f;
    // Drawn velocities or controller values; valueA is a drawn note's row.
    float valueA = 0.0f;
    float valueB = 0.0f;
    float interval = 0.0f; // grid, in ticks
    float swing = 0.0f;
    uint32_t controller = 0;
};

// One change of a pattern's events made in the piano roll, with what it
// needs to be undone and redone. Undo is by the inverse operation: events an
// action takes out stay alive in it, and values an operation may clamp are
// kept per event so an undo puts back exactly what was there. The views an
// action works on stay valid because views are only ever taken back from the
// free pool in the reverse order they were given to it, and the history is
// cleared whenever the views are rebuilt.
class cPatternEditAction
{
public:
    using cEventView = cPatternEditModel::cEventView;

    enum eKind : uint32_t
    {
        kNone = 0,
        kTranspose = 1,
        kOffsetVelocity = 2,
        kOffsetController = 3,
        kLength = 4,
        kMove = 5,
        kQuantize = 6,
        kDelete = 7,
        kDeleteAll = 8,
        kCopy = 9,
        kCopyPattern = 10,
        kClean = 11,
        kDrawNote = 12,
        kDrawVelocity = 13,
        kDrawController = 14,
        kKindCount = 15,
    };

    enum eState : int32_t
    {
        kNew = 0,
        kDone = 1,
        kUndone = 2,
    };

    enum eQuantizeMode : int32_t
    {
        kQuantizePosition = 1,
        kQuantizeLength = 2,
        kQuantizeEnd = 3,
    };

    enum eCleanMode : int32_t
    {
        kCleanIdentical = 0,
        kCleanRedundantControllers = 1,
        kCleanAllControllers = 2,
    };

    using cParameters = cPatternEditParameters;

    explicit cPatternEditAction(cPatternEditModel* model);
    ~cPatternEditAction();
    cPatternEditAction(const cPatternEditAction&) = delete;
    cPatternEditAction& operator=(const cPatternEditAction&) = delete;

    // Frees the events a done action took out; back to no kind, new.
    void Reset();
    // The first run, or again as a redo.
    void Execute();
    void Undo();
    const char* GetName() const;

    eState GetState() const { return mState; }
    int32_t GetEventCount() const { return mEventCount; }
    cPatternInstance* GetPart() const { return mPart; }
    cPattern* GetPattern() const { return mPattern; }
    int32_t GetItemCount() const { return int32_t(mItems.size()); }
    int32_t GetRemovedCount() const { return int32_t(mRemoved.size()); }
    int32_t GetCreatedCount() const { return int32_t(mCreated.size()); }

    eKind kind = kNone;
    cParameters parameters;

private:
    bool IsFirstRun() const { return mState == kNew; }
    void Apply();
    void Reverse();
    void Remember(int32_t value);

    // Kinds that change each item in place.
    void ApplyToItems();
    void ReverseItems();
    void ApplyQuantize(cEventView* view, size_t index);
    void ReverseQuantize(cEventView* view, size_t index);
    void ApplyQuantizeLength(cPatternEvent* event, size_t index, bool atEnd);

    // Kinds that remove, copy or draw events.
    void RemoveView(cEventView* view);
    void DeleteItems();
    void DeleteAllViews();
    void CopyItems();
    void UncopyItems();
    void CopyPattern();
    void PutBackRemoved();
    void RemoveItems();
    void FreeCreated();
    void Clean();
    void CleanIdentical();
    void CleanRedundantControllers();
    void CleanAllControllers();
    void DrawNotes();
    void DrawVelocities();
    void DrawControllers();
    template <class tTest>
    bool ClearRow(float start, float end, tTest test);
    cPatternEvent* NewNote(int32_t time, int32_t length) const;
    bool CanCreate() const;
    void Create(cPatternEvent* event);

    cPatternEditModel* mModel;
    eState mState = kNew;
    int32_t mEventCount = 0;
    cPatternInstance* mPart = nullptr;
    cPattern* mPattern = nullptr;
    std::vector<cEventView*> mItems;
    std::vector<cPatternEvent*> mRemoved;
    std::vector<cEventView*> mCreated;
    std::vector<int32_t> mValues; // per item: the value before, or a quantize delta
    std::vector<cEventView*> mKept; // the views a clean selected
};
