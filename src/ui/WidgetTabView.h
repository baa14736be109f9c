#pragma once

#include <cstdint>
#include <vector>

#include "base/Delegate.h"
#include "render/Image.h"
#include "ui/Widget.h"

class cWidgetButton;

// Shows one of several pages with a tab button per page, in a column at
// the left or a row at the top, and reports each selection to its
// page-changed delegate as (page index, tab view). The view holds one
// reference to every page and tab it was given. Main thread only.
class cWidgetTabView : public cWidget
{
public:
    cWidgetTabView(int32_t pageCount, bool tabColumn);

    // Index 0..pageCount - 1; others change nothing. The page starts hidden.
    void AddPage(int32_t index, const char* name, cWidget* page, cWidgetButton* tab);
    // Shows the page and lights its tab, hides and darkens the others, then
    // reports. Without force, the page already selected changes nothing.
    void SelectPage(int32_t index, bool force);
    void OnTabClicked(int32_t value, cWidgetButton* tab);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    // The pages' largest sizes beside (or under) the first tab's.
    void GetSizePreferences(cVector2* minimumSize, cVector2* preferredSize) override;

    int32_t GetSelectedPage() const { return mSelectedPage; }
    int32_t GetPageCount() const { return int32_t(mPages.size()); }
    cWidget* GetPage(int32_t index) const;
    cWidgetButton* GetTab(int32_t index) const;
    bool HasTabColumn() const { return mTabColumn; }

    cDelegate pageChanged;
    cImage background;
    float tabSpacing = 0.0f;
    // The column's tab width, or the row's largest tab width.
    float tabSize = 3.4028235e38f;

protected:
    ~cWidgetTabView() override;

private:
    bool IsIndex(int32_t index) const { return index >= 0 && index < int32_t(mPages.size()); }
    cWidgetButton* FirstTab() const;
    int32_t CountTabs() const;
    void LayOutColumn(const cRect& rect, cWidgetButton* first);
    void LayOutRow(const cRect& rect);

    std::vector<cWidget*> mPages;
    std::vector<cWidgetButton*> mTabs;
    int32_t mSelectedPage = 0;
    bool mTabColumn;
};

// The skinned tab view of the setup pages and the tabbed dialogues:
// neighbouring tabs share a border pixel, and the strip behind them is the
// house's tab strip.
class cWidgetSystemTabView : public cWidgetTabView
{
public:
    // The tab column is 120 wide on the phone class, 80 on the others; a
    // tab is at most 160 wide in a row.
    static constexpr float kPhoneColumnWidth = 120.0f;
    static constexpr float kColumnWidth = 80.0f;
    static constexpr float kRowTabWidth = 160.0f;

    cWidgetSystemTabView(int32_t pageCount, bool tabColumn);

protected:
    ~cWidgetSystemTabView() override;
};
