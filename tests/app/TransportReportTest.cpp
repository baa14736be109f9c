#include <gtest/gtest.h>

#include "app/TransportReport.h"
#include "audio/Transport.h"
#include "platform/PlaybackStateService.h"

namespace
{
struct cReportCase
{
    const char* name;
    int32_t statusBarMode;
    int32_t transportState;
    int32_t position;
    int32_t loopOn;
    int32_t captureState;
    int32_t transport, sampler, positionState;
};

TEST(TransportReportTest, TheScreenAndTheTransportDecideTheThreeStates)
{
    constexpr int32_t none = cTransportScreen::kNoCapturePanel;
    const cReportCase cases[] = {
        {"stopped at 0", 0, cTransport::kStopped, 0, 0, none, 1, 3, 3},
        {"stopped elsewhere", 0, cTransport::kStopped, 512, 0, none, 1, 3, 2},
        {"stopped at the loop start", 1, cTransport::kStopped, 2048, 1, none, 1, 3, 3},
        {"stopped at 0 while looping from elsewhere", 3, cTransport::kStopped, 0, 1, none, 1, 3, 2},
        {"playing", 0, cTransport::kPlaying, 512, 0, none, 2, 3, 3},
        {"recording", 0, cTransport::kRecording, 512, 0, none, 2, 3, 3},
        {"no transport on this screen", 2, cTransport::kPlaying, 512, 0, none, 3, 3, 3},
        {"capture ready", 0, cTransport::kStopped, 0, 0, 0, 1, 3, 3},
        {"capture armed", 0, cTransport::kStopped, 0, 0, 1, 1, 4, 3},
        {"capturing", 0, cTransport::kStopped, 0, 0, 2, 1, 2, 3},
        {"another capture state", 0, cTransport::kStopped, 0, 0, 5, 1, 0, 3},
    };
    cPlaybackStateService service;
    for (const cReportCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        gTransport.state = c.transportState;
        gTransport.position = c.position;
        gTransport.loopOn = c.loopOn;
        gTransport.loopStart = 2048;
        cTransportScreen screen;
        screen.statusBarMode = c.statusBarMode;
        screen.captureState = c.captureState;
        ReportTransportState(screen);
        EXPECT_EQ(service.GetState(cPlaybackStateService::kSlotTransport), c.transport);
        EXPECT_EQ(service.GetState(cPlaybackStateService::kSlotSampler), c.sampler);
        EXPECT_EQ(service.GetState(cPlaybackStateService::kSlotPosition), c.positionState);
    }
    gTransport.state = cTransport::kStopped;
    gTransport.position = 0;
    gTransport.loopOn = 0;
    gTransport.loopStart = 0;
}
} // namespace
