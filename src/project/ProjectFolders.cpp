#include "project/ProjectFolders.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <strings.h>
#include <vector>

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/UniqueFileName.h"

namespace
{
constexpr const char* kProjectsFolder = "User/Projects";
constexpr const char* kUntitledPath = "User/Projects/Untitled.prj";
// Numbers after the ones the common renaming gives, for a user who keeps
// every untitled project.
constexpr int kLastUntitledNumber = 9999;

bool HasExtensionNoCase(const cGenString& path, const char* extension)
{
    return strcasecmp(PathGetExtension(path).CStr(), extension) == 0;
}

bool StartsWithNoCase(const char* text, const char* prefix)
{
    return strncasecmp(text, prefix, std::strlen(prefix)) == 0;
}

using tIterator = std::unique_ptr<File::cFileSystem::cFileIterator>;
} // namespace

void GetProjectDisplayName(cGenString& path)
{
    PathStripToFileName(path);
    const bool backup = HasExtensionNoCase(path, "bak");
    const int prj = path.FindNoCase(cGenString::ConstructView(".prj"));
    if (prj >= 0)
        path.Truncate(prj);
    if (backup)
        path.AppendCString(".bak");
}

bool MakeNewUntitledProjectPath(cGenString& path)
{
    path.AssignCStr(kUntitledPath);
    if (MakeUniqueFileName(path, false))
        return true;
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!documents)
        return false;
    for (int number = 100; number <= kLastUntitledNumber; ++number)
    {
        cGenStringFixed<260> candidate;
        candidate.Printf("User/Projects/Untitled-%d.prj", number);
        if (!documents->Exists(candidate))
        {
            path.Assign(candidate);
            return true;
        }
    }
    return false;
}

bool IsEmptyFolder(File::cFileSystem& fileSystem, const cGenString& folder)
{
    File::sFileStatus status;
    if (!fileSystem.Stat(folder, &status) || !status.IsFolder())
        return false;
    tIterator entries(fileSystem.NewIterator(folder));
    return entries && !entries->First();
}

bool FolderHoldsWavFiles(File::cFileSystem& fileSystem, const cGenString& folder)
{
    tIterator entries(fileSystem.NewIterator(folder));
    for (bool found = entries && entries->First(); found; found = entries->Next())
        if (!entries->IsFolder() && HasExtensionNoCase(cGenString::ConstructView(entries->GetName()), "wav"))
            return true;
    return false;
}

void DeleteEmptyUntitledProjects(const cGenString& keep)
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!documents)
        return;
    const cGenString projects = cGenString::ConstructView(kProjectsFolder);
    std::vector<cGenStringFixed<260>> empty;
    {
        tIterator entries(documents->NewIterator(projects));
        for (bool found = entries && entries->First(); found; found = entries->Next())
        {
            const cGenString name = cGenString::ConstructView(entries->GetName());
            if (!entries->IsFolder() || std::strcmp(PathGetExtension(name).CStr(), "prj") != 0 ||
                !StartsWithNoCase(name.CStr(), "Untitled"))
                continue;
            cGenStringFixed<260> folder(projects);
            if (!PathAppend(folder, name) || std::strcmp(folder.CStr(), keep.CStr()) == 0)
                continue;
            if (IsEmptyFolder(*documents, folder))
                empty.push_back(folder);
        }
    }
    for (const cGenStringFixed<260>& folder : empty)
        documents->Delete(folder);
}
