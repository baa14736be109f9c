#include "editors/SettingsPopup.h"

#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
constexpr float kMargin = 10.0f;
constexpr float kTopGap = 6.0f; // below the title's text size
constexpr float kWidthRoom = 1.8f;
constexpr float kHeightRoom = 1.2f;
} // namespace

cSettingsPopup::cSettingsPopup(cWidget* editor) : cWidgetDialogue(kDialogueCloseButton)
{
    ModifyFlags(kWidgetNoAutoLayout, 0, false);
    AddChild(editor);

    auto* layout = new cLayoutLinear(kAxisX, 1);
    auto* item = new cLayoutItemWidget(editor, kPolicyPref, kPolicyPref);
    item->stretch = {1.0f, 1.0f};
    layout->AddItem(item);
    layout->margins[0].value = kMargin;
    layout->margins[1].value = GetTextSize(0) + kTopGap;
    layout->margins[2].value = kMargin;
    layout->margins[3].value = kMargin;
    SetLayout(layout);
}

cSettingsPopup::~cSettingsPopup() = default;

void cSettingsPopup::Show()
{
    if (IsShown())
        return;
    ResetAnimation();
    ModifyFlags(kWidgetAllDirty, 0, true);
    cWidgetManager::GetInstance()->GetRoot()->Push(this, 0, kTransitionNone);
}

void cSettingsPopup::Hide()
{
    if (!IsShown())
        return;
    CancelInputRecursive(true);
    cWidgetManager::GetInstance()->GetRoot()->Pop(this);
}

void cSettingsPopup::OnLayout()
{
    cWidgetDialogue::OnLayout();
    GetLayout()->SetRect(GetContentRect());
}

void cSettingsPopup::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    cWidget::GetSizePreferences(minimum, preferred);
    const cRect insets = GetFrameInsets();
    const float width = insets.xMin + insets.xMax, height = insets.yMin + insets.yMax;
    *minimum = {minimum->X + width, minimum->Y + height};
    *preferred = {preferred->X * kWidthRoom + width, preferred->Y * kHeightRoom + height};
}

void cSettingsPopup::OnDismiss(int32_t) { Hide(); }
