#include "app/QuilwrightApplication.h"
#include "platform/PlatformMain.h"
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

int main(int argc, char** argv)
{
    const cRendererHooks renderer = {&CreateRenderer, &DestroyRenderer};
    return PlatformMain(argc, argv, &cQuilwrightApplication::Create, renderer);
}
