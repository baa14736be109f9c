#pragma once

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

// The trials of the program on a virtual X display, as a new user meets it.
inline bool HasTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0; }

// An Xvfb server on a display of its own choosing.
class cVirtualDisplay
{
public:
    cVirtualDisplay()
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char xvfb[] = "Xvfb", displayFd[] = "-displayfd", fd[] = "3", screen[] = "-screen", zero[] = "0",
             size[] = "1280x960x24", noTcp[] = "-nolisten", tcp[] = "tcp";
        char* argv[] = {xvfb, displayFd, fd, screen, zero, size, noTcp, tcp, nullptr};
        if (posix_spawnp(&mPid, "Xvfb", &actions, nullptr, argv, environ) != 0)
            mPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        char number[16] = {};
        if (mPid > 0 && read(pipeEnds[0], number, sizeof(number) - 1) > 0)
            mDisplay = std::string(":").append(std::to_string(std::atoi(number)));
        close(pipeEnds[0]);
    }
    ~cVirtualDisplay()
    {
        if (mPid > 0)
        {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
    }

    const std::string& Name() const { return mDisplay; }

    // Whether the server takes connections; a busy machine may need a while.
    bool WaitUntilReady() const
    {
        for (int attempt = 0; attempt < 300; ++attempt)
        {
            if (!mDisplay.empty() && Run("xdotool getdisplaygeometry") == 0)
                return true;
            usleep(100000);
        }
        return false;
    }

    // A shell command run against this display; its exit status.
    int Run(const std::string& command) const
    {
        return std::system(("DISPLAY=" + mDisplay + " timeout 30 " + command + " >/dev/null 2>&1").c_str());
    }

    // The same, for what it prints.
    std::string Output(const std::string& command) const
    {
        std::string output;
        if (FILE* pipe = popen(("DISPLAY=" + mDisplay + " timeout 30 " + command + " 2>/dev/null").c_str(), "r"))
        {
            char line[256];
            while (fgets(line, sizeof(line), pipe))
                output += line;
            pclose(pipe);
        }
        return output;
    }

private:
    pid_t mPid = -1;
    std::string mDisplay;
};


// The window system's message bus library, which SDL's X11 driver starts,
// keeps a buffer to the end; a sanitizer build must not count it in the
// program started. The option for its environment; the suppressions go to
// the file named.
inline std::string LeakOptionsForX11(const std::string& suppressions)
{
    if (FILE* file = std::fopen(suppressions.c_str(), "w"))
    {
        std::fputs("leak:libdbus-1.so\n", file);
        std::fclose(file);
    }
    const char* inherited = std::getenv("LSAN_OPTIONS");
    return "LSAN_OPTIONS=suppressions=" + suppressions + ":print_suppressions=0" +
           (inherited && *inherited ? std::string(":") + inherited : std::string());
}
