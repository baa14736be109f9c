#include "ui/WidgetTabbedProperties.h"

#include <algorithm>

#include "platform/DisplayMetrics.h"
#include "render/AtlasSprite.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetTabView.h"

cWidgetTabbedProperties::cWidgetTabbedProperties(int32_t pageCount)
    : cWidgetDialogue(kDialogueCloseButton), mTabView(new cWidgetSystemTabView(pageCount, true))
{
    AddChild(mTabView);
    SetVisible(false);
}

cWidgetTabbedProperties::~cWidgetTabbedProperties() { mTabView->Release(); }

void cWidgetTabbedProperties::AddTab(int32_t index, const char* title, cWidget* page)
{
    cWidgetButton* tab = CreateTabButton(false);
    mTabView->AddPage(index, title, page, tab);
    tab->Release();
    page->Release();
}

void cWidgetTabbedProperties::Show(int32_t tab)
{
    if (tab >= 0)
        mTabView->SelectPage(tab, false);
    ModifyFlags(kWidgetStateDirty, 0, false);
    if (!IsVisible())
        SetVisible(true);
}

void cWidgetTabbedProperties::Close()
{
    resultDelegate.Invoke(mTabView->GetSelectedPage(), this);
    SetVisible(false);
}

void cWidgetTabbedProperties::OnDismiss(int32_t) { Close(); }

void cWidgetTabbedProperties::OnLayout()
{
    cWidgetDialogue::OnLayout();
    const cRect& content = GetContentRect();
    mTabView->SetAnchors(kAnchorsAbsoluteRect, content.xMin, content.yMin, content.xMax - content.xMin,
                         content.yMax - content.yMin);
}

void cWidgetTabbedProperties::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    float tabHeight = 0.0f;
    for (int32_t i = 0; i < mTabView->GetPageCount() && tabHeight == 0.0f; ++i)
        if (const cWidgetButton* tab = mTabView->GetTab(i); tab && tab->background.sprite)
            tabHeight = tab->background.sprite->height;
    const cRect insets = GetFrameInsets();
    const float width = gDisplayMetrics.deviceClass == kDeviceClassTablet ? kTabletMaximumWidth : kMaximumWidth;
    *minimum = {0.0f, 0.0f};
    *preferred = {width, insets.yMin + insets.yMax + std::max(tabHeight - 1.0f, 0.0f) * float(mTabView->GetPageCount())};
}
