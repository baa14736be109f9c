#include <gtest/gtest.h>

#include "MainScreenFixture.h"
#include "app/AppTriggerPadHost.h"
#include "app/WidgetKeyboard.h"
#include "project/ui/WidgetFileBrowser.h"
#include "sampler/WidgetMixdown.h"
#include "audio/Transport.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetModalContainer.h"

namespace
{
using MainScreenTest::cKeptEventsInstrument;

class MainUITest : public MainScreenFixture
{
protected:
    void Post(void* sender, int32_t type, int32_t value)
    {
        engine->messages->Push({sender, type, value});
        engine->messages->Dispatch(cDelegate(ui.get(), &cMainUI::HandleMessage));
    }
    // Frames drawn while the bar's message shows.
    int FramesShowing()
    {
        int frames = 0;
        for (Frame(); bar->GetMessageTimer() > 0.0f && frames < 1000; Frame())
            ++frames;
        return frames;
    }
    int VisiblePages() const
    {
        int visible = 0;
        for (cWidget* page = ui->GetMainWindow()->GetFirstChild(); page; page = page->GetNext())
            visible += page->IsVisible() ? 1 : 0;
        return visible;
    }
};

TEST_F(MainUITest, FolderProtectionByTableThenProjectFolderThenDefault)
{
    ui->SetCurrentProjectPath("User/Projects/Song.prj");
    const struct
    {
        const char* path;
        int32_t protection;
    } cases[] = {
        {"", 0},
        {"User", 0},
        {"User/Projects", 1},
        {"User/Projects/", 1},
        {"user/projects", 1},
        {"User/Samples", 1},
        {"User/VRX Banks/Default Kit", 4},
        {"User/VRX Banks/Veldmoor", 1},
        {"User/VRX Banks/Mine", 3},
        {"User/Samples/Kest Factory Drums", 4},
        {"User/Other", 3},
        {"User/Projects/Song.prj", 0},
        {"User/Projects/Song.prj/", 0},
        {"User/Projects/Song.prj/Samples/kick.wav", 0},
        {"user/projects/song.prj/kick.wav", 0},
        // Another folder whose name begins like the project's is not inside it.
        {"User/Projects/Song.prj copy.prj", 3},
        {"User/Projects/Song.prjx", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFolderProtection(c.path), c.protection) << c.path;

    ui->SetCurrentProjectPath("");
    EXPECT_EQ(GetFolderProtection("User/Projects/Song.prj"), 3);
}

TEST_F(MainUITest, LastFolderKeepsTheFolderWithItsSeparator)
{
    const struct
    {
        const char* path;
        const char* folder;
    } cases[] = {
        {"User/Samples/Drums/kick.wav", "User/Samples/Drums/"},
        {"User\\Samples\\snare.wav", "User\\Samples\\"},
        {"kick.wav", ""},
    };
    for (const auto& c : cases)
    {
        ui->SetLastFolder(c.path);
        EXPECT_STREQ(ui->GetLastFolder(), c.folder) << c.path;
    }
}

TEST_F(MainUITest, ShowPageShowsOneChildOfTheMainWindow)
{
    cWidget* sequencerPage = new cWidget();
    cWidget* setupPage = new cWidget();
    ui->SetSequencerPage(sequencerPage);
    ui->SetSetupPage(setupPage);
    sequencerPage->Release();
    setupPage->Release();
    ui->AddPage(engine->mixer->GetUserInterface());
    ui->AddPage(engine->pads->GetUserInterface());
    EXPECT_EQ(ui->GetMainWindow()->GetFirstChild(), sequencerPage);
    EXPECT_EQ(sequencerPage->GetNext(), setupPage);

    ui->ShowSetupPage();
    EXPECT_EQ(VisiblePages(), 1);
    EXPECT_TRUE(setupPage->IsVisible());
    EXPECT_TRUE(setupPage->HasFlags(kWidgetNotYetDrawn | kWidgetStateDirty));

    ui->ShowPage(engine->pads->GetUserInterface());
    EXPECT_EQ(VisiblePages(), 1);
    EXPECT_TRUE(engine->pads->GetUserInterface()->IsVisible());

    // A widget that is no page shows the sequencer page.
    cWidget* stranger = new cWidget();
    ui->ShowPage(stranger);
    stranger->Release();
    EXPECT_EQ(VisiblePages(), 1);
    EXPECT_TRUE(sequencerPage->IsVisible());
    ui->RemovePage(engine->mixer->GetUserInterface());
    ui->RemovePage(engine->pads->GetUserInterface());
}

TEST_F(MainUITest, APageNotBuiltHidesEveryPage)
{
    ui->AddPage(engine->mixer->GetUserInterface());
    ui->ShowPage(engine->mixer->GetUserInterface());
    ASSERT_EQ(VisiblePages(), 1);
    ui->ShowSequencerPage();
    EXPECT_EQ(VisiblePages(), 0);
    ui->RemovePage(engine->mixer->GetUserInterface());
}

TEST_F(MainUITest, PresetMessagesNameTheInstrumentOnlyWhileItIsInTheTable)
{
    cKeptEventsInstrument* synth = engine->Put(2, engine->synth);
    Post(synth->GetModule(), cMessageQueue::kTypePresetChanged, 0);
    EXPECT_STREQ(bar->GetMessageText(), "Kest : Warm Pad");
    EXPECT_FALSE(bar->IsMessageBlinking());
    EXPECT_EQ(FramesShowing(), 45);

    // The module went with its instrument before the message was read.
    cAudioModule* gone = synth->GetModule();
    engine->Empty(2);
    Post(gone, cMessageQueue::kTypePresetChanged, 0);
    EXPECT_EQ(bar->GetMessageTimer(), 0.0f);
}

TEST_F(MainUITest, ChannelMessagesCountFromOne)
{
    Post(nullptr, cMessageQueue::kTypeMIDIChannel, 0);
    EXPECT_STREQ(bar->GetMessageText(), "VuvozIvuvedu MIDI Channel 1");
    EXPECT_FLOAT_EQ(bar->GetMessageTimer(), 1.5f);
}

TEST_F(MainUITest, TrackStepsGoToTheNextSlotOnTheChannelAndIgnoreChannelsOutOfRange)
{
    cProject* project = engine->OpenProject();
    // Slots 2 and 4 listen to channel 7; 3 too, but it is empty.
    project->GetTrackMap().SetChannel(2, 7);
    project->GetTrackMap().SetChannel(3, 7);
    project->GetTrackMap().SetChannel(4, 7);
    engine->Empty(3);
    menu->SelectPage(cWidgetMainMenu::kPageSong, 0);

    Post(nullptr, cMessageQueue::kTypeStepTrack, 7);
    EXPECT_EQ(menu->GetSelectedSlot(), 2);
    EXPECT_EQ(menu->GetPageType(), cWidgetMainMenu::kPageInstrument);
    Post(nullptr, cMessageQueue::kTypeStepTrack, 7);
    EXPECT_EQ(menu->GetSelectedSlot(), 4);
    Post(nullptr, cMessageQueue::kTypeStepTrack, 7);
    EXPECT_EQ(menu->GetSelectedSlot(), 2);

    for (int32_t channel : {-1, 16, 1000})
    {
        Post(nullptr, cMessageQueue::kTypeStepTrack, channel);
        EXPECT_EQ(menu->GetSelectedSlot(), 2) << channel;
    }
}

TEST_F(MainUITest, InstrumentStepsWalkToTheNextOccupiedSlotEachWay)
{
    engine->Put(0, engine->mixer);
    engine->Put(3, engine->synth);
    engine->Put(9, engine->pads);
    menu->SelectPage(cWidgetMainMenu::kPageInstrument, 3);

    const struct
    {
        int32_t forward;
        int32_t selected;
    } steps[] = {{1, 9}, {1, 9}, {0, 3}, {0, 0}, {0, 0}};
    for (const auto& step : steps)
    {
        Post(nullptr, cMessageQueue::kTypeSelectInstrument, step.forward);
        EXPECT_EQ(menu->GetSelectedSlot(), step.selected);
    }
}

TEST_F(MainUITest, PageMessagesShowTheSongAndSetupPages)
{
    engine->Put(1, engine->pads);
    menu->SelectPage(cWidgetMainMenu::kPageInstrument, 1);

    Post(nullptr, cMessageQueue::kTypeShowSequencer, 0);
    EXPECT_EQ(menu->GetSelectedSlot(), -1);
    EXPECT_EQ(menu->GetPageType(), cWidgetMainMenu::kPageSong);
    EXPECT_EQ(menu->GetLastPageType(), cWidgetMainMenu::kPageSong);
    EXPECT_EQ(engine->midi->GetPageCode(), 5);

    Post(nullptr, cMessageQueue::kTypeShowSetup, 0);
    EXPECT_EQ(menu->GetPageType(), cWidgetMainMenu::kPageManage);
    EXPECT_EQ(menu->GetLastPageType(), cWidgetMainMenu::kPageSong);
    EXPECT_EQ(engine->midi->GetPageCode(), 4);

    // Types beyond the table are ignored.
    Post(nullptr, 6, 0);
    Post(nullptr, -1, 0);
    EXPECT_EQ(menu->GetPageType(), cWidgetMainMenu::kPageManage);
}

TEST_F(MainUITest, KnobValueTextsShowAsStatusMessages)
{
    cWidgetKnob* knob = Place(CreateEffectKnob({"Cutoff", kKnobContinuous, 0, 0, nullptr, 0, 0}, 0xffffffffu),
                              {200, 300, 300, 400});
    Frame();
    knob->SetValue(0.25f);
    Tap(1, 250, 350);
    EXPECT_STREQ(bar->GetMessageText(), "Cutoff = 0.25");
    EXPECT_FLOAT_EQ(bar->GetMessageTimer(), 1.5f);
}

// Pages below the main UI (the sample editor) write the bar's line and its
// messages through the host the main UI installs.
TEST_F(MainUITest, PagesReachTheStatusBarThroughItsHost)
{
    cStatusBarHost* host = GetStatusBarHost();
    ASSERT_EQ(host, static_cast<cStatusBarHost*>(ui.get()));
    host->SetTitleText("'Kick' (344KB, 2.0s, 44.1kHz 2ch)");
    EXPECT_STREQ(bar->GetTitleText().CStr(), "'Kick' (344KB, 2.0s, 44.1kHz 2ch)");
    host->ShowStatusMessage("Zoom All");
    EXPECT_STREQ(bar->GetMessageText(), "Zoom All");
    EXPECT_FLOAT_EQ(bar->GetMessageTimer(), 1.5f);
}

TEST_F(MainUITest, DropDownsOpenOnTheMainWindowAndTakeTheStatusBarOver)
{
    cWidgetKeyboard* keyboard = ui->GetKeyboard();
    cWidgetKeyboard::cRequest request;
    request.maxLength = 32;
    keyboard->Prompt(request, cDelegate());
    EXPECT_EQ(ui->GetMainWindow()->GetTopLayerWidget(), keyboard);
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeDialogue);
    bar->ShowMessage("note", 1.5f, false);
    Key(kKeyEscape);
    EXPECT_FALSE(ui->GetMainWindow()->HasLayer(keyboard));
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModePage);
    EXPECT_EQ(bar->GetMessageTimer(), 0.0f);
}

TEST_F(MainUITest, DialoguesWithATitleScreenGetASongPositionScreen)
{
    for (int32_t style : {int32_t(kDialogueTitleScreen), kDialogueTitleScreen | kDialogueSongPositionTitle})
    {
        cWidgetDialogue* dialogue = new cWidgetDialogue(style);
        auto* screen = dynamic_cast<cWidgetStatusBarScreen*>(dialogue->GetTitleScreen());
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->ShowsPosition(), (style & kDialogueSongPositionTitle) != 0);
        dialogue->SetName("Effect Chain");
        dialogue->SetTitleScreenText("Effect Chain");
        EXPECT_STREQ(screen->GetText(), "Effect Chain");
        dialogue->Release();
    }
}
} // namespace

namespace
{
// The vertices of a frame's draws, in order: the renderer shows a frame
// again only when they change.
std::vector<uint8_t> FrameBytes(const cCaptureRenderer& renderer)
{
    std::vector<uint8_t> bytes;
    for (const cCaptureRenderer::cDraw& draw : renderer.draws)
        bytes.insert(bytes.end(), draw.vertices.begin(), draw.vertices.end());
    return bytes;
}

TEST_F(MainUITest, AnIdleScreenDrawsTheSameFrameAgain)
{
    engine->OpenProject();
    menu->SelectPage(cWidgetMainMenu::kPageInstrument, 1);
    Frame(60);
    const std::vector<uint8_t> first = FrameBytes(renderer);
    for (int frame = 0; frame < 120; ++frame)
    {
        Frame();
        ASSERT_EQ(FrameBytes(renderer), first) << "frame " << frame;
    }
}
} // namespace

// The one mixdown dialogue drops onto the main window titled with the open
// project's name, and the status bar's back button closes it.
TEST_F(MainUITest, TheMixdownDialogueDropsOntoTheMainWindow)
{
    const std::string title = std::string("Mixdown '") + engine->OpenProject()->GetName().CStr() + "'";
    cWidgetMixdown* mixdown = ui->GetMixdown();
    ASSERT_NE(mixdown, nullptr);
    mixdown->Show();
    Frame(30);
    EXPECT_TRUE(ui->GetMainWindow()->HasLayer(mixdown));
    EXPECT_EQ(mixdown->GetName(), title);
    EXPECT_EQ(bar->GetTitleText().CStr(), title);
    TapButton(cWidgetStatusBar::kBack);
    Frame(30);
    EXPECT_FALSE(ui->GetMainWindow()->HasLayer(mixdown));
    EXPECT_FALSE(mixdown->IsOpen());
}

// "Mixdown" asks the shared file browser for the output under
// "User/Mixdowns"; leaving it renders nothing.
TEST_F(MainUITest, TheMixdownAsksTheFileBrowserForItsOutput)
{
    ASSERT_NE(engine->OpenProject(), nullptr);
    cWidgetMixdown* mixdown = ui->GetMixdown();
    cWidgetFileBrowser* browser = ui->GetFileBrowser();
    mixdown->Show();
    Frame(30);
    TapAt(Centre(mixdown->GetMixdownButton()->GetRect()));
    Frame(30);
    EXPECT_TRUE(ui->GetMainWindow()->HasLayer(browser));
    EXPECT_EQ(browser->GetName(), std::string("Mixdown File"));
    EXPECT_STREQ(browser->rootFolder.CStr(), "User/Mixdowns");
    EXPECT_STREQ(browser->extension.CStr(), "wav");
    EXPECT_EQ(browser->GetFlags(), 0x16u);
    EXPECT_EQ(mixdown->GetState(), cWidgetMixdown::kStateRendering);
    // The name prompt that opens at once, then the browser.
    for (int i = 0; i < 3 && ui->GetMainWindow()->HasLayer(browser); ++i)
    {
        TapButton(cWidgetStatusBar::kBack);
        Frame(30);
    }
    EXPECT_FALSE(ui->GetMainWindow()->HasLayer(browser));
    EXPECT_EQ(mixdown->GetState(), cWidgetMixdown::kStateIdle);
}

// The pad editor's export question reaches the shared file browser as asked;
// leaving the browser answers 0 with no path.
TEST_F(MainUITest, ThePadEditorAsksTheFileBrowser)
{
    ASSERT_NE(engine->OpenProject(), nullptr);
    struct cAnswer
    {
        intptr_t Done(int32_t result, const char* chosen)
        {
            ++calls;
            code = result;
            path = chosen ? chosen : "(null)";
            return 0;
        }
        int calls = 0;
        int32_t code = -1;
        std::string path;
    } answer;
    cTriggerPadBrowserRequest request;
    request.title = "Export Bank";
    request.rootFolder = "User/VRX Banks";
    request.path.AssignCStr("User/VRX Banks/Kit 1.vrx");
    request.actionLabel = "Export";
    request.extension = "vrx";
    request.AddPackageType("vrx", nullptr);
    request.AddFileType("???", nullptr);
    request.flags = 2;
    cAppTriggerPadHost host;
    ASSERT_TRUE(host.ShowFileBrowser(request, cDelegate(&answer, &cAnswer::Done)));
    Frame(30);
    cWidgetFileBrowser* browser = ui->GetFileBrowser();
    EXPECT_TRUE(ui->GetMainWindow()->HasLayer(browser));
    EXPECT_EQ(browser->GetName(), std::string("Export Bank"));
    EXPECT_STREQ(browser->rootFolder.CStr(), "User/VRX Banks");
    EXPECT_STREQ(browser->extension.CStr(), "vrx");
    EXPECT_STREQ(browser->actionLabel.CStr(), "Export");
    EXPECT_EQ(browser->GetFlags(), 2u);
    EXPECT_EQ(answer.calls, 0);
    for (int i = 0; i < 3 && ui->GetMainWindow()->HasLayer(browser); ++i)
    {
        TapButton(cWidgetStatusBar::kBack);
        Frame(30);
    }
    EXPECT_FALSE(ui->GetMainWindow()->HasLayer(browser));
    EXPECT_EQ(answer.calls, 1);
    EXPECT_EQ(answer.code, 0);
    EXPECT_EQ(answer.path, "");
}
