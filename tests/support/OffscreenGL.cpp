#include "support/OffscreenGL.h"

#include "render/Renderer.h"
#include "render/opengl11/RendererGL11.h"

#include "BuildPaths.h"
#include "PngWriter.h"
#include "PvrWriter.h"

#include <SDL.h>
#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

std::string TestOutputFolder()
{
    const std::string folder = BuildFile("test-output");
    mkdir(folder.c_str(), 0755);
    return folder;
}

namespace
{
constexpr int kSurfaceSize = 1024;

// One window and context for the whole test program: graphics drivers keep
// allocations per context that they never give back, so contexts are not made
// and destroyed test by test. Each test draws into the bottom-left corner.
struct cSharedContext
{
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    std::string error;

    cSharedContext()
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        {
            error = SDL_GetError();
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        window = SDL_CreateWindow("test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kSurfaceSize,
                                  kSurfaceSize, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window)
            context = SDL_GL_CreateContext(window);
        if (!context)
            error = SDL_GetError();
    }
};

cSharedContext& SharedContext()
{
    static cSharedContext* shared = new cSharedContext();
    return *shared;
}
} // namespace

cOffscreenGL::cOffscreenGL(int width, int height) : mWidth(width), mHeight(height)
{
    cSharedContext& shared = SharedContext();
    if (!shared.context)
    {
        mError = shared.error;
        return;
    }
    if (width > kSurfaceSize || height > kSurfaceSize)
    {
        mError = "frame larger than the test surface";
        return;
    }
    if (SDL_GL_MakeCurrent(shared.window, shared.context) != 0)
    {
        mError = SDL_GetError();
        return;
    }
    mRenderer = CreateRendererGL11();
    gRenderer = mRenderer;
    mRenderer->SetScreenSize(float(width), float(height));
    // The surface outlives the test before: start on a cleared one (in the
    // clear values the new renderer set), so no depth left there hides
    // what this test draws.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

cOffscreenGL::~cOffscreenGL()
{
    if (gRenderer == mRenderer)
        gRenderer = nullptr;
    delete mRenderer;
}

std::vector<uint8_t> cOffscreenGL::ReadPixels() const { return ReadFramePixels(mWidth, mHeight); }

uint32_t cOffscreenGL::PixelAt(const std::vector<uint8_t>& frame, int x, int y) const
{
    const uint8_t* p = frame.data() + (size_t(y) * mWidth + x) * 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::string cOffscreenGL::SaveFrame(const std::string& name) const { return SavePixels(name, ReadPixels()); }

std::string cOffscreenGL::SavePixels(const std::string& name, const std::vector<uint8_t>& frame) const
{
    return SaveFramePixels(name, mWidth, mHeight, frame);
}

std::vector<uint8_t> ReadFramePixels(int width, int height)
{
    std::vector<uint8_t> bottomUp(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    const size_t rowBytes = size_t(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.data() + size_t(height - 1 - y) * rowBytes, rowBytes, topDown.data() + y * rowBytes);
    return topDown;
}

std::string SaveFramePixels(const std::string& name, int width, int height, const std::vector<uint8_t>& frame)
{
    const std::string path = TestOutputFolder() + "/" + name + ".png";
    WriteBinaryFile(path, EncodePng(uint32_t(width), uint32_t(height), frame));
    return path;
}

void cOffscreenGL::Finish() const { glFinish(); }
