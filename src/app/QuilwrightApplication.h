#pragma once

#include "platform/ApplicationBase.h"

class cInstallerPage;
class cMainUI;

// The studio's application object: brings the program up in two stages,
// runs its frames, and tears everything down again in a fixed order.
class cQuilwrightApplication : public cApplicationBase
{
public:
    cQuilwrightApplication(int argumentCount, const char* const* arguments);
    ~cQuilwrightApplication() override;

    static cApplicationBase* Create(int argumentCount, const char* const* arguments);

    // Told the name and the seconds of each step of stage 2 as it ends; the
    // start-up benchmark reports their shares. None by default.
    using tStepObserver = void (*)(const char* step, double seconds);
    static void SetStepObserver(tStepObserver observer);

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
    // Saves what the user would lose: the open project when it changed, and
    // the settings files. Nothing while the installer shows.
    void PerformAutoSave();
    // The orientation handler's callback: the renderer turns to the code's
    // orientation (0 upright, 1 a quarter turn, 2 a half, 3 a quarter back,
    // 4 free) and the widgets get the turned screen.
    void OnOrientationChanged(int32_t code);
    // Offers each argument not beginning with "-" as a document until one opens.
    void OpenCommandLineDocuments();

    // The one overlay long work runs behind.
    bool IsSuspended() const { return mSuspended; }
    bool IsInstallerShowing() const { return mInstaller != nullptr; }
    bool HasStartedCore() const { return mCoreStarted; }
    float GetFrameDelta() const { return mFrameDelta; }

protected:
    // The installer page, or null when the program has none.
    virtual cInstallerPage* CreateInstallerPage();

private:
    template <class F>
    void Step(const char* name, F&& step);
    void CreateOrientationHandler();
    void DecideInstaller();
    bool StartCoreOnceInstalled();
    void ReleaseInstaller();
    void ClearSuspendedOnceAudioRuns();
    static void ShowStatusNotices(cMainUI* ui);

    double mClock = 0.0;
    cInstallerPage* mInstaller = nullptr;
    float mFrameDelta = 0.0f;
    bool mSuspended = false;
    bool mCoreStarted = false;
};
