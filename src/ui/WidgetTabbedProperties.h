#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "ui/WidgetDialogue.h"

class cWidgetSystemTabView;

// The framed dialogue of tool panels that group several pages under tabs
// stacked down its left side: a close button, and a tab view filling the
// content. Derived dialogues fill the pages; whoever opens it learns the page
// shown when it closes. It lives here, beside the tab view, because the
// sequencer editors' panels derive from it. Main thread only.
class cWidgetTabbedProperties : public cWidgetDialogue
{
public:
    static constexpr float kMaximumWidth = 460.0f;
    static constexpr float kTabletMaximumWidth = 640.0f;

    // The tab view has that many pages; the dialogue starts hidden.
    explicit cWidgetTabbedProperties(int32_t pageCount);

    // Selects the tab when it is 0 or more, then shows the dialogue, whose
    // state is read again at the next frame. Derived dialogues load their
    // data first, then call this.
    virtual void Show(int32_t tab);
    // Tells the result delegate the page shown now, then hides the dialogue.
    virtual void Close();

    void OnLayout() override;
    // As wide as the device class allows, as high as every tab one above the
    // other (neighbours share a border pixel) inside the frame.
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;
    // The close button, or a touch outside an attached dialogue.
    void OnDismiss(int32_t fromCloseButton) override;

    cWidgetSystemTabView* GetTabView() const { return mTabView; }

    // (page index, dialogue), when the dialogue closes.
    cDelegate resultDelegate;

protected:
    ~cWidgetTabbedProperties() override;
    // A page under a tab of the house style; the view takes the caller's
    // reference to the page.
    void AddTab(int32_t index, const char* title, cWidget* page);

private:
    cWidgetSystemTabView* mTabView;
};
