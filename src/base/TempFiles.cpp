#include "base/TempFiles.h"

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"

namespace
{
File::cFileSystem* TempMount() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Tmp") : nullptr; }
} // namespace

File::cFile* OpenTempFile(const char* name, bool update)
{
    File::cFileSystem* temp = TempMount();
    if (!temp)
        return nullptr;
    if (update)
        return temp->Open(name, File::kModeUpdate, 0);
    temp->Delete(name);
    return temp->Open(name, File::kModeWrite, 0);
}

File::cFile* OpenTempFileRead(const char* name)
{
    File::cFileSystem* temp = TempMount();
    return temp ? temp->Open(name, File::kModeRead, 0) : nullptr;
}

bool DeleteTempFile(const char* name)
{
    File::cFileSystem* temp = TempMount();
    return temp && temp->Delete(name);
}
