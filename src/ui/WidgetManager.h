#pragma once

#include <cstdint>

#include "base/Math.h"
#include "base/Singleton.h"
#include "ui/InputManager.h"

class cCriticalSection;
class cDrawList;
class cRenderer;
class cWidget;
class cWidgetModalContainer;

// The one owner of the user interface at run time: the screen rectangle, the
// root of the widget tree (a modal container named "ROOT"), the frame's draw
// list, the touch-capture stack, the blink of cursors and markers, the
// knobs' user preferences and two locks. It receives input as the input
// manager's handler and routes it into the tree; once per frame the
// application's render step calls Draw.
//
// Everything but the two locks is main-thread only. The frame lock is held
// for the whole frame draw; code that must not run while the interface draws
// takes it too (a project unload takes it before the audio manager's lock).
// Job threads take only the status-text lock, around their progress texts.
class cWidgetManager : public cInputEventHandler, public Base::cSingleton<cWidgetManager>
{
public:
    static constexpr int kMaxCaptures = 8;
    // Seconds between flips of the blink phase.
    static constexpr float kBlinkPeriod = 0.35f;

    // Registers with the input manager, which must exist.
    cWidgetManager();
    ~cWidgetManager() override;

    // False when already initialised: creates the locks, the root and the
    // draw list on the renderer, with the screen at its logical size.
    bool Init(cRenderer* renderer);
    // False when not initialised: deletes the root, the draw list and the locks.
    bool Shutdown();
    bool IsInitialised() const { return mInitialised; }

    // Marks the whole tree for layout, unless the rect is the one in force.
    void SetScreenRect(const cRect& rect);
    const cRect& GetScreenRect() const { return mScreenRect; }

    // Appends (widget, id) to the capture stack; a ninth capture is ignored.
    void CaptureTouch(cWidget* widget, int32_t touchId);
    // Removes every entry of the widget; true when there was one.
    bool ReleaseCapture(cWidget* widget);
    int GetCaptureCount() const { return int(mCaptureCount); }

    bool HandleTouchEvent(int32_t type, cTouch* touch) override;
    bool HandleKeyEvent(const cKeyEvent* event) override;
    // A touch raised while the tree draws (the touch stress overlay's) waits
    // until the draw is over and is then handled like any other, in the
    // order posted; beyond the queue's room it is dropped.
    void PostTouchEvent(int32_t type, const cTouch& touch);
    int GetPostedTouchCount() const { return mPostedCount; }

    // One frame: blink, begin 2D drawing, the root's draw pass, end.
    void Draw();
    // Darkens everything drawn so far: black at the given alpha over the
    // screen; alphas below 2 draw nothing.
    void DimScreen(cDrawList& list, int32_t alpha);

    cWidgetModalContainer* GetRoot() const { return mRoot; }
    cDrawList* GetDrawList() const { return mDrawList; }
    cRenderer* GetRenderer() const { return mRenderer; }
    cCriticalSection* GetFrameLock() const { return mFrameLock; }
    cCriticalSection* GetStatusTextLock() const { return mStatusTextLock; }

    // The blink level 0..255 of cursors and blinking images.
    int32_t GetBlinkAlpha() const;
    bool GetBlinkPhase() const { return mBlinkPhase; }

    // The user's settings, loaded by the application ("KnobControl" and
    // "Sensitivity"): how knobs follow a drag, and how fast knobs and spin
    // buttons move (index 0..2 into 0.7, 1.0, 1.3).
    int32_t knobControl = 0;
    int32_t sensitivity = 1;
    float GetSensitivityScale() const;

private:
    static constexpr int kPostedCapacity = 16;

    struct cPostedTouch
    {
        int32_t type;
        cTouch touch;
    };

    void AdvanceBlink();
    void RemoveCaptureAt(uint32_t index);
    void DeliverPostedTouches();

    bool mInitialised = false;
    cRenderer* mRenderer = nullptr;
    cRect mScreenRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cWidgetModalContainer* mRoot = nullptr;
    cDrawList* mDrawList = nullptr;
    float mBlinkTimer = 0.0f;
    bool mBlinkPhase = false;
    uint32_t mCaptureCount = 0;
    int32_t mCapturedTouchIds[kMaxCaptures] = {};
    cWidget* mCaptors[kMaxCaptures] = {};
    cCriticalSection* mFrameLock = nullptr;
    cCriticalSection* mStatusTextLock = nullptr;
    cPostedTouch mPosted[kPostedCapacity] = {};
    int mPostedCount = 0;
};
