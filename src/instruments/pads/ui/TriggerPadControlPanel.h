#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "ui/Widget.h"

class cTriggerPadPage;
class cTriggerPadUI;
class cWidgetButton;

// The pad editor's tabbed frame: HOME, EDIT, AUTOBEAT and OUTPUTS choose the
// page shown (the instrument remembers it as its main page), and a switch
// below puts the pad grid into mute mode. It writes the main screen's
// title for the page shown. The tablet and desktop show no AUTOBEAT tab:
// their home page holds the auto-beat panel. Main thread only.
class cTriggerPadControlPanel : public cWidget
{
public:
    enum ePage : int32_t
    {
        kPageHome = 0,
        kPageEdit = 1,
        kPageAutoBeat = 2,
        kPageOutput = 3,
        kPageCount = 4,
    };
    static constexpr float kTabStripHeight = 54.0f;
    static constexpr float kSwitchStripHeight = 55.0f;
    static constexpr float kSideInset = 4.0f;

    explicit cTriggerPadControlPanel(cTriggerPadUI* owner);

    void OnTabButton(int32_t value, cWidgetButton* button);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetButton* GetMuteButton() const { return mMuteButton; }
    cWidgetButton* GetTabButton(int32_t page) const { return mTabs[page]; }
    cTriggerPadPage* GetPage(int32_t page) const { return mPages[page]; }
    // The page the instrument shows; home while there is none.
    int32_t GetShownPage() const;
    const char* GetTitle() const { return mTitle.CStr(); }
    // Where the pages go: between the tabs and the mute switch.
    cRect GetContentRect();

protected:
    ~cTriggerPadControlPanel() override;

private:
    void UpdateTitle();

    cWidgetButton* mMuteButton = nullptr;
    cWidgetButton* mTabs[kPageCount] = {};
    cTriggerPadPage* mPages[kPageCount] = {};
    cTriggerPadUI* mOwner;
    cGenStringFixed<128> mTitle;
};
