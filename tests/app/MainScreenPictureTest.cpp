#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "MainScreenEngine.h"
#include "app/MainUI.h"
#include "app/WidgetInstrumentGrid.h"
#include "app/WidgetInstrumentProps.h"
#include "app/WidgetIntroHelp.h"
#include "app/WidgetKeyboard.h"
#include "app/WidgetMainMenu.h"
#include "ui/WidgetNavButtonUpDown.h"
#include "app/WidgetStatusBar.h"
#include "app/WidgetStatusBarScreen.h"
#include "support/LegibilityProbe.h"
#include "ui/OffscreenScreenFixture.h"
#include "sequencer/Sequencer.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetList.h"

// The main screen drawn through the real OpenGL renderer offscreen with the
// generated atlases and font, saved as pictures under test-output and probed
// where its colours are specified.
namespace
{
class MainScreenPictureTest : public OffscreenScreenFixture
{
protected:
    void Start(int width, int height, int32_t deviceClass)
    {
        StartScreen(width, height, deviceClass);
        engine = std::make_unique<MainScreenTest::cEngine>();
        engine->OpenProject();
        ui = std::make_unique<cMainUI>();
        ui->GetMainMenu()->SelectPage(cWidgetMainMenu::kPageInstrument, 1);
        Frames(2);
    }
    void TearDown() override
    {
        gTransport.state = cTransport::kStopped;
        gTransport.clock = 0;
        ui.reset();
        engine.reset();
        OffscreenScreenFixture::TearDown();
    }

    std::string Save(const char* name)
    {
        pixels = gl->ReadPixels();
        return gl->SaveFrame(name);
    }
    uint32_t Pixel(float x, float y) const { return gl->PixelAt(pixels, int(x), int(y)) & 0x00ffffffu; }
    cRect LoopBar() const { return ui->GetStatusBar()->GetScreen()->GetLoopBarRect(); }
    static cVector2 Centre(const cRect& r) { return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f}; }

    std::unique_ptr<MainScreenTest::cEngine> engine;
    std::unique_ptr<cMainUI> ui;
    std::vector<uint8_t> pixels;
};

TEST_F(MainScreenPictureTest, TheBarOnTheThreeDeviceClasses)
{
    const struct
    {
        int32_t deviceClass;
        int width, height;
        const char* name;
        float barHeight;
    } cases[] = {
        {kDeviceClassDesktop, 1024, 768, "main-bar-desktop", 30},
        {kDeviceClassTablet, 1024, 768, "main-bar-tablet", 40},
        {kDeviceClassPhone, 480, 320, "main-bar-phone", 30},
    };
    for (const auto& c : cases)
    {
        Start(c.width, c.height, c.deviceClass);
        ui->GetStatusBar()->GetTitleText() = "VRX";
        Frames(2);
        const std::string path = Save(c.name);
        std::printf("%s\n", path.c_str());
        // The bar's background and the song position's ground colour.
        EXPECT_NE(Pixel(2, c.barHeight * 0.5f), 0u) << c.name;
        EXPECT_EQ(Pixel(2, c.barHeight + 5.0f), 0u) << c.name;
        EXPECT_EQ(Pixel(LoopBar().xMax - 2.0f, LoopBar().yMin + 1.0f), 0x4c3a00u) << c.name;
        TearDown();
    }
}

TEST_F(MainScreenPictureTest, TheMenuOpenOverItsGrid)
{
    Start(1024, 768, kDeviceClassDesktop);
    engine->At(2)->Strip().meterLeft = 0.8f;
    ui->GetMainMenu()->GetGrid()->ModifyFlags(kWidgetStateDirty, 0, false);
    ui->GetStatusBar()->GetButton(cWidgetStatusBar::kMenu)->value = 1;
    ui->GetMainMenu()->SetOpen(true);
    ui->GetMainMenu()->SetVisible(true);
    Frames(20);
    std::printf("%s\n", Save("main-menu-open").c_str());
    // The light panel under the grid, and a cell of the grid.
    const cRect& menu = ui->GetMainMenu()->GetRect();
    EXPECT_GT(Pixel(menu.xMin + 10.0f, menu.yMax - 8.0f) & 0xffu, 0x80u);
    const cRect& cell = ui->GetMainMenu()->GetGrid()->GetCell(9).rect;
    EXPECT_LT(Pixel(cell.xMin + 20.0f, cell.yMin + 6.0f) & 0xffu, 0x50u);
}

// A slot's properties over the open menu, its current type's row checked.
TEST_F(MainScreenPictureTest, TheInstrumentPropertiesOverTheMenu)
{
    Start(1024, 768, kDeviceClassDesktop);
    cWidgetMainMenu* menu = ui->GetMainMenu();
    ui->GetStatusBar()->GetButton(cWidgetStatusBar::kMenu)->value = 1;
    menu->SetOpen(true);
    menu->SetVisible(true);
    Frames(20);
    menu->OnGridCell(cWidgetInstrumentGrid::kLongPress, 2);
    Frames(30);
    cWidgetInstrumentProps* props = menu->GetProperties();
    ASSERT_TRUE(props->IsShown());
    std::printf("%s\n", Save("instrument-properties").c_str());
    const cRect& dialogue = props->GetRect();
    EXPECT_FLOAT_EQ(dialogue.xMax - dialogue.xMin, 380.0f);
    EXPECT_FLOAT_EQ(dialogue.yMax - dialogue.yMin, 250.0f);
    // The checked row is lit in the toolkit's blue.
    const cRect& list = props->GetTypeList()->GetRect();
    const uint32_t lit = Pixel(list.xMin + 60.0f, list.yMin + props->GetTypeList()->GetScrollHelper().insets[1] +
                                                       cWidgetInstrumentProps::kRowHeight * 1.5f);
    EXPECT_GT(lit >> 16 & 0xffu, 0x90u) << std::hex << lit;
}

// The tempo and the record-quantize setting are written on their buttons
// over a ground the icons leave clear: the icons' halves stand either side.
TEST_F(MainScreenPictureTest, TheTempoAndQuantizeValuesStandOnClearGround)
{
    Start(1024, 768, kDeviceClassDesktop);
    Frames(2);
    std::printf("%s\n", Save("main-bar-values").c_str());
    cLegibilityProbe probe;
    probe.Capture(1024, 768, [this] { DrawFrame(); }, [this] { return gl->ReadPixels(); });
    for (const int32_t tag : {cWidgetStatusBar::kTempo, cWidgetStatusBar::kQuantize})
    {
        cWidgetButton* button = ui->GetStatusBar()->GetButton(tag);
        int values = 0;
        for (const cLegibilityProbe::cText& text : probe.Texts())
        {
            if (text.text == button->GetName() || !button->GetRect().Contains(Centre(text.box)))
                continue;
            ++values;
            EXPECT_LT(text.groundSpread, 60) << "\"" << text.text << "\" on " << button->GetName();
            EXPECT_GE(text.contrast, 4.5) << "\"" << text.text << "\" on " << button->GetName();
        }
        EXPECT_EQ(values, 1) << button->GetName();
    }
}

TEST_F(MainScreenPictureTest, ACountInToRecordShowsInTheRecordColours)
{
    Start(1024, 768, kDeviceClassDesktop);
    gTransport.state = cTransport::kRecordCountIn;
    gTransport.clock = -512;
    Frames(3);
    std::printf("%s\n", Save("main-bar-count-in").c_str());
    EXPECT_STREQ(ui->GetStatusBar()->GetScreen()->GetPositionText(), "-01:03");
    EXPECT_EQ(Pixel(LoopBar().xMax - 2.0f, LoopBar().yMin + 1.0f), 0x000050u);
    // The record button is lit and the play button is not.
    const cVector2 record = Centre(ui->GetStatusBar()->GetButton(cWidgetStatusBar::kRecord)->GetRect());
    const cVector2 play = Centre(ui->GetStatusBar()->GetButton(cWidgetStatusBar::kPlay)->GetRect());
    EXPECT_NE(Pixel(record.X - 20.0f, record.Y), Pixel(play.X - 20.0f, play.Y));
}

TEST_F(MainScreenPictureTest, AMessageInTheScreen)
{
    Start(1024, 768, kDeviceClassDesktop);
    ui->ShowStatusMessage("Loaded Project 'Untitled-01'");
    Frames(2);
    std::printf("%s\n", Save("main-bar-message").c_str());
    // Value-coloured text on the screen's dark ground.
    const cRect& screen = ui->GetStatusBar()->GetScreen()->GetRect();
    int lit = 0;
    for (float x = screen.xMin + 10.0f; x < screen.xMin + 150.0f; x += 1.0f)
        for (float y = screen.yMin + 8.0f; y < screen.yMax - 8.0f; y += 1.0f)
            lit += (Pixel(x, y) & 0xff0000u) > 0x800000u ? 1 : 0;
    EXPECT_GT(lit, 50);
}

TEST_F(MainScreenPictureTest, TheUndoAlert)
{
    Start(1024, 768, kDeviceClassDesktop);
    cSequencer& sequencer = *engine->sequencer;
    sequencer.SetLoopEnabled(false);
    gTransport.countInBars = 0;
    sequencer.Play(0);
    sequencer.Record();
    cAudioEvent note;
    note.type = kAudioEventNoteOn;
    note.slot = 1;
    note.SetNote(60, 100);
    note.wordB = (kVoiceSourceMIDI << 24) | 1;
    gTransport.position = 100;
    sequencer.HandleEvent(note);
    gTransport.position = 400;
    sequencer.Stop();
    Frames(2);
    const cVector2 undo = Centre(ui->GetStatusBar()->GetButton(cWidgetStatusBar::kUndo)->GetRect());
    input->TouchBegan(1, undo.X, undo.Y);
    input->TouchEnded(1, undo.X, undo.Y);
    Frames(30);
    std::printf("%s\n", Save("main-undo-alert").c_str());
    ASSERT_TRUE(ui->GetAlert()->IsShown());
    // The alert's light face under its title, on the dark page.
    const cRect& alert = ui->GetAlert()->GetRect();
    EXPECT_GT(Pixel(alert.xMin + 20.0f, alert.yMin + 60.0f) & 0xffu, 0xa0u);
    EXPECT_LT(Pixel(alert.xMin + 20.0f, alert.yMax + 40.0f) & 0xffu, 0x20u);
}

TEST_F(MainScreenPictureTest, TheKeyboardInItsThreeSets)
{
    Start(1024, 768, kDeviceClassDesktop);
    cWidgetKeyboard* keyboard = ui->GetKeyboard();
    const struct
    {
        bool fileNameMode;
        bool symbols;
        const char* name;
    } sets[] = {
        {false, false, "main-keyboard-letters"},
        {false, true, "main-keyboard-symbols"},
        {true, true, "main-keyboard-file-symbols"},
    };
    for (const auto& set : sets)
    {
        cWidgetKeyboard::cRequest request;
        request.maxLength = 32;
        request.fileNameMode = set.fileNameMode;
        request.showPath = 1;
        request.title.AssignCStr("Rename ");
        request.text.AssignCStr("snare.wav");
        keyboard->Prompt(request, cDelegate());
        Frames(30);
        if (set.symbols)
        {
            const cVector2 key = Centre(keyboard->GetFunctionKey(cWidgetKeyboard::kSymbols)->GetRect());
            input->TouchBegan(1, key.X, key.Y);
            input->TouchEnded(1, key.X, key.Y);
        }
        Frames(2);
        std::printf("%s\n", Save(set.name).c_str());
        EXPECT_TRUE(ui->GetMainWindow()->HasLayer(keyboard));
        const cVector2 back = Centre(ui->GetStatusBar()->GetButton(cWidgetStatusBar::kBack)->GetRect());
        input->TouchBegan(2, back.X, back.Y);
        input->TouchEnded(2, back.X, back.Y);
        Frames(30);
    }
}
} // namespace

namespace
{
// The intro help over the main screen: the song-position screen stays as
// bright as without it, the bar beside it and the page below are shaded.
TEST_F(MainScreenPictureTest, TheIntroHelpShadesAllButTheScreen)
{
    Start(1024, 768, kDeviceClassDesktop);
    Save("intro-help-before");
    const std::vector<uint8_t> before = pixels;
    cWidgetStatusBar* bar = ui->GetStatusBar();
    auto* help = new cWidgetIntroHelp(bar->GetScreen());
    help->SetName("Quilwright Help");
    help->Show(cDelegate());
    Frames(30);
    std::printf("intro help saved as %s\n", Save("intro-help").c_str());
    const cRect screen = bar->GetScreen()->GetRect();
    const cVector2 inside = {screen.xMin + 20.0f, Centre(screen).Y};
    EXPECT_EQ(Pixel(inside.X, inside.Y), gl->PixelAt(before, int(inside.X), int(inside.Y)) & 0x00ffffffu);
    const cRect button = bar->GetButton(cWidgetStatusBar::kPlay)->GetRect();
    const uint32_t shaded = Pixel(Centre(button).X - 12.0f, button.yMax - 3.0f);
    const uint32_t plain = gl->PixelAt(before, int(Centre(button).X - 12.0f), int(button.yMax - 3.0f)) & 0x00ffffffu;
    EXPECT_LT(shaded & 0xff, (plain & 0xff) + 1u);
    EXPECT_NE(shaded, plain);
    help->Close();
    help->Release();
}

// The navigation button idle, with its up arrow held, and with its down
// arrow disabled, side by side.
TEST_F(MainScreenPictureTest, TheNavigationButtonInItsStates)
{
    Start(1024, 768, kDeviceClassDesktop);
    cWidget* root = manager->GetRoot();
    cWidgetNavButtonUpDown* buttons[3];
    for (int i = 0; i < 3; ++i)
    {
        buttons[i] = new cWidgetNavButtonUpDown();
        buttons[i]->SetAnchors(kAnchorsAbsoluteRect, 300.0f + 80.0f * float(i), 300.0f, 40.0f, 80.0f);
        root->AddChild(buttons[i]);
    }
    buttons[2]->downEnabled = false;
    Frames(20);
    const cRect up = buttons[1]->GetUpRegion();
    input->TouchBegan(1, Centre(up).X, up.yMax - 20.0f);
    Frames(2);
    std::printf("navigation buttons saved as %s\n", Save("nav-button-states").c_str());
    EXPECT_EQ(buttons[1]->GetHeldPart(), cWidgetNavButtonUpDown::kPartUp);
    input->TouchEnded(1, Centre(up).X, up.yMax - 20.0f);
    for (cWidgetNavButtonUpDown* button : buttons)
    {
        root->RemoveChild(button);
        button->Release();
    }
}
} // namespace
