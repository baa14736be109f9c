#pragma once

#include <cstdint>

#include "base/GenString.h"

class cOsWindow;

// The application the platform layer drives: what the window and the frame
// loop need before anything else exists, the command line split into
// arguments, and the lifecycle operations the platform calls on the main
// thread. The platform never looks at the boolean results.
class cApplicationBase
{
public:
    // Splits the command-line text in place: blanks, tabs and line breaks
    // separate arguments, single or double quotes group them.
    explicit cApplicationBase(const char* commandLine);
    // Takes an argument vector as it stands (without the program's path), so
    // quotes inside file names survive.
    cApplicationBase(int argumentCount, const char* const* arguments);
    virtual ~cApplicationBase();

    cApplicationBase(const cApplicationBase&) = delete;
    cApplicationBase& operator=(const cApplicationBase&) = delete;

    virtual void HandleWindowCreated(cOsWindow* window);
    virtual bool Initialise();
    virtual bool Shutdown();
    virtual bool Update();
    virtual bool Render();
    // Sizing is true while the user drags the frame; the operation may change
    // the proposed client size.
    virtual void HandleResize(bool sizing, int32_t& width, int32_t& height);
    virtual bool HandleLowMemory();
    virtual bool HandleDeactivate();
    virtual bool HandleActivate();
    virtual bool HandleTerminate();
    virtual bool HandleEnterBackground();
    virtual bool HandleEnterForeground();
    virtual bool OpenDocument(const char* path);

    // Device class from the arguments ("-phone", "-tablet", else desktop; the
    // last one wins), then the display metrics of that class.
    void InitDeviceClass();
    // Index of the first argument equal to the text ignoring case, or -1.
    int FindArgument(const char* text) const;

    const cGenString& GetName() const { return mName; }
    const cGenString& GetVersion() const { return mVersion; }
    const cGenString& GetTitle() const { return mTitle; }
    int32_t GetWindowWidth() const { return mWindowWidth; }
    int32_t GetWindowHeight() const { return mWindowHeight; }
    bool IsResizable() const { return (mResizable & 1) != 0; }
    float GetFramesPerSecond() const { return mFramesPerSecond; }
    int GetArgumentCount() const { return mArgumentCount; }
    const char* GetArgument(int index) const { return mArguments[index]; }

protected:
    cGenStringFixed<64> mName;
    cGenStringFixed<64> mVersion;
    cGenStringFixed<64> mTitle;
    int32_t mWindowWidth = 200;
    int32_t mWindowHeight = 200;
    int32_t mResizable = 0;
    float mFramesPerSecond = 60.0f;

private:
    void SplitCommandLine();
    int CountArguments();
    void RecordArguments();

    int mCommandLineLength = 0;
    char* mCommandLine = nullptr;
    int mArgumentCount = 0;
    char** mArguments = nullptr;
};
