#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "platform/MouseTouchTranslator.h"
#include "render/AtlasProfiles.h"
#include "render/DrawList.h"
#include "render/Material.h"
#include "render/RenderStartup.h"
#include "render/Renderer.h"
#include "support/ControlOverlaps.h"
#include "support/LegibilityProbe.h"
#include "support/OffscreenGL.h"
#include "support/ResMount.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// The toolkit as the desktop program starts it, drawing through the real
// OpenGL renderer offscreen with the generated atlases and font, for tests
// that look at a whole screen.
class OffscreenScreenFixture : public ::testing::Test
{
protected:
    // Called from the test's SetUp with the screen's size.
    void StartScreen(int width, int height, int32_t deviceClass = kDeviceClassDesktop)
    {
        SetDisplayMetricsForClass(deviceClass);
        SetupUIMetrics();
        SetFrameTiming(60.0f);
        gl = std::make_unique<cOffscreenGL>(width, height);
        ASSERT_TRUE(gl->IsReady()) << gl->Error();
        mount = std::make_unique<cResMount>(GeneratedResourceFolder());
        SelectTextureProfiles(deviceClass);
        ASSERT_TRUE(CreateMaterials(deviceClass)) << "atlases missing in " << mount->Root();
        ASSERT_TRUE(CreateFonts());
        input = std::make_unique<cInputManager>();
        input->Init();
        manager = std::make_unique<cWidgetManager>();
        ASSERT_TRUE(manager->Init(&gl->Renderer()));
        cMaterial* texturedColour = gMaterialRegistry->Find("TexturedColour");
        manager->GetDrawList()->currentMaterial = texturedColour;
        manager->GetRoot()->SetMaterial(texturedColour);
    }
    void TearDown() override
    {
        manager.reset();
        input.reset();
        if (gl && gl->IsReady())
            gl->Renderer().BindTexture(0, nullptr, kSamplingLinear);
        DestroyMaterialsAndFonts();
        SelectTextureProfiles(kDeviceClassPhone);
        mount.reset();
        gl.reset();
        ResetDisplayMetrics();
        SetupUIMetrics();
    }

    void DrawFrame()
    {
        gl->Renderer().Clear(kClearColour | kClearDepth);
        manager->Draw();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            DrawFrame();
    }
    // A left click at the centre: down and up a frame apart, then two
    // frames, so what the click shows is drawn.
    void ClickCentre(const cRect& r)
    {
        const float x = (r.xMin + r.xMax) * 0.5f, y = (r.yMin + r.yMax) * 0.5f;
        cMouseTouchTranslator::OnMove(*input, x, y);
        cMouseTouchTranslator::OnButtonDown(*input, cMouseTouchTranslator::kLeft, false, x, y);
        Frames(1);
        cMouseTouchTranslator::OnButtonUp(*input, cMouseTouchTranslator::kLeft, x, y);
        Frames(2);
    }

    // What a new user would trip over on the screen as it now draws: texts
    // under 4.5:1 against their ground or under 9 px (disabled controls'
    // texts are dimmed on purpose), texts written over texts, and sibling
    // controls that overlap. Empty when there is none.
    std::string ScreenFaults()
    {
        MarkControlsUndrawn(manager->GetRoot());
        DrawFrame();
        const std::string overlaps = FindOverlappingControls(manager->GetRoot());
        const std::vector<cRect> disabled = FindDisabledControls(manager->GetRoot());
        cLegibilityProbe probe;
        probe.Capture(gl->Width(), gl->Height(), [this] { DrawFrame(); }, [this] { return gl->ReadPixels(); });
        return probe.Faults(4.5, 9.0f, disabled) + probe.OverlappingTexts() + overlaps;
    }

    std::unique_ptr<cOffscreenGL> gl;
    std::unique_ptr<cResMount> mount;
    std::unique_ptr<cInputManager> input;
    std::unique_ptr<cWidgetManager> manager;
};
