#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
// Starts the built program headless; the tests run in the build folder.
pid_t StartProgram(const char* deviceArgument)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    char program[] = "bin/quilwright";
    char* argv[] = {program, const_cast<char*>(deviceArgument), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return -1;
    return pid;
}

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Waits up to the given time; true with the status when the program ended.
bool WaitForExit(pid_t pid, double seconds, int& status)
{
    const double deadline = Now() + seconds;
    while (Now() < deadline)
    {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return true;
        usleep(20000);
    }
    return false;
}

void ExpectCleanExitOnSignal(int signal, const char* deviceArgument)
{
    const pid_t pid = StartProgram(deviceArgument);
    ASSERT_GT(pid, 0) << "bin/quilwright did not start";
    int status = 0;
    // Still running after a second: the window and its frame loop are up.
    ASSERT_FALSE(WaitForExit(pid, 1.0, status)) << "exited early with status " << WEXITSTATUS(status);
    kill(pid, signal);
    const bool exited = WaitForExit(pid, 5.0, status);
    if (!exited)
    {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(exited) << "still running 5 s after the signal";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ProgramLifecycleTest, ClosesWithStatusZeroOnSigterm) { ExpectCleanExitOnSignal(SIGTERM, "-desktop"); }

TEST(ProgramLifecycleTest, ClosesWithStatusZeroOnSigint) { ExpectCleanExitOnSignal(SIGINT, "-phone"); }
} // namespace
