#pragma once

// What the drawing benchmarks share: a renderer that draws nothing, a font of
// the shape the generator writes, and the program's named materials, so only
// the CPU side of a frame is measured.

#include <cstring>
#include <vector>

#include "base/FastMath.h"
#include "base/File.h"
#include "base/GenString.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/Material.h"
#include "render/Renderer.h"

namespace BenchDrawing
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
inline void Put(std::vector<uint8_t>& out, const T& value)
{
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}

// A font of the shape the generator writes: 128 glyphs at three sizes, with a
// few kerning pairs after 'A'.
inline cFont* MakeFont()
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

// The renderer and the registries of a 1024 x 768 frame, installed for the
// set-up's lifetime.
class cSetUp
{
public:
    cSetUp()
    {
        InitFastMathTables();
        gRenderer = &renderer;
        renderer.SetScreenSize(1024, 768);
        new cMaterialRegistry();
        skin = new cMaterial(kBlendAlpha);
        gMaterialRegistry->Add("TexturedColour", skin);
        gMaterialRegistry->Add("Fill", new cMaterial(kBlendAlpha));
        gMaterialRegistry->Add("Untextured", new cMaterial(kBlendOff));
        gMaterialRegistry->Add("UntexturedAlpha", new cMaterial(kBlendAlpha));
        new cFontRegistry();
        if (cFont* font = MakeFont())
            gFontRegistry->Add(font);
    }
    ~cSetUp()
    {
        delete gFontRegistry;
        delete gMaterialRegistry;
        gRenderer = nullptr;
    }
    cSetUp(const cSetUp&) = delete;
    cSetUp& operator=(const cSetUp&) = delete;

    cNullRenderer renderer;
    cMaterial* skin = nullptr;
};
} // namespace BenchDrawing
