#include <gtest/gtest.h>

#include "audio/AudioModule.h"
#include "audio/FlushDenormals.h"
#include "audio/Instrument.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "sampler/OfflineRender.h"

namespace
{
// Notes whether each block it renders runs with denormals flushed.
class cFlushProbe : public cAudioModule
{
public:
    explicit cFlushProbe(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer&) override
    {
        DrainEvents();
        ++blocks;
        flushedBlocks += AreDenormalsFlushed() ? 1 : 0;
        return 0;
    }

    int blocks = 0;
    int flushedBlocks = 0;
};

class cProbeInstrument : public cInstrument
{
public:
    cProbeInstrument()
    {
        SetModule(new cFlushProbe(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}
    cFlushProbe& Probe() const { return *static_cast<cFlushProbe*>(GetModule()); }
};
} // namespace

// A render on a job thread flushes denormals as the audio thread does, and
// leaves the thread's own mode as it found it.
TEST(OfflineRender, BlocksRenderWithDenormalsFlushedAndTheThreadKeepsItsMode)
{
    const bool before = AreDenormalsFlushed();
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    cProbeInstrument instrument;
    mixer.InsertChannels(&instrument, nullptr);
    {
        cOfflineRender render;
        ASSERT_TRUE(render.Quiet(&mixer));
        const int quieting = instrument.Probe().blocks;
        for (int i = 0; i < 5; ++i)
        {
            render.RenderBlock(cOfflineRender::kBlockFrames, nullptr);
            EXPECT_EQ(AreDenormalsFlushed(), before);
        }
        EXPECT_EQ(instrument.Probe().blocks, quieting + 5);
        render.Restore();
    }
    EXPECT_GT(instrument.Probe().blocks, 5);
    EXPECT_EQ(instrument.Probe().flushedBlocks, instrument.Probe().blocks);
    EXPECT_EQ(AreDenormalsFlushed(), before);
    mixer.RemoveChannels(&instrument);
}
