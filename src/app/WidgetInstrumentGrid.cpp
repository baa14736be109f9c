#include "app/WidgetInstrumentGrid.h"

#include <algorithm>
#include <cmath>

#include "app/MainScreenSprites.h"
#include "app/SlotInstrument.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "mixer/MixerChannel.h"
#include "platform/FrameTiming.h"
#include "project/ProjectHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/HouseColours.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"

namespace
{
constexpr int32_t kThreePatchAcross = 0x13;
constexpr int32_t kNinePatch = 0x33;
constexpr float kLevelInsetX = 3.0f;
constexpr float kLevelInsetY = 2.0f;
constexpr float kNumberOffset = -10.0f;
constexpr float kIconOffset = 10.0f;
constexpr float kNameLift = 5.0f;
constexpr float kNameShare = 0.8f;
constexpr float kHighlightGrowth = 3.0f;
constexpr float kMarkInset = 1.0f;
constexpr float kMarkTop = 3.0f;
constexpr float kMarkBottom = 5.0f;
constexpr uint32_t kZoomGrey = 0x00c8c8c8;
constexpr float kZoomAlpha = 120.0f;
constexpr float kZoomPower = 5.0f;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

float CellSpriteHeight() { return Sprite(MainScreenSprite::kGridCell)->height; }

bool IsOccupied(int32_t slot) { return GetSlotInstrument(slot) != nullptr; }

// The loudest output of the instrument's mixer channels, 0..1.
float InstrumentLevel(int32_t slot)
{
    const cInstrument* instrument = GetSlotInstrument(slot);
    if (!instrument)
        return 0.0f;
    float level = 0.0f;
    for (int32_t i = 0; i < instrument->GetChannelCount(); ++i)
        if (const auto* channel = dynamic_cast<const cMixerChannel*>(instrument->GetChannel(i)))
            level = std::max({level, channel->meterLeft, channel->meterRight});
    return ClampTo(level, 0.0f, 1.0f);
}

cRect Lerp(const cRect& from, const cRect& to, float t)
{
    return {from.xMin + (to.xMin - from.xMin) * t, from.yMin + (to.yMin - from.yMin) * t,
            from.xMax + (to.xMax - from.xMax) * t, from.yMax + (to.yMax - from.yMax) * t};
}
} // namespace

cWidgetInstrumentGrid::cWidgetInstrumentGrid()
{
    SetName("InstrumentGrid");
    for (int32_t row = 0; row < 2; ++row)
    {
        mRowImages[row].SetSprites(Sprite(row == 0 ? MainScreenSprite::kGridRow0 : MainScreenSprite::kGridRow1),
                                   nullptr, nullptr);
        mRowImages[row].alignment = kThreePatchAcross;
    }
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        mCells[slot].slot = slot;
        if (slot > 0)
            mCells[slot].number.Printf("%d", slot);
    }
    mNumberFont.Select(GetTextSize(kTextSizeAlert));
    mNameFont.Select(GetTextSize(kTextSizeSmall));
}

cWidgetInstrumentGrid::~cWidgetInstrumentGrid() = default;

void cWidgetInstrumentGrid::SetSelectedSlot(int32_t slot)
{
    mSelectedSlot = slot;
    gSelectedInstrumentSlot.store(slot, std::memory_order_relaxed);
}

void cWidgetInstrumentGrid::OnLayout()
{
    const cRect& rect = GetRect();
    const float cellHeight = CellSpriteHeight();
    mCellWidth = (rect.xMax - rect.xMin) / float(kColumns);
    mRowHeight = (rect.yMax - rect.yMin) / 2.0f;
    mRowPitch = std::round(rect.yMax - rect.yMin - cellHeight);
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
        LayoutCell(mCells[slot], slot / kColumns, slot % kColumns);
    for (int32_t row = 0; row < 2; ++row)
    {
        const cRect& first = mCells[row * kColumns].rect;
        const cRect& last = mCells[row * kColumns + kColumns - 1].rect;
        mRowImages[row].Layout({first.xMin, first.yMin, last.xMax, first.yMax}, {0.0f, 0.0f});
    }
}

void cWidgetInstrumentGrid::LayoutCell(cCell& cell, int32_t row, int32_t column)
{
    const cRect& rect = GetRect();
    const float x = rect.xMin + float(column) * mCellWidth;
    const float y = rect.yMin + float(row) * mRowPitch;
    cell.rect = {x, y, x + mCellWidth + 1.0f, y + CellSpriteHeight()};
    const cAtlasSprite* bar = Sprite(MainScreenSprite::kGridLevelBar);
    cell.levelRect = {x + kLevelInsetX, y + kLevelInsetY, x + kLevelInsetX + bar->width,
                      y + kLevelInsetY + bar->height};
    const cVector2 centre = RectCentre(cell.rect);
    cell.numberPosition = {centre.X + kNumberOffset, centre.Y};
    cell.namePosition = {centre.X, cell.rect.yMin - kNameLift};
    if (cell.icon)
        cell.iconRect = SpriteRectAt(cell.icon, cell.slot == 0 ? centre.X : centre.X + kIconOffset, centre.Y);
}

void cWidgetInstrumentGrid::OnStateChange()
{
    mPressedSlot = mLongPressedSlot = mHoldCell = -1;
    mHoldTime = 0.0f;
    for (cCell& cell : mCells)
    {
        const cInstrument* instrument = GetSlotInstrument(cell.slot);
        const int32_t icon = instrument ? instrument->GetPackage()->GetGridIconSprite() : -1;
        cell.name.AssignCStr(instrument ? instrument->GetName() : "");
        if (instrument)
            mNameFont.TruncateEnd(cell.name, kNameShare * mCellWidth);
        cell.icon = icon >= 0 ? Sprite(icon) : nullptr;
        cell.iconRect = {0.0f, 0.0f, 0.0f, 0.0f};
        if (cell.icon)
        {
            const cVector2 centre = RectCentre(cell.rect);
            cell.iconRect = SpriteRectAt(cell.icon, cell.slot == 0 ? centre.X : centre.X + kIconOffset, centre.Y);
        }
    }
}

// -1 outside the two rows: far above or below the grid, or in the gap
// between the rows' cells.
int32_t cWidgetInstrumentGrid::SlotAt(const cVector2& point)
{
    const cRect& rect = GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    if (width <= 0.0f || height <= 0.0f)
        return -1;
    const float halfRow = mRowHeight * 0.5f;
    if (point.Y < rect.yMin - halfRow || point.Y > rect.yMax + halfRow)
        return -1;
    const float cellHeight = CellSpriteHeight();
    if (point.Y > rect.yMin + cellHeight && point.Y < rect.yMin + mRowPitch)
        return -1;
    const int32_t row = ClampTo(int32_t((point.Y - rect.yMin) / height * 2.0f), 0, 1);
    const int32_t column = ClampTo(int32_t((point.X - rect.xMin) / width * float(kColumns)), 0, kColumns - 1);
    return row * kColumns + column;
}

void cWidgetInstrumentGrid::TakePress(const cVector2& point)
{
    mPressedSlot = SlotAt(point);
    if (mPressedSlot > 0 && IsOccupied(mPressedSlot))
        mLastInstrumentSlot = mPressedSlot;
}

bool cWidgetInstrumentGrid::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this)
    {
        cRect reach = GetRect();
        reach.Grow(kTouchMargin, kTouchMargin, kTouchMargin, kTouchMargin);
        if (type != kTouchDown || !reach.Contains(touch->position))
            return false;
    }
    switch (type)
    {
    case kTouchDown:
        TakePress(touch->position);
        CaptureTouch(touch->id);
        mHoldCell = mPressedSlot;
        mHoldTime = 0.0f;
        break;
    case kTouchMove:
        TakePress(touch->position);
        if (mPressedSlot != mHoldCell)
        {
            mHoldCell = mPressedSlot;
            mHoldTime = 0.0f;
        }
        break;
    case kTouchUp:
        TakePress(touch->position);
        // A long press has already been reported: its release is not a tap.
        if (mPressedSlot != -1 && mLongPressedSlot == -1)
            clickDelegate.Invoke(int32_t(kTap), mPressedSlot);
        mPressedSlot = mLongPressedSlot = -1;
        mHoldTime = 0.0f;
        break;
    default:
        break;
    }
    return true;
}

void cWidgetInstrumentGrid::CancelInput()
{
    mPressedSlot = -1;
    mHoldTime = 0.0f;
    mHoldCell = -1;
}

void cWidgetInstrumentGrid::AdvanceHold()
{
    if (mPressedSlot == -1 || mHoldTime >= kLongPressSeconds)
        return;
    mHoldTime += gFramePeriod;
    // Frame periods summed in floats fall a hair short of the hold.
    if (mHoldTime < kLongPressSeconds - 1e-4f)
        return;
    mHoldTime = kLongPressSeconds;
    mLongPressedSlot = mPressedSlot;
    clickDelegate.Invoke(int32_t(kLongPress), mPressedSlot);
}

bool cWidgetInstrumentGrid::Draw(cDrawList& list)
{
    AdvanceHold();
    for (const cImage& image : mRowImages)
        image.Draw(image.drawRect, list, false);
    const int32_t highlighted =
        mLongPressedSlot != -1 ? mLongPressedSlot : (mPressedSlot != -1 ? mPressedSlot : mSelectedSlot);
    for (const cCell& cell : mCells)
        DrawCell(list, cell, highlighted);
    if (mLastInstrumentSlot >= 1 && mLastInstrumentSlot < kSlotCount)
    {
        const cRect& cell = mCells[mLastInstrumentSlot].rect;
        list.FillRect({cell.xMin + kMarkInset, cell.yMax + kMarkTop, cell.xMax - kMarkInset, cell.yMax + kMarkBottom},
                      HouseColour::kLit);
    }
    if (mHoldTime > 0.0f)
        DrawZoom(list);
    return false;
}

void cWidgetInstrumentGrid::DrawCell(cDrawList& list, const cCell& cell, int32_t highlighted)
{
    if (cell.slot == highlighted)
    {
        cRect glow = cell.rect;
        glow.Grow(kHighlightGrowth, kHighlightGrowth, kHighlightGrowth, kHighlightGrowth);
        list.DrawNinePatch(glow, Sprite(MainScreenSprite::kGridCellHighlight), nullptr, HouseColour::kWhite, true);
    }
    list.DrawNinePatch(cell.rect, Sprite(MainScreenSprite::kGridCell), nullptr, HouseColour::kWhite, true);
    DrawLevel(list, cell);
    if (cell.icon)
        DrawSprite(list, cell.icon, cell.iconRect, HouseColour::kWhite);
    cTextBatch& text = list.GetTextBatch();
    text.DrawTextAligned(cell.numberPosition.X, cell.numberPosition.Y, list.depth, mNumberFont,
                         HouseColour::kLightLabel, kTextAlignCentreX | kTextAlignCentreY, cell.number.CStr());
    text.DrawTextAligned(cell.namePosition.X, cell.namePosition.Y, list.depth, mNameFont, HouseColour::kDarkText,
                         kTextAlignCentreX | kTextAlignBottom, cell.name.CStr());
}

void cWidgetInstrumentGrid::DrawLevel(cDrawList& list, const cCell& cell)
{
    const float level = InstrumentLevel(cell.slot);
    if (level <= 0.0f)
        return;
    const cAtlasSprite* bar = Sprite(MainScreenSprite::kGridLevelBar);
    const cRect& full = cell.levelRect;
    const float top = full.yMax - (full.yMax - full.yMin) * level;
    const float v0 = bar->v1 - (bar->v1 - bar->v0) * level;
    list.DrawQuad({full.xMin, top, full.xMax, full.yMax}, {bar->u0, v0}, {bar->u1, bar->v1}, HouseColour::kWhite, 0);
}

void cWidgetInstrumentGrid::DrawZoom(cDrawList& list)
{
    if (mHoldCell < 0)
        return;
    const float f = mHoldTime * 4.0f / 3.0f;
    const float t = std::pow(f, kZoomPower);
    const uint32_t alpha = uint32_t(ClampTo(f * kZoomAlpha, 0.0f, 255.0f));
    list.FillRect(Lerp(mCells[mHoldCell].rect, mDialogueRect, t), (alpha << 24) | kZoomGrey);
}
