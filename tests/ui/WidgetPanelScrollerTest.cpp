#include "ui/WidgetFixture.h"

#include "ui/WidgetPanelScroller.h"

namespace
{
class WidgetPanelScrollerTest : public WidgetFixture
{
protected:
    WidgetPanelScrollerTest()
    {
        scroller = new cWidgetPanelScroller();
        scroller->SetName("PanelScroller");
        scroller->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 200, 300);
        root->AddChild(scroller);
        scroller->Release();
        const char* names[4] = {"p0", "p1", "p2", "p3"};
        for (int i = 0; i < 4; ++i)
        {
            panels[i] = cProbeWidget::Make(names[i]);
            scroller->AddChild(panels[i]);
            panels[i]->Release();
        }
        scroller->GoToFirst(false);
    }

    cWidgetPanelScroller* scroller;
    cProbeWidget* panels[4];
};

// At 60 frames per second the offset moves a tenth of the remaining way
// plus 0.005 each frame.
TEST_F(WidgetPanelScrollerTest, ScrollingOnePanelOnEasesTheOffsetAndThenChangesPanels)
{
    scroller->ScrollToNext();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[1]);
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[0]);
    Frame(5);
    EXPECT_NEAR(scroller->GetOffset(), 0.43f, 0.005f);
    Frame(15);
    EXPECT_NEAR(scroller->GetOffset(), 0.92f, 0.005f);
    int frames = 20;
    while (scroller->GetCurrentPanel() == panels[0] && frames < 100)
    {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames, 29, 1);
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[1]);
    EXPECT_FLOAT_EQ(scroller->GetOffset(), 0.0f);
    EXPECT_EQ(panels[0]->cancels, 1) << "the panel left behind cancels its input";
}

TEST_F(WidgetPanelScrollerTest, WhileMovingBothPanelsDrawOneHeightApartAndTouchesAreRefused)
{
    Frame();
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"draw p0"})) << "at rest only the current panel";
    scroller->ScrollToNext();
    ProbeLog().clear();
    Frame(5);
    EXPECT_EQ(ProbeLog().back(), "draw p1");
    const float offset = scroller->GetOffset();
    EXPECT_NEAR(panels[0]->lastView.Row3.Y, -300 * offset, 0.001f) << "the scroller is 300 high";
    EXPECT_NEAR(panels[1]->lastView.Row3.Y, 300 * (1 - offset), 0.001f);
    EXPECT_EQ(renderer.clipStack.Count(), 0) << "clips are popped again";

    Tap(1, 150, 150);
    EXPECT_TRUE(panels[0]->touches.empty());
    EXPECT_TRUE(panels[1]->touches.empty());
    Frame(40);
    Tap(1, 150, 150);
    EXPECT_EQ(panels[1]->touches.size(), 2u);
    EXPECT_TRUE(panels[0]->touches.empty());
}

TEST_F(WidgetPanelScrollerTest, TwoQuickStepsPassTheIntermediatePanelWithoutStopping)
{
    scroller->ScrollToNext();
    scroller->ScrollToNext();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[2]);
    EXPECT_FLOAT_EQ(scroller->GetPanelDistance(panels[0], panels[2]), 2);
    // Two separate steps would take about 58 frames.
    int frames = 0;
    while (scroller->GetCurrentPanel() != panels[2] && frames < 60)
    {
        Frame();
        ++frames;
        EXPECT_EQ(scroller->GetTargetPanel(), panels[2]);
    }
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[2]);
    EXPECT_LT(frames, 45);

    scroller->ScrollToPrevious();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[1]);
    Frame();
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[1]) << "scrolling back changes panels at once";
    EXPECT_GT(scroller->GetOffset(), 0.85f);
    Frame(60);
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[1]);
    EXPECT_FLOAT_EQ(scroller->GetOffset(), 0.0f);
}

TEST_F(WidgetPanelScrollerTest, TheEndsStayPutAndHiddenPanelsAreSkipped)
{
    scroller->GoToLast(false);
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[3]);
    EXPECT_TRUE(scroller->IsAtLast());
    EXPECT_FALSE(scroller->IsAtFirst());
    scroller->ScrollToNext();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[3]);

    scroller->GoToFirst(false);
    EXPECT_TRUE(scroller->IsAtFirst());
    scroller->ScrollToPrevious();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[0]);

    panels[1]->SetVisible(false);
    EXPECT_FLOAT_EQ(scroller->GetPanelDistance(panels[0], panels[2]), 1);
    EXPECT_FLOAT_EQ(scroller->GetPanelDistance(panels[3], panels[0]), -2);
    EXPECT_FLOAT_EQ(scroller->GetPanelDistance(panels[0], panels[1]), 0) << "a hidden panel is not found";
    scroller->ScrollToNext();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[2]);
    ProbeLog().clear();
    Frame(5);
    for (const std::string& entry : ProbeLog())
        EXPECT_NE(entry, "draw p1");
    EXPECT_EQ(ProbeLog().back(), "draw p2");
}

TEST_F(WidgetPanelScrollerTest, HidingTheCurrentPanelShowsTheFirstVisibleOne)
{
    scroller->JumpToPanel(panels[2]);
    Frame();
    panels[0]->SetVisible(false);
    panels[2]->SetVisible(false);
    Frame();
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[1]);
    EXPECT_EQ(scroller->GetTargetPanel(), panels[1]);
    EXPECT_FLOAT_EQ(scroller->GetOffset(), 0.0f);
}

// An owner may take a panel out while it is shown; the scroller must not
// go on using it.
TEST_F(WidgetPanelScrollerTest, APanelTakenOutIsForgotten)
{
    scroller->JumpToPanel(panels[1]);
    Frame();
    scroller->RemoveChild(panels[1]);
    Frame();
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[0]);
    scroller->ScrollToNext();
    EXPECT_EQ(scroller->GetTargetPanel(), panels[2]);
    scroller->RemoveChild(panels[2]);
    EXPECT_TRUE(scroller->IsAtLast()) << "a target taken out is no target";
    Frame(60);
    EXPECT_EQ(scroller->GetCurrentPanel(), panels[0]);
}

TEST_F(WidgetPanelScrollerTest, WithoutVisiblePanelsNothingIsCurrent)
{
    for (cProbeWidget* panel : panels)
        panel->SetVisible(false);
    Frame();
    EXPECT_EQ(scroller->GetCurrentPanel(), nullptr);
    EXPECT_EQ(scroller->GetTargetPanel(), nullptr);
    EXPECT_TRUE(scroller->IsAtFirst());
    EXPECT_TRUE(scroller->IsAtLast());
    scroller->ScrollToNext();
    EXPECT_EQ(scroller->GetTargetPanel(), nullptr);
    Tap(1, 150, 150);
}
} // namespace
