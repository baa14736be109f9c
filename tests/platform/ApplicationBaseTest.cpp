#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ApplicationBase.h"
#include "platform/DisplayMetrics.h"

namespace
{
std::vector<std::string> Arguments(const cApplicationBase& application)
{
    std::vector<std::string> result;
    for (int i = 0; i < application.GetArgumentCount(); ++i)
        result.emplace_back(application.GetArgument(i));
    return result;
}

struct cSplitCase
{
    const char* commandLine;
    std::vector<std::string> arguments;
};

TEST(ApplicationBaseTest, SplitsTheCommandLine)
{
    const cSplitCase cases[] = {
        {"", {}},
        {"   \t  ", {}},
        {"a \"b c\" d", {"a", "b c", "d"}},
        {"\"\"", {}},
        {"x\"y z\"w", {"x\"y z"}},
        {"'My Song.prj' -phone", {"My Song.prj", "-phone"}},
        {"\"C:/My Music/a b.prj\"  -phone", {"C:/My Music/a b.prj", "-phone"}},
        {"a \"b c d", {"a", "b c d"}},
        {"one\ttwo\r\nthree", {"one", "two", "three"}},
    };
    for (const cSplitCase& c : cases)
    {
        cApplicationBase application(c.commandLine);
        EXPECT_EQ(Arguments(application), c.arguments) << "command line: " << c.commandLine;
    }
}

TEST(ApplicationBaseTest, KeepsArgumentVectorsAsTheyStand)
{
    const char* const argv[] = {"Bob's Song.mid", "a \"quoted\" name", ""};
    cApplicationBase application(3, argv);
    EXPECT_EQ(Arguments(application), (std::vector<std::string>{"Bob's Song.mid", "a \"quoted\" name", ""}));
}

struct cClassCase
{
    const char* commandLine;
    int32_t deviceClass;
    float dpi;
};

TEST(ApplicationBaseTest, ChoosesTheDeviceClassFromTheLastClassArgument)
{
    const cClassCase cases[] = {
        {"", kDeviceClassDesktop, 96.0f},
        {"song.prj", kDeviceClassDesktop, 96.0f},
        {"-phone", kDeviceClassPhone, 163.0f},
        {"-TABLET", kDeviceClassTablet, 132.0f},
        {"-tablet -phone", kDeviceClassPhone, 163.0f},
        {"-phone x -Tablet", kDeviceClassTablet, 132.0f},
        {"\"-phone\"", kDeviceClassPhone, 163.0f},
        {"-phones", kDeviceClassDesktop, 96.0f},
    };
    for (const cClassCase& c : cases)
    {
        cApplicationBase application(c.commandLine);
        application.InitDeviceClass();
        EXPECT_EQ(gDisplayMetrics.deviceClass, c.deviceClass) << c.commandLine;
        EXPECT_FLOAT_EQ(gDisplayMetrics.dpi, c.dpi) << c.commandLine;
        EXPECT_FLOAT_EQ(gDisplayMetrics.inverseDpi, 1.0f / c.dpi);
        EXPECT_FLOAT_EQ(gDisplayMetrics.pixelsPerMillimetre, c.dpi / 25.4f);
        EXPECT_FLOAT_EQ(gDisplayMetrics.millimetresPerPixel, 25.4f / c.dpi);
    }
    ResetDisplayMetrics();
    EXPECT_EQ(gDisplayMetrics.deviceClass, kDeviceClassPhone);
}

TEST(ApplicationBaseTest, FindsArgumentsIgnoringCase)
{
    cApplicationBase application("a -Phone b -phone");
    EXPECT_EQ(application.FindArgument("-PHONE"), 1);
    EXPECT_EQ(application.FindArgument("c"), -1);
}

TEST(ApplicationBaseTest, StartsWithTheBaseDefaults)
{
    cApplicationBase application("");
    EXPECT_EQ(application.GetWindowWidth(), 200);
    EXPECT_EQ(application.GetWindowHeight(), 200);
    EXPECT_FALSE(application.IsResizable());
    EXPECT_FLOAT_EQ(application.GetFramesPerSecond(), 60.0f);
    EXPECT_STREQ(application.GetTitle().CStr(), "");
    EXPECT_FALSE(application.OpenDocument("a.prj"));
}
} // namespace
