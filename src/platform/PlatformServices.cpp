#include "platform/PlatformServices.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace
{
constexpr const char* kOpener = "xdg-open";
// The opener hands the address on and returns at once, or fails at once when
// nothing can open it. A later exit is the status of a program it waited for
// (a browser closed hours later), not of the open.
constexpr std::chrono::seconds kQuickExit{10};

struct cFailedOpens
{
    std::mutex lock;
    std::deque<sFailedOpen> list;
};

// Never destroyed: a reaper may still report while the program exits.
cFailedOpens& FailedOpens()
{
    static cFailedOpens* opens = new cFailedOpens;
    return *opens;
}

void KeepFailure(const char* address, std::string reason)
{
    cFailedOpens& opens = FailedOpens();
    std::lock_guard<std::mutex> hold(opens.lock);
    opens.list.push_back({address, std::move(reason)});
}

std::string SpawnFailure(int error)
{
    if (error == ENOENT)
        return std::string(kOpener) + " is not installed";
    return std::string(kOpener) + " could not be started (" + std::strerror(error) + ")";
}

std::string ExitFailure(int status)
{
    if (WIFSIGNALED(status))
        return std::string(kOpener) + " was stopped by signal " + std::to_string(WTERMSIG(status));
    return std::string(kOpener) + " failed with status " + std::to_string(WEXITSTATUS(status));
}

// Waits for the opener off the UI thread, so it neither lingers as a zombie
// nor fails unseen.
void Reap(pid_t child, std::string address)
{
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    pid_t reaped;
    do
        reaped = waitpid(child, &status, 0);
    while (reaped < 0 && errno == EINTR);
    const bool failed = reaped == child && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (failed && std::chrono::steady_clock::now() - started < kQuickExit)
        KeepFailure(address.c_str(), ExitFailure(status));
}
} // namespace

bool OpenURLInBrowser(const char* address)
{
    // The address goes to the opener as one argument, never through a shell; a
    // leading '-' would be read as an option.
    if (!address || address[0] == '\0' || address[0] == '-')
        return false;
    char program[] = "xdg-open";
    char* const argv[] = {program, const_cast<char*>(address), nullptr};
    pid_t child = 0;
    if (const int error = posix_spawnp(&child, program, nullptr, nullptr, argv, environ); error != 0)
    {
        KeepFailure(address, SpawnFailure(error));
        return false;
    }
    std::thread(Reap, child, std::string(address)).detach();
    return true;
}

bool TakeFailedOpen(sFailedOpen& failed)
{
    cFailedOpens& opens = FailedOpens();
    std::lock_guard<std::mutex> hold(opens.lock);
    if (opens.list.empty())
        return false;
    failed = std::move(opens.list.front());
    opens.list.pop_front();
    return true;
}

void DebugTraceV(const char* format, va_list args)
{
    if (!format)
        return;
    char buffer[4096];
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    std::printf("%s", buffer);
}

void DebugTrace(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugTraceV(format, args);
    va_end(args);
}
