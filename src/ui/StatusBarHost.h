#pragma once

// What pages need of the main screen's status bar: the title line it shows
// while no message is up, which a visible page writes every frame, and a
// short message. The main UI implements it and installs it at start-up;
// without one, pages write nothing.
class cStatusBarHost
{
public:
    virtual ~cStatusBarHost() = default;
    virtual void SetTitleText(const char* text) = 0;
    // Shown for a second and a half.
    virtual void ShowStatusMessage(const char* text) = 0;
};

// Null removes the host.
void SetStatusBarHost(cStatusBarHost* host);
cStatusBarHost* GetStatusBarHost();
