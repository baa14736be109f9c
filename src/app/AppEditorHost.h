#pragma once

#include "editors/EditorHost.h"

// The main UI's side of what the sequencer editors ask of the screen: the
// status bar's message and title line, and the shared alert. Without a main
// UI each answer is empty.
class cAppEditorHost : public cEditorHost
{
public:
    void ShowStatusMessage(const char* text, float seconds) override;
    // The bar shows the hint where its title goes while no message is up.
    void SetStatusHint(const char* text) override;
    cWidgetAlert* GetAlert() override;
    cWidgetProgress* GetProgress() override;
    // Until the shared file browser is built, a save takes the proposed
    // name and nothing can be opened.
    bool ChooseMIDIFile(const cFileRequest& request, const cDelegate& completion) override;
    void OpenFolder(const char* nativePath) override;
};
