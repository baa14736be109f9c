#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "render/VertexLayouts.h"
#include "sampler/SampleEditModel.h"
#include "ui/Widget.h"

class cDelegate;
class cSample;
class cSampleEditorHost;
class cWidgetButton;
class cWidgetComboBox;
class cWidgetScrollBar;
struct cAtlasSprite;

// The waveform editor of the sampler's "Edit" tab: a zoomable view of one
// sample with a selection, edited by the mouse and by a row of menus and
// buttons, with the last four edits in its History menu.
//
// One finger (the left button) draws a selection or drags one of its two
// handles, or, with the scroll-mode toggle on, scrolls the view and lets it
// glide on; two fingers (the right button's mirrored gesture) pinch the view.
// The view is counted in whole frames and may show a little room before
// frame 0 and after the edited length. Edits change the sample in place
// until the page commits them. Main thread only.
class cSampleEditor : public cWidget
{
public:
    // Interaction modes.
    enum eMode : int32_t
    {
        kModeIdle = 0,
        kModeDragScroll = 1,
        kModePinch = 2,
        kModeUnused = 3, // never entered; drawn and handled as idle
        kModeStartHandle = 4,
        kModeEndHandle = 5,
        kModeSelect = 6,
    };
    // The handle used last.
    enum eHandle : int32_t
    {
        kHandleNone = 0,
        kHandleStart = 1,
        kHandleEnd = 2,
    };
    enum eRulerUnit : int32_t
    {
        kRulerTime = 0,
        kRulerBars = 1,
        kRulerFrames = 2,
    };
    static constexpr int32_t kMinimumLength = 16;
    static constexpr int32_t kHistoryItems = cSampleEditHistory::Capacity + 1;
    static constexpr int32_t kMaxGridLines = 63;
    static constexpr int32_t kNameCapacity = 260;

    explicit cSampleEditor(cSampleEditorHost* host);

    // Starts editing the sample afresh (the caller holds its reference):
    // empty history and selection, the whole sample shown at amplitude 1.
    void SetSample(cSample* sample);
    cSample* GetSample() const { return mSample; }
    void ResetSelection();
    // Replaces the whole sample with a rendered WAV file as one edit, which
    // owns the file from now on. False when it was refused: nothing changed,
    // and GetModel().GetErrorText() says why.
    bool ReplaceSampleFromFile(const char* nativePath);
    // Ends the history and cuts the sample to the edited length. False when
    // the sample could not be cut (its error text says why).
    bool CommitEdits(cSample* sample);
    void ClearHistory();

    cSampleEditModel& GetModel() { return mModel; }
    const cSampleEditModel& GetModel() const { return mModel; }

    // The view in frames.
    int32_t GetMode() const { return mMode; }
    int32_t GetViewStart() const { return mViewStart; }
    int32_t GetViewLength() const { return mViewLength; }
    int32_t GetTargetStart() const { return mTargetStart; }
    int32_t GetTargetLength() const { return mTargetLength; }
    int32_t GetMinimumStart() const { return mMinimumStart; }
    int32_t GetMaximumEnd() const { return mMaximumEnd; }
    int32_t GetAmplitudeZoom() const { return mAmplitudeZoom; }
    int32_t GetLastHandle() const { return mLastHandle; }
    float GetFlingVelocity() const { return mFlingVelocity; }
    const cRect& GetWaveformRect() const { return mWaveformRect; }
    const cRect& GetRulerRect() const { return mRulerRect; }
    const cRect& GetBottomBarRect() const { return mBottomBarRect; }
    const cRect& GetAmplitudeBoxRect() const { return mAmplitudeBoxRect; }
    // The handle's current rectangle and touch rectangle (0 start, 1 end).
    const cRect& GetHandleRect(int32_t handle) const { return mHandles[handle].current; }
    const cRect& GetHandleTouchRect(int32_t handle) const { return mHandles[handle].touch; }
    bool IsHandleVisible(int32_t handle) const { return mHandles[handle].visible; }
    int32_t GetHandleAlpha(int32_t handle) const { return mHandles[handle].alpha; }
    const char* GetInfoText() const { return mInfoText.CStr(); }

    cWidgetScrollBar* GetScrollBar() const { return mScrollBar; }
    cWidgetButton* GetScrollModeToggle() const { return mScrollModeToggle; }
    cWidgetButton* GetZoomInButton() const { return mZoomIn; }
    cWidgetButton* GetZoomOutButton() const { return mZoomOut; }
    cWidgetButton* GetAmplitudeUpButton() const { return mAmplitudeUp; }
    cWidgetButton* GetAmplitudeDownButton() const { return mAmplitudeDown; }
    cWidgetComboBox* GetRulerUnitMenu() const { return mRulerUnit; }
    cWidgetComboBox* GetHistoryMenu() const { return mHistoryMenu; }
    cWidgetComboBox* GetZoomMenu() const { return mZoomMenu; }
    cWidgetComboBox* GetSelectMenu() const { return mSelectMenu; }
    cWidgetComboBox* GetVolumeMenu() const { return mVolumeMenu; }
    cWidgetButton* GetDeleteButton() const { return mDeleteButton; }
    cWidgetButton* GetTrimButton() const { return mTrimButton; }
    cWidgetButton* GetDoneButton() const { return mDoneButton; }

    // The view.
    void UpdateViewLimits();
    void SetViewLength(int32_t length, bool animate);
    void SetViewStart(int32_t start, bool animate);
    void StopViewAnimation();
    void UpdateScrollRange();
    void ZoomTo(float marginFactor, int32_t start, int32_t length, bool animate);
    // 0 the selection, 1 the whole sample.
    void ZoomPreset(int32_t preset, bool animate);
    void EnsureFrameVisible(int32_t frame);
    int32_t XToFrame(const cVector2& point) const;
    float FrameToX(int32_t frame) const;
    // Animation, glide and edge scrolling, once per drawn frame.
    void UpdateView();

    // Interaction.
    void SetMode(int32_t mode, bool forced);
    void ApplyHandleDrag();
    void UpdateHandleRect(int32_t handle);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // "%.2fs" from a second up, "%.1fms" from 10 ms, else "%.2fms".
    static void FormatDuration(int32_t frames, int32_t rate, cGenString& out);

protected:
    ~cSampleEditor() override;

private:
    struct cHandle
    {
        const cAtlasSprite* image = nullptr;
        cRect resting = {0, 0, 0, 0};
        cRect current = {0, 0, 0, 0};
        cRect touch = {0, 0, 0, 0};
        int32_t alpha = 0;
        bool visible = false;
    };

    void BuildChildren();
    cWidgetComboBox* AddMenu(const char* name, int32_t capacity, int32_t flags, const cDelegate& change);
    void LayoutTopStrip(const cRect& rect, float top, float height);
    void LayoutAmplitudeColumn(const cRect& rect, float width);
    void LayoutBottomBar(const cRect& rect);
    void LayoutHandles();
    void PlaceInColumn(cWidget* child, int32_t column);
    void CloseMenus(const cWidget* except);

    // Callbacks of the children.
    void OnScroll(float start);
    void OnScrollModeToggle(int32_t value, cWidgetButton* button);
    void OnZoomButton(int32_t value, cWidgetButton* button);
    void OnAmplitudeButton(int32_t value, cWidgetButton* button);
    void OnHistoryMenu(int32_t item, cWidgetButton* menu);
    void OnZoomMenu(int32_t item, cWidgetButton* menu);
    void OnSelectMenu(int32_t item, cWidgetButton* menu);
    void OnVolumeMenu(int32_t item, cWidgetButton* menu);
    void OnDeleteTrim(int32_t value, cWidgetButton* button);
    void OnDone(int32_t value, cWidgetButton* button);
    void RebuildHistoryMenu();
    // Shows the edit's message, or why it was refused.
    void ReportEdit(bool done, const char* message);
    void ShowStatusMessage(const char* text);
    void FollowHistory();

    // The view's rules.
    int32_t ClampStart(int32_t start) const;
    void FollowViewWithScrollBar();
    void AnimateView();
    void Glide();
    void ScrollAtEdge();
    bool IsScrollModeOn() const;

    // Touches, by mode.
    bool TouchIdle(int32_t type, cTouch* touch);
    bool TouchDragScroll(int32_t type, cTouch* touch);
    bool TouchPinch(int32_t type, cTouch* touch);
    bool TouchHandle(int32_t type, cTouch* touch);
    bool TouchSelect(int32_t type, cTouch* touch);
    void BeginHandleDrag(cTouch* touch, int32_t handle);
    void BeginDragScroll(cTouch* touch);
    void BeginPinch(cTouch* touch);
    void FollowTouch(cTouch* touch);
    bool IsOnHandle(int32_t handle, const cVector2& point) const;

    // Drawing.
    uint32_t WaveformHighlight() const;
    cSampleEditView View() const;
    void DrawBottomBar(cDrawList& list);
    void DrawAmplitudeBox(cDrawList& list);
    void DrawRuler(cDrawList& list);
    void DrawTimeRuler(cDrawList& list);
    void DrawBarRuler(cDrawList& list);
    void DrawFrameRuler(cDrawList& list);
    void DrawPlayMarker(cDrawList& list);
    void DrawRulerLabel(cDrawList& list, float x, float size, const char* text);
    void DrawGridLines(cDrawList& list, float firstX, float spacing);
    void DrawHandles(cDrawList& list);
    void UpdateInfoText();
    void DescribeSelectionOrSample();

    cSampleEditorHost* mHost;
    int32_t mMode = kModeIdle;
    cSampleEditModel mModel;
    cSample* mSample = nullptr;
    cGenStringFixed<kNameCapacity> mDisplayName;

    int32_t mViewStart = 0;
    int32_t mViewLength = kMinimumLength;
    int32_t mTargetStart = 0;
    int32_t mTargetLength = kMinimumLength;
    int32_t mMinimumStart = 0;
    int32_t mMaximumEnd = 0;

    cTouch* mFirstTouch = nullptr;
    cTouch* mSecondTouch = nullptr;
    cVector2 mCurrentPosition = {0.0f, 0.0f};
    cVector2 mTouchDownPosition = {0.0f, 0.0f};
    int32_t mTouchFrame = 0;
    int32_t mReferenceFrame = 0;
    int32_t mAnchorFrame = 0;

    int32_t mDragStartViewStart = 0;
    int32_t mDragStartViewLength = 0;
    int32_t mPinchSpan = 0;
    int32_t mPinchCentre = 0;
    float mPinchDistance = 0.0f;
    bool mPinchActive = false;
    float mFlingVelocity = 0.0f;
    float mLastX = 0.0f;
    int32_t mPinchCoolDown = 0;
    bool mAutoScrollArmed = false;

    cHandle mHandles[2];
    float mHandleWidth = 0.0f;
    float mHandleHeight = 0.0f;
    int32_t mAmplitudeZoom = 1;
    int32_t mLastHandle = kHandleNone;

    cWidgetScrollBar* mScrollBar = nullptr;
    cWidgetButton* mScrollModeToggle = nullptr;
    cWidgetButton* mZoomIn = nullptr;
    cWidgetButton* mZoomOut = nullptr;
    cWidgetButton* mAmplitudeUp = nullptr;
    cWidgetButton* mAmplitudeDown = nullptr;
    cWidgetComboBox* mRulerUnit = nullptr;
    cWidgetComboBox* mHistoryMenu = nullptr;
    cWidgetComboBox* mZoomMenu = nullptr;
    cWidgetComboBox* mSelectMenu = nullptr;
    cWidgetComboBox* mVolumeMenu = nullptr;
    cWidgetButton* mDeleteButton = nullptr;
    cWidgetButton* mTrimButton = nullptr;
    cWidgetButton* mDoneButton = nullptr;
    cGenStringFixed<32> mHistoryLabels[kHistoryItems];

    cRect mWaveformRect = {0, 0, 0, 0};
    float mWaveformCentreX = 0.0f;
    cRect mRulerRect = {0, 0, 0, 0};
    cRect mClipRect = {0, 0, 0, 0};
    cRect mAmplitudeBoxRect = {0, 0, 0, 0};
    cRect mBottomBarRect = {0, 0, 0, 0};
    cVertexXYZColour mGridLines[(kMaxGridLines + 1) * 2];
    cGenStringFixed<kNameCapacity + 64> mInfoText;
};

// A button of the editor's skin, reporting to the callback with its tag.
cWidgetButton* CreateSampleEditorButton(const char* label, int32_t mode, int32_t tag, const cDelegate& callback,
                                        const cAtlasSprite* normal, const cAtlasSprite* pressed);
