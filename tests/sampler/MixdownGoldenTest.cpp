// The whole mixdown path against a render kept from an earlier engine
// (tests/audio/GoldenRender.h): the reference song in the benchmarks' mono
// arrangement (the synthesizer's first preset on every melodic channel,
// the default kit's pads for the drums), through the desk's default sends
// and returns, rendered block by block as the mixdown job renders it but
// kept in float. The family arrangement cannot be kept: its free-running
// LFOs and chorus sweeps start at a phase taken from the program's clock.
#include "MixdownFixture.h"

#include <string>
#include <vector>

#include "BenchReferenceSong.h"
#include "audio/FlushDenormals.h"
#include "audio/GoldenRender.h"
#include "project/ProjectSlots.h"
#include "sampler/OfflineRender.h"

using namespace MixdownTest;

namespace
{
constexpr uint32_t kBlock = cOfflineRender::kBlockFrames;
// About three seconds kept, after five in which every channel has come in.
constexpr uint32_t kSkippedBlocks = 5 * 44100 / kBlock;
constexpr uint32_t kKeptBlocks = 3 * 44100 / kBlock;

class MixdownGolden : public cContentMixdownFixture
{
protected:

    static bool ArrangeMono()
    {
        cProject& project = *cProjectList::GetInstance()->GetCurrentProject();
        const cGenStringFixed<260> path(project.GetPath());
        project.NewDefault(path, 0);
        cInstrumentPackageRegistry& packages = *cInstrumentPackageRegistry::GetInstance();
        const std::string copy = TestScratchFolder() + "/golden-song-" + std::to_string(getpid()) + ".mid";
        const bool placed = BenchReferenceSong::Place(
            copy, static_cast<cAnalogueSynthPackage*>(packages.FindPackage("Kest")),
            static_cast<cTriggerPadPackage*>(packages.FindPackage("VRX")), BenchReferenceSong::eArrangement::Mono);
        std::filesystem::remove(copy);
        return placed;
    }

    // The song from its start, quieted and played as the mixdown plays it.
    static std::vector<float> RenderWindow()
    {
        cOfflineRender render;
        EXPECT_TRUE(render.Quiet(GetMixer()));
        render.StartPlaying(0, nullptr);
        cAudioProcessInfo info;
        info.offline = 1;
        info.sampleRate = cOfflineRender::kSampleRate;
        info.secondsPerSample = 1.0f / cOfflineRender::kSampleRate;
        info.duration = float(kBlock) / cOfflineRender::kSampleRate;
        std::vector<float> block(kBlock * 2), kept;
        cAudioBuffer buffer;
        buffer.Describe(kAudioFormatFloat, kBlock, 2, block.data());
        for (uint32_t n = 0; n < kSkippedBlocks + kKeptBlocks; ++n)
        {
            {
                const cScopedFlushDenormals flush;
                GetMixer()->RenderGraph(info, buffer, nullptr);
            }
            if (n >= kSkippedBlocks)
                kept.insert(kept.end(), block.begin(), block.end());
        }
        render.Restore();
        return kept;
    }
};
} // namespace

TEST_F(MixdownGolden, TheReferenceSongSoundsAsKept)
{
    ASSERT_TRUE(ArrangeMono()) << "no reference song at " << ReferenceSong::Path();
    EXPECT_TRUE(GoldenRender::Matches("mixdown-reference-mono", RenderWindow()));
}
