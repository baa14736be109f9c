// Feeds arbitrary bytes as an exported ".qpk" archive to the project page's
// load job: nothing may be written outside the folder the job unpacks into,
// a refused archive leaves no folder behind, and a project that loads has
// its mixer in slot 0 and every value in range.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ProjectFuzzWorld.h"
#include "project/ui/SetupPanelProject.h"

namespace
{
namespace fs = std::filesystem;

// Everything below the scratch folder lies in the archive's own folder, or
// is one of the folders and the archive that were there before.
void CheckNothingOutside(const ProjectFuzz::cWorld& world)
{
    const fs::path unpacked = fs::path(world.documents) / "User/Projects/In.prj";
    const fs::path allowed[] = {fs::path(world.documents), fs::path(world.documents) / "User",
                                fs::path(world.documents) / "User/Projects",
                                fs::path(world.documents) / "User/Projects/In.qpk", unpacked};
    for (const auto& entry : fs::recursive_directory_iterator(world.scratch))
    {
        const fs::path path = entry.path();
        bool inside = std::find(std::begin(allowed), std::end(allowed), path) != std::end(allowed);
        for (fs::path up = path; !inside && up.has_parent_path() && up != up.parent_path(); up = up.parent_path())
            inside = up == unpacked;
        ProjectFuzz::Require(inside);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ProjectFuzz::cWorld world;
    static cProject project;
    std::ofstream(world.documents + "/User/Projects/In.qpk", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    cSetupPanelProject::cJobLoadProject job(&project, cGenString("User/Projects/In.qpk"));
    job.Run(nullptr);
    CheckNothingOutside(world);
    if (job.result)
        ProjectFuzz::CheckProject(project);
    else if (std::strcmp(job.errorText.CStr(), "Couldn't decompress file.") == 0)
        ProjectFuzz::Require(!fs::exists(world.documents + "/User/Projects/In.prj"));
    project.Unload();
    std::error_code ignored;
    fs::remove_all(world.documents + "/User/Projects/In.prj", ignored);
    return 0;
}
