#pragma once

#include <cstdint>

#include "ui/SetupPanel.h"

namespace Base
{
struct cEnumTable;
}
class cLayoutItemSpacer;
class cWidgetAlert;
class cWidgetButton;
class cWidgetSpinButton;

// The "Settings" tab: the application-wide settings, applied at once to
// what uses them (the widget manager's knobs, the audio manager's queue) and
// written to the settings file only at its save points. Six controls show in
// two columns; lock orientation, audio quality, background audio and the
// CPU boost are built but hidden on the desktop. Main thread only.
class cSetupPanelGlobal : public cSetupPanel
{
public:
    // The switches, by tag.
    enum : int32_t
    {
        kLockOrientation = 0,
        kStopSamples = 1,
        kStartOnProjectPage = 2,
        kBackgroundAudio = 3,
        kDynamicCPUBoost = 4,
        kSwitchCount = 5,
    };

    static constexpr uint32_t kDividerColour = 0xffba8400u;

    cSetupPanelGlobal();

    // Shows the stored values, every time the page is shown.
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetSpinButton* GetKeyWidth() const { return mKeyWidth; }
    cWidgetSpinButton* GetKnobControl() const { return mKnobControl; }
    cWidgetSpinButton* GetSensitivity() const { return mSensitivity; }
    cWidgetSpinButton* GetBufferLatency() const { return mBufferLatency; }
    cWidgetSpinButton* GetAudioQuality() const { return mAudioQuality; }
    cWidgetButton* GetSwitch(int32_t tag) const { return mSwitches[tag]; }
    cWidgetAlert* GetBackgroundAudioAlert() const { return mBackgroundAudioAlert; }
    // The gap between the columns, whose middle the divider marks.
    cRect GetDividerGapRect() const;

protected:
    ~cSetupPanelGlobal() override;

private:
    cWidgetSpinButton* AddSpin(const char* label, int32_t maximum);
    cWidgetButton* AddSwitch(const char* label, int32_t tag);
    void BuildLayout();
    void BuildAlert();
    void ShowSettingValue(cWidgetSpinButton* spin, const Base::cEnumTable& names, int32_t value);
    void OnSpinChanged(int32_t value, cWidgetSpinButton* spin);
    void OnToggle(int32_t lit, cWidgetButton* button);
    static int32_t* SwitchSetting(int32_t tag);

    cWidgetButton* mSwitches[kSwitchCount] = {};
    cWidgetSpinButton* mKeyWidth = nullptr;
    cWidgetSpinButton* mKnobControl = nullptr;
    cWidgetSpinButton* mSensitivity = nullptr;
    cWidgetSpinButton* mBufferLatency = nullptr;
    cWidgetSpinButton* mAudioQuality = nullptr;
    cWidgetAlert* mBackgroundAudioAlert = nullptr;
    cLayoutItemSpacer* mDivider = nullptr;
};
