#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "AppTestSupport.h"
#include "app/MainUI.h"
#include "app/WidgetStatusBar.h"
#include "base/StatusNotice.h"

// What a start does with what killed saves of an earlier run left in the
// data folders, and how the engines' notices reach the status bar.
namespace
{
namespace fs = std::filesystem;

void WriteOld(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

// A start removes the temporaries no live writer holds, in the documents
// and the temporary folder, and finishes a project save cut short after its
// journal, before anything reads them; files of the user's stay.
TEST(StartupSweepTest, AStartClearsWhatKilledSavesLeftAndKeepsTheUsersFiles)
{
    EmptyInProcessDocumentsOfAReturningUser();
    const std::string documents = InProcessDocuments();
    const std::string temp = documents + "/../Temp";
    WriteOld(documents + "/GlobalSettings.dat.ab12cd34.tmp", "a killed settings save");
    WriteOld(documents + "/Instruments/Kest/GlobalC.bnk.0a1b2c3d.tmp", "a killed bank save");
    WriteOld(temp + "/Sampler/1AUndo.tmp.zz99yy88.tmp", "a killed undo file");
    WriteOld(documents + "/User/Samples/Mine.wav.tmp", "the user's");
    WriteOld(documents + "/User/Projects/Song.prj/Package.prj", "old");
    WriteOld(documents + "/User/Projects/Song.prj/Package.prj.ab12cd34.tmp", "new");
    WriteOld(documents + "/User/Projects/Song.prj/Commit.journal",
             "commit journal 1\nC\t0\tPackage.prj.ab12cd34.tmp\tPackage.prj\n");
    auto* application = new cScriptedApplication(3, nullptr);
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    for (const char* gone : {"/GlobalSettings.dat.ab12cd34.tmp", "/Instruments/Kest/GlobalC.bnk.0a1b2c3d.tmp",
                             "/User/Projects/Song.prj/Commit.journal"})
        EXPECT_FALSE(fs::exists(documents + gone)) << gone;
    EXPECT_FALSE(fs::exists(temp + "/Sampler/1AUndo.tmp.zz99yy88.tmp"));
    EXPECT_TRUE(fs::exists(documents + "/User/Samples/Mine.wav.tmp"));
    std::ifstream saved(documents + "/User/Projects/Song.prj/Package.prj");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), "new");
}

// A notice posted from any thread shows in the status bar once it exists.
TEST(StartupSweepTest, AnEnginesNoticeReachesTheStatusBar)
{
    EmptyInProcessDocumentsOfAReturningUser();
    PostStatusNotice("Recovered bank '%s' from '%s'", "Live", "Live.vrx.bak");
    std::string shown;
    auto* application = new cScriptedApplication(kStartupCoverFrames, [&](cScriptedApplication&, int) {
        const std::string message = cMainUI::GetInstance()->GetStatusBar()->GetMessageText();
        if (!message.empty())
            shown = message;
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_EQ(shown, "Recovered bank 'Live' from 'Live.vrx.bak'");
}
} // namespace
