#pragma once

#include <cstdint>

#include "base/IntrusiveList.h"
#include "base/Math.h"
#include "platform/InputTarget.h"

// Touch event types.
enum eTouchEvent : int32_t
{
    kTouchDown = 0,
    kTouchMove = 1,
    kTouchUp = 2,
};

// One tracked finger. Positions are in the screen's logical orientation,
// which is what widgets use.
class cTouch
{
public:
    // Clamps the window position to the display, maps it to the logical
    // orientation; a begin also sets the start position and zeroes the delta.
    void SetPosition(float x, float y, bool begin);

    int32_t id = -1; // -1: a free record
    int32_t tapCount = 0;
    cVector2 rawPosition = {0.0f, 0.0f};
    cVector2 position = {0.0f, 0.0f};
    cVector2 startPosition = {0.0f, 0.0f};
    cVector2 delta = {0.0f, 0.0f};
};

// A recent tap, for counting double and triple taps.
struct cTapRecord
{
    cVector2 position;
    int32_t tapCount;
    double time;
};

class cTouchTracker
{
public:
    static constexpr int kTouchCount = 8;
    static constexpr int kTapRingSize = 8;
    static constexpr int kTapRingMask = 7;
    static constexpr int kMaxTapEntries = 7;

    cTouchTracker();

    // Takes the first free record for the id; null when all are in use.
    cTouch* BeginTouch(int32_t id, float x, float y);
    // The same, at a given clock time in seconds.
    cTouch* BeginTouchAt(int32_t id, float x, float y, double now);
    cTouch* FindTouch(int32_t id);
    void Reset();

    cTouch touches[kTouchCount];

private:
    int32_t CountTap(const cVector2& position, double now);

    int32_t mTapWriteIndex = 0;
    int32_t mTapEntryCount = 0;
    cTapRecord mTaps[kTapRingSize] = {};
};

// A key or character event: a key event has no character, a character
// event no key code.
struct cKeyEvent
{
    int32_t action = 0; // 1 press, 0 release
    int32_t keyCode = -1;
    int32_t character = -1;
    int32_t scanCode = -1; // set-1 scan code, bit 8 for extended keys
};

// Receives input events in registration order until one takes them.
class cInputEventHandler : public Base::cIntrusiveListItem<cInputEventHandler, 1>
{
public:
    // Appends the handler to the input manager's list (which must exist).
    cInputEventHandler();
    virtual ~cInputEventHandler();
    cInputEventHandler(const cInputEventHandler&) = delete;
    cInputEventHandler& operator=(const cInputEventHandler&) = delete;

    virtual bool HandleTouchEvent(int32_t type, cTouch* touch);
    virtual bool HandleKeyEvent(const cKeyEvent* event);
};

// The global input state between the window and the user interface: up to
// 8 touches, multi-tap counting, the up/down state of every key code, and
// the auto-repeat filters. Main thread only.
class cInputManager : public cInputTarget
{
public:
    static constexpr int kKeyCodeCount = 326;

    cInputManager();
    virtual ~cInputManager();
    cInputManager(const cInputManager&) = delete;
    cInputManager& operator=(const cInputManager&) = delete;

    // False when already initialised.
    bool Init();

    bool DispatchTouch(int32_t type, cTouch* touch);
    // The ended event, then the record is freed.
    void EndTouch(cTouch* touch);
    void OnKey(int32_t action, int32_t scanCode, int32_t keyCode) override;
    void OnChar(int32_t action, int32_t scanCode, int32_t character) override;
    // Sends a release for every key that is down, in ascending code order.
    void ReleaseAllKeys() override;
    void DispatchKey(const cKeyEvent* event);

    cMouseEmulationState& GetMouseState() override { return mMouse; }
    bool TouchBegan(int32_t id, float x, float y) override;
    void TouchMoved(int32_t id, float x, float y, bool cancelMultiTap) override;
    void TouchEnded(int32_t id, float x, float y) override;

    cTouchTracker& GetTouchTracker() { return mTracker; }
    Base::cIntrusiveList<cInputEventHandler>& GetHandlers() { return mHandlers; }

    // Widgets read the key state directly (is Shift or Ctrl down?).
    int32_t keyState[kKeyCodeCount] = {};
    int32_t keyScanCode[kKeyCodeCount] = {};

private:
    cMouseEmulationState mMouse;
    bool mInitialised = false;
    int32_t mLastCharacter = 0;
    cTouchTracker mTracker;
    Base::cIntrusiveList<cInputEventHandler> mHandlers;
};

// The one input manager; set by its constructor, cleared by its destructor.
extern cInputManager* gInputManager;
