// The window icon compiled into the program, and the application putting it
// on its window.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "app/AppIcon.h"
#include "app/QuilwrightApplication.h"
#include "platform/DisplayMetrics.h"
#include "platform/os/Window.h"

namespace
{
struct cPixel
{
    int r, g, b, a;
};

cPixel IconPixel(int x, int y)
{
    const uint8_t* p = &AppIcon::kPixels[(size_t(y) * AppIcon::kWidth + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

bool Near(int value, int expected, int tolerance) { return std::abs(value - expected) <= tolerance; }

TEST(AppIconTest, IsARoundedDarkTileWithABlueWaveform)
{
    ASSERT_EQ(AppIcon::kWidth, 64);
    ASSERT_EQ(AppIcon::kHeight, 64);
    ASSERT_EQ(sizeof(AppIcon::kPixels), size_t(64 * 64 * 4));

    // The middle of the tallest bar: opaque, between the lit and value blues.
    const cPixel centre = IconPixel(32, 32);
    EXPECT_EQ(centre.a, 255);
    EXPECT_TRUE(centre.b >= 0xba && centre.b <= 0xe5) << centre.b;
    EXPECT_TRUE(centre.g >= 0x84 && centre.g <= 0xb0) << centre.g;
    EXPECT_LE(centre.r, 2);

    // The tile's face beside and below the bars is the house dark.
    for (const auto& [x, y] : {std::pair{8, 32}, std::pair{20, 56}})
    {
        const cPixel face = IconPixel(x, y);
        SCOPED_TRACE(testing::Message() << x << "," << y);
        EXPECT_EQ(face.a, 255);
        EXPECT_TRUE(Near(face.r, 0x20, 3) && Near(face.g, 0x20, 3) && Near(face.b, 0x20, 3))
            << face.r << " " << face.g << " " << face.b;
    }

    // Rounded corners: clear well inside the corner square, while the tile
    // reaches its edges between them.
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{63, 0}, std::pair{0, 63}, std::pair{63, 63},
                               std::pair{3, 3}, std::pair{60, 3}, std::pair{3, 60}, std::pair{60, 60}})
        EXPECT_EQ(IconPixel(x, y).a, 0) << x << "," << y;
    for (const auto& [x, y] : {std::pair{32, 3}, std::pair{3, 32}, std::pair{60, 32}, std::pair{32, 60}})
        EXPECT_EQ(IconPixel(x, y).a, 255) << x << "," << y;
}

TEST(AppIconTest, TheApplicationPutsItOnItsWindow)
{
    cOsWindow window;
    ASSERT_TRUE(window.Create("Quilwright", 320, 240, false)) << cOsWindow::GetLastError();
    cQuilwrightApplication application(0, nullptr);
    testing::internal::CaptureStderr();
    application.HandleWindowCreated(&window);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ResetDisplayMetrics();
}

TEST(AppIconTest, AWindowRefusesAnIconItCannotShow)
{
    const uint8_t pixel[4] = {0xe5, 0xb0, 0x00, 0xff};
    cOsWindow unopened;
    EXPECT_FALSE(unopened.SetIcon(pixel, 1, 1));
    EXPECT_STRNE(cOsWindow::GetLastError(), "");

    cOsWindow window;
    ASSERT_TRUE(window.Create("Quilwright", 320, 240, false)) << cOsWindow::GetLastError();
    EXPECT_FALSE(window.SetIcon(nullptr, 1, 1));
    EXPECT_FALSE(window.SetIcon(pixel, 0, 1));
    EXPECT_FALSE(window.SetIcon(pixel, 1, -1));
    EXPECT_TRUE(window.SetIcon(pixel, 1, 1));
}
} // namespace
