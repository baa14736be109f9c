#pragma once

class cWidgetAlert;

// What the sequencer editors need of the main screen, which the application
// builds above them and installs here at start-up: the status line's short
// messages and its hint, which the rolls rewrite every frame, and the alert
// every page shares. Without a host (tests of the models) nothing is shown
// and no question can be asked. Main thread only.
class cEditorScreenHost
{
public:
    virtual ~cEditorScreenHost() = default;
    // A result, shown for 1.5 seconds.
    virtual void ShowStatusMessage(const char* text) = 0;
    // The current gesture's hint.
    virtual void SetHintText(const char* text) = 0;
    // Null while the screen has none.
    virtual cWidgetAlert* GetAlert() = 0;
};

void SetEditorScreenHost(cEditorScreenHost* host);
cEditorScreenHost* GetEditorScreenHost();
// Each does nothing without a host.
void ShowEditorStatusMessage(const char* text);
void SetEditorHintText(const char* text);
cWidgetAlert* GetEditorAlert();
