#pragma once

#include "render/Renderer.h"
#include "render/opengl11/GLFrame.h"

// The renderer on fixed-function OpenGL 1.1 with client-side vertex arrays. It
// needs the window's GL context current on the calling thread.
//
// Between BeginFrame and EndFrame the OpenGL calls of a frame are recorded
// rather than made: a frame identical to the one on screen is then neither
// cleared, drawn nor presented, which on a software renderer is most of an
// idle program's cost. Anything that touches OpenGL objects (textures) stops
// the recording first, and the frame is made as it goes from there.
class cRendererGL11 : public cRenderer
{
public:
    cRendererGL11();
    ~cRendererGL11() override;

    cDeviceTexture* CreateDeviceTexture(const cPVRImage& image) override;
    void Clear(uint32_t flags) override;
    void Present() override;
    void SetViewport(uint32_t x, uint32_t y, uint32_t width, uint32_t height) override;
    void DrawArrays(ePrimitive primitive, const cVertexFormat& format, const void* vertices,
                    uint32_t vertexCount) override;
    void DrawIndexed(ePrimitive primitive, const cVertexFormat& format, const void* vertices, uint32_t vertexCount,
                     const uint16_t* indices, uint32_t indexCount) override;
    void SetClearDepth(float depth) override;
    void SetClearColour(uint32_t colour) override;
    void SetCullMode(eCullMode mode) override;
    void SetDepthFunc(eDepthFunc func) override;
    void SetColour(uint32_t colour) override;
    void SetBlendMode(eBlendMode mode) override;
    void SetProjectionMatrix(const cMatrix44& matrix) override;
    void SetModelMatrix(const cMatrix44& matrix) override;
    void SetViewMatrix(const cMatrix44& matrix) override;
    void SetScissor(const cClipRect& rect) override;
    void DisableScissor() override;
    void BindTexture(int unit, cTexture* texture, eSampling sampling) override;
    void SetTextureSampling(int unit, eSampling sampling) override;

    void BeginFrame();
    // Makes the recorded frame unless it is the one on screen and nothing
    // asks for it to be shown again (mustPresent: the window was exposed,
    // resized or focused); true when there is a new frame to present.
    bool EndFrame(bool mustPresent);
    // Makes what was recorded so far and stops recording this frame.
    void StopRecording();

    // Points the vertex arrays at data; constantColour is what a layout
    // without colours draws with.
    void ApplyVertexFormat(const cVertexFormat& format, const void* data, uint32_t constantColour);
    void MakeDraw(ePrimitive primitive, const cVertexFormat& format, uint32_t constantColour, const void* vertices,
                  uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount);
    bool HasExtension(const char* name) const;

private:
    void Gl(cGLFrame::eCall call, std::initializer_list<uint32_t> words);
    void GlSetEnabled(uint32_t capability, bool enabled);
    void LoadMatrix(const cMatrix44& matrix);
    void SelectMatrixMode(uint32_t mode);

    uint32_t mMatrixMode;
    cMatrix44 mModelView;
    const cVertexFormat* mVertexFormat = nullptr;
    const void* mVertexData = nullptr;
    bool mRecording = false;
    cGLFrame mFrame;
    cGLFrame mShownFrame;
};

// Creates the renderer on the current GL context; check its ready flag.
cRenderer* CreateRendererGL11();

// Empties the GL error queue; true when an error was pending.
bool DrainGLErrors();
