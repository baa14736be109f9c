#include <gtest/gtest.h>

#include <filesystem>

#include "BrowserFixture.h"
#include "RecordingHost.h"
#include "audio/Sample.h"
#include "mixer/EffectUnits.h"
#include "project/ProjectList.h"
#include "project/ui/SetupPanelProject.h"
#include "ui/WidgetSpinButton.h"

namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;
using Page = cSetupPanelProject;

// The project page on the whole screen over the engine as start-up leaves
// it, its project "Song" open at "User/Projects/Song.prj". Without a job
// thread the overlay runs each job at once and completes it a frame later.
class ProjectPageTest : public BrowserFixture
{
protected:
    ProjectPageTest()
    {
        fs::remove_all(Native("User/Projects/Song.prj"));
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        kest = new cStandInPackage("Kest");
        packages->AddPackage(kest);
        packages->AddPackage(new cMixingDeskPackage());
        packages->AddPackage(new cStandInPackage("VRX"));
        new cProjectList();
        project = cProjectList::GetInstance()->NewProject();
        project->NewDefault(cGenString("User/Projects/Song.prj"), 0);
        project->Activate();
        page = Place(new Page(&host), {0.0f, 0.0f, 1024.0f, 768.0f});
        Frame(2);
    }
    ~ProjectPageTest() override
    {
        root->RemoveAllChildren();
        delete cProjectList::GetInstance();
        delete cInstrumentSlotTable::GetInstance();
        delete cInstrumentPackageRegistry::GetInstance();
        delete cSequencer::GetInstance();
        DeleteEffectPackages();
        FreeShapeTables();
    }

    void TapWidget(cWidget* widget)
    {
        const cRect& rect = widget->GetRect();
        Tap(1, (rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f);
        Frame();
    }
    void TapPage(int32_t button) { TapWidget(page->GetButton(button)); }
    // Through the overlay to the job's completion and the frames after it.
    void RunJob()
    {
        FinishJob();
        Frame(2);
    }
    void SaveSong()
    {
        project->SetModified(true);
        Frame();
        TapPage(Page::kButtonSave);
        RunJob();
    }
    std::string Title() const { return host.alert->GetName(); }
    cStandInPackage* kest = nullptr;
    std::string LastMessage() const { return host.messages.empty() ? "" : host.messages.back(); }
    std::string ProjectPath() const { return project->GetPath().CStr(); }

    cRecordingHost projectHost;
    cProject* project = nullptr;
    Page* page = nullptr;
};

// What each button asks the shared browser for.
TEST_F(ProjectPageTest, EachFileButtonMakesItsBrowserRequest)
{
    SaveSong();
    Folder("User/Projects/Untitled-01.prj");
    struct cCase
    {
        int32_t button;
        const char* title;
        const char* offered;
        const char* extension;
        uint32_t flags;
        const char* fileShown;
        int32_t pending;
    };
    const cCase cases[] = {
        {Page::kButtonNew, "New Project", "Untitled-02.prj", "prj", 6, "x.???", Page::kPendingNew},
        {Page::kButtonSaveAs, "Save Project", "Song-02.prj", "prj", 6, "x.???", Page::kPendingSaveAs},
        {Page::kButtonExport, "Export Project", "Song.qpk", "qpk", 6, "x.qpk", Page::kPendingExport},
        {Page::kButtonLoad, "Load Project", "Song.prj", "", 1, "x.qpk", Page::kPendingLoad},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.title);
        TapPage(c.button);
        ASSERT_TRUE(browser->IsOpen());
        EXPECT_STREQ(browser->GetName(), c.title);
        EXPECT_STREQ(browser->rootFolder.CStr(), "User/Projects");
        EXPECT_STREQ(browser->GetCurrentFolder(), "User/Projects");
        // Saving names the file at once; loading selects it.
        const bool naming = (c.flags & cWidgetFileBrowser::kFlagNameAtOnce) != 0;
        EXPECT_EQ(naming ? std::string(host.prompts.back().text.CStr())
                         : browser->GetEntries()[size_t(browser->GetSelection())].name,
                  c.offered);
        EXPECT_STREQ(browser->extension.CStr(), c.extension);
        EXPECT_EQ(browser->GetFlags(), c.flags);
        EXPECT_TRUE(browser->PassesFileFilter(c.fileShown));
        EXPECT_FALSE(browser->PassesFileFilter("x.wav"));
        EXPECT_GE(browser->FindPackageType("Other.prj"), 0) << "projects are packages";
        EXPECT_EQ(page->GetPendingAction(), c.pending);
        if (naming)
            host.Answer(cFileBrowserHost::kPromptCancelled);
        else
            browser->Cancel();
        Frame(30);
        EXPECT_EQ(page->GetPendingAction(), Page::kPendingNone) << "a cancelled browser ends the action";
    }
}

// "New" and "Load" with unsaved changes ask first; the answer decides.
TEST_F(ProjectPageTest, UnsavedChangesAreOfferedForSavingBeforeNewOrLoad)
{
    struct cCase
    {
        int32_t button;
        const char* question;
        int32_t answer;
        bool saved;
        const char* browserTitle;
        int32_t pending;
    };
    const cCase cases[] = {
        {Page::kButtonNew, "New Project", kAlertNo, false, "New Project", Page::kPendingNew},
        {Page::kButtonNew, "New Project", kAlertCancel, false, nullptr, Page::kPendingNone},
        {Page::kButtonNew, "New Project", kAlertOK, true, "New Project", Page::kPendingNew},
        {Page::kButtonLoad, "Load Project", kAlertNo, false, "Load Project", Page::kPendingLoad},
        {Page::kButtonLoad, "Load Project", kAlertCancel, false, nullptr, Page::kPendingNone},
        {Page::kButtonLoad, "Load Project", kAlertOK, true, "Load Project", Page::kPendingLoad},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.question) + " answered " + std::to_string(c.answer));
        fs::remove_all(Native("User/Projects/Song.prj"));
        host.messages.clear();
        project->SetModified(true);
        TapPage(c.button);
        ASSERT_TRUE(host.alert->IsShown());
        EXPECT_EQ(Title(), c.question);
        EXPECT_EQ(AlertLines(), "Save changes to 'Song'? / ");
        AnswerAlert(c.answer);
        RunJob();
        EXPECT_EQ(Exists("User/Projects/Song.prj/Package.prj"), c.saved);
        EXPECT_EQ(LastMessage(), c.saved ? "Saved Project 'Song'" : "");
        EXPECT_EQ(project->IsModified(), !c.saved);
        EXPECT_EQ(browser->IsOpen(), c.browserTitle != nullptr);
        if (c.browserTitle)
        {
            EXPECT_STREQ(browser->GetName(), c.browserTitle);
        }
        EXPECT_EQ(page->GetPendingAction(), c.pending);
        if (browser->IsOpen() && host.keyboardOpen)
            host.Answer(cFileBrowserHost::kPromptCancelled);
        browser->Close();
        Frame(30);
    }
}

// A save that fails before "New" or "Load" ends there: the browser that
// would lead to discarding the unsaved project does not open.
TEST_F(ProjectPageTest, AFailedSaveBeforeNewOrLoadStopsAtItsAlert)
{
    fs::remove_all(Native("User/Projects/Song.prj"));
    Touch("User/Projects/Song.prj", "a file where the folder belongs");
    for (int32_t button : {Page::kButtonNew, Page::kButtonLoad})
    {
        SCOPED_TRACE(button);
        project->SetModified(true);
        TapPage(button);
        AnswerAlert(kAlertOK);
        RunJob();
        ASSERT_TRUE(host.alert->IsShown());
        EXPECT_EQ(Title(), "Failed to Save Project 'Song'");
        EXPECT_FALSE(host.alert->firstLine.IsEmpty()) << "the job's error text";
        EXPECT_FALSE(browser->IsOpen());
        EXPECT_EQ(page->GetPendingAction(), Page::kPendingNone);
        EXPECT_TRUE(project->IsModified());
        EXPECT_EQ(ProjectPath(), "User/Projects/Song.prj");
        AnswerAlert(kAlertOK);
        EXPECT_FALSE(browser->IsOpen());
    }
}

TEST_F(ProjectPageTest, SaveIsOfferedOnlyWhileTheProjectIsModifiedAndWritable)
{
    cWidgetButton* save = page->GetButton(Page::kButtonSave);
    EXPECT_FALSE(save->IsEnabled());
    project->SetModified(true);
    Frame();
    EXPECT_TRUE(save->IsEnabled());
    host.protections["User/Projects/Song.prj"] = 4;
    Frame();
    EXPECT_FALSE(save->IsEnabled()) << "read-only";
    host.protections.clear();
    Frame();
    TapPage(Page::kButtonSave);
    RunJob();
    EXPECT_EQ(LastMessage(), "Saved Project 'Song'");
    EXPECT_EQ(host.recentProjects, (std::vector<std::string>{"User/Projects/Song.prj"}))
        << "never forgotten while the job runs, remembered once it succeeded";
    EXPECT_FALSE(save->IsEnabled());
}

// The spin button's arrows, tapped, stop at an octave less a semitone.
TEST_F(ProjectPageTest, KeyTransposeStopsAtElevenEachWayAndMarksTheProjectModified)
{
    cWidgetSpinButton* spin = page->GetTransposeSpin();
    auto tap = [&](const cRect& zone)
    {
        const float x = (zone.xMin + zone.xMax) * 0.5f, y = (zone.yMin + zone.yMax) * 0.5f;
        Down(1, x, y);
        Frame();
        Up(1, x, y);
        Frame();
    };
    for (int i = 0; i < 13; ++i)
        tap(spin->GetUpZone());
    EXPECT_EQ(project->GetTranspose(), 11);
    EXPECT_STREQ(spin->GetText(), "11");
    EXPECT_TRUE(project->IsModified());
    for (int i = 0; i < 25; ++i)
        tap(spin->GetDownZone());
    EXPECT_EQ(project->GetTranspose(), -11);
    EXPECT_STREQ(spin->GetText(), "-11");
}

TEST_F(ProjectPageTest, TheMetersShowSampleMemoryAndTheAudioLoad)
{
    struct cCase
    {
        int32_t frames;
        const char* text;
        float fraction;
    };
    const cCase cases[] = {
        {0, "Samples 0KB", 0.0f},
        {524288, "Samples 1024KB", 1.0f / 120.0f},
        {1048576, "Samples 2MB", 1.0f / 60.0f},
    };
    for (const cCase& c : cases)
    {
        cSample* sample = c.frames ? cSample::Create("User/Samples/Big.wav", 16, 1, 44100, c.frames) : nullptr;
        page->ModifyFlags(kWidgetStateDirty, 0, false);
        Frame();
        EXPECT_STREQ(page->GetSampleText(), c.text);
        EXPECT_FLOAT_EQ(page->GetSampleFraction(), c.fraction);
        if (sample)
            sample->Release();
    }
    EXPECT_STREQ(page->GetCPUText(), "Audio CPU 0%");
    EXPECT_FALSE(page->GetButton(Page::kButtonMixdown)->IsEnabled()) << "no audio";
    page->OnButton(0, page->GetButton(Page::kButtonMixdown));
    EXPECT_EQ(host.mixdownShown, 1);
}

TEST_F(ProjectPageTest, TheTitleNamesTheProjectUnlessItIsEmpty)
{
    EXPECT_EQ(host.title, "Project 'Song'");
    project->NewDefault(cGenString("User/Projects/empty.prj"), 0);
    Frame();
    EXPECT_EQ(host.title, "");
}

// Hidden, but for the record: e-mail is not offered on this platform.
TEST_F(ProjectPageTest, ShareAndEmailAreHiddenAndEmailIsUnavailable)
{
    EXPECT_FALSE(page->GetButton(Page::kButtonShare)->IsVisible());
    EXPECT_FALSE(page->GetButton(Page::kButtonEmail)->IsVisible());
    // Nothing presses the hidden "Share"; pressed, it opens the share page with 0.
    page->OnButton(0, page->GetButton(Page::kButtonShare));
    EXPECT_EQ(host.sharePagesShown, std::vector<float>{0.0f});
    page->OnButton(0, page->GetButton(Page::kButtonEmail));
    Frame();
    EXPECT_EQ(Title(), "Email File");
    EXPECT_EQ(AlertLines(), "Email services are unavailable. / ");
    AnswerAlert(kAlertOK);
    EXPECT_EQ(page->GetPendingAction(), Page::kPendingNone);
}

// From a new project to its archive and back: each step's words and files.
TEST_F(ProjectPageTest, NewSaveAsExportAndImportEachSayWhatTheyDid)
{
    TapPage(Page::kButtonNew);
    host.Enter("My Song");
    Frame();
    EXPECT_EQ(LastMessage(), "Created 'My Song'");
    EXPECT_EQ(ProjectPath(), "User/Projects/My Song.prj");
    EXPECT_EQ(host.recentProjects.back(), "User/Projects/My Song.prj");
    EXPECT_TRUE(project->IsActive());

    TapPage(Page::kButtonSaveAs);
    host.Enter("Second");
    RunJob();
    EXPECT_EQ(LastMessage(), "Saved Project 'Second'");
    EXPECT_TRUE(Exists("User/Projects/Second.prj/Package.prj"));
    EXPECT_EQ(projectHost.currentPath, "User/Projects/Second.prj") << "the folders' protection follows the project";

    TapPage(Page::kButtonExport);
    host.Enter("Second");
    RunJob();
    ASSERT_TRUE(host.alert->IsShown());
    EXPECT_EQ(Title(), "Exported Project 'Second.qpk'");
    EXPECT_EQ(AlertLines(),
              "You can keep this file as a backup of your project / or transfer it to your device using Dockline.");
    EXPECT_TRUE(host.alert->GetButton(kAlertOther)->IsVisible());
    AnswerAlert(kAlertOther);
    EXPECT_EQ(host.openedFolders, (std::vector<std::string>{Documents() + "/User/Projects/"}));
    EXPECT_TRUE(Exists("User/Projects/Second.qpk"));

    TapPage(Page::kButtonLoad);
    SelectRow("Second.qpk");
    browser->Accept();
    RunJob();
    EXPECT_EQ(LastMessage(), "Loaded Project 'Second-02'");
    EXPECT_EQ(Title(), "Imported Project Successfully");
    EXPECT_EQ(AlertLines(), "Project was renamed to 'Second-02' / ");
    EXPECT_EQ(ProjectPath(), "User/Projects/Second-02.prj");
    EXPECT_EQ(host.recentProjects.back(), "User/Projects/Second-02.prj");
    EXPECT_TRUE(project->IsActive());
}

// The project that does not load is replaced by a fresh untitled one, so the
// program always has a project.
TEST_F(ProjectPageTest, AFailedLoadLeavesAFreshUntitledProject)
{
    Touch("User/Projects/Broken.prj/Package.prj", "not a project");
    TapPage(Page::kButtonLoad);
    SelectRow("Broken.prj");
    browser->Accept();
    RunJob();
    ASSERT_TRUE(host.alert->IsShown());
    EXPECT_EQ(Title(), "Failed to load project 'Broken'");
    EXPECT_FALSE(host.alert->firstLine.IsEmpty());
    EXPECT_EQ(ProjectPath(), "User/Projects/Untitled-01.prj");
    EXPECT_EQ(host.recentProjects.back(), "User/Projects/Untitled-01.prj");
    EXPECT_TRUE(project->IsActive());
    EXPECT_EQ(page->GetPendingAction(), Page::kPendingNone);
}
// A project whose bank does not load is loaded all the same and stays the
// recent project; the alert names the bank and its fault.
TEST_F(ProjectPageTest, AProjectWhoseBankDoesNotLoadLoadsAndSaysWhy)
{
    SaveSong();
    kest->loadError = "Couldn't load the sound bank 'Kest.bnk': Kest bank file is not the expected size.";
    TapPage(Page::kButtonLoad);
    SelectRow("Song.prj");
    browser->Accept();
    RunJob();
    EXPECT_EQ(LastMessage(), "Loaded Project 'Song'");
    ASSERT_TRUE(host.alert->IsShown());
    EXPECT_EQ(Title(), "Sound Bank Not Loaded");
    const std::string lines = AlertLines();
    EXPECT_NE(lines.find("Couldn't load the sound bank 'Kest.bnk':"), std::string::npos) << lines;
    EXPECT_NE(lines.find("Kest bank file is not the expected size."), std::string::npos) << lines;
    EXPECT_EQ(ProjectPath(), "User/Projects/Song.prj");
    EXPECT_EQ(host.recentProjects.back(), "User/Projects/Song.prj");
    EXPECT_TRUE(project->IsActive());
    kest->loadError = nullptr;
}
} // namespace
} // namespace ProjectTest
