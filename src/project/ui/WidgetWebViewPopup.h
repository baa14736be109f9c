#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/WidgetDialogue.h"

class cWebViewService;

// The modal frame a web page would show in: it reserves the area below its
// title band and hands it, with the service's address, to the web-view
// service. This program draws no web view, so a show hands a web address to
// the desktop browser instead and says so in the frame. The share page binds
// the dismiss delegate before it shows the popup. Main thread only.
class cWidgetWebViewPopup : public cWidgetDialogue
{
public:
    static constexpr int32_t kAddressCapacity = 260;
    static constexpr const char* kOpenedText = "The page opened in your web browser.";
    static constexpr const char* kNotOpenedText = "Couldn't open your web browser.";

    cWidgetWebViewPopup();

    // Pushes the popup when it is not shown, restarts its opening, takes the
    // service's address and sets the service's rectangle; an "https://" or
    // "http://" address goes to the desktop browser once per show. Returns
    // the service (null without one).
    cWebViewService* Show();
    void Close();

    void SetDismissDelegate(const cDelegate& dismiss) { mDismiss = dismiss; }
    void ClearDismissDelegate() { mDismiss.Clear(); }

    bool Draw(cDrawList& list) override;
    void OnDismiss(int32_t fromCloseButton) override;

    const char* GetAddress() const { return mAddress.CStr(); }
    // Empty until a show handed an address to the browser or failed to.
    const char* GetNoteText() const { return mNote; }

protected:
    ~cWidgetWebViewPopup() override;

private:
    void OpenInBrowser();

    cDelegate mDismiss;
    cGenStringFixed<kAddressCapacity> mAddress;
    const char* mNote = "";
};
