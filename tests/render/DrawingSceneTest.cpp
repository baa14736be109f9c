#include "render/DrawList.h"

#include "base/FastMath.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/Material.h"
#include "support/OffscreenGL.h"
#include "render/PathStyle.h"
#include "render/RenderStartup.h"
#include "render/Renderer.h"
#include "support/ResMount.h"
#include "render/VertexLayouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace
{
constexpr uint32_t kBackground = 0xff202020;
constexpr uint32_t kAmber = 0xff00b4ff; // red ff, green b4, blue 00
constexpr uint32_t kWhite = 0xffffffff;
constexpr uint32_t kTeal = 0xffc0a000;

bool Near(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((actual >> shift) & 0xff) - int((expected >> shift) & 0xff)) > tolerance)
            return false;
    return true;
}

int Brightness(uint32_t colour)
{
    return int(colour & 0xff) + int((colour >> 8) & 0xff) + int((colour >> 16) & 0xff);
}

// The scene: panels and nine-patches of the colour atlas, text in three sizes,
// thick lines, a filled curve and anti-aliased polylines, in one frame.
void DrawScene(cDrawList& list)
{
    const cAtlasSprite* atlas = gTex8888AtlasTable;
    list.FillRect({0, 0, 480, 320}, kBackground);
    list.DrawNinePatch({10, 10, 230, 150}, &atlas[138], nullptr, kWhite, true);
    list.DrawNinePatch({250, 10, 470, 150}, &atlas[233], &atlas[234], kWhite, true);
    list.DrawNinePatch({30, 30, 150, 70}, &atlas[16], nullptr, kWhite, true);
    list.DrawTextF(90, 50, 14, kWhite, 0x11, "Play %d", 1);
    list.DrawTextF(270, 40, 10, kAmber, 0x20, "Small text, size 10");
    list.DrawTextF(270, 70, 16, kWhite, 0x20, "Size 16");
    list.DrawTextF(270, 100, 24, kTeal, 0x20, "Size 24");

    const cVector2 zigzag[5] = {{20, 200}, {70, 170}, {120, 200}, {170, 170}, {220, 200}};
    list.DrawThickLineStripSolid(zigzag, 5, kPolylineJoinMitre, nullptr, kAmber, 6.0f);
    const cVector2 straight[2] = {{20, 220}, {220, 220}};
    list.DrawThickLineStripSolid(straight, 2, kPolylineJoinBevel, nullptr, kWhite, 4.0f);

    std::vector<cVector2> curve;
    for (int i = 0; i <= 44; ++i)
        curve.push_back({10.0f + 5.0f * float(i), 270.0f - 25.0f * std::sin(float(i) * 0.2f)});
    list.DrawFilledCurve(curve.data(), int(curve.size()), {10, 240, 230, 310}, nullptr, kTeal);

    std::vector<cVector2> wave;
    for (int i = 0; i <= 44; ++i)
        wave.push_back({250.0f + 5.0f * float(i), 200.0f - 25.0f * std::sin(float(i) * 0.25f)});
    cPathStyle style;
    style.mode = kPathPolylineAA;
    style.colour = kWhite;
    style.width = 2.0f;
    style.join = kPolylineJoinBevel;
    list.DrawPath(wave.data(), int(wave.size()), style);
    const cVector2 thick[3] = {{260, 270}, {360, 270}, {460, 300}};
    style.width = 6.0f;
    style.colour = kAmber;
    list.DrawPath(thick, 3, style);
    style.mode = kPathHairline;
    style.colour = kWhite;
    list.DrawStyledRect(style, 0, {245, 235, 475, 315});

    // Integer vertices reaching the clip-edge sentinels, drawn directly. They
    // have no depth of their own, so they draw with the depth test off.
    cScopedMaterial untextured(list, gMaterialRegistry->Find("Untextured"));
    cScopedDepthFunc depthFunc(list);
    list.FlushAll();
    list.GetRenderer()->SetDepthFunc(kDepthOff);
    const int16_t farLeft = int16_t(0x8000), farRight = 0x7fff;
    const cVertexIntXYColour leftBar[4] = {
        {farLeft, 312, kAmber}, {6, 312, kAmber}, {farLeft, 320, kAmber}, {6, 320, kAmber}};
    list.DrawDirect(kPrimitiveTriangleStrip, cVertexIntXYColour::kFormat, leftBar, 4);
    const cVertexIntXY rightBar[4] = {{474, 0}, {farRight, 0}, {474, 8}, {farRight, 8}};
    list.DrawDirect(kPrimitiveTriangleStrip, cVertexIntXY::kFormat, rightBar, 4);
}
} // namespace

TEST(DrawingScene, AFrameOfPanelsTextLinesAndCurves)
{
    InitFastMathTables();
    cOffscreenGL gl(480, 320);
    ASSERT_TRUE(gl.IsReady()) << gl.Error();
    cResMount mount(GeneratedResourceFolder());
    SelectTextureProfiles(2);
    ASSERT_TRUE(CreateMaterials(2)) << "atlases missing in " << mount.Root();
    ASSERT_TRUE(CreateFonts());

    {
        cDrawList list(&gl.Renderer());
        list.currentMaterial = gMaterialRegistry->Find("TexturedColour");
        gl.Renderer().Clear(kClearColour | kClearDepth);
        list.Begin();
        DrawScene(list);
        list.End();
        EXPECT_EQ(list.currentMaterial, gMaterialRegistry->Find("TexturedColour"));
    }
    const std::vector<uint8_t> frame = gl.ReadPixels();
    const std::string saved = gl.SaveFrame("drawing-scene");
    std::printf("scene saved as %s\n", saved.c_str());

    auto pixel = [&](int x, int y) { return gl.PixelAt(frame, x, y); };
    EXPECT_TRUE(Near(pixel(240, 160), kBackground, 2)) << std::hex << pixel(240, 160);
    EXPECT_TRUE(Near(pixel(5, 5), kBackground, 2));
    EXPECT_TRUE(Near(pixel(0, 316), kAmber, 0)) << "integer vertices at 0x8000" << std::hex << pixel(0, 316);
    EXPECT_TRUE(Near(pixel(5, 316), kAmber, 0));
    EXPECT_TRUE(Near(pixel(7, 316), kBackground, 2));
    EXPECT_TRUE(Near(pixel(479, 4), kWhite, 0)) << "integer vertices at 0x7fff" << std::hex << pixel(479, 4);
    EXPECT_TRUE(Near(pixel(473, 4), kBackground, 2));
    EXPECT_FALSE(Near(pixel(15, 80), kBackground, 4)) << "panel edge drawn";
    EXPECT_FALSE(Near(pixel(360, 145), kBackground, 4)) << "drop-down frame's border";
    EXPECT_TRUE(Near(pixel(360, 130), kBackground, 2)) << "drop-down frame's open middle";
    EXPECT_TRUE(Near(pixel(70, 170), kAmber, 8)) << "thick line at its mitred corner" << std::hex << pixel(70, 170);
    EXPECT_TRUE(Near(pixel(120, 220), kWhite, 8)) << "straight thick line" << std::hex << pixel(120, 220);
    EXPECT_TRUE(Near(pixel(120, 300), kTeal, 2)) << "filled curve" << std::hex << pixel(120, 300);
    EXPECT_TRUE(Near(pixel(300, 270), kAmber, 8)) << "wide anti-aliased polyline" << std::hex << pixel(300, 270);
    EXPECT_TRUE(Near(pixel(300, 277), kBackground, 4)) << "beyond its feather";
    EXPECT_TRUE(Near(pixel(300, 235), kWhite, 2)) << "hairline outline" << std::hex << pixel(300, 235);
    // A line on a pixel edge lights the pixel on one side of it.
    EXPECT_TRUE(Near(pixel(244, 280), kWhite, 2) || Near(pixel(245, 280), kWhite, 2)) << "hairline's left edge";

    // The anti-aliased wave: bright along the curve, fading out within two pixels.
    int brightOnCurve = 0;
    for (int i = 0; i <= 44; ++i)
    {
        const float x = 250.0f + 5.0f * float(i), y = 200.0f - 25.0f * std::sin(float(i) * 0.25f);
        brightOnCurve += Brightness(pixel(int(x), int(std::lround(y)))) > 300;
        EXPECT_LT(Brightness(pixel(int(x), int(std::lround(y)) + 5)), 120) << x;
    }
    EXPECT_GT(brightOnCurve, 35);

    // Text: lit pixels inside each line of text, drawn over the button skin.
    struct cTextBox
    {
        int x0, y0, x1, y1;
        uint32_t colour;
    };
    for (const cTextBox& box : {cTextBox{60, 42, 120, 58, kWhite}, cTextBox{270, 40, 400, 52, kAmber},
                                cTextBox{270, 70, 340, 88, kWhite}, cTextBox{270, 100, 370, 126, kTeal}})
    {
        int lit = 0;
        for (int y = box.y0; y < box.y1; ++y)
            for (int x = box.x0; x < box.x1; ++x)
                lit += Near(pixel(x, y), box.colour, 40);
        EXPECT_GT(lit, 25) << "text at " << box.x0 << "," << box.y0;
    }

    gl.Renderer().BindTexture(0, nullptr, kSamplingLinear);
    DestroyMaterialsAndFonts();
    SelectTextureProfiles(0);
}
