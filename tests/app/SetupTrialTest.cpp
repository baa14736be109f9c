#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "MainScreenFixture.h"
#include "ProgramTrial.h"
#include "app/SetupPanelGlobal.h"
#include "app/SetupPanelHelp.h"
#include "app/SetupPanelMIDI.h"
#include "app/SetupPanelMIDIDevicePage.h"
#include "app/SetupPanelMIDIMappingPage.h"
#include "app/SetupUI.h"
#include "app/WidgetStatusBar.h"
#include "ui/WidgetButton.h"
#include "base/RootPaths.h"
#include "ui/ScrollHelper.h"
#include "ui/WidgetSpinButton.h"
#include "ui/WidgetTabView.h"

// The setup screen tried as a new user would, on a virtual display: MANAGE
// and each tab, settings changed by clicks, the help button given to a
// browser that only notes what it was asked, a port the MIDI settings
// remember switched on and to omni, a controller mapping stepped to CC 20.
// After a close by SIGTERM the files hold it all, and the next start opens
// on the setup screen showing it. The clicks are aimed by the layout the
// same screen has in this process; every step's screenshot is kept.
namespace
{

struct cPoint
{
    int x, y;
};

cPoint CentreOf(const cRect& rect) { return {int((rect.xMin + rect.xMax) * 0.5f), int((rect.yMin + rect.yMax) * 0.5f)}; }

// Where things are on a 1024 x 768 desktop window, read from the screen
// built here.
struct cSetupLayout
{
    cPoint manage;
    cPoint tabs[cSetupUI::kTabCount];
    // Left of each tab's label, where its face shows.
    cPoint tabFaces[cSetupUI::kTabCount];
    cPoint keyWidthUp, knobControlUp, bufferLatencyUp, startOnProjectPage, startSwitchTrack;
    cRect page;
    cPoint help;
    cPoint mappings, enable, omni, controllerUp;
    // Left of each port button's label, where its face shows.
    cPoint enableFace, omniFace;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same screen built in this process, the layout read from it: MANAGE,
// then each page as it lies in the window.
class cSetupLayoutScreen : public MainScreenFixture
{
public:
    cSetupLayout Read()
    {
        cSetupLayout layout = {};
        layout.manage = CentreOf(bar->GetButton(cWidgetStatusBar::kManage)->GetTouchRect());
        TapButton(cWidgetStatusBar::kManage);
        Frame();
        auto* setup = static_cast<cSetupUI*>(ui->GetSetupPage());
        cWidgetTabView* tabs = setup->GetTabView();
        for (int32_t i = 0; i < cSetupUI::kTabCount; ++i)
        {
            const cRect& tab = tabs->GetTab(i)->GetRect();
            layout.tabs[i] = CentreOf(tab);
            layout.tabFaces[i] = {int(tab.xMin) + 10, layout.tabs[i].y};
        }
        tabs->SelectPage(cSetupUI::kSettingsTab, false);
        Frame();
        auto* settings = static_cast<cSetupPanelGlobal*>(tabs->GetPage(cSetupUI::kSettingsTab));
        layout.page = settings->GetRect();
        layout.keyWidthUp = CentreOf(settings->GetKeyWidth()->GetUpZone());
        layout.knobControlUp = CentreOf(settings->GetKnobControl()->GetUpZone());
        layout.bufferLatencyUp = CentreOf(settings->GetBufferLatency()->GetUpZone());
        cWidgetButton* start = settings->GetSwitch(cSetupPanelGlobal::kStartOnProjectPage);
        layout.startOnProjectPage = CentreOf(start->GetTouchRect());
        layout.startSwitchTrack = {int(start->background.drawRect.xMin) + 8, layout.startOnProjectPage.y};
        tabs->SelectPage(cSetupUI::kHelpTab, false);
        Frame();
        layout.help = CentreOf(
            static_cast<cSetupPanelHelp*>(tabs->GetPage(cSetupUI::kHelpTab))->GetExternalButton()->GetTouchRect());
        tabs->SelectPage(cSetupUI::kMIDITab, false);
        Frame();
        auto* midi = static_cast<cSetupPanelMIDI*>(tabs->GetPage(cSetupUI::kMIDITab));
        layout.mappings = CentreOf(midi->GetMappingsButton()->GetTouchRect());
        const cRect row = midi->GetDevicePage()->GetList()->GetScrollHelper().GetRowRect(0);
        layout.enable = CentreOf(GetPortRowButtonRect(row, 0));
        layout.omni = CentreOf(GetPortRowButtonRect(row, 1));
        layout.enableFace = {int(GetPortRowButtonRect(row, 0).xMin) + 3, layout.enable.y};
        layout.omniFace = {int(GetPortRowButtonRect(row, 1).xMin) + 3, layout.omni.y};
        midi->GetDevicePage()->SetVisible(false);
        midi->GetMappingPage()->SetVisible(true);
        Frame();
        layout.controllerUp = CentreOf(midi->GetMappingPage()->GetControllerSpin()->GetUpZone());
        return layout;
    }

private:
    void TestBody() override {}
};

class SetupTrialTest : public cProgramTrial
{
protected:
    SetupTrialTest() : cProgramTrial("setup-trial", "setup-trial") {}

    void SetUp() override
    {
        cProgramTrial::SetUp();
        if (HasFatalFailure())
            return;
        mScreen = std::make_unique<cSetupLayoutScreen>();
        mLayout = mScreen->Read();
        std::filesystem::create_directories(mBin);
        std::ofstream(Documents("MIDISettings.dat"))
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Root FileVersion=\"1.000000\"><Instruments/><MIDIManager><Inputs>"
               "<Port Name=\"Studio Keys\" EnableFlags=\"0\" Channels=\"4294967295\" Omni=\"false\"/>"
               "</Inputs></MIDIManager></Root>\n";
        std::ofstream(mBin + "/xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << mOpened << "'\n";
        std::filesystem::permissions(mBin + "/xdg-open", std::filesystem::perms::owner_all);
    }
    void TearDown() override
    {
        cProgramTrial::TearDown();
        std::filesystem::remove_all(mBin);
        std::filesystem::remove(mOpened);
    }

    // A press held over a frame or two, as a hand clicks.
    void Click(cPoint point) { Input(MoveTo(point.x, point.y) + " mousedown 1 sleep 0.08 mouseup 1"); }
    // How many pixels of the page area two screenshots tell apart.
    long DifferentPixels(const cScreenshot& a, const cScreenshot& b) const
    {
        const cRect& r = mLayout.page;
        long count = 0;
        for (int y = int(r.yMin); y < int(r.yMax); ++y)
            for (int x = int(r.xMin); x < int(r.xMax); ++x)
            {
                const cRGB p = a.At(x, y), q = b.At(x, y);
                count += p.r != q.r || p.g != q.g || p.b != q.b;
            }
        return count;
    }
    // Lit blue, as a switched-on control is drawn, on a screenshot taken
    // once the window stands still.
    bool IsLit(const cScreenshot& shot, cPoint point) const { return Pixel(shot, point.x, point.y).IsLitBlue(); }
    bool IsLit(const std::string& name, cPoint point) { return IsLit(StillShot(name), point); }

    std::unique_ptr<cSetupLayoutScreen> mScreen;
    cSetupLayout mLayout = {};
    const std::string mBin = mData + "-bin";
    const std::string mOpened = mData + "-opened.txt";
};

TEST_F(SetupTrialTest, SettingsPortsAndMappingsMadeByClicksAreKeptAndShownAtTheNextStart)
{
    // The help button's browser is the one above.
    const std::vector<std::string> environment = {"PATH=" + mBin + ":/usr/bin:/bin"};
    std::unique_ptr<cProgram> program = StartProgram("-desktop", environment);
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    Shot("1-start");
    Click(mLayout.manage);
    EXPECT_TRUE(IsLit("2-manage", mLayout.tabFaces[cSetupUI::kProjectTab])) << "opens on the project page";
    const char* const names[] = {"3-project", "4-settings", "5-help", "6-midi"};
    for (int32_t tab = 0; tab < cSetupUI::kTabCount; ++tab)
    {
        Click(mLayout.tabs[tab]);
        EXPECT_TRUE(IsLit(names[tab], mLayout.tabFaces[tab])) << names[tab];
        if (tab == cSetupUI::kHelpTab)
            Click(mLayout.help);
    }

    Click(mLayout.tabs[cSetupUI::kSettingsTab]);
    StillShot("probe");
    for (cPoint up : {mLayout.keyWidthUp, mLayout.knobControlUp, mLayout.bufferLatencyUp})
        Click(up);
    Click(mLayout.startOnProjectPage);
    const cScreenshot settings = StillShot("7-settings-changed");
    EXPECT_TRUE(IsLit(settings, mLayout.startSwitchTrack));

    Click(mLayout.tabs[cSetupUI::kMIDITab]);
    StillShot("probe");
    Click(mLayout.enable);
    Click(mLayout.omni);
    const cScreenshot inputs = StillShot("8-port-on");
    EXPECT_TRUE(IsLit(inputs, mLayout.enableFace));
    EXPECT_TRUE(IsLit(inputs, mLayout.omniFace));

    Click(mLayout.mappings);
    StillShot("probe");
    // The first row, the desk's output volume, from CC 7.
    for (int step = 7; step < 20; ++step)
        Click(mLayout.controllerUp);
    const cScreenshot mappings = StillShot("9-mapping");
    Close(*program, 10.0);

    const std::string global = ReadFile(Documents("GlobalSettings.dat"));
    for (const char* attribute : {"KeyWidth=\"Wide\"", "KnobControl=\"Rotary\"", "BufferLatency=\"High\"",
                                  "StartOnProjectPage=\"1\""})
        EXPECT_NE(global.find(attribute), std::string::npos) << attribute << " in " << global;
    const std::string midi = ReadFile(Documents("MIDISettings.dat"));
    EXPECT_NE(midi.find("Name=\"Studio Keys\" EnableFlags=\"1\" Channels=\"4294967295\" Omni=\"true\""),
              std::string::npos)
        << midi;
    EXPECT_NE(midi.find("Ctrl1=\"20\""), std::string::npos) << midi;

    const std::string manual = std::string(GetResourceFolderPath()) + "/Manual/QuilWeb00-Home.html";
    EXPECT_EQ(ReadFile(mOpened), "file://" + manual + "\n");
    EXPECT_TRUE(std::filesystem::exists(manual));

    program = StartProgram("-desktop", environment);
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    // The start on the project page opens the setup screen on its first tab.
    EXPECT_TRUE(IsLit("10-next-start", mLayout.tabFaces[cSetupUI::kProjectTab]));
    Click(mLayout.tabs[cSetupUI::kSettingsTab]);
    EXPECT_LT(DifferentPixels(StillShot("10-next-settings"), settings), 50) << "the settings page, as it was left";
    Click(mLayout.tabs[cSetupUI::kMIDITab]);
    EXPECT_LT(DifferentPixels(StillShot("11-next-inputs"), inputs), 50);
    Click(mLayout.mappings);
    EXPECT_LT(DifferentPixels(StillShot("12-next-mapping"), mappings), 50);
    Close(*program, 10.0);
}
} // namespace
