#include "base/FolderFinder.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace
{
bool LessNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        const unsigned char ca = (unsigned char)ToLowerASCII(a[i]);
        const unsigned char cb = (unsigned char)ToLowerASCII(b[i]);
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

bool IsRealFolder(const std::string& folder, const struct dirent* entry)
{
    if (entry->d_type == DT_DIR)
        return true;
    if (entry->d_type != DT_UNKNOWN)
        return false;
    struct stat status;
    const std::string path = folder + "/" + entry->d_name;
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
} // namespace

cFolderFinder::cFolderFinder(const char* folder) : mFolder(folder), mIndex(0) {}

bool cFolderFinder::ReadEntries()
{
    mEntries.clear();
    mIndex = 0;
    const char* folder = mFolder.CStr();
    DIR* dir = mFolder.IsEmpty() ? nullptr : opendir(folder);
    mReadable = dir != nullptr;
    if (!dir)
        return false;
    while (const struct dirent* entry = readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        mEntries.push_back({name, IsRealFolder(folder, entry)});
    }
    closedir(dir);
    std::sort(mEntries.begin(), mEntries.end(),
              [](const sEntry& a, const sEntry& b) { return LessNoCase(a.name, b.name); });
    return true;
}

bool cFolderFinder::First()
{
    return ReadEntries() && !mEntries.empty();
}

bool cFolderFinder::Next()
{
    if (mIndex >= mEntries.size())
        return false;
    ++mIndex;
    return mIndex < mEntries.size();
}

const char* cFolderFinder::GetName() const
{
    return IsValid() ? mEntries[mIndex].name.c_str() : "";
}

bool cFolderFinder::IsFolder() const { return IsValid() && mEntries[mIndex].folder; }
