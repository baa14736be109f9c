#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "base/Singleton.h"

// The device features a tablet has and a desktop does not. Each is a small
// singleton that start-up creates and the rest of the program may ask; on
// this platform their answers are fixed: at rest, a full battery, not
// connected, no e-mail.

// The motion sensors, which the synthesizer's motion source reads.
class cDeviceMotion : public Base::cSingleton<cDeviceMotion>
{
public:
    cDeviceMotion() : cSingleton(this) {}
    void Update() {}

    int32_t deviceOrientation = 1; // 0 unknown, 1 portrait, 2..4 the others
    int32_t reserved = 0;
    int32_t currentOrientation = 1; // written by the orientation handler
    float motion[6] = {};
};

class cBatteryStatus : public Base::cSingleton<cBatteryStatus>
{
public:
    cBatteryStatus() : cSingleton(this) {}
    void Update() {}
    bool IsCharging() const { return mCharging; }
    float GetLevel() const { return mLevel; }

private:
    float mLevel = 1.0f;
    bool mCharging = false;
};

class cNetworkStatus : public Base::cSingleton<cNetworkStatus>
{
public:
    cNetworkStatus() : cSingleton(this) {}
    void StartListening() {}
    void StopListening() {}
    bool IsConnected() const { return mConnected; }
    // The network address the companion tool would reach; empty here.
    const char* GetAddress() const { return mAddress.CStr(); }
    // Sharing reads it: while set, the page says sharing is not available.
    bool IsInternetReachable() const { return mInternetReachable; }
    void SetInternetReachable(bool reachable) { mInternetReachable = reachable; }
    void SetChangeDelegate(const cDelegate& change) { mChange = change; }
    const cDelegate& GetChangeDelegate() const { return mChange; }

private:
    cDelegate mChange;
    cGenStringFixed<64> mAddress;
    bool mConnected = false;
    bool mInternetReachable = true;
};

// The server the desktop file-transfer companion would talk to.
class cDocklineServer : public Base::cSingleton<cDocklineServer>
{
public:
    cDocklineServer() : cSingleton(this) {}
    void OnNetworkChanged() {}
    void Start() {}
    void Stop() {}
    int32_t GetStatus() const { return 0; }
};

// Sending always fails, through the caller's completion (bool sent, text).
class cEmailService : public Base::cSingleton<cEmailService>
{
public:
    static constexpr const char* kNotImplemented = "Email not implemented.";

    cEmailService() : cSingleton(this) {}
    bool CanSend() const { return false; }
    // Calls the completion before it returns.
    void Send(const char* to, const char* subject, const char* body, const cDelegate& completion);
    // Tells the completion of the last send again.
    void RepeatCompletion();

private:
    cDelegate mCompletion;
};

class cShareServiceStub : public Base::cSingleton<cShareServiceStub>
{
public:
    cShareServiceStub() : cSingleton(this) {}
};
