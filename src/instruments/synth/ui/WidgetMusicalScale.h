#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "ui/WidgetList.h"

// The list from which the on-screen keyboards' scale is chosen: one row per
// scale of the scale table, the current one highlighted. A tap reports the
// row's scale index once through the selected delegate.
class cWidgetMusicalScale : public cWidget, public cWidgetList::cListener
{
public:
    static constexpr int32_t kScaleCount = 30;
    static constexpr float kRowHeight = 40.0f;

    class cScaleListDataSource : public cWidgetList::cDataSource
    {
    public:
        struct cScaleItem : cWidgetList::cItem
        {
            int32_t scale = 0;
        };

        cScaleListDataSource();
        cWidgetList::cItem* GetLastChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
        cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
        void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;

        cScaleItem items[kScaleCount];
    };

    cWidgetMusicalScale();

    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;

    cWidgetList* GetList() const { return mList; }
    const cScaleListDataSource& GetDataSource() const { return mDataSource; }

    cDelegate selectedDelegate; // (scale index, chooser)

protected:
    ~cWidgetMusicalScale() override;

private:
    cScaleListDataSource mDataSource;
    int32_t mCurrentScale = 0;
    cWidgetList* mList = nullptr;
};
