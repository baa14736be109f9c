#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "ScopedEnv.h"
#include "SdlEvents.h"
#include "app/FailedOpenAlert.h"
#include "app/MainUI.h"
#include "base/GenString.h"
#include "platform/PlatformServices.h"
#include "render/FontHandle.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"

// A manual or folder the desktop's opener could not open is told on the
// alert, with the address to open by hand, in the running program.
namespace
{
cWidgetAlert* Alert() { return cMainUI::GetInstance()->GetAlert(); }

struct cShownAlert
{
    std::string title, first, second;
    bool operator==(const cShownAlert&) const = default;
};

std::ostream& operator<<(std::ostream& out, const cShownAlert& a)
{
    return out << "'" << a.title << "' / '" << a.first << "' / '" << a.second << "'";
}

// Each alert the program showed, in order, each pressed OK after a while.
std::vector<cShownAlert> RunOpening(const std::function<void()>& open, bool alertFirst = false)
{
    for (sFailedOpen earlier; TakeFailedOpen(earlier);)
        ;
    EmptyInProcessDocumentsOfAReturningUser();
    std::vector<cShownAlert> shown;
    int alertFrames = 0;
    auto* application = new cScriptedApplication(kStartupCoverFrames + 120, [&](cScriptedApplication&, int frame) {
        cWidgetAlert* alert = Alert();
        if (frame == kStartupCoverFrames)
        {
            if (alertFirst)
            {
                alert->Reset(0);
                alert->SetName("Exported Project 'Song.qpk'");
                alert->SetButton(kAlertOK, "OK");
                alert->Show(cDelegate());
            }
            open();
        }
        if (!alert->IsShown())
            return;
        const cShownAlert now{alert->GetName(), alert->firstLine.CStr(), alert->secondLine.CStr()};
        if (shown.empty() || !(shown.back() == now))
        {
            shown.push_back(now);
            alertFrames = 0;
        }
        if (++alertFrames == 20)
            ClickWidget(alert->GetButton(kAlertOK));
    });
    EXPECT_EQ(RunInProcess(application), kExitNormal);
    return shown;
}

std::string ManualAddress()
{
    cGenStringFixed<1024> address;
    GetManualPageURL(address);
    return address.CStr();
}
} // namespace

TEST(FailedOpenAlertTest, AMissingOrFailingOpenerIsToldWithTheAddress)
{
    const std::string folder = InProcessDataHome() + "/bin";
    std::filesystem::create_directories(folder);
    const std::string failing = InProcessDataHome() + "/failing";
    std::filesystem::create_directories(failing);
    std::ofstream(failing + "/xdg-open") << "#!/bin/sh\nexit 3\n";
    std::filesystem::permissions(failing + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string documents = InProcessDocuments() + "/User";
    const struct
    {
        const char* what;
        std::string path, address;
        cShownAlert alert;
    } cases[] = {
        {"no opener, a folder", folder, documents,
         {"Couldn't Open the Folder", "xdg-open is not installed; open it by hand:", documents}},
        {"a failing opener, a folder", failing, documents,
         {"Couldn't Open the Folder", "xdg-open failed with status 3; open it by hand:", documents}},
        {"no opener, the manual", folder, ManualAddress(), {"Couldn't Open the Manual", "", ""}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        cScopedEnv path("PATH", c.path.c_str());
        const std::vector<cShownAlert> shown = RunOpening([&] { OpenURLInBrowser(c.address.c_str()); });
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, c.alert.title);
        if (!c.alert.first.empty())
        {
            EXPECT_EQ(shown[0], c.alert);
        }
        // The address is there whole, on one line or over both.
        const std::string lines = shown[0].first + shown[0].second;
        EXPECT_NE(lines.find(c.address), std::string::npos) << shown[0];
    }
}

// An alert the user has not answered is never replaced: the failure waits.
TEST(FailedOpenAlertTest, AFailureWaitsForTheAlertOnScreen)
{
    cScopedEnv path("PATH", (InProcessDataHome() + "/none").c_str());
    const std::vector<cShownAlert> shown = RunOpening([] { OpenURLInBrowser("/home/user/Mixdowns"); }, true);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].title, "Exported Project 'Song.qpk'");
    EXPECT_EQ(shown[1].title, "Couldn't Open the Folder");
    EXPECT_EQ(shown[1].second, "/home/user/Mixdowns");
}

// The lines at narrow widths, in the alert's font: the address stays whole
// as long as two lines hold it, broken after a "/".
TEST(FailedOpenAlertTest, AnAddressTooWideForALineGoesOverBoth)
{
    const std::string reason = "xdg-open is not installed; open it by hand:";
    const std::string address = "/home/user/.local/share/Quilwright/Documents/User/Mixdowns";
    const std::string head = "/home/user/.local/share/Quilwright/";
    bool checked = false;
    auto* application = new cScriptedApplication(1, [&](cScriptedApplication&, int) {
        const cFontHandle& font = Alert()->textFont;
        ASSERT_TRUE(font.IsValid());
        const auto width = [&](const std::string& text) { return font.GetTextWidth(text.c_str()); };
        const std::string shortAddress = "/home/user/Mixdowns";
        ASSERT_LT(width(shortAddress), width(reason));
        const struct
        {
            const char* what;
            std::string address;
            float width;
            std::string first, second;
        } cases[] = {
            {"both fit", address, std::max(width(reason), width(address)), reason, address},
            {"the reason does not fit", shortAddress, width(shortAddress), shortAddress, ""},
            {"the address needs two lines", address, width(head) + 1.0f, head, address.substr(head.size())},
        };
        for (const auto& c : cases)
        {
            cGenStringFixed<260> first, second;
            DescribeFailedOpen({c.address, "xdg-open is not installed"}, font, c.width, first, second);
            EXPECT_EQ(first.CStr(), c.first) << c.what;
            EXPECT_EQ(second.CStr(), c.second) << c.what;
        }
        checked = true;
    });
    EXPECT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_TRUE(checked);
}
