#include "project/ui/WidgetWebViewPopup.h"

#include <cstring>

#include "platform/PlatformServices.h"
#include "platform/WebViewService.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/HouseColours.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr int32_t kDialogueStyle = kDialogueCloseButton | kDialogueDim;
// Left, top from the parent's near edges; right, bottom from its far ones.
constexpr uint32_t kInsetFromParent = 0x5533;
constexpr float kBorderX = 20.0f, kBorderY = 10.0f;
constexpr float kDepth = 0.2f;
// The view lies below the title band, inside a border.
constexpr float kViewSide = 20.0f, kViewTop = 50.0f, kViewBottom = 20.0f;
constexpr int kFrameSprite = 6;

// Only web pages: another form could open a local file or start a program.
bool IsWebAddress(const char* address)
{
    return std::strncmp(address, "https://", 8) == 0 || std::strncmp(address, "http://", 7) == 0;
}
} // namespace

cWidgetWebViewPopup::cWidgetWebViewPopup() : cWidgetDialogue(kDialogueStyle)
{
    SetName("Quilcloud");
    SetAnchors(kInsetFromParent, kBorderX, kBorderY, -kBorderX, -kBorderY);
    ModifyFlags(kWidgetAbsoluteDepth, 0, false);
    SetDepth(kDepth);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
}

cWidgetWebViewPopup::~cWidgetWebViewPopup() = default;

cWebViewService* cWidgetWebViewPopup::Show()
{
    if (!IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
    ResetAnimation();
    mAddress.AssignCStr(gWebViewService ? gWebViewService->GetText() : "");
    UpdateRect();
    if (gWebViewService)
    {
        const cRect& rect = GetRect();
        gWebViewService->SetRect({rect.xMin + kViewSide, rect.yMin + kViewTop, rect.xMax - kViewSide,
                                  rect.yMax - kViewBottom});
    }
    OpenInBrowser();
    return gWebViewService;
}

void cWidgetWebViewPopup::OpenInBrowser()
{
    mNote = "";
    if (!IsWebAddress(mAddress.CStr()))
        return;
    mNote = OpenURLInBrowser(mAddress.CStr()) ? kOpenedText : kNotOpenedText;
}

void cWidgetWebViewPopup::Close()
{
    if (IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}

void cWidgetWebViewPopup::OnDismiss(int32_t)
{
    if (!mDismiss.IsEmpty())
        mDismiss.Invoke(this);
    Close();
}

// The frame around the service's area is drawn where the area stands, not
// where the opening slide would move it.
bool cWidgetWebViewPopup::Draw(cDrawList& list)
{
    DrawBackdrop(list);
    DrawFrame(list);
    UpdateRect();
    if (gWebViewService)
    {
        const cWebViewService::cViewRect& view = gWebViewService->GetRect();
        const cRect area = {view.x0 - 1.0f, view.y0 - 1.0f, view.x1 + 1.0f, view.y1 + 1.0f};
        list.DrawNinePatch(area, &gTex8888AtlasTable[kFrameSprite], nullptr, 0xffffffffu, false);
        if (*mNote)
            list.GetTextBatch().DrawTextInRect(area, titleFont, list.depth, HouseColour::kDarkText,
                                               kTextAlignCentreX | kTextAlignCentreY, mNote);
    }
    EndSlide(list);
    return false;
}
