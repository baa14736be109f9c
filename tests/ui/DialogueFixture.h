#pragma once

#include <functional>
#include <string>
#include <vector>

#include "render/AtlasSprite.h"
#include "ui/ControlFixture.h"
#include "ui/DialogueKit.h"
#include "ui/UIMetrics.h"

// Draws whatever the test asks for inside the frame's draw pass.
class cCanvasWidget : public cWidget
{
public:
    bool Draw(cDrawList& list) override
    {
        if (paint)
            paint(list);
        return false;
    }
    std::function<void(cDrawList&)> paint;
};

// Controls on a 640 x 480 root with the metrics of the device class.
class DialogueFixture : public ControlFixture
{
protected:
    DialogueFixture()
    {
        SetupUIMetrics();
        // As in the program, where the fonts come before the widget manager.
        manager->GetDrawList()->fontHandle.Select(10);
    }
    ~DialogueFixture() override
    {
        cWidgetDialogueDropDown::SetHost(nullptr);
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
    }

    void UseDeviceClass(int32_t deviceClass)
    {
        SetDisplayMetricsForClass(deviceClass);
        SetupUIMetrics();
    }

    void UseScreen(float width, float height)
    {
        renderer.SetScreenSize(width, height);
        manager->SetScreenRect({0.0f, 0.0f, width, height});
    }

    static cRect Rect(float x0, float y0, float x1, float y1) { return {x0, y0, x1, y1}; }

    // The alpha of the last full-screen dim drawn in the frame; -1 without one.
    int DimAlpha() const
    {
        int alpha = -1;
        const cRect& screen = manager->GetScreenRect();
        for (const cDrawnQuad& quad : Quads())
            if (quad.rect.xMin == screen.xMin && quad.rect.yMin == screen.yMin && quad.rect.xMax == screen.xMax &&
                quad.rect.yMax == screen.yMax && (quad.colour & 0x00ffffffu) == 0)
                alpha = int(quad.colour >> 24);
        return alpha;
    }
};
