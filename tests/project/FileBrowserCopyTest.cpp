#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "project/ui/WidgetOpenURL.h"

namespace ProjectTest
{
namespace
{
using Browser = cWidgetFileBrowser;

class FileBrowserCopyTest : public BrowserFixture
{
protected:
    void LoadSample(const char* start = "User/Samples")
    {
        Request("Load Sample", "User", start, {"wav"}, {}, 0x19);
    }
    void LoadCopyOf(const std::string& row)
    {
        SelectRow(row);
        Press(Browser::kButtonLoadCopy);
        Frame();
        FinishJob();
    }
};

TEST_F(FileBrowserCopyTest, ACopyGoesIntoTheProjectUnderItsWholeName)
{
    // Longer than the old 47-byte limit, with a multi-byte character at the cut.
    const std::string name = std::string(44, 'k') + "\xc3\xa9" + "-long take.wav";
    Touch("User/Samples/" + name, "sample");
    LoadSample();
    LoadCopyOf(name);
    ASSERT_EQ(results, (std::vector<int32_t>{1}));
    EXPECT_EQ(chosen[0], "User/Projects/Song.prj/" + name);
    EXPECT_EQ(ReadText(Native(chosen[0])), "sample");
    EXPECT_FALSE(browser->IsOpen());
}

TEST_F(FileBrowserCopyTest, ANameTheProjectHoldsIsResolvedWithTheUser)
{
    Touch("User/Samples/Kick.wav", "new");
    Touch("User/Projects/Song.prj/Kick.wav", "old");
    LoadSample();
    LoadCopyOf("Kick.wav");
    EXPECT_EQ(AlertLines(), "The project already contains a file / called 'Kick'.");
    EXPECT_STREQ(host.alert->GetButton(kAlertOK)->GetName(), "Replace");
    EXPECT_STREQ(host.alert->GetButton(kAlertNo)->GetName(), "Rename");

    AnswerAlert(kAlertCancel);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Kick.wav")), "old");

    LoadCopyOf("Kick.wav");
    AnswerAlert(kAlertNo);
    EXPECT_STREQ(host.prompts.back().title.CStr(), "Enter a new name for the copy");
    EXPECT_STREQ(host.prompts.back().text.CStr(), "Kick.wav");
    host.Enter("Kick.wav");
    EXPECT_EQ(AlertLines(), "The project already contains a file / called 'Kick'.") << "checked again";
    AnswerAlert(kAlertNo);
    host.Enter("Kick 2.wav");
    FinishJob();
    ASSERT_EQ(results, (std::vector<int32_t>{1}));
    EXPECT_EQ(chosen[0], "User/Projects/Song.prj/Kick 2.wav");
    EXPECT_EQ(ReadText(Native(chosen[0])), "new");

    LoadSample();
    LoadCopyOf("Kick.wav");
    AnswerAlert(kAlertOK);
    FinishJob();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Kick.wav")), "new");
}

// The project's file goes only when a whole copy replaces it.
TEST_F(FileBrowserCopyTest, AFailedCopyKeepsTheProjectsFileAndReports)
{
    Touch("User/Samples/Kick.wav", "new");
    Touch("User/Projects/Song.prj/Kick.wav", "old");
    LoadSample();
    std::filesystem::permissions(Native("User/Projects/Song.prj"), std::filesystem::perms::owner_read |
                                                                        std::filesystem::perms::owner_exec);
    LoadCopyOf("Kick.wav");
    AnswerAlert(kAlertOK);
    FinishJob();
    Frame(30);
    std::filesystem::permissions(Native("User/Projects/Song.prj"), std::filesystem::perms::owner_all);
    if (geteuid() != 0)
    {
        EXPECT_EQ(host.alert->GetName(), std::string("Copy Failed"));
        EXPECT_EQ(AlertLines(), "Couldn't copy sample file 'Kick' / ");
        EXPECT_TRUE(results.empty());
        EXPECT_TRUE(browser->IsOpen());
    }
    EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Kick.wav")), geteuid() != 0 ? "old" : "new");

    // A source that has gone fails the same way, whoever runs the test.
    Touch("User/Samples/Gone.wav");
    LoadSample();
    SelectRow("Gone.wav");
    std::filesystem::remove(Native("User/Samples/Gone.wav"));
    Press(Browser::kButtonLoadCopy);
    FinishJob();
    Frame(30);
    EXPECT_EQ(AlertLines(), "Couldn't copy sample file 'Gone' / ");
    EXPECT_FALSE(Exists("User/Projects/Song.prj/Gone.wav"));
}

TEST_F(FileBrowserCopyTest, ACopyOntoItselfLeavesTheFile)
{
    Touch("User/Projects/Song.prj/Snare.wav", "snare");
    Touch("User/Samples/snare.wav", "other");
    // Load Copy is off inside the project; the copy job itself must still
    // treat the same path as done and a name in other capitals as another file.
    cWidgetFileBrowser::cJobCopySample same("User/Projects/Song.prj/Snare.wav", "User/Projects/Song.prj/Snare.wav");
    same.Run(nullptr);
    EXPECT_TRUE(same.result);
    EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Snare.wav")), "snare");
    cWidgetFileBrowser::cJobCopySample other("User/Samples/snare.wav", "User/Projects/Song.prj/snare.wav");
    other.Run(nullptr);
    EXPECT_TRUE(other.result);
    EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/snare.wav")), "other");
    EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/Snare.wav")), "snare");

    Request("Load Sample", "User", "User/Projects/Song.prj", {"wav"}, {}, 0x19);
    EXPECT_TRUE(browser->IsInProject());
    SelectRow("Snare.wav");
    EXPECT_FALSE(Enabled(Browser::kButtonLoadCopy));
}

class OpenURLTest : public BrowserFixture
{
protected:
    OpenURLTest() : importer(new cWidgetOpenURL(&host)) {}
    ~OpenURLTest() override
    {
        importer->GetBrowser()->Close();
        importer->Release();
    }
    std::string Outside(const std::string& name, const std::string& text = "bytes")
    {
        const std::string file = DataHome() + "/handed/" + name;
        WriteText(file, text);
        return file;
    }

    cWidgetOpenURL* importer;
};

TEST_F(OpenURLTest, AWavFileIsCopiedWhereTheUserSays)
{
    Folder("User/Samples");
    const std::string file = Outside("Kick.WAV", std::string("RIFF\0\xff", 6));
    ASSERT_TRUE(importer->OpenFile(file.c_str()));
    cWidgetFileBrowser* own = importer->GetBrowser();
    EXPECT_STREQ(own->GetName(), "Copy 'Kick.WAV' to");
    EXPECT_STREQ(own->GetCurrentFolder(), "User/Samples");
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_STREQ(host.prompts[0].title.CStr(), "Copy 'Kick.WAV' to : Samples/");
    EXPECT_STREQ(host.prompts[0].text.CStr(), "Kick.WAV");
    EXPECT_EQ(host.projectPageShown, 1);
    EXPECT_FALSE(importer->OpenFile(Outside("Other.wav").c_str())) << "one file at a time";

    host.Enter("Kick.WAV");
    Frame();
    FinishJob();
    EXPECT_EQ(ReadText(Native("User/Samples/Kick.WAV")), std::string("RIFF\0\xff", 6));
    EXPECT_EQ(importer->GetState(), -1);
    // The copy is confirmed, where it went, as the last thing said.
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back(), "Copied 'Kick.WAV' to User/Samples");

    // Again: the name is taken, so the user is asked first.
    ASSERT_TRUE(importer->OpenFile(file.c_str()));
    host.Enter("Kick.WAV");
    Frame(30);
    EXPECT_EQ(AlertLines(), "A file with the name 'Kick.WAV' already exists. / Do you want to overwrite it?");
    AnswerAlert(kAlertCancel);
    own->Cancel();
    EXPECT_EQ(importer->GetState(), -1);
}

TEST_F(OpenURLTest, TypesAndRefusals)
{
    struct cCase
    {
        const char* name;
        bool offered;
        const char* folder;
    };
    Folder("User/MIDI Files");
    Folder("User/Samples");
    const cCase cases[] = {
        {"Song.MID", true, "User/MIDI Files"},
        {"Song.midi", true, "User/MIDI Files"},
        {"Demo.qpk", true, "User/Projects"},
        {"notes.txt", false, ""},
        {"noextension", false, ""},
    };
    for (const cCase& c : cases)
    {
        EXPECT_EQ(importer->OpenFile(Outside(c.name).c_str()), c.offered) << c.name;
        if (c.offered)
        {
            EXPECT_STREQ(importer->GetBrowser()->GetCurrentFolder(), c.folder);
            host.Answer(cFileBrowserHost::kPromptCancelled);
            EXPECT_EQ(importer->GetState(), -1) << c.name;
        }
    }
    EXPECT_FALSE(importer->OpenFile((DataHome() + "/handed/missing.wav").c_str()));
    host.keyboardOpen = true;
    EXPECT_FALSE(importer->OpenFile(Outside("k.wav").c_str()));
    host.keyboardOpen = false;

    // Leaving deletes nothing, not even a folder of the user's named "Inbox".
    Folder("Inbox");
    ASSERT_TRUE(importer->OpenFile(Outside("k.wav").c_str()));
    host.Answer(cFileBrowserHost::kPromptCancelled);
    EXPECT_TRUE(Exists("Inbox"));
}

TEST_F(OpenURLTest, AFailedCopyIsReported)
{
    Folder("User/Samples");
    const std::string file = Outside("Kick.wav");
    ASSERT_TRUE(importer->OpenFile(file.c_str()));
    std::filesystem::remove(file);
    host.Enter("Kick.wav");
    FinishJob();
    Frame(30);
    ASSERT_TRUE(host.alert->IsShown());
    EXPECT_STREQ(host.alert->GetName(), "Import Failed");
    EXPECT_EQ(AlertLines(), "Couldn't copy file. / ");
    EXPECT_EQ(importer->GetState(), -1);
    EXPECT_FALSE(Exists("User/Samples/Kick.wav"));
    for (const std::string& message : host.messages)
        EXPECT_EQ(message.find("Copied"), std::string::npos) << message;
}
} // namespace
} // namespace ProjectTest

namespace ProjectTest
{
namespace
{
class FileBrowserNamesTest : public BrowserFixture
{
};

// Names are the file system's bytes: every operation uses them unchanged
// and touches no other entry.
TEST_F(FileBrowserNamesTest, NamesOfEveryKindSurviveEveryOperation)
{
    const std::vector<std::string> names = {
        "\xce\xb1\xce\xb2\xce\xb3 \xce\xb4.wav",     // Greek
        "\xe9\x9f\xb3\xe6\xa5\xbd.wav",             // CJK
        "caf\xc3\xa9.wav",                          // composed
        "cafe\xcc\x81.wav",                         // decomposed
        "  two  blanks .wav",
        "#hash.wav",
        // Long, yet within what the files layer reaches below this test's data home.
        std::string(136, 'n') + ".wav",
    };
    for (const std::string& name : names)
        Touch("User/Samples/" + name, name);
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    ASSERT_EQ(browser->GetEntries().size(), names.size());
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        SelectRow(name);
        Frame();
        EXPECT_EQ(host.title, "Load Sample : Samples/" + name);
        SelectRow(name);
        Press(cWidgetFileBrowser::kButtonLoadCopy);
        FinishJob();
        EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/" + name)), name);
        Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
        SelectRow(name);
        Press(cWidgetFileBrowser::kButtonRename);
        host.Enter("renamed.wav");
        EXPECT_EQ(ReadText(Native("User/Samples/renamed.wav")), name);
        SelectRow("renamed.wav");
        Press(cWidgetFileBrowser::kButtonDelete);
        AnswerAlert(kAlertOK);
        EXPECT_FALSE(Exists("User/Samples/renamed.wav"));
    }
    EXPECT_TRUE(browser->GetEntries().empty());
    for (const std::string& name : names)
        EXPECT_EQ(ReadText(Native("User/Projects/Song.prj/" + name)), name);
}

// A row is drawn a glyph per character; one too wide is shortened in the
// middle, never through a character.
TEST_F(FileBrowserNamesTest, RowsAreDrawnByCharacter)
{
    Touch("User/Samples/\xce\xb1\xce\xb2.wav");
    Touch("User/Samples/" + std::string(120, 'w') + "\xc3\xa9" + std::string(120, 'w') + ".wav");
    Request("Load Sample", "User", "User/Samples", {"wav"}, {}, 0x19);
    Frame();
    EXPECT_TRUE(FindText("??.wav").has_value());
    bool shortened = false;
    for (const cDrawnText& text : Texts())
        if (text.text.find("..") != std::string::npos && text.text.size() < 240)
            shortened = shortened || (text.text.front() == 'w' && text.text.find(".wav") != std::string::npos);
    EXPECT_TRUE(shortened);
}

TEST_F(FileBrowserNamesTest, APathTooLongToAddressFailsCleanly)
{
    std::string deep = "User/Samples";
    for (int i = 0; i < 3; ++i)
        deep += "/" + std::string(80, char('a' + i));
    Folder(deep);
    Touch(deep + "/k.wav");
    Request("Load Sample", "User", deep.c_str(), {"wav"}, {}, 0x19);
    EXPECT_LT(std::string(browser->GetCurrentFolder()).size(), 260u);
    EXPECT_STRNE(browser->GetCurrentFolder(), deep.c_str());
    const std::string reached = browser->GetCurrentFolder();
    ASSERT_EQ(browser->GetEntries().size(), 1u);
    SelectRow(browser->GetEntries()[0].displayName);
    Press(cWidgetFileBrowser::kButtonAccept);
    EXPECT_STREQ(browser->GetCurrentFolder(), reached.c_str()) << "a folder that cannot be addressed is not entered";
    Press(cWidgetFileBrowser::kButtonNewFolder);
    host.Enter(std::string(100, 'z'));
    EXPECT_EQ(AlertLines(), "Please choose a different name. / ");
    EXPECT_TRUE(results.empty());
}
} // namespace
} // namespace ProjectTest
