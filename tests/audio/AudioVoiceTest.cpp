#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/os/AudioVoice.h"

using namespace std::chrono_literals;

TEST(AudioVoiceTest, QueueCountsTheBufferInPlayAndWaitsAreTimed)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    cAudioVoice voice;
    ASSERT_TRUE(voice.Init(44100, 2, 16, false)) << voice.GetError();
    static int16_t buffers[3][440] = {};
    for (auto& buffer : buffers)
        EXPECT_TRUE(voice.Submit(buffer, sizeof(buffer)));
    EXPECT_EQ(voice.GetBuffersQueued(), 3u);

    // Stopped: nothing is consumed, and the wait gives up.
    voice.WaitForBufferEnd(0); // clear an earlier signal
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(voice.WaitForBufferEnd(100));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms);

    voice.Start();
    EXPECT_TRUE(voice.WaitForBufferEnd(1000));
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (voice.GetBuffersQueued() != 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(voice.GetBuffersQueued(), 0u);
    voice.Stop();

    for (auto& buffer : buffers)
        voice.Submit(buffer, sizeof(buffer));
    voice.Flush();
    EXPECT_EQ(voice.GetBuffersQueued(), 0u);
    voice.Release();
}
