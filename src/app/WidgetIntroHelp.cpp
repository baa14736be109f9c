#include "app/WidgetIntroHelp.h"

#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/HouseColours.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr float kFirstLineRise = 20.0f;
constexpr float kLineSpacing = 16.0f;
// The screen keeps this gap to the shade on either side.
constexpr float kScreenGap = 1.0f;
} // namespace

cWidgetIntroHelp::cWidgetIntroHelp(cWidget* screen) : cWidgetDialogue(kDialogueCloseButton)
{
    SetAnchor(screen, kAttachBelow);
    ModifyFlags(kWidgetAbsoluteDepth, 0, false);
    SetDepth(1.0f);
    mTextFont.Select(GetTextSize(kTextSizeStandard));
}

cWidgetIntroHelp::~cWidgetIntroHelp() = default;

void cWidgetIntroHelp::Show(const cDelegate& closeDelegate)
{
    mCloseDelegate = closeDelegate;
    if (IsShown())
        return;
    ResetAnimation();
    ModifyFlags(kWidgetAllDirty, 0, true);
    cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
}

void cWidgetIntroHelp::Close()
{
    if (IsShown())
        cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}

void cWidgetIntroHelp::OnDismiss(int32_t)
{
    Close();
    mCloseDelegate.Invoke(this);
}

void cWidgetIntroHelp::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    *minimum = *preferred = {kWidth, kHeight};
}

// Below the bar across its width, and the bar on either side of the screen.
void cWidgetIntroHelp::PlaceShades()
{
    cWidget* screen = GetAnchor();
    cWidget* bar = screen ? screen->GetParent() : nullptr;
    if (!bar)
    {
        for (cRect& shade : mShades)
            shade = {0.0f, 0.0f, 0.0f, 0.0f};
        return;
    }
    const cRect& b = bar->GetRect();
    const cRect& s = screen->GetRect();
    const float displayBottom = cWidgetManager::GetInstance()->GetScreenRect().yMax;
    mShades[0] = {b.xMin, b.yMax, b.xMax, displayBottom};
    mShades[1] = {b.xMin, b.yMin, s.xMin - kScreenGap, b.yMax};
    mShades[2] = {s.xMax + kScreenGap, b.yMin, b.xMax, b.yMax};
}

bool cWidgetIntroHelp::Draw(cDrawList& list)
{
    PlaceShades();
    for (const cRect& shade : mShades)
        if (shade.xMax > shade.xMin && shade.yMax > shade.yMin)
            list.FillRect(shade, kShadeColour);
    cWidgetDialogue::Draw(list);
    const cRect& content = GetContentRect();
    const float cx = (content.xMin + content.xMax) * 0.5f;
    const float first = (content.yMin + content.yMax) * 0.5f - kFirstLineRise;
    cTextBatch& text = list.GetTextBatch();
    const uint32_t align = kTextAlignCentreX | kTextAlignCentreY;
    text.DrawTextAligned(cx, first, list.depth, mTextFont, HouseColour::kDarkCaption, align, kFirstLine);
    text.DrawTextAligned(cx, first + kLineSpacing, list.depth, mTextFont, HouseColour::kDarkCaption, align,
                         kSecondLine);
    return false;
}
