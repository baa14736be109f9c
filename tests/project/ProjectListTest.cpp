#include <gtest/gtest.h>

#include <filesystem>

#include "ProjectFixture.h"
#include "base/ProjectModified.h"
#include "project/ProjectFolders.h"
#include "project/ProjectList.h"
#include "mixer/Mixer.h"
#include "project/ProjectSlots.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileProjectHost.h"

namespace ProjectTest
{
namespace
{
using cProjectListTest = cProjectFixture;

void MakeFolder(const std::string& docPath) { std::filesystem::create_directories(Native(docPath)); }
bool Exists(const std::string& docPath) { return std::filesystem::exists(Native(docPath)); }

TEST_F(cProjectListTest, TheFirstProjectIsUntitled01AndBecomesCurrent)
{
    cProjectList list;
    cProject* first = list.NewProject();
    EXPECT_STREQ(first->GetPath().CStr(), "User/Projects/Untitled-01.prj");
    EXPECT_STREQ(first->GetName().CStr(), "Untitled-01");
    EXPECT_EQ(list.GetCurrentProject(), first);
    EXPECT_FALSE(first->IsActive());
    // The program-wide mark reaches the current project.
    MarkProjectModified();
    EXPECT_TRUE(first->IsModified());
}

// MIDI-file export needs an open project, and import changes slots as the
// project does, keeping the desk's inputs; the list tells them while it lives.
TEST_F(cProjectListTest, MIDIFilesReachTheCurrentProjectThroughTheList)
{
    {
        cProjectList list;
        cMIDIFileProjectHost* host = GetMIDIFileProjectHost();
        ASSERT_NE(host, nullptr);
        EXPECT_FALSE(host->HasCurrentProject());
        list.NewProject();
        EXPECT_TRUE(host->HasCurrentProject());
        ASSERT_NE(GetMixer(), nullptr);
        const int32_t strips = GetMixer()->GetChannelCount();
        cInstrument* instrument = kest->CreateInstrument(0);
        host->SetInstrumentSlot(instrument, 7, true);
        EXPECT_EQ(Slot(7), instrument);
        EXPECT_EQ(GetMixer()->GetChannelCount(), strips + 1) << "the desk takes its strip";
    }
    EXPECT_EQ(GetMIDIFileProjectHost(), nullptr);
    cGenString error;
    EXPECT_FALSE(ExportSongToMIDIFile("User/Song.mid", "Song", error));
    EXPECT_STREQ(error.CStr(), "Unknown error.");
}

TEST_F(cProjectListTest, NewProjectsTakeTheFirstFreeNumberAndGoPast99)
{
    const struct
    {
        int taken; // Untitled-01 .. Untitled-<taken> exist
        const char* next;
    } cases[] = {{3, "User/Projects/Untitled-04.prj"}, {99, "User/Projects/Untitled-100.prj"}};
    for (const auto& c : cases)
    {
        for (int n = 1; n <= c.taken; ++n)
        {
            char name[64];
            std::snprintf(name, sizeof(name), "User/Projects/Untitled-%02d.prj", n);
            MakeFolder(name);
        }
        cProjectList list;
        EXPECT_STREQ(list.NewProject()->GetPath().CStr(), c.next) << c.taken;
    }
    MakeFolder("User/Projects/Untitled-100.prj");
    cGenStringFixed<260> path;
    ASSERT_TRUE(MakeNewUntitledProjectPath(path));
    EXPECT_STREQ(path.CStr(), "User/Projects/Untitled-101.prj");
}

TEST_F(cProjectListTest, ClosingLeavesNoEmptyFolderOfAnUnsavedProject)
{
    {
        cProjectList list;
        cProject* project = list.NewProject();
        project->Activate();
        ASSERT_TRUE(Exists("User/Projects/Untitled-01.prj"));
        list.CloseAll();
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetCurrentProject(), nullptr);
        EXPECT_EQ(Slot(0), nullptr);
    }
    EXPECT_FALSE(Exists("User/Projects/Untitled-01.prj"));
    EXPECT_EQ(cProjectList::GetInstance(), nullptr);
    MarkProjectModified(); // nothing to mark, nothing touched
}

TEST_F(cProjectListTest, StartUpDeletesOnlyEmptyUntitledFoldersOtherThanTheOpenOne)
{
    for (const char* folder : {"User/Projects/Untitled-01.prj", "User/Projects/Untitled-02.prj",
                               "User/Projects/untitled-03.prj", "User/Projects/My Untitled.prj",
                               "User/Projects/Untitled-04.PRJ", "User/Projects/Untitled-05.prj",
                               "User/Projects/Untitled.prjx"})
        MakeFolder(folder);
    WriteText(Native("User/Projects/Untitled-05.prj/Package.prj"), "saved");
    WriteText(Native("User/Projects/Untitled-06.prj"), "a file, not a folder");

    DeleteEmptyUntitledProjects(cGenString("User/Projects/Untitled-01.prj"));
    EXPECT_TRUE(Exists("User/Projects/Untitled-01.prj")) << "the open project's folder";
    EXPECT_FALSE(Exists("User/Projects/Untitled-02.prj"));
    EXPECT_FALSE(Exists("User/Projects/untitled-03.prj"));
    EXPECT_TRUE(Exists("User/Projects/My Untitled.prj"));
    EXPECT_TRUE(Exists("User/Projects/Untitled-04.PRJ"));
    EXPECT_TRUE(Exists("User/Projects/Untitled-05.prj/Package.prj"));
    EXPECT_TRUE(Exists("User/Projects/Untitled-06.prj"));
    EXPECT_TRUE(Exists("User/Projects/Untitled.prjx"));
}
} // namespace
} // namespace ProjectTest
