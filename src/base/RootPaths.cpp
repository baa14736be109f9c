#include "base/RootPaths.h"

#include "base/DiskFiles.h"
#include "base/PathUtils.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

std::string sDataFolderProblem;
// Where the documents folder should have been and why it is not, while it is
// beside the program instead.
std::string sDocumentsWanted, sDocumentsFallbackReason;
bool sDocumentsFellBack = false;

// The root of a data mount; a fallback is said on standard error, and no
// writable folder at all is kept for the program to show.
tRoot DataRoot(const char* leaf)
{
    tRoot path;
    std::string reason;
    const std::string home = DataHome();
    switch (BuildDataFolderPath(home.c_str(), GetProgramFolderPath(), leaf, path, reason))
    {
    case eDataFolder::kDataHome:
        break;
    case eDataFolder::kBesideProgram:
        std::fprintf(stderr, "Quilwright: using %s for the %s folder: %s\n", path.CStr(), leaf, reason.c_str());
        if (std::strcmp(leaf, "Documents") == 0)
        {
            sDocumentsFellBack = true;
            sDocumentsWanted = home.empty() ? "" : home + "/Quilwright/" + leaf;
            sDocumentsFallbackReason = reason;
        }
        break;
    case eDataFolder::kNone:
        std::fprintf(stderr, "Quilwright: no folder can hold the %s folder: %s\n", leaf, reason.c_str());
        if (sDataFolderProblem.empty())
            sDataFolderProblem = "Quilwright cannot store its " + std::string(leaf) + " folder anywhere, so " +
                                 "projects and settings cannot be saved: " + reason + ".";
        break;
    }
    return path;
}

// Makes a folder that the program can write into; the system's reason when
// it cannot.
bool EnsureWritableFolder(const char* path, std::string& why)
{
    if (EnsureFolderExists(path) && ::access(path, W_OK) == 0)
        return true;
    why = std::strerror(errno);
    return false;
}

// The data home's root for the leaf; why it cannot be used when it cannot.
bool BuildUnderDataHome(const char* dataHome, const char* leaf, tRoot& path, std::string& why)
{
    constexpr size_t kMaxPath = 259;
    if (dataHome[0] != '/')
    {
        why = dataHome[0] ? "the data home is not an absolute path" : "no data home is known";
        return false;
    }
    path.AssignCStr(dataHome);
    if (std::strlen(dataHome) + std::strlen("/Quilwright/") + std::strlen(leaf) > kMaxPath)
    {
        why = "the path would be longer than 259 bytes";
        return false;
    }
    if (!CreateFolderTree(dataHome))
    {
        struct stat status;
        why = std::strerror(::stat(dataHome, &status) == 0 && !S_ISDIR(status.st_mode) ? ENOTDIR : errno);
        return false;
    }
    return PathAppend(path, "Quilwright") && EnsureWritableFolder(path.CStr(), why) && PathAppend(path, leaf) &&
           EnsureWritableFolder(path.CStr(), why);
}
} // namespace

bool EnsureFolderExists(const char* path)
{
    if (::mkdir(path, 0777) == 0)
        return true;
    struct stat status;
    return errno == EEXIST && ::stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

eDataFolder BuildDataFolderPath(const char* dataHome, const char* programFolder, const char* leaf, cGenString& out,
                                std::string& reason)
{
    tRoot path;
    std::string why;
    eDataFolder where = eDataFolder::kDataHome;
    if (!BuildUnderDataHome(dataHome, leaf, path, why))
    {
        reason = std::string(dataHome[0] ? dataHome : "the data home") + " cannot be used (" + why + ")";
        path.AssignCStr(programFolder);
        where = PathAppend(path, leaf) && EnsureWritableFolder(path.CStr(), why) ? eDataFolder::kBesideProgram
                                                                                  : eDataFolder::kNone;
        if (where == eDataFolder::kNone)
            reason += ", nor " + std::string(path.CStr()) + " (" + why + ")";
    }
    PathToForwardSlashes(path);
    path.RemoveTrailingSeparator();
    out.Assign(path);
    return where;
}

const char* GetDataFolderProblem()
{
    GetDocumentsFolderPath();
    GetTempFolderPath();
    return sDataFolderProblem.c_str();
}

bool GetDocumentsFolderFallback(std::string& wanted, std::string& reason)
{
    GetDocumentsFolderPath();
    wanted = sDocumentsWanted;
    reason = sDocumentsFallbackReason;
    return sDocumentsFellBack;
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
