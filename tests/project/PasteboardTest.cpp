#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BrowserFixture.h"
#include "platform/DeviceServices.h"
#include "platform/WebViewService.h"
#include "project/FileList.h"
#include "project/Pasteboard.h"
#include "project/ui/WidgetCloudShare.h"
#include "project/ui/WidgetPasteboard.h"
#include "project/ui/WidgetWebViewPopup.h"
#include "render/DrawList.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetList.h"
#include "ui/WidgetSpinButton.h"

namespace ProjectTest
{
namespace
{
// The browser host with the pasteboard's dialogues, as the main UI gives them.
class cPasteboardHost : public cRecordingBrowserHost
{
public:
    cWidgetFileBrowser* GetFileBrowser() override { return browser; }
    cWidgetPasteboard* GetPasteboardPage() override { return page; }
    cWidgetWebViewPopup* GetWebViewPopup() override { return popup; }

    cWidgetFileBrowser* browser = nullptr;
    cWidgetPasteboard* page = nullptr;
    cWidgetWebViewPopup* popup = nullptr;
};

// A WAV file of the given rate and depth, mono, a few frames long.
void WriteWavOf(const std::string& path, uint32_t rate, uint16_t bits)
{
    auto le16 = [](uint32_t v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; };
    auto le32 = [&](uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); };
    const uint16_t align = uint16_t(bits / 8);
    const std::string data(size_t(align) * 16, '\0');
    const std::string format = le16(1) + le16(1) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
    const std::string chunks = "fmt " + le32(16) + format + "data" + le32(uint32_t(data.size())) + data;
    WriteText(path, "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks);
}

TEST(PasteboardModelTest, HoldsItsFourteenPlaceholderClipsAndAnswersAtOnce)
{
    cPasteboard pasteboard;
    EXPECT_EQ(cPasteboard::GetInstance(), &pasteboard);
    pasteboard.Refresh();
    pasteboard.Refresh();
    ASSERT_EQ(pasteboard.GetEntryCount(), 14);
    for (int32_t i = 0; i < 14; ++i)
    {
        const cPasteboard::cEntry* entry = pasteboard.GetEntry(i);
        EXPECT_EQ(std::string(entry->sender.CStr()), "Sender name " + std::to_string(i + 1));
        EXPECT_EQ(std::string(entry->fileName.CStr()), "SomeWav" + std::to_string(i + 1) + ".wav");
        EXPECT_STREQ(entry->displayName.CStr(), entry->fileName.CStr());
        EXPECT_STREQ(entry->description.CStr(), "00:00, Stereo, 176BPM");
        EXPECT_EQ(entry->kind, 2);
    }
    EXPECT_EQ(pasteboard.GetEntry(14), nullptr);

    struct cCalls
    {
        intptr_t OnCopy(const cPasteboard::cCopyResult* result)
        {
            copies.push_back({result->filesAdded, result->firstPath, result->cancelled});
            return 0;
        }
        intptr_t OnPaste(const cPasteboard::cPasteResult* result)
        {
            pastes.push_back({result->requested, result->pasted, result->truncated});
            return 0;
        }
        struct cCopy
        {
            int32_t added;
            std::string path;
            bool cancelled;
        };
        std::vector<cCopy> copies;
        std::vector<std::vector<int32_t>> pastes;
    } calls;

    cFileList empty;
    EXPECT_FALSE(pasteboard.AddFile(empty, cDelegate(&calls, &cCalls::OnCopy)));
    EXPECT_TRUE(calls.copies.empty());
    cFileList one;
    one.Add("/somewhere/kick.wav");
    EXPECT_TRUE(pasteboard.AddFile(one, cDelegate(&calls, &cCalls::OnCopy)));
    ASSERT_EQ(calls.copies.size(), 1u);
    EXPECT_EQ(calls.copies[0].added, 0);
    EXPECT_EQ(calls.copies[0].path, "/somewhere/kick.wav");
    EXPECT_FALSE(calls.copies[0].cancelled);

    cPasteboard::cPasteRequest request;
    for (int32_t i = 0; i < 3; ++i)
        request.Add(pasteboard.GetEntry(i));
    request.Add(nullptr);
    pasteboard.Paste(request, "User/Samples", cDelegate(&calls, &cCalls::OnPaste));
    EXPECT_EQ(calls.pastes, (std::vector<std::vector<int32_t>>{{3, 0, 0}}));
    cPasteboard::cPasteRequest full;
    for (int32_t i = 0; i < 15; ++i)
        full.Add(pasteboard.GetEntry(i % 14));
    EXPECT_EQ(full.GetCount(), 14);
}

class PasteboardPageTest : public BrowserFixture
{
protected:
    PasteboardPageTest()
    {
        page = new cWidgetPasteboard(&pages);
        pages.page = page;
        pagesBrowser = new cWidgetFileBrowser(&pages);
        pages.browser = pagesBrowser;
    }
    ~PasteboardPageTest() override
    {
        if (pages.alert->IsShown())
            pages.alert->Hide();
        if (page->IsShown())
            page->OnDismiss(1);
        pagesBrowser->Close();
        pagesBrowser->Release();
        page->Release();
    }

    void AnswerAlertOf(int32_t button)
    {
        ASSERT_TRUE(pages.alert->IsShown());
        Frame(30);
        const cRect& rect = pages.alert->GetButton(button)->GetRect();
        Tap(1, (rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
        Frame(30);
    }

public:
    intptr_t OnPageDone(int32_t result, const char* name)
    {
        done.push_back(std::to_string(result) + ":" + name);
        return 0;
    }

protected:
    void Open(const char* folder)
    {
        page->SetTargetFolder(folder);
        page->Show(cDelegate(this, &PasteboardPageTest::OnPageDone));
        Frame(30);
    }

    void SelectRows(std::vector<int32_t> rows)
    {
        int32_t index = 0;
        for (const cWidgetPasteboard::cRow* row = page->GetFileRows().GetHead(); row; row = row->next, ++index)
            for (int32_t wanted : rows)
                if (wanted == index)
                    const_cast<cWidgetPasteboard::cRow*>(row)->flags |= cWidgetList::kItemSelected;
    }

    std::string Lines() const
    {
        return std::string(pages.alert->firstLine.CStr()) + " / " + pages.alert->secondLine.CStr();
    }

    cPasteboard pasteboard;
    cPasteboardHost pages;
    cWidgetPasteboard* page = nullptr;
    cWidgetFileBrowser* pagesBrowser = nullptr;
    std::vector<std::string> done;
};

TEST_F(PasteboardPageTest, ListsTheClipsAndAsksBeforeAPasteThatPastesNothing)
{
    Open("User/Samples");
    EXPECT_TRUE(page->IsShown());
    EXPECT_STREQ(page->GetName(), "Pasteboard (14 items)");
    EXPECT_EQ(page->GetList()->CountRows(), 14);
    EXPECT_TRUE(page->GetButton(cWidgetPasteboard::kButtonPaste)->IsEnabled());
    EXPECT_FALSE(page->GetButton(cWidgetPasteboard::kButtonClear)->IsVisible());

    page->OnButton(cWidgetPasteboard::kButtonPaste);
    EXPECT_FALSE(pages.alert->IsShown());

    SelectRows({2});
    page->OnButton(cWidgetPasteboard::kButtonPaste);
    ASSERT_TRUE(pages.alert->IsShown());
    EXPECT_STREQ(pages.alert->GetName(), "Confirm Paste");
    EXPECT_EQ(Lines(), "Do you want to paste 'SomeWav3.wav' to / the 'Samples' folder?");
    pages.alert->Hide();
    Frame(30);

    SelectRows({0, 5});
    page->OnButton(cWidgetPasteboard::kButtonPaste);
    EXPECT_EQ(Lines(), "Do you want to paste 3 files to / the 'Samples' folder?");
    AnswerAlertOf(kAlertOK);
    ASSERT_TRUE(pages.alert->IsShown());
    EXPECT_STREQ(pages.alert->GetName(), "Paste Failed");
    EXPECT_EQ(Lines(), "No files were pasted. / ");
    EXPECT_TRUE(page->IsShown());
    EXPECT_TRUE(done.empty());
}

TEST_F(PasteboardPageTest, AReadOnlyTargetRefusesThePaste)
{
    pages.protections["User/VRX Banks/Default Kit"] = 4;
    Open("User/VRX Banks/Default Kit");
    SelectRows({0});
    page->OnButton(cWidgetPasteboard::kButtonPaste);
    ASSERT_TRUE(pages.alert->IsShown());
    EXPECT_STREQ(pages.alert->GetName(), "Paste Files");
    EXPECT_EQ(Lines(), "Cannot paste to 'User/VRX Banks/Default Kit'. / This folder is read only.");
}

TEST_F(PasteboardPageTest, TheAppsTabIsEmptyAndTheFilesTabStaysPut)
{
    Open("User/Samples");
    page->OnButton(cWidgetPasteboard::kButtonFiles);
    EXPECT_EQ(page->GetTab(), cWidgetPasteboard::kTabFiles);
    EXPECT_EQ(page->GetFileRows().GetCount(), 14);
    page->OnButton(cWidgetPasteboard::kButtonApps);
    Frame();
    EXPECT_STREQ(page->GetName(), "Compatible Apps");
    EXPECT_EQ(page->GetList()->CountRows(), 0);
    cWidgetButton* paste = page->GetButton(cWidgetPasteboard::kButtonPaste);
    EXPECT_FALSE(paste->IsEnabled());
    EXPECT_STREQ(paste->GetName(), "Launch");
    EXPECT_FALSE(page->GetButton(cWidgetPasteboard::kButtonAudition)->IsEnabled());
    page->OnButton(cWidgetPasteboard::kButtonFiles);
    EXPECT_STREQ(page->GetName(), "Pasteboard (14 items)");
    EXPECT_STREQ(paste->GetName(), "Paste");
}

TEST_F(PasteboardPageTest, DismissingReportsNothingPastedAndLeaves)
{
    Open("User/Samples");
    page->OnDismiss(1);
    Frame(30);
    EXPECT_FALSE(page->IsShown());
    EXPECT_EQ(done, (std::vector<std::string>{"0:"}));
}

// The page pops no clip rectangle it did not push, however often it is drawn.
TEST_F(PasteboardPageTest, DrawingLeavesTheClipStackAsItFoundIt)
{
    Open("User/Samples");
    cDrawList& list = *manager->GetDrawList();
    list.Begin();
    list.PushClipRect({0.0f, 0.0f, 500.0f, 500.0f});
    const int before = renderer.clipStack.Count();
    page->Show(cDelegate(this, &PasteboardPageTest::OnPageDone));
    page->Draw(list);
    page->Draw(list);
    EXPECT_EQ(renderer.clipStack.Count(), before);
    list.PopClipRect();
    list.End();
}

// The browser's two pasteboard actions, which no button carries.
TEST_F(PasteboardPageTest, TheBrowserOffersOnlyCdQualitySamplesAndOpensThePageOnItsFolder)
{
    WriteWavOf(Native("User/Samples/hi.wav"), 48000, 16);
    WriteWavOf(Native("User/Samples/deep.wav"), 44100, 24);
    WriteWavOf(Native("User/Samples/x.wav"), 44100, 16);
    pagesBrowser->Reset();
    pagesBrowser->SetName("Load Sample");
    pagesBrowser->rootFolder = "User";
    pagesBrowser->path = "User/Samples";
    pagesBrowser->AddFileType("wav", nullptr);
    pagesBrowser->Show(0x19, cDelegate());
    Frame(30);
    for (const char* refused : {"hi.wav", "deep.wav"})
    {
        ASSERT_TRUE(pagesBrowser->SelectByName(refused));
        pagesBrowser->OnButton(cWidgetFileBrowser::kButtonCopyToPasteboard, nullptr);
        ASSERT_TRUE(pages.alert->IsShown()) << refused;
        EXPECT_STREQ(pages.alert->GetName(), "Copy to Pasteboard");
        EXPECT_EQ(Lines(), "The pasteboard only supports 44.1kHz 16 bit samples / ");
        pages.alert->Hide();
        Frame(30);
    }
    ASSERT_TRUE(pagesBrowser->SelectByName("x.wav"));
    pagesBrowser->OnButton(cWidgetFileBrowser::kButtonCopyToPasteboard, nullptr);
    ASSERT_TRUE(pages.alert->IsShown());
    EXPECT_STREQ(pages.alert->GetName(), "Copy Failed");
    EXPECT_EQ(Lines(), "Couldn't copy 'x.wav' to the pasteboard / ");
    pages.alert->Hide();
    Frame(30);

    pagesBrowser->OnButton(cWidgetFileBrowser::kButtonPasteFromPasteboard, nullptr);
    Frame(30);
    EXPECT_TRUE(page->IsShown());
    EXPECT_STREQ(page->GetTargetFolder(), "User/Samples");
}

class SharePageTest : public BrowserFixture
{
protected:
    SharePageTest()
    {
        network = new cNetworkStatus();
        share = new cWidgetCloudShare(&pages);
        pages.browser = browser;
        popup = new cWidgetWebViewPopup();
        pages.popup = popup;
        SetStatusBarHost(&pages);
    }
    ~SharePageTest() override
    {
        share->Close();
        popup->Close();
        if (pages.alert->IsShown())
            pages.alert->Hide();
        share->Release();
        popup->Release();
        delete network;
        SetStatusBarHost(nullptr);
    }
    std::string Lines() const
    {
        return std::string(pages.alert->firstLine.CStr()) + " / " + pages.alert->secondLine.CStr();
    }

    cPasteboardHost pages;
    cNetworkStatus* network = nullptr;
    cWidgetCloudShare* share = nullptr;
    cWidgetWebViewPopup* popup = nullptr;
};

TEST_F(SharePageTest, ShowsWhatIsAvailableAndFollowsTheNetworkEachFrame)
{
    share->Show(0.0f);
    Frame(2);
    EXPECT_TRUE(share->IsOpen());
    EXPECT_EQ(pages.title, "Share with Quilcloud");
    EXPECT_STREQ(share->GetAccountLabel()->GetText(), cWidgetCloudShare::kNotAvailable);
    EXPECT_TRUE(share->GetButton(cWidgetCloudShare::kButtonConnect)->IsEnabled());
    for (int32_t hidden : {cWidgetCloudShare::kButtonFile, cWidgetCloudShare::kButtonTrackName,
                           cWidgetCloudShare::kButtonShare})
        EXPECT_FALSE(share->GetButton(hidden)->IsVisible());
    EXPECT_FALSE(share->GetPublishAs()->IsVisible());
    EXPECT_FALSE(share->GetLicence()->IsVisible());
    EXPECT_FALSE(share->GetRetryFlag());

    network->SetInternetReachable(false);
    Frame();
    EXPECT_STREQ(share->GetAccountLabel()->GetText(), "No internet connection");
    EXPECT_FALSE(share->GetButton(cWidgetCloudShare::kButtonConnect)->IsEnabled());
    network->SetInternetReachable(true);
    Frame();
    EXPECT_STREQ(share->GetAccountLabel()->GetText(), cWidgetCloudShare::kNotAvailable);

    // The status bar's back action closes it, and a second show is the same.
    dropDowns.current.handler.Invoke();
    Frame(30);
    EXPECT_FALSE(share->IsOpen());
    share->Show(0.0f);
    Frame(2);
    EXPECT_TRUE(share->IsOpen());
    EXPECT_STREQ(share->GetAccountLabel()->GetText(), cWidgetCloudShare::kNotAvailable);
}

TEST_F(SharePageTest, TheChosenFileNamesTheTrack)
{
    Touch("User/Mixdowns/Take.ogg");
    struct cCase
    {
        const char* path;
        const char* fileLabel;
        const char* trackName;
        bool chosen;
    };
    for (const cCase& c : {cCase{"User/Mixdowns/Take.ogg", "Mixdowns/Take.ogg", "Take", true},
                           cCase{"User/Mixdowns/Gone.wav", "Choose a file.", "", false},
                           cCase{"", "Please choose the file you wish to upload.", "", false}})
    {
        share->SetUploadFile(c.path);
        EXPECT_STREQ(share->GetFileLabel()->GetText(), c.fileLabel) << c.path;
        EXPECT_STREQ(share->GetTrackNameLabel()->GetText(), c.trackName) << c.path;
        EXPECT_EQ(share->IsFileChosen(), c.chosen) << c.path;
    }
    Touch("abc");
    share->SetUploadFile("abc");
    EXPECT_STREQ(share->GetFileLabel()->GetText(), "abc");

    share->SetUploadFile("User/Mixdowns/Take.ogg");
    share->OnTrackNameEntered(cFileBrowserHost::kPromptEntered, "Sunday");
    EXPECT_STREQ(share->GetTrackNameLabel()->GetText(), "Sunday");
    share->OnTrackNameEntered(cFileBrowserHost::kPromptCancelled, "");
    EXPECT_STREQ(share->GetTrackNameLabel()->GetText(), "Sunday");
    share->OnTrackNameEntered(cFileBrowserHost::kPromptEntered, "");
    EXPECT_STREQ(share->GetTrackNameLabel()->GetText(), "Take");

    // The file vanishes before the next show.
    std::filesystem::remove(Native("User/Mixdowns/Take.ogg"));
    share->Show(0.0f);
    EXPECT_STREQ(share->GetFileLabel()->GetText(), "Choose a file.");
    EXPECT_STREQ(share->GetFilePath(), "");
}

TEST_F(SharePageTest, PublishingAndLicenceTexts)
{
    EXPECT_STREQ(share->GetPublishAs()->GetText(), "Public");
    EXPECT_STREQ(share->GetLicence()->GetText(), "All Rights Reserved");
    share->GetPublishAs()->valueDelegate.Invoke(0, share->GetPublishAs());
    EXPECT_STREQ(share->GetPublishAs()->GetText(), "Private");
    share->GetLicence()->valueDelegate.Invoke(7, share->GetLicence());
    EXPECT_STREQ(share->GetLicence()->GetText(), "CC-NC Share Alike");
    EXPECT_STREQ(cWidgetCloudShare::GetLicenceIdentifier(3), "cc-by-nc");
    EXPECT_STREQ(cWidgetCloudShare::GetLicenceText(12), "CC-NC Share Alike");
}

TEST_F(SharePageTest, TheSignInAndErrorTexts)
{
    struct cCase
    {
        const char* address;
        const char* status;
    };
    for (const cCase& c : {cCase{"https://x.invalid/done?CODE=abc", cWidgetCloudShare::kNotAvailable},
                           cCase{"https://x.invalid/done?state=1", cWidgetCloudShare::kAuthorizationFailed}})
    {
        share->OnAuthorizationReturned(c.address);
        EXPECT_STREQ(share->GetStatusText(), c.status) << c.address;
        EXPECT_EQ(share->GetState(), cWidgetCloudShare::kStateIdle);
    }
    network->SetInternetReachable(false);
    share->Show(0.0f);
    EXPECT_TRUE(share->GetRetryFlag());
    EXPECT_STREQ(share->GetStatusText(), cWidgetCloudShare::kTapConnect);
    share->OnServiceError(1, 401);
    EXPECT_STREQ(share->GetStatusText(), cWidgetCloudShare::kAuthorizationFailed);
    network->SetInternetReachable(true);
    share->Close();
    share->Show(0.0f);
    EXPECT_FALSE(share->GetRetryFlag());
    share->OnServiceError(1, 401);
    EXPECT_STREQ(share->GetStatusText(), cWidgetCloudShare::kTapConnect);
    EXPECT_TRUE(share->GetRetryFlag());

    share->SetAccountInfo("sam", 0);
    EXPECT_STREQ(share->GetAccountText(), "sam (no tracks)");
    share->SetAccountInfo("sam", 5);
    EXPECT_STREQ(share->GetAccountText(), "sam (5 tracks)");

    share->StartConnect();
    EXPECT_EQ(share->GetState(), cWidgetCloudShare::kStateConnecting);
    EXPECT_TRUE(popup->IsShown());
    EXPECT_STREQ(popup->GetName(), "Connect with Quilcloud");
    popup->OnDismiss(1);
    EXPECT_FALSE(popup->IsShown());
    EXPECT_EQ(share->GetState(), cWidgetCloudShare::kStateIdle);
    EXPECT_STREQ(share->GetStatusText(), cWidgetCloudShare::kTapConnect);
}

TEST_F(SharePageTest, EveryResultDialogue)
{
    Touch("User/Mixdowns/Take.ogg");
    share->SetUploadFile("User/Mixdowns/Take.ogg");
    using Job = cWidgetCloudShare::cJobWaitForCloudShare;
    struct cCase
    {
        int32_t state;
        int32_t publishAs;
        int32_t result;
        const char* title;
        const char* lines;
        int32_t stateAfter;
    };
    const cCase cases[] = {
        {3, 1, Job::kResultFailed, "Upload Failed", "Failed to upload 'Take'. / ", 0},
        {3, 1, Job::kResultCancelled, "Upload Cancelled", "Upload of 'Take' was cancelled. / ", 0},
        {3, 1, Job::kResultSucceeded, "Upload Successful", "Do you want to submit 'Take' / to the Quilwright group?", 4},
        {3, 0, Job::kResultSucceeded, "Upload Successful",
         "'Take' was successfully uploaded. / (Private, All Rights Reserved).", 5},
        {4, 1, Job::kResultFailed, "Add to Group Failed", "Couldn't add 'Take' to the Quilwright group. / ", 0},
        {4, 1, Job::kResultCancelled, "Add to Group Cancelled",
         "'Take' may not have been / added to the Quilwright group.", 0},
        {4, 1, Job::kResultSucceeded, "Add to Group Successful",
         "'Take' added to the Quilwright group. / (Public, All Rights Reserved).", 5},
    };
    for (const cCase& c : cases)
    {
        share->GetPublishAs()->valueDelegate.Invoke(c.publishAs, share->GetPublishAs());
        share->SetState(c.state);
        auto* job = new Job(pages.progress);
        job->result = c.result;
        share->OnShareJobDone(job, pages.progress);
        ASSERT_TRUE(pages.alert->IsShown()) << c.title;
        EXPECT_STREQ(pages.alert->GetName(), c.title);
        EXPECT_EQ(Lines(), c.lines) << c.title;
        EXPECT_EQ(share->GetState(), c.stateAfter) << c.title;
        pages.alert->Hide();
    }
    share->SetState(2);
    auto* job = new Job(pages.progress);
    share->OnShareJobDone(job, pages.progress);
    EXPECT_FALSE(pages.alert->IsShown());
    EXPECT_EQ(share->GetState(), cWidgetCloudShare::kStateIdle);
}

// Only a cancel, by the job's own flag or the overlay's button, ends the wait.
TEST(CloudShareWaitTest, EndsOnlyWhenCancelled)
{
    cWidgetCloudShare::cJobWaitForCloudShare job(nullptr);
    std::thread runner([&] { job.Run(nullptr); });
    usleep(250000);
    EXPECT_EQ(job.result.load(), cWidgetCloudShare::cJobWaitForCloudShare::kResultNone);
    job.mCancel = true;
    runner.join();
    EXPECT_EQ(job.result.load(), cWidgetCloudShare::cJobWaitForCloudShare::kResultCancelled);
}

class WebViewPopupTest : public BrowserFixture
{
protected:
    WebViewPopupTest() : bin(DataHome() + "/popup-bin"), log(DataHome() + "/popup-opened.txt")
    {
        popup = new cWidgetWebViewPopup();
        std::filesystem::remove(log);
        WriteText(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + log + "'\n");
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
        path = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", (bin + ":" + path).c_str(), 1);
    }
    ~WebViewPopupTest() override
    {
        setenv("PATH", path.c_str(), 1);
        popup->Close();
        popup->Release();
    }
public:
    intptr_t OnDismissed(cWidgetWebViewPopup* from)
    {
        dismissedWhileShown.push_back(from->IsShown());
        return 0;
    }

protected:
    // What the stand-in opener was given, once it has had time to write.
    std::string Opened(size_t lines)
    {
        for (int i = 0; i < 1000; ++i)
        {
            const std::string text = ReadText(log);
            if (size_t(std::count(text.begin(), text.end(), '\n')) >= lines)
                return text;
            usleep(2000);
        }
        return ReadText(log);
    }

    cWebViewService service;
    cWidgetWebViewPopup* popup;
    std::string bin, log, path;
    std::vector<bool> dismissedWhileShown;
};

TEST_F(WebViewPopupTest, FillsTheScreenBelowItsTitleAndPushesOnce)
{
    service.SetText("");
    EXPECT_EQ(popup->Show(), &service);
    EXPECT_EQ(popup->Show(), &service);
    Frame(30);
    EXPECT_STREQ(popup->GetName(), "Quilcloud");
    const cRect& rect = popup->GetRect();
    EXPECT_EQ(std::vector<float>({rect.xMin, rect.yMin, rect.xMax, rect.yMax}),
              std::vector<float>({20.0f, 10.0f, 1004.0f, 758.0f}));
    const cWebViewService::cViewRect& view = service.GetRect();
    EXPECT_EQ(std::vector<float>({view.x0, view.y0, view.x1, view.y1}),
              std::vector<float>({40.0f, 60.0f, 984.0f, 738.0f}));
    EXPECT_EQ(manager->GetRoot()->GetTopLayerWidget(), popup);
    popup->Close();
    Frame(30);
    EXPECT_FALSE(popup->IsShown());

    popup->SetDismissDelegate(cDelegate(this, &WebViewPopupTest::OnDismissed));
    popup->Show();
    popup->OnDismiss(1);
    EXPECT_EQ(dismissedWhileShown, std::vector<bool>{true});
    EXPECT_FALSE(popup->IsShown());
}

TEST_F(WebViewPopupTest, HandsOnlyWebAddressesToTheBrowserOncePerShow)
{
    for (const char* refused : {"file:///etc/passwd", "-x", ""})
    {
        service.SetText(refused);
        popup->Show();
        EXPECT_STREQ(popup->GetNoteText(), "") << refused;
    }
    service.SetText("https://example.invalid/signin");
    popup->Show();
    EXPECT_STREQ(popup->GetNoteText(), cWidgetWebViewPopup::kOpenedText);
    Frame(3);
    popup->Show();
    EXPECT_EQ(Opened(2), "https://example.invalid/signin\nhttps://example.invalid/signin\n");

    setenv("PATH", (DataHome() + "/no-such-folder").c_str(), 1);
    popup->Show();
    EXPECT_STREQ(popup->GetNoteText(), cWidgetWebViewPopup::kNotOpenedText);
}
} // namespace
} // namespace ProjectTest
