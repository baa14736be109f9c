#pragma once

#include <cstdint>

class cInputTarget;

// Pairs key messages with the characters they type: a press sends the key,
// then its characters; the release sends the key, then the same characters
// again, which the input manager's repeat filter relies on.
class cKeyboardTranslator
{
public:
    // Physical keys are numbered 0..kKeyCount-1 by the window system.
    static constexpr int kKeyCount = 512;
    // At most this many UTF-16 units are kept per key.
    static constexpr int kMaxUnits = 10;

    void OnKeyDown(cInputTarget& target, int physicalKey, int32_t scanCode, int32_t keyCode);
    void OnKeyUp(cInputTarget& target, int physicalKey, int32_t scanCode, int32_t keyCode);
    // UTF-8 text typed by the latest key press; text that no key press
    // announced (an input method) is sent as press and release at once.
    void OnText(cInputTarget& target, const char* utf8);

private:
    struct cTypedUnits
    {
        int count = 0;
        uint16_t units[kMaxUnits] = {};
    };

    static int DecodeUtf16(const char* utf8, uint16_t* units, int maxUnits);

    cTypedUnits mTyped[kKeyCount];
    int mPendingKey = -1;
    int32_t mPendingScanCode = 0;
};
