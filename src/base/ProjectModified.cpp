#include "base/ProjectModified.h"

namespace
{
std::atomic<std::atomic<bool>*> sFlag{nullptr};
}

void MarkProjectModified()
{
    if (std::atomic<bool>* flag = sFlag.load())
        flag->store(true);
}

void SetProjectModifiedFlag(std::atomic<bool>* flag) { sFlag.store(flag); }
