#pragma once
#include <cstdint>

// Animates a view range (origin and span on one axis) towards a zoomed range
// and back: the piano roll zooms in on a held draw gesture after a pause and
// springs back on release. Stepped once per drawn frame.
class cZoomEasing
{
public:
    enum eState : int32_t
    {
        kIdle = 0,
        kZoomingIn = 1,
        kZoomingBack = 2,
    };

    static constexpr float kDelay = 0.75f;   // seconds held before the zoom begins
    static constexpr float kInRate = 4.0f;   // a quarter second to zoom in
    static constexpr float kBackRate = 8.0f; // an eighth to zoom back

    // The anchor keeps its place in the zoomed range. Ignored while zooming in.
    void Start(float startOrigin, float startSpan, float targetSpan, float anchor);
    // Zooms back from wherever the zoom has got to.
    void Release();
    void Reset();
    // True when the step produced a new range.
    bool Step(float seconds, float* origin, float* span);

    eState GetState() const { return mState; }

private:
    eState mState = kIdle;
    float mStartSpan = 1.0f;
    float mStartOrigin = 0.0f;
    float mTargetSpan = 1.0f;
    float mTargetOrigin = 0.0f;
    float mDelay = 0.0f;
    float mPosition = 0.0f; // 0 the start range, 1 the target
};
