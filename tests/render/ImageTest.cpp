#include "render/DrawListFixture.h"

#include "render/Image.h"

#include <gtest/gtest.h>

namespace
{
// A 30 x 20 sprite at (200, 100) in its atlas, and a 40 x 20 one.
const cAtlasSprite kSprite = {0.2f, 0.1f, 0.23f, 0.12f, 200, 100, 230, 120, 30, 20, 215, 110};
const cAtlasSprite kWide = {0.0f, 0.0f, 0.04f, 0.02f, 0, 0, 40, 20, 40, 20, 20, 10};
// A placeholder without extent.
const cAtlasSprite kPoint = {0.5f, 0.5f, 0.5f, 0.5f, 50, 50, 50, 50, 0, 0, 50, 50};
// The stretchable middle of kSprite: caps of 10 on each side, 5 top and bottom.
const cAtlasSprite kInner = {0.21f, 0.105f, 0.22f, 0.115f, 210, 105, 220, 115, 10, 10, 215, 110};
// Another state of kSprite drawn 2 pixels larger on every side (a glow);
// states share their registration frame in the atlas tables.
const cAtlasSprite kGlow = {0.3f, 0.1f, 0.334f, 0.124f, 198, 98, 232, 122, 34, 24, 215, 110};

void ExpectRect(const cRect& actual, const cRect& expected, const char* what)
{
    EXPECT_NEAR(actual.xMin, expected.xMin, 1e-4) << what;
    EXPECT_NEAR(actual.yMin, expected.yMin, 1e-4) << what;
    EXPECT_NEAR(actual.xMax, expected.xMax, 1e-4) << what;
    EXPECT_NEAR(actual.yMax, expected.yMax, 1e-4) << what;
}

cImage MakeImage(const cAtlasSprite* sprite, int32_t alignment, int32_t flags,
                 const cAtlasSprite* inner = nullptr)
{
    cImage image;
    image.SetSprites(sprite, nullptr, inner);
    image.alignment = alignment;
    image.flags = flags;
    return image;
}
} // namespace

TEST(Image, LayoutFitsTheSpriteByAlignmentAndFlags)
{
    struct cCase
    {
        const char* what;
        const cAtlasSprite* sprite;
        const cAtlasSprite* inner;
        int32_t alignment, flags;
        cRect rect;
        cRect expected;
        int32_t type;
    };
    const cCase cases[] = {
        {"own size in the middle", &kSprite, nullptr, 0x11, 0, {0, 0, 100, 100}, {35, 40, 65, 60}, kImageTypeQuad},
        {"relative to the rect", &kSprite, nullptr, 0x11, 0, {10, 20, 110, 120}, {45, 60, 75, 80}, kImageTypeQuad},
        {"within the tolerance", &kSprite, nullptr, 0x00, kImageNoPixelSnap, {0, 0, 30.3f, 20}, {0.15f, 0, 30.15f, 20},
         kImageTypeQuad},
        {"beyond the tolerance", &kSprite, nullptr, 0x00, kImageNoPixelSnap, {0, 0, 30.6f, 20}, {0, 0, 30.6f, 20},
         kImageTypeQuad},
        {"nine-patch filling", &kSprite, &kInner, 0x33, 0, {0, 0, 100, 80}, {0, 0, 100, 80}, kImageTypeNinePatch},
        {"narrower than the caps: scaled in x", &kSprite, &kInner, 0x33, 0, {0, 0, 16, 80}, {0, 0, 16, 80},
         kImageTypeThreePatchV},
        {"narrower than the caps: kept at the caps", &kSprite, &kInner, 0x33, kImageShrinkToCaps, {0, 0, 16, 80},
         {-2, 0, 18, 80}, kImageTypeNinePatch},
        {"patched in x, own height", &kSprite, &kInner, 0x13, 0, {0, 0, 100, 80}, {0, 30, 100, 50},
         kImageTypeThreePatchH},
        {"keeping the aspect", &kWide, nullptr, 0x00, kImageKeepAspect, {0, 0, 100, 100}, {0, 25, 100, 75},
         kImageTypeQuad},
        {"aspect, own height", &kWide, nullptr, 0x10, kImageKeepAspect, {0, 0, 100, 100}, {30, 40, 70, 60},
         kImageTypeQuad},
        {"snapped to the left and bottom", &kSprite, nullptr, 0x11, kImageSnapLeft | kImageSnapBottom,
         {0, 0, 100, 100}, {0, 80, 30, 100}, kImageTypeQuad},
        {"snapped to the right and top", &kSprite, nullptr, 0x11, kImageSnapRight | kImageSnapTop,
         {0, 0, 100, 100}, {70, 0, 100, 20}, kImageTypeQuad},
        {"rounded to whole pixels", &kSprite, nullptr, 0x11, 0, {0, 0, 101, 101}, {36, 41, 66, 61}, kImageTypeQuad},
        {"not rounded", &kSprite, nullptr, 0x11, kImageNoPixelSnap, {0, 0, 101, 101}, {35.5f, 40.5f, 65.5f, 60.5f},
         kImageTypeQuad},
        {"no sprite", nullptr, nullptr, 0x11, 0, {0, 0, 100, 60}, {50, 30, 50, 30}, kImageTypeNone},
        {"a sprite without extent", &kPoint, nullptr, 0x00, 0, {0, 0, 100, 60}, {0, 0, 100, 60}, kImageTypeQuad},
    };
    for (const cCase& c : cases)
    {
        cImage image = MakeImage(c.sprite, c.alignment, c.flags, c.inner);
        image.Layout(c.rect, {0, 0});
        ExpectRect(image.layoutRect, c.expected, c.what);
        ExpectRect(image.drawRect, c.expected, c.what);
        EXPECT_EQ(image.type, c.type) << c.what;
    }
}

TEST(Image, TheDrawnSpriteFollowsItsRegistrationAndTheOffsetMovesBoth)
{
    cImage image;
    image.SetSprites(&kSprite, &kGlow, nullptr);
    image.Layout({0, 0, 100, 100}, {3, -4});
    ExpectRect(image.layoutRect, {38, 36, 68, 56}, "layout");
    ExpectRect(image.drawRect, {36, 34, 70, 58}, "own size: the glow one to one");

    image.alignment = 0x00; // scaled 100 / 30 by 100 / 20
    image.flags = kImageNoPixelSnap;
    image.Layout({0, 0, 60, 40}, {0, 0});
    ExpectRect(image.drawRect, {-4, -4, 64, 44}, "scaled: the glow scaled too");

    cImage bare;
    bare.sprite = &kSprite;
    bare.Layout({0, 0, 100, 100}, {0, 0});
    EXPECT_EQ(bare.type, kImageTypeQuad);
    ExpectRect(bare.drawRect, {0, 0, 100, 100}, "without a draw sprite the rect itself");

    cVector2 minimum, natural;
    image.GetSize(minimum, natural);
    EXPECT_EQ(natural.X, 30.0f);
    EXPECT_EQ(minimum.X, 30.0f);
    image.innerSprite = &kInner;
    image.GetSize(minimum, natural);
    EXPECT_EQ(minimum.X, 20.0f);
    EXPECT_EQ(minimum.Y, 10.0f);
    cImage empty;
    empty.GetSize(minimum, natural);
    EXPECT_EQ(natural.X, 0.0f);
}

using ImageDraw = DrawListFixture;

TEST_F(ImageDraw, StateBlinkAndPressChangeTheColour)
{
    cImage image = MakeImage(&kSprite, 0x11, 0);
    image.colour = 0xff806040;
    image.Layout({0, 0, 100, 100}, {0, 0});
    gBlinkAlpha = 128;
    struct cCase
    {
        int32_t state;
        bool pressed;
        uint32_t colour; // 0: nothing drawn
    };
    const cCase cases[] = {
        {kImageNormal, false, 0xff806040},
        {kImageBlinking, false, 0x80806040},
        {kImageNormal, true, 0xff403020},
        {kImageBlinking, true, 0x80403020},
        {kImageHidden, false, 0},
    };
    for (const cCase& c : cases)
    {
        renderer.draws.clear();
        image.state = c.state;
        image.Draw(image.drawRect, *list, c.pressed);
        list->FlushVertexBatch();
        if (c.colour == 0)
        {
            EXPECT_TRUE(renderer.draws.empty());
            continue;
        }
        ASSERT_EQ(renderer.draws.size(), 1u);
        EXPECT_EQ(V(0, 0).colour, c.colour) << c.state << " " << c.pressed;
        EXPECT_EQ(V(0, 0).x, 35.0f);
        EXPECT_EQ(V(0, 0).u, kSprite.u0);
        EXPECT_EQ(V(0, 3).v, kSprite.v1);
    }
    gBlinkAlpha = 0;
}

TEST_F(ImageDraw, TheTypeChoosesQuadTurnedQuadOrPatch)
{
    struct cCase
    {
        int32_t alignment, flags;
        uint32_t vertices, indices;
        float topLeftU;
    };
    const cCase cases[] = {
        {0x11, 0, 4, 6, kSprite.u0},
        {0x11, kImageTurnAnticlockwise, 4, 6, kSprite.u1},
        {0x31, 0, 8, 18, kSprite.u0}, // three-patch in y
        {0x13, 0, 8, 18, kSprite.u0}, // three-patch in x
        {0x33, 0, 16, 54, kSprite.u0},
    };
    for (const cCase& c : cases)
    {
        renderer.draws.clear();
        cImage image = MakeImage(&kSprite, c.alignment, c.flags, &kInner);
        image.Layout({0, 0, 100, 100}, {0, 0});
        image.Draw(image.drawRect, *list, false);
        list->FlushVertexBatch();
        ASSERT_EQ(renderer.draws.size(), 1u);
        EXPECT_EQ(renderer.draws[0].vertexCount, c.vertices) << std::hex << c.alignment;
        EXPECT_EQ(renderer.draws[0].indices.size(), c.indices) << std::hex << c.alignment;
        EXPECT_EQ(V(0, 0).u, c.topLeftU) << std::hex << c.alignment;
    }
}
