#pragma once

#include <cstdint>

#include "mixer/MixingDeskEditor.h"
#include "ui/Widget.h"

class cMixingDeskPanelCheek;
class cMixingDeskPanelMixer;
class cWidgetNavButtonUpDown;

// The mixing desk's page: the mixer panel between two cheeks, the left one
// with the paging button, the right one with the view button. It shows the
// desk instrument last selected, and binds again whenever the mixer's
// channels change. Keys Up and Down switch between faders and the insert
// chain, Left and Right page. Main thread only, except ResetSelection and
// ShowInstrument, which take the frame lock.
class cMixingDeskUI : public cWidget, public cMixingDeskEditor
{
public:
    enum eKey : int32_t
    {
        kKeyUp = 283,
        kKeyDown = 284,
        kKeyLeft = 285,
        kKeyRight = 286,
    };

    cMixingDeskUI();
    static cMixingDeskEditor* Create();

    cWidget* GetPage() override { return this; }
    void ReleaseEditor() override { Release(); }
    void ShowInstrument(cMixingDeskInstrument* instrument) override;
    cMixingDeskInstrument* GetShownInstrument() const override { return mInstrument; }
    void ResetSelection() override;

    intptr_t OnPageButton(bool forward, cWidgetNavButtonUpDown* button);
    intptr_t OnPageButtonHeld(bool forward, cWidgetNavButtonUpDown* button);
    intptr_t OnViewButton(bool up, cWidgetNavButtonUpDown* button);
    intptr_t OnViewButtonHeld(bool up, cWidgetNavButtonUpDown* button);
    // The buttons' arrows follow what a step could do.
    void RefreshButtons();

    cMixingDeskPanelMixer* GetPanel() const { return mPanel; }
    cMixingDeskPanelCheek* GetLeftCheek() const { return mLeftCheek; }
    cMixingDeskPanelCheek* GetRightCheek() const { return mRightCheek; }
    cWidgetNavButtonUpDown* GetPageButton() const { return mPageButton; }
    cWidgetNavButtonUpDown* GetViewButton() const { return mViewButton; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;

protected:
    ~cMixingDeskUI() override;

private:
    void RebindIfChanged();
    void UpdateCheekMeter();

    cMixingDeskPanelMixer* mPanel;
    cMixingDeskInstrument* mInstrument = nullptr;
    cMixingDeskPanelCheek* mLeftCheek;
    cMixingDeskPanelCheek* mRightCheek;
    cWidgetNavButtonUpDown* mPageButton;
    cWidgetNavButtonUpDown* mViewButton;
    int32_t mLastSelection = INT32_MAX;
    uint32_t mListVersion = 0;
};

// Start-up, before the mixing desk's package is made: the package builds
// its page through this library.
void InstallMixingDeskEditorFactory();
