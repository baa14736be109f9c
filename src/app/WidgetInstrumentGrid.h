#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "render/FontHandle.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;

// The 2 x 8 cells of the main menu, one per instrument slot (slot 0 the
// mixing desk): each shows its number and, when occupied, its instrument's
// icon, name and output level. A tap reports (kind 0, slot) to the click
// delegate; holding a cell for 0.75 s reports (kind 1, slot) once, while a
// ghost grows from the cell towards where the properties dialogue will
// appear. The grid keeps the selected slot, which an omni MIDI port plays,
// and the last instrument slot above 0 that was pressed or selected, marked
// by a bar under its cell. Main thread only.
class cWidgetInstrumentGrid : public cWidget
{
public:
    static constexpr int32_t kSlotCount = 16;
    static constexpr int32_t kColumns = 8;
    static constexpr float kLongPressSeconds = 0.75f;
    static constexpr float kTouchMargin = 12.0f;

    enum : int32_t
    {
        kTap = 0,
        kLongPress = 1,
    };

    struct cCell
    {
        int32_t slot = 0;
        cGenStringFixed<4> number;
        cGenStringFixed<32> name;
        cVector2 numberPosition = {0.0f, 0.0f};
        cVector2 namePosition = {0.0f, 0.0f};
        cRect rect = {0.0f, 0.0f, 0.0f, 0.0f};
        cRect levelRect = {0.0f, 0.0f, 0.0f, 0.0f};
        const cAtlasSprite* icon = nullptr;
        cRect iconRect = {0.0f, 0.0f, 0.0f, 0.0f};
    };

    cWidgetInstrumentGrid();

    // -1 for none; an omni MIDI port plays the selected slot.
    void SetSelectedSlot(int32_t slot);
    int32_t GetSelectedSlot() const { return mSelectedSlot; }
    // 0 for none.
    void SetLastInstrumentSlot(int32_t slot) { mLastInstrumentSlot = slot; }
    int32_t GetLastInstrumentSlot() const { return mLastInstrumentSlot; }
    int32_t GetPressedSlot() const { return mPressedSlot; }
    int32_t GetLongPressedSlot() const { return mLongPressedSlot; }
    float GetHoldTime() const { return mHoldTime; }
    const cCell& GetCell(int32_t slot) const { return mCells[slot]; }
    float GetRowPitch() const { return mRowPitch; }
    // Where the properties dialogue appears: the ghost grows towards it.
    void SetDialogueRect(const cRect& rect) { mDialogueRect = rect; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

    // Called as (kind, slot).
    cDelegate clickDelegate;

protected:
    ~cWidgetInstrumentGrid() override;

private:
    int32_t SlotAt(const cVector2& point);
    void TakePress(const cVector2& point);
    void AdvanceHold();
    void DrawCell(cDrawList& list, const cCell& cell, int32_t highlighted);
    void DrawLevel(cDrawList& list, const cCell& cell);
    void DrawZoom(cDrawList& list);
    void LayoutCell(cCell& cell, int32_t row, int32_t column);

    cImage mRowImages[2];
    cFontHandle mNumberFont;
    cFontHandle mNameFont;
    cRect mDialogueRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mCellWidth = 0.0f;
    float mRowHeight = 0.0f;
    float mRowPitch = 0.0f;
    float mHoldTime = 0.0f;
    int32_t mHoldCell = -1;
    int32_t mSelectedSlot = -1;
    int32_t mPressedSlot = -1;
    int32_t mLongPressedSlot = -1;
    int32_t mLastInstrumentSlot = 0;
    cCell mCells[kSlotCount];
};
