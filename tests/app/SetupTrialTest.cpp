#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "MainScreenFixture.h"
#include "ProgramProcess.h"
#include "VirtualDisplay.h"
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
using namespace std::chrono_literals;

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
    // Inside the row buttons' left ends, clear of their labels.
    cPoint enableFace, omniFace;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SetupTrialTest : public MainScreenFixture
{
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "import", "compare"})
            if (!HasTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(mDisplay.WaitUntilReady()) << "Xvfb did not start";
        ReadLayout();
        std::filesystem::remove_all(mData);
        std::filesystem::create_directories(Documents());
        std::filesystem::create_directories(mBin);
        std::filesystem::create_directories(BuildFile("test-output"));
        std::ofstream(Documents() + "GlobalSettings.dat")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Root FileVersion=\"1.000000\" RecentProject=\"\" AutoSaved=\"false\" InstallerVersion=\"9\" "
               "IntroHelp=\"5\"/>\n";
        std::ofstream(Documents() + "MIDISettings.dat")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Root FileVersion=\"1.000000\"><Instruments/><MIDIManager><Inputs>"
               "<Port Name=\"Studio Keys\" EnableFlags=\"0\" Channels=\"4294967295\" Omni=\"false\"/>"
               "</Inputs></MIDIManager></Root>\n";
        std::ofstream(mBin + "/xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << mOpened << "'\n";
        std::filesystem::permissions(mBin + "/xdg-open", std::filesystem::perms::owner_all);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(mData);
        std::filesystem::remove(mData + "-leaks.supp");
    }

    std::string Documents() const { return mData + "/Quilwright/Documents/"; }

    // MANAGE, then each page as it lies in the window.
    void ReadLayout()
    {
        mLayout.manage = CentreOf(bar->GetButton(cWidgetStatusBar::kManage)->GetTouchRect());
        TapButton(cWidgetStatusBar::kManage);
        Frame();
        auto* setup = static_cast<cSetupUI*>(ui->GetSetupPage());
        cWidgetTabView* tabs = setup->GetTabView();
        for (int32_t i = 0; i < cSetupUI::kTabCount; ++i)
        {
            const cRect& tab = tabs->GetTab(i)->GetRect();
            mLayout.tabs[i] = CentreOf(tab);
            mLayout.tabFaces[i] = {int(tab.xMin) + 10, mLayout.tabs[i].y};
        }
        tabs->SelectPage(cSetupUI::kSettingsTab, false);
        Frame();
        auto* settings = static_cast<cSetupPanelGlobal*>(tabs->GetPage(cSetupUI::kSettingsTab));
        mLayout.page = settings->GetRect();
        mLayout.keyWidthUp = CentreOf(settings->GetKeyWidth()->GetUpZone());
        mLayout.knobControlUp = CentreOf(settings->GetKnobControl()->GetUpZone());
        mLayout.bufferLatencyUp = CentreOf(settings->GetBufferLatency()->GetUpZone());
        cWidgetButton* start = settings->GetSwitch(cSetupPanelGlobal::kStartOnProjectPage);
        mLayout.startOnProjectPage = CentreOf(start->GetTouchRect());
        mLayout.startSwitchTrack = {int(start->background.drawRect.xMin) + 8, mLayout.startOnProjectPage.y};
        tabs->SelectPage(cSetupUI::kHelpTab, false);
        Frame();
        mLayout.help = CentreOf(
            static_cast<cSetupPanelHelp*>(tabs->GetPage(cSetupUI::kHelpTab))->GetExternalButton()->GetTouchRect());
        tabs->SelectPage(cSetupUI::kMIDITab, false);
        Frame();
        auto* midi = static_cast<cSetupPanelMIDI*>(tabs->GetPage(cSetupUI::kMIDITab));
        mLayout.mappings = CentreOf(midi->GetMappingsButton()->GetTouchRect());
        const cRect row = midi->GetDevicePage()->GetList()->GetScrollHelper().GetRowRect(0);
        mLayout.enable = CentreOf(GetPortRowButtonRect(row, 0));
        mLayout.omni = CentreOf(GetPortRowButtonRect(row, 1));
        mLayout.enableFace = {int(GetPortRowButtonRect(row, 0).xMin) + 3, mLayout.enable.y};
        mLayout.omniFace = {int(GetPortRowButtonRect(row, 1).xMin) + 3, mLayout.omni.y};
        midi->GetDevicePage()->SetVisible(false);
        midi->GetMappingPage()->SetVisible(true);
        Frame();
        mLayout.controllerUp = CentreOf(midi->GetMappingPage()->GetControllerSpin()->GetUpZone());
    }

    std::unique_ptr<cProgram> Start()
    {
        auto program = std::make_unique<cProgram>(
            "-desktop",
            std::vector<std::string>{"DISPLAY=" + mDisplay.Name(), "SDL_VIDEODRIVER=x11",
                                     "PATH=" + mBin + ":/usr/bin:/bin", LeakOptionsForX11(mData + "-leaks.supp")},
            mData);
        EXPECT_TRUE(program->Started());
        mWindow = mDisplay.Output("xdotool search --sync --onlyvisible --name 'Quilwright V1.42'");
        mWindow = mWindow.substr(0, mWindow.find('\n'));
        EXPECT_FALSE(mWindow.empty()) << program->ErrorOutput();
        mDisplay.Run("xdotool windowfocus --sync " + mWindow);
        std::this_thread::sleep_for(1500ms);
        return program;
    }
    void Close(std::unique_ptr<cProgram>& program)
    {
        program->Signal(SIGTERM);
        EXPECT_TRUE(program->WaitForExit(10.0)) << "still running 10 s after SIGTERM";
        EXPECT_EQ(program->ExitStatus(), 0) << program->ErrorOutput();
        program.reset();
    }

    // A press held over a frame or two, as a hand clicks.
    void Click(cPoint point)
    {
        mDisplay.Run("xdotool mousemove --window " + mWindow + " " + std::to_string(point.x) + " " +
                     std::to_string(point.y) + " mousedown 1 sleep 0.08 mouseup 1");
        std::this_thread::sleep_for(250ms);
    }
    std::string Shot(const std::string& name)
    {
        const std::string path = BuildFile("test-output/setup-trial-" + name + ".png");
        EXPECT_EQ(mDisplay.Run("import -window " + mWindow + " " + path), 0) << name;
        return path;
    }
    // How many pixels of the page area two screenshots tell apart.
    long DifferentPixels(const std::string& a, const std::string& b) const
    {
        const cRect& r = mLayout.page;
        const std::string area = std::to_string(int(r.xMax - r.xMin)) + "x" + std::to_string(int(r.yMax - r.yMin)) + "+" +
                                 std::to_string(int(r.xMin)) + "+" + std::to_string(int(r.yMin));
        const std::string command = "compare -metric AE -extract " + area + " '" + a + "' '" + b + "' null: 2>&1";
        long count = -1;
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            if (std::fscanf(pipe, "%ld", &count) != 1)
                count = -1;
            pclose(pipe);
        }
        return count;
    }
    // Lit blue, as a switched-on control is drawn: the deep blue of a lit
    // face, also where an absent port's buttons are drawn faint.
    bool IsLit(const std::string& shot, cPoint point) const
    {
        const std::string command = "convert '" + shot + "' -crop 1x1+" + std::to_string(point.x) + "+" +
                                    std::to_string(point.y) + " -depth 8 txt:- | tail -1";
        int r = -1, g = -1, b = -1;
        if (FILE* pipe = popen(command.c_str(), "r"))
        {
            char line[256] = {};
            if (std::fgets(line, sizeof(line), pipe) && std::strchr(line, '('))
                std::sscanf(std::strchr(line, '('), "(%d,%d,%d", &r, &g, &b);
            pclose(pipe);
        }
        return b > 90 && b > r + 60;
    }

    cVirtualDisplay mDisplay;
    cSetupLayout mLayout = {};
    std::string mWindow;
    const std::string mData = TestScratchFolder() + "/setup-trial-" + std::to_string(getpid());
    const std::string mBin = mData + "-bin";
    const std::string mOpened = mData + "-opened.txt";
};

TEST_F(SetupTrialTest, SettingsPortsAndMappingsMadeByClicksAreKeptAndShownAtTheNextStart)
{
    std::unique_ptr<cProgram> program = Start();
    Shot("1-start");
    Click(mLayout.manage);
    const std::string manage = Shot("2-manage");
    EXPECT_TRUE(IsLit(manage, mLayout.tabFaces[cSetupUI::kProjectTab])) << "opens on the project page";
    const char* const names[] = {"3-project", "4-settings", "5-help", "6-midi"};
    for (int32_t tab = 0; tab < cSetupUI::kTabCount; ++tab)
    {
        Click(mLayout.tabs[tab]);
        EXPECT_TRUE(IsLit(Shot(names[tab]), mLayout.tabFaces[tab])) << names[tab];
        if (tab == cSetupUI::kHelpTab)
            Click(mLayout.help);
    }

    Click(mLayout.tabs[cSetupUI::kSettingsTab]);
    for (cPoint up : {mLayout.keyWidthUp, mLayout.knobControlUp, mLayout.bufferLatencyUp})
        Click(up);
    Click(mLayout.startOnProjectPage);
    const std::string settings = Shot("7-settings-changed");
    EXPECT_TRUE(IsLit(settings, mLayout.startSwitchTrack));

    Click(mLayout.tabs[cSetupUI::kMIDITab]);
    Click(mLayout.enable);
    Click(mLayout.omni);
    const std::string inputs = Shot("8-port-on");
    EXPECT_TRUE(IsLit(inputs, mLayout.enableFace));
    EXPECT_TRUE(IsLit(inputs, mLayout.omniFace));

    Click(mLayout.mappings);
    // The first row, the desk's output volume, from CC 7.
    for (int step = 7; step < 20; ++step)
        Click(mLayout.controllerUp);
    const std::string mappings = Shot("9-mapping");
    Close(program);

    const std::string global = ReadFile(Documents() + "GlobalSettings.dat");
    for (const char* attribute : {"KeyWidth=\"Wide\"", "KnobControl=\"Rotary\"", "BufferLatency=\"High\"",
                                  "StartOnProjectPage=\"1\""})
        EXPECT_NE(global.find(attribute), std::string::npos) << attribute << " in " << global;
    const std::string midi = ReadFile(Documents() + "MIDISettings.dat");
    EXPECT_NE(midi.find("Name=\"Studio Keys\" EnableFlags=\"1\" Channels=\"4294967295\" Omni=\"true\""),
              std::string::npos)
        << midi;
    EXPECT_NE(midi.find("Ctrl1=\"20\""), std::string::npos) << midi;

    const std::string manual = std::string(GetResourceFolderPath()) + "/Manual/QuilWeb00-Home.html";
    EXPECT_EQ(ReadFile(mOpened), "file://" + manual + "\n");
    EXPECT_TRUE(std::filesystem::exists(manual));

    program = Start();
    // The start on the project page opens the setup screen on its first tab.
    EXPECT_TRUE(IsLit(Shot("10-next-start"), mLayout.tabFaces[cSetupUI::kProjectTab]));
    Click(mLayout.tabs[cSetupUI::kSettingsTab]);
    EXPECT_LT(DifferentPixels(Shot("10-next-settings"), settings), 50) << "the settings page, as it was left";
    Click(mLayout.tabs[cSetupUI::kMIDITab]);
    EXPECT_LT(DifferentPixels(Shot("11-next-inputs"), inputs), 50);
    Click(mLayout.mappings);
    EXPECT_LT(DifferentPixels(Shot("12-next-mapping"), mappings), 50);
    Close(program);
}
} // namespace
