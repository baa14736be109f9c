#pragma once

#include <chrono>
#include <thread>

// How long a test waits for a state another thread brings about: a loaded
// machine may take its time, and a passing test never waits it out.
constexpr std::chrono::milliseconds kStateWait{30000};

// Polls a condition every millisecond until it holds; false when the limit
// passes first. For what another thread (the audio thread) brings about.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
