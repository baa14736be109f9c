#include "BuildPaths.h"
#include "FileTestFolder.h"
#include "ZipArchive.h"

#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/Zip.h"
#include "base/ZipFileLayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace
{
class ZipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearDeletableRoots();
        mFolder.Write("Documents/.keep", "");
        AddDeletableRoot((mFolder / "Documents").c_str());
        mRegistry.Mount(new File::cFileSystemDisk("Doc", (mFolder / "Documents").c_str()));
    }
    void TearDown() override { ClearDeletableRoots(); }

    // An archive written straight with minizip, entry names as given.
    std::string MakeArchive(const std::string& name, const std::vector<std::pair<std::string, std::string>>& entries)
    {
        const std::string path = mFolder / name;
        WriteZipArchive(path, entries);
        return path;
    }

    std::vector<std::string> EntryNames(const std::string& archive)
    {
        std::vector<std::string> names;
        void* handle = Zip::OpenArchiveForReading(archive.c_str());
        if (!handle)
            return names;
        for (int step = unzGoToFirstFile(handle); step == UNZ_OK; step = unzGoToNextFile(handle))
        {
            char name[260];
            unz_file_info info;
            unzGetCurrentFileInfo(handle, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
            names.push_back(name);
        }
        Zip::CloseArchiveForReading(handle);
        return names;
    }

    // The archive and the archive with one byte more.
    static void KeepFuzzSeed(const std::string& archive, const std::string& name)
    {
        const std::filesystem::path folder = std::filesystem::path(TestScratchFolder()) / "fuzz-seeds" / "zip_extract";
        std::filesystem::create_directories(folder);
        std::ifstream in(archive, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(folder / (name + ".zip"), std::ios::binary) << bytes;
        std::ofstream(folder / (name + "-1.zip"), std::ios::binary) << bytes << '\0';
    }

    static void SetModified(const std::string& path, time_t when)
    {
        struct utimbuf times = {when, when};
        utime(path.c_str(), &times);
    }

    static time_t Modified(const std::string& path)
    {
        struct stat status;
        return stat(path.c_str(), &status) == 0 ? status.st_mtime : 0;
    }

    cFileTestFolder mFolder;
    cFileSystemRegistry mRegistry;
};

struct sCanceller
{
    int calls = 0;
    void OnProgress(Zip::sProgress* report)
    {
        ++calls;
        EXPECT_GE(report->progress, 0.0f);
        EXPECT_LE(report->progress, 1.0f);
        report->cancel = true;
    }
};
} // namespace

TEST_F(ZipTest, AFolderRoundTripsWithItsDates)
{
    const std::string big(400000, 'b');
    mFolder.Write("Documents/Song.prj/Package.prj", "<Root/>");
    mFolder.Write("Documents/Song.prj/Samples/kick.wav", big);
    mFolder.Write("Documents/Song.prj/empty.txt", "");
    const time_t when = 1700000000; // even seconds: zip dates have a 2 s step
    for (const char* name : {"Package.prj", "Samples/kick.wav", "empty.txt"})
        SetModified(mFolder / (std::string("Documents/Song.prj/") + name), when);

    Zip::cZipCompressor compressor;
    ASSERT_EQ(compressor.Compress("Song.prj", "Song.qpk"), Zip::kResultOk);
    EXPECT_EQ(compressor.total, 3u);
    EXPECT_EQ(compressor.done, 3u);
    EXPECT_EQ(EntryNames(mFolder / "Documents/Song.qpk"),
              (std::vector<std::string>{"empty.txt", "Package.prj", "Samples/kick.wav"}));
    EXPECT_FALSE(mFolder.Exists("Documents/Song.qpk.tmp"));

    Zip::cZipExtractor extractor;
    ASSERT_EQ(extractor.ExtractArchive((mFolder / "Documents/Song.qpk").c_str(), (mFolder / "Out").c_str(), true),
              Zip::kResultOk);
    EXPECT_EQ(extractor.done, 3u);
    EXPECT_EQ(mFolder.Read("Out/Package.prj"), "<Root/>");
    EXPECT_EQ(mFolder.Read("Out/Samples/kick.wav"), big);
    EXPECT_TRUE(mFolder.Exists("Out/empty.txt"));
    EXPECT_EQ(Modified(mFolder / "Out/Samples/kick.wav"), when);
    EXPECT_EQ(Modified(mFolder / "Out/empty.txt"), when);
}

TEST_F(ZipTest, EntryNamesAreRelativeToWhatIsPacked)
{
    mFolder.Write("Documents/User/Mixdowns/Mix.wav", "RIFF");
    const struct
    {
        const char* source;
        std::vector<std::string> entries;
    } cases[] = {
        {"User/Mixdowns/Mix.wav", {"Mix.wav"}},
        {"User/Mixdowns", {"Mix.wav"}},
        {"User/Mixdowns/", {"Mix.wav"}},
        {"User", {"Mixdowns/Mix.wav"}},
    };
    for (const auto& c : cases)
    {
        Zip::cZipCompressor compressor;
        ASSERT_EQ(compressor.Compress(c.source, "Mix.zip"), Zip::kResultOk) << c.source;
        EXPECT_EQ(EntryNames(mFolder / "Documents/Mix.zip"), c.entries) << c.source;
    }
}

TEST_F(ZipTest, FailedOrCancelledCompressionLeavesNoArchive)
{
    mFolder.Write("Documents/Empty/.placeholder", "");
    std::filesystem::remove(mFolder / "Documents/Empty/.placeholder");
    mFolder.Write("Documents/WithEmpty/a.txt", "a");
    mFolder.Write("Documents/WithEmpty/sub/.x", "");
    std::filesystem::remove(mFolder / "Documents/WithEmpty/sub/.x");
    mFolder.Write("Documents/Locked/a.txt", "a");
    // A file that cannot be opened: a link to nothing.
    ASSERT_EQ(symlink((mFolder / "gone.txt").c_str(), (mFolder / "Documents/Locked/b.txt").c_str()), 0);
    mFolder.Write("Documents/Big/data.bin", std::string(300000, 'd'));
    mFolder.Write("Documents/Earlier.zip", "an archive made before");

    const struct
    {
        const char* source;
        int32_t result;
    } cases[] = {{"Missing", Zip::kResultFailed},
                 {"Empty", Zip::kResultFailed},
                 {"WithEmpty", Zip::kResultFailed},
                 {"Locked", Zip::kResultFailed}};
    for (const auto& c : cases)
    {
        Zip::cZipCompressor compressor;
        EXPECT_EQ(compressor.Compress(c.source, "Out.zip"), c.result) << c.source;
        EXPECT_EQ(mFolder.Exists("Documents/Out.zip"), c.result == Zip::kResultOk) << c.source;
        std::filesystem::remove(mFolder / "Documents/Out.zip");
    }

    for (const char* archive : {"Earlier.zip", "New.zip"})
    {
        sCanceller canceller;
        Zip::cZipCompressor compressor;
        compressor.progress.Bind(&canceller, &sCanceller::OnProgress);
        EXPECT_EQ(compressor.Compress("Big", archive), Zip::kResultCancelled) << archive;
        EXPECT_EQ(canceller.calls, 1) << archive;
        EXPECT_FALSE(mFolder.Exists(std::string("Documents/") + archive + ".tmp")) << archive;
    }
    EXPECT_EQ(mFolder.Read("Documents/Earlier.zip"), "an archive made before");
    EXPECT_FALSE(mFolder.Exists("Documents/New.zip"));

    // A full disk fails the archive the same way.
    std::mt19937 random(7);
    std::string noise(200000, '\0');
    for (char& c : noise)
        c = char(random());
    mFolder.Write("Documents/Noise/data.bin", noise);
    {
        cFileSizeLimit fullDisk(50000);
        Zip::cZipCompressor compressor;
        EXPECT_EQ(compressor.Compress("Noise", "Earlier.zip"), Zip::kResultFailed);
    }
    EXPECT_EQ(mFolder.Read("Documents/Earlier.zip"), "an archive made before");
    EXPECT_FALSE(mFolder.Exists("Documents/Earlier.zip.tmp"));
}

TEST_F(ZipTest, EntriesThatWouldLeaveTheFolderAreRefused)
{
    const char* evil[] = {"../evil.txt", "/tmp/evil-abs.txt", "C:evil.txt", "a/../../evil.txt", "a\\..\\..\\evil.txt",
                          "..", "ok/.."};
    for (const char* name : evil)
    {
        const std::string archive = MakeArchive("evil.zip", {{"fine.txt", "fine"}, {name, "evil"}});
        Zip::cZipExtractor extractor;
        EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), (mFolder / "Out/In").c_str(), true), Zip::kResultFailed)
            << name;
        EXPECT_FALSE(mFolder.Exists("Out/In/fine.txt")) << name << ": refused before anything is written";
        EXPECT_FALSE(mFolder.Exists("Out/evil.txt")) << name;
        EXPECT_FALSE(mFolder.Exists("evil.txt")) << name;
        EXPECT_FALSE(std::filesystem::exists("/tmp/evil-abs.txt")) << name;
        EXPECT_FALSE(Zip::IsSafeEntryName(name)) << name;
    }
    for (const char* name : {"a/b.txt", "dir/", "..hidden", "a/..b/c", "./x"})
        EXPECT_TRUE(Zip::IsSafeEntryName(name)) << name;
}

TEST_F(ZipTest, ExtractionKeepsOrReplacesExistingFiles)
{
    const std::string archive = MakeArchive("kit.zip", {{"Kit/", ""}, {"Kit/a.wav", "new"}, {"Kit/b.wav", "b"}});
    mFolder.Write("Out/Kit/a.wav", "mine");
    Zip::cZipExtractor keep;
    EXPECT_EQ(keep.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), false), Zip::kResultOk);
    EXPECT_EQ(keep.done, 3u);
    EXPECT_EQ(mFolder.Read("Out/Kit/a.wav"), "mine");
    EXPECT_EQ(mFolder.Read("Out/Kit/b.wav"), "b");

    Zip::cZipExtractor replace;
    EXPECT_EQ(replace.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultOk);
    EXPECT_EQ(mFolder.Read("Out/Kit/a.wav"), "new");

    const std::string none = MakeArchive("none.zip", {});
    Zip::cZipExtractor empty;
    EXPECT_EQ(empty.ExtractArchive(none.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultFailed);
    EXPECT_EQ(empty.ExtractArchive((mFolder / "missing.zip").c_str(), (mFolder / "Out").c_str(), true),
              Zip::kResultFailed);
    EXPECT_EQ(empty.ExtractAll(nullptr, (mFolder / "Out").c_str(), true), Zip::kResultFailed);
}

TEST_F(ZipTest, ACorruptEntryFailsWithoutAPartialFile)
{
    std::string data(100000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char((i * 7919) >> 3);
    const std::string archive = MakeArchive("bad.zip", {{"a.bin", data}});
    // Flip bytes in the middle of the compressed data.
    std::string bytes = mFolder.Read("bad.zip");
    for (size_t i = 200; i < 260; ++i)
        bytes[i] = char(bytes[i] ^ 0x5a);
    mFolder.Write("bad.zip", bytes);
    mFolder.Write("Out/a.bin", "earlier");

    Zip::cZipExtractor extractor;
    EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultFailed);
    EXPECT_EQ(mFolder.Read("Out/a.bin"), "earlier");
    EXPECT_FALSE(mFolder.Exists("Out/a.bin.tmp"));
}

TEST_F(ZipTest, AnEntryThatCannotBeWrittenWholeFailsWithoutAPartialFile)
{
    const std::string archive = MakeArchive("big.zip", {{"a.bin", std::string(300000, 'q')}});
    mFolder.Write("Out/a.bin", "earlier");
    Zip::cZipExtractor extractor;
    {
        cFileSizeLimit fullDisk(100000);
        EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultFailed);
    }
    EXPECT_EQ(mFolder.Read("Out/a.bin"), "earlier");
    EXPECT_FALSE(mFolder.Exists("Out/a.bin.tmp"));
}

// Each entry is written under a temporary name nobody else has: a file
// named "<entry>.tmp" (the user's, a link, or another entry of the same
// archive) is never overwritten or followed.
TEST_F(ZipTest, ExtractionLeavesOtherFilesNamedLikeItsTemporaries)
{
    const std::string archive =
        MakeArchive("kit.zip", {{"x.tmp", "entry x.tmp"}, {"x", "entry x"}, {"y", "y"}, {"z", "z"}});
    mFolder.Write("Out/y.tmp", "the user's");
    mFolder.Write("outside.txt", "outside");
    ASSERT_EQ(symlink((mFolder / "outside.txt").c_str(), (mFolder / "Out/z.tmp").c_str()), 0);
    for (bool overwrite : {false, true})
    {
        SCOPED_TRACE(overwrite);
        Zip::cZipExtractor extractor;
        EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), overwrite), Zip::kResultOk);
        EXPECT_EQ(mFolder.Read("Out/x.tmp"), "entry x.tmp");
        EXPECT_EQ(mFolder.Read("Out/x"), "entry x");
        EXPECT_EQ(mFolder.Read("Out/y.tmp"), "the user's");
        EXPECT_EQ(mFolder.Read("Out/z"), "z");
        EXPECT_FALSE(std::filesystem::is_symlink(mFolder / "Out/z"));
        EXPECT_EQ(mFolder.Read("outside.txt"), "outside");
    }
    // Only what was packed and what was there remain.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mFolder / "Out"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"x", "x.tmp", "y", "y.tmp", "z", "z.tmp"}));
}

// A symbolic link already in the target folder, where an entry's sub-folder
// or the entry itself would go, must not carry the bytes outside the folder.
TEST_F(ZipTest, LinksOnAnEntrysWayAreRefused)
{
    std::filesystem::create_directories(mFolder / "Outside");
    std::filesystem::create_directories(mFolder / "Out");
    ASSERT_EQ(symlink((mFolder / "Outside").c_str(), (mFolder / "Out/Sub").c_str()), 0);
    for (const char* entry : {"Sub/evil.txt", "Sub/deeper/evil.txt", "Sub/"})
    {
        SCOPED_TRACE(entry);
        const std::string archive = MakeArchive("evil.zip", {{entry, "evil"}});
        Zip::cZipExtractor extractor;
        EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultFailed);
        EXPECT_TRUE(std::filesystem::is_empty(mFolder / "Outside"));
    }

    // A link in place of the entry itself is replaced by the entry's file;
    // what it pointed to stays as it was.
    mFolder.Write("outside.txt", "outside");
    ASSERT_EQ(symlink((mFolder / "outside.txt").c_str(), (mFolder / "Out/a.txt").c_str()), 0);
    const std::string archive = MakeArchive("a.zip", {{"a.txt", "entry"}});
    Zip::cZipExtractor extractor;
    EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultOk);
    EXPECT_FALSE(std::filesystem::is_symlink(mFolder / "Out/a.txt"));
    EXPECT_EQ(mFolder.Read("Out/a.txt"), "entry");
    EXPECT_EQ(mFolder.Read("outside.txt"), "outside");
}

// Sizes an archive declares are checked: an entry that inflates past its
// declared size is stopped, and an archive whose declared sizes exceed the
// free space fails before it writes anything.
TEST_F(ZipTest, DeclaredSizesAreHeld)
{
    const std::string data(100000, 'z');
    const std::string archive = MakeArchive("liar.zip", {{"a.bin", data}});
    std::string bytes = mFolder.Read("liar.zip");
    const uint32_t declared = 1000;
    for (size_t at = bytes.find("PK\x01\x02"); at != std::string::npos; at = bytes.find("PK\x01\x02", at + 4))
        std::memcpy(&bytes[at + 24], &declared, 4);
    std::memcpy(&bytes[22], &declared, 4); // the local header
    mFolder.Write("liar.zip", bytes);
    Zip::cZipExtractor liar;
    EXPECT_EQ(liar.ExtractArchive(archive.c_str(), (mFolder / "Out").c_str(), true), Zip::kResultFailed);
    EXPECT_FALSE(mFolder.Exists("Out/a.bin"));

    // Enough entries that each claim 4 GiB to outgrow the free space.
    struct statvfs disk;
    ASSERT_EQ(statvfs(mFolder.Path().c_str(), &disk), 0);
    const uint64_t claimed = 0xfffffffeu;
    const uint64_t count = uint64_t(disk.f_bavail) * disk.f_frsize / claimed + 2;
    std::vector<std::pair<std::string, std::string>> entries = {{"first.txt", "first"}};
    for (uint64_t i = 0; i < count; ++i)
        entries.push_back({"big" + std::to_string(i), "b"});
    const std::string huge = MakeArchive("huge.zip", entries);
    bytes = mFolder.Read("huge.zip");
    const uint32_t claimed32 = uint32_t(claimed);
    const char* central = "PK\x01\x02";
    // The first entry keeps its true size: alone it would extract.
    for (size_t at = bytes.find(central, bytes.find(central) + 4); at != std::string::npos;
         at = bytes.find(central, at + 4))
        std::memcpy(&bytes[at + 24], &claimed32, 4);
    mFolder.Write("huge.zip", bytes);
    Zip::cZipExtractor tooBig;
    EXPECT_EQ(tooBig.ExtractArchive(huge.c_str(), (mFolder / "Empty").c_str(), true), Zip::kResultFailed);
    EXPECT_FALSE(mFolder.Exists("Empty/first.txt"));
}

// Entry names of any length are read whole or refused before anything is
// written; none is read past its buffer or cut into another name. The
// archives with names past the 259 bytes a name holds are left in the test
// scratch folder under "fuzz-seeds/zip_extract", once as they are and once a
// byte longer, as the fuzz target keeps or replaces files by the input's
// length.
TEST_F(ZipTest, EntryNamesOfAnyLengthAreReadWholeOrRefused)
{
    const std::string out = mFolder / "Out";
    // The longest name whose target path (the folder, "/" and the name)
    // fits the 259 bytes a path holds.
    const size_t fitting = 259 - out.size() - 1;
    ASSERT_GT(fitting, 20u) << out << " leaves no room for a name";
    // A name of that length, split in two so no part outgrows a file name.
    const auto name = [](size_t length) {
        std::string text(length, 'n');
        text[length / 2] = '/';
        return text;
    };
    const struct
    {
        const char* what;
        size_t length;
        bool extracts;
    } cases[] = {
        {"a name that fills the target", fitting, true},
        {"one byte past the target", fitting + 1, false},
        {"259 bytes, the most an entry name holds", 259, false},
        {"260 bytes", 260, false},
        {"261 bytes", 261, false},
        {"1000 bytes", 1000, false},
        {"65535 bytes, the most a zip holds", 65535, false},
    };
    for (const auto& c : cases)
        for (const bool overwrite : {false, true})
        {
            const std::string archive = MakeArchive("names.zip", {{"first.txt", "first"}, {name(c.length), "long"}});
            if (c.length > 259 && c.length < 65535)
                KeepFuzzSeed(archive, "long-name-" + std::to_string(c.length));
            Zip::cZipExtractor extractor;
            EXPECT_EQ(extractor.ExtractArchive(archive.c_str(), out.c_str(), overwrite),
                      c.extracts ? Zip::kResultOk : Zip::kResultFailed)
                << c.what << ", overwrite " << overwrite;
            EXPECT_EQ(mFolder.Exists("Out/first.txt"), c.extracts) << c.what << ": all or nothing";
            if (c.extracts)
            {
                EXPECT_EQ(mFolder.Read("Out/" + name(c.length)), "long") << c.what;
            }
            std::filesystem::remove_all(out);
        }
}
