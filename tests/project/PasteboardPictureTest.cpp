#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "BrowserFixture.h"
#include "platform/DeviceServices.h"
#include "platform/WebViewService.h"
#include "project/Pasteboard.h"
#include "project/ui/WidgetCloudShare.h"
#include "project/ui/WidgetPasteboard.h"
#include "project/ui/WidgetWebViewPopup.h"
#include "ui/DialogueKit.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetList.h"

namespace ProjectTest
{
namespace
{
// The pasteboard page's two tabs and its failure alert, the share page and
// the web-view popup, drawn through the real renderer at 1024 x 768.
class PasteboardPictures : public OffscreenScreenFixture
{
protected:
    void SetUp() override
    {
        StartScreen(1024, 768);
        SetupUIMetrics();
        manager->SetScreenRect({0.0f, 0.0f, 1024.0f, 768.0f});
        cWidgetDialogueDropDown::SetHost(&dropDowns);
    }
    void TearDown() override
    {
        cWidgetDialogueDropDown::SetHost(nullptr);
        OffscreenScreenFixture::TearDown();
    }
    void Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("pasteboard picture saved as %s\n", saved.c_str());
    }

    cRecordingDropDownHost dropDowns;
};

TEST_F(PasteboardPictures, ThePagesAndThePopup)
{
    cPasteboard pasteboard;
    cNetworkStatus network;
    cWebViewService service;
    {
        cRecordingBrowserHost host;
        auto* page = new cWidgetPasteboard(&host);
        page->SetTargetFolder("User/Samples");
        page->Show(cDelegate());
        Frames(40);
        EXPECT_EQ(page->GetList()->CountRows(), 14);
        const cRect& rect = page->GetRect();
        for (int32_t id = 0; id < cWidgetPasteboard::kButtonCount; ++id)
        {
            const cRect& r = page->GetButton(id)->GetRect();
            EXPECT_TRUE(r.xMin >= rect.xMin && r.xMax <= rect.xMax && r.yMin >= rect.yMin && r.yMax <= rect.yMax)
                << page->GetButton(id)->GetName() << " inside the page";
        }
        Save("pasteboard-files");
        page->OnButton(cWidgetPasteboard::kButtonApps);
        Frames(5);
        Save("pasteboard-apps");
        page->OnButton(cWidgetPasteboard::kButtonFiles);
        for (cWidgetPasteboard::cRow* row = const_cast<cWidgetPasteboard::cRow*>(page->GetFileRows().GetHead()); row;
             row = row->next)
            row->flags |= cWidgetList::kItemSelected;
        page->OnButton(cWidgetPasteboard::kButtonPaste);
        Frames(30);
        host.alert->GetButton(kAlertOK)->clickDelegate.Invoke(0, host.alert->GetButton(kAlertOK));
        Frames(40);
        EXPECT_STREQ(host.alert->GetName(), "Paste Failed");
        Save("pasteboard-paste-failed");
        host.alert->Hide();
        page->OnDismiss(1);
        Frames(5);
        page->Release();

        auto* share = new cWidgetCloudShare(&host);
        share->Show(0.0f);
        Frames(60);
        Save("share-page");
        share->Close();
        Frames(5);
        share->Release();
    }
    auto* popup = new cWidgetWebViewPopup();
    popup->Show();
    Frames(40);
    Save("web-view-popup");
    popup->Close();
    Frames(2);
    popup->Release();
}
} // namespace
} // namespace ProjectTest
