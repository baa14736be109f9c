#include "app/SetupPanelDebug.h"

#include "app/MainUI.h"
#include "audio/SampleRegistry.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectFolders.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr uint32_t kButtonStyle = 17;
// Every edge measured from the page's top-left corner.
constexpr uint32_t kFromTopLeft = 0x3333;
constexpr int kWideButtonSprite = 18;
constexpr int kStandardButtonSprite = 12;
constexpr int kAudioFileIconSprite = 461;
constexpr int32_t kBrowseFlags = 0x21;
constexpr int32_t kFailureAlertStyle = 0x600;
constexpr const char* kCannotReadSoundFonts = "SoundFont files can't be read here.";

cSetupPanelDebug::cFileChooser* sFileChooser = nullptr;

cProject* CurrentProject()
{
    const cProjectList* projects = cProjectList::GetInstance();
    return projects ? projects->GetCurrentProject() : nullptr;
}
} // namespace

cSetupPanelDebug::cLoadSoundFont::cLoadSoundFont(cProject* owner, const char* file) : project(owner), path(file) {}

void cSetupPanelDebug::cLoadSoundFont::Run(JobQueue::cJobQueue*)
{
    success = false;
    errorText = kCannotReadSoundFonts;
}

void cSetupPanelDebug::SetFileChooser(cFileChooser* chooser) { sFileChooser = chooser; }

cSetupPanelDebug::cSetupPanelDebug()
{
    AddButton("Note kill", kButtonPush, kNoteKill, 35.0f, 50.0f);
    AddButton("Profiler", kButtonCycle, kProfiler, 35.0f, 115.0f);
    AddButton("Samples", kButtonPush, kSamples, 35.0f, 180.0f);
    AddButton("Files", kButtonPush, kFiles, 165.0f, 50.0f);
    AddButton("SoundFont", kButtonPush, kSoundFont, 165.0f, 115.0f);
}

cSetupPanelDebug::~cSetupPanelDebug()
{
    for (cWidgetButton* button : mButtons)
        button->Release();
}

cWidgetButton* cSetupPanelDebug::AddButton(const char* label, int32_t mode, int32_t tag, float x, float y)
{
    cWidgetButton* button = CreateButton(label, mode, kButtonStyle);
    button->SetTag(tag);
    button->clickDelegate = cDelegate(this, &cSetupPanelDebug::OnButton);
    button->SetAnchors(kFromTopLeft, x, y, x + gTex8888AtlasTable[kWideButtonSprite].width,
                       y + gTex8888AtlasTable[kStandardButtonSprite].height);
    AddChild(button);
    mButtons[tag] = button;
    return button;
}

void cSetupPanelDebug::OnStateChange() { mBrowseState = kBrowseIdle; }

void cSetupPanelDebug::OnButton(int32_t lit, cWidgetButton* button)
{
    if (!CurrentProject())
    {
        // The profiler is a cycle button: its press is taken back.
        mButtons[kProfiler]->value = gSettings.debug ? 1 : 0;
        return;
    }
    switch (button->GetTag())
    {
    case kProfiler:
        gSettings.debug = lit != 0;
        break;
    case kNoteKill:
        StopAllInstruments(kStopAllForChange);
        break;
    case kSamples:
        cSampleRegistry::DumpAll();
        break;
    case kFiles:
        Browse(kBrowseFiles, {"File Browser", "", "", "", nullptr, kBrowseFlags});
        break;
    case kSoundFont:
        Browse(kBrowseSoundFont, {"Load SoundFont", "User", "User/SoundFonts", "sf2",
                                  &gTex8888AtlasTable[kAudioFileIconSprite], kBrowseFlags});
        break;
    default:
        break;
    }
}

void cSetupPanelDebug::Browse(int32_t state, const cBrowseRequest& request)
{
    if (!sFileChooser)
        return;
    mBrowseState = state;
    sFileChooser->Browse(request, cDelegate(this, &cSetupPanelDebug::OnBrowserDone));
}

// A finished plain browse leaves the state at 0; a closed SoundFont browse
// goes back to idle.
void cSetupPanelDebug::OnBrowserDone(int32_t result, const char* path)
{
    cProject* project = CurrentProject();
    if (!project)
        mBrowseState = kBrowseIdle;
    else if (mBrowseState != kBrowseSoundFont)
        mBrowseState = kBrowseDone;
    else if (result == kBrowserResultChosen && path)
        StartLoadSoundFont(project, path);
    else
        mBrowseState = kBrowseIdle;
}

void cSetupPanelDebug::StartLoadSoundFont(cProject* project, const char* path)
{
    cMainUI* ui = cMainUI::GetInstance();
    cWidgetProgress* overlay = ui ? ui->GetProgress() : nullptr;
    if (!overlay)
    {
        mBrowseState = kBrowseIdle;
        return;
    }
    overlay->Setup(0);
    overlay->SetJob(new cLoadSoundFont(project, path));
    overlay->Start(cDelegate(this, &cSetupPanelDebug::OnLoadSoundFontDone));
}

void cSetupPanelDebug::OnLoadSoundFontDone(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    auto* load = static_cast<cLoadSoundFont*>(job);
    if (mBrowseState == kBrowseSoundFont)
    {
        cGenStringFixed<260> name(load->path);
        GetProjectDisplayName(name);
        if (load->success)
        {
            cGenStringFixed<300> message;
            message.Printf("Loaded Soundfont '%s'", name.CStr());
            if (cMainUI* ui = cMainUI::GetInstance())
                ui->ShowTimedMessage(message.CStr(), kLoadedMessageSeconds, false);
        }
        else
            ShowLoadFailure(name.CStr(), load->errorText.CStr());
        ModifyFlags(kWidgetStateDirty, 0, false);
    }
    mBrowseState = kBrowseIdle;
    delete load;
}

void cSetupPanelDebug::ShowLoadFailure(const char* name, const char* reason)
{
    cMainUI* ui = cMainUI::GetInstance();
    cWidgetAlert* alert = ui ? ui->GetAlert() : nullptr;
    if (!alert)
        return;
    alert->Reset(kFailureAlertStyle);
    cGenStringFixed<300> title;
    title.Printf("Failed to load soundfont '%s'", name);
    alert->SetName(title.CStr());
    alert->secondLine = reason;
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

bool cSetupPanelDebug::Draw(cDrawList& list)
{
    DrawBackground(list);
    SetStatusTitle("Debug Settings");
    return false;
}
