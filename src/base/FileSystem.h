#pragma once

#include "base/GenString.h"
#include "base/IntrusiveList.h"

#include <cstdint>

namespace File
{
class cFile;

// Result codes kept in a file system's last-error field.
enum : int32_t
{
    kErrorNone = 0,
    kErrorCopyFailed = 5,
    kErrorFolderFailed = 41,
    kErrorCommitFailed = 42,
    kErrorNotFound = -1000000,
};

// What Stat reports of a path.
struct sFileStatus
{
    uint32_t kind = 0; // the S_IFMT bits of the mode
    uint32_t size = 0; // low 32 bits of the size
    int64_t accessTime = 0;
    int64_t modifyTime = 0;
    int64_t changeTime = 0;

    bool IsFolder() const;
    bool IsFile() const;
};

// A mounted file system: a named object that reaches the paths below its
// root. Paths are UTF-8, relative to the root, with "/" or "\" separators.
class cFileSystem : public Base::cIntrusiveListItem<cFileSystem, 1>
{
public:
    class cFileIterator
    {
    public:
        virtual ~cFileIterator() = default;
        virtual bool First() = 0;
        virtual bool Next() = 0;
        virtual const char* GetName() = 0;
        virtual bool IsFolder() = 0;
        virtual const char* GetPath() = 0;
    };

    explicit cFileSystem(const char* name) : mName(name) {}
    cFileSystem(const cFileSystem&) = delete;
    cFileSystem& operator=(const cFileSystem&) = delete;

    virtual ~cFileSystem() = default;
    virtual cFile* Open(const cGenString& path, int mode, uint32_t flags) = 0;
    virtual bool Exists(const cGenString& path) = 0;
    virtual bool Copy(const cGenString& source, const cGenString& target, uint32_t flags) = 0;
    virtual bool CreateFolder(const cGenString& path) = 0;
    virtual void WalkFolder(const cGenString& path) = 0;
    virtual bool Delete(const cGenString& path) = 0;
    virtual bool Stat(const cGenString& path, sFileStatus* status) = 0;
    virtual const cGenString* GetRootPath() = 0;
    virtual bool Describe(cGenString& out, const cGenString& path) = 0;
    virtual float GetPathValue(const cGenString& path) = 0;
    virtual int GetFileSize(const cGenString& path) = 0;
    virtual bool GetTotalSize(const cGenString& path, uint32_t* bytes, uint32_t* files) = 0;
    // Makes path + ".tmp" the file, keeping the previous one as ".bak".
    virtual bool CommitTemp(const cGenString& path, bool dropBackup) = 0;
    // Removes path + ".tmp" of a safe write that is abandoned.
    virtual bool DiscardTemp(const cGenString& path) = 0;
    // Never replaces an existing target.
    virtual bool Rename(const cGenString& from, const cGenString& to) = 0;
    // The caller deletes the iterator.
    virtual cFileIterator* NewIterator(const cGenString& folder) = 0;

    int32_t GetLastError() const { return mLastError; }
    void SetLastError(int32_t error) { mLastError = error; }
    const char* GetName() const { return mName.CStr(); }

private:
    int32_t mLastError = kErrorNone;
    cGenStringFixed<16> mName;
};

} // namespace File
