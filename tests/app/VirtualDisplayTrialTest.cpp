#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "ProgramTrial.h"

// A trial's display is its own: X servers of other users starting and
// stopping on the usual numbers and beside the trial's own leave it and the
// program on it running, and a client without its cookie is turned away.
namespace
{
constexpr int kBarMiddle = 15, kMixerX = 131;

// A server as another user's script starts one: plain Xvfb on the number,
// once it takes connections; -1 when the number is taken or it never came up.
pid_t StartForeignServer(int number)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    std::string display = ":";
    display += std::to_string(number);
    const pid_t pid = fork();
    if (pid == 0)
    {
        dup2(pipeEnds[1], 3);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", "3", "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    close(pipeEnds[1]);
    const bool started = pid > 0 && !ReadDisplayLine(pipeEnds[0]).empty();
    close(pipeEnds[0]);
    if (!started && pid > 0)
        waitpid(pid, nullptr, 0);
    return started ? pid : -1;
}

class VirtualDisplayTrialTest : public cProgramTrial
{
protected:
    VirtualDisplayTrialTest() : cProgramTrial("display-trial", "display-trial") {}
};
} // namespace

TEST_F(VirtualDisplayTrialTest, ForeignServersStartingAndStoppingLeaveTheTrialAlone)
{
    const std::unique_ptr<cProgram> program = StartProgram();
    ASSERT_TRUE(program->Started());
    ASSERT_FALSE(mWindow.empty()) << program->ErrorOutput();
    const int own = std::atoi(mDisplay.Name().c_str() + 1);
    EXPECT_GE(own, 1000) << "far from the numbers desktops take";

    for (int number : {0, 1, own - 1, own + 1})
    {
        const pid_t foreign = StartForeignServer(number);
        if (foreign > 0)
        {
            kill(foreign, SIGTERM);
            waitpid(foreign, nullptr, 0);
        }
    }
    const std::string before = StillShot("probe").Region(0, 0, 1024, 768);
    Click(kMixerX, kBarMiddle);
    EXPECT_TRUE(WaitUntil([&] { return Region(0, 0, 1024, 768) != before; })) << "the program answers on its display";
    EXPECT_NE(std::system(("DISPLAY=" + mDisplay.Name() + " XAUTHORITY=/dev/null timeout 30 xdotool getdisplaygeometry "
                           ">/dev/null 2>&1")
                              .c_str()),
              0)
        << "a client without the cookie is let in";
    Close(*program);
}
