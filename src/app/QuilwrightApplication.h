#pragma once

#include "platform/ApplicationBase.h"

// The studio's application object: brings the program up in two stages,
// runs its frames, and tears everything down again in a fixed order.
class cQuilwrightApplication : public cApplicationBase
{
public:
    cQuilwrightApplication(int argumentCount, const char* const* arguments);
    ~cQuilwrightApplication() override;

    static cApplicationBase* Create(int argumentCount, const char* const* arguments);

    void HandleWindowCreated(cOsWindow* window) override;
    // Start-up stage 1; stage 2 follows at once or once the installer is done.
    bool Initialise() override;
    bool Shutdown() override;
    bool Update() override;
    bool Render() override;
    void HandleResize(bool sizing, int32_t& width, int32_t& height) override;
    bool HandleLowMemory() override;
    bool HandleDeactivate() override;
    bool HandleActivate() override;
    bool HandleTerminate() override;
    bool HandleEnterBackground() override;
    bool HandleEnterForeground() override;
    bool OpenDocument(const char* path) override;

    // Start-up stage 2: runs once per run.
    bool StartCore();
    // Offers each argument not beginning with "-" as a document until one opens.
    void OpenCommandLineDocuments();

    bool IsSuspended() const { return mSuspended; }
    bool HasStartedCore() const { return mCoreStarted; }
    float GetFrameDelta() const { return mFrameDelta; }

private:
    void ClearSuspendedOnceAudioRuns();

    double mClock = 0.0;
    float mFrameDelta = 0.0f;
    bool mSuspended = false;
    bool mCoreStarted = false;
};
