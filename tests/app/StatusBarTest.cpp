#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "app/MainScreenSprites.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "audio/AudioEvent.h"
#include "editors/SongSettingsUI.h"
#include "platform/GlobalSettingValues.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
class StatusBarTest : public MainScreenFixture
{
protected:
    ~StatusBarTest() override { cWidgetStatusBar::SetURLOpener(nullptr); }

    std::vector<int32_t> VisibleButtons() const
    {
        std::vector<int32_t> tags;
        for (int32_t tag = 0; tag < cWidgetStatusBar::kButtonCount; ++tag)
            if (bar->GetButton(tag)->IsVisible())
                tags.push_back(tag);
        return tags;
    }
    bool Lit(int32_t tag) const { return bar->GetButton(tag)->value != 0; }
    // Events the sequencer's queue holds are applied, as the audio thread would.
    void RunAudioBlock() { engine->sequencer->DrainEvents(); }
    void Play()
    {
        engine->sequencer->Play(0);
        Frame();
    }

public:
    std::vector<intptr_t> handled;
    intptr_t Handler1() { return handled.emplace_back(1); }
    intptr_t Handler2() { return handled.emplace_back(2); }
};

using Tags = std::vector<int32_t>;
constexpr int32_t kMenu = cWidgetStatusBar::kMenu, kSong = cWidgetStatusBar::kSong,
                  kMixer = cWidgetStatusBar::kMixer, kManage = cWidgetStatusBar::kManage,
                  kTempo = cWidgetStatusBar::kTempo, kLoop = cWidgetStatusBar::kLoop,
                  kClick = cWidgetStatusBar::kClick, kQuantize = cWidgetStatusBar::kQuantize,
                  kUndo = cWidgetStatusBar::kUndo, kStop = cWidgetStatusBar::kStop, kPlay = cWidgetStatusBar::kPlay,
                  kRecord = cWidgetStatusBar::kRecord, kBack = cWidgetStatusBar::kBack;

TEST_F(StatusBarTest, ButtonsByWidthAndDeviceClass)
{
    const struct
    {
        const char* name;
        int32_t deviceClass;
        float width, height;
        Tags shown;
        int32_t menuRows;
        float barHeight;
    } cases[] = {
        {"desktop 1024: every button but back", kDeviceClassDesktop, 1024, 768,
         {kMenu, kSong, kMixer, kManage, kTempo, kLoop, kClick, kQuantize, kUndo, kStop, kPlay, kRecord}, 2, 30},
        {"desktop 944 (k = 8): all five tools", kDeviceClassDesktop, 944, 600,
         {kMenu, kSong, kMixer, kManage, kTempo, kLoop, kClick, kQuantize, kUndo, kStop, kPlay, kRecord}, 2, 30},
        {"desktop 785 (k = 5): QUANTIZE and UNDO", kDeviceClassDesktop, 785, 600,
         {kMenu, kSong, kMixer, kManage, kQuantize, kUndo, kStop, kPlay, kRecord}, 2, 30},
        {"tablet 1024: of the tools QUANTIZE and UNDO", kDeviceClassTablet, 1024, 768,
         {kMenu, kSong, kMixer, kManage, kQuantize, kUndo, kStop, kPlay, kRecord}, 2, 40},
        {"phone 480: menu and transport only", kDeviceClassPhone, 480, 320, {kMenu, kStop, kPlay, kRecord}, 3, 30},
        {"phone 400: not even the menu", kDeviceClassPhone, 400, 320, {kStop, kPlay, kRecord}, 3, 30},
    };
    for (const auto& c : cases)
    {
        Build(c.deviceClass, c.width, c.height);
        EXPECT_EQ(VisibleButtons(), c.shown) << c.name;
        EXPECT_EQ(menu->GetRowCount(), c.menuRows) << c.name;
        EXPECT_FLOAT_EQ(bar->GetRect().yMax - bar->GetRect().yMin, c.barHeight) << c.name;
        EXPECT_FLOAT_EQ(ui->GetMainWindow()->GetRect().yMin, c.barHeight) << c.name;
        // The screen fills the gap between the last left and the first right button.
        const cRect& screen = bar->GetScreen()->GetRect();
        float left = 2.0f;
        for (int32_t tag : c.shown)
            if (tag >= kMenu && tag <= kManage)
                left = bar->GetButton(tag)->GetRect().xMax;
        EXPECT_FLOAT_EQ(screen.xMin, left) << c.name;
    }
}

TEST_F(StatusBarTest, TheMenuRowsAndHeightFollowTheLeftButtons)
{
    // Two rows and the even extra on the desktop: 28.8 + 20 + 6 + 20 + 64.
    EXPECT_FLOAT_EQ(menu->GetHeight(), 0.9f * 32.0f + 20.0f + 6.0f + 20.0f + 2.0f * 32.0f);
    Build(kDeviceClassPhone, 480, 320);
    EXPECT_FLOAT_EQ(menu->GetHeight(), 2.0f * 0.9f * 32.0f + 20.0f + 6.0f + 3.0f * 32.0f);
    OpenMenu();
    EXPECT_TRUE(menu->GetSongButton()->IsVisible());
    EXPECT_TRUE(menu->GetManageButton()->IsVisible());
}

TEST_F(StatusBarTest, ModesShowTheirButtonsAndStatesNestUpToEight)
{
    const struct
    {
        int32_t mode;
        Tags shown;
        bool position;
        bool enabled;
    } modes[] = {
        {cWidgetStatusBar::kModePage, {kMenu, kSong, kMixer, kManage, kTempo, kLoop, kClick, kQuantize, kUndo, kStop, kPlay, kRecord}, true, true},
        {cWidgetStatusBar::kModeDialogue, {kBack}, false, true},
        {cWidgetStatusBar::kModeDialogueWithTransport, {kBack, kStop, kPlay, kRecord}, true, true},
        {cWidgetStatusBar::kModeDisabled, {kMenu, kSong, kMixer, kManage, kTempo, kLoop, kClick, kQuantize, kUndo, kStop, kPlay, kRecord}, true, false},
    };
    for (const auto& m : modes)
    {
        bar->SetMode(m.mode);
        EXPECT_EQ(VisibleButtons(), m.shown) << m.mode;
        EXPECT_EQ(bar->GetScreen()->ShowsPosition(), m.position) << m.mode;
        EXPECT_EQ(bar->IsEnabled(), m.enabled) << m.mode;
    }
    bar->SetMode(cWidgetStatusBar::kModePage);

    // Nine pushes: the ninth is counted but changes nothing; its pop only uncounts.
    for (int i = 0; i < 8; ++i)
        bar->PushState(cDelegate(this, i % 2 ? &StatusBarTest::Handler2 : &StatusBarTest::Handler1), i == 7);
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeDialogueWithTransport);
    bar->PushState(cDelegate(this, &StatusBarTest::Handler1), false);
    EXPECT_EQ(bar->GetStateDepth(), 9);
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeDialogueWithTransport);
    Frame();
    TapButton(kBack);
    EXPECT_EQ(handled, std::vector<intptr_t>{2});
    bar->PopState();
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeDialogueWithTransport);
    for (int i = 0; i < 8; ++i)
        bar->PopState();
    EXPECT_EQ(bar->GetStateDepth(), 0);
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModePage);
    EXPECT_TRUE(bar->GetStateHandler().IsEmpty());
    bar->PopState();
    EXPECT_EQ(bar->GetStateDepth(), 0);
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModePage);

    bar->PushDisabledState();
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeDisabled);
    EXPECT_FALSE(bar->IsEnabled());
    bar->PopState();
    EXPECT_TRUE(bar->IsEnabled());
}

TEST_F(StatusBarTest, TheMenuButtonOpensTheMenuAndTheModeFollowsIt)
{
    TapButton(kMenu);
    EXPECT_TRUE(menu->IsVisible());
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeMenuOpen);
    TapButton(kMenu);
    Frame(12);
    EXPECT_FALSE(menu->IsVisible());
    EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModePage);
    EXPECT_EQ(bar->GetButton(kMenu)->value, 0);
}

TEST_F(StatusBarTest, BPMOpensTheTempoPopupBelowItWhichCountsAsAPopup)
{
    bar->SetMode(cWidgetStatusBar::kModePage);
    Frame();
    TapButton(kTempo);
    Frame();
    cSongSettingsPopup* popup = bar->GetTempoPopup();
    EXPECT_TRUE(popup->IsShown());
    EXPECT_TRUE(bar->IsPopupOpen());
    EXPECT_EQ(popup->GetAttachSide(), int32_t(kAttachBelow));
    EXPECT_TRUE(Lit(kTempo));
    TapButton(kTempo);
    Frame();
    EXPECT_FALSE(popup->IsShown());
    EXPECT_FALSE(bar->IsPopupOpen());
}

TEST_F(StatusBarTest, PageButtonsSelectTheirPagesAndLight)
{
    engine->Put(0, engine->mixer);
    const struct
    {
        int32_t tag;
        int32_t pageType;
        int32_t pageCode;
    } cases[] = {{kMixer, cWidgetMainMenu::kPageInstrument, 1},
                 {kSong, cWidgetMainMenu::kPageSong, 5},
                 {kManage, cWidgetMainMenu::kPageManage, 4}};
    for (const auto& c : cases)
    {
        OpenMenu();
        TapButton(c.tag);
        EXPECT_EQ(menu->GetPageType(), c.pageType) << c.tag;
        EXPECT_EQ(engine->midi->GetPageCode(), c.pageCode) << c.tag;
        EXPECT_FALSE(menu->IsOpen()) << c.tag;
        for (int32_t tag : {kSong, kMixer, kManage})
            EXPECT_EQ(Lit(tag), tag == c.tag) << c.tag << " lights " << tag;
    }
}

TEST_F(StatusBarTest, StopReturnsToTheLoopStartThenToTheSongStartOnQuickTaps)
{
    gSettings.stopSamples = 1;
    engine->OpenProject();
    engine->sequencer->SetLoopStart(2048);
    engine->sequencer->SetLoopEnabled(true);
    engine->sequencer->SetPosition(2600);
    Play();
    TapButton(kStop);
    EXPECT_EQ(gTransport.state.load(), cTransport::kStopped);
    EXPECT_EQ(engine->At(1)->allNotesOff, std::vector<uint32_t>{kAudioEventFlagTransportStop});
    EXPECT_EQ(bar->GetStopTapThreshold(), 3);
    TapButton(kStop, 0.1);
    EXPECT_EQ(gTransport.position.load(), 2048);
    TapButton(kStop, 0.1);
    EXPECT_EQ(gTransport.position.load(), 0);
    EXPECT_EQ(bar->GetStopTapThreshold(), 2);

    // A single tap once stopped goes to the loop start; with the loop off, to 0.
    engine->sequencer->SetPosition(3000);
    Frame(30);
    TapButton(kStop);
    EXPECT_EQ(gTransport.position.load(), 2048);
    engine->sequencer->SetLoopEnabled(false);
    Frame(30);
    TapButton(kStop);
    EXPECT_EQ(gTransport.position.load(), 0);
}

TEST_F(StatusBarTest, TransportButtonsPlayRecordAndLightByState)
{
    TapButton(kPlay);
    EXPECT_EQ(gTransport.state.load(), cTransport::kPlaying);
    Frame();
    EXPECT_TRUE(Lit(kPlay));
    EXPECT_FALSE(Lit(kStop));
    TapButton(kStop);
    Frame();
    EXPECT_TRUE(Lit(kStop));

    TapButton(kRecord);
    const int32_t recording = gTransport.state.load();
    EXPECT_TRUE(recording == cTransport::kRecording || recording == cTransport::kRecordCountIn) << recording;
    Frame();
    EXPECT_TRUE(Lit(kRecord));
    EXPECT_FALSE(Lit(kPlay));
    // While recording the record button flips the record flag.
    TapButton(kRecord);
    EXPECT_EQ(gTransport.eraseKeys.load(), 1);
    TapButton(kRecord);
    EXPECT_EQ(gTransport.eraseKeys.load(), 0);
    engine->sequencer->Stop();
}

TEST_F(StatusBarTest, LoopIsPostedToTheAudioThreadAndClickCyclesTheMetronome)
{
    EXPECT_EQ(gTransport.loopOn.load(), 1);
    TapButton(kLoop);
    EXPECT_EQ(gTransport.loopOn.load(), 1) << "applied by the audio thread";
    RunAudioBlock();
    EXPECT_EQ(gTransport.loopOn.load(), 0);
    Frame();
    EXPECT_FALSE(Lit(kLoop));

    const cAtlasSprite* always = &Sprite(MainScreenSprite::kClickAlways);
    const cAtlasSprite* whileRecording = &Sprite(MainScreenSprite::kClickWhileRecording);
    EXPECT_EQ(gTransport.metronomeMode.load(), 1);
    const struct
    {
        int32_t mode;
        const cAtlasSprite* litImage;
    } cycle[] = {{2, always}, {0, whileRecording}, {1, whileRecording}};
    for (const auto& step : cycle)
    {
        TapButton(kClick);
        Frame();
        EXPECT_EQ(gTransport.metronomeMode.load(), step.mode);
        EXPECT_EQ(bar->GetButton(kClick)->value, step.mode);
        EXPECT_EQ(bar->GetButton(kClick)->litIcon.sprite, step.litImage) << step.mode;
    }
}

TEST_F(StatusBarTest, KeysDriveTheSongExceptUnderADialogueWithoutTransport)
{
    engine->sequencer->SetLoopStart(1024);
    engine->sequencer->SetLoopEnd(3072);
    const struct
    {
        int32_t key;
        int32_t position;
    } moves[] = {{kKeyEnd, 0}, {kKeyPageDown, 3072}, {kKeyPageUp, 1024}, {kKeyHome, 0}};
    for (const auto& move : moves)
    {
        engine->sequencer->SetPosition(500);
        Key(move.key);
        EXPECT_EQ(gTransport.position.load(), move.position) << move.key;
    }

    Key(kKeySpace);
    EXPECT_EQ(gTransport.state.load(), cTransport::kPlaying);
    Key(kKeySpace);
    EXPECT_EQ(gTransport.state.load(), cTransport::kStopped);
    // Ctrl with Space records when stopped or playing; while recording it plays.
    input->OnKey(1, 0, kKeyLeftControl);
    Key(kKeySpace);
    const int32_t recording = gTransport.state.load();
    EXPECT_TRUE(recording == cTransport::kRecording || recording == cTransport::kRecordCountIn) << recording;
    engine->sequencer->SetState(cTransport::kRecording);
    Key(kKeySpace);
    EXPECT_EQ(gTransport.state.load(), cTransport::kPlaying);
    input->OnKey(0, 0, kKeyLeftControl);
    Key(kKeySpace);

    bar->PushState(cDelegate(), false);
    engine->sequencer->SetPosition(500);
    for (int32_t key : {int32_t(kKeySpace), int32_t(kKeyHome), int32_t(kKeyEnd), int32_t(kKeyPageUp), int32_t(kKeyPageDown)})
    {
        Key(key);
        EXPECT_EQ(gTransport.state.load(), cTransport::kStopped) << key;
        EXPECT_EQ(gTransport.position.load(), 500) << key;
    }
    bar->PushState(cDelegate(), true);
    Key(kKeyHome);
    EXPECT_EQ(gTransport.position.load(), 0);
}

TEST_F(StatusBarTest, ToolLabelsShowTheTempoAndTheRecordQuantize)
{
    EXPECT_STREQ(bar->GetTempoLabel(), "120.0");
    engine->sequencer->SetTempo(97.25f);
    Frame();
    EXPECT_STREQ(bar->GetTempoLabel(), "97.2");

    const struct
    {
        cQuantizeSettings settings;
        const char* label;
    } cases[] = {
        {{1, 5, cQuantizeSettings::kStraight, 0.0f}, "1/16"},
        {{1, 4, cQuantizeSettings::kTriplet, 0.0f}, "1/8T"},
        {{1, 5, cQuantizeSettings::kDotted, 0.0f}, "1/16D"},
        {{1, 5, cQuantizeSettings::kStraight, 0.5f}, "1/16S"},
        {{1, 0, cQuantizeSettings::kStraight, 0.0f}, "OFF"},
    };
    for (const auto& c : cases)
    {
        cWidgetStatusBar::ApplyRecordQuantize(c.settings);
        Frame();
        EXPECT_STREQ(bar->GetQuantizeLabel(), c.label);
        EXPECT_TRUE(FindText(c.label).has_value()) << c.label;
    }
}

TEST_F(StatusBarTest, RecordQuantizeDerivesTheRecordGrid)
{
    cWidgetStatusBar::ApplyRecordQuantize({1, 5, cQuantizeSettings::kDotted, 0.0f});
    EXPECT_EQ(gRecordQuantizeSettings.type, cQuantizeSettings::kDotted);
    EXPECT_FLOAT_EQ(gRecordQuantizeGrid.interval, 96.0f);
    EXPECT_FLOAT_EQ(gRecordQuantizeGrid.swingOffset, 0.0f);
    cWidgetStatusBar::ApplyRecordQuantize({1, 5, cQuantizeSettings::kStraight, 0.5f});
    EXPECT_FLOAT_EQ(gRecordQuantizeGrid.interval, 64.0f);
    EXPECT_NEAR(gRecordQuantizeGrid.swingOffset, 10.667f, 0.001f);
    cWidgetStatusBar::ApplyRecordQuantize(cQuantizeSettings());
}

// QUANTIZE opens "Record Quantize" below itself showing the record settings;
// a choice there sets the record grid and the button's label, and a second
// tap closes it.
TEST_F(StatusBarTest, QuantizeOpensTheRecordQuantizeDialogueWhoseChoicesSetTheRecordGrid)
{
    cWidgetStatusBar::ApplyRecordQuantize({1, 5, cQuantizeSettings::kStraight, 0.0f});
    Frame();
    cQuantizeDialogue* dialogue = bar->GetRecordQuantizeDialogue();
    ASSERT_FALSE(dialogue->IsShown());
    EXPECT_FALSE(bar->IsPopupOpen());

    TapButton(cWidgetStatusBar::kQuantize);
    Frame();
    ASSERT_TRUE(dialogue->IsShown());
    EXPECT_TRUE(bar->IsPopupOpen());
    EXPECT_STREQ(dialogue->GetName(), "Record Quantize");
    EXPECT_EQ(dialogue->GetAnchor(), bar->GetButton(cWidgetStatusBar::kQuantize));
    EXPECT_GE(dialogue->GetRect().yMin, bar->GetButton(cWidgetStatusBar::kQuantize)->GetRect().yMax - 1.0f);
    EXPECT_EQ(bar->GetButton(cWidgetStatusBar::kQuantize)->value, 1);
    cQuantizeSettingsUI* settings = dialogue->GetSettingsUI();
    EXPECT_TRUE(settings->GetIntervalSelector()->IsItemLit(5));

    constexpr int32_t kEighth = 4, kTripletCell = 1;
    TapAt(Centre(settings->GetIntervalSelector()->items[kEighth].normalImage.layoutRect));
    TapAt(Centre(settings->GetFeelSelector()->items[kTripletCell].normalImage.layoutRect));
    Frame();
    EXPECT_EQ(gRecordQuantizeSettings.interval, kEighth);
    EXPECT_EQ(gRecordQuantizeSettings.type, cQuantizeSettings::kTriplet);
    EXPECT_NEAR(gRecordQuantizeGrid.interval, 128.0f * 2.0f / 3.0f, 1e-3f);
    EXPECT_STREQ(bar->GetQuantizeLabel(), "1/8T");
    EXPECT_FALSE(settings->GetSwingSpin()->IsEnabled());
    EXPECT_TRUE(dialogue->IsShown());

    TapButton(cWidgetStatusBar::kQuantize);
    Frame();
    EXPECT_FALSE(dialogue->IsShown());
    EXPECT_EQ(bar->GetButton(cWidgetStatusBar::kQuantize)->value, 0);
    cWidgetStatusBar::ApplyRecordQuantize(cQuantizeSettings());
}

TEST_F(StatusBarTest, MessagesTakeTheTitlesPlaceFor45FramesOfOneAndAHalfSeconds)
{
    bar->GetTitleText() = "Mixer";
    ui->ShowStatusMessage("Loaded");
    int frames = 0;
    for (Frame(); std::string(bar->GetScreen()->GetText()) == "Loaded" && frames < 100; Frame())
        ++frames;
    EXPECT_EQ(frames, 45);
    EXPECT_STREQ(bar->GetScreen()->GetText(), "Mixer");

    ui->ShowTimedMessage("MEMORY LOW - Save your work", 4.0f, true);
    Frame();
    EXPECT_TRUE(bar->IsMessageBlinking());
    EXPECT_EQ(bar->GetScreen()->GetTextColour() >> 24, uint32_t(manager->GetBlinkAlpha()));
}

std::vector<std::string> sOpened;
bool RecordOpened(const char* address)
{
    sOpened.push_back(address);
    return true;
}

TEST_F(StatusBarTest, HoldingTheScreenOpensTheManualOnceExceptOverADialogue)
{
    sOpened.clear();
    cWidgetStatusBar::SetURLOpener(&RecordOpened);
    OpenMenu();
    const cRect& screen = bar->GetScreen()->GetRect();
    const cVector2 text = {screen.xMin + 40.0f, (screen.yMin + screen.yMax) * 0.5f};
    Down(1, text.X, text.Y);
    Frame(200);
    Up(1, text.X, text.Y);
    ASSERT_EQ(sOpened.size(), 1u);
    EXPECT_EQ(sOpened[0].rfind("file://", 0), 0u);
    EXPECT_NE(sOpened[0].find("/Manual/QuilWeb00-Home.html"), std::string::npos);
    EXPECT_FALSE(menu->IsOpen());

    bar->PushState(cDelegate(), true);
    Frame();
    Down(1, text.X, text.Y);
    Frame(80);
    Up(1, text.X, text.Y);
    EXPECT_EQ(sOpened.size(), 1u);
}

} // namespace

namespace
{
// A note recorded into slot 1's track at once, as live input reaches the song.
void RecordANote(cSequencer& sequencer)
{
    sequencer.SetLoopEnabled(false);
    gTransport.countInBars = 0;
    sequencer.SetPosition(0);
    sequencer.Play(0);
    sequencer.Record();
    cAudioEvent on;
    on.type = kAudioEventNoteOn;
    on.slot = 1;
    on.SetNote(60, 100);
    on.wordB = (kVoiceSourceMIDI << 24) | 1;
    gTransport.position = 100;
    sequencer.HandleEvent(on);
    cAudioEvent off = on;
    off.type = kAudioEventNoteOff;
    gTransport.position = 300;
    sequencer.HandleEvent(off);
    gTransport.position = 400;
    sequencer.Stop();
}

TEST_F(StatusBarTest, UndoAsksBeforeTakingTheLastRecordSessionBack)
{
    engine->OpenProject();
    TapButton(kUndo);
    EXPECT_FALSE(ui->GetAlert()->IsShown()) << "nothing to undo yet";
    RecordANote(*engine->sequencer);
    Frame();
    ASSERT_TRUE(Lit(kUndo));

    TapButton(kUndo);
    Frame(20);
    cWidgetAlert* alert = ui->GetAlert();
    ASSERT_TRUE(alert->IsShown());
    EXPECT_STREQ(alert->GetName(), "Undo Real-Time Record");
    EXPECT_STREQ(alert->firstLine.CStr(), "Are you sure you want to undo the last record session?");
    EXPECT_STREQ(alert->secondLine.CStr(), "This operation cannot be redone.");
    EXPECT_TRUE(alert->GetButton(kAlertCancel)->IsVisible());
    EXPECT_TRUE(alert->GetButton(kAlertOK)->IsVisible());
    EXPECT_FALSE(alert->GetButton(kAlertNo)->IsVisible());

    // Cancel keeps the session.
    TapAt(Centre(alert->GetButton(kAlertCancel)->GetRect()));
    Frame(20);
    EXPECT_TRUE(Lit(kUndo));
    const int32_t changes = gTransport.changeCounter.load();
    // OK undoes it and closes the menu it was asked from.
    OpenMenu();
    TapButton(kUndo);
    Frame(20);
    ASSERT_TRUE(menu->IsOpen());
    TapAt(Centre(alert->GetButton(kAlertOK)->GetRect()));
    Frame(20);
    EXPECT_EQ(gTransport.changeCounter.load(), changes + 1);
    EXPECT_FALSE(Lit(kUndo));
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(bar->GetButton(kMenu)->value, 0);
}
} // namespace
