#include "platform/PlatformServices.h"

#include "platform/PlaybackStateService.h"
#include "platform/WebViewService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BuildPaths.h"
#include "ScopedEnv.h"

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

// The opener is started from the path, not waited for. One that is missing
// or cannot start, or that fails at once, is kept with the address and why;
// one that opens is not. Each case's failure is waited for, and nothing else
// may arrive meanwhile.
TEST(PlatformServices, OpenersThatFailAreKeptWithTheAddressAndWhy)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(TestScratchFolder()) / ("opener-" + std::to_string(getpid()));
    const auto opener = [&](const char* name, const char* script, fs::perms permissions) {
        fs::create_directories(folder / name);
        std::ofstream(folder / name / "xdg-open") << "#!/bin/sh\n" << script << "\n";
        fs::permissions(folder / name / "xdg-open", permissions);
        return (folder / name).string();
    };
    const fs::perms runnable = fs::perms::owner_all;
    const struct
    {
        std::string path;
        bool started;
        const char* reason; // null: opened
    } cases[] = {
        {opener("opens", "exit 0", runnable), true, nullptr},
        {opener("fails", "exit 4", runnable), true, "xdg-open failed with status 4"},
        {opener("killed", "kill -9 $$", runnable), true, "xdg-open was stopped by signal 9"},
        {opener("unrunnable", "exit 0", fs::perms::owner_read), false,
         "xdg-open could not be started (Permission denied)"},
        {(folder / "none").string(), false, "xdg-open is not installed"},
    };
    for (sFailedOpen earlier; TakeFailedOpen(earlier);)
        ;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        cScopedEnv path("PATH", c.path.c_str());
        const std::string address = "/home/user/Documents/" + c.path.substr(c.path.rfind('/') + 1);
        EXPECT_EQ(OpenURLInBrowser(address.c_str()), c.started);
        if (!c.reason)
            continue;
        std::vector<sFailedOpen> failed;
        for (int attempt = 0; attempt < 1000 && failed.empty(); ++attempt)
        {
            if (sFailedOpen next; TakeFailedOpen(next))
                failed.push_back(next);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(failed.size(), 1u) << "no failure within 10 s";
        EXPECT_EQ(failed[0].address, address);
        EXPECT_EQ(failed[0].reason, c.reason);
    }
    fs::remove_all(folder);
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
