#include "platform/PlatformServices.h"

#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

bool OpenURLInBrowser(const char* address)
{
    // The address goes to the opener as one argument, never through a shell; a
    // leading '-' would be read as an option.
    if (!address || address[0] == '\0' || address[0] == '-')
        return false;
    char program[] = "xdg-open";
    char* const argv[] = {program, const_cast<char*>(address), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    // Reap the opener in the background so it does not linger as a zombie.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
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
