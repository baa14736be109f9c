#include "platform/os/OsMIDI.h"

bool cOsMIDIInputPort::BeginDelivery()
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mActive)
        return false;
    ++mDeliveries;
    return true;
}

void cOsMIDIInputPort::EndDelivery()
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (--mDeliveries == 0)
        mIdle.notify_all();
}

bool cOsMIDIInputPort::IsActive() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mActive;
}

void cOsMIDIInputPort::Activate()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mActive = true;
}

void cOsMIDIInputPort::Deactivate()
{
    std::unique_lock<std::mutex> lock(mMutex);
    mActive = false;
    mIdle.wait(lock, [this] { return mDeliveries == 0; });
}
