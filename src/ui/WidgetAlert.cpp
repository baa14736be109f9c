#include "ui/WidgetAlert.h"

#include <cstring>

#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/HouseColours.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
enum eAlertSprite : int
{
    kButtonHeightSprite = 12,
    kButtonWidthSprite = 18,
    kNoIcon = 197,
    kOKIcon = 222,
};

constexpr const char* kDefaultLabels[kAlertButtonCount] = {"No", "Cancel", "", "OK"};
constexpr uint32_t kButtonStyle = 0x11;
// Left from the parent's centre, top from its top, width and height absolute.
constexpr uint32_t kCentredNearTheTop = 0x1134;
// Every edge from the parent's far edges.
constexpr uint32_t kFromFarEdges = 0x5555;
constexpr int32_t kDimAtOnceMode = 2;
constexpr int32_t kDimFadingMode = 1;
constexpr float kEdgeMargin = 10.0f;
constexpr float kTextMargin = 20.0f;
constexpr float kTextTop = 50.0f;
constexpr float kSecondLineSpacing = 1.6f;
// A single line sits lower, nearer the middle of the two-line block.
constexpr float kSingleLineDrop = 4.5f;
constexpr float kIconTextGap = 6.0f;
constexpr int32_t kCentred = 17;

struct cAlertBox
{
    float left, top, width, height, gap;
};

cAlertBox BoxOfDeviceClass()
{
    if (gDisplayMetrics.deviceClass == kDeviceClassTablet)
        return {-305.0f, 80.0f, 610.0f, 220.0f, 20.0f};
    return {-215.0f, 40.0f, 430.0f, 180.0f, 10.0f};
}

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

void SetIconImages(cWidgetButton* button, const cAtlasSprite* icon)
{
    button->icon.SetSprites(icon, icon, nullptr);
    button->litIcon.SetSprites(icon, icon, nullptr);
}
} // namespace

cWidgetAlert::cWidgetAlert() : cWidgetDialogue(kDialogueDim)
{
    textFont.Select(GetTextSize(kTextSizeAlert));
    for (int32_t i = 0; i < kAlertButtonCount; ++i)
    {
        mButtons[i] = CreateButton(kDefaultLabels[i], kButtonPush, kButtonStyle);
        mButtons[i]->SetTag(i);
        mButtons[i]->clickDelegate = cDelegate(this, &cWidgetAlert::OnButton);
        AddChild(mButtons[i]);
    }
}

cWidgetAlert::~cWidgetAlert()
{
    for (cWidgetButton* button : mButtons)
        button->Release();
}

void cWidgetAlert::Reset(int32_t style)
{
    mStyle = style | kDialogueDim;
    SetName("");
    firstLine.AssignCStr("");
    secondLine.AssignCStr("");
    for (int32_t i = 0; i < kAlertButtonCount; ++i)
    {
        mButtons[i]->SetName("");
        mButtonIcons[i] = nullptr;
    }
}

void cWidgetAlert::SetButton(int32_t index, const char* label)
{
    if (index < 0 || index >= kAlertButtonCount)
        return;
    mButtons[index]->SetName(label);
}

float cWidgetAlert::GetLineWidth() { return BoxOfDeviceClass().width - kTextMargin; }

void cWidgetAlert::SetText(const char* text)
{
    SplitAlertText(text, textFont.GetTextWidth(text) <= GetLineWidth(), firstLine, secondLine);
}

void SplitAlertText(const char* text, bool fitsOnALine, cGenString& first, cGenString& second)
{
    first.AssignCStr(text);
    second.AssignCStr("");
    const char* split = std::strstr(text, ": ");
    if (!split || fitsOnALine)
        return;
    first.AssignChars(text, int32_t(split - text) + 1);
    second.AssignCStr(split + 2);
}

void cWidgetAlert::Show(const cDelegate& resultDelegate)
{
    const cAlertBox box = BoxOfDeviceClass();
    SetAnchors(kCentredNearTheTop, box.left, box.top, box.width, box.height);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    ModifyChildFlags(kWidgetRectAndLayoutDirty, 0);
    mResultDelegate = resultDelegate;
    const bool shown = IsShown();
    if (!shown)
        ResetAnimation();
    UpdateRect();
    const float textWidth = GetRect().xMax - GetRect().xMin - kTextMargin;
    textFont.TruncateEnd(firstLine, textWidth);
    textFont.TruncateEnd(secondLine, textWidth);
    if (mStyle & kAlertIconOnNo)
        mButtonIcons[kAlertNo] = Sprite(kNoIcon);
    if (mStyle & kAlertIconOnOK)
        mButtonIcons[kAlertOK] = Sprite(kOKIcon);
    PlaceButtons(box.gap);
    // A second push would leave a layer behind that the next tap cannot pop.
    if (shown)
        return;
    cWidgetManager::GetInstance()->GetRoot()->Push(this, (mStyle & kDialogueFadedIn) ? kDimAtOnceMode : kDimFadingMode,
                                                   kTransitionZoom);
}

// Right to left from the bottom right corner; a button without a label
// takes no place.
void cWidgetAlert::PlaceButtons(float gap)
{
    static constexpr int32_t kOrder[kAlertButtonCount] = {kAlertOK, kAlertOther, kAlertCancel, kAlertNo};
    static constexpr int32_t kCancelFirst[kAlertButtonCount] = {kAlertCancel, kAlertOther, kAlertOK, kAlertNo};
    const int32_t* order = (mStyle & kAlertCancelRightmost) ? kCancelFirst : kOrder;
    float right = -kEdgeMargin;
    for (int i = 0; i < kAlertButtonCount; ++i)
    {
        cWidgetButton* button = mButtons[order[i]];
        if (*button->GetName() == '\0')
        {
            HideButton(button);
            continue;
        }
        ShowButton(button, mButtonIcons[order[i]], right);
        right -= gap + Sprite(kButtonWidthSprite)->width;
    }
}

void cWidgetAlert::ShowButton(cWidgetButton* button, const cAtlasSprite* icon, float right)
{
    if (!button->IsVisible())
    {
        button->ModifyFlags(kWidgetVisible | kWidgetStateDirty | kWidgetNotYetDrawn, 0, false);
        button->ModifyChildFlags(kWidgetStateDirty | kWidgetNotYetDrawn, 0);
    }
    const float width = Sprite(kButtonWidthSprite)->width, height = Sprite(kButtonHeightSprite)->height;
    button->SetAnchors(kFromFarEdges, right - width, -kEdgeMargin - height, right, -kEdgeMargin);
    button->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    button->ModifyChildFlags(kWidgetRectAndLayoutDirty, 0);
    SetIconImages(button, icon);
    if (icon)
    {
        button->SetIconTextGap(kIconTextGap);
        return;
    }
    button->labelStyle.offsetX = 0.0f;
    button->labelStyle.offsetY = 0.0f;
    button->labelStyle.alignment = kCentred;
}

void cWidgetAlert::HideButton(cWidgetButton* button)
{
    if (!button->IsVisible())
        return;
    button->CancelInput();
    button->CancelInputRecursive(true);
    cWidgetManager::GetInstance()->ReleaseCapture(button);
    button->ModifyFlags(0, kWidgetVisible | kWidgetNotYetDrawn, false);
}

void cWidgetAlert::Hide()
{
    if (IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}

// The alert leaves before the delegate runs, so the delegate may show it again.
intptr_t cWidgetAlert::OnButton(intptr_t, cWidgetButton* button)
{
    const int32_t index = button->GetTag();
    Hide();
    mResultDelegate.Invoke(index, this);
    return 0;
}

bool cWidgetAlert::Draw(cDrawList& list)
{
    DrawFrame(list);
    UpdateRect();
    const cRect& rect = GetRect();
    const float centre = (rect.xMin + rect.xMax) / 2.0f;
    const float y = rect.yMin + kTextTop;
    list.fontHandle = textFont;
    cTextBatch& text = list.GetTextBatch();
    const uint32_t colour = HouseColour::kDarkCaption;
    auto drawCentred = [&](const cGenString& line, float top)
    {
        if (!line.IsEmpty())
            text.DrawText(centre - textFont.GetTextWidth(line.CStr()) / 2.0f, top, list.depth, textFont, colour,
                          line.CStr());
    };
    if (!secondLine.IsEmpty())
    {
        drawCentred(firstLine, y);
        drawCentred(secondLine, y + kSecondLineSpacing * FontSizeOf(textFont));
    }
    else
    {
        drawCentred(firstLine, y + kSingleLineDrop);
    }
    return false;
}
