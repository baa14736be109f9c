#pragma once
#include <cstdint>

#include "base/IntrusiveList.h"
#include "base/Math.h"
#include "editors/EditHistory.h"
#include "render/VertexLayouts.h"

class cDrawList;
class cEditGeometryBatch;
class cInstrumentPackage;
class cMaterial;
class cPattern;
class cPatternInstance;
class cSongEditAction;
class cTrackList;
struct cSongEditParameters;

// Where the song roll shows the song: the roll area in pixels and the range
// of ticks and track rows it covers.
struct cSongViewInfo
{
    cRect rect = {0.0f, 0.0f, 0.0f, 0.0f};
    float leftTick = 0.0f;
    float widthTicks = 0.0f;
    float topRow = 0.0f;
    float rows = 0.0f;

    bool operator==(const cSongViewInfo& other) const;
    float TickToX(float tick) const;
    float RowToY(float row) const;
};

// The song roll's working view of the arrangement. It copies no song data:
// every part of every track gets a view with the geometry the roll draws
// and hit-tests (ticks across, track rows down), up to 1000 views. It keeps
// the selection, the drag limits against bars and the song end, and a
// history of four undoable actions; every change of the song goes through
// an action. It also builds the vertex batches that draw the parts, their
// highlights, the notes inside them and the drag guides.
//
// Main thread only. Reading parts and changing the song hold the sequencer
// lock (cSongEditLock); views and the selection are the model's own. Views
// are given out last freed first, so an undo that gives views back in the
// reverse order of freeing hands every part its own view again, and the
// views older steps hold keep showing their own parts.
class cSongEditModel
{
public:
    static constexpr int32_t kMaxViews = 1000;
    static constexpr int32_t kMaxParts = 1000;
    static constexpr int32_t kHistorySteps = 4;
    static constexpr int32_t kNoteLineVertices = 16384;
    static constexpr int32_t kNoteLineLimit = 16382;
    static constexpr float kSongEnd = 512000.0f;
    static constexpr uint32_t kPrivateFill = 0xb9ffcf5a;
    static constexpr uint32_t kPrivateEdge = 0xb9ffb400;
    static constexpr uint32_t kSilentColour = 0xb9646464;
    static constexpr uint32_t kSelectionColour = 0xff2c7ae6;
    static constexpr uint32_t kNoteLineColour = 0xff000000;

    // Drag guides drawn with the parts.
    enum eGuide : int32_t
    {
        kGuideNone = 0,
        kGuideAll = 1,
        kGuideStart = 2,
        kGuideEnd = 3,
        kGuideRows = 4,
    };

    struct cSelectionNode;

    struct cPartView : Base::cIntrusiveListItem<cPartView>
    {
        cPatternInstance* part = nullptr; // null while free
        float start = 0.0f;               // ticks
        float end = 0.0f;
        float top = 0.0f; // the track index
        float bottom = 0.0f;
        uint32_t fillColour = 0;
        uint32_t edgeColour = 0;
        uint32_t marks = 0;                  // kMarked only inside InvertSelection
        cSelectionNode* selection = nullptr; // its node while selected
    };

    struct cSelectionNode : Base::cIntrusiveListItem<cSelectionNode>
    {
        cPartView* view = nullptr;
    };

    using cViewList = Base::cIntrusiveList<cPartView>;
    using cSelectionList = Base::cIntrusiveList<cSelectionNode>;

    // Over the selection with the pending drag applied.
    struct cSelectionBounds
    {
        float timeOffset = 0.0f;
        float rowOffset = 0.0f;
        float lengthDelta = 0.0f;
        // Added to the highlights of the selected parts.
        float ghostStart = 0.0f;
        float ghostEnd = 0.0f;
        float earliestStart = 0.0f;
        float latestEnd = 0.0f;
        float lowestRow = 0.0f;
        float highestRow = 0.0f; // exclusive
        float shortestLength = 0.0f;
    };

    struct cExtent
    {
        float earliestStart = 0.0f;
        float latestEnd = 0.0f;
        float lowestRow = 0.0f;
        float highestRow = 0.0f;
    };

    // The batch is the sequencer page's, lent for drawing.
    explicit cSongEditModel(cEditGeometryBatch* batch);
    ~cSongEditModel();
    cSongEditModel(const cSongEditModel&) = delete;
    cSongEditModel& operator=(const cSongEditModel&) = delete;

    // Binding and refresh.
    // Forgets everything, then a view per part in track and part order, up
    // to 1000 (null: none).
    void BindTracks(cTrackList* tracks);
    // New geometry for every view: rows shift when tracks come and go.
    void RefreshAllViews();
    // Every view free, no selection, no history.
    void Reset();

    // Views.
    // Null without a part or a free view.
    cPartView* AddView(cPatternInstance* part, bool select);
    // Also drops the view from the selection.
    void FreeView(cPartView* view);
    void FillView(cPartView* view, cPatternInstance* part);
    cPartView* FindView(const cPatternInstance* part) const;

    // Selection: each leaves the bounds recomputed without a pending drag;
    // those with a result say whether anything is selected.
    void ClearSelection();
    // Selects a view once; with update the bounds are recomputed.
    void SelectView(cPartView* view, bool update);
    void SelectPart(const cPatternInstance* part);
    void ToggleSelected(cPartView* view);
    bool SelectAll();
    bool SelectTracksOfSelection();
    bool SelectToEnd();
    bool SelectFrom(float tick);
    bool SelectToStart();
    bool InvertSelection();
    // Replaces the selection by the views touching the rectangle (edges count).
    bool SelectInRect(float tickA, float rowA, float tickB, float rowB);
    // Kept aside while a gesture may still turn out otherwise.
    void SaveSelection();
    void RestoreSelection();
    // The view nearest the point within an ellipse of the radii: a view
    // holding the point beats every view that does not, among those the
    // shortest wins; otherwise the nearest; the first in view order on a tie.
    cPartView* HitTest(float tick, float row, float tickRadius, float rowRadius) const;
    // Over all views, zeros without any.
    cExtent GetExtent();

    // Drags: the pending transform the roll applies on every move and
    // commits through an action on release. The constraints return what
    // they refused.
    void UpdateSelectionBounds(float timeOffset, float rowOffset, float lengthDelta);
    float ConstrainMove(float timeOffset);
    float ConstrainResize(float lengthDelta);
    float ConstrainTrackMove(float rowOffset, float lowestRow, float highestRow);

    // Commands, each one action (Parts of the song, then tracks and instruments).
    int32_t ResizeSelected(float delta);
    void MoveSelected(float deltaTicks, float deltaRows);
    int32_t DeleteSelected();
    int32_t DuplicateSelected();
    // At the song position's bar line; the new views, 0 when refused (with
    // the "Split Parts" alert).
    int32_t SplitParts(int32_t position);
    // 1 when two neighbouring parts were joined; refusals show the "Merge
    // Parts" alert.
    int32_t MergeParts();
    // A new empty part over whole bars of the row, replacing what it covers;
    // a tap inside a part only removes it. The change in views.
    int32_t DrawPart(int32_t row, float tickA, float tickB);
    // The selected parts on private (shared) patterns each moved to a copy on
    // a free shared (private) pattern; the parts converted.
    int32_t ConvertToPattern();
    int32_t ConvertToPart();
    // One visit of the piano roll as one step: the backup holds the pattern
    // as it was before the visit.
    void CommitPatternEdit(cPattern* edited, const cPattern* backup);
    void AddTrack(int32_t slot);
    void DeleteTrack(int32_t index);
    void AddInstrument(cInstrumentPackage* package, const char* name, int32_t slot);
    void SwapInstrument(cInstrumentPackage* package, const char* name, int32_t slot);
    void DeleteInstrument(int32_t slot);
    // Not undoable: the part shows another pattern (-1..2099).
    void SetPartPattern(cPartView* view, int32_t patternNumber);

    // History.
    // A new current action after the redo steps and (with four done) the
    // oldest are dropped; the project is marked modified.
    cSongEditAction* BeginAction();
    // Runs or undoes actions until the step (clamped to -1..count - 1) is
    // current; the last action handled, null when nothing changed.
    cSongEditAction* GoToHistoryStep(int32_t step);
    cSongEditAction* UndoStep();
    cSongEditAction* RedoStep();
    bool CanUndo() const { return mHistory.CanUndo(); }
    bool CanRedo() const { return mHistory.CanRedo(); }
    void ClearHistory();

    // Drawing: the batches are rebuilt only when marked dirty.
    void SetInsertPreview(float row, const cSongViewInfo& info, float tickA, float tickB);
    void HideInsertPreview() { mPreviewVisible = false; }
    void DrawInsertPreview(cDrawList& list);
    void Draw(cDrawList& list, int32_t guide, const cSongViewInfo& info);
    void DrawRubberBand(float tickA, float rowA, cDrawList& list, float tickB, float rowB, const cSongViewInfo& info);

    cTrackList* GetTracks() const { return mTracks; }
    const cViewList& GetViews() const { return mUsedViews; }
    // The colour a part's face is drawn in: its pattern's, or grey on a
    // track that is not heard.
    uint32_t GetShownFill(const cPartView& view) const;
    int32_t GetViewCount() const { return int32_t(mUsedViews.GetCount()); }
    int32_t GetFreeViewCount() const { return int32_t(mFreeViews.GetCount()); }
    const cSelectionList& GetSelection() const { return mSelection; }
    int32_t GetSelectedCount() const { return int32_t(mSelection.GetCount()); }
    const cSelectionBounds& GetBounds() const { return mBounds; }
    float GetSelectionWidth() const { return mBounds.latestEnd - mBounds.earliestStart; }
    float GetSelectionHeight() const { return mBounds.highestRow - mBounds.lowestRow; }
    float GetSelectionCentreTick() const { return 0.5f * (mBounds.earliestStart + mBounds.latestEnd); }
    float GetSelectionCentreRow() const { return 0.5f * (mBounds.lowestRow + mBounds.highestRow); }
    int32_t GetStepCount() const { return mHistory.GetCount(); }
    int32_t GetCurrentStep() const { return mHistory.GetCurrent(); }
    cSongEditAction* GetStep(int32_t step) const { return mHistory.GetStep(step); }
    int32_t GetPartRectCount() const { return mPartRectCount; }
    int32_t GetHighlightCount() const { return mHighlightCount; }
    int32_t GetNoteLineCount() const { return mNoteLineCount; }
    const cVertexIntXY* GetNoteLines() const { return mNoteLines; }
    bool IsInsertPreviewVisible() const { return mPreviewVisible; }
    const cVertexIntXY* GetPreviewLines() const { return mPreviewLines; }
    const cSongViewInfo& GetDrawnView() const { return mDrawnView; }

    void MarkPartsDirty() { mPartsDirty = true; }
    void MarkHighlightsDirty() { mHighlightsDirty = true; }
    void MarkExtentDirty() { mExtentDirty = true; }
    bool ArePartsDirty() const { return mPartsDirty; }

private:
    friend class cSongEditAction;

    enum : uint32_t
    {
        kMarked = 2,
    };

    void FreeAllViews();
    void RefillViews();
    void SetChanged();
    bool SelectWhere(bool (*test)(const cPartView& view, const void* context), const void* context);
    // Begins, fills and runs one action.
    cSongEditAction* Run(uint32_t kind, const cSongEditParameters& parameters);
    int32_t CountParts() const;
    void ShowAlert(const char* title, const char* firstLine, const char* secondLine) const;
    float TicksPerBar() const;

    // Drawing.
    void BuildPartRects(const cSongViewInfo& info);
    void BuildHighlights(const cSongViewInfo& info);
    void AddNoteLines(const cPartView& view, const cSongViewInfo& info);
    void DrawGuides(cDrawList& list, int32_t guide, const cSongViewInfo& info);
    bool IsOnAudibleTrack(const cPatternInstance* part) const;

    cEditGeometryBatch* mBatch;
    cVertexIntXY mNoteLines[kNoteLineVertices] = {};
    int32_t mNoteLineCount = 0;

    cPartView mViews[kMaxViews];
    cViewList mUsedViews;
    cViewList mFreeViews;
    cSelectionNode mNodes[kMaxViews];
    cSelectionList mSelection;
    cSelectionList mFreeNodes;
    int32_t mSavedCount = 0;
    cPartView* mSaved[kMaxViews] = {};

    cTrackList* mTracks = nullptr;
    cSelectionBounds mBounds;
    cExtent mExtent;

    bool mPartsDirty = true;
    bool mExtentDirty = true;
    bool mHighlightsDirty = true;
    int32_t mPartRectCount = 0;
    int32_t mHighlightCount = 0;
    bool mPreviewVisible = false;
    cVertexIntXY mPreviewLines[8] = {};

    cEditHistory<cSongEditAction, kHistorySteps> mHistory;

    cSongViewInfo mDrawnView;
    cMaterial* mSelectionMaterial;
    cMaterial* mNoteLineMaterial;
};
