#include "platform/MouseTouchTranslator.h"

#include "platform/InputTarget.h"

namespace
{
constexpr int kFirstFinger = 1;
constexpr int kMirroredFinger = 2;
constexpr int kNoGesture = 0;
constexpr int kOneFinger = 1;
constexpr int kTwoFingers = 2;

uint32_t ButtonBit(cMouseTouchTranslator::eButton button) { return 1u << button; }
} // namespace

void cMouseTouchTranslator::EndGesture(cInputTarget& target)
{
    cMouseEmulationState& state = target.GetMouseState();
    target.TouchEnded(kFirstFinger, state.lastX, state.lastY);
    target.TouchEnded(kMirroredFinger, 2.0f * state.anchorX - state.lastX,
                      2.0f * state.anchorY - state.lastY);
    state.gesture = kNoGesture;
}

void cMouseTouchTranslator::OnMove(cInputTarget& target, float x, float y)
{
    cMouseEmulationState& state = target.GetMouseState();
    state.lastX = x;
    state.lastY = y;
    if (state.gesture == kOneFinger && (state.buttons & ButtonBit(kLeft)))
    {
        target.TouchMoved(kFirstFinger, x, y, true);
    }
    else if (state.gesture == kTwoFingers && (state.buttons & ButtonBit(kRight)))
    {
        target.TouchMoved(kFirstFinger, x, y, false);
        target.TouchMoved(kMirroredFinger, 2.0f * state.anchorX - x, 2.0f * state.anchorY - y, false);
    }
}

void cMouseTouchTranslator::OnButtonDown(cInputTarget& target, eButton button, bool doubleClick,
                                         float x, float y)
{
    cMouseEmulationState& state = target.GetMouseState();
    state.lastX = x;
    state.lastY = y;
    state.buttons |= ButtonBit(button);
    if (button == kLeft)
    {
        if (state.gesture == kNoGesture)
        {
            target.TouchBegan(kFirstFinger, x, y);
            state.gesture = kOneFinger;
        }
        else if (state.gesture == kTwoFingers && !doubleClick)
        {
            EndGesture(target);
        }
        return;
    }
    // The second click of a right double-click starts no gesture.
    if (state.gesture == kNoGesture && !doubleClick)
    {
        state.anchorX = x;
        state.anchorY = y;
        target.TouchBegan(kFirstFinger, x, y);
        target.TouchBegan(kMirroredFinger, x, y);
        state.gesture = kTwoFingers;
    }
}

void cMouseTouchTranslator::OnButtonUp(cInputTarget& target, eButton button, float x, float y)
{
    cMouseEmulationState& state = target.GetMouseState();
    state.lastX = x;
    state.lastY = y;
    state.buttons &= ~ButtonBit(button);
    if (button == kLeft && state.gesture == kOneFinger)
    {
        target.TouchEnded(kFirstFinger, x, y);
        state.gesture = kNoGesture;
    }
    else if (state.gesture == kTwoFingers)
    {
        EndGesture(target);
    }
}
