#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "AppTestSupport.h"
#include "SdlEvents.h"
#include "app/MainUI.h"
#include "app/WidgetIntroHelp.h"
#include "app/WidgetStartup.h"
#include "app/WidgetStatusBar.h"
#include "render/FontHandle.h"
#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "base/CriticalSection.h"
#include "base/ProjectModified.h"
#include "base/Zip.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "project/ui/WidgetOpenURL.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"

// The start-up page in the running program, on fresh documents: what the
// user meets first for each stored recent project, the intro help on three
// starts only, and the cover fading out.
namespace
{
// What the page showed, read each frame.
struct cSeen
{
    std::vector<int32_t> alphas;
    std::string alertTitle, alertFirst, alertSecond, message, projectPath, recent;
    // The names of the instruments whose tracks hold parts, in slot order.
    std::vector<std::string> playing;
    int32_t introHelpCount = -1;
    bool introHelpShown = false;
    int32_t finalState = -1;
};

void WriteSettings(const std::string& attributes)
{
    std::ofstream(InProcessDocuments() + "/GlobalSettings.dat")
        << "<Root FileVersion=\"1.000000\" InstallerVersion=\"9\" " << attributes << "/>";
}

void MakeFolder(const std::string& path) { std::filesystem::create_directories(InProcessDocuments() + "/" + path); }

cWidgetStartup* Startup() { return cMainUI::GetInstance()->GetStartup(); }
cWidgetAlert* Alert() { return cMainUI::GetInstance()->GetAlert(); }

std::vector<std::string> InstrumentsWithParts()
{
    std::vector<std::string> names;
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLock lock(sequencer->GetLock());
    const cTrackList* tracks = sequencer->GetTrackList();
    for (int32_t i = 0; i < tracks->GetCount(); ++i)
    {
        const cTrack* track = tracks->GetTrack(i);
        const cInstrument* instrument = cInstrumentSlotTable::GetInstance()->GetInstrument(track->GetChannel());
        if (track->GetFirstPart() && instrument)
            names.push_back(instrument->GetName());
    }
    return names;
}

// Runs the program for the frames given; answer, when set, picks the alert
// button to press once the alert has shown for a while.
cSeen RunProgram(int frames, int32_t answer = -1)
{
    cSeen seen;
    int alertFrames = 0;
    auto* application = new cScriptedApplication(
        frames,
        [&](cScriptedApplication&, int)
        {
            cWidgetStartup* startup = Startup();
            seen.alphas.push_back(startup->GetState() == cWidgetStartup::kFinished ? 0 : startup->GetAlpha());
            if (Alert()->IsShown())
            {
                seen.alertTitle = Alert()->GetName();
                seen.alertFirst = Alert()->firstLine.CStr();
                seen.alertSecond = Alert()->secondLine.CStr();
                if (answer >= 0 && ++alertFrames == 20)
                    ClickWidget(Alert()->GetButton(answer));
            }
            if (startup->GetIntroHelp() && startup->GetIntroHelp()->IsShown())
                seen.introHelpShown = true;
            const std::string message = cMainUI::GetInstance()->GetStatusBar()->GetMessageText();
            if (!message.empty())
                seen.message = message;
            seen.finalState = startup->GetState();
            seen.introHelpCount = gSettings.introHelp;
            seen.recent = gSettings.recentProject.CStr();
            if (const cProject* project = cProjectList::GetInstance()->GetCurrentProject())
                seen.projectPath = project->GetPath().CStr();
            seen.playing = InstrumentsWithParts();
        });
    EXPECT_EQ(RunInProcess(application), kExitNormal);
    return seen;
}

// A project of the program's own making, saved as "User/Projects/Song.prj".
void SaveSong()
{
    EmptyInProcessDocuments();
    WriteSettings("IntroHelp=\"3\" RecentProject=\"\"");
    bool saved = false;
    auto* application = new cScriptedApplication(5,
                                                 [&](cScriptedApplication&, int frame)
                                                 {
                                                     if (frame == 3)
                                                         saved = cProjectList::GetInstance()->GetCurrentProject()->Save(
                                                             cGenStringFixed<64>("User/Projects/Song.prj"), false);
                                                 });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    ASSERT_TRUE(saved);
}

TEST(StartupPageTest, TheRecentProjectLoadsUnseenAndTheIntroHelpShowsOnThreeStartsOnly)
{
    SaveSong();
    for (int start = 0; start < 4; ++start)
    {
        SCOPED_TRACE(start);
        WriteSettings("IntroHelp=\"" + std::to_string(start) +
                      "\" RecentProject=\"User/Projects/Song.prj\" AutoSaved=\"false\"");
        const cSeen seen = RunProgram(60);
        EXPECT_EQ(seen.projectPath, "User/Projects/Song.prj");
        EXPECT_EQ(seen.recent, "User/Projects/Song.prj");
        EXPECT_EQ(seen.message, "Loaded Project 'Song'");
        EXPECT_TRUE(seen.alertTitle.empty()) << seen.alertTitle;
        EXPECT_EQ(seen.introHelpShown, start < 3);
        EXPECT_EQ(seen.introHelpCount, std::min(start + 1, 3));
    }
}

// A first start after the installer: the settings' default recent project
// is the demo our archive holds, and it loads with its song.
TEST(StartupPageTest, TheInstalledDemoProjectLoadsAtTheFirstStart)
{
    EmptyInProcessDocuments();
    ASSERT_EQ(Zip::cZipExtractor().ExtractArchive(BuildFile("bin/Resource/Install.zip").c_str(),
                                                  InProcessDocuments().c_str(), false),
              Zip::kResultOk);
    const cSeen seen = RunProgram(90);
    EXPECT_EQ(seen.projectPath, "User/Projects/Demos/Rock On.prj");
    EXPECT_EQ(seen.recent, "User/Projects/Demos/Rock On.prj");
    EXPECT_EQ(seen.message, "Loaded Project 'Rock On'");
    EXPECT_TRUE(seen.alertTitle.empty()) << seen.alertTitle;
    EXPECT_EQ(seen.playing, (std::vector<std::string>{"Drums", "Bass", "Chords", "Lead"}));
}

// A load the last start began and never ended (the program crashed or was
// killed meanwhile) is offered, not retried unasked: "Open" loads it, "New
// Project" keeps the new one, and either way it stays the recent project.
TEST(StartupPageTest, ALoadTheLastStartNeverEndedIsOfferedAgain)
{
    const std::string mark = InProcessDocuments() + "/../Temp/Opening Project.txt";
    for (const int32_t answer : {kAlertOK, kAlertNo})
    {
        SCOPED_TRACE(answer == kAlertOK ? "Open" : "New Project");
        SaveSong();
        WriteSettings("IntroHelp=\"3\" RecentProject=\"User/Projects/Song.prj\" AutoSaved=\"false\"");
        std::filesystem::create_directories(std::filesystem::path(mark).parent_path());
        std::ofstream(mark) << "User/Projects/Song.prj";
        const cSeen seen = RunProgram(150, answer);
        EXPECT_EQ(seen.alertTitle, "Project 'Song' Did Not Open");
        EXPECT_EQ(seen.alertFirst, "Quilwright closed while opening it at the last start.");
        EXPECT_EQ(seen.recent, "User/Projects/Song.prj");
        if (answer == kAlertOK)
        {
            EXPECT_EQ(seen.projectPath, "User/Projects/Song.prj");
            EXPECT_EQ(seen.message, "Loaded Project 'Song'");
        }
        else
            EXPECT_NE(seen.projectPath, "User/Projects/Song.prj");
        EXPECT_EQ(seen.finalState, cWidgetStartup::kFinished);
        EXPECT_FALSE(std::filesystem::exists(mark));
    }
}

// With nothing to load and the help seen, the cover fades by 10 a frame at
// 60 frames per second and leaves.
TEST(StartupPageTest, WithNothingToDoTheCoverFadesAtOnce)
{
    EmptyInProcessDocumentsOfAReturningUser();
    const cSeen seen = RunProgram(kStartupCoverFrames + 5);
    EXPECT_EQ(seen.finalState, cWidgetStartup::kFinished);
    EXPECT_FALSE(seen.introHelpShown);
    std::vector<int32_t> steps;
    for (size_t i = 1; i < seen.alphas.size(); ++i)
        if (seen.alphas[i] > 0 && seen.alphas[i] < seen.alphas[i - 1])
            steps.push_back(seen.alphas[i - 1] - seen.alphas[i]);
    ASSERT_GE(steps.size(), 20u);
    for (int32_t step : steps)
        EXPECT_EQ(step, 10);
}

// A recent project that is gone gives way silently to a new untitled one,
// which becomes the recent project; one that is there but does not load is
// said so and stays the recent project, offered again at the next start,
// and the intro help waits for another start.
TEST(StartupPageTest, ARecentProjectThatDoesNotLoadGivesWayToANewUntitledOne)
{
    const struct
    {
        const char* name;
        const char* recent;
        const char* takenFolder;
        const char* brokenFolder;
        const char* newPath;
        const char* newRecent;
        const char* alertTitle;
    } cases[] = {
        {"gone", "User/Projects/Gone.prj", nullptr, nullptr, "User/Projects/Untitled.prj", "User/Projects/Untitled.prj",
         ""},
        {"gone, name taken", "User/Projects/Gone.prj", "User/Projects/Untitled.prj", nullptr,
         "User/Projects/Untitled-02.prj", "User/Projects/Untitled-02.prj", ""},
        // An untitled project closed unchanged leaves no folder, yet stays
        // recent: the fallback takes its name again without a word.
        {"gone, the fallback's own name", "User/Projects/Untitled.prj", nullptr, nullptr, "User/Projects/Untitled.prj",
         "User/Projects/Untitled.prj", ""},
        {"damaged", "User/Projects/Broken.prj", nullptr, "User/Projects/Broken.prj", "User/Projects/Untitled.prj",
         "User/Projects/Broken.prj", "Failed to load project 'Broken'"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EmptyInProcessDocuments();
        WriteSettings(std::string("IntroHelp=\"0\" AutoSaved=\"false\" RecentProject=\"") + c.recent + "\"");
        if (c.takenFolder)
        {
            // Not empty, so start-up keeps it.
            MakeFolder(c.takenFolder);
            std::ofstream(InProcessDocuments() + "/" + c.takenFolder + "/notes.txt") << "mine";
        }
        if (c.brokenFolder)
        {
            MakeFolder(c.brokenFolder);
            std::ofstream(InProcessDocuments() + "/" + c.brokenFolder + "/Package.prj") << "not a project";
        }
        const cSeen seen = RunProgram(120, kAlertOK);
        EXPECT_EQ(seen.projectPath, c.newPath);
        EXPECT_EQ(seen.recent, c.newRecent);
        EXPECT_EQ(seen.alertTitle, c.alertTitle);
        const bool failureSaid = c.brokenFolder != nullptr;
        if (failureSaid)
        {
            EXPECT_FALSE(seen.alertFirst.empty());
        }
        EXPECT_EQ(seen.introHelpShown, !failureSaid);
        EXPECT_EQ(seen.introHelpCount, failureSaid ? 0 : 1);
        if (failureSaid)
        {
            EXPECT_EQ(seen.finalState, cWidgetStartup::kFinished) << "OK lets the cover fade";
        }
    }
}

TEST(StartupPageTest, AnAutoSavedVersionIsOfferedAndEitherChoiceLoads)
{
    SaveSong();
    for (int32_t answer : {int32_t(kAlertOK), int32_t(kAlertNo)})
    {
        SCOPED_TRACE(answer);
        WriteSettings("IntroHelp=\"3\" RecentProject=\"User/Projects/Song.prj\" AutoSaved=\"true\"");
        const cSeen seen = RunProgram(90, answer);
        EXPECT_EQ(seen.alertTitle, "Autosaved Project 'Song'");
        EXPECT_EQ(seen.alertFirst, "Quilwright automatically saved a more recent version.");
        EXPECT_EQ(seen.alertSecond, "Do you wish to load the auto saved version?");
        EXPECT_EQ(seen.message, "Loaded Project 'Song'");
        EXPECT_EQ(seen.projectPath, "User/Projects/Song.prj");
        EXPECT_EQ(seen.recent, "User/Projects/Song.prj");
        EXPECT_EQ(seen.finalState, cWidgetStartup::kFinished);
    }
}

// Whatever the recent project, a failed audio start is reported with the
// back end's reason whole, nothing is loaded, and OK lets the cover go.
TEST(StartupPageTest, AFailedAudioStartIsReportedWithItsReasonWhole)
{
    SaveSong();
    WriteSettings("IntroHelp=\"0\" RecentProject=\"User/Projects/Song.prj\" AutoSaved=\"false\"");
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    const cSeen seen = RunProgram(90, kAlertOK);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(seen.alertTitle, "Audio Failed to Initialize");
    const std::string text = seen.alertFirst + (seen.alertSecond.empty() ? "" : " " + seen.alertSecond);
    EXPECT_EQ(text.rfind("Couldn't start the audio system: ", 0), 0u) << text;
    EXPECT_NE(text.find("no-such-audio-driver"), std::string::npos) << text;
    EXPECT_NE(seen.projectPath, "User/Projects/Song.prj");
    EXPECT_FALSE(seen.introHelpShown);
    EXPECT_EQ(seen.finalState, cWidgetStartup::kFinished);
}

// A user's project from start to next start: the new untitled project has
// its folder while the program runs, is saved when the program is closed,
// and comes back at the next start; moved and named as the recent project,
// it loads under its new name.
TEST(StartupPageTest, TheClosedProjectComesBackAtTheNextStartAndAMovedOneUnderItsName)
{
    EmptyInProcessDocumentsOfAReturningUser();
    const std::string untitled = InProcessDocuments() + "/User/Projects/Untitled-01.prj";
    bool folderWhileRunning = false;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 20,
        [&](cScriptedApplication&, int frame)
        {
            if (frame == kStartupCoverFrames)
            {
                folderWhileRunning = std::filesystem::is_directory(untitled);
                for (int press = 0; press < 2; ++press)
                {
                    PushKey(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE);
                    PushKey(SDL_KEYUP, SDL_SCANCODE_SPACE, SDLK_SPACE);
                }
                MarkProjectModified();
            }
        });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_TRUE(folderWhileRunning);
    for (const char* file : {"Package.prj", "Package.sng", "Kest.bnk"})
        EXPECT_TRUE(std::filesystem::exists(untitled + "/" + file)) << file;

    cSeen seen = RunProgram(60);
    EXPECT_EQ(seen.message, "Loaded Project 'Untitled-01'");
    EXPECT_EQ(seen.projectPath, "User/Projects/Untitled-01.prj");

    std::filesystem::rename(untitled, InProcessDocuments() + "/User/Projects/Moved.prj");
    WriteSettings("IntroHelp=\"3\" AutoSaved=\"false\" RecentProject=\"User/Projects/Moved.prj\"");
    seen = RunProgram(60);
    EXPECT_EQ(seen.message, "Loaded Project 'Moved'");
    EXPECT_EQ(seen.projectPath, "User/Projects/Moved.prj");
    EXPECT_TRUE(seen.alertTitle.empty()) << seen.alertTitle;
}

TEST(StartupPageTest, AnAlertTextTooWideForALineBreaksAfterItsFirstColon)
{
    const struct
    {
        const char* text;
        bool fits;
        const char* first;
        const char* second;
    } cases[] = {
        {"Couldn't open the audio device: busy", true, "Couldn't open the audio device: busy", ""},
        {"Couldn't open the audio device: busy", false, "Couldn't open the audio device:", "busy"},
        {"No colon here at all", false, "No colon here at all", ""},
        {"a: b: c", false, "a:", "b: c"},
    };
    for (const auto& c : cases)
    {
        cGenStringFixed<260> first, second;
        SplitAlertText(c.text, c.fits, first, second);
        EXPECT_STREQ(first.CStr(), c.first);
        EXPECT_STREQ(second.CStr(), c.second);
    }
}
} // namespace

// The folder that could not be used and the one used instead, each whole
// where the line holds it and otherwise shortened in the middle, so both
// ends of a long path stay readable.
TEST(StartupPageTest, ADataFolderBesideTheProgramIsToldWithBothFolders)
{
    // A start with nothing to load or install, which the one frame leaves
    // finished for the next test.
    EmptyInProcessDocumentsOfAReturningUser();
    const std::string longWanted = "/home/" + std::string(80, 'u') + "/.local/share/Quilwright/Documents";
    const std::string longUsed = "/opt/" + std::string(80, 'p') + "/bin/Documents";
    bool checked = false;
    auto* application = new cScriptedApplication(1, [&](cScriptedApplication&, int) {
        const cFontHandle& font = Alert()->textFont;
        const float width = cWidgetAlert::GetLineWidth();
        const struct
        {
            std::string wanted, reason, used, first, second;
        } cases[] = {
            {"/home/u/.local/share/Quilwright/Documents", "/home/u/.local/share cannot be used (Permission denied)",
             "/opt/q/Documents", "/home/u/.local/share/Quilwright/Documents", "Saving to /opt/q/Documents"},
            {"", "the data home cannot be used (no data home is known)", "/opt/q/Documents",
             "the data home cannot be used (no data home is known)", "Saving to /opt/q/Documents"},
        };
        for (const auto& c : cases)
        {
            cGenStringFixed<260> first, second;
            DescribeDataFolderFallback(c.wanted.c_str(), c.reason.c_str(), c.used.c_str(), font, width, first, second);
            EXPECT_EQ(first.CStr(), c.first);
            EXPECT_EQ(second.CStr(), c.second);
        }
        cGenStringFixed<260> first, second;
        DescribeDataFolderFallback(longWanted.c_str(), "", longUsed.c_str(), font, width, first, second);
        for (const auto& [line, path, lead] : {std::tuple{std::string(first.CStr()), longWanted, std::string()},
                                               std::tuple{std::string(second.CStr()), longUsed, std::string("Saving to ")}})
        {
            EXPECT_LE(font.GetTextWidth(line.c_str()), width) << line;
            EXPECT_EQ(line.rfind(lead + "/", 0), 0u) << line;
            EXPECT_NE(line.find(".."), std::string::npos) << line;
            const std::string end = path.substr(path.size() - 10);
            EXPECT_EQ(line.substr(line.size() - end.size()), end) << line;
        }
        checked = true;
    });
    EXPECT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_TRUE(checked);
}

// A file handed to the program asks where it goes; on the starts that show
// the intro help, the help waits until the copy is done, so it never covers
// the prompt or takes its keys, and the copy is confirmed on the status bar.
TEST(StartupPageTest, TheIntroHelpWaitsForTheImportOfAHandedFile)
{
    EmptyInProcessDocuments();
    WriteSettings("IntroHelp=\"0\" RecentProject=\"\"");
    const std::string handed = InProcessDataHome() + "/handed/Groove.mid";
    std::filesystem::create_directories(InProcessDataHome() + "/handed");
    std::ofstream(handed, std::ios::binary) << "MThd, copied as it is";
    const char* arguments[] = {"quilwright", "-desktop", handed.c_str()};
    struct
    {
        bool promptShown = false, helpWhilePrompt = false, helpAfter = false;
        int32_t countWhilePrompt = -1, countAfter = -1;
        std::string message;
    } seen;
    auto* application = new cScriptedApplication(
        kStartupCoverFrames + 120,
        [&](cScriptedApplication&, int frame)
        {
            const bool importing = cMainUI::GetInstance()->GetOpenURL()->GetState() == 0;
            const bool help = Startup()->GetIntroHelp() && Startup()->GetIntroHelp()->IsShown();
            if (importing)
            {
                seen.promptShown = true;
                seen.helpWhilePrompt = seen.helpWhilePrompt || help;
                seen.countWhilePrompt = gSettings.introHelp;
            }
            else if (seen.promptShown && help)
            {
                seen.helpAfter = true;
                seen.countAfter = gSettings.introHelp;
            }
            const std::string message = cMainUI::GetInstance()->GetStatusBar()->GetMessageText();
            if (!message.empty())
                seen.message = message;
            if (frame == kStartupCoverFrames + 10)
            {
                PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN);
                PushKey(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN);
            }
        },
        3, arguments);
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_TRUE(seen.promptShown);
    EXPECT_FALSE(seen.helpWhilePrompt);
    EXPECT_EQ(seen.countWhilePrompt, 0) << "not counted while it waits";
    EXPECT_TRUE(seen.helpAfter);
    EXPECT_EQ(seen.countAfter, 1);
    EXPECT_EQ(seen.message, "Copied 'Groove.mid' to User/MIDI Files") << "into the MIDI folder a new data home lacks";
    EXPECT_TRUE(std::filesystem::exists(InProcessDocuments() + "/User/MIDI Files/Groove.mid"));
}
