// Start-up of the generated content: the texture profiles, the materials over
// the atlases and the font, loaded and uploaded to a real OpenGL context.
// Goal: the desktop content in under 100 ms.

#include <benchmark/benchmark.h>

#include "render/RenderStartup.h"
#include "render/Texture.h"
#include "support/OffscreenGL.h"
#include "support/ResMount.h"

namespace
{
void BM_ContentStartup(benchmark::State& state)
{
    const int32_t deviceClass = int32_t(state.range(0));
    cOffscreenGL gl(160, 60);
    if (!gl.IsReady())
    {
        state.SkipWithError(gl.Error().c_str());
        return;
    }
    cResMount mount(GeneratedResourceFolder());
    for (auto _ : state)
    {
        SelectTextureProfiles(deviceClass);
        if (!CreateMaterials(deviceClass) || !CreateFonts())
            state.SkipWithError("the generated content is missing");
        state.PauseTiming();
        DestroyMaterialsAndFonts();
        state.ResumeTiming();
    }
    SelectTextureProfiles(0);
}
} // namespace

BENCHMARK(BM_ContentStartup)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
