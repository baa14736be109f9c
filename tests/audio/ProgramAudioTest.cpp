#include <gtest/gtest.h>

#include "BuildPaths.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using namespace std::chrono_literals;

// Whether the process has a thread of that name.
bool HasThread(pid_t pid, const std::string& name)
{
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = opendir(folder.c_str());
    if (!tasks)
        return false;
    bool found = false;
    while (dirent* entry = readdir(tasks))
    {
        std::ifstream comm(folder + "/" + entry->d_name + "/comm");
        std::string thread;
        if (std::getline(comm, thread) && thread == name)
            found = true;
    }
    closedir(tasks);
    return found;
}

// The exit status, or -2 when the program did not end in time: a shutdown
// that hangs fails here instead of holding up the whole test run.
int WaitForExit(pid_t pid, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;)
    {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (ended < 0 && errno != EINTR)
            return -3;
        if (std::chrono::steady_clock::now() > end)
        {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -2;
        }
        std::this_thread::sleep_for(20ms);
    }
}

// Runs the built program headless with the given audio driver, waits for its
// audio thread, closes it as the desktop would and returns its exit status.
int RunProgram(const char* audioDriver, const std::string& dataHome, bool& sawAudioThread)
{
    std::vector<std::string> environment = {"SDL_VIDEODRIVER=offscreen", std::string("SDL_AUDIODRIVER=") + audioDriver,
                                            "XDG_DATA_HOME=" + dataHome};
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = BuildFile("bin/quilwright");
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return -1;
    // A first start installs the content first, which a loaded machine
    // takes a while over.
    const auto end = std::chrono::steady_clock::now() + 120s;
    while (!(sawAudioThread = HasThread(pid, "AudioManager")) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(300ms); // let it render for a while
    kill(pid, SIGTERM);
    return WaitForExit(pid, 30s);
}
} // namespace

TEST(ProgramAudioTest, StartsAndClosesCleanlyWithOrWithoutADevice)
{
    ASSERT_EQ(access(BuildFile("bin/quilwright").c_str(), X_OK), 0) << "the program is not built: "
                                                                     << BuildFile("bin/quilwright");
    // A data home of this run's own, so a test program beside shares none.
    const std::string dataHome = TestScratchFolder() + "/audio-program-data-" + std::to_string(getpid());
    for (const char* driver : {"dummy", "no-such-audio-driver"})
    {
        bool sawAudioThread = false;
        EXPECT_EQ(RunProgram(driver, dataHome, sawAudioThread), 0) << driver;
        EXPECT_TRUE(sawAudioThread) << driver;
    }
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
}
