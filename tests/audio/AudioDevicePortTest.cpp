#include <gtest/gtest.h>

#include <vector>

#include "TestModules.h"
#include "audio/AudioDevicePort.h"

namespace
{
struct cDeviceBuffer
{
    explicit cDeviceBuffer(uint32_t frames) : samples(frames * 2, int16_t(-7))
    {
        buffer.Describe(kAudioFormatS16, frames, 2, samples.data());
    }
    int16_t Left(uint32_t frame) const { return samples[frame * 2]; }

    std::vector<int16_t> samples;
    cAudioBuffer buffer;
};

cAudioProcessInfo MakeInfo()
{
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    return info;
}
} // namespace

TEST(BlockAdapterTest, DeviceBufferOf220RendersTwoBlocksStraightIn)
{
    cAudioDeviceOutputPort port(128);
    cCountingModule module;
    port.AddListener(&module);
    cAudioProcessInfo info = MakeInfo();
    cDeviceBuffer device(220);

    port.Process(info, device.buffer, 128);

    EXPECT_EQ(module.blocks, (std::vector<uint32_t>{128, 92}));
    EXPECT_EQ(port.GetBlockAdapter().GetFifo().GetFill(), 0u);
    for (uint32_t f = 0; f < 220; ++f)
        ASSERT_EQ(device.Left(f), int16_t(f + 1)) << f;
    EXPECT_FLOAT_EQ(info.duration, 92.0f / 44100.0f);
    EXPECT_EQ(port.GetStreamFormat(), uint32_t(kAudioFormatS16));
    EXPECT_EQ(port.GetStreamChannels(), 2u);
}

TEST(BlockAdapterTest, UnevenBufferKeepsTheRoundedUpTailForTheNextBuffer)
{
    cAudioDeviceOutputPort port(128);
    cCountingModule module;
    port.AddListener(&module);
    cAudioProcessInfo info = MakeInfo();

    cDeviceBuffer first(130);
    port.Process(info, first.buffer, 128);
    // 128 straight in, then 2 frames rendered as 4 into the scratch.
    EXPECT_EQ(module.blocks, (std::vector<uint32_t>{128, 4}));
    EXPECT_EQ(port.GetBlockAdapter().GetFifo().GetFillFrames(), 2u);
    for (uint32_t f = 0; f < 130; ++f)
        ASSERT_EQ(first.Left(f), int16_t(f + 1)) << f;

    cDeviceBuffer second(130);
    port.Process(info, second.buffer, 128);
    // The 2 kept frames come first, then one block of 128.
    EXPECT_EQ(module.blocks, (std::vector<uint32_t>{128, 4, 128}));
    for (uint32_t f = 0; f < 130; ++f)
        ASSERT_EQ(second.Left(f), int16_t(131 + f)) << f;
    EXPECT_EQ(port.GetBlockAdapter().GetFifo().GetFill(), 0u);
}

TEST(BlockAdapterTest, DisablingDropsTheFifoAndSilencesTheOutput)
{
    cAudioDeviceOutputPort port(128);
    cCountingModule module;
    port.AddListener(&module);
    cAudioProcessInfo info = MakeInfo();
    cDeviceBuffer uneven(130);
    port.Process(info, uneven.buffer, 128);
    ASSERT_EQ(port.GetBlockAdapter().GetFifo().GetFillFrames(), 2u);

    EXPECT_TRUE(port.SetEnabled(false));
    EXPECT_EQ(port.GetBlockAdapter().GetFifo().GetFill(), 0u);
    cDeviceBuffer silent(220);
    port.Process(info, silent.buffer, 128);
    for (int16_t s : silent.samples)
        ASSERT_EQ(s, 0);

    EXPECT_FALSE(port.SetEnabled(true));
    cDeviceBuffer again(8);
    port.Process(info, again.buffer, 128);
    EXPECT_EQ(again.Left(0), int16_t(module.next - 8)); // fresh frames, nothing kept
}

TEST(BlockAdapterTest, PortWithoutListenersDeliversZeroes)
{
    cAudioDeviceOutputPort output(128);
    cAudioDeviceInputPort input;
    cAudioProcessInfo info = MakeInfo();
    for (cAudioDevicePort* port : {static_cast<cAudioDevicePort*>(&output), static_cast<cAudioDevicePort*>(&input)})
    {
        cDeviceBuffer device(220);
        port->Process(info, device.buffer, 128);
        for (int16_t s : device.samples)
            ASSERT_EQ(s, 0) << port->GetName().CStr();
    }
    EXPECT_STREQ(output.GetName().CStr(), "MainOut");
    EXPECT_STREQ(input.GetName().CStr(), "Record");
}

TEST(AudioDevicePortTest, ListenersRenderInOrderAndRemovalKeepsOrder)
{
    struct cTagModule : cAudioModuleBase
    {
        cTagModule(std::vector<int>& log, int tag) : cAudioModuleBase(0), log(log), tag(tag) {}
        int32_t Process(const cAudioProcessInfo&, cAudioBuffer&) override
        {
            log.push_back(tag);
            return 0;
        }
        std::vector<int>& log;
        int tag;
    };
    std::vector<int> log;
    cTagModule a(log, 1), b(log, 2), c(log, 3);
    cAudioDeviceOutputPort port(128);
    port.AddListener(&a);
    port.AddListener(&b);
    port.AddListener(&c);
    port.RemoveListener(&b);
    port.RemoveListener(&b); // absent: no change
    cAudioProcessInfo info = MakeInfo();
    cDeviceBuffer device(128);
    port.Process(info, device.buffer, 128);
    EXPECT_EQ(log, (std::vector<int>{1, 3}));
}

TEST(AudioDevicePortTest, ListenerArrayGrowsAndShrinksByItsRule)
{
    std::vector<cAudioModuleBase*> modules;
    for (int i = 0; i < 33; ++i)
        modules.push_back(new cAudioModuleBase(0));
    cAudioDeviceOutputPort port(128);
    std::vector<uint32_t> capacities;
    for (cAudioModuleBase* module : modules)
    {
        port.AddListener(module);
        if (capacities.empty() || capacities.back() != port.GetListenerCapacity())
            capacities.push_back(port.GetListenerCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{8, 16, 32, 56}));

    for (int i = 0; i < 6; ++i)
        port.RemoveListener(modules[i]);
    EXPECT_EQ(port.GetListenerCount(), 27u);
    EXPECT_EQ(port.GetListenerCapacity(), 27u);
    for (int i = 6; i < 30; ++i)
        port.RemoveListener(modules[i]);
    EXPECT_EQ(port.GetListenerCount(), 3u);
    EXPECT_EQ(port.GetListenerCapacity(), 16u);
    for (cAudioModuleBase* module : modules)
        delete module;
}
