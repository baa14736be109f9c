#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "mixer/AuditionPlayer.h"
#include "project/FileList.h"

namespace ProjectTest
{
namespace
{
using Browser = cWidgetFileBrowser;
using Names = std::vector<std::string>;

class FileBrowserTest : public BrowserFixture
{
protected:
    // "My Song.prj" with its main file, backup and autosave, beside a plain file.
    void MakeProjects()
    {
        Touch("User/Projects/My Song.prj/Package.prj");
        Touch("User/Projects/My Song.prj/Package.prj.bak");
        Touch("User/Projects/My Song.prj/Package.prj.as");
        Touch("User/Projects/My Song.prj/Package.prj.as.bak");
        Touch("User/Projects/Old.qpk");
    }
};

TEST_F(FileBrowserTest, ProjectFoldersListTheirBackupAndAutosaveOnlyWhenLoading)
{
    MakeProjects();
    Request("Load Project", "User/Projects", "User/Projects", {"qpk"}, {"prj"}, Browser::kFlagOpen);
    EXPECT_EQ(Rows(), (Names{"My Song.prj", "My Song.prj (bak)", "My Song.prj (autosave)", "Old.qpk", "Song.prj"}));
    SelectRow("My Song.prj (bak)");
    Press(Browser::kButtonAccept);
    ASSERT_EQ(results, (std::vector<int32_t>{1}));
    EXPECT_EQ(chosen[0], "User/Projects/My Song.prj.bak");
    EXPECT_FALSE(browser->IsOpen());

    Request("Save Project", "User/Projects", "User/Projects/New.prj", {"???"}, {"prj"}, Browser::kFlagSave,
            "prj");
    EXPECT_EQ(Rows(), (Names{"My Song.prj", "Song.prj"}));
}

TEST_F(FileBrowserTest, FiltersFoldersAndOrder)
{
    Folder("User/Samples/Old.Takes");
    Folder("User/Samples/Drums");
    Touch("User/Samples/b.wav");
    Touch("User/Samples/A.WAV");
    Touch("User/Samples/c.wav.bak");
    Touch("User/Samples/d.tmp");
    Touch("User/Samples/e.mid");
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    EXPECT_EQ(Rows(), (Names{"Drums", "Old", "A.WAV", "b.wav"}));
    EXPECT_STREQ(browser->GetDisplayFolder(), "Samples");

    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19 | Browser::kFlagShowBackups);
    EXPECT_EQ(Rows(), (Names{"Drums", "Old", "A.WAV", "b.wav"})) << "backups pass only the type filter too";
    Request("Browse", "User", "User/Samples", {}, {}, Browser::kFlagShowBackups);
    EXPECT_EQ(Rows(), (Names{"Drums", "Old", "A.WAV", "b.wav", "c.wav.bak", "d.tmp", "e.mid"}));
    Request("Folders", "User", "User/Samples", {"???"}, {}, 0);
    EXPECT_EQ(Rows(), (Names{"Drums", "Old"}));

    SelectRow("Old");
    Press(Browser::kButtonAccept);
    EXPECT_STREQ(browser->GetCurrentFolder(), "User/Samples/Old.Takes");
    EXPECT_STREQ(browser->GetDisplayFolder(), "Samples/Old");
}

TEST_F(FileBrowserTest, WalkingStaysBelowTheRootAndSelectsTheFolderLeft)
{
    Folder("User/Samples/Drums/Kicks");
    Request("Load Sample", "User", "User/Samples/Drums", {"wav"}, {}, 0x19);
    EXPECT_EQ(browser->GetDepth() - browser->GetRootDepth(), 2);
    SelectRow("Kicks");
    Frame();
    EXPECT_EQ(host.title, "Load Sample : Samples/Drums/Kicks/");
    Press(Browser::kButtonUp);
    EXPECT_STREQ(browser->GetCurrentFolder(), "User/Samples");
    EXPECT_EQ(browser->GetEntries()[size_t(browser->GetSelection())].name, "Drums");
    Frame();
    EXPECT_EQ(host.title, "Load Sample : Samples/Drums/");
    Press(Browser::kButtonUp);
    EXPECT_STREQ(browser->GetCurrentFolder(), "User");
    EXPECT_FALSE(Enabled(Browser::kButtonUp));
    browser->GoUp();
    EXPECT_STREQ(browser->GetCurrentFolder(), "User") << "never above the root, button or not";

    // A start path that names a missing folder stops at the last one there.
    Request("Load Sample", "User", "User/Samples/Nowhere/x.wav", {"wav"}, {}, 0x19);
    EXPECT_STREQ(browser->GetCurrentFolder(), "User/Samples");
    // One that climbs stops before it: the walk never leaves the folders it names.
    for (const char* start : {"User/Samples/../../..", "User/./Samples", "User/Samples/.."})
    {
        Request("Load Sample", "User", start, {"wav"}, {}, 0x19);
        EXPECT_STREQ(browser->GetCurrentFolder(), std::string(start).find("Samples/..") != std::string::npos
                                                      ? "User/Samples"
                                                      : "User")
            << start;
    }
}

TEST_F(FileBrowserTest, StartFileIsSelectedAndDescribed)
{
    WriteWav(Native("User/Samples/Kick.wav"));
    Request("Load Sample", "User", "User/Samples/Kick.wav", {"wav"}, {}, 0x19);
    ASSERT_GE(browser->GetSelection(), 0);
    EXPECT_EQ(browser->GetEntries()[size_t(browser->GetSelection())].name, "Kick.wav");
    EXPECT_NE(std::string(browser->GetInfoText1()).find(", "), std::string::npos) << browser->GetInfoText1();
    EXPECT_NE(std::string(browser->GetInfoText2()).find("44.1kHz Mono, 16bit"), std::string::npos);
}

TEST_F(FileBrowserTest, SaveRequestsAskBeforeOverwriting)
{
    Touch("User/Projects/Other.prj/Package.prj");
    // The project's own folder is the start path: selected, pre-selected,
    // and the keyboard opens at once with its name.
    Request("Save Project", "User/Projects", "User/Projects/Song.prj", {"???"}, {"prj"}, 6, "prj");
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_STREQ(host.prompts[0].title.CStr(), "Save Project : Projects/");
    EXPECT_STREQ(host.prompts[0].text.CStr(), "Song.prj");
    EXPECT_TRUE(host.prompts[0].hideBelow);
    EXPECT_STREQ(browser->GetPreselectedPath(), "User/Projects/Song.prj");

    // The same name typed asks to overwrite it.
    host.Enter("Song.prj");
    EXPECT_EQ(AlertLines(), "A file with the name 'Song.prj' already exists. / Do you want to overwrite it?");
    AnswerAlert(kAlertCancel);
    EXPECT_TRUE(results.empty());
    // Another existing row asks too; the pre-selected one completes at once.
    SelectRow("Other.prj");
    Press(Browser::kButtonAccept);
    EXPECT_EQ(AlertLines(), "Do you want to overwrite / 'Other.prj'?");
    AnswerAlert(kAlertCancel);
    SelectRow("Song.prj");
    Press(Browser::kButtonAccept);
    ASSERT_EQ(results, (std::vector<int32_t>{1}));
    EXPECT_EQ(chosen[0], "User/Projects/Song.prj");

    // A new name completes without a question, the extension added.
    Request("Save Project", "User/Projects", "User/Projects/Song.prj", {"???"}, {"prj"}, 6, "prj");
    host.Enter("Fresh");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(chosen[1], "User/Projects/Fresh.prj");
}

TEST_F(FileBrowserTest, NameAtOnceKeyboardOutcomes)
{
    struct cCase
    {
        int32_t answer;
        bool open;
        std::vector<int32_t> results;
    };
    const cCase cases[] = {
        {cFileBrowserHost::kPromptCancelled, false, {0}},
        {cFileBrowserHost::kPromptBrowse, true, {}},
    };
    for (const cCase& c : cases)
    {
        results.clear();
        Request("Save Project", "User/Projects", "User/Projects/Song.prj", {"???"}, {"prj"}, 6, "prj");
        host.Answer(c.answer);
        EXPECT_EQ(browser->IsOpen(), c.open);
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(browser->GetPendingAction(), Browser::kActionNone);
        browser->Close();
    }
    // The "Save As" keyboard cancelled leaves the browser open.
    results.clear();
    Request("Save Sample", "User", "User/Samples/x.wav", {"wav"}, {}, 0x12, "wav");
    Press(Browser::kButtonSaveAs);
    host.Answer(cFileBrowserHost::kPromptCancelled);
    EXPECT_TRUE(browser->IsOpen());
    EXPECT_TRUE(results.empty());
}

TEST_F(FileBrowserTest, FolderRequestsRefuseNamesThatExist)
{
    Folder("User/Mixdowns/Take");
    Request("Mixdown Folder", "User/Mixdowns", "User/Mixdowns/Mix", {"???"}, {}, 0xD6);
    ASSERT_EQ(host.prompts.size(), 1u);
    host.Enter("Take");
    EXPECT_EQ(AlertLines(), "A folder with the name 'Take' already exists / Please choose a different name.");
    EXPECT_EQ(host.prompts.size(), 1u) << "the keyboard is not opened again";
    EXPECT_TRUE(results.empty());
}

TEST_F(FileBrowserTest, UnusableTypedNamesAreRefusedAndTouchNothing)
{
    Request("Save Sample", "User", "User/Samples", {"wav"}, {}, 0x12, "wav");
    const std::string longName(300, 'a');
    for (const std::string& name : {std::string(""), std::string("."), std::string(".."), std::string("a/b"),
                                    std::string("\\up"), std::string("..\\..\\x"), std::string("bad\xff"),
                                    longName})
    {
        Press(Browser::kButtonSaveAs);
        host.Enter(name);
        EXPECT_EQ(AlertLines(), "Please choose a different name. / ") << name;
        EXPECT_TRUE(results.empty()) << name;
        AnswerAlert(kAlertOK);
    }
}

TEST_F(FileBrowserTest, ButtonsFollowTheProtections)
{
    Folder("User/Samples/Mine");
    Touch("User/Samples/Mine/k.wav");
    struct cCase
    {
        int32_t folder, item;
        bool newFolder, deleteFile, deleteFolder, saveAs;
    };
    const cCase cases[] = {
        {0, 0, false, true, false, true},
        {1, 1, true, true, false, true},
        {3, 3, true, true, true, true},
        {4, 4, false, false, false, false},
    };
    for (const cCase& c : cases)
    {
        host.protections["User/Samples"] = c.folder;
        host.protections["User/Samples/Mine"] = c.item;
        host.protections["User/Samples/k.wav"] = c.item;
        Touch("User/Samples/k.wav");
        Request("Save Sample", "User", "User/Samples", {"wav"}, {}, 0x12, "wav");
        EXPECT_EQ(Enabled(Browser::kButtonNewFolder), c.newFolder) << c.folder;
        EXPECT_EQ(Enabled(Browser::kButtonSaveAs), c.saveAs) << c.folder;
        SelectRow("k.wav");
        EXPECT_EQ(Enabled(Browser::kButtonDelete), c.deleteFile) << c.folder;
        EXPECT_EQ(Enabled(Browser::kButtonRename), c.deleteFile) << c.folder;
        SelectRow("Mine");
        EXPECT_EQ(Enabled(Browser::kButtonDelete), c.deleteFolder) << c.folder;
        EXPECT_STREQ(browser->GetButton(Browser::kButtonAccept)->GetName(), "Open");
        browser->Close();
    }
}

// The open project's folder, and any folder holding it, keep their names:
// the project saves into them.
TEST_F(FileBrowserTest, TheProjectFolderCannotBeDeletedOrRenamed)
{
    host.protections["User/Projects/Song.prj"] = 0;
    host.protections["User/Projects/Group"] = 3;
    Folder("User/Projects/Group/Inner.prj");
    host.projectFolder = "User/Projects/Group/Inner.prj";
    Request("Load Project", "User/Projects", "User/Projects", {"qpk"}, {"prj"}, 1);
    SelectRow("Group");
    EXPECT_FALSE(Enabled(Browser::kButtonDelete));
    EXPECT_FALSE(Enabled(Browser::kButtonRename));
    host.projectFolder = "User/Projects/Song.prj";
    Request("Load Project", "User/Projects", "User/Projects", {"qpk"}, {"prj"}, 1);
    SelectRow("Song.prj");
    EXPECT_FALSE(Enabled(Browser::kButtonDelete));
    EXPECT_FALSE(Enabled(Browser::kButtonRename));
    SelectRow("Group");
    EXPECT_TRUE(Enabled(Browser::kButtonDelete));
}

TEST_F(FileBrowserTest, DeletingRowsRemovesWhatTheyName)
{
    MakeProjects();
    Request("Load Project", "User/Projects", "User/Projects", {"qpk"}, {"prj"}, 1);
    SelectRow("My Song.prj (autosave)");
    Press(Browser::kButtonDelete);
    EXPECT_EQ(AlertLines(), "Are you sure you want to delete / 'My Song.prj (autosave)'?");
    AnswerAlert(kAlertOK);
    EXPECT_FALSE(Exists("User/Projects/My Song.prj/Package.prj.as"));
    EXPECT_FALSE(Exists("User/Projects/My Song.prj/Package.prj.as.bak"));
    EXPECT_TRUE(Exists("User/Projects/My Song.prj/Package.prj.bak"));
    EXPECT_TRUE(Exists("User/Projects/My Song.prj/Package.prj"));

    SelectRow("My Song.prj (bak)");
    Press(Browser::kButtonDelete);
    AnswerAlert(kAlertOK);
    EXPECT_FALSE(Exists("User/Projects/My Song.prj/Package.prj.bak"));
    EXPECT_TRUE(Exists("User/Projects/My Song.prj/Package.prj"));

    SelectRow("My Song.prj");
    Press(Browser::kButtonDelete);
    AnswerAlert(kAlertCancel);
    EXPECT_TRUE(Exists("User/Projects/My Song.prj"));
    Press(Browser::kButtonDelete);
    AnswerAlert(kAlertOK);
    EXPECT_FALSE(Exists("User/Projects/My Song.prj"));
    EXPECT_EQ(Rows(), (Names{"Old.qpk", "Song.prj"}));

    // A link to a folder outside goes as a link; what it names stays.
    const std::string outside = DataHome() + "/outside";
    WriteText(outside + "/keep.wav", "x");
    std::filesystem::create_directory_symlink(outside, Native("User/Projects/Link.qpk"));
    Request("Load Project", "User/Projects", "User/Projects", {"qpk"}, {"prj"}, 1);
    SelectRow("Link.qpk");
    Press(Browser::kButtonDelete);
    AnswerAlert(kAlertOK);
    EXPECT_FALSE(std::filesystem::is_symlink(Native("User/Projects/Link.qpk")));
    EXPECT_TRUE(std::filesystem::exists(outside + "/keep.wav"));
}

TEST_F(FileBrowserTest, NewFolders)
{
    Folder("User/Samples/Taken");
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    Press(Browser::kButtonNewFolder);
    EXPECT_STREQ(host.prompts.back().title.CStr(), "New Folder : Samples/");
    host.Enter("Taken");
    EXPECT_EQ(AlertLines(), "The folder 'Taken' already exists / ");
    AnswerAlert(kAlertOK);
    Press(Browser::kButtonNewFolder);
    host.Enter("Fresh");
    EXPECT_TRUE(std::filesystem::is_directory(Native("User/Samples/Fresh")));
    EXPECT_EQ(browser->GetEntries()[size_t(browser->GetSelection())].name, "Fresh");
    EXPECT_EQ(browser->GetPendingAction(), Browser::kActionNone);
}

TEST_F(FileBrowserTest, Renames)
{
    Folder("User/Samples/Old.Takes");
    Touch("User/Samples/a.wav", "a");
    Touch("User/Samples/b.wav", "b");
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    struct cCase
    {
        const char* row;
        const char* shown;
        const char* typed;
        const char* after;
    };
    // The keyboard gets the display name and gives back the typed text with
    // the extension it kept apart.
    const cCase cases[] = {
        {"a.wav", "a.wav", "c.wav", "User/Samples/c.wav"},
        {"Old", "Old", "New", "User/Samples/New"},
    };
    for (const cCase& c : cases)
    {
        SelectRow(c.row);
        Press(Browser::kButtonRename);
        EXPECT_STREQ(host.prompts.back().text.CStr(), c.shown);
        host.Enter(c.typed);
        EXPECT_TRUE(Exists(std::string(c.after).substr(0))) << c.typed;
    }
    // Onto a taken name: both stay as they were.
    SelectRow("c.wav");
    Press(Browser::kButtonRename);
    host.Enter("b.wav");
    EXPECT_EQ(ReadText(Native("User/Samples/c.wav")), "a");
    EXPECT_EQ(ReadText(Native("User/Samples/b.wav")), "b");
}

TEST_F(FileBrowserTest, SamplesInUseAreNamedBeforeDeletingOrRenaming)
{
    auto* packages = new cInstrumentPackageRegistry();
    auto* package = new cStandInPackage("Kest");
    packages->AddPackage(package);
    package->sampleInUse = "User/Samples/Used.wav";
    Touch("User/Samples/Used.wav");
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    ASSERT_EQ(browser->GetEntries()[size_t(RowOf("Used.wav"))].flags, Browser::kEntryInUse);
    SelectRow("Used.wav");
    Press(Browser::kButtonDelete);
    EXPECT_EQ(AlertLines(), "'Used.wav' is in use by this project. / Are you sure you want to delete it?");
    AnswerAlert(kAlertCancel);
    EXPECT_TRUE(Exists("User/Samples/Used.wav"));
    Press(Browser::kButtonRename);
    EXPECT_EQ(AlertLines(), "'Used.wav' is in use by this project. / Are you sure you want to rename it?");
    const size_t prompts = host.prompts.size();
    AnswerAlert(kAlertOK);
    ASSERT_EQ(host.prompts.size(), prompts + 1);
    EXPECT_STREQ(host.prompts.back().title.CStr(), "Rename 'Used.wav' to : ");
    host.Answer(cFileBrowserHost::kPromptCancelled);
    browser->Close();
    delete packages;
}

TEST_F(FileBrowserTest, OpenFolderHandsTheFolderToTheSystem)
{
    const std::string bin = DataHome() + "/bin";
    const std::string log = DataHome() + "/opened.txt";
    WriteText(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" > '" + log + "'\n");
    std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (bin + ":" + path).c_str(), 1);
    Folder("User/Samples");
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    EXPECT_STREQ(browser->GetButton(Browser::kButtonOpenFolder)->GetName(), "Open Folder...");
    Press(Browser::kButtonOpenFolder);
    for (int i = 0; i < 500 && ReadText(log).empty(); ++i)
        usleep(2000);
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(ReadText(log), Native("User/Samples") + "\n");
}

TEST_F(FileBrowserTest, KeysAreNotTaken)
{
    Request("Load Sample", "User", "User", {"wav"}, {}, 0x19);
    cKeyEvent event{};
    EXPECT_FALSE(browser->HandleKey(&event));
}

TEST_F(FileBrowserTest, TypeSlotsAreBounded)
{
    browser->Reset();
    for (int i = 0; i < Browser::kFileTypeSlots; ++i)
        EXPECT_TRUE(browser->AddFileType("wav", nullptr));
    EXPECT_FALSE(browser->AddFileType("ogg", nullptr));
    EXPECT_TRUE(browser->AddPackageType("prj", nullptr));
    EXPECT_TRUE(browser->AddPackageType("qpk", nullptr));
    EXPECT_FALSE(browser->AddPackageType("vrx", nullptr));
    EXPECT_EQ(browser->FindPackageType("x.vrx"), -1);
    EXPECT_FALSE(browser->PassesFileFilter("x.ogg"));
}

TEST(FileListTest, HoldsTwelvePaths)
{
    cFileList list;
    EXPECT_TRUE(list.Add(""));
    EXPECT_TRUE(list.Add(nullptr));
    EXPECT_EQ(list.GetCount(), 0);
    for (int i = 0; i < cFileList::kCapacity; ++i)
    {
        std::string path = "p";
        path += std::to_string(i);
        EXPECT_TRUE(list.Add(path.c_str()));
    }
    EXPECT_FALSE(list.Add("thirteenth"));
    EXPECT_EQ(list.GetCount(), 12);
    EXPECT_STREQ(list.GetPath(11), "p11");
}
} // namespace
} // namespace ProjectTest

namespace ProjectTest
{
namespace
{
// Tapping a WAV row plays it while the toggle is on; another row, the
// toggle turned off or leaving the folder stops it.
TEST_F(FileBrowserTest, AuditionPlaysWavRows)
{
    cAuditionPlayer player;
    WriteWav(Native("User/Samples/Kick.wav"), 0, 4096);
    Touch("User/Samples/Song.mid");
    Folder("User/Samples/Drums");
    Request("Load Sample", "User", "User/Samples", {"wav", "mid"}, {}, 0x19);
    ASSERT_TRUE(browser->GetButton(cWidgetFileBrowser::kButtonAudition)->IsVisible());
    browser->OnRowTapped(RowOf("Kick.wav"));
    EXPECT_TRUE(player.IsActive());
    browser->OnRowTapped(RowOf("Song.mid"));
    EXPECT_FALSE(player.IsActive());

    cWidgetButton* toggle = browser->GetButton(cWidgetFileBrowser::kButtonAudition);
    browser->OnRowTapped(RowOf("Kick.wav"));
    toggle->value = 0;
    Press(cWidgetFileBrowser::kButtonAudition);
    EXPECT_FALSE(player.IsActive());
    toggle->value = 1;
    Press(cWidgetFileBrowser::kButtonAudition);
    EXPECT_TRUE(player.IsActive()) << "turned on with a WAV row selected, it plays";
    browser->OnRowTapped(RowOf("Drums"));
    browser->OnRowTapped(RowOf("Drums"));
    EXPECT_FALSE(player.IsActive());
    EXPECT_STREQ(browser->GetCurrentFolder(), "User/Samples/Drums");
}
} // namespace
} // namespace ProjectTest
