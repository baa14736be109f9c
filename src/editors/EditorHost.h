#pragma once

class cWidgetAlert;

// What the sequencer editors need of the main UI above them: the status
// bar's message and hint line and the one shared alert. The application
// installs its host at start-up; without one (tests, tools) messages and
// hints go nowhere and no alert is shown.
class cEditorHost
{
public:
    static constexpr float kMessageSeconds = 1.5f;

    virtual ~cEditorHost() = default;

    // The status bar's message, shown for the seconds given.
    virtual void ShowStatusMessage(const char* text, float seconds);
    // The hint line, which the rolls rewrite every frame with their gesture's hint.
    virtual void SetStatusHint(const char* text);
    // The shared alert, or null without a main UI.
    virtual cWidgetAlert* GetAlert();
};

// The installed host, or one that does nothing.
cEditorHost& GetEditorHost();
// Null puts back the one that does nothing. The caller keeps the host alive.
void SetEditorHost(cEditorHost* host);
