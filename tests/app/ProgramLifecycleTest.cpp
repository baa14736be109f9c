#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{
// The built program, started headless with the given video driver settings.
// No display is passed on, so an error box can never wait for a click.
class cProgram
{
public:
    cProgram(const char* deviceArgument, std::vector<std::string> environment)
    {
        const char* tmp = std::getenv("QUIL_TEST_TMP");
        const std::string folder = tmp ? tmp : "test-tmp";
        mkdir(folder.c_str(), 0755);
        mErrorPath = folder + "/lifecycle-" + std::to_string(getpid()) + ".err";

        environment.push_back("SDL_AUDIODRIVER=dummy");
        // The user's own data folder stays untouched.
        environment.push_back("XDG_DATA_HOME=" + folder + "/lifecycle-data");
        if (const char* home = std::getenv("HOME"))
            environment.push_back(std::string("HOME=") + home);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);

        char program[] = "bin/quilwright";
        char* argv[] = {program, const_cast<char*>(deviceArgument), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, mErrorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&mPid, program, &actions, nullptr, argv, envp.data()) != 0)
            mPid = -1;
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
            if (waitpid(mPid, &mStatus, WNOHANG) == mPid)
                return mExited = true;
            usleep(20000);
        }
        return false;
    }

    int ExitStatus() const { return WIFEXITED(mStatus) ? WEXITSTATUS(mStatus) : -1; }

    std::string ErrorOutput() const
    {
        std::ifstream file(mErrorPath);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

private:
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

void ExpectCleanExitOnSignal(int signal, const char* deviceArgument)
{
    cProgram program(deviceArgument, {"SDL_VIDEODRIVER=offscreen"});
    ASSERT_TRUE(program.Started()) << "bin/quilwright did not start";
    // Still running after a second: the window and its frame loop are up.
    ASSERT_FALSE(program.WaitForExit(1.0)) << "ended early: " << program.ErrorOutput();
    program.Signal(signal);
    ASSERT_TRUE(program.WaitForExit(5.0)) << "still running 5 s after the signal";
    EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
}

TEST(ProgramLifecycleTest, ClosesWithStatusZeroOnSigterm) { ExpectCleanExitOnSignal(SIGTERM, "-desktop"); }

TEST(ProgramLifecycleTest, ClosesWithStatusZeroOnSigint) { ExpectCleanExitOnSignal(SIGINT, "-phone"); }

TEST(ProgramLifecycleTest, FailsWithAReasonWhenItCannotDraw)
{
    struct cCase
    {
        std::vector<std::string> environment;
        int status;
        const char* message;
    };
    const cCase cases[] = {
        {{"SDL_VIDEODRIVER=no-such-driver"}, 1, "Couldn't create the window"},
        {{"SDL_VIDEODRIVER=offscreen", "SDL_VIDEO_EGL_DRIVER=/no/such/libEGL.so"}, 2,
         "Couldn't create OpenGL context"},
    };
    for (const cCase& c : cases)
    {
        cProgram program("-desktop", c.environment);
        ASSERT_TRUE(program.Started());
        ASSERT_TRUE(program.WaitForExit(5.0)) << c.message;
        EXPECT_EQ(program.ExitStatus(), c.status) << c.message;
        EXPECT_NE(program.ErrorOutput().find(c.message), std::string::npos) << program.ErrorOutput();
    }
}
} // namespace
