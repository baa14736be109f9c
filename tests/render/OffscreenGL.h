#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;
class cRenderer;

// A hidden SDL window with a real OpenGL context (SDL_VIDEODRIVER=offscreen
// works without a display) and the OpenGL 1.1 renderer on it, installed as the
// global renderer for the test's lifetime.
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

private:
    int mWidth;
    int mHeight;
    SDL_Window* mWindow = nullptr;
    void* mContext = nullptr;
    cRenderer* mRenderer = nullptr;
    std::string mError;
};

// <build>/test-output, created on first use.
std::string TestOutputFolder();
