#pragma once

#include <cstdint>
#include <memory>

#include "base/Delegate.h"
#include "render/Image.h"
#include "ui/WidgetButton.h"

enum eComboFlags : int32_t
{
    // Keeps the chosen item and shows it as the label.
    kComboSelection = 0x2,
    kComboOpensUpwards = 0x4,
    // Lights every item below the one under the finger (or the selected one).
    kComboLevelHighlight = 0x10,
};

// A button that opens a menu of text items beside itself. Its click
// delegate reports -1 when the menu opens (or when it is tapped while the
// menu is suppressed) and an item's index when one is chosen; a selection
// menu reports nothing when its selected item is chosen again. Tapping the
// button again, Escape or a cancel closes the menu silently. The button's
// value is 1 while the menu is open. Main thread only.
class cWidgetComboBox : public cWidgetButton
{
public:
    struct cItem
    {
        const char* text; // not owned
        int32_t value;    // the owner's
        uint8_t enabled;
    };

    // What the item-draw delegate receives, by address.
    struct cItemDrawRecord
    {
        cWidgetComboBox* combo;
        int32_t index;
        const cItem* item;
        cRect rect;
    };

    cWidgetComboBox(int32_t capacity, int32_t comboFlags);

    // False, changing nothing, when the menu is full.
    bool AddItem(const char* text, int32_t value, bool enabled);
    void ClearItems() { mItemCount = 0; }
    int32_t GetItemCount() const { return mItemCount; }
    int32_t GetCapacity() const { return mCapacity; }
    // Null outside the items in use.
    cItem* GetItem(int32_t index);
    // An index outside the items shows no label.
    void SetSelectedItem(int32_t index) { mSelectedItem = index; }
    int32_t GetSelectedItem() const { return mSelectedItem; }
    int32_t GetHoveredItem() const { return mHoveredItem; }
    // A suppressed menu never opens and the combo keeps looking lit.
    void SetMenuSuppressed(bool suppressed);
    bool IsMenuSuppressed() const { return mMenuSuppressed; }
    bool IsMenuOpen() const { return value != 0 && !mMenuSuppressed; }
    // Where the open menu was last drawn; zero while closed.
    const cRect& GetMenuRect() const { return mMenuRect; }
    int32_t GetComboFlags() const { return mComboFlags; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;

    // When set, draws each item instead of its text: (const cItemDrawRecord*).
    cDelegate itemDrawDelegate;
    // Between items; negative overlaps them.
    float itemGap = 0.0f;
    cImage itemImage;
    cImage highlightedItemImage;
    float minimumMenuWidth = 80.0f;
    float itemHeight = 40.0f;

protected:
    ~cWidgetComboBox() override;

private:
    bool IsHighlighted(int32_t index) const;
    void DrawSelectedLabel(cDrawList& list);
    void DrawMenu(cDrawList& list);
    void DrawItemText(cDrawList& list, int32_t index, const cRect& rect);
    int32_t ItemAt(const cVector2& point) const;
    int32_t EnabledItemAt(const cVector2& point) const;
    bool Choose(const cVector2& point);
    cRect HitRect();
    void Open();
    void Close();

    int32_t mComboFlags;
    bool mMenuSuppressed = false;
    int32_t mCapacity;
    std::unique_ptr<cItem[]> mItems;
    int32_t mItemCount = 0;
    int32_t mSelectedItem = 0;
    int32_t mHoveredItem = -1;
    cVector2 mItemSize = {0.0f, 0.0f};
    cRect mMenuRect = {0, 0, 0, 0};
};
