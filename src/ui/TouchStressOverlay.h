#pragma once

#include <cstdint>

#include "base/Math.h"
#include "render/VertexLayouts.h"
#include "ui/InputManager.h"
#include "ui/Widget.h"

// A developer's stress test of touch handling: switched on by a four-fold
// tap low on the screen, it drives up to five simulated fingers that tap and
// drag at random places, handing their events to the widget manager as real
// touches reach it, and draws each finger's path and place. Main thread only.
class cTouchStressOverlay : public cWidget
{
public:
    static constexpr int kFingerCount = 5;
    // Desired fingers once switched on; at most five run.
    static constexpr int32_t kOn = 6;
    // A switching tap lands below this line with at least this many taps.
    static constexpr float kSwitchLine = 290.0f;
    static constexpr int32_t kSwitchTaps = 4;

    // One simulated finger; idle once its progress reaches 1.
    struct cFinger
    {
        // Down at a random place: a tap or a drag.
        void Start();
        // One frame: a move, or the up at the target; false once idle.
        bool Step();
        bool IsRunning() const { return progress < 1.0f; }

        cVector2 position = {0.0f, 0.0f};
        cVector2 start = {0.0f, 0.0f};
        cVector2 target = {0.0f, 0.0f};
        float progress = 1.0f;
        float speed = 1.0f;
        cTouch touch;
    };

    // The id the last started finger took; the next takes one more, and
    // after the largest id comes 1.
    static void SetLastTouchId(int32_t id);
    static int32_t GetLastTouchId();

    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    int32_t RunningFingers() const;

    int32_t desiredFingers = 0;
    cFinger fingers[kFingerCount];

private:
    void DrawFingers(cDrawList& list);
    void StartIdleFinger();

    cVertexXYZColour mLines[kFingerCount * 6] = {};
};
