#pragma once

#include <cstdint>
#include <string>
#include <vector>

class cRenderer;

// A real OpenGL context in a hidden SDL window (SDL_VIDEODRIVER=offscreen works
// without a display) with a fresh OpenGL 1.1 renderer on it, installed as the
// global renderer for the test's lifetime. Frames of up to 1024 x 1024 pixels
// are drawn in the surface's bottom-left corner.
class cOffscreenGL
{
public:
    cOffscreenGL(int width, int height);
    ~cOffscreenGL();
    cOffscreenGL(const cOffscreenGL&) = delete;
    cOffscreenGL& operator=(const cOffscreenGL&) = delete;

    // False (with the reason in Error()) when no context could be made.
    bool IsReady() const { return mRenderer != nullptr; }
    const std::string& Error() const { return mError; }
    cRenderer& Renderer() { return *mRenderer; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    // The frame as RGBA bytes, top row first (window coordinates as drawn).
    std::vector<uint8_t> ReadPixels() const;
    // One pixel of a frame read with ReadPixels, as 0xAABBGGRR like the renderer's colours.
    uint32_t PixelAt(const std::vector<uint8_t>& frame, int x, int y) const;
    // Saves the current frame as a PNG under <build>/test-output/ and returns its path.
    std::string SaveFrame(const std::string& name) const;
    // The same of a frame read earlier with ReadPixels.
    std::string SavePixels(const std::string& name, const std::vector<uint8_t>& frame) const;
    // Until every frame drawn so far is done. Frames drawn in a loop are
    // otherwise queued, and a slow machine reads the next one seconds later.
    void Finish() const;

private:
    int mWidth;
    int mHeight;
    cRenderer* mRenderer = nullptr;
    std::string mError;
};

// The bottom-left width x height pixels of the current context's back buffer
// as RGBA bytes, top row first: a frame just drawn, before it is presented.
std::vector<uint8_t> ReadFramePixels(int width, int height);
// Saves such a frame as a PNG under <build>/test-output/ and returns its path.
std::string SaveFramePixels(const std::string& name, int width, int height, const std::vector<uint8_t>& frame);

// <build>/test-output, created on first use.
std::string TestOutputFolder();
