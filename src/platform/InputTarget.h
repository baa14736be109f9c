#pragma once

#include <cstdint>

// The mouse-to-touch translation's state, kept with the input manager.
struct cMouseEmulationState
{
    // 0 no touch, 1 one finger from the left button, 2 the two-finger
    // gesture from the right button.
    int32_t gesture = 0;
    // Where the right button went down: the mirror centre of the gesture.
    float anchorX = 0.0f;
    float anchorY = 0.0f;
    float lastX = 0.0f;
    float lastY = 0.0f;
    // Bit 0 left button, bit 1 right button.
    uint32_t buttons = 0;
};

// What the window's input translation needs of the input manager. The input
// manager registers itself while it exists; without it, input is ignored.
class cInputTarget
{
public:
    virtual cMouseEmulationState& GetMouseState() = 0;
    // Takes a touch record for the id and sends its began event; false when
    // all records are in use.
    virtual bool TouchBegan(int32_t id, float x, float y) = 0;
    // Moves the touch with that id (if any) and sends its moved event;
    // cancelMultiTap makes it a single tap again.
    virtual void TouchMoved(int32_t id, float x, float y, bool cancelMultiTap) = 0;
    // Moves the touch with that id (if any), sends its ended event and frees it.
    virtual void TouchEnded(int32_t id, float x, float y) = 0;
    virtual void OnKey(int32_t action, int32_t scanCode, int32_t keyCode) = 0;
    virtual void OnChar(int32_t action, int32_t scanCode, int32_t character) = 0;
    virtual void ReleaseAllKeys() = 0;

protected:
    ~cInputTarget() = default;
};

void SetInputTarget(cInputTarget* target);
cInputTarget* GetInputTarget();
