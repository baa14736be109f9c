#include "sampler/WidgetSampler.h"

#include <algorithm>

#include "audio/AudioLock.h"
#include "audio/Sample.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "mixer/AuditionPlayer.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sampler/SampleEditor.h"
#include "sampler/WidgetSamplerPanelEdit.h"
#include "sampler/WidgetSamplerPanelEffects.h"
#include "sampler/WidgetSamplerPanelResample.h"
#include "sampler/WidgetSamplerPanelSample.h"
#include "sampler/WidgetSamplerTransportBar.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetTabView.h"

namespace
{
// Icons on the alert's first and last buttons.
constexpr int32_t kAlertStyle = kAlertIconOnNo | kAlertIconOnOK;
// The overlay shows no button: a save cannot be cancelled.
constexpr int32_t kSaveOverlayStyle = 2;
constexpr int32_t kFolderReadOnly = 4;
// The transport bar at the page's top right edge.
constexpr uint32_t kAnchorsFromRightEdge = 0x1135;

File::cFileSystem* TempMount() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Tmp") : nullptr; }

// A path's file name without folder and extension.
cGenStringFixed<260> DisplayName(const char* path)
{
    cGenStringFixed<260> name;
    name = PathGetFileName(cGenString(path));
    PathRemoveExtension(name);
    return name;
}
} // namespace

// ------------------------------------------------------------- save job

cWidgetSampler::cJobSaveSample::cJobSaveSample(cSample* sample, const char* path) : mPath(path), mSample(sample) {}

cWidgetSampler::cJobSaveSample::~cJobSaveSample()
{
    if (mResult)
        mResult->Release();
}

void cWidgetSampler::cJobSaveSample::Run(JobQueue::cJobQueue*)
{
    mResult = cSample::SaveAs(mSample, mPath.CStr());
    // The old path's sample holds what its file holds again.
    if (mResult != mSample)
        mSample->Reload(nullptr);
}

cSample* cWidgetSampler::cJobSaveSample::TakeResult()
{
    cSample* result = mResult;
    mResult = nullptr;
    return result;
}

// ------------------------------------------------------------------ page

cWidgetSampler::cWidgetSampler(cFileBrowserHost& host)
    : mHost(host), mTabView(new cWidgetSystemTabView(kTabCount, false))
{
    SetName("Sampler");
    mTabView->tabSpacing = kTabSpacing;
    mTabView->tabSize = kTabWidth;
    AddChild(mTabView);
    mPanelSample = new cWidgetSamplerPanelSample(*this);
    mPanelResample = new cWidgetSamplerPanelResample(*this);
    mPanelEdit = new cWidgetSamplerPanelEdit(*this);
    mPanelEffects = new cWidgetSamplerPanelEffects(*this);
    AddTab(kTabSample, "Sample", mPanelSample);
    AddTab(kTabResample, "Resample", mPanelResample);
    AddTab(kTabEdit, "Edit", mPanelEdit);
    AddTab(kTabEffects, "Effects", mPanelEffects);
    mTabView->pageChanged = cDelegate(this, &cWidgetSampler::OnTabChanged);
    mTransportBar = new cWidgetSamplerTransportBar(*this);
    AddChild(mTransportBar);
    // Nothing below the page needs drawing.
    ModifyFlags(kWidgetOpaqueLayer, 0, false);
    mTabView->SelectPage(kTabSample, true);
}

cWidgetSampler::~cWidgetSampler()
{
    SetSample(nullptr);
    mTransportBar->Release();
    mTabView->Release();
    mPanelSample->Release();
    mPanelResample->Release();
    mPanelEdit->Release();
    mPanelEffects->Release();
}

void cWidgetSampler::AddTab(int32_t index, const char* title, cWidget* panel)
{
    cWidgetButton* tab = CreateTabButton(false);
    mTabView->AddPage(index, title, panel, tab);
    tab->Release();
}

void cWidgetSampler::Show(const cDelegate& completion)
{
    mOpenedWithSample = mSample != nullptr;
    mSaveState = kSaveIdle;
    mModified = false;
    mCompletion = completion;
    mPanelSample->UpdateSongRange();
    mPanelResample->ResetFromSong();
    mTabView->SelectPage(mOpenedWithSample ? kTabEdit : kTabResample, false);
    EnableTabs(mOpenedWithSample);
    OpenWorkFolder();
    mHost.GetMainWindow()->Push(this, 0, 0);
    mHost.PushStatusState(cDelegate(this, &cWidgetSampler::ConfirmClose), true);
    mShown = true;
}

// With a sample it can be edited and rendered; without, only made.
void cWidgetSampler::EnableTabs(bool withSample)
{
    mTabView->GetTab(kTabSample)->SetEnabled(!withSample);
    mTabView->GetTab(kTabResample)->SetEnabled(!withSample);
    mTabView->GetTab(kTabEdit)->SetEnabled(withSample);
    mTabView->GetTab(kTabEffects)->SetEnabled(withSample);
}

// A run killed while the page showed left its work files behind.
void cWidgetSampler::OpenWorkFolder()
{
    File::cFileSystem* temp = TempMount();
    if (!temp)
        return;
    const cGenString folder(kWorkFolder);
    if (temp->Exists(folder))
        temp->Delete(folder);
    temp->CreateFolder(folder);
}

void cWidgetSampler::DeleteWorkFolder()
{
    if (File::cFileSystem* temp = TempMount())
        temp->Delete(cGenString(kWorkFolder));
}

void cWidgetSampler::SetSample(cSample* sample)
{
    if (sample == mSample)
        return;
    if (sample)
        sample->AddRef();
    cSample* old = mSample;
    mSample = sample;
    mModified = false;
    mTabView->GetTab(kTabEdit)->SetEnabled(sample != nullptr);
    mTabView->GetTab(kTabEffects)->SetEnabled(sample != nullptr);
    mPanelEdit->SetSample(sample);
    if (old)
        old->Release();
}

void cWidgetSampler::SelectEditTab() { mTabView->SelectPage(kTabEdit, false); }

cSampleEditor& cWidgetSampler::GetSampleEditor() { return mPanelEdit->GetEditor(); }

void cWidgetSampler::OnEditorModified(cSampleEditor*) { MarkModified(); }

void cWidgetSampler::ConfirmClose()
{
    if (mSaveState != kSaveIdle)
        return;
    if (gAuditionPlayer)
        gAuditionPlayer->Stop(true);
    if (!mSample || !mModified)
        Close(kResultNothingKept);
    else
        ShowKeepChangesQuestion();
}

void cWidgetSampler::ShowKeepChangesQuestion()
{
    cWidgetAlert* alert = mHost.GetAlert();
    if (!alert)
        return;
    mSaveState = kSaveAsking;
    alert->Reset(kAlertStyle);
    alert->SetName("Sample Modified");
    alert->firstLine.Printf("Keep changes to '%s'?", DisplayName(mSample->GetPath()).CStr());
    alert->SetButton(kAlertNo, "Discard");
    alert->SetButton(kAlertOther, "Save As...");
    alert->SetButton(kAlertCancel, "Cancel");
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate(this, &cWidgetSampler::OnKeepChangesAnswer));
}

intptr_t cWidgetSampler::OnKeepChangesAnswer(intptr_t button, cWidgetAlert*)
{
    if (mSaveState == kSaveRunning)
        mSaveState = kSaveIdle;
    if (mSaveState != kSaveAsking)
        return 0;
    switch (button)
    {
    case kAlertOther:
        mSaveState = kSaveRunning;
        ShowSaveAsBrowser();
        break;
    case kAlertOK:
        mSaveState = kSaveRunning;
        SaveInPlace();
        break;
    case kAlertNo:
        mSaveState = kSaveIdle;
        mSample->Reload(nullptr);
        Close(kResultNothingKept);
        break;
    default: mSaveState = kSaveIdle; break;
    }
    return 0;
}

// The installed factory samples are shared by every project: never written
// over; the user names a copy instead.
void cWidgetSampler::SaveInPlace()
{
    if (IsReadOnly(mSample->GetPath()))
        ShowSaveAsBrowser();
    else
        StartSave(mSample->GetPath());
}

bool cWidgetSampler::IsReadOnly(const char* path)
{
    cGenStringFixed<260> folder(path);
    PathStripToDirectory(folder);
    folder.RemoveTrailingSeparator();
    return (mHost.GetFolderProtection(folder.CStr()) & kFolderReadOnly) != 0;
}

void cWidgetSampler::ShowSaveAsBrowser()
{
    cWidgetFileBrowser* browser = mHost.GetFileBrowser();
    if (!mSample || !browser)
    {
        mSaveState = kSaveIdle;
        return;
    }
    browser->Reset();
    browser->SetName("Save Sample");
    browser->rootFolder.AssignCStr("User");
    browser->path.AssignCStr(*mSample->GetPath() ? mSample->GetPath() : mHost.GetLastFolder());
    browser->AddFileType("wav", &gTex8888AtlasTable[BrowserSprite::kAudioFileIcon]);
    browser->extension.AssignCStr("wav");
    const uint32_t flags = cWidgetFileBrowser::kFlagSave | cWidgetFileBrowser::kFlagAudition |
                           (mOpenedWithSample ? 0u : uint32_t(cWidgetFileBrowser::kFlagNameAtOnce));
    browser->Show(flags, cDelegate(this, &cWidgetSampler::OnSaveAsChosen));
}

intptr_t cWidgetSampler::OnSaveAsChosen(intptr_t result, cWidgetFileBrowser* browser)
{
    if (mSaveState != kSaveRunning || result != 1)
    {
        mSaveState = kSaveIdle;
        return 0;
    }
    mHost.SetLastFolder(browser->path.CStr());
    StartSave(browser->path.CStr());
    return 0;
}

void cWidgetSampler::StartSave(const char* path)
{
    mPanelEdit->CommitEdits(mSample);
    cWidgetProgress* overlay = mHost.GetProgress();
    auto* job = new cJobSaveSample(mSample, path);
    overlay->Setup(kSaveOverlayStyle);
    overlay->SetName("Saving Sample");
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cWidgetSampler::OnSaveDone));
}

intptr_t cWidgetSampler::OnSaveDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    auto* save = static_cast<cJobSaveSample*>(job);
    if (mSaveState == kSaveRunning)
    {
        mSaveState = kSaveIdle;
        if (cSample* result = save->TakeResult())
        {
            const cGenStringFixed<260> name = DisplayName(result->GetPath());
            SetSample(result);
            result->Release();
            Close(kResultSaved);
            cGenStringFixed<300> message;
            message.Printf("Saved Sample '%s'", name.CStr());
            mHost.ShowTimedMessage(message.CStr(), kSavedMessageSeconds);
        }
        else
        {
            ShowSaveFailed(save->GetPath());
        }
    }
    delete save;
    return 0;
}

void cWidgetSampler::ShowSaveFailed(const char* path)
{
    // Edits are kept: the user may try another name or discard.
    mModified = mSample != nullptr;
    cWidgetAlert* alert = mHost.GetAlert();
    if (!alert)
        return;
    alert->Reset(kAlertStyle);
    alert->SetName("Save Failed");
    alert->firstLine.Printf("Couldn't save sample file '%s'", DisplayName(path).CStr());
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

void cWidgetSampler::Close(int32_t result)
{
    DeleteWorkFolder();
    mHost.RestoreStatusState();
    mHost.GetMainWindow()->Pop(this);
    mHost.ClearTimedMessage();
    mShown = false;
    const cDelegate completion = mCompletion;
    mCompletion.Clear();
    completion.Invoke(result, this);
    SetSample(nullptr);
}

void cWidgetSampler::PlaySample()
{
    if (!mSample || !gAuditionPlayer)
        return;
    if (IsTabShown(kTabEffects))
    {
        cScopedAudioLock lock;
        gAuditionPlayer->SetUseEffects(true);
        gAuditionPlayer->PlaySample(mSample, gAuditionPlayer->IsLooping() ? 1 : 0, 0, cAuditionPlayer::kEndOfSample,
                                    0);
        return;
    }
    const cSampleEditModel& model = GetSampleEditor().GetModel();
    const int32_t loop = mTransportBar->IsLoopOn() ? 1 : 0;
    const int32_t start = model.GetSelectionStart();
    const int32_t end = model.GetSelectionEnd();
    if (start == end)
        gAuditionPlayer->PlaySample(mSample, loop, 0, model.GetFrames(), start);
    else
        gAuditionPlayer->PlaySample(mSample, loop, start, end, start);
}

int32_t cWidgetSampler::GetSampleMode() const
{
    return IsTabShown(kTabSample) ? mPanelSample->GetMode() : 0;
}

bool cWidgetSampler::IsTabShown(int32_t tab) const
{
    return mShown && IsVisible() && mTabView->GetSelectedPage() == tab;
}

intptr_t cWidgetSampler::OnTabChanged(intptr_t page, cWidgetSystemTabView*)
{
    if (!gAuditionPlayer)
        return 0;
    // The rack the Effects tab edits is heard only there.
    cScopedAudioLock lock;
    gAuditionPlayer->SetUseEffects(page == kTabEffects && gAuditionPlayer->IsActive());
    return 0;
}

void cWidgetSampler::OnLayout()
{
    const cRect& rect = GetRect();
    const float barWidth = mTransportBar->GetBarWidth();
    mTransportBar->SetAnchors(kAnchorsFromRightEdge, -barWidth, 0.0f, barWidth, mTransportBar->GetBarHeight());
    const float width = rect.xMax - rect.xMin;
    mTabView->tabSize = std::min((width - barWidth) / float(kTabCount) - kTabSpacing, kTabWidth);
}
