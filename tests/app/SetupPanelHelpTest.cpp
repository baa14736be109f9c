#include "SetupFixture.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "BuildPaths.h"
#include "ScopedEnv.h"
#include "app/SetupPanelHelp.h"
#include "base/RootPaths.h"
#include "platform/PlatformServices.h"

namespace
{
using namespace std::chrono_literals;

class SetupPanelHelpTest : public SetupFixture
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(mFolder);
        page = Place(new cSetupPanelHelp(), {0.0f, 0.0f, kScreenWidth, kScreenHeight});
        Frame();
    }
    void TearDown() override { std::filesystem::remove_all(mFolder); }

    // A browser opener first on the path that notes each address it is given.
    std::string InstallRecordingOpener()
    {
        const std::string opener = mFolder + "/xdg-open";
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << Record() << "'\n";
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        return mFolder;
    }
    std::string Record() const { return mFolder + "/opened.txt"; }
    std::vector<std::string> Opened(size_t expected) const
    {
        std::vector<std::string> lines;
        for (int attempt = 0; attempt < 200 && lines.size() < expected; ++attempt)
        {
            std::this_thread::sleep_for(10ms);
            lines.clear();
            std::ifstream in(Record());
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
        }
        return lines;
    }

    cSetupPanelHelp* page = nullptr;
    const std::string mFolder = TestScratchFolder() + "/help-" + std::to_string(getpid());
};

TEST_F(SetupPanelHelpTest, EachPressOpensTheManualInTheBrowser)
{
    cScopedEnv path("PATH", (InstallRecordingOpener() + ":/usr/bin:/bin").c_str());
    EXPECT_EQ(host.title, "Quilwright Help");
    EXPECT_STREQ(page->GetExternalButton()->GetName(), "Show help in external browser");
    const cRect& button = page->GetExternalButton()->GetRect();
    EXPECT_FLOAT_EQ(button.yMin, 50.0f) << "50 pixels below the page's top";
    EXPECT_NEAR((button.xMin + button.xMax) * 0.5f, kScreenWidth * 0.5f, 1.0f);

    TapButton(page->GetExternalButton());
    TapButton(page->GetExternalButton());
    const std::string manual = std::string(GetResourceFolderPath()) + "/Manual/QuilWeb00-Home.html";
    const std::vector<std::string> opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], "file://" + manual);
    EXPECT_EQ(opened[1], opened[0]);
    EXPECT_TRUE(std::filesystem::exists(manual)) << "the generator writes the manual";
    EXPECT_TRUE(host.messages.empty());
}

// The failure is kept, with the manual's address, for the application to
// tell on its alert.
TEST_F(SetupPanelHelpTest, WithoutABrowserOpenerTheFailureIsKeptWithTheAddress)
{
    for (sFailedOpen earlier; TakeFailedOpen(earlier);)
        ;
    cScopedEnv path("PATH", mFolder.c_str());
    TapButton(page->GetExternalButton());
    sFailedOpen failed;
    ASSERT_TRUE(TakeFailedOpen(failed));
    EXPECT_EQ(failed.address, "file://" + std::string(GetResourceFolderPath()) + "/Manual/QuilWeb00-Home.html");
    EXPECT_EQ(failed.reason, "xdg-open is not installed");
    EXPECT_FALSE(TakeFailedOpen(failed)) << "one press, one failure";
}
} // namespace
