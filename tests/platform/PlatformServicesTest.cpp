#include "platform/PlatformServices.h"

#include "platform/PlaybackStateService.h"
#include "platform/WebViewService.h"

#include <gtest/gtest.h>

#include <string>

TEST(PlatformServices, TraceWritesAtMost4095Characters)
{
    const std::string longText(5000, 'x');
    testing::internal::CaptureStdout();
    DebugTrace("%s", longText.c_str());
    DebugTrace(nullptr);
    DebugTrace("[%d]", 7);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, std::string(4095, 'x') + "[7]");
}

TEST(PlatformServices, AddressesThatCannotBeOpenedSafelyAreRefused)
{
    EXPECT_FALSE(OpenURLInBrowser(nullptr));
    EXPECT_FALSE(OpenURLInBrowser(""));
    EXPECT_FALSE(OpenURLInBrowser("--help")) << "would be read as an option";
}

TEST(PlatformServices, ServicesRegisterThemselvesWhileTheyLive)
{
    {
        cPlaybackStateService playback;
        cWebViewService webView;
        EXPECT_EQ(gPlaybackStateService, &playback);
        EXPECT_EQ(gWebViewService, &webView);
        playback.SetState(2, 3);
        playback.SetState(3, 9); // no such slot
        EXPECT_EQ(playback.GetState(2), 3);
        EXPECT_EQ(playback.GetState(0), 0);
        EXPECT_STREQ(webView.GetText(), "");
    }
    EXPECT_EQ(gPlaybackStateService, nullptr);
    EXPECT_EQ(gWebViewService, nullptr);
}
