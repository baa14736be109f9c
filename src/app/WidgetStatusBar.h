#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "render/Image.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/Widget.h"

class cQuantizeDialogue;
class cQuantizeSettingsUI;
class cWidgetButton;
class cSongSettingsPopup;
class cWidgetMainMenu;
class cWidgetStatusBarScreen;

// The strip across the top of the main screen: the back or menu button, the
// page buttons "SONG", "MIXER" and "MANAGE", the song-position screen in the
// free middle, the tools "BPM", "LOOP", "CLICK", "QUANTIZE" and "UNDO", and
// stop, play and record. It owns the main menu that drops below it and shows
// a message or the title in its screen. Drop-down panels take it over
// through a stack of states: while one is open the bar shows a back button
// that runs the panel's handler (and Escape presses it). Space, Home, End,
// Page Up and Page Down drive the song. Main thread only.
class cWidgetStatusBar : public cWidget
{
public:
    // Buttons by tag.
    enum : int32_t
    {
        kBack = 0,
        kMenu = 1,
        kSong = 2,
        kMixer = 3,
        kManage = 4,
        kTempo = 5,
        kLoop = 6,
        kClick = 7,
        kQuantize = 8,
        kUndo = 9,
        kStop = 10,
        kPlay = 11,
        kRecord = 12,
        kButtonCount = 13,
    };

    // Modes.
    enum : int32_t
    {
        kModePage = 0,
        kModeMenuOpen = 1,
        kModeDialogue = 2,
        kModeDialogueWithTransport = 3,
        kModeDisabled = 4,
    };

    static constexpr int32_t kStateCapacity = 8;
    static constexpr int32_t kTextCapacity = 260;
    // Seconds a stopped transport waits for the taps that return to the start.
    static constexpr float kStopTapSeconds = 0.3f;
    static constexpr float kScreenMinimum = 90.0f;

    struct cStateEntry
    {
        cDelegate handler;
        int32_t mode;
    };

    cWidgetStatusBar();

    // Saves the handler and mode in force and shows the back button running
    // the given handler, with or without the transport. Beyond eight nested
    // states a push is counted and logged but changes nothing; its pop only
    // uncounts.
    void PushState(const cDelegate& handler, bool withTransport);
    // Puts back the handler and mode of the last push; nothing when none is
    // pushed.
    void PopState();
    // Pushes like PushState, without a handler, and disables the bar.
    void PushDisabledState();
    void SetMode(int32_t mode);
    int32_t GetMode() const { return mMode; }
    int32_t GetStateDepth() const { return mStateDepth; }
    const cDelegate& GetStateHandler() const { return mHandler; }

    // Stores the record-quantize settings and derives the record grid.
    static void ApplyRecordQuantize(const cQuantizeSettings& settings);
    // Whether the record-quantize dialogue or the song-settings popup shows:
    // the main menu dims the whole page while one does.
    bool IsPopupOpen() const;
    cQuantizeDialogue* GetRecordQuantizeDialogue() const { return mQuantizeDialogue; }

    // A message shown for the seconds given (counted in drawn frames of
    // 1/30 s), blinking when asked; it takes the title's place meanwhile.
    void ShowMessage(const char* text, float seconds, bool blink);
    void ClearMessageTimer();
    float GetMessageTimer() const { return mMessageTimer; }
    bool IsMessageBlinking() const { return mMessageBlink; }
    const char* GetMessageText() const { return mMessageText.CStr(); }
    // What the screen shows while no message is up; pages write it each frame.
    cGenString& GetTitleText() { return mTitleText; }

    cWidgetMainMenu* GetMainMenu() const { return mMenu; }
    cWidgetStatusBarScreen* GetScreen() const { return mScreen; }
    cWidgetButton* GetButton(int32_t tag) const { return mButtons[tag]; }
    int32_t GetLeftCount() const { return mLeftCount; }
    int32_t GetRightLimit() const { return mRightLimit; }
    const char* GetQuantizeLabel() const { return mQuantizeLabel.CStr(); }
    const char* GetTempoLabel() const { return mTempoLabel.CStr(); }
    cSongSettingsPopup* GetTempoPopup() const { return mTempoPopup; }
    int32_t GetStopTapThreshold() const { return mStopTapThreshold; }
    // The bar's own height: its background image's.
    static float GetBarHeight();

    // The manual's page, through this opener (the system's by default).
    static void SetURLOpener(bool (*opener)(const char* address));

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleKey(const cKeyEvent* event) override;

protected:
    ~cWidgetStatusBar() override;

private:
    cWidgetButton* MakeButton(int32_t tag, const char* label, int32_t mode);
    void LayoutButtons(float rowHeight, float barHeight);
    void CountButtonRoom(float rowHeight);
    void PlaceScreen();
    void ShowButtons(int32_t mode);
    intptr_t OnButton(intptr_t value, cWidgetButton* button);
    intptr_t OnHelpHold(cWidgetStatusBarScreen* screen);
    intptr_t OnUndoAlert(intptr_t index);
    void OnRecordQuantizeChanged(const cQuantizeSettings* settings, cQuantizeSettingsUI* editor);
    void ToggleRecordQuantize(bool show);
    void OnStop(int32_t tapCount);
    void ShowUndoAlert();
    bool HandleTransportKey(int32_t keyCode);
    void AdvanceTimers();
    void FollowMenu();
    void RefreshLights();
    void RefreshQuantizeLabel();
    void DrawDividers(cDrawList& list);
    void DrawButtonTexts(cDrawList& list);

    void ToggleTempoPopup();

    cSongSettingsPopup* mTempoPopup;
    cQuantizeDialogue* mQuantizeDialogue = nullptr;
    cQuantizeSettings mQuantizeCopy;
    cGenStringFixed<32> mQuantizeLabel;
    cGenStringFixed<16> mTempoLabel;
    cGenStringFixed<kTextCapacity> mTitleText;
    cGenStringFixed<kTextCapacity> mMessageText;
    float mLastTempo = -1.0f;
    int32_t mLastMetronomeMode = 3;
    float mScreenReserve;
    cImage mBackground;
    cRect mBackgroundRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mMessageTimer = 0.0f;
    bool mMessageBlink = false;
    int32_t mMode = kModeMenuOpen;
    int32_t mRightLimit = 9;
    int32_t mLeftCount = 4;
    int32_t mLastTransportState = -1;
    int32_t mStopTapThreshold = 2;
    float mStopTapTimer = 0.0f;
    cFontHandle mLabelFont;
    cWidgetButton* mButtons[kButtonCount] = {};
    cRect mDividers[8] = {};
    cDelegate mHandler;
    cStateEntry mStates[kStateCapacity] = {};
    int32_t mStateDepth = 0;
    cWidgetStatusBarScreen* mScreen;
    cWidgetMainMenu* mMenu;
};
