#include "SetupFixture.h"

#include <string>

#include "app/MainUI.h"
#include "app/SetupPanelDebug.h"
#include "app/WidgetStatusBar.h"
#include "app/SetupPanelDockline.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetProgress.h"

namespace
{
// The shared file browser as the debug page asks it.
class cRecordingChooser : public cSetupPanelDebug::cFileChooser
{
public:
    void Browse(const cSetupPanelDebug::cBrowseRequest& request, const cDelegate& done) override
    {
        requests.push_back(request);
        completion = done;
    }
    void Finish(int32_t result, const char* path) { completion.Invoke(result, path); }

    std::vector<cSetupPanelDebug::cBrowseRequest> requests;
    cDelegate completion;
};

class SetupPanelDebugTest : public SetupFixture
{
protected:
    void SetUp() override
    {
        cSetupPanelDebug::SetFileChooser(&chooser);
        ui = std::make_unique<cMainUI>();
        page = Place(new cSetupPanelDebug(), {10.0f, 20.0f, 630.0f, 470.0f});
        Frame();
    }
    void TearDown() override
    {
        cSetupPanelDebug::SetFileChooser(nullptr);
        root->RemoveChild(page);
        ui.reset();
    }
    const char* Title() const { return ui->GetStatusBar()->GetTitleText().CStr(); }
    void Press(int32_t tag)
    {
        TapButton(page->GetButton(tag));
        Frame();
    }

    cRecordingChooser chooser;
    std::unique_ptr<cMainUI> ui;
    cSetupPanelDebug* page = nullptr;
};

TEST_F(SetupPanelDebugTest, FiveButtonsAtTheirPlacesFromThePagesCorner)
{
    const float width = gTex8888AtlasTable[18].width, height = gTex8888AtlasTable[12].height;
    const struct
    {
        int32_t tag;
        const char* label;
        float x, y;
    } buttons[] = {{cSetupPanelDebug::kNoteKill, "Note kill", 35, 50}, {cSetupPanelDebug::kProfiler, "Profiler", 35, 115},
                   {cSetupPanelDebug::kSamples, "Samples", 35, 180}, {cSetupPanelDebug::kFiles, "Files", 165, 50},
                   {cSetupPanelDebug::kSoundFont, "SoundFont", 165, 115}};
    for (const auto& b : buttons)
    {
        const cRect& rect = page->GetButton(b.tag)->GetRect();
        EXPECT_STREQ(page->GetButton(b.tag)->GetName(), b.label);
        EXPECT_FLOAT_EQ(rect.xMin, 10.0f + b.x) << b.label;
        EXPECT_FLOAT_EQ(rect.yMin, 20.0f + b.y) << b.label;
        EXPECT_FLOAT_EQ(rect.xMax - rect.xMin, width) << b.label;
        EXPECT_FLOAT_EQ(rect.yMax - rect.yMin, height) << b.label;
    }
    EXPECT_STREQ(Title(), "Debug Settings");
}

TEST_F(SetupPanelDebugTest, WithoutAProjectTheButtonsDoNothing)
{
    for (int32_t tag = 0; tag < cSetupPanelDebug::kButtonCount; ++tag)
        Press(tag);
    EXPECT_FALSE(gSettings.debug);
    EXPECT_EQ(page->GetButton(cSetupPanelDebug::kProfiler)->value, 0);
    EXPECT_TRUE(chooser.requests.empty());
    EXPECT_EQ(page->GetBrowseState(), cSetupPanelDebug::kBrowseIdle);
}

TEST_F(SetupPanelDebugTest, TheButtonsProfileSilenceAndBrowse)
{
    engine.OpenProject();
    Press(cSetupPanelDebug::kProfiler);
    EXPECT_TRUE(gSettings.debug);
    Press(cSetupPanelDebug::kProfiler);
    EXPECT_FALSE(gSettings.debug);

    auto* synth = dynamic_cast<ProjectTest::cStandInInstrument*>(cInstrumentSlotTable::GetInstance()->GetInstrument(2));
    ASSERT_NE(synth, nullptr);
    Press(cSetupPanelDebug::kNoteKill);
    EXPECT_EQ(synth->lastAllNotesOff, 1);
    Press(cSetupPanelDebug::kSamples);

    Press(cSetupPanelDebug::kFiles);
    ASSERT_EQ(chooser.requests.size(), 1u);
    const cSetupPanelDebug::cBrowseRequest files = chooser.requests[0];
    EXPECT_STREQ(files.title, "File Browser");
    EXPECT_STREQ(files.rootFolder, "");
    EXPECT_STREQ(files.startFolder, "");
    EXPECT_STREQ(files.fileType, "");
    EXPECT_EQ(files.flags, 0x21);
    EXPECT_EQ(page->GetBrowseState(), cSetupPanelDebug::kBrowseFiles);
    chooser.Finish(0, "");
    EXPECT_EQ(page->GetBrowseState(), cSetupPanelDebug::kBrowseDone) << "a finished plain browse";

    Press(cSetupPanelDebug::kSoundFont);
    ASSERT_EQ(chooser.requests.size(), 2u);
    const cSetupPanelDebug::cBrowseRequest soundFont = chooser.requests[1];
    EXPECT_STREQ(soundFont.title, "Load SoundFont");
    EXPECT_STREQ(soundFont.rootFolder, "User");
    EXPECT_STREQ(soundFont.startFolder, "User/SoundFonts");
    EXPECT_STREQ(soundFont.fileType, "sf2");
    EXPECT_EQ(soundFont.fileIcon, &gTex8888AtlasTable[461]);
    EXPECT_EQ(soundFont.flags, 0x21);
    EXPECT_EQ(page->GetBrowseState(), cSetupPanelDebug::kBrowseSoundFont);
    chooser.Finish(0, "");
    EXPECT_EQ(page->GetBrowseState(), cSetupPanelDebug::kBrowseIdle) << "closed without a choice";
    EXPECT_FALSE(ui->GetProgress()->IsShown());
}

// Nothing reads the file, so the load says it failed, naming the file.
TEST_F(SetupPanelDebugTest, AChosenSoundFontReportsThatItCannotBeLoaded)
{
    engine.OpenProject();
    Press(cSetupPanelDebug::kSoundFont);
    chooser.Finish(cSetupPanelDebug::kBrowserResultChosen, "User/SoundFonts/Grand Piano.sf2");
    cWidgetAlert* alert = ui->GetAlert();
    EXPECT_TRUE(ui->GetProgress()->IsShown());
    Frame(3);
    EXPECT_FALSE(ui->GetProgress()->IsShown());
    EXPECT_STREQ(ui->GetStatusBar()->GetMessageText(), "") << "no success message";
    ASSERT_TRUE(alert->IsShown());
    EXPECT_STREQ(alert->GetName(), "Failed to load soundfont 'Grand Piano.sf2'");
    EXPECT_STREQ(alert->secondLine.CStr(), "SoundFont files can't be read here.");
    EXPECT_NE(alert->GetButtonIcon(kAlertOK), nullptr);
    Frame(20);
    EXPECT_TRUE(alert->GetButton(kAlertOK)->IsVisible());
    EXPECT_FALSE(alert->GetButton(kAlertNo)->IsVisible());
    EXPECT_EQ(page->GetBrowseState(), cSetupPanelDebug::kBrowseIdle);
}

TEST_F(SetupPanelDebugTest, TheLoadJobAloneFailsWithItsReason)
{
    cSetupPanelDebug::cLoadSoundFont job(nullptr, "User/SoundFonts/Strings.sf2");
    JobQueue::RunJob(&job, nullptr);
    EXPECT_FALSE(job.success);
    EXPECT_STREQ(job.errorText.CStr(), "SoundFont files can't be read here.");
    EXPECT_STREQ(job.path.CStr(), "User/SoundFonts/Strings.sf2");
}

// ----------------------------------------------------------- companion page

class SetupPanelDocklineTest : public SetupFixture
{
};

TEST_F(SetupPanelDocklineTest, ItExplainsTheDesktopWithAnInertButtonAndItsLightsOff)
{
    cSetupPanelDockline* page = Place(new cSetupPanelDockline(), {0.0f, 0.0f, kScreenWidth, kScreenHeight});
    Frame();
    Frame();
    EXPECT_EQ(host.title, "Dockline Server");
    cWidgetButton* enable = page->GetEnableButton();
    EXPECT_FALSE(enable->IsEnabled());
    EXPECT_STREQ(enable->GetName(), "Enable");
    TapButton(enable);
    Frame();
    EXPECT_EQ(enable->value, 0);

    const float lineSpacing = 2.0f * GetTextSize(kTextSizeToggle);
    const cRect& button = enable->GetRect();
    EXPECT_FLOAT_EQ(button.xMin, 20.0f);
    EXPECT_FLOAT_EQ(button.yMin, 30.0f + lineSpacing + 1.5f * lineSpacing);
    EXPECT_FLOAT_EQ(button.xMax - button.xMin, gTex8888AtlasTable[12].width);
    EXPECT_FLOAT_EQ(button.yMax - button.yMin, gTex8888AtlasTable[14].height);
    const cRect& picture = page->GetPicture().drawRect;
    EXPECT_FLOAT_EQ(picture.xMin, button.xMax + 20.0f);

    for (const char* line : {"files to/from Quilwright.", "Status : Wi-Fi transfer is only available in the mobile version",
                             "the 'Open Folder...' button located on Quilwright's file dialogue."})
        EXPECT_TRUE(Drew(line)) << line;
    // Three unlit lights beside the picture, none lit: there is no address.
    for (int unlit : {413, 415, 411})
    {
        ASSERT_EQ(QuadsOf(unlit).size(), 1u) << unlit;
        EXPECT_FLOAT_EQ((QuadsOf(unlit)[0].rect.xMin + QuadsOf(unlit)[0].rect.xMax) * 0.5f, picture.xMax + 14.0f);
    }
    for (int lit : {419, 421, 417})
        EXPECT_TRUE(QuadsOf(lit).empty()) << lit;
}
} // namespace
