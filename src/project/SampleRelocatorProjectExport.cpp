#include "project/SampleRelocatorProjectExport.h"

#include <memory>
#include <strings.h>

#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"

cSampleRelocatorProjectExport::cSampleRelocatorProjectExport(const cGenString& projectFolder,
                                                             const cGenString& exportFolder)
    : cSampleRelocator(exportFolder, true)
{
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (!documents || projectFolder.IsEmpty())
        return;
    std::unique_ptr<File::cFileSystem::cFileIterator> entries(documents->NewIterator(projectFolder));
    for (bool found = entries && entries->First(); found; found = entries->Next())
    {
        const cGenString name = cGenString::ConstructView(entries->GetName());
        if (entries->IsFolder() || strcasecmp(PathGetExtension(name).CStr(), "wav") != 0)
            continue;
        cGenStringFixed<260> source(projectFolder);
        cGenStringFixed<260> target(mBaseFolder);
        if (PathAppend(source, name) && PathAppend(target, name))
            MapCopy(target, source);
    }
}

void cSampleRelocatorProjectExport::Relocate(cGenString& path)
{
    int prefix = 0;
    if (!path.IsEmpty() && !IsBelowBase(path, &prefix))
        MoveIntoBase(path);
}
