#pragma once

#include "render/Image.h"
#include "ui/SetupPanel.h"

class cWidgetButton;

// A page about the desktop companion tool that moves files to and from the
// program over the network: on the desktop it explains that the files
// already lie on the computer's disk. Its "Enable" button is always
// disabled; the status and the first light show the network address, which
// this platform never has. No screen makes it. Main thread only.
class cSetupPanelDockline : public cSetupPanel
{
public:
    static constexpr uint32_t kTextColour = 0xff1e1e1eu;
    static constexpr int32_t kEnableIconSprite = 221;
    static constexpr int32_t kPictureSprite = 351;
    static constexpr int32_t kPictureInnerSprite = 350;

    cSetupPanelDockline();

    bool Draw(cDrawList& list) override;

    cWidgetButton* GetEnableButton() const { return mEnableButton; }
    const cImage& GetPicture() const { return mPicture; }

protected:
    ~cSetupPanelDockline() override;

private:
    void PlaceEnableButton(const cRect& rect);
    void DrawStatus(cDrawList& list, const char* address);
    void DrawLights(cDrawList& list, bool connected);

    cWidgetButton* mEnableButton;
    cImage mPicture;
};
