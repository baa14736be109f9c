#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/OrientationHandler.h"
#include "platform/DeviceServices.h"
#include "platform/GlobalSettingValues.h"

namespace
{
struct cCodeRecorder
{
    void OnChanged(int32_t code) { codes.push_back(code); }
    std::vector<int32_t> codes;
};

struct cOrientationCase
{
    const char* name;
    int32_t lockOrientation;
    int32_t storedOrientation;
    int32_t deviceOrientation; // -1: no motion record
    std::vector<int32_t> codes;
    int32_t storedAfter;
};

TEST(OrientationHandlerTest, FollowsTheDeviceOrTheLockedOrientationAndCallsOncePerChange)
{
    const cOrientationCase cases[] = {
        {"locked upright", 1, 1, 1, {0}, 1},
        {"locked sideways", 1, 3, 1, {2}, 3},
        {"device upright", 0, 3, 1, {0}, 1},
        {"device unknown keeps the stored", 0, 3, 0, {2}, 3},
        {"no motion record keeps the stored", 0, 2, -1, {1}, 2},
        {"a kind without a code calls nothing", 1, 7, 1, {}, 7},
    };
    for (const cOrientationCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        gSettings.Reset();
        gSettings.lockOrientation = c.lockOrientation;
        gSettings.currentOrientation = c.storedOrientation;
        cDeviceMotion* motion = c.deviceOrientation >= 0 ? new cDeviceMotion() : nullptr;
        if (motion)
        {
            motion->deviceOrientation = c.deviceOrientation;
        }
        cCodeRecorder recorder;
        cOrientationHandler handler(cDelegate(&recorder, &cCodeRecorder::OnChanged));
        EXPECT_EQ(handler.GetKind(), 0);
        for (int frame = 0; frame < 3; ++frame)
            handler.Update();
        EXPECT_EQ(recorder.codes, c.codes);
        EXPECT_EQ(gSettings.currentOrientation, c.storedAfter);
        if (motion)
        {
            EXPECT_EQ(motion->currentOrientation, handler.GetKind());
        }
        delete motion;
    }
    gSettings.Reset();
}

struct cEmailResult
{
    void OnDone(bool sent, const char* text)
    {
        ++calls;
        lastSent = sent;
        lastText = text;
    }
    int calls = 0;
    bool lastSent = true;
    std::string lastText;
};

TEST(DeviceServicesTest, EveryServiceGivesItsFixedAnswerAndEmailFailsAtOnce)
{
    cBatteryStatus battery;
    cNetworkStatus network;
    cDocklineServer server;
    cEmailService email;
    cShareServiceStub share;
    EXPECT_EQ(cBatteryStatus::GetInstance(), &battery);
    EXPECT_FLOAT_EQ(battery.GetLevel(), 1.0f);
    EXPECT_FALSE(battery.IsCharging());
    EXPECT_FALSE(network.IsConnected());
    EXPECT_TRUE(network.IsInternetReachable());
    EXPECT_TRUE(network.GetChangeDelegate().IsEmpty());
    EXPECT_EQ(server.GetStatus(), 0);
    EXPECT_EQ(cShareServiceStub::GetInstance(), &share);

    EXPECT_FALSE(email.CanSend());
    cEmailResult result;
    email.Send("someone", "subject", "body", cDelegate(&result, &cEmailResult::OnDone));
    EXPECT_EQ(result.calls, 1);
    EXPECT_FALSE(result.lastSent);
    EXPECT_EQ(result.lastText, "Email not implemented.");
    email.RepeatCompletion();
    EXPECT_EQ(result.calls, 2);
    EXPECT_EQ(result.lastText, "Email not implemented.");
}
} // namespace
