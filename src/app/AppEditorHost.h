#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "editors/EditorHost.h"

class cWidgetFileBrowser;

// The main UI's side of what the sequencer editors ask of the screen: the
// status bar's message and title line, the shared alert, overlay and file
// browser, and the file manager. Without a main UI each answer is empty.
class cAppEditorHost : public cEditorHost
{
public:
    void ShowStatusMessage(const char* text, float seconds) override;
    // The bar shows the hint where its title goes while no message is up.
    void SetStatusHint(const char* text) override;
    cWidgetAlert* GetAlert() override;
    cWidgetProgress* GetProgress() override;
    // The shared browser rooted at "User", listing MIDI files.
    bool ChooseMIDIFile(const cFileRequest& request, const cDelegate& completion) override;
    void OpenFolder(const char* nativePath) override;

private:
    intptr_t OnMIDIFileChosen(int32_t result, cWidgetFileBrowser* browser);

    cDelegate mMIDIFileCompletion;
};
