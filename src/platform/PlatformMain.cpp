#include "platform/PlatformMain.h"

#include "base/FastMath.h"
#include "base/Thread.h"
#include "platform/ApplicationBase.h"
#include "platform/PlatformShell.h"

int PlatformMain(int argc, char** argv, tApplicationFactory createApplication, const cRendererHooks& renderer)
{
    SetThreadName("Main Thread");
    InitFastMathTables();
    cApplicationBase* application = createApplication(argc > 0 ? argc - 1 : 0, argv + (argc > 0 ? 1 : 0));
    cPlatformShell shell(application, renderer);
    return shell.Run();
}
