#include <gtest/gtest.h>

#include "ProgramProcess.h"

#include <csignal>
#include <string>
#include <vector>

namespace
{
void ExpectCleanExitOnSignal(int signal, const char* deviceArgument)
{
    cProgram program(deviceArgument, {"SDL_VIDEODRIVER=offscreen"});
    ASSERT_TRUE(program.Started()) << "bin/quilwright did not start";
    ASSERT_TRUE(program.WaitUntilStarted(60.0)) << "start-up did not finish: " << program.ErrorOutput();
    // The frame loop keeps running.
    ASSERT_FALSE(program.WaitForExit(1.0)) << "ended early: " << program.ErrorOutput();
    program.Signal(signal);
    ASSERT_TRUE(program.WaitForExit(5.0)) << "still running 5 s after the signal";
    EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
}

TEST(ProgramLifecycleTest, ClosesWithStatusZeroOnSigterm) { ExpectCleanExitOnSignal(SIGTERM, "-desktop"); }

TEST(ProgramLifecycleTest, ClosesWithStatusZeroOnSigint) { ExpectCleanExitOnSignal(SIGINT, "-phone"); }

// The MIDI devices are scanned at start-up and every 2 s after; a machine
// without a sequencer device is normal and not worth a word.
TEST(ProgramLifecycleTest, RunsThroughMIDIRescansQuietly)
{
    cProgram program("-desktop", {"SDL_VIDEODRIVER=offscreen"});
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.WaitUntilStarted(60.0)) << program.ErrorOutput();
    ASSERT_FALSE(program.WaitForExit(6.5)) << "ended early: " << program.ErrorOutput();
    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitForExit(5.0)) << "still running 5 s after the signal";
    EXPECT_EQ(program.ExitStatus(), 0) << program.ErrorOutput();
    EXPECT_EQ(program.ErrorOutput().find("ALSA"), std::string::npos) << program.ErrorOutput();
}

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
        ASSERT_TRUE(program.WaitForExit(60.0)) << c.message;
        EXPECT_EQ(program.ExitStatus(), c.status) << c.message;
        EXPECT_NE(program.ErrorOutput().find(c.message), std::string::npos) << program.ErrorOutput();
    }
}
} // namespace
