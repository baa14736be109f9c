#include "CommitStepKill.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

// The program's renames and links reach these first: they count the steps of
// an armed process and pass every call on to the system's own.

namespace
{
std::atomic<int> sStepsLeft{0};
std::atomic<bool> sRefuseSwaps{false};

void Step()
{
    if (sStepsLeft.load(std::memory_order_relaxed) > 0 && sStepsLeft.fetch_sub(1) == 1)
        raise(SIGKILL);
}

template <class tFunction>
tFunction System(const char* name)
{
    return reinterpret_cast<tFunction>(dlsym(RTLD_NEXT, name));
}
} // namespace

void KillAtCommitStep(int step) { sStepsLeft.store(step); }

void RefuseRenameSwaps(bool refuse) { sRefuseSwaps.store(refuse); }

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto system = System<int (*)(const char*, const char*)>("rename");
    Step();
    return system(from, to);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept
{
    static const auto system = System<int (*)(int, const char*, int, const char*)>("renameat");
    Step();
    return system(fromFolder, from, toFolder, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) noexcept
{
    static const auto system = System<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    if ((flags & RENAME_EXCHANGE) != 0 && sRefuseSwaps.load())
    {
        errno = EINVAL;
        return -1;
    }
    Step();
    return system(fromFolder, from, toFolder, to, flags);
}

extern "C" int link(const char* from, const char* to) noexcept
{
    static const auto system = System<int (*)(const char*, const char*)>("link");
    Step();
    return system(from, to);
}
