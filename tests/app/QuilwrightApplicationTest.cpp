#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/QuilwrightApplication.h"
#include "platform/DisplayMetrics.h"

namespace
{
struct cClassCase
{
    std::vector<const char*> arguments;
    int32_t deviceClass;
    int32_t width;
    int32_t height;
};

TEST(QuilwrightApplicationTest, DescribesItsWindowPerDeviceClass)
{
    const cClassCase cases[] = {
        {{}, kDeviceClassDesktop, 1024, 768},
        {{"-phone"}, kDeviceClassPhone, 480, 320},
        {{"-tablet"}, kDeviceClassTablet, 1024, 768},
        {{"-phone", "song.prj", "-tablet"}, kDeviceClassTablet, 1024, 768},
    };
    for (const cClassCase& c : cases)
    {
        cQuilwrightApplication application(int(c.arguments.size()), c.arguments.data());
        EXPECT_EQ(gDisplayMetrics.deviceClass, c.deviceClass);
        EXPECT_EQ(application.GetWindowWidth(), c.width);
        EXPECT_EQ(application.GetWindowHeight(), c.height);
        EXPECT_STREQ(application.GetName().CStr(), "Quilwright");
        EXPECT_STREQ(application.GetVersion().CStr(), "1.42");
        EXPECT_STREQ(application.GetTitle().CStr(), "Quilwright V1.42");
        EXPECT_TRUE(application.IsResizable());
        EXPECT_FLOAT_EQ(application.GetFramesPerSecond(), 60.0f);
    }
    ResetDisplayMetrics();
}

struct cResizeCase
{
    const char* deviceArgument;
    bool sizing;
    int32_t width, height;
    int32_t expectedWidth, expectedHeight;
};

TEST(QuilwrightApplicationTest, ClampsSizesWhileTheFrameIsDragged)
{
    const cResizeCase cases[] = {
        {"-desktop", true, 5000, 3000, 4096, 2048},
        {"-desktop", true, 700, 500, 800, 540},
        {"-desktop", false, 100, 100, 240, 160},
        {"-desktop", false, 5000, 3000, 5000, 3000},
        {"-desktop", false, 700, 500, 700, 500},
        {"-tablet", true, 700, 500, 800, 600},
        {"-phone", true, 100, 100, 480, 320},
        {"-phone", true, 1000, 700, 1000, 700},
    };
    for (const cResizeCase& c : cases)
    {
        const char* arguments[] = {c.deviceArgument};
        cQuilwrightApplication application(1, arguments);
        int32_t width = c.width;
        int32_t height = c.height;
        application.HandleResize(c.sizing, width, height);
        EXPECT_EQ(width, c.expectedWidth) << c.deviceArgument << " " << c.width << "x" << c.height;
        EXPECT_EQ(height, c.expectedHeight) << c.deviceArgument << " " << c.width << "x" << c.height;
    }
    ResetDisplayMetrics();
}

// Records the documents offered; opens the one named.
class cDocumentRecorder : public cQuilwrightApplication
{
public:
    cDocumentRecorder(int count, const char* const* arguments, std::string opens)
        : cQuilwrightApplication(count, arguments), mOpens(std::move(opens))
    {
    }
    bool OpenDocument(const char* path) override
    {
        offered.emplace_back(path);
        return offered.back() == mOpens;
    }
    std::vector<std::string> offered;

private:
    std::string mOpens;
};

TEST(QuilwrightApplicationTest, OffersDocumentArgumentsUntilOneOpens)
{
    const char* arguments[] = {"-phone", "a.qpk", "b.mid", "c.prj"};
    cDocumentRecorder firstFails(4, arguments, "b.mid");
    firstFails.OpenCommandLineDocuments();
    EXPECT_EQ(firstFails.offered, (std::vector<std::string>{"a.qpk", "b.mid"}));

    cDocumentRecorder noneOpens(4, arguments, "");
    noneOpens.OpenCommandLineDocuments();
    EXPECT_EQ(noneOpens.offered, (std::vector<std::string>{"a.qpk", "b.mid", "c.prj"}));
    ResetDisplayMetrics();
}
} // namespace
