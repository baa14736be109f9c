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
    bool Initialise() override;
    bool Shutdown() override;
    bool Update() override;
    bool Render() override;
    void HandleResize(bool sizing, int32_t& width, int32_t& height) override;
    bool HandleActivate() override;
    bool HandleTerminate() override;

    // Start-up stage 2: runs once, at once or when the installer is done.
    bool StartCore();
    // Creates the audio manager and starts its thread on the output device.
    void StartAudio();
    // Hands MIDI input to the audio manager and makes the first device scan.
    void StartMIDI();
    // Offers each argument not beginning with "-" as a document until one opens.
    void OpenCommandLineDocuments();

    bool IsSuspended() const { return mSuspended; }
    float GetFrameDelta() const { return mFrameDelta; }

private:
    double mClock = 0.0;
    float mFrameDelta = 0.0f;
    bool mSuspended = false;
};
