#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "editors/EditGeometryBatch.h"
#include "editors/RollButton.h"
#include "editors/ZoomEasing.h"
#include "render/AtlasProfiles.h"
#include "render/Font.h"
#include "ui/DialogueFixture.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"

namespace
{
constexpr float kFrame = 1.0f / 30.0f;

struct cRange
{
    float origin, span;
};

// Every range a run of steps produced, until one produces nothing after some did.
std::vector<cRange> Steps(cZoomEasing& easing, int steps, int* silentBefore)
{
    std::vector<cRange> ranges;
    *silentBefore = 0;
    for (int i = 0; i < steps; ++i)
    {
        cRange r;
        if (easing.Step(kFrame, &r.origin, &r.span))
            ranges.push_back(r);
        else if (ranges.empty())
            ++*silentBefore;
    }
    return ranges;
}

using RollButtonTest = DialogueFixture;
} // namespace

TEST(EditGeometryBatchTest, IndicesAreMadeOnceAndFramesWriteOnlyVertices)
{
    cEditGeometryBatch batch;
    ASSERT_EQ(batch.fillVertices.GetCount(), 5000u);
    ASSERT_EQ(batch.outlineVertices.GetCount(), 5000u);
    ASSERT_EQ(batch.triangleIndices.GetCount(), 6000u);
    ASSERT_EQ(batch.outlineIndices.GetCount(), 8000u);
    const std::vector<uint16_t> last(batch.triangleIndices.GetData() + 999 * 6, batch.triangleIndices.GetData() + 6000);
    EXPECT_EQ(last, (std::vector<uint16_t>{4995, 4996, 4997, 4998, 4996, 4997}));
    const std::vector<uint16_t> outline(batch.outlineIndices.GetData() + 999 * 8, batch.outlineIndices.GetData() + 8000);
    EXPECT_EQ(outline, (std::vector<uint16_t>{4995, 4996, 4996, 4998, 4997, 4998, 4997, 4995}));
    for (const cVertexXYZColour& line : batch.lineVertices)
    {
        EXPECT_EQ(line.colour, 0xff464646u);
        EXPECT_EQ(line.z, 0.0f);
    }

    const std::vector<uint16_t> triangles(batch.triangleIndices.GetData(), batch.triangleIndices.GetData() + 6000);
    const std::vector<uint16_t> outlines(batch.outlineIndices.GetData(), batch.outlineIndices.GetData() + 8000);
    std::mt19937 random(7);
    for (int frame = 0; frame < 60; ++frame)
        for (uint32_t v = 0; v < batch.fillVertices.GetCount(); ++v)
        {
            const int16_t x = int16_t(random()), y = int16_t(random());
            batch.fillVertices[v] = {x, y, uint32_t(random())};
            batch.outlineVertices[v] = {x, y};
        }
    EXPECT_EQ(std::vector<uint16_t>(batch.triangleIndices.GetData(), batch.triangleIndices.GetData() + 6000), triangles);
    EXPECT_EQ(std::vector<uint16_t>(batch.outlineIndices.GetData(), batch.outlineIndices.GetData() + 8000), outlines);
}

TEST(ZoomEasingTest, ZoomsInAfterAPauseAndBackOnRelease)
{
    cZoomEasing easing;
    easing.Start(0.0f, 100.0f, 10.0f, 50.0f);
    int silent = 0;
    const std::vector<cRange> in = Steps(easing, 40, &silent);
    EXPECT_EQ(silent, 23);
    ASSERT_EQ(in.size(), 8u);
    EXPECT_NEAR(in.front().origin, 6.0f, 1e-4f);
    EXPECT_NEAR(in.front().span, 88.0f, 1e-4f);
    EXPECT_FLOAT_EQ(in.back().origin, 45.0f) << "the anchor at 50 keeps its place";
    EXPECT_FLOAT_EQ(in.back().span, 10.0f);

    // Starting again while zooming in changes nothing.
    easing.Start(500.0f, 1.0f, 1.0f, 0.0f);
    float origin = 0.0f, span = 0.0f;
    EXPECT_FALSE(easing.Step(kFrame, &origin, &span));

    easing.Release();
    const std::vector<cRange> back = Steps(easing, 20, &silent);
    EXPECT_EQ(silent, 0);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_NEAR(back.front().origin, 33.0f, 1e-4f);
    EXPECT_NEAR(back.front().span, 34.0f, 1e-4f);
    EXPECT_FLOAT_EQ(back.back().origin, 0.0f);
    EXPECT_FLOAT_EQ(back.back().span, 100.0f);
    EXPECT_EQ(easing.GetState(), cZoomEasing::kZoomingBack);
}

TEST(ZoomEasingTest, AReleaseBeforeThePauseProducesNothing)
{
    cZoomEasing easing;
    float origin = 0.0f, span = 0.0f;
    EXPECT_FALSE(easing.Step(kFrame, &origin, &span)) << "idle";
    easing.Start(0.0f, 100.0f, 10.0f, 50.0f);
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(easing.Step(kFrame, &origin, &span));
    easing.Release();
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(easing.Step(kFrame, &origin, &span));

    // The next start begins from the start again.
    easing.Reset();
    easing.Start(0.0f, 100.0f, 10.0f, 50.0f);
    int silent = 0;
    EXPECT_EQ(Steps(easing, 40, &silent).size(), 8u);
    EXPECT_EQ(silent, 23);
}

TEST_F(RollButtonTest, ARollButtonCarriesItsIdSkinAndLightLabel)
{
    int clicks = 0;
    struct cCounter
    {
        int* count;
        void Clicked(int32_t, cWidgetButton*) { ++*count; }
    } counter{&clicks};
    cWidgetButton* button = CreateRollButton("Draw", kButtonCycle, 12, cDelegate(&counter, &cCounter::Clicked),
                                             kRollButtonSkin, kRollButtonSkinLit);
    EXPECT_STREQ(button->GetName(), "Draw");
    EXPECT_EQ(button->GetMode(), kButtonCycle);
    EXPECT_EQ(button->GetTag(), 12);
    EXPECT_EQ(button->background.sprite, &Sprite(kRollButtonSkin));
    EXPECT_EQ(button->background.drawSprite, &Sprite(kRollButtonSkin));
    EXPECT_EQ(button->litBackground.sprite, &Sprite(kRollButtonSkinLit));
    EXPECT_EQ(button->litBackground.drawSprite, &Sprite(kRollButtonSkinLit));
    EXPECT_EQ(button->background.alignment, 19);
    EXPECT_EQ(button->litBackground.alignment, 19);
    EXPECT_EQ(button->icon.sprite, nullptr);
    EXPECT_EQ(button->labelStyle.colour, 0xffdcdcdcu);
    EXPECT_EQ(button->labelStyle.font.sizeEntry, button->labelStyle.font.font->ChooseSize(GetStandardTextSize()));
    EXPECT_TRUE(button->GetFlags() & kWidgetLayoutDirty);

    Place(button, {100, 400, 180, 444});
    Frame();
    const cRect& rect = button->GetRect();
    Tap(1, (rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button->value, 1);
    EXPECT_TRUE(FindText("Draw"));

    SetRollButtonIcon(button, 186);
    EXPECT_EQ(button->icon.sprite, &Sprite(186));
    EXPECT_EQ(button->litIcon.drawSprite, &Sprite(186));
    EXPECT_EQ(button->iconOffset.Y, -8.0f);
    EXPECT_EQ(button->labelStyle.offsetY, 11.0f);
    EXPECT_TRUE(button->GetFlags() & kWidgetLayoutDirty);
}
