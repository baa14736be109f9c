#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/FastMath.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/DrawList.h"
#include "render/Image.h"
#include "support/CaptureRenderer.h"
#include "ui/InputManager.h"
#include "ui/Widget.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// What the probes saw, in order, across all of them.
inline std::vector<std::string>& ProbeLog()
{
    static std::vector<std::string> log;
    return log;
}

// A widget that records what reaches it. It takes touches inside its rect
// (when it is set to) and captures the touch on the way down.
class cProbeWidget : public cWidget
{
public:
    struct cTouchRecord
    {
        int32_t type;
        int32_t id;
        float x, y;
        bool asCaptor;
        int captures; // the manager's capture count as the event arrived
    };

    explicit cProbeWidget(const char* name, bool takesTouches = true, bool captures = false)
        : mTakesTouches(takesTouches), mCaptures(captures)
    {
        SetName(name);
    }

    static cProbeWidget* Make(const char* name, bool takesTouches = true, bool captures = false)
    {
        return new cProbeWidget(name, takesTouches, captures);
    }

    bool Draw(cDrawList& list) override
    {
        ++draws;
        ProbeLog().push_back(std::string("draw ") + GetName());
        const cMatrix44& view = list.GetRenderer()->viewStack.Top();
        lastView = view;
        return false;
    }
    void OnLayout() override { ++layouts; }
    void OnStateChange() override { ++stateChanges; }
    void CancelInput() override
    {
        ++cancels;
        ProbeLog().push_back(std::string("cancel ") + GetName());
    }
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override
    {
        if (captor != this && cWidget::HandleTouch(type, touch, captor))
            return true;
        if (!HasFlags(kWidgetShown) || !mTakesTouches)
            return false;
        if (captor != this && !GetRect().Contains(touch->position))
            return false;
        touches.push_back({type, touch->id, touch->position.X, touch->position.Y, captor == this,
                           cWidgetManager::GetInstance()->GetCaptureCount()});
        ProbeLog().push_back(std::string("touch ") + GetName());
        if (type == kTouchDown && mCaptures)
            CaptureTouch(touch->id);
        return true;
    }
    bool HandleKey(const cKeyEvent* event) override
    {
        if (cWidget::HandleKey(event))
            return true;
        if (!HasFlags(kWidgetTakesKeys))
            return false;
        keys.push_back(*event);
        return true;
    }
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override
    {
        if (GetLayout())
        {
            cWidget::GetSizePreferences(minimum, preferred);
            return;
        }
        *minimum = minimumSize;
        *preferred = preferredSize;
    }

    int draws = 0;
    int layouts = 0;
    int stateChanges = 0;
    int cancels = 0;
    std::vector<cTouchRecord> touches;
    std::vector<cKeyEvent> keys;
    cMatrix44 lastView = {};
    cVector2 minimumSize = {0.0f, 0.0f};
    cVector2 preferredSize = {0.0f, 0.0f};
    bool* destroyed = nullptr;

protected:
    ~cProbeWidget() override
    {
        if (destroyed)
            *destroyed = true;
    }

private:
    bool mTakesTouches;
    bool mCaptures;
};

// A widget manager on a capturing renderer of 640 x 480 with an input
// manager in front, at 60 frames per second, as the application builds them.
class WidgetFixture : public ::testing::Test
{
protected:
    static constexpr float kScreenWidth = 640.0f;
    static constexpr float kScreenHeight = 480.0f;

    static void SetUpTestSuite() { InitFastMathTables(); }

    WidgetFixture()
    {
        ProbeLog().clear();
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetFrameTiming(60.0f);
        renderer.SetScreenSize(kScreenWidth, kScreenHeight);
        gRenderer = &renderer;
        input = std::make_unique<cInputManager>();
        input->Init();
        manager = std::make_unique<cWidgetManager>();
        manager->Init(&renderer);
        root = manager->GetRoot();
    }
    ~WidgetFixture() override
    {
        manager.reset();
        input.reset();
        gRenderer = nullptr;
        gBlinkAlpha = 0;
        ResetDisplayMetrics();
    }

    void Frame(int count = 1)
    {
        for (int i = 0; i < count; ++i)
        {
            renderer.draws.clear();
            manager->Draw();
        }
    }

    // A probe owned by its parent alone.
    cProbeWidget* AddProbe(cWidget* parent, const char* name, const cRect& rect, bool takesTouches = true,
                           bool captures = false)
    {
        cProbeWidget* probe = cProbeWidget::Make(name, takesTouches, captures);
        probe->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
        parent->AddChild(probe);
        probe->Release();
        return probe;
    }

    // Input as the window sends it.
    void Down(int32_t id, float x, float y) { input->TouchBegan(id, x, y); }
    void Move(int32_t id, float x, float y) { input->TouchMoved(id, x, y, false); }
    void Up(int32_t id, float x, float y) { input->TouchEnded(id, x, y); }
    void Tap(int32_t id, float x, float y)
    {
        Down(id, x, y);
        Up(id, x, y);
    }

    cCaptureRenderer renderer;
    std::unique_ptr<cInputManager> input;
    std::unique_ptr<cWidgetManager> manager;
    cWidgetModalContainer* root = nullptr;
};
