#pragma once

#include "base/FileSystem.h"
#include "base/FolderFinder.h"

namespace File
{
// A folder of the local disk mounted as a file system. An empty root makes
// every path a native path used unchanged.
class cFileSystemDisk : public cFileSystem
{
public:
    class cFileIterator : public cFileSystem::cFileIterator
    {
    public:
        explicit cFileIterator(const char* folder) : mFinder(folder) {}
        bool First() override { return mFinder.First(); }
        bool Next() override { return mFinder.Next(); }
        const char* GetName() override { return mFinder.GetName(); }
        bool IsFolder() override { return mFinder.IsFolder(); }
        const char* GetPath() override { return mFinder.GetFolder(); }

    private:
        cFolderFinder mFinder;
    };

    cFileSystemDisk(const char* name, const char* root);

    cFile* Open(const cGenString& path, int mode, uint32_t flags) override;
    bool Exists(const cGenString& path) override;
    bool Copy(const cGenString& source, const cGenString& target, uint32_t flags) override;
    bool CreateFolder(const cGenString& path) override;
    void WalkFolder(const cGenString& path) override;
    bool Delete(const cGenString& path) override;
    bool Stat(const cGenString& path, sFileStatus* status) override;
    const cGenString* GetRootPath() override { return &mRoot; }
    bool Describe(cGenString& out, const cGenString& path) override;
    float GetPathValue(const cGenString& path) override;
    int GetFileSize(const cGenString& path) override;
    bool GetTotalSize(const cGenString& path, uint32_t* bytes, uint32_t* files) override;
    bool CommitTemp(const cGenString& path, bool dropBackup) override;
    bool DiscardTemp(const cGenString& path) override;
    bool Rename(const cGenString& from, const cGenString& to) override;
    cFileSystem::cFileIterator* NewIterator(const cGenString& folder) override;

    // The root joined with path; false (and no path) when it does not fit.
    bool JoinPath(const cGenString& path, cGenString& out) const;
    // Commits a safe-write stream's own temporary file over its target
    // (native paths); sets the last error as CommitTemp does.
    bool CommitTempFile(const char* temp, const char* target, bool dropBackup);

private:
    cFile* OpenSafeWrite(const cGenString& path, const char* full, uint32_t flags);

    cGenStringFixed<260> mRoot;
};

} // namespace File
