#pragma once

#include "render/DeviceTexture.h"
#include "render/Renderer.h"

#include <string>
#include <vector>

// A renderer without a device: it keeps the caches as every implementation
// must and logs each operation by name, so tests can see which state changes
// reached the device.
class cRecordingRenderer : public cRenderer
{
public:
    cRecordingRenderer()
    {
        ResetState();
        ready = true;
        calls.clear();
    }
    ~cRecordingRenderer() override = default;

    cDeviceTexture* CreateDeviceTexture(const cPVRImage& image) override
    {
        calls.push_back("CreateDeviceTexture");
        return new cFakeDeviceTexture(image);
    }
    void Clear(uint32_t) override { calls.push_back("Clear"); }
    void Present() override {}
    void SetViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height) override
    {
        viewport[0] = float(x);
        viewport[1] = float(y);
        viewport[2] = float(width);
        viewport[3] = float(height);
        calls.push_back("SetViewport");
    }
    void DrawArrays(ePrimitive, const cVertexFormat&, const void*, uint32_t) override { calls.push_back("DrawArrays"); }
    void DrawIndexed(ePrimitive, const cVertexFormat&, const void*, uint32_t, const uint16_t*, uint32_t) override
    {
        calls.push_back("DrawIndexed");
    }
    void SetClearDepth(float depth) override { clearDepth = depth; }
    void SetClearColour(uint32_t value) override { clearColour = value; }
    void SetCullMode(eCullMode mode) override
    {
        cullMode = mode;
        calls.push_back("SetCullMode");
    }
    void SetDepthFunc(eDepthFunc func) override { depthFunc = func; }
    void SetColour(uint32_t value) override
    {
        colour = value;
        calls.push_back("SetColour");
    }
    void SetBlendMode(eBlendMode mode) override
    {
        blendMode = mode;
        calls.push_back("SetBlendMode");
    }
    void SetProjectionMatrix(const cMatrix44& matrix) override
    {
        cMatrix44::MultiplyRotation(projection, matrix, screen.rotation);
        calls.push_back("SetProjectionMatrix");
    }
    void SetModelMatrix(const cMatrix44&) override { calls.push_back("SetModelMatrix"); }
    void SetViewMatrix(const cMatrix44&) override { calls.push_back("SetViewMatrix"); }
    void SetScissor(const cClipRect& rect) override
    {
        scissor = rect;
        scissorEnabled = true;
        calls.push_back("SetScissor");
    }
    void DisableScissor() override
    {
        scissorEnabled = false;
        calls.push_back("DisableScissor");
    }
    void BindTexture(int, cTexture* texture, eSampling sampling) override
    {
        StoreTexture(texture);
        sampling0 = sampling;
        calls.push_back("BindTexture");
    }
    void SetTextureSampling(int, eSampling sampling) override
    {
        sampling0 = sampling;
        calls.push_back("SetTextureSampling");
    }

    cClipRect scissor = {0, 0, 0, 0};
    std::vector<std::string> calls;

private:
    class cFakeDeviceTexture : public cDeviceTexture
    {
    public:
        explicit cFakeDeviceTexture(const cPVRImage& image) : cDeviceTexture(image) { notUploaded = false; }
        bool Upload(const cPVRImage&) override { return true; }
    };
};
