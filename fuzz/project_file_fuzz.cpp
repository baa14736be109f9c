// Feeds arbitrary bytes to the project reader as "Package.prj": a file that
// reads leaves the mixer in slot 0 and every value in range, and what it
// read saves and reads again to the same project.

#include <cstdint>
#include <fstream>
#include <string>

#include "ProjectFuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ProjectFuzz::cWorld world;
    static cProject project;
    static const bool folder = std::filesystem::create_directories(world.documents + "/User/Projects/F.prj");
    (void)folder;
    std::ofstream(world.documents + "/User/Projects/F.prj/Package.prj", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    File::cFileSystem* documents = gFileSystemRegistry->FindFileSystem("Doc");
    const cGenString file("User/Projects/F.prj/Package.prj");
    project.Unload();
    if (project.Serialise(documents, file, cProject::kRead, nullptr, nullptr))
    {
        ProjectFuzz::CheckProject(project);
        const int32_t transpose = project.GetTranspose();
        const int32_t channel = project.GetTrackMap().GetChannel(7);
        const int32_t page = project.GetRestoreUIPage();
        ProjectFuzz::Require(project.Serialise(documents, file, cProject::kWrite, nullptr, nullptr));
        project.Unload();
        ProjectFuzz::Require(project.Serialise(documents, file, cProject::kRead, nullptr, nullptr));
        ProjectFuzz::CheckProject(project);
        ProjectFuzz::Require(project.GetTranspose() == transpose && project.GetTrackMap().GetChannel(7) == channel &&
                             project.GetRestoreUIPage() == page);
    }
    project.Unload();
    return 0;
}
