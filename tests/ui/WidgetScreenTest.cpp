#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/LayoutLinear.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr uint32_t kWhite = 0xffffffff;
constexpr uint32_t kAmber = 0xff00b4ff;
constexpr uint32_t kTeal = 0xffc0a000;
constexpr uint32_t kDarkText = 0xff1e1e1e;
// Atlas entries resgen draws: a panel background, the wide and the small
// button bodies, the drop-down frame with its stretch sprite.
constexpr int kPanelSprite = 138;
constexpr int kWideButtonSprite = 17;
constexpr int kSmallButtonSprite = 16;
constexpr int kFrameSprite = 233;
constexpr int kFrameInnerSprite = 234;

// A tile of the test screen: a flat colour or a nine-patch of the colour
// atlas, with a centred label.
class cTile : public cWidget
{
public:
    static cTile* Make(cWidget* parent, const char* label, int sprite, uint32_t fill = 0, int inner = -1)
    {
        auto* tile = new cTile(label, sprite, fill, inner);
        parent->AddChild(tile);
        tile->Release();
        return tile;
    }

    bool Draw(cDrawList& list) override
    {
        const cRect& rect = GetRect();
        if (mFill)
            list.FillRect(rect, mFill);
        if (mSprite >= 0)
            list.DrawNinePatch(rect, &gTex8888AtlasTable[mSprite],
                               mInner >= 0 ? &gTex8888AtlasTable[mInner] : nullptr, kWhite, true);
        if (!mLabel.empty())
            list.DrawTextSized((rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f,
                               mSprite < 0 && mFill == kWhite ? kDarkText : kWhite,
                               kTextAlignCentreX | kTextAlignCentreY,
                               mLabel.c_str(), 14);
        return false;
    }
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override
    {
        *minimum = {20, 20};
        *preferred = mPreferred;
    }

    cVector2 mPreferred = {90, 36};

private:
    cTile(const char* label, int sprite, uint32_t fill, int inner)
        : mLabel(label), mSprite(sprite), mInner(inner), mFill(fill)
    {
    }

    std::string mLabel;
    int mSprite;
    int mInner;
    uint32_t mFill;
};

cLayoutItemWidget* Item(cWidget* widget, int32_t policyX, int32_t policyY)
{
    return new cLayoutItemWidget(widget, policyX, policyY);
}

cLayoutLinear* Linear(int32_t axis, float spacing, float margin)
{
    auto* layout = new cLayoutLinear(axis, 4);
    layout->itemSpacing = spacing;
    for (cLayoutValue& value : layout->margins)
        value.value = margin;
    return layout;
}

int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xff); }

// The studio as a user first meets a page: a white page of nested rows and
// columns, a panel scroller caught half-way between two panels, and a
// dialogue zooming open over the dimmed screen.
class WidgetScreenTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override { StartScreen(640, 480); }
};

TEST_F(WidgetScreenTest, NestedLayoutsAScrollerHalfWayAndAZoomOverTheDimmedScreen)
{
    cWidgetModalContainer* root = manager->GetRoot();
    cTile* page = cTile::Make(root, "", -1, kWhite);

    // A column: a header row, a middle row (a column of buttons beside the
    // scroller) and a footer, 12 pixels in from the page with 8 between.
    cLayoutLinear* column = Linear(kAxisY, 8, 12);
    cLayoutLinear* header = Linear(kAxisX, 10, 0);
    for (const char* label : {"Song", "Mixer", "Kest"})
        header->AddItem(Item(cTile::Make(page, label, kWideButtonSprite), kPolicyExpand, kPolicyFixed));
    cLayoutLinear* middle = Linear(kAxisX, 10, 0);
    cLayoutLinear* buttons = Linear(kAxisY, 6, 4);
    for (const char* label : {"A", "B", "C", "D"})
        buttons->AddItem(Item(cTile::Make(page, label, kSmallButtonSprite), kPolicyFixed, kPolicyPref));
    auto* scroller = new cWidgetPanelScroller();
    page->AddChild(scroller);
    scroller->Release();
    cTile* first = cTile::Make(scroller, "Panel 1", -1, kAmber);
    cTile* second = cTile::Make(scroller, "Panel 2", -1, kTeal);
    scroller->GoToFirst(false);
    middle->AddItem(buttons);
    auto* scrollerItem = Item(scroller, kPolicyExpand, kPolicyExpand);
    middle->AddItem(scrollerItem);
    middle->policy[kAxisY] = kPolicyExpand;
    cTile* footer = cTile::Make(page, "Footer", kPanelSprite, kWhite);
    column->AddItem(header);
    column->AddItem(middle);
    column->AddItem(Item(footer, kPolicyPref, kPolicyFixed));
    page->SetLayout(column);

    auto* dialogue = new cWidget();
    dialogue->SetAnchors(0x4444, -150, -80, 150, 80);
    cTile::Make(dialogue, "", kFrameSprite, 0, kFrameInnerSprite);
    cTile::Make(dialogue, "Zoom layer", -1, kWhite)->SetAnchors(kAnchorsFillParent, 20, 30, -20, -20);
    DrawFrame();

    scroller->ScrollToNext();
    ASSERT_TRUE(root->Push(dialogue, kDimBeneath | kDimAtOnce, kTransitionZoom));
    dialogue->Release();
    int frames = 0;
    while (scroller->GetOffset() < 0.45f && frames < 30)
    {
        DrawFrame();
        ++frames;
    }
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const std::string saved = gl->SaveFrame("widget-screen");
    std::printf("widget screen saved as %s after %d frames\n", saved.c_str(), frames);
    auto pixel = [&](int x, int y) { return gl->PixelAt(pixels, x, y); };

    // Dim 160 of 255 leaves 95 of white: about 37 percent.
    const uint32_t margin = pixel(4, 4);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(Channel(margin, shift), 95, 3) << std::hex << margin;

    // Labels drawn beneath are dimmed with everything else, even those still
    // waiting in the text batch when the dim was drawn.
    const cRect footerBox = footer->GetRect();
    int brightest = 0;
    for (int y = int(footerBox.yMin); y < int(footerBox.yMax); ++y)
        for (int x = int(footerBox.xMin); x < int(footerBox.xMax); ++x)
            brightest = std::max(brightest, Channel(pixel(x, y), 0));
    EXPECT_LT(brightest, 100) << "the footer's label";

    // The layout: 12-pixel margins, three header buttons sharing the row.
    const cRect song = root->GetFirstChild()->GetFirstChild()->GetRect();
    EXPECT_FLOAT_EQ(song.xMin, 12);
    EXPECT_FLOAT_EQ(song.yMin, 12);
    EXPECT_NEAR(song.xMax - song.xMin, (640 - 24 - 20) / 3.0f, 1.0f);
    const cRect footerRect = footer->GetRect();
    EXPECT_FLOAT_EQ(footerRect.yMax, 480 - 12);
    const cRect box = scroller->GetRect();
    EXPECT_GT(box.xMin, 12 + 90);
    EXPECT_FLOAT_EQ(box.xMax, 640 - 12);

    // The scroller shows the lower part of panel 1 above the upper part of
    // panel 2, both dimmed; nothing of either spills out of its rect.
    const float boundary = box.yMin + (box.yMax - box.yMin) * (1.0f - scroller->GetOffset());
    const int x = int(box.xMin) + 20;
    const uint32_t above = pixel(x, int(boundary) - 6), below = pixel(x, int(boundary) + 6);
    EXPECT_NEAR(Channel(above, 0), 255 * 95 / 255, 12) << "amber, dimmed " << std::hex << above;
    EXPECT_LT(Channel(above, 16), 20);
    EXPECT_NEAR(Channel(below, 16), 0xc0 * 95 / 255, 12) << "teal, dimmed " << std::hex << below;
    EXPECT_LT(Channel(below, 0), 20);
    const uint32_t underScroller = pixel(x, int(box.yMax) + 3);
    EXPECT_NEAR(Channel(underScroller, 0), 95, 3) << "the page between the rows " << std::hex << underScroller;
    EXPECT_EQ(first->GetRect().yMin, box.yMin) << "panels keep their place; only the drawing moves";
    EXPECT_EQ(second->GetRect().yMin, box.yMin);

    // The dialogue, half-way open, is drawn over the dim at half its size.
    const cRect frameRect = dialogue->GetRect();
    EXPECT_FLOAT_EQ(frameRect.xMax - frameRect.xMin, 300);
    const float progress = root->GetLayer(0).progress;
    EXPECT_NEAR(progress, 0.5f, 0.05f);
    const int halfWidth = int(150 * (1.0f - progress));
    const uint32_t inside = pixel(320 - halfWidth + 12, 240 - 12);
    const uint32_t outside = pixel(320 - halfWidth - 8, 240);
    EXPECT_NEAR(Channel(outside, 0), 95, 3) << "beyond the zoomed frame: the dimmed page " << std::hex << outside;
    EXPECT_GT(Channel(inside, 0), 200) << "the dialogue is not dimmed " << std::hex << inside;
}
} // namespace
