#pragma once

#include <cstdint>

#include "ui/SetupPanel.h"

class cSetupPanelMIDIDevicePage;
class cSetupPanelMIDIMappingPage;
class cWidgetButton;

// The "MIDI" tab: "Inputs" and "Mappings" switch between the device and the
// mapping sub-pages, which share one area, and "PANIC" silences every
// instrument. The buttons do nothing while no project is open. Main thread
// only.
class cSetupPanelMIDI : public cSetupPanel
{
public:
    enum : int32_t
    {
        kInputs = 0,
        kMappings = 1,
        kPanic = 2,
    };

    static constexpr int32_t kPanicIconSprite = 197;

    cSetupPanelMIDI();

    cWidgetButton* GetInputsButton() const { return mInputsButton; }
    cWidgetButton* GetMappingsButton() const { return mMappingsButton; }
    cWidgetButton* GetPanicButton() const { return mPanicButton; }
    cSetupPanelMIDIDevicePage* GetDevicePage() const { return mDevicePage; }
    cSetupPanelMIDIMappingPage* GetMappingPage() const { return mMappingPage; }

protected:
    ~cSetupPanelMIDI() override;

private:
    void BuildLayout();
    void ShowSubPage(bool mappings);
    void OnButton(int32_t lit, cWidgetButton* button);

    cWidgetButton* mInputsButton;
    cWidgetButton* mMappingsButton;
    cWidgetButton* mPanicButton;
    cSetupPanelMIDIDevicePage* mDevicePage;
    cSetupPanelMIDIMappingPage* mMappingPage;
};
