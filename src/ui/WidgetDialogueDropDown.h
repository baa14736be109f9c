#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "render/Image.h"
#include "ui/Widget.h"

// What a drop-down panel needs of the main UI: its modal container and its
// status bar. The main UI implements it and installs it at start-up.
class cDropDownHost
{
public:
    virtual ~cDropDownHost() = default;
    virtual void PushPanel(cWidget* panel, int32_t dimMode, int32_t transition) = 0;
    virtual void PopPanel(cWidget* panel) = 0;
    // Saves the status bar's handler and mode, then shows its dialogue
    // buttons reporting to the handler.
    virtual void PushStatusState(const cDelegate& handler, bool threeExtraButtons) = 0;
    // Puts back the state the last push saved.
    virtual void RestoreStatusState() = 0;
    virtual void ClearTimedMessage() = 0;
};

// The base of the panels that drop from the top of the screen: it sizes
// itself around its content, and while it is open the status bar shows its
// dialogue buttons and reports their taps to the panel's handler. Opens and
// closes pair: a second Open or Close changes nothing. Main thread only.
class cWidgetDialogueDropDown : public cWidget
{
public:
    static constexpr float kDepthOffset = 0.2f;
    static constexpr int32_t kOpen = 5;
    // Would ask the status bar for its three extra buttons; never set.
    static constexpr int32_t kThreeExtraButtons = 0x8;

    cWidgetDialogueDropDown();

    static void SetHost(cDropDownHost* host);
    static cDropDownHost* GetHost();

    // Nothing happens without a host or while open.
    void Open(const cDelegate& statusBarHandler);
    // Nothing happens unless open.
    void Close();
    bool IsOpen() const { return mOpenFlags != 0; }

    // Left, top, right, bottom of the frame around the content.
    cRect GetInsets() const;
    const cRect& GetContentRect() const { return mContentRect; }

    // Hangs the panel centred from its parent's top, sized for content of
    // that size; out: the content rect. A layout of the panel calls it too.
    void FitToContent(const cVector2* contentSize, cRect* contentRect) override;
    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    cImage frameImage;

protected:
    ~cWidgetDialogueDropDown() override;

private:
    cRect mContentRect = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t mOpenFlags = 0;
};
