#pragma once

#include "BuildPaths.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The built program, started headless with the given video driver settings.
// No display is passed on, so an error box can never wait for a click.
class cProgram
{
public:
    // The data home defaults to one of the tests' own, the program file to
    // the built one.
    cProgram(const char* deviceArgument, std::vector<std::string> environment, std::string dataHome = "",
             std::vector<std::string> documents = {}, std::string program = BuildFile("bin/quilwright"))
    {
        const std::string folder = TestScratchFolder();
        mErrorPath = folder + "/lifecycle-" + std::to_string(getpid()) + ".err";

        environment.push_back("SDL_AUDIODRIVER=dummy");
        // The user's own data folder stays untouched, and a test program
        // running beside shares none of this one's.
        environment.push_back("XDG_DATA_HOME=" + (dataHome.empty() ? DefaultDataHome() : dataHome));
        // The sanitizers' settings reach the program, so it fails as the tests do.
        for (const char* name : {"HOME", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (const char* value = std::getenv(name))
                environment.push_back(std::string(name) + "=" + value);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        std::vector<char*> argv = {program.data(), const_cast<char*>(deviceArgument)};
        for (std::string& document : documents)
            argv.push_back(document.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, mErrorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        // A test run in the background ignores SIGINT, and the program would
        // inherit that; it must meet the signals as a program started by hand.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t signals;
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        posix_spawnattr_setsigdefault(&attributes, &signals);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (posix_spawn(&mPid, program.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0)
            mPid = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }

    ~cProgram()
    {
        if (mPid > 0 && !mExited)
        {
            kill(mPid, SIGKILL);
            waitpid(mPid, &mStatus, 0);
        }
        unlink(mErrorPath.c_str());
    }

    bool Started() const { return mPid > 0; }
    void Signal(int signal) { kill(mPid, signal); }

    // True when the program ended within the time.
    bool WaitForExit(double seconds)
    {
        const double deadline = Now() + seconds;
        while (Now() < deadline)
        {
            if (HasExited())
                return true;
            usleep(20000);
        }
        return false;
    }

    // True once start-up has run far enough to start the job thread: by then
    // the window, its OpenGL context and the signal handling exist. A loaded
    // machine may take a while to get there; false when the program ended or
    // the time ran out first.
    bool WaitUntilStarted(double seconds)
    {
        const double deadline = Now() + seconds;
        while (Now() < deadline)
        {
            if (HasExited())
                return false;
            if (HasThreadNamed("JobQueue"))
                return true;
            usleep(20000);
        }
        return false;
    }

    // Whether the program has read every byte its window system connection
    // holds. Once an input tool has ended (its connection closes after a
    // round trip, so the server has sent on every event it made), this means
    // the program's frame has taken the events.
    bool HasReadItsWindowEvents() const
    {
        const int process = int(syscall(SYS_pidfd_open, mPid, 0));
        if (process < 0)
            return false;
        bool read = true;
        const std::string fds = "/proc/" + std::to_string(mPid) + "/fd";
        if (DIR* folder = opendir(fds.c_str()))
        {
            while (const dirent* entry = readdir(folder))
                read = read && !IsUnreadWindowConnection(process, std::atoi(entry->d_name), fds + "/" + entry->d_name);
            closedir(folder);
        }
        close(process);
        return read;
    }

    int ExitStatus() const { return WIFEXITED(mStatus) ? WEXITSTATUS(mStatus) : -1; }

    std::string ErrorOutput() const
    {
        std::ifstream file(mErrorPath);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    bool HasExited()
    {
        if (!mExited && waitpid(mPid, &mStatus, WNOHANG) == mPid)
            mExited = true;
        return mExited;
    }

private:

    // Whether the program's descriptor is a connection to an X server with
    // bytes the program has not read yet.
    static bool IsUnreadWindowConnection(int process, int descriptor, const std::string& link)
    {
        char target[64] = {};
        if (readlink(link.c_str(), target, sizeof(target) - 1) <= 0 || std::string(target).rfind("socket:", 0) != 0)
            return false;
        const int socket = int(syscall(SYS_pidfd_getfd, process, descriptor, 0));
        if (socket < 0)
            return false;
        sockaddr_un peer = {};
        socklen_t length = sizeof(peer);
        int unread = 0;
        const bool toX = getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
                         peer.sun_family == AF_UNIX && length > sizeof(sa_family_t) &&
                         std::string(peer.sun_path + 1, length - sizeof(sa_family_t) - 1).find(".X11-unix/X") !=
                             std::string::npos;
        const bool pending = toX && ioctl(socket, FIONREAD, &unread) == 0 && unread > 0;
        close(socket);
        return pending;
    }

    // The data home of the programs this test program starts without one
    // of their own, removed when it ends.
    static std::string DefaultDataHome()
    {
        struct cFolder
        {
            std::string path = TestScratchFolder() + "/lifecycle-data-" + std::to_string(getpid());
            ~cFolder()
            {
                std::error_code ignored;
                std::filesystem::remove_all(path, ignored);
            }
        };
        static const cFolder folder;
        return folder.path;
    }

    bool HasThreadNamed(const std::string& name) const
    {
        const std::string tasks = "/proc/" + std::to_string(mPid) + "/task";
        DIR* folder = opendir(tasks.c_str());
        if (!folder)
            return false;
        bool found = false;
        while (const dirent* entry = readdir(folder))
        {
            std::ifstream comm(tasks + "/" + entry->d_name + "/comm");
            std::string threadName;
            if (std::getline(comm, threadName) && threadName == name)
                found = true;
        }
        closedir(folder);
        return found;
    }

    static double Now()
    {
        timespec t;
        clock_gettime(CLOCK_MONOTONIC, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }

    pid_t mPid = -1;
    int mStatus = 0;
    bool mExited = false;
    std::string mErrorPath;
};
