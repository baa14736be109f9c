#include "instruments/synth/ui/WidgetMusicalScale.h"

#include "audio/ScaleTable.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "render/DrawList.h"
#include "render/Font.h"
#include "render/TextBatch.h"
#include "ui/WidgetFactories.h"

namespace
{
constexpr float kNameSize = 10.0f;
constexpr float kNameInset = 10.0f;
} // namespace

cWidgetMusicalScale::cScaleListDataSource::cScaleListDataSource() : cDataSource(0)
{
    for (int32_t index = 0; index < kScaleCount; ++index)
        items[index].scale = index;
}

cWidgetList::cItem* cWidgetMusicalScale::cScaleListDataSource::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : &items[0];
}

cWidgetList::cItem* cWidgetMusicalScale::cScaleListDataSource::GetLastChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : &items[kScaleCount - 1];
}

cWidgetList::cItem* cWidgetMusicalScale::cScaleListDataSource::GetNext(cWidgetList::cItem* item)
{
    const auto* scaleItem = static_cast<cScaleItem*>(item);
    return scaleItem->scale + 1 < kScaleCount ? &items[scaleItem->scale + 1] : nullptr;
}

void cWidgetMusicalScale::cScaleListDataSource::DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row)
{
    if (item->flags & cWidgetList::kItemSelected)
    {
        const cAtlasSprite* highlight = SynthSprite(kSynthListHighlight);
        list.DrawQuad(row, {highlight->u0, highlight->v0}, {highlight->u1, highlight->v1}, SynthColour::kWhite, 0);
    }
    const cScaleTable* table = cScaleTable::GetInstance();
    const cScale* scale = table ? table->GetScale(static_cast<cScaleItem*>(item)->scale) : nullptr;
    if (!scale || !*scale->GetName())
        return;
    cFontHandle font;
    font.Select(kNameSize);
    const float lineHeight = font.sizeEntry ? font.sizeEntry->size : kNameSize;
    list.GetTextBatch().DrawText(row.xMin + kNameInset, 0.5f * (row.yMin + row.yMax) - 0.5f * lineHeight, list.depth,
                                 font, SynthColour::kWhite, scale->GetName());
}

cWidgetMusicalScale::cWidgetMusicalScale()
{
    for (cScaleListDataSource::cScaleItem& item : mDataSource.items)
        item.flags = item.scale == mCurrentScale ? uint32_t(cWidgetList::kItemSelected) : 0u;
    mList = CreateList("");
    mList->SetRowHeight(kRowHeight, 1);
    mList->SetDataSource(&mDataSource);
    mList->SetListener(this);
    AddChild(mList);
    mList->MarkForReload();
}

cWidgetMusicalScale::~cWidgetMusicalScale()
{
    mList->SetDataSource(nullptr);
    mList->SetListener(nullptr);
    mList->Release();
}

void cWidgetMusicalScale::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    mCurrentScale = static_cast<cScaleListDataSource::cScaleItem*>(item)->scale;
    selectedDelegate.Invoke(mCurrentScale, static_cast<cWidget*>(this));
}
