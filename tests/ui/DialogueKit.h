#pragma once

#include <string>
#include <vector>

#include "base/Delegate.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetDialogueDropDown.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// A dialogue whose content asks for a fixed size and which keeps every
// dismissal it is told of.
class cTestDialogue : public cWidgetDialogue
{
public:
    cTestDialogue(int32_t style, float contentWidth, float contentHeight) : cWidgetDialogue(style)
    {
        auto* layout = new cLayoutLinear(0, 1);
        cLayoutValue width, height;
        width.value = contentWidth;
        height.value = contentHeight;
        layout->AddItem(new cLayoutItemSpacer(kPolicyFixed, kPolicyFixed, width, height));
        SetLayout(layout);
    }

    // Records the dismissal and, when asked to, leaves the screen.
    void OnDismiss(int32_t fromCloseButton) override
    {
        dismissals.push_back(fromCloseButton);
        if (closeOnDismiss && IsShown())
            cWidgetManager::GetInstance()->GetRoot()->Pop(this);
    }

    // As a derived dialogue shows itself.
    void Show(int32_t dimMode = 0, int32_t transition = kTransitionNone)
    {
        ResetAnimation();
        ModifyFlags(kWidgetAllDirty, 0, true);
        cWidgetManager::GetInstance()->GetRoot()->Push(this, dimMode, transition);
    }

    std::vector<int32_t> dismissals;
    bool closeOnDismiss = false;
};

// The main UI's container and status bar as a drop-down sees them: panels
// go on the root, and the status bar's handler and mode are kept with their
// stack, so a restore that has nothing to restore shows.
class cRecordingDropDownHost : public cDropDownHost
{
public:
    // The handler is told apart by what it returns; the empty one returns 0.
    struct cStatusState
    {
        cDelegate handler;
        int32_t mode;
        intptr_t HandlerId() const { return handler.Invoke(); }
    };

    void PushPanel(cWidget* panel, int32_t dimMode, int32_t transition) override
    {
        log.push_back("push panel");
        cWidgetManager::GetInstance()->GetRoot()->Push(panel, dimMode, transition);
    }
    void PopPanel(cWidget* panel) override
    {
        log.push_back("pop panel");
        cWidgetManager::GetInstance()->GetRoot()->Pop(panel);
    }
    void PushStatusState(const cDelegate& handler, bool threeExtraButtons) override
    {
        log.push_back("push state");
        stack.push_back(current);
        current = {handler, threeExtraButtons ? 3 : 2};
    }
    void RestoreStatusState() override
    {
        log.push_back("restore state");
        if (stack.empty())
        {
            ++restoresBelowBottom;
            return;
        }
        current = stack.back();
        stack.pop_back();
    }
    void ClearTimedMessage() override { log.push_back("clear message"); }

    cStatusState current = {cDelegate(), 0};
    std::vector<cStatusState> stack;
    int restoresBelowBottom = 0;
    std::vector<std::string> log;
};
