#pragma once

// What the browser-side benchmarks stand in for above their dialogues.

#include "support/QuietBrowserHost.h"
#include "ui/WidgetDialogueDropDown.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// Panels go on the root, as the main window takes them.
class cBenchDropDowns : public cDropDownHost
{
public:
    void PushPanel(cWidget* panel, int32_t dimMode, int32_t transition) override
    {
        cWidgetManager::GetInstance()->GetRoot()->Push(panel, dimMode, transition);
    }
    void PopPanel(cWidget* panel) override { cWidgetManager::GetInstance()->GetRoot()->Pop(panel); }
    void PushStatusState(const cDelegate&, bool) override {}
    void RestoreStatusState() override {}
    void ClearTimedMessage() override {}
};
