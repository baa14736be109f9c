#pragma once

#include <string>
#include <vector>

#include "ui/StatusBarHost.h"

// The status bar as pages see it: the title line and the messages.
class cRecordingStatusBar : public cStatusBarHost
{
public:
    void SetTitleText(const char* text) override { title = text; }
    void ShowStatusMessage(const char* text) override { messages.push_back(text); }

    std::string title;
    std::vector<std::string> messages;
};
