#pragma once

#include "base/Delegate.h"

#include <cstdint>
#include <string>

namespace File
{
class cFile;
}

namespace Zip
{
// Results of the zip operations.
enum : int32_t
{
    kResultOk = 0,
    kResultCancelled = 1,
    kResultFailed = 2,
};

// What the progress delegate is invoked with (as its first argument): the
// name being handled, the fraction done 0..1, and a flag the callee may set
// to cancel a compression.
struct sProgress
{
    const char* text;
    float progress;
    bool cancel;
};

// Packs a file or a folder tree of the "Doc" mount into a zip archive on the
// same mount. Build it zeroed on the stack and set the progress delegate.
class cZipCompressor
{
public:
    // Both paths relative to the "Doc" mount. The archive appears only when
    // every file went in whole: any other result leaves no archive behind
    // and an archive that existed before untouched.
    int32_t Compress(const char* source, const char* archive);
    // Counts the files below the folder into total.
    bool CheckFolder(const char* folder);
    int32_t AddFolder(const char* folder, const char* archive, int32_t prefixLength);
    int32_t AddFile(const char* path, File::cFile* stream, int32_t prefixLength);
    bool OpenArchive(const char* archive);

    cDelegate progress;
    uint32_t total = 0;
    uint32_t done = 0;

private:
    int32_t CompressFile(const char* source, const char* archive, int32_t prefixLength);
    bool CloseArchive();
    int32_t FinishArchive(const char* archive, int32_t result);
    bool ReportProgress(const char* text, float fraction);

    uint8_t* mBuffer = nullptr;
    void* mArchive = nullptr;
    // The archive's own temporary and a descriptor that holds it until the
    // commit.
    std::string mTempPath;
    int mHeld = -1;
};

// Unpacks every entry of an archive into a native folder. Entry names that
// are absolute, carry a drive prefix or a ".." part are refused, and so is a
// symbolic link on an entry's way below the folder, so nothing is ever
// written outside it. An archive holding such a name, a name too long for a
// path, or files that would not fit the free space fails before anything is
// written.
class cZipExtractor
{
public:
    // handle: an archive opened with OpenArchiveForReading. Existing files are
    // kept without overwrite.
    int32_t ExtractAll(void* handle, const char* folder, bool overwrite);
    int32_t ExtractCurrent(void* handle, const char* folder, bool overwrite);
    int32_t ExtractArchive(const char* archive, const char* folder, bool overwrite);

    cDelegate progress;
    uint32_t total = 0;
    uint32_t done = 0;

private:
    bool CanUnpackAll(void* handle, const char* folder, bool overwrite);
    int32_t CopyEntryData(void* handle, const char* name, int folder, const char* leaf, uint64_t size);
    void ReportProgress(const char* text, float fraction);
};

// Opens an archive for reading through the program's own file opening; null
// when it cannot be opened. Close it with CloseArchiveForReading.
void* OpenArchiveForReading(const char* nativePath);
void CloseArchiveForReading(void* handle);

// True when an entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const char* name);

} // namespace Zip
