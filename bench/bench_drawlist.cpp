// CPU side of one busy frame of 2D drawing: 10,000 sprites and 2,000 glyphs
// go into the draw list and are flushed to a renderer that draws nothing, so
// only batching, vertex writing and text layout are measured.

#include <benchmark/benchmark.h>

#include <vector>

#include "BenchDrawing.h"
#include "render/AtlasSprite.h"

namespace
{
void DrawListFrame(benchmark::State& state)
{
    BenchDrawing::cSetUp setUp;
    BenchDrawing::cNullRenderer& renderer = setUp.renderer;
    cMaterial* skin = setUp.skin;

    std::vector<cAtlasSprite> sprites;
    for (int i = 0; i < 64; ++i)
    {
        const float x = float(i % 8) * 32, y = float(i / 8) * 32;
        sprites.push_back({x / 256, y / 256, (x + 24) / 256, (y + 24) / 256, x, y, x + 24, y + 24, 24, 24,
                           x + 12, y + 12});
    }
    const char* const lines[4] = {"Master volume -6.0dB LR", "AVANT WAVE 12 Track 4(a)", "Cutoff 1.2kHz, Res 40.%",
                                  "Pattern 3 / Part 12 of 64."};

    cDrawList list(&renderer);
    for (auto _ : state)
    {
        list.currentMaterial = skin;
        list.Begin();
        for (int i = 0; i < 10000; ++i)
        {
            const cAtlasSprite& s = sprites[size_t(i) & 63];
            const float x = float((i * 37) % 1000), y = float((i * 53) % 740);
            list.DrawQuad({x, y, x + s.width, y + s.height}, {s.u0, s.v0}, {s.u1, s.v1}, 0xffffffff, 0);
        }
        // 100 texts of 20 glyphs each (blanks advance without a glyph).
        for (int i = 0; i < 100; ++i)
        {
            const char* text = lines[i & 3];
            list.DrawTextSized(float(i % 10) * 100, float(i / 10) * 70, 0xffdcdcdc, 0x20, text, 14);
        }
        list.End();
        benchmark::DoNotOptimize(renderer.submitted);
    }
    state.counters["vertices/frame"] = double(renderer.submitted) / double(state.iterations());
}
BENCHMARK(DrawListFrame)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
