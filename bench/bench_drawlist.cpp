// CPU side of one busy frame of 2D drawing: 10,000 sprites and 2,000 glyphs
// go into the draw list and are flushed to a renderer that draws nothing, so
// only batching, vertex writing and text layout are measured.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "base/FastMath.h"
#include "base/File.h"
#include "base/GenString.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/Renderer.h"

namespace
{
class cNullRenderer : public cRenderer
{
public:
    cNullRenderer()
    {
        ResetState();
        ready = true;
    }
    cDeviceTexture* CreateDeviceTexture(const cPVRImage&) override { return nullptr; }
    void Clear(uint32_t) override {}
    void Present() override {}
    void SetViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height) override
    {
        viewport[0] = float(x);
        viewport[1] = float(y);
        viewport[2] = float(width);
        viewport[3] = float(height);
    }
    void DrawArrays(ePrimitive, const cVertexFormat&, const void*, uint32_t count) override { submitted += count; }
    void DrawIndexed(ePrimitive, const cVertexFormat&, const void*, uint32_t count, const uint16_t*, uint32_t) override
    {
        submitted += count;
    }
    void SetClearDepth(float depth) override { clearDepth = depth; }
    void SetClearColour(uint32_t value) override { clearColour = value; }
    void SetCullMode(eCullMode mode) override { cullMode = mode; }
    void SetDepthFunc(eDepthFunc func) override { depthFunc = func; }
    void SetColour(uint32_t value) override { colour = value; }
    void SetBlendMode(eBlendMode mode) override { blendMode = mode; }
    void SetProjectionMatrix(const cMatrix44& matrix) override { projection = matrix; }
    void SetModelMatrix(const cMatrix44&) override {}
    void SetViewMatrix(const cMatrix44&) override {}
    void SetScissor(const cClipRect&) override { scissorEnabled = true; }
    void DisableScissor() override { scissorEnabled = false; }
    void BindTexture(int, cTexture* texture, eSampling sampling) override
    {
        StoreTexture(texture);
        sampling0 = sampling;
    }
    void SetTextureSampling(int, eSampling sampling) override { sampling0 = sampling; }

    uint64_t submitted = 0;
};

template <class T>
void Put(std::vector<uint8_t>& out, const T& value)
{
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

// A font of the shape the generator writes: 128 glyphs at three sizes, with a
// few kerning pairs after 'A'.
cFont* MakeFont()
{
    std::vector<uint8_t> out;
    const char texture[] = "Bench.pvr";
    Put(out, uint32_t(sizeof(texture) - 1));
    for (char c : texture)
        Put(out, c);
    Put(out, uint32_t(0));
    const cFontKerning kerning[5] = {{0, 0}, {'V', -0.1f}, {'W', -0.08f}, {'T', -0.1f}, {0, 0}};
    Put(out, uint32_t(5));
    for (uint32_t c = 0; c < 256; ++c)
        Put(out, uint32_t(c == 'A' ? 1 : 0));
    for (const cFontKerning& k : kerning)
        Put(out, k);
    const float sizes[3] = {10, 14, 20};
    Put(out, uint32_t(3));
    for (float size : sizes)
        Put(out, size);
    Put(out, uint32_t(128));
    for (uint32_t c = 0; c < 256; ++c)
        Put(out, uint32_t(c < 128 ? c : 0));
    Put(out, uint32_t(0));
    for (float size : sizes)
        for (uint32_t g = 0; g < 128; ++g)
            Put(out, cFontGlyph{size * 0.55f, 0.5f, 1, size * 0.5f, size, 0.01f * float(g % 100), 0.1f,
                                0.01f * float(g % 100) + 0.01f, 0.2f});
    auto* font = new cFont();
    font->SetName("Default");
    File::cFileMemoryRead stream(out.data(), int(out.size()));
    cGenStringFixed<260> name;
    if (!font->ReadTables(stream, name))
    {
        delete font;
        return nullptr;
    }
    return font;
}

void DrawListFrame(benchmark::State& state)
{
    InitFastMathTables();
    cNullRenderer renderer;
    gRenderer = &renderer;
    renderer.SetScreenSize(1024, 768);
    new cMaterialRegistry();
    auto* skin = new cMaterial(kBlendAlpha);
    gMaterialRegistry->Add("TexturedColour", skin);
    gMaterialRegistry->Add("Fill", new cMaterial(kBlendAlpha));
    gMaterialRegistry->Add("Untextured", new cMaterial(kBlendOff));
    gMaterialRegistry->Add("UntexturedAlpha", new cMaterial(kBlendAlpha));
    new cFontRegistry();
    if (cFont* font = MakeFont())
        gFontRegistry->Add(font);

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

    delete gFontRegistry;
    delete gMaterialRegistry;
    gRenderer = nullptr;
}
BENCHMARK(DrawListFrame)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
