#include "FileTestFolder.h"

#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/RootPaths.h"
#include "base/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

TEST(FileSystemRegistry, FindsMountsByTheNameBeforeTheBar)
{
    cFileSystemRegistry registry;
    EXPECT_EQ(gFileSystemRegistry, &registry);
    for (const char* name : {"Native", "Res", "Doc", "Tmp"})
        registry.Mount(new File::cFileSystemDisk(name, ""));
    EXPECT_EQ(registry.GetCount(), 4u);
    const struct
    {
        const char* text;
        const char* mount;
        int nameLength;
    } cases[] = {
        {"doc|User/x", "Doc", 3}, {"DOC|User/x", "Doc", 3}, {"Doc", "Doc", 3},  {"Documents|x", nullptr, 9},
        {"D|x", "Doc", 1},        {"|x", "Native", 0},      {"tmp|a|b", "Tmp", 3},
    };
    for (const auto& c : cases)
    {
        int length = -1;
        File::cFileSystem* found = registry.FindFileSystem(c.text, &length);
        EXPECT_STREQ(found ? found->GetName() : nullptr, c.mount) << c.text;
        EXPECT_EQ(length, c.nameLength) << c.text;
    }
    EXPECT_EQ(registry.OpenIn("Nowhere", "x", 1, 0), nullptr);
    EXPECT_EQ(registry.GetLastError(), File::kErrorNotFound);
    registry.Shutdown();
    EXPECT_EQ(registry.GetCount(), 0u);
    EXPECT_EQ(gFileSystemRegistry, nullptr);
}

TEST(FileSystemRegistry, OpensThroughTheMountAndKeepsItsResult)
{
    cFileTestFolder folder;
    folder.Write("Res/Fonts/FontDefault.fnt", "font");
    cFileSystemRegistry registry;
    registry.Mount(new File::cFileSystemDisk("Res", (folder / "Res").c_str()));
    File::cFile* file = registry.Open("res|Fonts/FontDefault.fnt", 1, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetLength(), 4);
    EXPECT_STREQ(file->GetName(), "Fonts/FontDefault.fnt");
    delete file;
    EXPECT_EQ(registry.OpenIn("Res", "Fonts/none.fnt", 1, 0), nullptr);
    EXPECT_EQ(registry.GetLastError(), File::kErrorNotFound);
}

TEST(RootPaths, DataFoldersLiveUnderTheDataHomeOrBesideTheProgram)
{
    cFileTestFolder folder;
    cGenStringFixed<260> path;
    std::string reason;
    EXPECT_EQ(BuildDataFolderPath((folder / "share").c_str(), (folder / "prog").c_str(), "Documents", path, reason),
              eDataFolder::kDataHome);
    EXPECT_EQ(std::string(path.CStr()), folder / "share/Quilwright/Documents");
    EXPECT_TRUE(folder.Exists("share/Quilwright/Documents"));
    EXPECT_EQ(reason, "");

    // Each unusable data home falls back beside the program and says why.
    folder.Write("blocked", "a file where the data home should be");
    folder.Write("prog/quilwright", "");
    const std::string longHome = folder.Path() + "/" + std::string(250 - folder.Path().size(), 'x');
    const struct
    {
        std::string home;
        const char* why;
    } cases[] = {
        {"", "no data home is known"},
        {"relative/share", "not an absolute path"},
        {folder / "blocked", "Not a directory"},
        {longHome, "longer than 259 bytes"},
        {"/proc", "/proc cannot be used"}, // nothing can be made there, even as root
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.home);
        reason.clear();
        EXPECT_EQ(BuildDataFolderPath(c.home.c_str(), (folder / "prog").c_str(), "Temp", path, reason),
                  eDataFolder::kBesideProgram);
        EXPECT_EQ(std::string(path.CStr()), folder / "prog/Temp");
        EXPECT_NE(reason.find(c.why), std::string::npos) << reason;
    }
    EXPECT_TRUE(folder.Exists("prog/Temp"));

    // With no writable folder at all the reason names both places.
    reason.clear();
    EXPECT_EQ(BuildDataFolderPath("/proc", (folder / "blocked").c_str(), "Documents", path, reason),
              eDataFolder::kNone);
    EXPECT_NE(reason.find("/proc cannot be used"), std::string::npos) << reason;
    EXPECT_NE(reason.find(folder / "blocked/Documents"), std::string::npos) << reason;
}

TEST(RootPaths, ProgramRootsAreBesideTheRunningProgramAndComputedOnce)
{
    const std::string program = GetProgramFolderPath();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(std::string(GetResourceFolderPath()), program + "/Resource");
    EXPECT_EQ(std::string(GetAssetsFolderPath()), program + "/Resource/Assets");
    EXPECT_EQ(std::string(GetCodeFolderPath()), program + "/code");
    EXPECT_EQ(GetResourceFolderPath(), GetResourceFolderPath());
}

TEST(TempFiles, ScratchFilesLiveInTheTempMount)
{
    cFileTestFolder folder;
    folder.Write("Temp/.keep", "");
    ClearDeletableRoots();
    AddDeletableRoot((folder / "Temp").c_str());
    cFileSystemRegistry registry;
    registry.Mount(new File::cFileSystemDisk("Tmp", (folder / "Temp").c_str()));

    folder.Write("Temp/Sample.tmp", "old and longer");
    File::cFile* out = OpenTempFile("Sample.tmp", false);
    ASSERT_NE(out, nullptr);
    out->Write("new", 3);
    delete out;
    File::cFile* in = OpenTempFileRead("Sample.tmp");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->GetLength(), 3);
    delete in;
    EXPECT_TRUE(DeleteTempFile("Sample.tmp"));
    EXPECT_FALSE(folder.Exists("Temp/Sample.tmp"));
    ClearDeletableRoots();
}

TEST(ProgramFileSystems, StartUpMountsSixAndMakesOnlyTheDataFolders)
{
    // The data roots are computed once per process: one data home serves
    // every run of this test.
    static const cFileTestFolder folder;
    const std::string dataHome = folder / "data";
    const char* previous = std::getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    ClearDeletableRoots();

    MountProgramFileSystems();
    ASSERT_NE(gFileSystemRegistry, nullptr);
    std::vector<std::string> names;
    for (File::cFileSystem* fs = gFileSystemRegistry->FindFileSystem(""); fs; fs = fs->GetNext())
        names.push_back(fs->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"Native", "Res", "Doc", "Tmp", "Assets", "Code"}));
    EXPECT_EQ(std::string(GetDocumentsFolderPath()), dataHome + "/Quilwright/Documents");
    EXPECT_EQ(std::string(GetTempFolderPath()), dataHome + "/Quilwright/Temp");

    std::vector<std::string> made;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dataHome))
        made.push_back(entry.path().string().substr(dataHome.size()));
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (std::vector<std::string>{"/Quilwright", "/Quilwright/Documents", "/Quilwright/Temp"}));

    // Only the documents and temporary folders are deletable.
    folder.Write("data/Quilwright/Temp/scratch.wav", "s");
    EXPECT_TRUE(gFileSystemRegistry->FindFileSystem("Tmp")->Delete("scratch.wav"));
    EXPECT_FALSE(gFileSystemRegistry->FindFileSystem("Res")->Delete("Fonts"));

    ShutdownProgramFileSystems();
    EXPECT_EQ(gFileSystemRegistry, nullptr);
    EXPECT_FALSE(DeleteFileOrDirectory((dataHome + "/Quilwright/Temp/none").c_str())) << "the roots go at shutdown";
    if (previous)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
