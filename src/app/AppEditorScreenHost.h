#pragma once

#include "editors/EditorScreenHost.h"

// The main UI's side of what the sequencer editors ask of the screen: the
// status bar's message and title line, and the shared alert. Without a main
// UI each answer is empty.
class cAppEditorScreenHost : public cEditorScreenHost
{
public:
    void ShowStatusMessage(const char* text) override;
    // The bar shows the hint where its title goes while no message is up.
    void SetHintText(const char* text) override;
    cWidgetAlert* GetAlert() override;
};
