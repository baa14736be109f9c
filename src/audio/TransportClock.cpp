#include "audio/TransportClock.h"

#include <atomic>

namespace
{
std::atomic<cTransportClock*> sClock{nullptr};
}

void SetTransportClock(cTransportClock* clock)
{
    sClock.store(clock);
}

cTransportClock* GetTransportClock()
{
    return sClock.load(std::memory_order_acquire);
}
