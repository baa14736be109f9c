#include "base/RootPaths.h"

#include "base/DiskFiles.h"
#include "base/PathUtils.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using tRoot = cGenStringFixed<260>;

tRoot ReadProgramFolder()
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    tRoot folder;
    if (length <= 0)
        return folder;
    buffer[length] = 0;
    folder.AssignCStr(buffer);
    const int slash = folder.FindLastChar('/');
    if (slash >= 0)
        folder.Truncate(slash);
    return folder;
}

tRoot BesideProgram(const char* name)
{
    tRoot path(GetProgramFolderPath());
    PathAppend(path, name);
    return path;
}

// XDG_DATA_HOME, else ~/.local/share; "" when neither is known.
std::string DataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share";
    return "";
}

tRoot DataRoot(const char* leaf)
{
    tRoot path;
    BuildDataFolderPath(DataHome().c_str(), GetProgramFolderPath(), leaf, path);
    return path;
}
} // namespace

bool EnsureFolderExists(const char* path)
{
    if (::mkdir(path, 0777) == 0)
        return true;
    struct stat status;
    return errno == EEXIST && ::stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

void BuildDataFolderPath(const char* dataHome, const char* programFolder, const char* leaf, cGenString& out)
{
    tRoot path(dataHome);
    bool ok = dataHome[0] == '/' && CreateFolderTree(dataHome);
    ok = ok && PathAppend(path, "Quilwright") && EnsureFolderExists(path.CStr());
    ok = ok && PathAppend(path, leaf) && EnsureFolderExists(path.CStr());
    if (!ok)
    {
        path.AssignCStr(programFolder);
        PathAppend(path, leaf);
        EnsureFolderExists(path.CStr());
    }
    PathToForwardSlashes(path);
    path.RemoveTrailingSeparator();
    out.Assign(path);
}

const char* GetProgramFolderPath()
{
    static const tRoot folder = ReadProgramFolder();
    return folder.CStr();
}

const char* GetResourceFolderPath()
{
    static const tRoot path = BesideProgram("Resource");
    return path.CStr();
}

const char* GetAssetsFolderPath()
{
    static const tRoot path = BesideProgram("Resource/Assets");
    return path.CStr();
}

const char* GetCodeFolderPath()
{
    static const tRoot path = BesideProgram("code");
    return path.CStr();
}

const char* GetDocumentsFolderPath()
{
    static const tRoot path = DataRoot("Documents");
    return path.CStr();
}

const char* GetTempFolderPath()
{
    static const tRoot path = DataRoot("Temp");
    return path.CStr();
}
