#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "editors/PatternEditModel.h"
#include "editors/ZoomEasing.h"
#include "ui/Widget.h"

class cEventTypeSelectUI;
class cInstrument;
class cMaterial;
class cPatternToolsPanel;
class cPatternToolsUI;
class cPianoRollOwner;
class cQuantizeDialogue;
class cWidgetButton;
class cWidgetComboBox;
class cWidgetScrollBar;
class cWidgetTabbedProperties;
struct cQuantizeGrid;
struct cQuantizeSettings;

// The editor of one part's events: notes on key rows, their velocities, or
// one controller of the part's instrument, in a window of ticks by lane
// values. One finger scrolls, selects, draws, moves, resizes and shifts
// values; two pinch to zoom; the mouse stands in for a finger. Every change
// goes through the embedded pattern edit model and its four-step history.
// Notes touched or drawn are heard on the part's instrument while
// "AuditionNote" is on. The sequencer page makes it, binds parts to it and
// is told when the user is done. Main thread only.
class cPianoRoll : public cWidget
{
public:
    enum eState : int32_t
    {
        kIdle = 0,
        kScrolling = 1,
        kPinching = 2,
        kDrawing = 3,
        kRuler = 4,
        kMoving = 5,
        kResizing = 6,
        kNoteShift = 7,
        kVelocityShift = 8,
        kControllerShift = 9,
        kSelectTap = 10,
        kRubberBand = 11,
        kKeyStrip = 12,
    };

    // The toolbar's controls, by column.
    enum eTool : int32_t
    {
        kToolTools = 0,
        kToolHistory = 1,
        kToolZoom = 2,
        kToolSelect = 3,
        kToolDraw = 4,
        kToolDelete = 5,
        kToolCopy = 6,
        kToolQuantize = 7,
        kToolDone = 8,
        kToolCount = 9,
    };

    enum eHandle : int32_t
    {
        kHandleMove = 0,
        kHandleLength = 1,
        kHandleValue = 2,
        kHandleCount = 3,
    };

    enum eZoomItem : int32_t
    {
        kZoomSelection = 0,
        kZoomAll = 1,
        kZoomMin = 2,
    };
    enum eSelectItem : int32_t
    {
        kSelectAll = 0,
        kSelectInverse = 1,
        kSelectNote = 2,
        kSelectToEnd = 3,
        kSelectToStart = 4,
        kSelectAddTo = 5,
    };

    // The lane chooser's keys.
    static constexpr int32_t kLaneKeyNotes = -2;
    static constexpr int32_t kLaneKeyVelocity = -1;

    static constexpr float kSongEnd = 512000.0f;
    static constexpr float kMinimumTickSpan = 256.0f;
    static constexpr int32_t kEventLimit = 1000;

    struct cView
    {
        float firstTick = 0.0f;
        float tickSpan = 1024.0f;
        float lowestValue = 0.0f;
        float valueSpan = 127.0f;
    };

    struct cHandle
    {
        cRect rect = {0.0f, 0.0f, 0.0f, 0.0f};    // where it rests
        cRect dragged = {0.0f, 0.0f, 0.0f, 0.0f}; // where it is drawn and touched
        bool visible = false;
    };

    explicit cPianoRoll(cPianoRollOwner* owner);

    // The sequencer page's calls.
    void BindPart(cPatternInstance* part);
    // After the sequencer has taken every posted event: views rebuilt, and
    // the lane chooser filled again for the part (or only the buttons).
    void RebuildForPart(bool refreshChooser);
    // The note lane, zoomed to the whole part at once.
    void ResetViewForPart();
    void RefreshFromRecorder();
    void ForgetHistory();

    // Frames a range with a margin on each side, gliding there when asked.
    void ZoomToTicks(float start, float length, float margin, bool glide);
    void ZoomToValues(float start, float length, float margin, bool glide);
    // A chooser key: notes, velocities or a controller index.
    void SwitchLane(int32_t key);

    // The pattern tools' requests.
    void SetGrid(const cQuantizeSettings& settings);
    void CopyFromPattern(int32_t patternNumber);
    void CleanPattern(int32_t kind);
    // The quantize dialogue's result.
    void QuantizeSelection(const cQuantizeSettings& settings);

    // Widget.
    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // State, for the page and tests.
    cPatternEditModel& GetModel() { return mModel; }
    cPatternInstance* GetPart() const { return mModel.GetPart(); }
    int32_t GetState() const { return mState; }
    int32_t GetLane() const { return mModel.GetLane(); }
    const cView& GetView() const { return mView; }
    const cView& GetTargetView() const { return mTarget; }
    float GetValueRangeLow() const { return mRangeLow; }
    float GetValueRangeHigh() const { return mRangeHigh; }
    float GetMinimumValueSpan() const { return mMinimumValueSpan; }
    float GetScrollFloor() const;
    float GetScrollRangeEnd() const;
    bool IsAddToSelection() const { return mAddToSelection; }
    bool IsDrawToolOn() const;
    bool IsScrollModeOn() const;
    bool IsAuditioning() const { return mAudition.sounding; }
    uint32_t GetAuditionVoice() const { return mAudition.voice; }
    const cRect& GetEditArea() const { return mEditArea; }
    const cRect& GetKeyStrip() const { return mKeyStrip; }
    const cRect& GetRuler() const { return mRuler; }
    const cHandle& GetHandle(int32_t handle) const { return mHandles[handle]; }
    cWidgetButton* GetTool(int32_t tool) const { return mTools[tool]; }
    cWidgetComboBox* GetMenu(int32_t tool) const;
    cWidgetButton* GetScrollModeToggle() const { return mScrollModeToggle; }
    cWidgetButton* GetZoomButton(bool vertical, bool in) const { return mZoomButtons[vertical ? 1 : 0][in ? 0 : 1]; }
    cWidgetScrollBar* GetScrollBar(bool vertical) const { return vertical ? mVerticalBar : mHorizontalBar; }
    cEventTypeSelectUI* GetLaneChooser() const { return mChooser; }
    cQuantizeDialogue* GetQuantizeDialogue() const { return mQuantize; }
    cPatternToolsUI* GetPatternTools() const { return mPatternTools; }
    const char* GetHint() const { return mHint.CStr(); }
    int32_t GetDrawnEventCount() const { return mDrawnEvents; }
    int32_t GetNoteCount() const { return mNoteCount; }
    int32_t GetControllerCount() const { return mControllerCount; }
    float TickToX(float tick) const;
    float ValueToY(float value) const;
    // Clamped into the view.
    float XToTick(float x) const;
    float YToValue(float y) const;

protected:
    ~cPianoRoll() override;

private:
    struct cAudition
    {
        bool sounding = false;
        uint32_t voice = 0;
        int32_t note = -1;
        int32_t velocity = 0;
        int32_t slot = 0;
        float secondsLeft = 0.0f;
    };

    // Construction and layout (PianoRoll.cpp).
    void BuildToolbar();
    void BuildSideControls();
    cWidgetComboBox* MakeMenu(const char* name, int32_t tool, int32_t capacity, int32_t shortcut);
    void PlaceZoomButtons();
    void SetValueRange(float low, float high, float minimumSpan);
    void SetLaneRange();

    // View (PianoRollView.cpp).
    void ApplyTarget(bool glide);
    void Glide();
    void ClampTarget(cView& view) const;
    void UpdateScrollBars();
    intptr_t OnScrollBar(float start, cWidgetScrollBar* bar);
    float ContentLength() const;
    float PinchLengthLimit() const;
    void ZoomTicksAround(float centre, float factor);
    void ZoomValuesAround(float centre, float factor);
    void ZoomOut(bool glide);
    void UpdateHandles();
    void Fling();
    void EdgeScroll();
    void StepDrawZoom();

    // Touches (PianoRollTouch.cpp).
    bool TouchDown(cTouch* touch);
    bool TouchDownInEditArea(cTouch* touch);
    bool TouchDownOnKeyStrip(cTouch* touch);
    void TouchMove(cTouch* touch);
    void TouchUp(cTouch* touch);
    bool SecondFingerDown(cTouch* touch);
    void Pinch();
    void StartScrolling();
    void StartDrawing();
    void StartRubberBand();
    void DragHandle();
    void CommitHandleDrag();
    void ReleaseDraw();
    void TapRuler();
    void CommitRepeatLength();
    void SetState(int32_t state);
    void Remember(const cVector2& point);
    float RepeatTickAt(float x) const;

    // Audition (PianoRollTouch.cpp).
    void Audition(int32_t note, int32_t velocity, float seconds);
    void StopAudition();
    cInstrument* PartInstrument() const;
    bool SelectionIsOnePitch(int32_t* note) const;

    // Commands (PianoRollCommands.cpp).
    intptr_t OnTool(intptr_t value, cWidgetButton* button);
    intptr_t OnMenu(intptr_t value, cWidgetButton* button);
    intptr_t OnSideButton(intptr_t value, cWidgetButton* button);
    void OnLaneChoice(const void* cell, cEventTypeSelectUI* chooser);
    void OnQuantizeChosen(const cQuantizeSettings* settings, void* widget);
    void OnGridRequest(const cQuantizeSettings* settings, cPatternToolsPanel* panel);
    void OnCopyRequest(int32_t patternNumber, cWidgetButton* button);
    void OnCleanRequest(int32_t kind, cWidgetButton* button);
    void OnPatternToolsClosed(int32_t page, cWidgetTabbedProperties* dialogue);
    void CloseMenus(const cWidget* except);
    void AfterCommand();
    // Buttons, handles and scroll range after the events or selection changed.
    void AfterEdit();
    void RefreshButtons();
    void Delete();
    intptr_t OnDeleteAnswer(intptr_t button, void* alert);
    void Copy();
    void ToggleQuantize();
    void Done();
    void FillHistoryMenu();
    void FillZoomMenu();
    void PickZoom(int32_t index);
    void FillSelectMenu();
    void PickSelect(int32_t index);
    void ShowCount(int32_t count, const char* verb);

    // Drawing (PianoRollDraw.cpp).
    void DrawLaneBackground(cDrawList& list);
    void DrawEvents(cDrawList& list);
    void DrawSelection(cDrawList& list);
    void DrawPreview(cDrawList& list);
    void DrawRubberBand(cDrawList& list);
    void DrawRuler(cDrawList& list);
    void DrawHandles(cDrawList& list);
    void DrawCounts(cDrawList& list);
    void UpdateHint();
    void FormatPosition(cGenString& text, float ticks) const;
    void NoteName(cGenString& text, int32_t note) const;
    const char* PartName(cGenString& text) const;
    int32_t PreviewNoteCount() const;
    // Adds a rectangle to the lent batch; false when it is full.
    bool AddQuad(int32_t& count, float x0, float y0, float x1, float y1, uint32_t top, uint32_t bottom);
    void FlushQuads(cDrawList& list, int32_t count, cMaterial* material);

    cPianoRollOwner* mOwner;
    cPatternEditModel mModel;
    int32_t mState = kIdle;

    cView mView;
    cView mTarget;
    float mRangeLow = 0.0f;
    float mRangeHigh = 127.0f;
    float mMinimumValueSpan = 7.0f;
    cView mSavedNoteView;
    bool mHasSavedNoteView = false;

    // The gesture.
    int32_t mTouchId = -1;
    int32_t mSecondTouchId = -1;
    cVector2 mDownPoint = {0.0f, 0.0f};
    cVector2 mPoint = {0.0f, 0.0f};
    cVector2 mSecondPoint = {0.0f, 0.0f};
    float mDownTick = 0.0f;
    float mDownValue = 0.0f;
    float mTick = 0.0f;
    float mValue = 0.0f;
    cView mOrigin;
    cVector2 mPinchDistance = {0.0f, 0.0f};
    bool mPinchActive[2] = {false, false};
    float mFlingTicks = 0.0f;
    float mFlingValues = 0.0f;
    float mLastFlingTicks = 0.0f;
    float mLastFlingValues = 0.0f;
    bool mEdgeScroll[2] = {false, false};
    float mTimeOffset = 0.0f;
    float mValueOffset = 0.0f;
    bool mRepeatDrag = false;
    float mRepeatTick = 0.0f;

    // Areas, in pixels.
    cRect mEditArea = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mKeyStrip = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mRuler = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mToolbar = {0.0f, 0.0f, 0.0f, 0.0f};
    cHandle mHandles[kHandleCount];

    cAudition mAudition;
    bool mAddToSelection = false;

    // The zoom of a held draw.
    cZoomEasing mDrawZoom;

    // What the last frame drew.
    int32_t mDrawnEvents = 0;
    int32_t mNoteCount = 0;
    int32_t mControllerCount = 0;

    // Children.
    cWidgetButton* mTools[kToolCount] = {};
    cWidgetButton* mScrollModeToggle = nullptr;
    cWidgetButton* mZoomButtons[2][2] = {}; // [vertical][in, out]
    cWidgetScrollBar* mHorizontalBar = nullptr;
    cWidgetScrollBar* mVerticalBar = nullptr;
    cEventTypeSelectUI* mChooser = nullptr;
    cQuantizeDialogue* mQuantize = nullptr;
    cPatternToolsUI* mPatternTools = nullptr;
    cMaterial* mSelectionMaterial = nullptr;
    cGenStringFixed<32> mHistoryTexts[cPatternEditModel::kHistorySteps + 1];
    cGenStringFixed<160> mHint;
};
