#include "project/FileList.h"

bool cFileList::Add(const char* path)
{
    if (mCount >= kCapacity)
        return false;
    if (!path || *path == '\0')
        return true;
    mPaths[mCount++].AssignCStr(path);
    return true;
}
