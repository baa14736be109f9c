// The separate textures the editors load: present, readable by the texture
// reader, power-of-two sized (the renderer guarantees nothing else) and in the
// format their materials expect.
#include "render/PVRImage.h"
#include "support/ResMount.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
bool IsPowerOfTwo(uint32_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

uint8_t AlphaAt(const cPVRImage& image, uint32_t x, uint32_t y)
{
    return image.surfaces[0].levels[0].pixels[(size_t(y) * image.width + x) * 4 + 3];
}
}

TEST(ResgenTexturesTest, EverySeparateTextureLoadsAsAPowerOfTwoColourImage)
{
    const char* names[] = {"BrushedPanel.pvr", "KeysWhite.pvr", "KeysBlack.pvr", "KeysWhite_x2.pvr",
                           "KeysBlack_x2.pvr", "PianoRollBG.pvr", "PianoRollKeys.pvr", "PianoRollBGPads.pvr",
                           "SongRollBG.pvr", "Installer.pvr", "Installer_x2.pvr"};
    for (const char* name : names)
    {
        SCOPED_TRACE(name);
        const auto image = LoadGeneratedTexture("Textures/" + std::string(name), 0);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->pixelFormat, kPixelFormatRGBA8);
        EXPECT_TRUE(IsPowerOfTwo(image->width));
        EXPECT_TRUE(IsPowerOfTwo(image->height));
        EXPECT_EQ(image->levelCount, 1u);
    }
}

TEST(ResgenTexturesTest, DoubleResolutionKeysHaveTwiceTheSize)
{
    for (const char* key : {"KeysWhite", "KeysBlack"})
    {
        SCOPED_TRACE(key);
        const auto single = LoadGeneratedTexture("Textures/" + std::string(key) + ".pvr", 0);
        const auto twice = LoadGeneratedTexture("Textures/" + std::string(key) + "_x2.pvr", 2);
        ASSERT_NE(single, nullptr);
        ASSERT_NE(twice, nullptr);
        EXPECT_EQ(twice->width, 2 * single->width);
        EXPECT_EQ(twice->height, 2 * single->height);
    }
}

TEST(ResgenTexturesTest, BlackKeysHaveTransparentSidesAndTheRollBackgroundsAreOpaque)
{
    const auto black = LoadGeneratedTexture("Textures/KeysBlack.pvr", 0);
    ASSERT_NE(black, nullptr);
    // Each row's quad is one white key wide; the key covers its middle only.
    const uint32_t rowMiddle = uint32_t(black->height * 0.16f);
    EXPECT_EQ(AlphaAt(*black, 0, rowMiddle), 0);
    EXPECT_EQ(AlphaAt(*black, black->width / 2 - 1, rowMiddle), 0);
    EXPECT_EQ(AlphaAt(*black, black->width / 4, rowMiddle), 255);

    // Drawn without blending, the note grids must not rely on alpha.
    for (const char* name : {"PianoRollBG.pvr", "PianoRollBGPads.pvr", "PianoRollKeys.pvr", "SongRollBG.pvr"})
    {
        SCOPED_TRACE(name);
        const auto image = LoadGeneratedTexture("Textures/" + std::string(name), 0);
        ASSERT_NE(image, nullptr);
        for (uint32_t y = 0; y < image->height; y += 7)
            for (uint32_t x = 0; x < image->width; x += 5)
                ASSERT_EQ(AlphaAt(*image, x, y), 255) << x << ", " << y;
    }
}
