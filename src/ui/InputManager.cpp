#include "ui/InputManager.h"

#include "base/Clock.h"
#include "platform/DisplayMetrics.h"
#include "render/Renderer.h"

cInputManager* gInputManager = nullptr;

namespace
{
constexpr double kMultiTapSeconds = 0.3;
constexpr float kMultiTapMillimetresSquared = 12.0f * 12.0f;

float ClampToDisplay(float value, float size)
{
    if (value > size - 1.0f)
        value = size - 1.0f;
    return value < 0.0f ? 0.0f : value;
}

// Window point to the screen's logical orientation.
cVector2 MapToOrientation(const cScreen& screen, float x, float y)
{
    const float logicalWidth = screen.orientedWidth;
    const float logicalHeight = screen.orientedHeight;
    switch (screen.orientation)
    {
    case kOrientationUpright:
        return {x, y};
    case kOrientationQuarter:
        return {logicalWidth - 1.0f - y, x};
    case kOrientationHalf:
        return {logicalWidth - 1.0f - x, logicalHeight - 1.0f - y};
    case kOrientationMinusQuarter:
        return {y, logicalHeight - 1.0f - x};
    default:
        return {0.0f, 0.0f};
    }
}

double ClockSeconds() { return GetMilliseconds() * 0.001; }

bool IsPassedCharacter(int32_t character) { return (character >= 32 && character <= 126) || character >= 160; }
} // namespace

void cTouch::SetPosition(float x, float y, bool begin)
{
    cVector2 mapped = {x, y};
    if (gRenderer)
    {
        const cScreen& screen = gRenderer->screen;
        x = ClampToDisplay(x, screen.width);
        y = ClampToDisplay(y, screen.height);
        mapped = MapToOrientation(screen, x, y);
    }
    rawPosition = {x, y};
    if (begin)
    {
        position = mapped;
        startPosition = mapped;
        delta = {0.0f, 0.0f};
        return;
    }
    delta = {mapped.X - position.X, mapped.Y - position.Y};
    position = mapped;
}

cTouchTracker::cTouchTracker() { Reset(); }

cTouch* cTouchTracker::BeginTouch(int32_t id, float x, float y) { return BeginTouchAt(id, x, y, ClockSeconds()); }

cTouch* cTouchTracker::BeginTouchAt(int32_t id, float x, float y, double now)
{
    cTouch* touch = FindTouch(-1);
    if (!touch)
        return nullptr;
    touch->id = id;
    touch->SetPosition(x, y, true);
    touch->tapCount = CountTap(touch->position, now);
    return touch;
}

// A tap near a recent tap of the same spot continues its series; anything
// else starts a new series. The 0.3 s run from the series' latest tap.
int32_t cTouchTracker::CountTap(const cVector2& position, double now)
{
    const float mm = gDisplayMetrics.millimetresPerPixel;
    for (int i = 0; i < mTapEntryCount; ++i)
    {
        cTapRecord& tap = mTaps[(mTapWriteIndex - 1 - i) & kTapRingMask];
        if (now - tap.time >= kMultiTapSeconds)
            continue;
        const float dx = (position.X - tap.position.X) * mm;
        const float dy = (position.Y - tap.position.Y) * mm;
        if (dx * dx + dy * dy < kMultiTapMillimetresSquared)
        {
            ++tap.tapCount;
            tap.time = now;
            return tap.tapCount;
        }
    }
    mTaps[mTapWriteIndex] = {position, 1, now};
    if (mTapEntryCount < kMaxTapEntries)
        ++mTapEntryCount;
    mTapWriteIndex = (mTapWriteIndex + 1) & kTapRingMask;
    return 1;
}

cTouch* cTouchTracker::FindTouch(int32_t id)
{
    for (cTouch& touch : touches)
        if (touch.id == id)
            return &touch;
    return nullptr;
}

void cTouchTracker::Reset()
{
    for (cTouch& touch : touches)
    {
        touch.id = -1;
        touch.tapCount = 0;
        touch.position = {0.0f, 0.0f};
    }
}

// A handler made without an input manager simply receives nothing.
cInputEventHandler::cInputEventHandler()
{
    if (gInputManager)
        gInputManager->GetHandlers().PushBack(this);
}

cInputEventHandler::~cInputEventHandler()
{
    if (gInputManager)
        gInputManager->GetHandlers().Remove(this);
}

bool cInputEventHandler::HandleTouchEvent(int32_t, cTouch*) { return false; }

bool cInputEventHandler::HandleKeyEvent(const cKeyEvent*) { return false; }

cInputManager::cInputManager()
{
    gInputManager = this;
    SetInputTarget(this);
}

cInputManager::~cInputManager()
{
    mInitialised = false;
    SetInputTarget(nullptr);
    gInputManager = nullptr;
}

bool cInputManager::Init()
{
    if (mInitialised)
        return false;
    mMouse.gesture = 0;
    mMouse.anchorX = 0.0f;
    mMouse.anchorY = 0.0f;
    for (int i = 0; i < kKeyCodeCount; ++i)
    {
        keyState[i] = 0;
        keyScanCode[i] = 0;
    }
    mLastCharacter = 0;
    mInitialised = true;
    return true;
}

bool cInputManager::DispatchTouch(int32_t type, cTouch* touch)
{
    for (cInputEventHandler* handler = mHandlers.GetFirst(); handler; handler = handler->GetNext())
        if (handler->HandleTouchEvent(type, touch))
            return true;
    return false;
}

void cInputManager::EndTouch(cTouch* touch)
{
    DispatchTouch(kTouchUp, touch);
    touch->id = -1;
}

void cInputManager::DispatchKey(const cKeyEvent* event)
{
    for (cInputEventHandler* handler = mHandlers.GetFirst(); handler; handler = handler->GetNext())
        if (handler->HandleKeyEvent(event))
            return;
}

void cInputManager::OnKey(int32_t action, int32_t scanCode, int32_t keyCode)
{
    if (keyCode < 0 || keyCode >= kKeyCodeCount)
        return;
    const bool wasDown = keyState[keyCode] != 0;
    if (action == 0 && !wasDown)
        return;
    keyState[keyCode] = action;
    keyScanCode[keyCode] = scanCode;
    if (action != 0 && wasDown)
        return;
    const cKeyEvent event = {action, keyCode, -1, scanCode};
    DispatchKey(&event);
}

void cInputManager::OnChar(int32_t action, int32_t scanCode, int32_t character)
{
    if (!IsPassedCharacter(character))
        return;
    if (action != 0)
    {
        if (character == mLastCharacter)
            return;
        mLastCharacter = character;
    }
    else
    {
        mLastCharacter = 0;
    }
    const cKeyEvent event = {action, -1, character, scanCode};
    DispatchKey(&event);
}

void cInputManager::ReleaseAllKeys()
{
    for (int32_t keyCode = 0; keyCode < kKeyCodeCount; ++keyCode)
    {
        if (keyState[keyCode] == 0)
            continue;
        keyState[keyCode] = 0;
        const cKeyEvent event = {0, keyCode, -1, keyScanCode[keyCode]};
        DispatchKey(&event);
    }
}

bool cInputManager::TouchBegan(int32_t id, float x, float y)
{
    cTouch* touch = mTracker.BeginTouch(id, x, y);
    if (!touch)
        return false;
    DispatchTouch(kTouchDown, touch);
    return true;
}

void cInputManager::TouchMoved(int32_t id, float x, float y, bool cancelMultiTap)
{
    cTouch* touch = mTracker.FindTouch(id);
    if (!touch)
        return;
    touch->SetPosition(x, y, false);
    if (cancelMultiTap)
        touch->tapCount = 1;
    DispatchTouch(kTouchMove, touch);
}

void cInputManager::TouchEnded(int32_t id, float x, float y)
{
    cTouch* touch = mTracker.FindTouch(id);
    if (!touch)
        return;
    touch->SetPosition(x, y, false);
    EndTouch(touch);
}
