#pragma once

class cApplicationBase;

// Makes the application object from the program's arguments (without the
// program's path).
using tApplicationFactory = cApplicationBase* (*)(int argumentCount, const char* const* arguments);

// The renderer lives in a library above this one; the program hands in how
// to make it once the OpenGL context is current and how to delete it.
struct cRendererHooks
{
    // Creates the global renderer; false when it is not ready to draw.
    bool (*create)();
    void (*destroy)();
    // Around each frame's rendering (either may be null): the end says
    // whether there is a new frame to present; an unchanged frame is not,
    // unless mustPresent (the window's content was lost).
    void (*beginFrame)();
    bool (*endFrame)(bool mustPresent);
};

// Exit statuses of the program.
enum ePlatformExit
{
    kExitNormal = 0,
    kExitNoWindow = 1,
    kExitNoGLContext = 2,
    kExitNoRenderer = 3,
};

// The program's life: creates the application and its window, runs the
// paced frame loop until the window is closed (or SIGINT / SIGTERM), and
// shuts down in order. Returns the exit status.
int PlatformMain(int argc, char** argv, tApplicationFactory createApplication, const cRendererHooks& renderer);
