#pragma once

class cDelegate;
class cWidgetAlert;
class cWidgetProgress;

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
    // The progress overlay background jobs run behind, or null.
    virtual cWidgetProgress* GetProgress();

    // A question for a file in "Doc": the browser's title and button, the
    // folder it starts in and, for a save, the name it proposes.
    struct cFileRequest
    {
        const char* title = "";
        const char* button = "";
        const char* folder = "";
        const char* fileName = ""; // a path in "Doc"; empty when opening
        bool save = false;
    };
    // What the user chose: the path in "Doc" and the path as shown.
    struct cFileChoice
    {
        const char* path = "";
        const char* shownPath = "";
    };
    // Opens the shared file browser for MIDI files; the completion is called
    // once as (1 and the choice, or 0 and null). False, calling nothing, when
    // no browser can open.
    virtual bool ChooseMIDIFile(const cFileRequest& request, const cDelegate& completion);
    // Shows a native folder in the file manager.
    virtual void OpenFolder(const char* nativePath);
};

// The installed host, or one that does nothing.
cEditorHost& GetEditorHost();
// Null puts back the one that does nothing. The caller keeps the host alive.
void SetEditorHost(cEditorHost* host);
