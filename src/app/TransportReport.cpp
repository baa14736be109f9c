#include "app/TransportReport.h"

#include "audio/Transport.h"
#include "platform/PlaybackStateService.h"

namespace
{
enum : int32_t
{
    kStateOther = 0,
    kTransportStopped = 1,
    kTransportPlaying = 2,
    kNotAvailable = 3,
    kPositionAtStart = 3,
    kPositionElsewhere = 2,
    kNoCapture = 3,
    kCaptureArmed = 4,
    kCapturing = 2,
};

bool ShowsTransport(int32_t statusBarMode) { return statusBarMode == 0 || statusBarMode == 1 || statusBarMode == 3; }

int32_t StartPosition() { return gTransport.loopOn.load() != 0 ? gTransport.loopStart.load() : 0; }

int32_t SamplerState(int32_t captureState)
{
    switch (captureState)
    {
    case cTransportScreen::kNoCapturePanel: return kNoCapture;
    case 0: return kNoCapture;
    case 1: return kCaptureArmed;
    case 2: return kCapturing;
    default: return kStateOther;
    }
}
} // namespace

void ReportTransportState(const cTransportScreen& screen)
{
    cPlaybackStateService* service = gPlaybackStateService;
    if (!service)
        return;
    int32_t transport = kNotAvailable;
    int32_t position = kNotAvailable;
    if (ShowsTransport(screen.statusBarMode))
    {
        const bool stopped = gTransport.state.load() == cTransport::kStopped;
        transport = stopped ? kTransportStopped : kTransportPlaying;
        position = !stopped || gTransport.position.load() == StartPosition() ? kPositionAtStart : kPositionElsewhere;
    }
    service->SetState(cPlaybackStateService::kSlotTransport, transport);
    service->SetState(cPlaybackStateService::kSlotPosition, position);
    service->SetState(cPlaybackStateService::kSlotSampler, SamplerState(screen.captureState));
}
