#include "project/ui/WidgetCloudShare.h"

#include <cstring>

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/Thread.h"
#include "platform/DeviceServices.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "project/ui/WidgetWebViewPopup.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/HouseColours.h"
#include "ui/KeyboardRequest.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetSpinButton.h"

namespace
{
using tLine = cGenStringFixed<cWidgetAlert::kLineCapacity>;

constexpr uint32_t kWideButtonStyle = 0x11;
constexpr uint32_t kSmallButtonStyle = 0x5;
constexpr int kShareIcon = 218;
constexpr int kAudioFileIcon = 461;
constexpr float kShareIconGap = 6.0f;
constexpr int32_t kResultAlert = 0x404;
constexpr int32_t kCopyURLButton = 0;
constexpr int32_t kCancelButton = 1;
constexpr int32_t kOKButton = 3;
constexpr uint32_t kBrowseFlags = 0x11;
constexpr int32_t kTrackNameLength = 32;
constexpr int32_t kGroupOverlay = 0x10006;
constexpr int32_t kUserPrefix = 5; // "User/"
constexpr uint32_t kWaitMilliseconds = 100;
constexpr float kMarginMM = 3.0f, kGapMM = 8.0f;

const char* const kPublishTexts[] = {"Private", "Public"};

struct cLicence
{
    const char* identifier;
    const char* text;
};
const cLicence kLicences[] = {
    {"all-rights-reserved", "All Rights Reserved"},
    {"no-rights-reserved", "No Rights Reserved"},
    {"cc-by", "Creative Commons"},
    {"cc-by-nc", "CC-Noncommercial"},
    {"cc-by-nd", "CC-No Derivative"},
    {"cc-by-sa", "CC-Share Alike"},
    {"cc-by-nc-nd", "CC-NC No Derivative"},
    {"cc-by-nc-sa", "CC-NC Share Alike"},
};
constexpr int32_t kLicenceCount = int32_t(sizeof(kLicences) / sizeof(kLicences[0]));

int32_t ClampLicence(int32_t value) { return value < 0 ? 0 : value >= kLicenceCount ? kLicenceCount - 1 : value; }

cWidgetButton* MakeButton(const char* label, int32_t mode, uint32_t style, int32_t tag)
{
    cWidgetButton* button = CreateButton(label, mode, style);
    button->SetTag(tag);
    return button;
}

// A fixed-size item of its preferred size.
void AddFixed(cLayoutLinear* row, cWidget* widget) { AddWidgetItem(row, widget, kPolicyFixed, kPolicyFixed); }

void AddStretched(cLayoutLinear* row, cWidget* widget, float stretch)
{
    AddWidgetItem(row, widget, kPolicyExpand, kPolicyPref)->stretch = {stretch, 1.0f};
}
} // namespace

// ------------------------------------------------------------- the wait job

void cWidgetCloudShare::cJobWaitForCloudShare::Run(JobQueue::cJobQueue*)
{
    while (result.load() == kResultNone)
    {
        if (mCancel.load() || (mOverlay && mOverlay->IsStopRequested()))
            result.store(kResultCancelled);
        else
            Sleep(kWaitMilliseconds);
    }
}

void cWidgetCloudShare::cJobWaitForCloudShare::OnServiceEvent(int32_t kind, float value)
{
    if (kind == 0 && mOverlay)
        mOverlay->SetProgress(value);
    else if (kind == 1)
        result.store(kResultSucceeded);
    else if (kind == 2)
        result.store(kResultFailed);
}

// ------------------------------------------------------------------ the page

cWidgetCloudShare::cWidgetCloudShare(cFileBrowserHost* host) : mHost(host)
{
    SetName("Share with Quilcloud");
    MakeControls();
    BuildLayout();
}

cWidgetCloudShare::~cWidgetCloudShare() = default;

void cWidgetCloudShare::MakeControls()
{
    mButtons[kButtonConnect] = MakeButton("Connect", kButtonCycle, kWideButtonStyle, kButtonConnect);
    mButtons[kButtonFile] = MakeButton("...", kButtonPush, kSmallButtonStyle, kButtonFile);
    mButtons[kButtonTrackName] = MakeButton("...", kButtonPush, kSmallButtonStyle, kButtonTrackName);
    mButtons[kButtonShare] = MakeButton("Share", kButtonPush, kWideButtonStyle, kButtonShare);
    SetButtonIconBeside(mButtons[kButtonShare], &gTex8888AtlasTable[kShareIcon]);
    mButtons[kButtonShare]->SetIconTextGap(kShareIconGap);

    mPublishAs = CreateSpinButton("Publish As");
    mPublishAs->minimum = 0;
    mPublishAs->maximum = 1;
    mPublishAs->SetLabelWidth(kPublishTexts, 2);
    mPublishAs->valueDelegate = cDelegate(this, &cWidgetCloudShare::OnPublishAsChanged);
    mLicence = CreateSpinButton("Licence");
    mLicence->minimum = 0;
    mLicence->maximum = kLicenceCount - 1;
    const char* licenceTexts[kLicenceCount];
    for (int32_t i = 0; i < kLicenceCount; ++i)
        licenceTexts[i] = kLicences[i].text;
    mLicence->SetLabelWidth(licenceTexts, kLicenceCount);
    mLicence->valueDelegate = cDelegate(this, &cWidgetCloudShare::OnLicenceChanged);
    OnPublishAsChanged(1, mPublishAs);
    OnLicenceChanged(0, mLicence);

    mAccountLabel = CreateLabel("Account");
    mFileLabel = CreateLabel("File");
    mTrackNameLabel = CreateLabel("Track Name");
    // The panel is dark: light captions.
    for (cWidgetLabel* label : {mAccountLabel, mFileLabel, mTrackNameLabel})
        label->captionStyle.colour = HouseColour::kLightLabel;

    for (cWidgetButton* button : mButtons)
        button->clickDelegate = cDelegate(this, &cWidgetCloudShare::OnButtonClicked);
    for (cWidget* child : {static_cast<cWidget*>(mAccountLabel), static_cast<cWidget*>(mFileLabel),
                           static_cast<cWidget*>(mTrackNameLabel), static_cast<cWidget*>(mPublishAs),
                           static_cast<cWidget*>(mLicence), static_cast<cWidget*>(mButtons[0]),
                           static_cast<cWidget*>(mButtons[1]), static_cast<cWidget*>(mButtons[2]),
                           static_cast<cWidget*>(mButtons[3])})
    {
        AddChild(child);
        child->Release();
    }
}

// Four rows: the account and Connect; the file and its "..."; the track name,
// its "..." and "Publish As"; "Licence" and "Share".
void cWidgetCloudShare::BuildLayout()
{
    const float margin = MillimetresToPixels(kMarginMM), gap = MillimetresToPixels(kGapMM);
    auto* column = new cLayoutLinear(kAxisY, 4);
    column->itemSpacing = margin;
    for (cLayoutValue& side : column->margins)
        side.value = margin;
    auto row = [column]
    {
        auto* inner = new cLayoutLinear(kAxisX, 6);
        AddLayoutItem(column, inner, kPolicyExpand, kPolicyPref);
        return inner;
    };
    cLayoutLinear* account = row();
    AddStretched(account, mAccountLabel, 1.0f);
    // The account line's longest text reads whole.
    static_cast<cLayoutItem*>(account->GetItem(0))->minimum[0].value =
        mAccountLabel->textStyle.font.GetTextWidth(kNotAvailable) + 2.0f * margin;
    AddFixedGapItem(account, gap);
    AddFixed(account, mButtons[kButtonConnect]);
    cLayoutLinear* file = row();
    AddStretched(file, mFileLabel, 1.0f);
    AddFixedGapItem(file, gap);
    AddFixed(file, mButtons[kButtonFile]);
    cLayoutLinear* name = row();
    AddStretched(name, mTrackNameLabel, 1.0f);
    AddFixedGapItem(name, gap);
    AddFixed(name, mButtons[kButtonTrackName]);
    AddGapItem(name, 0.2f);
    AddStretched(name, mPublishAs, 0.6f);
    cLayoutLinear* licence = row();
    AddStretched(licence, mLicence, 1.4f);
    AddGapItem(licence, 1.0f);
    AddFixed(licence, mButtons[kButtonShare]);
    SetLayout(column);
}

void cWidgetCloudShare::OnLayout()
{
    cSizePreferences preferences;
    GetLayout()->GetSizePreferences(&preferences);
    cRect content;
    FitToContent(&preferences.preferred, &content);
    cWidgetDialogueDropDown::OnLayout();
    GetLayout()->SetRect(content);
}

bool cWidgetCloudShare::InternetReachable()
{
    const cNetworkStatus* network = cNetworkStatus::GetInstance();
    return network && network->IsInternetReachable();
}

void cWidgetCloudShare::Show(float startValue)
{
    mState = kStateIdle;
    mStartValue = startValue;
    Open(cDelegate(this, &cWidgetCloudShare::OnBack));
    const cGenStringFixed<kPathCapacity> stored(mFilePath);
    SetUploadFile(stored.CStr());
    mInternetReachable = InternetReachable();
    if (mInternetReachable)
    {
        ShowNotAvailable();
        mRetry = false;
    }
    else
    {
        mStatusText = kTapConnect;
        mRetry = true;
    }
    mAccountLabel->SetText(mInternetReachable ? mStatusText.CStr() : "No internet connection");
    ModifyFlags(kWidgetAllDirty, 0, true);
}

intptr_t cWidgetCloudShare::OnBack()
{
    Close();
    return 0;
}

// Every frame follows the network and keeps the controls a service would
// need hidden.
bool cWidgetCloudShare::Draw(cDrawList& list)
{
    cWidgetDialogueDropDown::Draw(list);
    if (cStatusBarHost* bar = GetStatusBarHost())
        bar->SetTitleText(GetName());
    mInternetReachable = InternetReachable();
    cWidgetButton* connect = mButtons[kButtonConnect];
    connect->SetEnabled(mInternetReachable);
    connect->SetName("Connect");
    connect->value = 0;
    for (cWidget* hidden : {static_cast<cWidget*>(mButtons[kButtonFile]),
                            static_cast<cWidget*>(mButtons[kButtonTrackName]),
                            static_cast<cWidget*>(mButtons[kButtonShare]), static_cast<cWidget*>(mPublishAs),
                            static_cast<cWidget*>(mLicence)})
        hidden->SetVisible(false);
    mFileLabel->SetEnabled(false);
    mTrackNameLabel->SetEnabled(false);
    const char* account = mInternetReachable ? mStatusText.CStr() : "No internet connection";
    if (std::strcmp(mAccountLabel->GetText(), account) != 0)
        mAccountLabel->SetText(account);
    return false;
}

intptr_t cWidgetCloudShare::OnButtonClicked(int32_t, cWidgetButton* button)
{
    OnButton(button->GetTag());
    return 0;
}

void cWidgetCloudShare::OnButton(int32_t tag)
{
    switch (tag)
    {
    case kButtonConnect: mState = kStateIdle; break;
    case kButtonFile: BrowseForFile(); break;
    case kButtonTrackName: PromptTrackName(); break;
    case kButtonShare: FileExists(mFilePath.CStr()); break;
    default: break;
    }
}

void cWidgetCloudShare::BrowseForFile()
{
    cWidgetFileBrowser* browser = mHost ? mHost->GetFileBrowser() : nullptr;
    if (!browser)
        return;
    browser->Reset();
    browser->SetName("Upload file");
    browser->rootFolder = "User";
    browser->path = mFileChosen && !mFilePath.IsEmpty() ? mFilePath.CStr() : "User/Mixdowns";
    browser->actionLabel = "OK";
    browser->AddFileType("wav", &gTex8888AtlasTable[kAudioFileIcon]);
    browser->AddFileType("ogg", &gTex8888AtlasTable[kAudioFileIcon]);
    browser->Show(kBrowseFlags, cDelegate(this, &cWidgetCloudShare::OnUploadBrowserDone));
}

void cWidgetCloudShare::PromptTrackName()
{
    if (!mHost)
        return;
    cKeyboardRequest request;
    request.maxLength = kTrackNameLength;
    request.selectAll = 1;
    request.fileNameMode = 0;
    request.browse = 0;
    request.showPath = 0;
    request.title = "Please choose a name for your track";
    request.text.AssignCStr(mTrackNameLabel->GetText());
    mHost->PromptName(request, cDelegate(this, &cWidgetCloudShare::OnTrackNameEntered));
}

intptr_t cWidgetCloudShare::OnUploadBrowserDone(int32_t result, cWidgetFileBrowser* browser)
{
    if (result != 1)
        return 0;
    const cGenStringFixed<kPathCapacity> picked(browser->path);
    SetUploadFile(picked.CStr());
    mStartValue = 0.0f;
    return 0;
}

intptr_t cWidgetCloudShare::OnTrackNameEntered(int32_t result, const char* text)
{
    if (result != cFileBrowserHost::kPromptEntered)
        return 0;
    if (text && *text)
        mTrackNameLabel->SetText(text);
    else
        SetDefaultTrackName();
    return 0;
}

bool cWidgetCloudShare::FileExists(const char* path) const
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    return documents && documents->Exists(cGenString(path));
}

void cWidgetCloudShare::ClearFile(const char* fileText)
{
    mFilePath = "";
    mTrackNameLabel->SetText("");
    mFileLabel->SetText(fileText);
    mFileChosen = false;
}

void cWidgetCloudShare::SetUploadFile(const char* path)
{
    if (!path || !*path)
    {
        ClearFile("Please choose the file you wish to upload.");
        return;
    }
    if (std::strcmp(path, mFilePath.CStr()) != 0)
        mFilePath.AssignCStr(path);
    if (!FileExists(mFilePath.CStr()))
    {
        ClearFile("Choose a file.");
        return;
    }
    mFileChosen = true;
    mFileLabel->SetText(mFilePath.Length() >= kUserPrefix ? mFilePath.CStr() + kUserPrefix : mFilePath.CStr());
    SetDefaultTrackName();
}

void cWidgetCloudShare::SetDefaultTrackName()
{
    cGenStringFixed<kPathCapacity> name(mFilePath);
    PathStripToFileName(name);
    PathRemoveExtension(name);
    mTrackNameLabel->SetText(name.CStr());
}

intptr_t cWidgetCloudShare::OnPublishAsChanged(int32_t value, cWidgetSpinButton* spin)
{
    spin->SetValue(value);
    spin->SetText(kPublishTexts[spin->GetValue()]);
    return 0;
}

intptr_t cWidgetCloudShare::OnLicenceChanged(int32_t value, cWidgetSpinButton* spin)
{
    spin->SetValue(value);
    spin->SetText(GetLicenceText(spin->GetValue()));
    return 0;
}

const char* cWidgetCloudShare::GetLicenceIdentifier(int32_t value) { return kLicences[ClampLicence(value)].identifier; }

const char* cWidgetCloudShare::GetLicenceText(int32_t value) { return kLicences[ClampLicence(value)].text; }

void cWidgetCloudShare::ShowNotAvailable()
{
    if (mAccountText.IsEmpty())
        mAccountText = kNotAvailable;
    mStatusText = kNotAvailable;
}

// ---------------------------------------------- the flow no control reaches

void cWidgetCloudShare::StartConnect()
{
    mState = kStateConnecting;
    cWidgetWebViewPopup* popup = mHost ? mHost->GetWebViewPopup() : nullptr;
    if (!popup)
        return;
    popup->SetDismissDelegate(cDelegate(this, &cWidgetCloudShare::OnConnectClosed));
    popup->SetName("Connect with Quilcloud");
    popup->Show();
}

intptr_t cWidgetCloudShare::OnConnectClosed()
{
    mStatusText = kTapConnect;
    mState = kStateIdle;
    return 0;
}

void cWidgetCloudShare::OnAuthorizationReturned(const char* address)
{
    if (cWidgetWebViewPopup* popup = mHost ? mHost->GetWebViewPopup() : nullptr)
        popup->Close();
    cGenString lower = cGenString::ConstructGrowableFromCStr(address ? address : "");
    lower.ToLower();
    mStatusText = std::strstr(lower.CStr(), "code=") ? kNotAvailable : kAuthorizationFailed;
    mState = kStateIdle;
}

void cWidgetCloudShare::OnServiceError(int32_t kind, int32_t code)
{
    mStatusText = kTapConnect;
    if (kind == 1 && code == 401 && mRetry)
        mStatusText = kAuthorizationFailed;
    mRetry = true;
}

void cWidgetCloudShare::SetAccountInfo(const char* userName, int32_t trackCount)
{
    mStatusText = kTapConnect;
    cGenStringFixed<32> tracks;
    if (trackCount == 0)
        tracks = "no tracks";
    else
        tracks.Printf("%d tracks", trackCount);
    mAccountText.Printf("%s (%s)", userName, tracks.CStr());
}

void cWidgetCloudShare::DescribePublishing(cGenString& out) const
{
    out.Printf("(%s, %s).", kPublishTexts[mPublishAs->GetValue()], GetLicenceText(mLicence->GetValue()));
}

void cWidgetCloudShare::ShowResult(const char* title, const char* first, const char* second, bool withQuestion,
                                   bool copyURL)
{
    cWidgetAlert* alert = mHost ? mHost->GetAlert() : nullptr;
    if (!alert)
        return;
    alert->Reset(kResultAlert);
    alert->SetName(title);
    alert->firstLine.AssignCStr(first);
    alert->secondLine.AssignCStr(second);
    alert->SetButton(kOKButton, "OK");
    if (withQuestion)
        alert->SetButton(kCancelButton, "Cancel");
    if (copyURL)
        alert->SetButton(kCopyURLButton, "Copy URL");
    alert->Show(cDelegate(this, &cWidgetCloudShare::OnAlertDone));
}

intptr_t cWidgetCloudShare::OnShareJobDone(cJobWaitForCloudShare* job, cWidgetProgress*)
{
    const int32_t result = job->result.load();
    delete job;
    const char* track = mTrackNameLabel->GetText();
    tLine first, second;
    if (mState == kStateUploading)
    {
        if (result == cJobWaitForCloudShare::kResultSucceeded)
        {
            ShowNotAvailable();
            const bool isPublic = mPublishAs->GetValue() == 1;
            mState = isPublic ? kStateGroup : kStateFinished;
            if (isPublic)
            {
                first.Printf("Do you want to submit '%s'", track);
                second = "to the Quilwright group?";
            }
            else
            {
                first.Printf("'%s' was successfully uploaded.", track);
                DescribePublishing(second);
            }
            ShowResult("Upload Successful", first.CStr(), second.CStr(), isPublic, true);
            return 0;
        }
        mState = kStateIdle;
        if (result == cJobWaitForCloudShare::kResultFailed)
        {
            first.Printf("Failed to upload '%s'.", track);
            ShowResult("Upload Failed", first.CStr(), "", false, false);
        }
        else if (result == cJobWaitForCloudShare::kResultCancelled)
        {
            first.Printf("Upload of '%s' was cancelled.", track);
            ShowResult("Upload Cancelled", first.CStr(), "", false, false);
        }
        return 0;
    }
    if (mState != kStateGroup)
    {
        mState = kStateIdle;
        return 0;
    }
    mState = kStateIdle;
    if (result == cJobWaitForCloudShare::kResultFailed)
    {
        first.Printf("Couldn't add '%s' to the Quilwright group.", track);
        ShowResult("Add to Group Failed", first.CStr(), "", false, false);
    }
    else if (result == cJobWaitForCloudShare::kResultCancelled)
    {
        first.Printf("'%s' may not have been", track);
        ShowResult("Add to Group Cancelled", first.CStr(), "added to the Quilwright group.", false, false);
    }
    else if (result == cJobWaitForCloudShare::kResultSucceeded)
    {
        mState = kStateFinished;
        first.Printf("'%s' added to the Quilwright group.", track);
        DescribePublishing(second);
        ShowResult("Add to Group Successful", first.CStr(), second.CStr(), false, true);
    }
    return 0;
}

intptr_t cWidgetCloudShare::OnAlertDone(int32_t button, cWidget*)
{
    cWidgetProgress* overlay = mHost ? mHost->GetProgress() : nullptr;
    if (mState != kStateGroup || button != kOKButton || !overlay)
    {
        mState = kStateIdle;
        return 0;
    }
    auto* job = new cJobWaitForCloudShare(overlay);
    overlay->Setup(kGroupOverlay);
    overlay->SetName("Adding to Group");
    cWidgetProgress::SetStatusText(mTrackNameLabel->GetText());
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cWidgetCloudShare::OnShareJobDone));
    return 0;
}
