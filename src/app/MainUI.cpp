#include "app/MainUI.h"

#include <cstring>

#include "app/AppMixdownHost.h"
#include "app/GlobalSettings.h"
#include "app/SetupUI.h"
#include "app/WidgetStartup.h"
#include "app/SlotInstrument.h"
#include "app/WidgetKeyboard.h"
#include "app/WidgetMainMenu.h"
#include "app/WidgetStatusBar.h"
#include "app/WidgetStatusBarScreen.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentSlotTable.h"
#include "base/PathUtils.h"
#include "platform/GlobalSettingValues.h"
#include "platform/PlatformServices.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "project/ui/WidgetCloudShare.h"
#include "project/ui/WidgetFileBrowser.h"
#include "project/ui/WidgetOpenURL.h"
#include "project/ui/WidgetPasteboard.h"
#include "project/ui/WidgetWebViewPopup.h"
#include "sampler/WidgetSampler.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetProgress.h"
#include "ui/WidgetTabView.h"

namespace
{
struct cProtection
{
    const char* pattern;
    int32_t value;
};

// Bits: 1 folders may be made inside, 2 delete or rename, 4 read-only.
constexpr cProtection kProtectedFolders[] = {
    {"User", 0},
    {"User/Projects", 1},
    {"User/FX Favourites", 1},
    {"User/Mixdowns", 1},
    {"User/Samples", 1},
    {"User/MIDI Files", 1},
    {"User/VRX Banks", 1},
    {"User/VRX Banks/Default*", 4},
    {"User/VRX Banks/Veldmoor", 1},
    {"User/Samples/Kest Factory*", 4},
};
constexpr int32_t kUnlistedProtection = 3;

// Filling the parent below the status bar; across the parent's top, the bar's height tall.
constexpr uint32_t kBelowTheBar = 0x5533;
constexpr uint32_t kAcrossTheTop = 0x1533;

// Whether the path lies inside the folder: the folder's text, ignoring case,
// followed by the path's end or a separator.
bool IsInsideFolder(const cGenString& path, const cGenString& folder)
{
    const int32_t length = folder.Length();
    if (length == 0 || path.Length() < length || strncasecmp(path.CStr(), folder.CStr(), size_t(length)) != 0)
        return false;
    const char next = path.CStr()[length];
    return next == '\0' || next == '/' || next == '\\';
}

// The module of an instrument in the slot table now; a message may name a
// module that has gone since it was posted.
cInstrument* InstrumentOfModule(const void* module)
{
    for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
        if (cInstrument* instrument = GetSlotInstrument(slot); instrument && instrument->GetModule() == module)
            return instrument;
    return nullptr;
}
} // namespace

int32_t GetFolderProtection(const char* text)
{
    if (!text || *text == '\0')
        return 0;
    cGenStringFixed<cMainUI::kPathCapacity> path;
    path.AssignCStr(text);
    path.RemoveTrailingSeparator();
    for (const cProtection& entry : kProtectedFolders)
        if (WildcardMatchNoCase(entry.pattern, path))
            return entry.value;
    const cMainUI* ui = cMainUI::GetInstance();
    if (ui)
    {
        cGenStringFixed<cMainUI::kPathCapacity> project;
        project.AssignCStr(ui->GetCurrentProjectPath());
        project.RemoveTrailingSeparator();
        if (IsInsideFolder(path, project))
            return 0;
    }
    return kUnlistedProtection;
}

cMainUI::cMainUI() : Base::cSingleton<cMainUI>(this)
{
    SetupUIMetrics();
    mFileBrowser = new cWidgetFileBrowser(this);
    mKeyboard = new cWidgetKeyboard();
    mAlert = new cWidgetAlert();
    mProgress = new cWidgetProgress();
    mSampler = new cWidgetSampler(*this);
    mPasteboardPage = new cWidgetPasteboard(this);
    mMixdownHost = new cAppMixdownHost();
    mMixdown = new cWidgetMixdown(*mMixdownHost);
    mStartup = new cWidgetStartup();
    mSharePage = new cWidgetCloudShare(this);
    mWebViewPopup = new cWidgetWebViewPopup();
    mOpenURL = new cWidgetOpenURL(this);
    BuildMainWindow();
    BuildStatusBar();
    BuildSetupScreen();
    cWidgetDialogueDropDown::SetHost(this);
    cWidgetDialogue::SetTitleScreenHook(this);
    cWidgetKnob::SetValueTextDelegate(cDelegate(this, &cMainUI::ShowStatusMessage));
    SetStatusBarHost(this);
}

cMainUI::~cMainUI()
{
    SetStatusBarHost(nullptr);
    cWidgetKnob::SetValueTextDelegate(cDelegate());
    cWidgetDialogue::SetTitleScreenHook(nullptr);
    cWidgetDialogueDropDown::SetHost(nullptr);
    for (cWidget** page : {&mSetupPage, &mSequencerPage})
        if (*page)
        {
            mMainWindow->RemoveChild(*page);
            *page = nullptr;
        }
    if (cWidgetManager* manager = cWidgetManager::GetInstance(); manager && manager->GetRoot())
    {
        manager->GetRoot()->RemoveChild(mMainWindow);
        manager->GetRoot()->RemoveChild(mStatusBar);
    }
    mMainWindow->Release();
    mStatusBar->Release();
    mOpenURL->Release();
    mWebViewPopup->Release();
    mSharePage->Release();
    mFileBrowser->Release();
    mKeyboard->Release();
    mAlert->Release();
    mProgress->Release();
    mSampler->Release();
    mPasteboardPage->Release();
    mMixdown->Release();
    delete mMixdownHost;
    mStartup->Release();
}

void cMainUI::PromptName(const cKeyboardRequest& request, const cDelegate& completion)
{
    mNameCompletion = completion;
    mKeyboard->Prompt(request, cDelegate(this, &cMainUI::OnNameEntered));
}

// The browsers read the typed text with its extension put back.
void cMainUI::ShowSharePage(float startValue) { mSharePage->Show(startValue); }

intptr_t cMainUI::OnNameEntered(int32_t result, cWidgetKeyboard* keyboard)
{
    const cDelegate completion = mNameCompletion;
    mNameCompletion.Clear();
    return completion.Invoke(result, keyboard->GetRequest().text.CStr());
}

bool cMainUI::IsKeyboardOpen() { return mKeyboard->IsOpen(); }

int32_t cMainUI::GetFolderProtection(const char* path) { return ::GetFolderProtection(path); }

void cMainUI::ShowProjectSetupPage()
{
    if (auto* setup = dynamic_cast<cSetupUI*>(mSetupPage))
        setup->GetTabView()->SelectPage(cSetupUI::kProjectTab, false);
}

void cMainUI::SetRecentProject(const char* path)
{
    gSettings.recentProject.AssignCStr(path);
    gSettings.autoSaved = false;
    if (cGlobalSettings* settings = cGlobalSettings::GetInstance())
        settings->Save();
}

void cMainUI::ShowMixdown() { mMixdown->Show(); }

void cMainUI::ShowSampler(cSample* sample, const cDelegate& completion)
{
    // A fresh edit even of the sample the page held last.
    mSampler->SetSample(nullptr);
    mSampler->SetSample(sample);
    mSampler->Show(completion);
}

void cMainUI::OpenFolder(const char* nativePath) { OpenURLInBrowser(nativePath); }

void cMainUI::BuildMainWindow()
{
    mMainWindow = new cWidgetModalContainer();
    mMainWindow->SetName("MainWin");
    mMainWindow->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    mMainWindow->SetAnchors(kBelowTheBar, 0.0f, cWidgetStatusBar::GetBarHeight(), 0.0f, 0.0f);
    mMainWindow->ModifyChildFlags(kWidgetRectAndLayoutDirty, 0);
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->GetRoot()->AddChild(mMainWindow);
}

// Over "MainWin": drawn on it and offered touches first.
void cMainUI::BuildStatusBar()
{
    mStatusBar = new cWidgetStatusBar();
    mStatusBar->SetAnchors(kAcrossTheTop, 0.0f, 0.0f, 0.0f, cWidgetStatusBar::GetBarHeight());
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->GetRoot()->AddChild(mStatusBar);
}

// The setup screen "MANAGE" shows, hidden until then.
void cMainUI::BuildSetupScreen()
{
    auto* setup = new cSetupUI(*this);
    setup->SetVisible(false);
    SetSetupPage(setup);
    setup->Release();
}

cWidgetMainMenu* cMainUI::GetMainMenu() const { return mStatusBar->GetMainMenu(); }

// ------------------------------------------------------------------ pages

bool cMainUI::IsPage(const cWidget* widget) const { return widget && mMainWindow->IsChild(widget); }

void cMainUI::ShowPage(cWidget* page)
{
    if (!IsPage(page))
        page = mSequencerPage;
    for (cWidget* child = mMainWindow->GetFirstChild(); child; child = child->GetNext())
    {
        if (child == page)
        {
            if (!child->IsVisible())
            {
                child->SetVisible(true);
                child->ModifyFlags(kWidgetStateDirty | kWidgetNotYetDrawn, 0, true);
            }
        }
        else if (child->IsVisible())
        {
            child->CancelInputRecursive(true);
            child->ModifyFlags(0, kWidgetVisible | kWidgetNotYetDrawn, false);
        }
    }
}

void cMainUI::ShowInstrumentPage(cInstrument* instrument)
{
    instrument->Select();
    ShowPage(instrument->GetPackage()->GetUserInterface());
}

void cMainUI::InsertPage(cWidget*& field, cWidget* page, cWidget* before)
{
    if (field)
        mMainWindow->RemoveChild(field);
    field = page;
    if (!page)
        return;
    mMainWindow->AddChildAtStart(page);
    if (before && mMainWindow->IsChild(before))
        mMainWindow->AddChildAtStart(before);
}

void cMainUI::SetSequencerPage(cWidget* page) { InsertPage(mSequencerPage, page, nullptr); }

// After the sequencer page, before the packages' pages.
void cMainUI::SetSetupPage(cWidget* page) { InsertPage(mSetupPage, page, mSequencerPage); }

void cMainUI::AddPage(cWidget* page)
{
    if (page)
        mMainWindow->AddChild(page);
}

void cMainUI::RemovePage(cWidget* page)
{
    if (page)
        mMainWindow->RemoveChild(page);
}

// --------------------------------------------------------------- messages

intptr_t cMainUI::HandleMessage(const cMessageQueue::cMessage* message)
{
    cWidgetMainMenu* menu = GetMainMenu();
    switch (message->type)
    {
    case cMessageQueue::kTypePresetChanged:
        if (cInstrument* instrument = InstrumentOfModule(message->sender))
        {
            cGenStringFixed<128> preset, text;
            instrument->GetModule()->GetPresetText(preset);
            text.Printf("%s : %s", instrument->GetName(), preset.CStr());
            ShowStatusMessage(text.CStr());
        }
        break;
    case cMessageQueue::kTypeMIDIChannel:
    {
        cGenStringFixed<64> text;
        text.Printf("VuvozIvuvedu MIDI Channel %d", message->value + 1);
        ShowStatusMessage(text.CStr());
        break;
    }
    case cMessageQueue::kTypeStepTrack: StepToTrack(message->value); break;
    case cMessageQueue::kTypeSelectInstrument: StepInstrument(message->value != 0); break;
    case cMessageQueue::kTypeShowSequencer: menu->SelectPage(cWidgetMainMenu::kPageSong, 0); break;
    case cMessageQueue::kTypeShowSetup: menu->SelectPage(cWidgetMainMenu::kPageManage, 0); break;
    default: break;
    }
    return 0;
}

// To the next slot listening to the MIDI channel, after the one shown.
void cMainUI::StepToTrack(int32_t channel)
{
    const cProjectList* projects = cProjectList::GetInstance();
    cProject* project = projects ? projects->GetCurrentProject() : nullptr;
    if (!project || channel < 0 || channel >= cTrackMap::kChannelCount)
        return;
    const cTrackMap::cChannelList& list = project->GetTrackMap().GetChannelList(channel);
    if (list.count <= 0)
        return;
    cWidgetMainMenu* menu = GetMainMenu();
    const int32_t current = menu->GetSelectedSlot();
    int32_t start = 0;
    for (int32_t i = 0; current > 0 && i < list.count; ++i)
        if (list.items[i] == current)
            start = i + 1;
    for (int32_t n = 0; n < list.count; ++n)
    {
        const int32_t slot = list.items[(start + n) % list.count];
        if (slot >= 0 && slot < cInstrumentSlotTable::kSlotCount && GetSlotInstrument(slot))
        {
            menu->SelectPage(cWidgetMainMenu::kPageInstrument, slot);
            return;
        }
    }
}

void cMainUI::StepInstrument(bool forward)
{
    cWidgetMainMenu* menu = GetMainMenu();
    const int32_t current = menu->GetSelectedSlot();
    const int32_t step = forward ? 1 : -1;
    int32_t slot = current >= 0 ? current + step : menu->GetCurrentSlot();
    for (; slot >= 0 && slot < cInstrumentSlotTable::kSlotCount; slot += step)
        if (GetSlotInstrument(slot))
            break;
    if (slot >= 0 && slot < cInstrumentSlotTable::kSlotCount && slot != current)
        menu->SelectPage(cWidgetMainMenu::kPageInstrument, slot);
}

void cMainUI::ShowStatusMessage(const char* text) { ShowTimedMessage(text, kMessageSeconds, false); }

void cMainUI::SetTitleText(const char* text) { mStatusBar->GetTitleText().AssignCStr(text); }

void cMainUI::ShowTimedMessage(const char* text, float seconds, bool blink)
{
    mStatusBar->ShowMessage(text, seconds, blink);
}

// ---------------------------------------------------------------- folders

void cMainUI::SetLastFolder(const char* path)
{
    mLastFolder.AssignCStr(path);
    PathStripToDirectory(mLastFolder);
}

void cMainUI::SetCurrentProjectPath(const char* path) { mProjectPath.AssignCStr(path); }

// ------------------------------------------------------ drop-down service

void cMainUI::PushPanel(cWidget* panel, int32_t dimMode, int32_t transition)
{
    mMainWindow->Push(panel, dimMode, transition);
}

void cMainUI::PopPanel(cWidget* panel) { mMainWindow->Pop(panel); }

void cMainUI::PushStatusState(const cDelegate& handler, bool threeExtraButtons)
{
    mStatusBar->PushState(handler, threeExtraButtons);
}

void cMainUI::RestoreStatusState() { mStatusBar->PopState(); }

void cMainUI::ClearTimedMessage() { mStatusBar->ClearMessageTimer(); }

cWidget* cMainUI::CreateTitleScreen(bool songPositionOption)
{
    auto* screen = new cWidgetStatusBarScreen();
    screen->SetSongPositionOption(songPositionOption);
    return screen;
}

void cMainUI::SetTitleScreenText(cWidget* screen, const char* text, uint32_t colour)
{
    static_cast<cWidgetStatusBarScreen*>(screen)->SetText(text, colour);
}
