#include "ui/WidgetFixture.h"

#include "render/VertexLayouts.h"

namespace
{
class WidgetModalContainerTest : public WidgetFixture
{
protected:
    // A full-screen layer, held by the stack alone.
    cProbeWidget* PushLayer(const char* name, int32_t dimMode, int32_t transition)
    {
        cProbeWidget* layer = cProbeWidget::Make(name);
        EXPECT_TRUE(root->Push(layer, dimMode, transition));
        layer->Release();
        return layer;
    }

    // The alphas of the black full-screen quads of the last frame.
    std::vector<int> DimAlphas() const
    {
        std::vector<int> alphas;
        for (const cCaptureRenderer::cDraw& draw : renderer.draws)
        {
            if (draw.layout != "cVertexXYZColourTex1")
                continue;
            for (uint32_t i = 0; i + 3 < draw.vertexCount; i += 4)
            {
                const auto& corner = draw.Vertex<cVertexXYZColourTex1>(i);
                const auto& opposite = draw.Vertex<cVertexXYZColourTex1>(i + 3);
                const bool fullScreen = corner.x == 0 && corner.y == 0 && opposite.x == kScreenWidth &&
                                        opposite.y == kScreenHeight;
                if (fullScreen && (corner.colour & 0xffffff) == 0)
                    alphas.push_back(int(corner.colour >> 24));
            }
        }
        return alphas;
    }
};

TEST_F(WidgetModalContainerTest, OnlyTheTopVisibleEnabledLayerTakesTouches)
{
    cProbeWidget* content = AddProbe(root, "content", {0, 0, 640, 480});
    cProbeWidget* lower = PushLayer("lower", 0, kTransitionNone);
    cProbeWidget* upper = PushLayer("upper", 0, kTransitionNone);
    EXPECT_EQ(root->GetChildCount(), 1) << "layers are not children";
    EXPECT_EQ(upper->GetParent(), root);
    Frame();
    Tap(1, 100, 100);
    EXPECT_EQ(upper->touches.size(), 2u);
    EXPECT_TRUE(lower->touches.empty());

    upper->SetVisible(false);
    Tap(1, 100, 100);
    EXPECT_EQ(lower->touches.size(), 2u);
    upper->SetVisible(true);
    upper->SetEnabled(false);
    Tap(1, 100, 100);
    EXPECT_EQ(lower->touches.size(), 4u);

    lower->SetVisible(false);
    Tap(1, 100, 100);
    EXPECT_EQ(content->touches.size(), 2u) << "no layer takes it: the container's own children do";
    EXPECT_EQ(upper->touches.size(), 2u);
}

// A zoom takes 13 frames at 60 per second; meanwhile touches are refused,
// and nothing beneath gets them either.
TEST_F(WidgetModalContainerTest, AnOpeningLayerRefusesTouchesForThirteenFrames)
{
    cProbeWidget* lower = PushLayer("lower", 0, kTransitionNone);
    cProbeWidget* alert = PushLayer("alert", 1, kTransitionZoom);
    int framesRefused = 0;
    for (int frame = 1; frame <= 20; ++frame)
    {
        Frame();
        Tap(1, 300, 200);
        if (alert->touches.empty())
            ++framesRefused;
    }
    EXPECT_EQ(framesRefused, 12) << "the 13th frame settles it";
    EXPECT_TRUE(lower->touches.empty());
    EXPECT_EQ(root->GetLayer(1).state, kLayerSettled);
}

TEST_F(WidgetModalContainerTest, APushCancelsTheInputBeneathIt)
{
    cProbeWidget* button = AddProbe(root, "button", {0, 0, 100, 100}, true, true);
    Frame();
    Down(1, 50, 50);
    EXPECT_EQ(manager->GetCaptureCount(), 1);
    cProbeWidget* page = PushLayer("page", 0, kTransitionNone);
    EXPECT_EQ(button->cancels, 1);
    EXPECT_EQ(manager->GetCaptureCount(), 0);

    cProbeWidget* field = AddProbe(page, "field", {0, 0, 100, 100}, true, true);
    Frame();
    Down(2, 50, 50);
    PushLayer("dialogue", 1, kTransitionNone);
    EXPECT_EQ(field->cancels, 1);
    EXPECT_EQ(page->cancels, 1);
    EXPECT_EQ(button->cancels, 1) << "only the top layer is cancelled";
}

struct cDrawCase
{
    const char* what;
    uint32_t lowerFlags;
    uint32_t upperFlags;
    int settleFrames;
    std::vector<std::string> drawn;
};

TEST_F(WidgetModalContainerTest, OpaqueAndHidingLayersSpareTheDrawingBeneathThem)
{
    const cDrawCase cases[] = {
        {"plain layers over the content", 0, 0, 20, {"draw content", "draw lower", "draw upper"}},
        {"a settled opaque layer covers all beneath", 0, kWidgetOpaqueLayer, 20, {"draw upper"}},
        {"an opaque layer still opening does not", 0, kWidgetOpaqueLayer, 1,
         {"draw content", "draw lower", "draw upper"}},
        {"hides only the layer directly below", 0, kWidgetHidesLayerBelow, 20, {"draw content", "draw upper"}},
        {"an opaque lower layer hides the content", kWidgetOpaqueLayer, 0, 20, {"draw lower", "draw upper"}},
    };
    for (const cDrawCase& c : cases)
    {
        AddProbe(root, "content", {0, 0, 640, 480});
        cProbeWidget* lower = PushLayer("lower", 0, kTransitionNone);
        lower->ModifyFlags(c.lowerFlags, 0, false);
        cProbeWidget* upper = PushLayer("upper", 0, kTransitionUp);
        upper->ModifyFlags(c.upperFlags, 0, false);
        Frame(c.settleFrames - 1);
        ProbeLog().clear();
        Frame();
        EXPECT_EQ(ProbeLog(), c.drawn) << c.what;
        root->Pop(upper);
        root->Pop(lower);
        root->RemoveAllChildren();
        Frame(20);
    }
}

// A popped layer goes on drawing over the rest until it is fully out; pushed
// again meanwhile, it comes back from where it was.
TEST_F(WidgetModalContainerTest, APoppedLayerAnimatesOutAndTurnsRoundWhenPushedAgain)
{
    PushLayer("base", 0, kTransitionNone);
    cProbeWidget* panel = cProbeWidget::Make("panel");
    root->Push(panel, 1, kTransitionDown);
    Frame(20);
    root->Pop(panel);
    EXPECT_EQ(panel->GetParent(), nullptr);
    EXPECT_EQ(panel->cancels, 1);
    ASSERT_EQ(root->GetClosingCount(), 1);
    ProbeLog().clear();
    Frame(6);
    EXPECT_EQ(ProbeLog().back(), "draw panel") << "drawn over the remaining layers";
    const float progress = root->GetClosing(0).progress;
    EXPECT_NEAR(progress, 0.5f, 0.01f);

    root->Push(panel, 1, kTransitionDown);
    EXPECT_EQ(root->GetClosing(0).widget, nullptr) << "its closing entry is emptied";
    EXPECT_FLOAT_EQ(root->GetLayer(1).progress, progress);
    EXPECT_EQ(root->GetLayer(1).state, kLayerOpening);
    Frame();
    EXPECT_EQ(root->GetClosingCount(), 0);
    EXPECT_LT(root->GetLayer(1).progress, progress);

    root->Pop(panel);
    Frame(13);
    EXPECT_EQ(root->GetClosingCount(), 0) << "gone once fully out";
    ProbeLog().clear();
    Frame();
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"draw base"}));
    EXPECT_EQ(panel->GetRefCount(), 1);
    panel->Release();
}

TEST_F(WidgetModalContainerTest, LayersMoveIntoPlaceBySlideOrZoom)
{
    cProbeWidget* sheet = cProbeWidget::Make("sheet");
    sheet->SetAnchors(kAnchorsAbsoluteRect, 100, 100, 200, 100);
    root->Push(sheet, 0, kTransitionUp);
    Frame();
    const float progress = root->GetLayer(0).progress;
    EXPECT_NEAR(sheet->lastView.Row3.Y, 100 * progress, 0.001f) << "slides up from below";
    EXPECT_EQ(renderer.clipStack.Count(), 0);
    root->Pop(sheet);

    root->Push(sheet, 0, kTransitionZoom);
    Frame(7);
    const float zoomProgress = root->GetLayer(0).progress;
    const float scale = 1.0f - zoomProgress;
    EXPECT_NEAR(sheet->lastView.Row0.X, scale, 0.0001f);
    EXPECT_NEAR(sheet->lastView.Row1.Y, scale, 0.0001f);
    // The centre (200, 150) stays where it is.
    EXPECT_NEAR(200 * scale + sheet->lastView.Row3.X, 200, 0.001f);
    EXPECT_NEAR(150 * scale + sheet->lastView.Row3.Y, 150, 0.001f);
    Frame(6);
    EXPECT_FLOAT_EQ(sheet->lastView.Row0.X, 1.0f) << "settled in place";
    sheet->Release();
}

TEST_F(WidgetModalContainerTest, DimModesFadeInHoldOrLeaveTheScreenBeneath)
{
    const struct
    {
        int32_t dimMode;
        std::vector<int> firstFrames;
    } cases[] = {
        {0, {}},
        {1, {14, 27, 40}},
        {2, {}},
        {3, {160, 160, 160}},
    };
    for (const auto& c : cases)
    {
        PushLayer("layer", c.dimMode, kTransitionZoom);
        std::vector<int> seen;
        for (int frame = 0; frame < 3; ++frame)
        {
            Frame();
            for (int alpha : DimAlphas())
                seen.push_back(alpha);
        }
        EXPECT_EQ(seen, c.firstFrames) << "dim mode " << c.dimMode;
        Frame(20);
        const std::vector<int> settled = DimAlphas();
        EXPECT_EQ(settled.size(), c.dimMode & kDimBeneath ? 1u : 0u);
        for (int alpha : settled)
            EXPECT_EQ(alpha, 160);
        root->Pop(root->GetTopLayerWidget());
        Frame(20);
    }
}

// The closing list held no reference: a layer whose last reference was the
// stack's was deleted at Pop and then drawn animating out.
TEST_F(WidgetModalContainerTest, APoppedLayerHeldOnlyByTheStackLivesUntilItHasAnimatedOut)
{
    bool destroyed = false;
    cProbeWidget* alert = PushLayer("alert", 1, kTransitionZoom);
    alert->destroyed = &destroyed;
    Frame(20);
    root->Pop(alert);
    EXPECT_FALSE(destroyed);
    Frame(6);
    EXPECT_FALSE(destroyed);
    EXPECT_GT(alert->draws, 20);
    Frame(8);
    EXPECT_TRUE(destroyed);

    destroyed = false;
    cProbeWidget* page = PushLayer("page", 0, kTransitionNone);
    page->destroyed = &destroyed;
    root->Pop(page);
    EXPECT_TRUE(destroyed) << "without a transition it leaves at once";
}

// The capacities and Pop were unchecked: a ninth push overran the stack, and
// a pop of another widget dropped the top layer's reference.
TEST_F(WidgetModalContainerTest, PushesBeyondTheStackAndPopsOfOtherWidgetsChangeNothing)
{
    std::vector<cProbeWidget*> layers;
    for (int i = 0; i < cWidgetModalContainer::kCapacity; ++i)
        layers.push_back(PushLayer("layer", 0, kTransitionZoom));
    cProbeWidget* ninth = cProbeWidget::Make("ninth");
    EXPECT_FALSE(root->Push(ninth, 1, kTransitionZoom));
    EXPECT_EQ(ninth->GetRefCount(), 1);
    EXPECT_EQ(ninth->GetParent(), nullptr);
    EXPECT_EQ(root->GetLayerCount(), cWidgetModalContainer::kCapacity);

    root->Pop(layers[0]);
    root->Pop(ninth);
    EXPECT_EQ(root->GetLayerCount(), cWidgetModalContainer::kCapacity);
    EXPECT_EQ(layers[0]->GetRefCount(), 1);
    EXPECT_EQ(ninth->GetRefCount(), 1);

    // Eight pops fill the closing list; a ninth closing layer leaves at once.
    for (int i = cWidgetModalContainer::kCapacity - 1; i >= 0; --i)
        root->Pop(layers[size_t(i)]);
    EXPECT_EQ(root->GetClosingCount(), cWidgetModalContainer::kCapacity);
    bool destroyed = false;
    ninth->destroyed = &destroyed;
    ASSERT_TRUE(root->Push(ninth, 1, kTransitionZoom));
    ninth->Release();
    root->Pop(ninth);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(root->GetClosingCount(), cWidgetModalContainer::kCapacity);

    root->Pop(nullptr);
    root->Pop(layers[0]);
    EXPECT_EQ(root->GetLayerCount(), 0);
    Frame(30);
    EXPECT_EQ(root->GetClosingCount(), 0);
}

TEST_F(WidgetModalContainerTest, LayersThatOutliveTheirContainerAreLeftWithoutAParent)
{
    auto* container = new cWidgetModalContainer();
    cProbeWidget* kept = cProbeWidget::Make("kept");
    bool droppedDestroyed = false;
    cProbeWidget* dropped = cProbeWidget::Make("dropped");
    dropped->destroyed = &droppedDestroyed;
    container->Push(kept, 0, kTransitionNone);
    container->Push(dropped, 0, kTransitionNone);
    dropped->Release();
    container->Release();
    EXPECT_TRUE(droppedDestroyed);
    EXPECT_EQ(kept->GetParent(), nullptr);
    EXPECT_EQ(kept->GetRefCount(), 1);
    kept->Release();
}

TEST_F(WidgetModalContainerTest, KeysGoToTheTopLayerThatAcceptsThem)
{
    cProbeWidget* content = AddProbe(root, "content", {0, 0, 10, 10});
    content->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    input->OnKey(1, 0x01, 257);
    EXPECT_EQ(content->keys.size(), 1u) << "without layers the children that accept keys get them";

    cProbeWidget* lower = PushLayer("lower", 0, kTransitionNone);
    lower->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    cProbeWidget* upper = PushLayer("upper", 0, kTransitionZoom);
    input->OnKey(0, 0x01, 257);
    EXPECT_EQ(lower->keys.size(), 1u) << "the upper layer takes no keys";

    upper->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    input->OnKey(1, 0x01, 257);
    EXPECT_TRUE(upper->keys.empty()) << "refused while it opens";
    EXPECT_EQ(lower->keys.size(), 1u);
    Frame(13);
    input->OnKey(0, 0x01, 257);
    EXPECT_EQ(upper->keys.size(), 1u);
}

TEST_F(WidgetModalContainerTest, LayersFollowTheContainersLayoutAndState)
{
    cProbeWidget* layer = PushLayer("layer", 0, kTransitionNone);
    Frame();
    ASSERT_EQ(layer->GetFlags() & kWidgetAllDirty, 0u);
    manager->SetScreenRect({0, 0, 320, 240});
    Frame();
    EXPECT_FLOAT_EQ(layer->GetRect().xMax, 320);
    EXPECT_EQ(layer->layouts, 2);
    root->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    EXPECT_EQ(layer->stateChanges, 2);
}
} // namespace
