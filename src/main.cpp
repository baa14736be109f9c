#include "app/ProgramRenderer.h"
#include "app/QuilwrightApplication.h"
#include "platform/PlatformMain.h"

int main(int argc, char** argv)
{
    return PlatformMain(argc, argv, &cQuilwrightApplication::Create, GetProgramRendererHooks());
}
