#include "app/ProgramRenderer.h"

#include "render/Renderer.h"
#include "render/opengl11/RendererGL11.h"

namespace
{
bool CreateRenderer()
{
    gRenderer = CreateRendererGL11();
    return gRenderer && gRenderer->ready;
}

void DestroyRenderer()
{
    delete gRenderer;
    gRenderer = nullptr;
}

void BeginFrame() { static_cast<cRendererGL11*>(gRenderer)->BeginFrame(); }

bool EndFrame(bool mustPresent) { return static_cast<cRendererGL11*>(gRenderer)->EndFrame(mustPresent); }
} // namespace

const cRendererHooks& GetProgramRendererHooks()
{
    static const cRendererHooks hooks = {&CreateRenderer, &DestroyRenderer, &BeginFrame, &EndFrame};
    return hooks;
}
