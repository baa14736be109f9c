#include "ui/WidgetFixture.h"

#include <cmath>

namespace
{
using WidgetTest = WidgetFixture;

struct cAnchorCase
{
    const char* what;
    uint32_t kinds;
    float values[4];
    uint32_t flags;
    cRect expected;
};

// The parent sits at (100, 50)-(300, 250) on a 640 x 480 screen.
TEST_F(WidgetTest, AnchorsPlaceTheRectAgainstTheParentAndTheScreen)
{
    const cAnchorCase cases[] = {
        {"fills the parent", kAnchorsFillParent, {0, 0, 0, 0}, 0, {100, 50, 300, 250}},
        {"absolute rect, whatever the parent", 0x1111, {10, 20, 30, 40}, 0, {10, 20, 40, 60}},
        {"fractions of the parent", 0x2222, {0.25f, 0.5f, 0.5f, 0.25f}, 0, {150, 150, 250, 200}},
        {"a fraction wide, measured from the computed left", 0x5233, {10, 0, 0.5f, 0}, 0, {110, 50, 210, 250}},
        {"inset from the parent's edges", 0x5533, {5, 6, -7, -8}, 0, {105, 56, 293, 242}},
        {"about the parent's centre", 0x4444, {-20, -10, 20, 10}, 0, {180, 140, 220, 160}},
        {"from the parent's far edges", 0x5555, {-50, -40, -10, -5}, 0, {250, 210, 290, 245}},
        {"unknown kinds put edges at 0, then 1 x 1", 0x6060, {10, 10, 10, 10}, 0, {0, 0, 1, 1}},
        {"widened to 1 pixel, then rounded", 0x1111, {10.4f, 20, 0.3f, 5}, 0, {10, 20, 11, 25}},
        {"widened but not rounded with 0x200", 0x1111, {10.4f, 20, 0.3f, 5}, kWidgetNoRounding, {10.4f, 20, 11.4f, 25}},
        {"partly off the screen is clipped", 0x1111, {600, 400, 100, 100}, 0, {600, 400, 640, 480}},
        {"wholly off the screen ends empty", 0x1111, {700, 10, 100, 20}, 0, {700, 10, 700, 30}},
        {"0x800 keeps it off the screen", 0x1111, {700, 10, 100, 20}, kWidgetNoScreenClip, {700, 10, 800, 30}},
    };
    cProbeWidget* parent = AddProbe(root, "parent", {100, 50, 300, 250});
    for (const cAnchorCase& c : cases)
    {
        cProbeWidget* widget = AddProbe(parent, c.what, {0, 0, 1, 1});
        widget->ModifyFlags(c.flags, 0, false);
        widget->SetAnchors(c.kinds, c.values[0], c.values[1], c.values[2], c.values[3]);
        const cRect& rect = widget->GetRect();
        EXPECT_FLOAT_EQ(rect.xMin, c.expected.xMin) << c.what;
        EXPECT_FLOAT_EQ(rect.yMin, c.expected.yMin) << c.what;
        EXPECT_FLOAT_EQ(rect.xMax, c.expected.xMax) << c.what;
        EXPECT_FLOAT_EQ(rect.yMax, c.expected.yMax) << c.what;
        parent->RemoveChild(widget);
    }
}

TEST_F(WidgetTest, ANewChildFillsItsParentOnceDrawnAndFollowsItsParentsMoves)
{
    cProbeWidget* parent = AddProbe(root, "parent", {20, 30, 220, 130});
    cProbeWidget* child = cProbeWidget::Make("child");
    parent->AddChild(child);
    child->Release();
    EXPECT_TRUE(child->HasFlags(kWidgetAllDirty));
    Frame();
    EXPECT_EQ(child->GetFlags() & kWidgetAllDirty, 0u);
    EXPECT_FLOAT_EQ(child->GetRect().xMin, 20);
    EXPECT_FLOAT_EQ(child->GetRect().yMax, 130);
    EXPECT_EQ(child->layouts, 1);

    parent->SetAnchorsLeftTop(0x11, 40, 60);
    EXPECT_TRUE(child->HasFlags(kWidgetRectAndLayoutDirty));
    Frame();
    EXPECT_FLOAT_EQ(child->GetRect().xMin, 40);
    EXPECT_FLOAT_EQ(child->GetRect().yMin, 60);
    EXPECT_FLOAT_EQ(child->GetRect().xMax, 240);
    EXPECT_EQ(child->layouts, 2);
}

TEST_F(WidgetTest, AlignedOffsetsPlaceContentByTheAnchorWordsAlignment)
{
    cProbeWidget* widget = AddProbe(root, "w", {100, 100, 200, 150});
    const cRect content = {0, 0, 21, 11};
    const struct
    {
        uint32_t alignment;
        float x, y;
    } cases[] = {{0x00, 140, 120}, {0x11, 100, 100}, {0x22, 179, 139}, {0x21, 100, 139}};
    for (const auto& c : cases)
    {
        widget->SetContentAlignment(c.alignment);
        cVector2 offset;
        widget->GetAlignedOffset(&offset, content);
        EXPECT_FLOAT_EQ(offset.X, c.x) << c.alignment;
        EXPECT_FLOAT_EQ(offset.Y, c.y) << c.alignment;
    }
    widget->ModifyFlags(kWidgetNoRounding, 0, false);
    widget->SetContentAlignment(0);
    cVector2 offset;
    widget->GetAlignedOffset(&offset, content);
    EXPECT_FLOAT_EQ(offset.X, 139.5f);
}

TEST_F(WidgetTest, LaterChildrenDrawOverEarlierOnesAndTakeTouchesFirstUntilRaised)
{
    cProbeWidget* a = AddProbe(root, "a", {10, 10, 110, 110});
    cProbeWidget* b = AddProbe(root, "b", {50, 50, 150, 150});
    Frame();
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"draw a", "draw b"}));
    Tap(1, 80, 80);
    EXPECT_EQ(b->touches.size(), 2u);
    EXPECT_TRUE(a->touches.empty());

    root->RaiseChild(a);
    ProbeLog().clear();
    Frame();
    Tap(1, 80, 80);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"draw b", "draw a", "touch a", "touch a"}));
    EXPECT_EQ(b->touches.size(), 2u);

    root->LowerChild(a);
    EXPECT_EQ(root->GetFirstChild(), a);
    b->BringToFront();
    EXPECT_EQ(root->GetLastChild(), b);
    EXPECT_EQ(root->GetChildCount(), 2);
}

TEST_F(WidgetTest, AHiddenSubtreeIsNotDrawnTouchedOrLaidOutUntilShown)
{
    cProbeWidget* panel = AddProbe(root, "panel", {0, 0, 300, 300}, false);
    cProbeWidget* child = AddProbe(panel, "child", {10, 10, 100, 100});
    panel->SetVisible(false);
    Frame();
    Tap(1, 50, 50);
    EXPECT_EQ(panel->draws + child->draws, 0);
    EXPECT_EQ(child->layouts, 0);
    EXPECT_TRUE(child->touches.empty());
    EXPECT_TRUE(child->HasFlags(kWidgetLayoutDirty)) << "dirty flags stay while hidden";

    panel->SetVisible(true);
    EXPECT_TRUE(child->HasFlags(kWidgetStateDirty | kWidgetNotYetDrawn));
    Frame();
    EXPECT_EQ(child->layouts, 1);
    EXPECT_EQ(child->stateChanges, 1);
    EXPECT_FALSE(child->HasFlags(kWidgetNotYetDrawn));
    Tap(1, 50, 50);
    EXPECT_EQ(child->touches.size(), 2u);
}

// A drag in progress when the widget is disabled is abandoned: the widget
// and its subtree cancel, the captures go, and the rest of the drag travels
// the tree from the root.
TEST_F(WidgetTest, DisablingMidDragCancelsAndLetsTheRestOfTheDragReachTheRoot)
{
    cProbeWidget* backdrop = AddProbe(root, "backdrop", {0, 0, 640, 480});
    cProbeWidget* panel = AddProbe(root, "panel", {100, 100, 300, 300}, false);
    cProbeWidget* slider = AddProbe(panel, "slider", {120, 120, 200, 200}, true, true);
    cProbeWidget* inner = AddProbe(slider, "inner", {0, 0, 1, 1}, false);
    Frame();
    Down(3, 150, 150);
    Move(3, 400, 150);
    ASSERT_EQ(slider->touches.size(), 2u);
    EXPECT_TRUE(slider->touches[1].asCaptor) << "the captured move goes to the slider wherever the finger is";
    EXPECT_EQ(manager->GetCaptureCount(), 1);

    ProbeLog().clear();
    panel->SetEnabled(false);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"cancel panel", "cancel slider", "cancel inner"}));
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    EXPECT_TRUE(panel->HasFlags(kWidgetStateDirty));

    Move(3, 150, 150);
    Up(3, 150, 150);
    EXPECT_EQ(slider->touches.size(), 2u);
    ASSERT_EQ(backdrop->touches.size(), 2u);
    EXPECT_EQ(backdrop->touches[0].type, kTouchMove);
    EXPECT_EQ(backdrop->touches[1].type, kTouchUp);
    EXPECT_EQ(inner->cancels, 1);
}

// Keys reach a widget only when it and everything between it and the layer
// holding it accept keys; the root itself is not asked.
TEST_F(WidgetTest, KeysNeedTheKeyFlagOnEveryWidgetBetweenTheLayerAndTheTarget)
{
    cProbeWidget* page = cProbeWidget::Make("page");
    root->Push(page, 0, kTransitionNone);
    page->Release();
    cProbeWidget* group = AddProbe(page, "group", {0, 0, 100, 100});
    cProbeWidget* field = AddProbe(group, "field", {0, 0, 50, 50});
    field->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    page->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    EXPECT_EQ(root->GetFlags() & kWidgetAcceptsKeys, 0u);

    input->OnKey(1, 0x1e, 'A');
    input->OnChar(1, 0x1e, 'a');
    EXPECT_TRUE(field->keys.empty()) << "the group between does not accept keys";

    group->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    input->OnKey(0, 0x1e, 'A');
    input->OnChar(0, 0x1e, 'a');
    input->OnKey(1, 0x1c, 294);
    ASSERT_EQ(field->keys.size(), 3u);
    EXPECT_EQ(field->keys[0].keyCode, 'A');
    EXPECT_EQ(field->keys[0].action, 0);
    EXPECT_EQ(field->keys[1].character, 'a');
    EXPECT_EQ(field->keys[2].keyCode, 294);

    field->SetEnabled(false);
    input->OnKey(0, 0x1c, 294);
    EXPECT_EQ(field->keys.size(), 3u);
}

TEST_F(WidgetTest, RemovingAChildDeletesItUnlessSomeoneElseHoldsIt)
{
    bool dropped = false, kept = false;
    cProbeWidget* loose = AddProbe(root, "loose", {0, 0, 10, 10});
    loose->destroyed = &dropped;
    cProbeWidget* held = cProbeWidget::Make("held");
    held->destroyed = &kept;
    root->AddChild(held);
    EXPECT_EQ(held->GetRefCount(), 2);

    root->RemoveChild(loose);
    EXPECT_TRUE(dropped);
    root->RemoveChild(held);
    EXPECT_FALSE(kept);
    EXPECT_EQ(held->GetParent(), nullptr);
    EXPECT_EQ(held->GetRefCount(), 1);
    EXPECT_EQ(root->GetChildCount(), 0);
    held->Release();
    EXPECT_TRUE(kept);
}

// Adding a widget that is already in a child list used to link it twice, and
// removing a stranger unlinked it from the wrong list: both corrupted the
// lists and the reference counts.
TEST_F(WidgetTest, ChildListsStayWholeWhenAChildIsAddedTwiceMovedOrRemovedByAStranger)
{
    cProbeWidget* left = AddProbe(root, "left", {0, 0, 100, 100});
    cProbeWidget* right = AddProbe(root, "right", {100, 0, 200, 100});
    cProbeWidget* a = AddProbe(left, "a", {0, 0, 10, 10});
    cProbeWidget* b = AddProbe(left, "b", {0, 0, 10, 10});
    EXPECT_EQ(a->GetRefCount(), 1);

    left->AddChild(a);
    EXPECT_EQ(left->GetChildCount(), 2);
    EXPECT_EQ(left->GetLastChild(), a) << "added again: raised";
    EXPECT_EQ(a->GetRefCount(), 1) << "no second reference";
    left->AddChildAtStart(a);
    EXPECT_EQ(left->GetFirstChild(), a);
    EXPECT_EQ(a->GetNext(), b);

    right->RemoveChild(a);
    EXPECT_EQ(left->GetChildCount(), 2);
    EXPECT_EQ(a->GetParent(), left);
    EXPECT_EQ(a->GetRefCount(), 1);

    right->AddChild(a);
    EXPECT_EQ(left->GetChildCount(), 1);
    EXPECT_EQ(left->GetFirstChild(), b);
    EXPECT_EQ(b->GetPrev(), nullptr);
    EXPECT_EQ(right->GetChildCount(), 1);
    EXPECT_EQ(a->GetParent(), right);
    EXPECT_EQ(a->GetRefCount(), 1) << "moved with its one reference";

    EXPECT_FALSE(a->SetParent(right));
    EXPECT_TRUE(a->SetParent(left));
    EXPECT_EQ(right->GetChildCount(), 0);
    EXPECT_EQ(left->GetLastChild(), a);
    EXPECT_EQ(a->GetRefCount(), 1);
}

TEST_F(WidgetTest, DrawingSetsTheWidgetsDepthAndMaterialForItsSubtreeOnly)
{
    cMaterial material(kBlendAlpha);
    cProbeWidget* panel = AddProbe(root, "panel", {0, 0, 100, 100});
    panel->SetDepth(0.25f);
    panel->SetMaterial(&material);
    struct cDepthProbe : cProbeWidget
    {
        cDepthProbe() : cProbeWidget("depth") {}
        bool Draw(cDrawList& list) override
        {
            depth = list.depth;
            material = list.currentMaterial;
            return false;
        }
        float depth = -1;
        cMaterial* material = nullptr;
    };
    auto* inner = new cDepthProbe();
    inner->SetDepth(0.5f);
    panel->AddChild(inner);
    inner->Release();
    auto* absolute = new cDepthProbe();
    absolute->SetDepth(0.125f);
    absolute->ModifyFlags(kWidgetAbsoluteDepth, 0, false);
    panel->AddChild(absolute);
    absolute->Release();

    cDrawList& list = *manager->GetDrawList();
    const float startDepth = list.depth;
    cMaterial* startMaterial = list.currentMaterial;
    Frame();
    EXPECT_FLOAT_EQ(inner->depth, startDepth + 0.75f);
    EXPECT_EQ(inner->material, &material);
    EXPECT_FLOAT_EQ(absolute->depth, 0.125f);
    EXPECT_FLOAT_EQ(list.depth, startDepth);
    EXPECT_EQ(list.currentMaterial, startMaterial);
}

TEST_F(WidgetTest, CancelReachesTheVisibleSubtreeAndReleasesItsCaptures)
{
    cProbeWidget* panel = AddProbe(root, "panel", {0, 0, 300, 300}, false);
    cProbeWidget* knob = AddProbe(panel, "knob", {10, 10, 60, 60}, true, true);
    cProbeWidget* hidden = AddProbe(panel, "hidden", {100, 10, 160, 60});
    hidden->SetVisible(false);
    Frame();
    Down(1, 20, 20);
    EXPECT_EQ(manager->GetCaptureCount(), 1);
    EXPECT_FALSE(panel->HandleCancel(1, 0)) << "other kinds are ignored";
    EXPECT_EQ(knob->cancels, 0);
    const int hiddenCancels = hidden->cancels;
    EXPECT_FALSE(panel->HandleCancel(0, 0));
    EXPECT_EQ(knob->cancels, 1);
    EXPECT_EQ(hidden->cancels, hiddenCancels);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
}

} // namespace
