#include "FileTestFolder.h"

#include "base/DeletableRoots.h"
#include "base/Delegate.h"
#include "base/DiskFiles.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/SafeWrite.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
class FileSystemDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearDeletableRoots();
        mFolder.Write("Documents/.keep", "");
        mFolder.Write("Resource/.keep", "");
        AddDeletableRoot((mFolder / "Documents").c_str());
        mDoc = std::make_unique<File::cFileSystemDisk>("Doc", (mFolder / "Documents").c_str());
        mRes = std::make_unique<File::cFileSystemDisk>("Res", (mFolder / "Resource").c_str());
    }
    void TearDown() override { ClearDeletableRoots(); }

    static bool Save(File::cFileSystem& fs, const char* path, const std::string& content, uint32_t flags = 0)
    {
        File::cFile* stream = fs.Open(path, File::kModeWrite, File::kFlagSafeWrite | flags);
        if (!stream)
            return false;
        const bool written = stream->Write(content.data(), int(content.size())) == int(content.size());
        const bool closed = stream->Close(false);
        delete stream;
        return written && closed;
    }

    std::string Doc(const std::string& name) const { return "Documents/" + name; }

    cFileTestFolder mFolder;
    std::unique_ptr<File::cFileSystemDisk> mDoc;
    std::unique_ptr<File::cFileSystemDisk> mRes;
};
} // namespace

TEST_F(FileSystemDiskTest, EachSafeWriteKeepsThePreviousFileAsTheOneBackup)
{
    for (File::cFileSystem* fs : {static_cast<File::cFileSystem*>(mDoc.get()), static_cast<File::cFileSystem*>(mRes.get())})
    {
        const std::string root = fs == mDoc.get() ? "Documents/" : "Resource/";
        ASSERT_TRUE(Save(*fs, "Song.prj", "first"));
        EXPECT_FALSE(mFolder.Exists(root + "Song.prj.bak"));
        ASSERT_TRUE(Save(*fs, "Song.prj", "second"));
        EXPECT_EQ(mFolder.Read(root + "Song.prj"), "second");
        EXPECT_EQ(mFolder.Read(root + "Song.prj.bak"), "first");
        // The third save replaces the older backup, outside the deletable
        // roots too, and the file is never missing.
        ASSERT_TRUE(Save(*fs, "Song.prj", "third")) << root;
        EXPECT_EQ(mFolder.Read(root + "Song.prj"), "third");
        EXPECT_EQ(mFolder.Read(root + "Song.prj.bak"), "second");
        EXPECT_FALSE(mFolder.Exists(root + "Song.prj.tmp"));
        EXPECT_EQ(fs->GetLastError(), File::kErrorNone);
    }
}

TEST_F(FileSystemDiskTest, DropBackupLeavesNoBackup)
{
    ASSERT_TRUE(Save(*mDoc, "a.dat", "one"));
    ASSERT_TRUE(Save(*mDoc, "a.dat", "two"));
    ASSERT_TRUE(Save(*mDoc, "a.dat", "three", File::kFlagDropBackup));
    EXPECT_EQ(mFolder.Read(Doc("a.dat")), "three");
    EXPECT_FALSE(mFolder.Exists(Doc("a.dat.bak")));
    EXPECT_FALSE(mFolder.Exists(Doc("a.dat.tmp")));
    // A scratch file skips the flush to disk and is committed all the same.
    ASSERT_TRUE(Save(*mDoc, "a.dat", "four", File::kFlagDropBackup | File::kFlagNoSync));
    EXPECT_EQ(mFolder.Read(Doc("a.dat")), "four");
    EXPECT_FALSE(mFolder.Exists(Doc("a.dat.bak")));
}

TEST_F(FileSystemDiskTest, AFailedWriteKeepsTheFileAndReportsFailure)
{
    ASSERT_TRUE(Save(*mDoc, "Song.prj", "good content"));
    ASSERT_TRUE(Save(*mDoc, "Song.prj", "good content 2"));
    const std::string big(200000, 'x');
    {
        cFileSizeLimit fullDisk(5000);
        File::cFile* stream = mDoc->Open("Song.prj", File::kModeWrite, File::kFlagSafeWrite);
        ASSERT_NE(stream, nullptr);
        stream->Write(big.data(), int(big.size()));
        EXPECT_FALSE(stream->Close(false));
        EXPECT_NE(stream->GetErrorFlag(), 0);
        delete stream;
    }
    EXPECT_EQ(mFolder.Read(Doc("Song.prj")), "good content 2");
    EXPECT_EQ(mFolder.Read(Doc("Song.prj.bak")), "good content");
    EXPECT_FALSE(mFolder.Exists(Doc("Song.prj.tmp")));
}

TEST_F(FileSystemDiskTest, ClosingAStreamDecidesTheCommit)
{
    ASSERT_TRUE(Save(*mDoc, "x.dat", "kept"));
    // Discarding leaves the target untouched.
    File::cFile* discarded = mDoc->Open("x.dat", File::kModeWrite, File::kFlagSafeWrite);
    discarded->Write("new", 3);
    EXPECT_TRUE(discarded->Close(true));
    delete discarded;
    EXPECT_EQ(mFolder.Read(Doc("x.dat")), "kept");
    EXPECT_FALSE(mFolder.Exists(Doc("x.dat.tmp")));

    // Destroying an open safe-write stream commits it.
    File::cFile* destroyed = mDoc->Open("x.dat", File::kModeWrite, File::kFlagSafeWrite);
    destroyed->Write("new", 3);
    delete destroyed;
    EXPECT_EQ(mFolder.Read(Doc("x.dat")), "new");
    EXPECT_EQ(mFolder.Read(Doc("x.dat.bak")), "kept");

    // An update stream writes the target itself and commits nothing.
    File::cFile* update = mDoc->Open("y.dat", File::kModeUpdate, File::kFlagSafeWrite);
    ASSERT_NE(update, nullptr);
    update->Write("up", 2);
    EXPECT_TRUE(update->Close(false));
    delete update;
    EXPECT_EQ(mFolder.Read(Doc("y.dat")), "up");
    EXPECT_FALSE(mFolder.Exists(Doc("y.dat.bak")));
}

// Two saves of one file at once each write their own temporary: whichever
// commits last is the file, whole, and the other is its backup, whole.
TEST_F(FileSystemDiskTest, SavesOfOneFileAtOnceDoNotShareATemporary)
{
    ASSERT_TRUE(Save(*mDoc, "Song.prj", "before"));
    const std::string first(100000, 'a');
    const std::string second(50000, 'b');
    File::cFile* a = mDoc->Open("Song.prj", File::kModeWrite, File::kFlagSafeWrite);
    File::cFile* b = mDoc->Open("Song.prj", File::kModeWrite, File::kFlagSafeWrite);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->Write(first.data(), int(first.size())), int(first.size()));
    EXPECT_EQ(b->Write(second.data(), int(second.size())), int(second.size()));
    EXPECT_TRUE(a->Close(false));
    EXPECT_EQ(mFolder.Read(Doc("Song.prj")), first);
    EXPECT_TRUE(b->Close(false));
    delete a;
    delete b;
    EXPECT_EQ(mFolder.Read(Doc("Song.prj")), second);
    EXPECT_EQ(mFolder.Read(Doc("Song.prj.bak")), first);
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mFolder / "Documents"))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{".keep", "Song.prj", "Song.prj.bak"})) << "no temporary is left";
}

// A symbolic link as the target stays a link: the file it names is the one
// saved, and its previous content becomes that file's backup.
TEST_F(FileSystemDiskTest, SavingThroughALinkKeepsTheLink)
{
    mFolder.Write("Elsewhere/Song.prj", "before");
    ASSERT_EQ(symlink("../Elsewhere/Song.prj", (mFolder / Doc("Song.prj")).c_str()), 0);
    ASSERT_TRUE(Save(*mDoc, "Song.prj", "after"));
    EXPECT_TRUE(std::filesystem::is_symlink(mFolder / Doc("Song.prj")));
    EXPECT_EQ(mFolder.Read("Elsewhere/Song.prj"), "after");
    EXPECT_EQ(mFolder.Read("Elsewhere/Song.prj.bak"), "before");
}

TEST_F(FileSystemDiskTest, OpenReadsWhatWasSavedAndReportsWhatItCannotOpen)
{
    ASSERT_TRUE(Save(*mDoc, "r.dat", "0123456789"));
    File::cFile* stream = mDoc->Open("r.dat", File::kModeRead, 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_STREQ(stream->GetName(), "r.dat");
    EXPECT_EQ(stream->GetLength(), 10);
    char buffer[4];
    stream->Seek(6, 0);
    EXPECT_EQ(stream->Read(buffer, 4), 4);
    EXPECT_EQ(stream->GetRemaining(), 0);
    EXPECT_EQ(stream->Seek(-1, 0), -1);
    delete stream;

    EXPECT_EQ(mDoc->Open("missing.dat", File::kModeRead, 0), nullptr);
    EXPECT_EQ(mDoc->GetLastError(), File::kErrorNotFound);
    EXPECT_EQ(mDoc->Open("r.dat", 4, 0), nullptr);
    EXPECT_EQ(mDoc->Open("", File::kModeRead, 0), nullptr) << "the root folder is no file";
}

TEST(LoadFallback, SuffixesByKindOfLoad)
{
    const struct
    {
        int kind;
        std::vector<std::string> suffixes;
    } cases[] = {
        {kLoadNormal, {"", ".bak", ".as", ".as.bak"}},
        {kLoadBackup, {".bak", "", ".as", ".as.bak"}},
        {kLoadAutoSave, {".as", ".as.bak", "", ".bak"}},
        {kLoadExact, {""}},
        {17, {""}},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> got;
        for (const char* const* s = GetLoadSuffixList(c.kind); *s; ++s)
            got.push_back(*s);
        EXPECT_EQ(got, c.suffixes) << c.kind;
    }
}

TEST_F(FileSystemDiskTest, DeletesOnlyBelowTheRoots)
{
    mFolder.Write("Documents/User/a.txt", "a");
    mFolder.Write("DocumentsOld/b.txt", "b");
    mFolder.Write("outside.txt", "c");
    const std::string docs = mFolder / "Documents";
    const struct
    {
        std::string path;
        bool deleted;
    } cases[] = {
        {mFolder / "outside.txt", false},
        {docs + "/../outside.txt", false},
        {docs + "/User/../../outside.txt", false},
        {mFolder / "DocumentsOld/b.txt", false},
        {docs + "Old/b.txt", false},
        {docs, false},
        {docs + "/", false},
        {docs + "//User/./a.txt", true},
        {docs + "/never-there.txt", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeleteFileOrDirectory(c.path.c_str()), c.deleted) << c.path;
    EXPECT_TRUE(mFolder.Exists("outside.txt"));
    EXPECT_TRUE(mFolder.Exists("DocumentsOld/b.txt"));
    EXPECT_FALSE(mFolder.Exists("Documents/User/a.txt"));
    EXPECT_FALSE(DeleteFileSafe((docs + "/User").c_str())) << "a folder is never a file";

    // Short paths are refused even under a root.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.Path());
    mFolder.Write("d/abc", "x");
    AddDeletableRoot("d");
    EXPECT_FALSE(DeleteFileOrDirectory("d/abc"));
    EXPECT_TRUE(mFolder.Exists("d/abc"));
    EXPECT_TRUE(DeleteFileOrDirectory("./d/abc"));
    std::filesystem::current_path(here);
}

TEST_F(FileSystemDiskTest, DeletingATreeRemovesLinksWithoutFollowingThem)
{
    mFolder.Write("Documents/Project.prj/Package.prj", "p");
    mFolder.Write("Documents/Project.prj/Samples/kick.wav", "k");
    mFolder.Write("precious/keep.txt", "keep");
    ASSERT_EQ(symlink((mFolder / "precious").c_str(), (mFolder / "Documents/Project.prj/link").c_str()), 0);
    EXPECT_TRUE(mDoc->Delete("Project.prj"));
    EXPECT_FALSE(mFolder.Exists("Documents/Project.prj"));
    EXPECT_EQ(mFolder.Read("precious/keep.txt"), "keep");
    EXPECT_FALSE(mRes->Delete("anything")) << "outside the roots";
    EXPECT_EQ(mRes->GetLastError(), File::kErrorFolderFailed);
    EXPECT_FALSE(AddDeletableRoot("/b") && AddDeletableRoot("/c") && AddDeletableRoot("/d") && AddDeletableRoot("/e"))
        << "the table holds four roots";
}

TEST_F(FileSystemDiskTest, DescribeGivesDateAndSize)
{
    const struct
    {
        size_t size;
        const char* suffix;
    } cases[] = {
        {1048576, ", 1024KB"}, {1048577, ", 1MB"}, {1024, ", 1024B"}, {1025, ", 1KB"}, {3, ", 3B"}, {0, ""},
    };
    const std::regex date(R"(\d\d/\d\d/\d{4} \d\d:\d\d)");
    for (const auto& c : cases)
    {
        mFolder.Write("Documents/f.bin", std::string(c.size, 'z'));
        cGenStringFixed<64> text;
        ASSERT_TRUE(mDoc->Describe(text, "f.bin"));
        const std::string described = text.CStr();
        ASSERT_GE(described.size(), 16u);
        EXPECT_TRUE(std::regex_match(described.substr(0, 16), date)) << described;
        EXPECT_EQ(described.substr(16), c.suffix) << c.size;
    }
    cGenStringFixed<64> text("old");
    EXPECT_FALSE(mDoc->Describe(text, "missing"));
    EXPECT_STREQ(text.CStr(), "");
}

TEST_F(FileSystemDiskTest, CopyNeverHarmsTheSourceOrAnEarlierTarget)
{
    mFolder.Write("Documents/a.wav", "source");
    mFolder.Write("Documents/b.wav", "earlier");
    mFolder.Write("Documents/x/.keep", "");
    ASSERT_EQ(link((mFolder / "Documents/a.wav").c_str(), (mFolder / "Documents/hard.wav").c_str()), 0);
    for (const char* self : {"a.wav", "./a.wav", "x/../a.wav", "hard.wav"})
    {
        EXPECT_FALSE(mDoc->Copy("a.wav", self, 1)) << self;
        EXPECT_EQ(mDoc->GetLastError(), File::kErrorCopyFailed);
        EXPECT_EQ(mFolder.Read("Documents/a.wav"), "source") << self;
    }
    EXPECT_FALSE(mDoc->Copy("a.wav", "b.wav", 0));
    EXPECT_EQ(mFolder.Read("Documents/b.wav"), "earlier");
    EXPECT_FALSE(mDoc->Copy("missing.wav", "c.wav", 0));

    const std::string big(300000, 'q');
    mFolder.Write("Documents/big.wav", big);
    {
        cFileSizeLimit fullDisk(100000);
        EXPECT_FALSE(mDoc->Copy("big.wav", "b.wav", 1));
    }
    EXPECT_EQ(mFolder.Read("Documents/b.wav"), "earlier");
    EXPECT_FALSE(mFolder.Exists("Documents/b.wav.tmp"));

    EXPECT_TRUE(mDoc->Copy("big.wav", "b.wav", 1));
    EXPECT_EQ(mFolder.Read("Documents/b.wav"), big);
    EXPECT_TRUE(mDoc->Copy("a.wav", "c.wav", 0));
    EXPECT_EQ(mFolder.Read("Documents/c.wav"), "source");
}

TEST_F(FileSystemDiskTest, FolderCopySkipsVersionControlFoldersAndReportsEachFile)
{
    mFolder.Write("Documents/Kit/one.wav", "1");
    mFolder.Write("Documents/Kit/Sub/two.wav", "2");
    mFolder.Write("Documents/Kit/.SVN/entries", "e");
    mFolder.Write("Documents/Copy/one.wav", "old");
    struct sCounter
    {
        int files = 0;
        void OnCopied(const char*) { ++files; }
    } listener;
    const cDelegate onCopied(&listener, &sCounter::OnCopied);
    EXPECT_TRUE(CopyPath((mFolder / "Documents/Copy").c_str(), (mFolder / "Documents/Kit").c_str(), false, &onCopied));
    EXPECT_EQ(listener.files, 1) << "one.wav existed and is kept without overwrite";
    EXPECT_EQ(mFolder.Read("Documents/Copy/one.wav"), "old");
    EXPECT_EQ(mFolder.Read("Documents/Copy/Sub/two.wav"), "2");
    EXPECT_FALSE(mFolder.Exists("Documents/Copy/.SVN"));

    EXPECT_TRUE(CopyPath((mFolder / "Documents/Copy").c_str(), (mFolder / "Documents/Kit").c_str(), true, &onCopied));
    EXPECT_EQ(mFolder.Read("Documents/Copy/one.wav"), "1");

    uint32_t bytes = 0, files = 0;
    EXPECT_TRUE(mDoc->GetTotalSize("Kit", &bytes, &files));
    EXPECT_EQ(files, 3u);
    EXPECT_EQ(bytes, 3u);
    EXPECT_FALSE(mDoc->GetTotalSize("none", &bytes, &files));
}

TEST_F(FileSystemDiskTest, IteratorListsByNameIgnoringCase)
{
    for (const char* name : {"b.txt", "A.txt", "c/x", "_z"})
        mFolder.Write(std::string("Documents/List/") + name, "");
    mFolder.Write("Documents/Empty/.x", "");
    std::remove((mFolder / "Documents/Empty/.x").c_str());

    std::unique_ptr<File::cFileSystem::cFileIterator> it(mDoc->NewIterator("List"));
    std::vector<std::string> names;
    for (bool found = it->First(); found; found = it->Next())
        names.push_back(std::string(it->GetName()) + (it->IsFolder() ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"_z", "A.txt", "b.txt", "c/"}));
    EXPECT_STREQ(it->GetName(), "");

    std::unique_ptr<File::cFileSystem::cFileIterator> empty(mDoc->NewIterator("Empty"));
    EXPECT_FALSE(empty->First());
    std::unique_ptr<File::cFileSystem::cFileIterator> missing(mDoc->NewIterator("Missing"));
    EXPECT_FALSE(missing->First());
}

TEST_F(FileSystemDiskTest, RenameNeverReplacesAndFoldersAreMadeWhole)
{
    mFolder.Write("Documents/a", "a");
    mFolder.Write("Documents/b", "b");
    EXPECT_FALSE(mDoc->Rename("a", "b"));
    EXPECT_EQ(mDoc->GetLastError(), File::kErrorNotFound);
    EXPECT_EQ(mFolder.Read("Documents/b"), "b");
    EXPECT_TRUE(mDoc->Rename("a", "c"));
    EXPECT_EQ(mFolder.Read("Documents/c"), "a");

    EXPECT_TRUE(mDoc->CreateFolder("User/MIDI Files/Deep"));
    EXPECT_TRUE(mDoc->Exists("User/MIDI Files/Deep"));
    EXPECT_FALSE(mDoc->CreateFolder("c/under-a-file"));
    EXPECT_EQ(mDoc->GetLastError(), File::kErrorFolderFailed);
    EXPECT_EQ(mDoc->GetFileSize("c"), 1);
    EXPECT_EQ(mDoc->GetFileSize("none"), 0);
}
