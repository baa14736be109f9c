#pragma once
#include <cstdint>

#include "audio/InstrumentPackage.h"
#include "base/IntrusiveList.h"
#include "editors/EditHistory.h"
#include "sequencer/Pattern.h"

class cPatternEditAction;
class cPatternInstance;
struct cPatternEditParameters;
struct cPatternEvent;
struct cQuantizeGrid;

// The piano roll's working view of one part's events. It copies no events:
// each event of the bound part's pattern gets a view with the geometry of the
// current lane (notes, velocities or one controller) in ticks and lane
// values, which hit testing, selection, drag limits and drawing read. Views
// and selection nodes come from fixed pools of 1000, so at most 1000 events
// of a pattern are shown and edited. Every change of events is an action
// kept in a history of four steps; the first change after binding also
// keeps a copy of the pattern as it was, for the song's own undo.
//
// Main thread only. Whatever reads or changes events holds the sequencer
// lock for the whole operation (cSongEditLock); views and the selection are
// the main thread's own and need no lock.
class cPatternEditModel
{
public:
    static constexpr int32_t kMaxViews = 1000;
    static constexpr int32_t kMaxEvents = cPattern::kMaxEvents;
    static constexpr int32_t kHistorySteps = 4;
    static constexpr float kSongEnd = 512000.0f;

    enum eLane : int32_t
    {
        kLaneNotes = 0,
        kLaneVelocity = 1,
        kLaneController = 2,
    };

    enum eViewFlags : uint32_t
    {
        kViewDrawn = 1,
        kViewSelectable = 2,
        kViewMarked = 4, // only inside SelectInverse
        kViewShown = kViewDrawn | kViewSelectable,
    };

    struct cSelectionNode;

    struct cEventView : Base::cIntrusiveListItem<cEventView>
    {
        cPatternEvent* event = nullptr; // null while free
        float start = 0.0f;             // ticks
        float end = 0.0f;
        float bottom = 0.0f; // lane values
        float top = 0.0f;
        uint32_t bottomColour = 0;
        uint32_t topColour = 0;
        int32_t note = 0; // 0 for controllers
        uint32_t flags = 0;
        cSelectionNode* selection = nullptr; // its node while selected
    };

    struct cSelectionNode : Base::cIntrusiveListItem<cSelectionNode>
    {
        cEventView* view = nullptr;
    };

    using cViewList = Base::cIntrusiveList<cEventView>;
    using cSelectionList = Base::cIntrusiveList<cSelectionNode>;

    // Over the selection, with the drag offsets applied.
    struct cSelectionBounds
    {
        float earliestStart = 0.0f;
        float latestEnd = 0.0f;
        float lowestBottom = 0.0f;
        float highestTop = 0.0f;
        float shortestLength = 0.0f;
        float lowestTop = 0.0f;
        int32_t lowestNote = 0;
        int32_t highestNote = 0;
    };

    cPatternEditModel();
    ~cPatternEditModel();
    cPatternEditModel(const cPatternEditModel&) = delete;
    cPatternEditModel& operator=(const cPatternEditModel&) = delete;

    // Binding and refresh.
    // Drops the backup and everything of the last part; the caller then
    // builds the views with RebuildViews.
    void Bind(cPatternInstance* part);
    // Every view free, no selection, no history.
    void Reset();
    // One view per event in pattern order, up to 1000; the history goes.
    void RebuildViews();
    // New geometry for events that already have views (recording changed them).
    void RefreshViews();
    // True when the selection was kept: between notes and velocities with
    // keepSelection; into velocities with a selection, only the selected
    // notes stay shown and editable.
    bool SetLane(int32_t lane, int32_t controllerIndex, bool keepSelection);

    // Views.
    // Null without an event or a free view.
    cEventView* AddView(cPatternEvent* event, bool select);
    // Also drops the view from the selection.
    void FreeView(cEventView* view);
    void UpdateView(cEventView* view, cPatternEvent* event);
    cEventView* FindViewOfEvent(const cPatternEvent* event) const;

    // Selection: each command leaves the bounds recomputed with no offsets
    // and returns whether anything is selected.
    // Selects a shown, selectable view (once).
    void Select(cEventView* view, bool updateBounds);
    void ToggleSelect(cEventView* view);
    void ClearSelection();
    bool SelectAll();
    bool SelectSameNotes();
    bool SelectToEnd();
    bool SelectToStart();
    bool SelectInverse();
    bool SelectInRect(float tickA, float valueA, float tickB, float valueB);
    // Kept aside while a touch gesture may still turn out otherwise.
    void SaveSelection();
    void RestoreSelection();
    void ForgetSelection();
    // The selectable view nearest the point within the radii: a view holding
    // the point beats every view that does not, and among those the shortest
    // wins; otherwise the nearest; the first in view order on a tie.
    cEventView* HitTest(float tick, float value, float tickRadius, float valueRadius) const;

    // Bounds and drag limits.
    void UpdateSelectionBounds(float timeOffset, float valueOffset, float lengthOffset);
    // Keep a moved selection on the grid and within the song.
    void ConstrainMove(const cQuantizeGrid& grid);
    void ConstrainLength(const cQuantizeGrid& grid);
    void ConstrainNoteShift(float lowest, float highest);
    void ConstrainValueShift(float lowest, float highest);
    // Over the drawn views; zeros when none is drawn.
    void GetVisibleBounds(float* earliestStart, float* latestEnd, float* lowestBottom, float* highestTop);

    // History and the backup.
    // A new current action, after the redo steps and (with four done) the
    // oldest are dropped; the project is marked modified.
    cPatternEditAction* BeginAction();
    // Runs or undoes actions until the step (clamped to -1..count - 1) is
    // the current one; the last action handled, null when nothing changed.
    cPatternEditAction* GoToHistoryStep(int32_t step);
    cPatternEditAction* UndoStep() { return GoToHistoryStep(mHistory.GetCurrent() - 1); }
    cPatternEditAction* RedoStep() { return GoToHistoryStep(mHistory.GetCurrent() + 1); }
    bool CanUndo() const { return mHistory.CanUndo(); }
    bool CanRedo() const { return mHistory.CanRedo(); }
    void ClearHistory();
    // A copy of the bound pattern, taken once before the first edit.
    void BackupPattern();
    void DropBackup();
    const cPattern* GetBackup() const { return mHasBackup ? &mBackup : nullptr; }

    // Edits, each one action. They return the selection count (the changed
    // or copied events), the events removed, or the change in views; 0 when
    // the edit does not apply.
    int32_t Transpose(int32_t semitones);
    int32_t OffsetVelocity(int32_t delta);
    int32_t OffsetController(int32_t delta);
    int32_t ChangeLength(float delta);
    int32_t Move(float delta);
    // Mode 1 positions, 2 note lengths, 3 note ends, onto a grid of the
    // interval and swing in ticks.
    int32_t Quantize(int32_t mode, float interval, float swing);
    int32_t DeleteSelected();
    int32_t DeleteAll();
    // Copies the selection to just after it on the grid.
    int32_t CopySelection(const cQuantizeGrid& grid);
    // Every event of another pattern that fits the loop, at its own time.
    int32_t CopyPattern(int32_t patternNumber);
    // Mode 0 identical events, 1 redundant controller events, 2 all controller events.
    int32_t Clean(int32_t mode);
    int32_t DrawNotes(float tickA, float tickB, float note, const cQuantizeGrid& grid);
    int32_t DrawVelocities(float tickA, float tickB, float velocityA, float velocityB);
    int32_t DrawControllers(float tickA, float tickB, float valueA, float valueB, const cQuantizeGrid& grid);

    cPatternInstance* GetPart() const { return mPart; }
    cPattern* GetPattern() const;
    const cInstrumentPackage* GetPianoRollBlock() const { return mPianoRollBlock; }
    // The current lane's controller entry; null outside the controller table.
    const cInstrumentPackage::cControllerParam* GetControllerEntry() const;
    int32_t GetLane() const { return mLane; }
    int32_t GetControllerIndex() const { return mControllerIndex; }
    float GetNoteScale() const { return mNoteScale; }
    const cViewList& GetViews() const { return mUsedViews; }
    int32_t GetViewCount() const { return int32_t(mUsedViews.GetCount()); }
    int32_t GetFreeViewCount() const { return int32_t(mFreeViews.GetCount()); }
    const cSelectionList& GetSelection() const { return mSelection; }
    int32_t GetSelectionCount() const { return int32_t(mSelection.GetCount()); }
    const cSelectionBounds& GetSelectionBounds() const { return mBounds; }
    float GetTimeOffset() const { return mTimeOffset; }
    float GetValueOffset() const { return mValueOffset; }
    float GetLengthOffset() const { return mLengthOffset; }
    float GetStartShift() const { return mStartShift; }
    float GetEndShift() const { return mEndShift; }
    int32_t GetStepCount() const { return mHistory.GetCount(); }
    int32_t GetCurrentStep() const { return mHistory.GetCurrent(); }
    cPatternEditAction* GetStep(int32_t step) const { return mHistory.GetStep(step); }

    // Dirty flags for drawing, cleared by whoever draws.
    bool eventGeometryDirty = false;
    bool visibleBoundsDirty = false;
    bool selectionGeometryDirty = false;

private:
    void FreeAllViews();
    void UpdateAllViews();
    void SetDirty();
    void SelectWhere(bool (*test)(const cEventView& view, const void* context), const void* context);
    // Begins, fills and runs one action under one hold of the lock.
    cPatternEditAction* Run(uint32_t kind, const cPatternEditParameters& parameters);
    int32_t RunOnSelection(uint32_t kind, int32_t amount);
    bool HasSelectionToEdit() const { return !mSelection.IsEmpty() && GetPattern(); }
    // What an edit that does not apply leaves.
    int32_t NotRun();
    void ShiftTime(float delta);
    float CopyOffset(const cQuantizeGrid& grid);
    // For many lookups in one edit: the used views sorted by their events.
    // A view freed since still reads as absent.
    void IndexViewsByEvent();
    cEventView* FindIndexedView(const cPatternEvent* event) const;

    cEventView mViews[kMaxViews];
    cViewList mUsedViews;
    cViewList mFreeViews;
    cSelectionNode mNodes[kMaxViews];
    cSelectionList mSelection;
    cSelectionList mFreeNodes;
    int32_t mSavedCount = 0;
    cEventView* mSaved[kMaxViews] = {};
    struct cIndexEntry
    {
        const cPatternEvent* event;
        cEventView* view;
    };
    int32_t mIndexCount = 0;
    cIndexEntry mIndex[kMaxViews] = {};

    cPatternInstance* mPart = nullptr;
    const cInstrumentPackage* mPianoRollBlock = nullptr;
    int32_t mLane = kLaneNotes;
    int32_t mControllerIndex = 0;
    float mNoteScale = 0.0f;

    float mTimeOffset = 0.0f;
    float mValueOffset = 0.0f;
    float mLengthOffset = 0.0f;
    float mStartShift = 0.0f;
    float mEndShift = 0.0f;
    cSelectionBounds mBounds;
    float mVisibleStart = 0.0f;
    float mVisibleEnd = 0.0f;
    float mVisibleBottom = 0.0f;
    float mVisibleTop = 0.0f;

    cEditHistory<cPatternEditAction, kHistorySteps> mHistory;

    bool mHasBackup = false;
    cPattern mBackup;

    friend class cPatternEditAction;
};
