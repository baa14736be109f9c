#include "base/AutoResetEvent.h"

#include <gtest/gtest.h>

#include <thread>

TEST(AutoResetEvent, ASignalWakesOneWaitAndIsThenReset)
{
    cAutoResetEvent event;
    EXPECT_FALSE(event.Wait(1)) << "nothing signalled";
    event.Signal();
    EXPECT_TRUE(event.Wait(0)) << "a signal before the wait is kept";
    EXPECT_FALSE(event.Wait(1)) << "reset by the wait that took it";

    std::thread signaller([&] { event.Signal(); });
    EXPECT_TRUE(event.Wait(60000));
    signaller.join();
}
