#include "ui/WidgetTabView.h"

#include <algorithm>

#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/ControlHelpers.h"
#include "ui/WidgetButton.h"

namespace
{
constexpr int32_t kColumnBackgroundAlignment = 0x33;
constexpr int32_t kRowBackgroundAlignment = 0x13;
// Left and top from the view's top-left, width and height as sizes.
constexpr uint32_t kTabAnchors = 0x1133;
// A column keeps its tabs at the top while more than this is left over.
constexpr float kColumnSlack = 6.0f;
constexpr float kSystemTabSpacing = -1.0f;
// The colour atlas's tab strips behind a row and a column of tabs.
constexpr int kHorizontalTabStrip = 445;
constexpr int kVerticalTabStrip = 423;

float SpriteHeight(const cImage& image) { return image.sprite ? image.sprite->height : 0.0f; }

// A slot filled again lets its old widget go from the view.
template <class T>
void Replace(cWidget* view, T*& slot, T* widget)
{
    if (slot == widget)
        return;
    if (widget)
        widget->AddRef();
    if (slot)
    {
        view->RemoveChild(slot);
        slot->Release();
    }
    slot = widget;
}
} // namespace

cWidgetTabView::cWidgetTabView(int32_t pageCount, bool tabColumn)
    : mPages(size_t(std::max(pageCount, 0)), nullptr), mTabs(size_t(std::max(pageCount, 0)), nullptr),
      mTabColumn(tabColumn)
{
    background.alignment = tabColumn ? kColumnBackgroundAlignment : kRowBackgroundAlignment;
}

cWidgetTabView::~cWidgetTabView()
{
    for (cWidget* page : mPages)
        if (page)
            page->Release();
    for (cWidgetButton* tab : mTabs)
        if (tab)
            tab->Release();
}

cWidget* cWidgetTabView::GetPage(int32_t index) const { return IsIndex(index) ? mPages[size_t(index)] : nullptr; }

cWidgetButton* cWidgetTabView::GetTab(int32_t index) const { return IsIndex(index) ? mTabs[size_t(index)] : nullptr; }

void cWidgetTabView::AddPage(int32_t index, const char* name, cWidget* page, cWidgetButton* tab)
{
    if (!IsIndex(index))
        return;
    if (tab)
    {
        tab->SetName(name);
        tab->SetTag(index);
        tab->clickDelegate = cDelegate(this, &cWidgetTabView::OnTabClicked);
    }
    Replace(this, mTabs[size_t(index)], tab);
    if (tab)
        AddChild(tab);
    if (page)
    {
        page->SetVisible(false);
        page->SetName(name);
    }
    Replace(this, mPages[size_t(index)], page);
    if (page)
        AddChild(page);
}

void cWidgetTabView::SelectPage(int32_t index, bool force)
{
    if (!IsIndex(index) || (!force && index == mSelectedPage))
        return;
    mSelectedPage = index;
    // A tab whose page is yet to come still shows that it is chosen.
    for (size_t i = 0; i < mPages.size(); ++i)
    {
        const bool selected = int32_t(i) == index;
        if (mPages[i])
            mPages[i]->SetVisible(selected);
        if (mTabs[i])
            mTabs[i]->value = selected ? 1 : 0;
    }
    pageChanged.Invoke(index, this);
}

void cWidgetTabView::OnTabClicked(int32_t, cWidgetButton* tab) { SelectPage(tab->GetTag(), false); }

cWidgetButton* cWidgetTabView::FirstTab() const
{
    for (cWidgetButton* tab : mTabs)
        if (tab)
            return tab;
    return nullptr;
}

int32_t cWidgetTabView::CountTabs() const
{
    return int32_t(std::count_if(mTabs.begin(), mTabs.end(), [](const cWidgetButton* tab) { return tab != nullptr; }));
}

void cWidgetTabView::OnLayout()
{
    cWidgetButton* first = FirstTab();
    const bool hasPage = std::any_of(mPages.begin(), mPages.end(), [](const cWidget* page) { return page != nullptr; });
    if (!first || !hasPage)
        return;
    const cRect& rect = GetRect();
    if (mTabColumn)
        LayOutColumn(rect, first);
    else
        LayOutRow(rect);
}

// Tabs stack from the top while they fit with room to spare; otherwise the
// stack is centred, reaching past both ends alike.
void cWidgetTabView::LayOutColumn(const cRect& rect, cWidgetButton* first)
{
    const float tabHeight = SpriteHeight(first->background);
    const float count = float(CountTabs());
    const float height = rect.yMax - rect.yMin;
    const bool room = height - (tabSpacing + tabHeight) * count > kColumnSlack;
    const float firstTop = room ? 0.0f : RoundAway((height - count * tabHeight) * 0.5f);
    float top = firstTop;
    for (cWidgetButton* tab : mTabs)
    {
        if (!tab)
            continue;
        tab->SetAnchors(kTabAnchors, 0.0f, top, tabSize, tabHeight);
        top += tabSpacing + tabHeight;
    }
    for (cWidget* page : mPages)
        if (page)
            page->SetAnchors(kAnchorsFillParent, tabSize, 0.0f, 0.0f, 0.0f);
    const cRect strip = room ? cRect{rect.xMin, rect.yMin, rect.xMin + tabSize, rect.yMax}
                             : cRect{rect.xMin, rect.yMin + firstTop, rect.xMin + tabSize,
                                     rect.yMin + firstTop + tabHeight};
    background.Layout(strip, {0.0f, 0.0f});
}

void cWidgetTabView::LayOutRow(const cRect& rect)
{
    const float tabWidth = std::min(tabSize, RoundAway((rect.xMax - rect.xMin) / float(CountTabs())));
    float rowHeight = SpriteHeight(background);
    float left = 0.0f;
    for (cWidgetButton* tab : mTabs)
    {
        if (!tab)
            continue;
        const float height = SpriteHeight(tab->background);
        tab->SetAnchors(kTabAnchors, left, 0.0f, tabWidth, height);
        left += tabSpacing + tabWidth;
        rowHeight = std::max(rowHeight, height);
    }
    for (cWidget* page : mPages)
        if (page)
            page->SetAnchors(kAnchorsFillParent, 0.0f, rowHeight, 0.0f, 0.0f);
    background.Layout({rect.xMin, rect.yMin, rect.xMax, rect.yMin + SpriteHeight(background)}, {0.0f, 0.0f});
}

bool cWidgetTabView::Draw(cDrawList& list)
{
    background.Draw(background.drawRect, list, false);
    return false;
}

void cWidgetTabView::GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize)
{
    cVector2 pagesMinimum = {0.0f, 0.0f}, pagesPreferred = {0.0f, 0.0f};
    for (cWidget* page : mPages)
    {
        if (!page)
            continue;
        cVector2 minimum, preferred;
        page->GetSizePreferences(&minimum, &preferred);
        pagesMinimum = {std::max(pagesMinimum.X, minimum.X), std::max(pagesMinimum.Y, minimum.Y)};
        pagesPreferred = {std::max(pagesPreferred.X, preferred.X), std::max(pagesPreferred.Y, preferred.Y)};
    }
    cVector2 tabMinimum = {0.0f, 0.0f}, tabPreferred = {0.0f, 0.0f};
    if (cWidgetButton* first = FirstTab())
        first->GetSizePreferences(&tabMinimum, &tabPreferred);
    if (mTabColumn)
        *minimumSize = {tabMinimum.X + pagesMinimum.X, pagesMinimum.Y};
    else
        *minimumSize = {pagesMinimum.X, tabMinimum.Y + pagesMinimum.Y};
    *preferredSize = {tabPreferred.X + pagesPreferred.X, pagesPreferred.Y};
}

cWidgetSystemTabView::cWidgetSystemTabView(int32_t pageCount, bool tabColumn) : cWidgetTabView(pageCount, tabColumn)
{
    tabSpacing = kSystemTabSpacing;
    int sprite = kHorizontalTabStrip;
    tabSize = kRowTabWidth;
    if (tabColumn)
    {
        sprite = kVerticalTabStrip;
        tabSize = gDisplayMetrics.deviceClass == kDeviceClassPhone ? kPhoneColumnWidth : kColumnWidth;
    }
    const cAtlasSprite* strip = &gTex8888AtlasTable[sprite];
    background.SetSprites(strip, strip, nullptr);
    ModifyFlags(kWidgetLayoutDirty, 0, false);
}

cWidgetSystemTabView::~cWidgetSystemTabView() = default;
