#pragma once

// The toolkit as the application starts it, on the bench's null renderer:
// what the widget benchmarks stand on.

#include <memory>

#include "BenchDrawing.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

class cBenchToolkit
{
public:
    cBenchToolkit()
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetFrameTiming(60.0f);
        input.Init();
        manager = std::make_unique<cWidgetManager>();
        manager->Init(&setUp.renderer);
        manager->GetDrawList()->currentMaterial = setUp.skin;
        manager->GetRoot()->SetMaterial(setUp.skin);
    }
    ~cBenchToolkit()
    {
        manager.reset();
        ResetDisplayMetrics();
    }

    BenchDrawing::cSetUp setUp;
    cInputManager input;
    std::unique_ptr<cWidgetManager> manager;
};
