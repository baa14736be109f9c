#pragma once

#include <string>
#include <vector>

#include "platform/InputTarget.h"

// Records what the window's input translation asks of the input manager.
class cFakeInputTarget : public cInputTarget
{
public:
    struct cCall
    {
        std::string what; // "began", "moved", "ended", "key", "char", "release all"
        int id;           // touch id, or the action of a key or character
        float x, y;       // touch position
        int scanCode;
        int code; // key code or character; 1 when a move cancels a multi-tap
    };

    cMouseEmulationState& GetMouseState() override { return state; }
    bool TouchBegan(int32_t id, float x, float y) override
    {
        calls.push_back({"began", id, x, y, 0, 0});
        return true;
    }
    void TouchMoved(int32_t id, float x, float y, bool cancelMultiTap) override
    {
        calls.push_back({"moved", id, x, y, 0, cancelMultiTap ? 1 : 0});
    }
    void TouchEnded(int32_t id, float x, float y) override { calls.push_back({"ended", id, x, y, 0, 0}); }
    void OnKey(int32_t action, int32_t scanCode, int32_t keyCode) override
    {
        calls.push_back({"key", action, 0, 0, scanCode, keyCode});
    }
    void OnChar(int32_t action, int32_t scanCode, int32_t character) override
    {
        calls.push_back({"char", action, 0, 0, scanCode, character});
    }
    void ReleaseAllKeys() override { calls.push_back({"release all", 0, 0, 0, 0, 0}); }

    cMouseEmulationState state;
    std::vector<cCall> calls;
};
