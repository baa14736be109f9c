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
} // namespace

const cRendererHooks& GetProgramRendererHooks()
{
    static const cRendererHooks hooks = {&CreateRenderer, &DestroyRenderer};
    return hooks;
}
