#include "ui/WidgetDialogueDropDown.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/WidgetDialogue.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// Colour-atlas entries of the drop-down frame.
enum eDropDownSprite : int
{
    kFrameDrawn = 233,
    kFrameInner = 234,
    kFrameSize = 235,
};

constexpr int32_t kStretchBoth = 0x33;
// Left from the parent's centre, top from its top, width and height absolute.
constexpr uint32_t kHangFromTopCentre = 0x1134;

cDropDownHost* gDropDownHost = nullptr;

cRect Inset(const cRect& rect, const cRect& insets)
{
    return {rect.xMin + insets.xMin, rect.yMin + insets.yMin, rect.xMax - insets.xMax, rect.yMax - insets.yMax};
}
} // namespace

void cWidgetDialogueDropDown::SetHost(cDropDownHost* host) { gDropDownHost = host; }

cDropDownHost* cWidgetDialogueDropDown::GetHost() { return gDropDownHost; }

cWidgetDialogueDropDown::cWidgetDialogueDropDown()
{
    frameImage.SetSprites(&gTex8888AtlasTable[kFrameSize], &gTex8888AtlasTable[kFrameDrawn],
                          &gTex8888AtlasTable[kFrameInner]);
    frameImage.alignment = kStretchBoth;
    ModifyFlags(kWidgetAbsoluteDepth, 0, false);
    SetDepth(kDepthOffset);
}

cWidgetDialogueDropDown::~cWidgetDialogueDropDown() = default;

void cWidgetDialogueDropDown::Open(const cDelegate& statusBarHandler)
{
    if (IsOpen() || !gDropDownHost)
        return;
    mOpenFlags = kOpen;
    gDropDownHost->PushPanel(this, kDimBeneath, kTransitionDown);
    gDropDownHost->PushStatusState(statusBarHandler, (mOpenFlags & kThreeExtraButtons) != 0);
}

// Only the close of an open panel restores a status state: the state stack
// holds exactly one entry per open panel.
void cWidgetDialogueDropDown::Close()
{
    if (!IsOpen() || !gDropDownHost)
        return;
    mOpenFlags = 0;
    gDropDownHost->RestoreStatusState();
    gDropDownHost->PopPanel(this);
    gDropDownHost->ClearTimedMessage();
}

cRect cWidgetDialogueDropDown::GetInsets() const { return SpriteInsets(frameImage.sprite, frameImage.innerSprite); }

void cWidgetDialogueDropDown::FitToContent(const cVector2* contentSize, cRect* contentRect)
{
    const cRect insets = GetInsets();
    const float width = contentSize->X + insets.xMin + insets.xMax;
    const float height = contentSize->Y + insets.yMin + insets.yMax;
    SetAnchors(kHangFromTopCentre, -width / 2.0f, 0.0f, width, height);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    ModifyChildFlags(kWidgetRectAndLayoutDirty, 0);
    UpdateRect();
    *contentRect = Inset(GetRect(), insets);
}

void cWidgetDialogueDropDown::OnLayout()
{
    UpdateRect();
    frameImage.Layout(GetRect(), {0.0f, 0.0f});
    mContentRect = Inset(frameImage.layoutRect, GetInsets());
}

bool cWidgetDialogueDropDown::Draw(cDrawList& list)
{
    list.FlushAll();
    frameImage.Draw(frameImage.drawRect, list, false);
    return false;
}
