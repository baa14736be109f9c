#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "BuildPaths.h"

// The trials of the program on a virtual X display, as a new user meets it.
inline bool HasTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0; }

// The number an X server started with -displayfd writes once it takes
// connections, to the end of its line: it writes the line in two parts, and
// a pipe closed between them makes it fail.
inline std::string ReadDisplayLine(int pipe)
{
    std::string line;
    char c;
    while (read(pipe, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

// An Xvfb server of the trial's own. Its number is drawn far above the ones
// desktops and other tools take and claimed by the server's own lock (a
// number in use makes it exit, and the next draw is tried), so no other
// server starting or stopping on the machine is ever the trial's; clients
// need the cookie in its authority file, so no stray client reaches it and
// the trial's clients reach no other server. It never resets when its last
// client leaves (a check of the display, a program closed), so no client
// meets a server between two lives. It ends with the trial, or with
// the test program should that be killed first.
class cVirtualDisplay
{
public:
    cVirtualDisplay()
    {
        std::mt19937 draw(std::random_device{}() ^ unsigned(getpid()));
        std::uniform_int_distribution<int> numbers(kFirstNumber, kLastNumber);
        for (int attempt = 0; attempt < 20 && mDisplay.empty(); ++attempt)
            TryToStart(numbers(draw));
    }
    ~cVirtualDisplay()
    {
        Stop();
        if (!mAuthority.empty())
            std::remove(mAuthority.c_str());
        std::remove(ServerLink().c_str());
    }
    cVirtualDisplay(const cVirtualDisplay&) = delete;
    cVirtualDisplay& operator=(const cVirtualDisplay&) = delete;

    // ":<number>", or empty when no server started.
    const std::string& Name() const { return mDisplay; }
    // What the last server that failed to start wrote.
    const std::string& Error() const { return mError; }
    // What a client of this display needs in its environment.
    std::vector<std::string> ClientEnvironment() const
    {
        return {"DISPLAY=" + mDisplay, "XAUTHORITY=" + mAuthority};
    }

    // Whether the server takes this trial's connections.
    bool WaitUntilReady() const { return !mDisplay.empty() && Run("xdotool getdisplaygeometry") == 0; }

    // A shell command run against this display; its exit status.
    int Run(const std::string& command) const
    {
        return std::system((Prefix() + command + " >/dev/null 2>&1").c_str());
    }

    // The same, for what it prints (text or bytes).
    std::string Output(const std::string& command) const
    {
        std::string output;
        if (FILE* pipe = popen((Prefix() + command + " 2>/dev/null").c_str(), "r"))
        {
            char buffer[65536];
            size_t read;
            while ((read = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
                output.append(buffer, read);
            pclose(pipe);
        }
        return output;
    }

private:
    static constexpr int kFirstNumber = 1000, kLastNumber = 29999;

    std::string Prefix() const { return "DISPLAY=" + mDisplay + " XAUTHORITY='" + mAuthority + "' timeout 30 "; }

    // Starts the server on the number; it writes the number to the pipe once
    // it takes connections, and closes it unwritten when it fails.
    void TryToStart(int number)
    {
        // Built piecewise: GCC 12 warns falsely about ":" + a string.
        std::string display = ":";
        display += std::to_string(number);
        if (!WriteAuthority(display))
            return;
        const std::string server = ServerProgram();
        int pipeEnds[2];
        if (server.empty() || pipe2(pipeEnds, O_CLOEXEC) != 0)
            return;
        std::vector<std::string> arguments = {server, display, "-displayfd", "3", "-auth", mAuthority,
                                              "-screen", "0", "1280x960x24", "-nolisten", "tcp", "-noreset"};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        const std::string logPath = ServerLink() + ".log";
        const pid_t parent = getpid();
        mPid = fork();
        if (mPid == 0)
        {
            // Only what is safe between fork and exec.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent)
                _exit(1);
            dup2(pipeEnds[1], 3);
            const int quiet = open("/dev/null", O_WRONLY);
            const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(quiet, 1);
            dup2(log >= 0 ? log : quiet, 2);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        const bool started = mPid > 0 && ReadDisplayLine(pipeEnds[0]) == display.substr(1);
        close(pipeEnds[0]);
        if (started)
            mDisplay = display;
        else
            Stop();
        // What the server said when it could not start, for the trial's failure.
        std::ifstream log(logPath);
        mError = started ? "" : std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
        std::remove(logPath.c_str());
    }
    // Xvfb under a name of the trials' own, a link beside their data: a
    // foreign script that stops its own server by name (pkill Xvfb) leaves
    // this one running. Empty when Xvfb is not installed.
    static std::string ServerLink() { return TestScratchFolder() + "/trial-display-" + std::to_string(getpid()); }
    static std::string ServerProgram()
    {
        const std::string link = ServerLink();
        if (access(link.c_str(), X_OK) == 0)
            return link;
        const char* path = std::getenv("PATH");
        std::string folders = path ? path : "/usr/bin:/bin";
        for (size_t from = 0; from <= folders.size();)
        {
            size_t to = folders.find(':', from);
            if (to == std::string::npos)
                to = folders.size();
            const std::string xvfb = folders.substr(from, to - from) + "/Xvfb";
            if (access(xvfb.c_str(), X_OK) == 0)
            {
                std::remove(link.c_str());
                return symlink(xvfb.c_str(), link.c_str()) == 0 ? link : xvfb;
            }
            from = to + 1;
        }
        return "";
    }
    // A fresh cookie for the display, the only entry of the trial's file.
    bool WriteAuthority(const std::string& display)
    {
        if (mAuthority.empty())
            mAuthority = TestScratchFolder() + "/xauthority-" + std::to_string(getpid()) + "-" +
                         std::to_string(reinterpret_cast<uintptr_t>(this));
        std::remove(mAuthority.c_str());
        std::random_device random;
        char cookie[33];
        for (int i = 0; i < 4; ++i)
            std::snprintf(cookie + 8 * i, 9, "%08x", unsigned(random()));
        return std::system(("xauth -q -f '" + mAuthority + "' add " + display + " MIT-MAGIC-COOKIE-1 " + cookie +
                            " 2>/dev/null")
                               .c_str()) == 0;
    }
    void Stop()
    {
        if (mPid > 0)
        {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
        }
        mPid = -1;
    }

    pid_t mPid = -1;
    std::string mDisplay;
    std::string mAuthority;
    std::string mError;
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
