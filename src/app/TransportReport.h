#pragma once

#include <cstdint>

// What the status bar shows (its mode, the screen's transport) and the
// sampler page's capture decide what an outside transport control may do.
struct cTransportScreen
{
    static constexpr int32_t kNoCapturePanel = -1;

    int32_t statusBarMode = 0;
    // The sample panel's capture state, or kNoCapturePanel when the sampler
    // page or its sample panel is not shown.
    int32_t captureState = kNoCapturePanel;
};

// Writes the transport, sampler and position states into the playback-state
// service, when there is one, each only when it changes.
void ReportTransportState(const cTransportScreen& screen);
