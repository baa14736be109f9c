#include "editors/ZoomEasing.h"

#include <algorithm>

void cZoomEasing::Start(float startOrigin, float startSpan, float targetSpan, float anchor)
{
    if (mState == kZoomingIn)
        return;
    mStartOrigin = startOrigin;
    mStartSpan = startSpan;
    mTargetSpan = targetSpan;
    mTargetOrigin = anchor + (startOrigin - anchor) * targetSpan / startSpan;
    mState = kZoomingIn;
    mDelay = 0.0f;
    mPosition = 0.0f;
}

void cZoomEasing::Release()
{
    if (mState != kIdle)
        mState = kZoomingBack;
}

void cZoomEasing::Reset()
{
    mState = kIdle;
    mDelay = 0.0f;
    mPosition = 0.0f;
}

bool cZoomEasing::Step(float seconds, float* origin, float* span)
{
    if (mState == kZoomingIn)
    {
        if (mDelay < kDelay)
        {
            mDelay += seconds;
            return false;
        }
        mDelay = kDelay;
        if (mPosition >= 1.0f)
            return false;
        mPosition = std::min(mPosition + kInRate * seconds, 1.0f);
    }
    else if (mState == kZoomingBack)
    {
        mDelay = kDelay;
        if (mPosition <= 0.0f)
            return false;
        mPosition = std::max(mPosition - kBackRate * seconds, 0.0f);
    }
    else
        return false;
    *origin = mStartOrigin + (mTargetOrigin - mStartOrigin) * mPosition;
    *span = mStartSpan + (mTargetSpan - mStartSpan) * mPosition;
    return true;
}
