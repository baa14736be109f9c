// The generated atlases against their generated sprite tables: every sprite
// lies inside its image, sprites that code measures against each other nest as
// the widgets expect, and the sizes the widgets rely on hold.
#include "BuildPaths.h"
#include "render/AtlasTables.h"
#include "render/PVRImage.h"
#include "support/ResMount.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct cAtlasFile
{
    const char* name;
    const cAtlasSprite* table;
    int count;
    uint32_t loadFlags;
    uint32_t pixelFormat;
    int solidFill; // -1 when the atlas has none
};

const cAtlasFile kAtlases[] = {
    {"Tex8888.pvr", AtlasTables::kTex8888Default, AtlasTables::kTex8888Count, 0, kPixelFormatRGBA8, 465},
    {"Tex8888_tablet.pvr", AtlasTables::kTex8888Tablet, AtlasTables::kTex8888Count, 0, kPixelFormatRGBA8, 465},
    {"Tex8888_desktop.pvr", AtlasTables::kTex8888Desktop, AtlasTables::kTex8888Count, 2, kPixelFormatRGBA8, 465},
    {"Tex8.pvr", AtlasTables::kTex8Default, AtlasTables::kTex8Count, 1, kPixelFormatAlpha8, 5},
    {"Tex8_tablet.pvr", AtlasTables::kTex8Tablet, AtlasTables::kTex8Count, 1, kPixelFormatAlpha8, 5},
    {"Fill.pvr", AtlasTables::kFillDefault, AtlasTables::kFillCount, 1, kPixelFormatAlpha8, 29},
    {"Installer.pvr", AtlasTables::kInstallerDefault, AtlasTables::kInstallerCount, 0, kPixelFormatRGBA8, -1},
    {"Installer_x2.pvr", AtlasTables::kInstallerDefault, AtlasTables::kInstallerCount, 2, kPixelFormatRGBA8, -1},
};

bool Covers(const cAtlasSprite& s, float x, float y)
{
    return x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1;
}

bool Contains(const cAtlasSprite& outer, const cAtlasSprite& inner)
{
    return inner.x0 >= outer.x0 && inner.y0 >= outer.y0 && inner.x1 <= outer.x1 && inner.y1 <= outer.y1;
}

// Edge distances of a sprite inside another: left, top, right, bottom.
std::vector<float> Insets(const cAtlasSprite& outer, const cAtlasSprite& inner)
{
    return {inner.x0 - outer.x0, inner.y0 - outer.y0, outer.x1 - inner.x1, outer.y1 - inner.y1};
}
}

TEST(AtlasTablesTest, EverySpriteLiesInsideItsAtlasAndAgreesWithItself)
{
    for (const cAtlasFile& atlas : kAtlases)
    {
        SCOPED_TRACE(atlas.name);
        const auto image = LoadGeneratedTexture(std::string("Textures/") + atlas.name, atlas.loadFlags);
        ASSERT_NE(image, nullptr) << "the texture is missing or unreadable";
        EXPECT_EQ(image->pixelFormat, atlas.pixelFormat);
        // The double-resolution installer shares the 1x table: its normalised
        // coordinates hold, its pixel rectangles are half size.
        const float scale = std::string(atlas.name).find("_x2") != std::string::npos ? 2.0f : 1.0f;
        const float w = float(image->width) / scale, h = float(image->height) / scale;
        for (int i = 0; i < atlas.count; ++i)
        {
            SCOPED_TRACE(i);
            const cAtlasSprite& s = atlas.table[i];
            EXPECT_GE(s.x0, 0.0f);
            EXPECT_GE(s.y0, 0.0f);
            EXPECT_LE(s.x1, w);
            EXPECT_LE(s.y1, h);
            EXPECT_GT(s.x1, s.x0);
            EXPECT_GT(s.y1, s.y0);
            EXPECT_EQ(s.width, s.x1 - s.x0);
            EXPECT_EQ(s.height, s.y1 - s.y0);
            EXPECT_EQ(s.centreX, (s.x0 + s.x1) * 0.5f);
            EXPECT_EQ(s.centreY, (s.y0 + s.y1) * 0.5f);
            if (i == atlas.solidFill)
                continue;
            EXPECT_FLOAT_EQ(s.u0, s.x0 / w);
            EXPECT_FLOAT_EQ(s.v0, s.y0 / h);
            EXPECT_FLOAT_EQ(s.u1, s.x1 / w);
            EXPECT_FLOAT_EQ(s.v1, s.y1 / h);
        }
    }
}

TEST(AtlasTablesTest, SolidFillIsTheOpaqueWhiteTexelAtTheOriginAndNothingElseCoversIt)
{
    for (const cAtlasFile& atlas : kAtlases)
    {
        if (atlas.solidFill < 0)
            continue;
        SCOPED_TRACE(atlas.name);
        const auto image = LoadGeneratedTexture(std::string("Textures/") + atlas.name, atlas.loadFlags);
        ASSERT_NE(image, nullptr);
        const cAtlasSprite& solid = atlas.table[atlas.solidFill];
        EXPECT_EQ(solid.x0, 0.0f);
        EXPECT_EQ(solid.y0, 0.0f);
        EXPECT_EQ(solid.x1, 1.0f);
        EXPECT_EQ(solid.y1, 1.0f);
        EXPECT_FLOAT_EQ(solid.u0, 0.5f / float(image->width));
        EXPECT_FLOAT_EQ(solid.v0, 0.5f / float(image->height));
        EXPECT_EQ(solid.u0, solid.u1);
        EXPECT_EQ(solid.v0, solid.v1);

        const uint8_t* texel = image->surfaces[0].levels[0].pixels;
        const size_t texelBytes = atlas.pixelFormat == kPixelFormatRGBA8 ? 4 : 1;
        EXPECT_EQ(std::vector<uint8_t>(texel, texel + texelBytes), std::vector<uint8_t>(texelBytes, 255));

        for (int i = 0; i < atlas.count; ++i)
            EXPECT_TRUE(i == atlas.solidFill || !Covers(atlas.table[i], 0.5f, 0.5f)) << "entry " << i << " covers the solid texel";
    }
}

TEST(AtlasTablesTest, ColourSpritesNestAsTheWidgetsMeasureThem)
{
    // {outer, inner}: drawn sprites around their size sprites, inner (stretch)
    // sprites and markers inside the sprite they are measured against.
    const int pairs[][2] = {
        {17, 18}, {25, 26}, {11, 12}, {19, 20}, {13, 14}, {21, 22}, {15, 16}, {23, 24}, {47, 48},
        {57, 59}, {60, 62}, {60, 61}, {63, 64}, {88, 89}, {90, 91}, {92, 93}, {94, 95}, {96, 97},
        {98, 99}, {100, 103}, {101, 102}, {104, 105}, {114, 115}, {114, 116}, {122, 125}, {128, 131},
        {143, 144}, {144, 145}, {146, 147}, {147, 148}, {149, 150}, {149, 151}, {223, 224}, {233, 235},
        {235, 234}, {282, 284}, {284, 283}, {284, 285}, {284, 286}, {338, 339}, {340, 341}, {342, 343},
        {351, 350}, {351, 352}, {389, 390}, {389, 391}, {389, 392}, {389, 393}, {394, 397}, {395, 396},
        {398, 401}, {399, 400}, {454, 455}, {456, 457}, {462, 463},
    };
    for (const cAtlasSprite* table :
         {AtlasTables::kTex8888Default, AtlasTables::kTex8888Tablet, AtlasTables::kTex8888Desktop})
        for (const auto& pair : pairs)
            EXPECT_TRUE(Contains(table[pair[0]], table[pair[1]])) << pair[1] << " is not inside " << pair[0];
}

TEST(AtlasTablesTest, ColourSpritesHaveTheSizesWidgetsRelyOn)
{
    struct cSize
    {
        int index;
        float phoneW, phoneH, tabletW, tabletH;
    };
    // The standard button, the small button height, the 44-pixel tall button
    // and the lamp buttons, which keep their size on every device class.
    const cSize sizes[] = {
        {18, 96, 32, 132, 44}, {26, 96, 32, 132, 44}, {104, 27, 27, 27, 27}, {105, 24, 24, 24, 24},
    };
    for (const cSize& size : sizes)
    {
        SCOPED_TRACE(size.index);
        for (const cAtlasSprite* table : {AtlasTables::kTex8888Default, AtlasTables::kTex8888Desktop})
        {
            EXPECT_EQ(table[size.index].width, size.phoneW);
            EXPECT_EQ(table[size.index].height, size.phoneH);
        }
        EXPECT_EQ(AtlasTables::kTex8888Tablet[size.index].width, size.tabletW);
        EXPECT_EQ(AtlasTables::kTex8888Tablet[size.index].height, size.tabletH);
    }
    for (const cAtlasSprite* table : {AtlasTables::kTex8888Default, AtlasTables::kTex8888Desktop})
    {
        EXPECT_EQ(table[12].height, 32.0f);
        EXPECT_EQ(table[22].height, 44.0f);
        EXPECT_EQ(table[14].height, table[22].height);
    }
    EXPECT_EQ(AtlasTables::kTex8888Tablet[12].height, 44.0f);

    // Dialogue and drop-down insets and the title bar are the same everywhere.
    for (const cAtlasSprite* table :
         {AtlasTables::kTex8888Default, AtlasTables::kTex8888Tablet, AtlasTables::kTex8888Desktop})
    {
        EXPECT_EQ(Insets(table[284], table[283]), (std::vector<float>{6, 36, 6, 5}));
        EXPECT_EQ(Insets(table[284], table[285]), (std::vector<float>{3, 34, 3, 3}));
        EXPECT_EQ(table[286].height, 30.0f);
        EXPECT_EQ(table[286].y0, table[284].y0);
        EXPECT_EQ(Insets(table[235], table[234]), (std::vector<float>{6, 12, 6, 6}));
        EXPECT_LE(table[53].height, table[286].height) << "the close icon fits the title bar";
        EXPECT_LE(table[287].height, table[286].height) << "the spinner fits the title bar";
        EXPECT_EQ(table[465].width, 1.0f);
    }
}

TEST(AtlasTablesTest, FillLineSpritesAreSquaresTwoPixelsWiderThanTheirLine)
{
    // Line width -> entry, as the line-sprite picker chooses them.
    const int entryForWidth[17] = {-1, 7, 9, 10, 11, 12, 13, 14, 15, 16, 0, 1, 2, 3, 4, 5, 6};
    for (int width = 1; width <= 16; ++width)
    {
        const cAtlasSprite& s = AtlasTables::kFillDefault[entryForWidth[width]];
        EXPECT_EQ(s.width, float(width + 2)) << "width " << width;
        EXPECT_EQ(s.height, float(width + 2)) << "width " << width;
    }
    EXPECT_EQ(AtlasTables::kFillDefault[8].width, 22.0f);
    EXPECT_EQ(AtlasTables::kFillDefault[8].height, 22.0f);
}

TEST(AtlasTablesTest, FillLineCrossSectionIsOpaqueInsideAndClearAtItsEdges)
{
    const auto image = LoadGeneratedTexture("Textures/Fill.pvr", 1);
    ASSERT_NE(image, nullptr);
    const uint8_t* pixels = image->surfaces[0].levels[0].pixels;
    for (int entry : {7, 11, 8})
    {
        SCOPED_TRACE(entry);
        const cAtlasSprite& s = AtlasTables::kFillDefault[entry];
        const int column = int(s.centreX);
        auto alphaAt = [&](int y) { return pixels[size_t(y) * image->width + size_t(column)]; };
        EXPECT_EQ(alphaAt(int(s.y0)), 0);
        EXPECT_EQ(alphaAt(int(s.y1) - 1), 0);
        for (int y = int(s.y0) + 1; y < int(s.y1) - 1; ++y)
            EXPECT_EQ(alphaAt(y), 255) << "row " << y;
    }
}

TEST(AtlasTablesTest, EveryColourIndexThatCodeNamesHasItsOwnArt)
{
    // The manifest is written beside the generated tables.
    std::ifstream file(BuildFile("generated/SpriteManifest.md"));
    ASSERT_TRUE(file) << "the sprite manifest is missing";
    std::ostringstream text;
    text << file.rdbuf();
    const std::string manifest = text.str();
    const std::string colour = manifest.substr(0, manifest.find("## Mono atlas"));

    const int named[] = {
        6,   11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  47,  48,
        49,  53,  57,  59,  60,  61,  62,  63,  64,  65,  66,  68,  87,  88,  89,  90,  91,  92,  93,  94,
        95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 107, 108, 109, 111, 112, 114, 115, 116, 117,
        118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 134, 135, 136, 137, 138, 140,
        141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 181, 182, 186, 189, 192, 197, 218, 220, 221,
        222, 223, 224, 225, 232, 233, 234, 235, 280, 281, 282, 283, 284, 285, 286, 287, 308, 312, 326, 327,
        328, 329, 330, 331, 332, 333, 334, 335, 338, 339, 340, 341, 342, 343, 350, 351, 352, 360, 389, 390,
        391, 392, 393, 394, 395, 396, 397, 398, 399, 400, 401, 411, 412, 413, 414, 415, 416, 417, 418, 419,
        420, 421, 422, 445, 454, 455, 456, 457, 458, 461, 462, 463, 465,
    };
    for (int index : named)
    {
        const std::string row = "\n| " + std::to_string(index) + " | ";
        const size_t at = colour.find(row);
        ASSERT_NE(at, std::string::npos) << "entry " << index << " is not in the manifest";
        EXPECT_NE(colour.compare(at + row.size(), 12, "Unused index"), 0) << "entry " << index << " is a placeholder";
    }
}
