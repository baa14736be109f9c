#pragma once

#include <cstdint>

#include "ui/Widget.h"

class cLayoutLinear;
class cTriggerPadPanelAutoBeat;
class cTriggerPadPanelBank;
class cTriggerPadPanelEdit;
class cTriggerPadPanelOutput;
class cTriggerPadPanelPadSelect;
class cTriggerPadUI;
class cWidgetButton;

// One page of the control panel: a thin container that arranges its panels
// for the device class and, when entered, resets the way of playing: the
// edit and output pages (and the phone's home page) switch note repeat off
// and put the velocity back to 100.
class cTriggerPadPage : public cWidget
{
public:
    explicit cTriggerPadPage(cTriggerPadUI* owner);

    // Whether the control panel shows its mute switch under this page.
    virtual bool ShowsMuteButton() const { return true; }

protected:
    ~cTriggerPadPage() override;

    // Note repeat off, velocity 100.
    void ResetPlaying();

    cTriggerPadUI* mOwner;
};

// The bank panel; on the tablet and desktop the auto-beat panel below it.
class cTriggerPadPageHome : public cTriggerPadPage
{
public:
    explicit cTriggerPadPageHome(cTriggerPadUI* owner);

    void OnStateChange() override;

    cTriggerPadPanelBank* GetBankPanel() const { return mBank; }
    cTriggerPadPanelAutoBeat* GetAutoBeatPanel() const { return mAutoBeat; }

protected:
    ~cTriggerPadPageHome() override;

private:
    cTriggerPadPanelBank* mBank = nullptr;
    cTriggerPadPanelAutoBeat* mAutoBeat = nullptr;
};

// The edit panel on the tablet and desktop, the pad chooser on the phone.
class cTriggerPadPageEdit : public cTriggerPadPage
{
public:
    explicit cTriggerPadPageEdit(cTriggerPadUI* owner);

    void OnStateChange() override;

    void SelectPad(int32_t pad);
    // The edit panel's pad; -1 without one.
    int32_t GetPad() const;
    cTriggerPadPanelEdit* GetEditPanel() const { return mEdit; }
    cTriggerPadPanelPadSelect* GetPadChooser() const { return mChooser; }

protected:
    ~cTriggerPadPageEdit() override;

private:
    cTriggerPadPanelEdit* mEdit = nullptr;
    cTriggerPadPanelPadSelect* mChooser = nullptr;
};

class cTriggerPadPageAutoBeat : public cTriggerPadPage
{
public:
    explicit cTriggerPadPageAutoBeat(cTriggerPadUI* owner);

    cTriggerPadPanelAutoBeat* GetAutoBeatPanel() const { return mAutoBeat; }

protected:
    ~cTriggerPadPageAutoBeat() override;

private:
    cTriggerPadPanelAutoBeat* mAutoBeat = nullptr;
};

// The three output buses: stacked when the page is tall enough, else one
// at a time with bus buttons "1" to "3" where the mute switch stands.
class cTriggerPadPageOutput : public cTriggerPadPage
{
public:
    static constexpr int32_t kBusCount = 3;
    // The page stacks its buses above this many short panels' height.
    static constexpr float kStackedHeights = 4.8f;

    explicit cTriggerPadPageOutput(cTriggerPadUI* owner);

    bool ShowsMuteButton() const override { return mStacked; }
    void SelectBus(int32_t bus);
    void OnBusButton(int32_t value, cWidgetButton* button);

    void OnLayout() override;
    void OnStateChange() override;

    bool IsStacked() const { return mStacked; }
    int32_t GetSelectedBus() const { return mSelectedBus; }
    cTriggerPadPanelOutput* GetOutputPanel(int32_t bus) const { return mPanels[bus]; }
    cWidgetButton* GetBusButton(int32_t bus) const { return mBusButtons[bus]; }

protected:
    ~cTriggerPadPageOutput() override;

private:
    void ShowBusPanels();

    cTriggerPadPanelOutput* mPanels[kBusCount] = {};
    cWidgetButton* mBusButtons[kBusCount] = {};
    int32_t mSelectedBus = 0;
    bool mStacked = true;
    cLayoutLinear* mStackedLayout = nullptr;
    cLayoutLinear* mSingleLayout = nullptr;
    cLayoutLinear* mBusRow = nullptr;
};
