#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "editors/InstrumentTrackCommands.h"
#include "editors/SongEditModel.h"
#include "ui/Widget.h"

class cInstrumentPackage;
class cMaterial;
class cPartPropertiesUI;
class cPattern;
class cSongRollOwner;
class cSongToolsUI;
class cTrackList;
class cWidgetButton;
class cWidgetComboBox;
class cWidgetScrollBar;
struct cAtlasSprite;

// The arrangement editor: the song's tracks as rows and their parts as
// coloured bars on a time axis, with a bar ruler above, a track header column
// on the left and a toolbar along the bottom. One finger scrolls, selects,
// moves, resizes, draws and splits parts; two pinch to zoom; the mouse
// stands in for a finger. Every change goes through the embedded song edit
// model and its history. The sequencer page makes it, binds it to the
// song's track list and refreshes it when recording changed parts; the main
// UI adds, swaps and removes instruments through it. Main thread only.
class cSongRoll : public cWidget, public cInstrumentTrackCommands
{
public:
    enum eTouchMode : int32_t
    {
        kIdle = 0,
        kScrolling = 1,
        kPinching = 2,
        kDrawing = 3,
        kLoopMarker = 4,
        kMoving = 5,
        kResizing = 6,
        kTrackMoving = 7,
        kHeaderDrag = 8,
        kMuteDrag = 9,
        kSoloDrag = 10,
        kTapped = 11,
        kRubberBand = 12,
    };

    // The toolbar's controls, by slot.
    enum eTool : int32_t
    {
        kToolTools = 0,
        kToolHistory = 1,
        kToolZoom = 2,
        kToolSelect = 3,
        kToolDraw = 4,
        kToolDelete = 5,
        kToolCopy = 6,
        kToolMore = 7,
        kToolEdit = 8,
        kToolCount = 9,
    };

    // The header panel's columns.
    enum ePanelColumn : int32_t
    {
        kColumnMute = 0,
        kColumnSolo = 1,
        kColumnInput = 2,
        kColumnDelete = 3,
        kColumnAdd = 4,
        kColumnCount = 5,
    };

    enum eHandle : int32_t
    {
        kHandleMove = 0,
        kHandleResize = 1,
        kHandleTrackMove = 2,
        kHandleCount = 3,
    };

    // The entries of the menus.
    enum eZoomItem : int32_t
    {
        kZoomLoop = 0,
        kZoomSelection = 1,
        kZoomAll = 2,
        kZoomMin = 3,
    };
    enum eSelectItem : int32_t
    {
        kSelectAll = 0,
        kSelectInverse = 1,
        kSelectTrack = 2,
        kSelectToEnd = 3,
        kSelectToStart = 4,
        kSelectAddTo = 5,
    };
    enum eMoreItem : int32_t
    {
        kMoreProperties = 0,
        kMoreJoin = 1,
        kMoreSplit = 2,
        kMoreLoopToSelection = 3,
    };
    // The song tools' requests.
    enum eSongToolsCommand : int32_t
    {
        kNewSong = 0,
        kClearUnusedPatterns = 1,
    };

    struct cView
    {
        float left = 0.0f; // ticks
        float top = 0.0f;  // rows
        float width = 1024.0f;
        float rows = 6.0f;
    };

    struct cHandle
    {
        const cAtlasSprite* sprite = nullptr;
        cVector2 home = {0.0f, 0.0f};
        cVector2 position = {0.0f, 0.0f};
        cRect touchRect = {0.0f, 0.0f, 0.0f, 0.0f};
        bool visible = false;
        float alpha = 0.0f; // 0..255
    };

    static constexpr float kSongEnd = 512000.0f;
    static constexpr float kMinimumWidth = 8192.0f;
    static constexpr float kMinimumRows = 6.0f;
    static constexpr int32_t kMaxTracks = 64;
    static constexpr int32_t kMaxTracksPerInstrument = 4;

    explicit cSongRoll(cSongRollOwner* owner);

    // Binding and the page's calls.
    // Binds the model (which forgets its history); with resetView the rows
    // start again from the top.
    void SetTrackList(cTrackList* tracks, bool resetView);
    // Recording changed parts: every view refilled.
    void Refresh();
    void CommitPatternEdit(cPattern* edited, const cPattern* backup);
    // The main UI's instrument changes, each an undoable step. Adding is
    // refused (false) when the song has 64 tracks.
    bool AddInstrumentTrack(cInstrumentPackage* package, const char* name, int32_t slot) override;
    void ReplaceTrackInstrument(cInstrumentPackage* package, const char* name, int32_t slot) override;
    bool RemoveInstrumentTrack(int32_t slot) override;
    // Frames a range with a margin on each side, eased when animated.
    void ZoomToRange(float start, float length, float margin, bool animate);
    void ZoomRows(float top, float rows, float margin, bool animate);
    void SetPanelExpanded(bool expanded);

    // The song tools' and part properties' results.
    void OnSongToolsCommand(int32_t command);
    void OnSongToolsClosed();
    void OnSongToolsZoom() { ZoomOut(); }
    void OnPartPropertiesClosed();

    // Widget.
    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // View and state, for the page and tests.
    cSongEditModel& GetModel() { return mModel; }
    cTrackList* GetTrackList() const { return mTracks; }
    const cView& GetView() const { return mView; }
    const cView& GetTargetView() const { return mTarget; }
    int32_t GetTouchMode() const { return mMode; }
    bool IsAddToSelection() const { return mAddToSelection; }
    bool IsPanelExpanded() const { return mPanelExpanded; }
    bool IsDrawToolOn() const;
    bool IsFollowing() const;
    bool IsScrollModeOn() const;
    float GetHighestRow() const { return mHighestRow; }
    float GetMaximumRows() const { return mMaximumRows; }
    const cRect& GetRollArea() const { return mRollArea; }
    const cRect& GetRuler() const { return mRuler; }
    const cRect& GetHeaderColumn() const { return mHeaderColumn; }
    const cRect& GetHeaderWithPanel() const { return mHeaderWithPanel; }
    const cRect& GetToolbarRect() const { return mToolbar; }
    const cHandle& GetHandle(int32_t handle) const { return mHandles[handle]; }
    cWidgetButton* GetTool(int32_t tool) const { return mTools[tool]; }
    cSongToolsUI* GetSongTools() const { return mSongTools; }
    cPartPropertiesUI* GetPartProperties() const { return mPartProperties; }
    cWidgetComboBox* GetMenu(int32_t tool) const;
    cWidgetButton* GetPanelToggle() const { return mPanelToggle; }
    cWidgetButton* GetFollowToggle() const { return mFollowToggle; }
    cWidgetButton* GetScrollModeToggle() const { return mScrollModeToggle; }
    cWidgetButton* GetZoomButton(bool vertical, bool in) const { return mZoomButtons[vertical ? 1 : 0][in ? 0 : 1]; }
    cWidgetScrollBar* GetScrollBar(bool vertical) const { return vertical ? mVerticalBar : mHorizontalBar; }
    const char* GetHint() const { return mHint.CStr(); }
    // Pixels of the header panel's column for a row, for the page and tests.
    cRect GetPanelCell(int32_t column, float row) const;
    float TickToX(float tick) const;
    float RowToY(float row) const;
    float XToTick(float x) const;
    float YToRow(float y) const;

protected:
    ~cSongRoll() override;

private:
    // Construction and layout.
    void BuildToolbar();
    void BuildSideControls();
    cWidgetComboBox* MakeMenu(const char* name, int32_t tool, int32_t capacity, int32_t shortcut, int32_t icon);
    void LayoutToolbar();
    void LayoutSideControls();
    void PlaceZoomButtons();
    cSongViewInfo GetViewInfo() const;

    // View.
    void StopEasing();
    void Ease();
    void ApplyView(const cView& view);
    void SetLeft(float left, bool animate);
    void SetTop(float top, bool animate);
    void RecomputeRowLimits();
    void UpdateScrollRanges();
    void BringRowIntoView(float row);
    void ScrollToSelection();
    void ZoomOut();
    void ZoomHorizontally(bool in);
    void ZoomVertically(bool in);
    float SongLength() const;

    // The per-frame update.
    void Update();
    void Fling();
    void FollowPlayback();
    void MeasureFling();
    void AutoScroll();
    float AutoScrollFactor(float finger, float nearEdge, float farEdge) const;
    void ReapplyDrag();
    void UpdateHandles();

    // Touches.
    bool TouchDown(cTouch* touch);
    bool TouchDownInParts(cTouch* touch);
    bool TouchDownInHeader(cTouch* touch);
    bool TouchDownInRuler(cTouch* touch);
    void TouchMove(cTouch* touch);
    void TouchUp(cTouch* touch);
    bool SecondFingerDown(cTouch* touch);
    void StartPinch(cTouch* second);
    void Pinch();
    void StartScrolling(cTouch* touch);
    void StartDrawing();
    void StartRubberBand();
    void Drag();
    void CommitDrag();
    void DragHeader(const cVector2& position);
    void DragMuteSolo();
    void DragLoopMarker(const cVector2& position);
    void CommitLoopMarker();
    void ToggleMuteSolo(int32_t row, int32_t state);
    void PanelTap(int32_t column, int32_t row);
    void SetSongPosition(float tick);
    void Remember(cTouch* touch);
    void EndGesture();

    // Commands (the toolbar and menus).
    intptr_t OnTool(intptr_t value, cWidgetButton* button);
    intptr_t OnMenu(intptr_t value, cWidgetButton* button);
    intptr_t OnSideButton(intptr_t value, cWidgetButton* button);
    intptr_t OnScrollBar(float start, cWidgetScrollBar* bar);
    void CloseMenus(const cWidget* except);
    void AfterCommand();
    void RefreshToolbar();
    void Delete();
    void Copy();
    void Edit();
    void FillHistoryMenu();
    void PickHistory(int32_t index);
    void FillZoomMenu();
    void PickZoom(int32_t index);
    void FillSelectMenu();
    void PickSelect(int32_t index);
    void FillMoreMenu();
    void PickMore(int32_t index);
    void LoopToSelection();
    void ShowPartCountStatus(int32_t count, const char* word);
    void ShowStatus(const char* text);
    void BuildDialogues();
    void ToggleSongTools();
    void OnClearRequest(int32_t kind);

    // Drawing.
    void DrawBackground(cDrawList& list);
    void DrawBarLines(cDrawList& list);
    void DrawHeaders(cDrawList& list);
    void DrawHeaderPanel(cDrawList& list, int32_t row);
    void DrawPartLabels(cDrawList& list);
    void DrawRubberBandFill(cDrawList& list);
    void DrawRuler(cDrawList& list);
    void DrawLoopRegion(cDrawList& list);
    void DrawSongPosition(cDrawList& list);
    void DrawHandles(cDrawList& list);
    void DrawToolbarBackground(cDrawList& list);
    void UpdateStatusText();
    void FormatSelectionText(cGenString& text) const;
    int32_t GetGuideMode() const;
    bool IsRowOnTrack(int32_t row) const;
    int32_t TrackCount() const;
    bool CanAddTrackAfter(int32_t row) const;
    bool CanDeleteTrack(int32_t row) const;

    int32_t mMode = kIdle;
    cSongRollOwner* mOwner;
    cSongToolsUI* mSongTools = nullptr;
    cPartPropertiesUI* mPartProperties = nullptr;
    cSongEditModel mModel;
    cTrackList* mTracks = nullptr;
    cMaterial* mBackground = nullptr;

    // Toolbar metrics.
    float mSlotWidth = 0.0f;
    float mPanelWidth = 0.0f;
    float mPanelColumnWidth = 0.0f;

    cView mView;
    cView mTarget;
    float mHighestRow = 0.0f;
    float mLowestRow = 0.0f;
    int32_t mTrackCount = 0;
    float mMaximumRows = kMinimumRows;

    bool mAddToSelection = false;
    bool mAutoScrollX = false;
    bool mAutoScrollY = false;
    bool mPanelExpanded = false;

    // The gesture.
    cVector2 mLastPoint = {0.0f, 0.0f};
    float mLastTick = 0.0f;
    float mLastRow = 0.0f;
    cVector2 mDownPoint = {0.0f, 0.0f};
    float mDownTick = 0.0f;
    float mDownRow = 0.0f;
    cView mGestureView;
    int32_t mTouchId = -1;
    int32_t mSecondTouchId = -1;
    cVector2 mSecondPoint = {0.0f, 0.0f};
    cVector2 mPinchStartDistance = {0.0f, 0.0f};
    cVector2 mPinchEngagedDistance = {0.0f, 0.0f};
    cVector2 mPinchEngagedCentre = {0.0f, 0.0f}; // tick and row between the fingers
    cView mPinchEngagedView;
    bool mPinchEngaged[2] = {false, false};
    bool mSelectionChanged = false; // the gesture changed the saved selection
    float mFlingTicks = 0.0f;
    float mFlingRows = 0.0f;
    int32_t mPinchCooldown = 0;
    cVector2 mFlingPoint = {0.0f, 0.0f};
    float mDragAccumulator = 0.0f;
    int32_t mLastMuteRow = -1;

    // Areas, in pixels.
    cRect mHeaderColumn = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mHeaderWithPanel = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mRuler = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mRollArea = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mPartsTouchArea = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mToolbar = {0.0f, 0.0f, 0.0f, 0.0f};

    cHandle mHandles[kHandleCount];

    // Loop-marker drag.
    float mLoopBegin = 0.0f;
    float mLoopEnd = 0.0f;
    int32_t mLoopMarker = 0; // 0 begin, 1 end
    bool mLoopMarkerMoved = false;

    // Children.
    cWidgetButton* mTools[kToolCount] = {};
    cWidgetButton* mPanelToggle = nullptr;
    cWidgetButton* mFollowToggle = nullptr;
    cWidgetButton* mScrollModeToggle = nullptr;
    cWidgetScrollBar* mHorizontalBar = nullptr;
    cWidgetScrollBar* mVerticalBar = nullptr;
    cWidgetButton* mZoomButtons[2][2] = {}; // [vertical][in, out]
    cGenStringFixed<48> mHistoryTexts[cSongEditModel::kHistorySteps + 1];

    cGenStringFixed<128> mHint;
};
