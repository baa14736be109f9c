#pragma once

#include <cstdint>

#include "base/Math.h"
#include "ui/Widget.h"

class cEffectPackage;
class cEffectRack;
class cEffectRackNode;
class cEffectRackNodeUI;
class cEffectUI;

// The insert-chain editor: above, a scrolling grid of the rack's effect
// editors (one or two columns) with a placeholder for every empty slot;
// below, the node strip with one button per rack node. The desk and the
// sampler's effect panel each build one and call SetRack whenever the rack
// to show changes. Changes to the chain are made under the audio manager's
// lock; effects are made before it and deleted after it. Main thread only.
class cEffectRackUI : public cWidget
{
public:
    static constexpr float kRowHeight = 84.0f; // an 83 pixel cell and its separator
    static constexpr float kCellHeight = 83.0f;
    static constexpr float kTwoColumnsAbove = 840.0f;
    static constexpr int32_t kMaxSlots = 4;
    static constexpr int32_t kMaxSeparators = kMaxSlots + 1;
    static constexpr int32_t kPoolCapacity = 32;
    static constexpr uint32_t kPlaceholderColour = 0xffffffffu;
    static constexpr uint32_t kPlaceholderPressedColour = 0xff404040u;

    struct cPlaceholder
    {
        cEffectRackNode* node;
        int32_t slotNumber; // 1-based among the rack's effect slots
        uint32_t colour;
        cRect iconRect;
        cRect touchRect;
        cVector2 centre;
    };

    cEffectRackUI();

    // Null shows nothing. Always shows the first row.
    void SetRack(cEffectRack* rack);
    // A new effect of the package (none for null) in the node's slot; the
    // effect the slot holds stays, settings and all, when it is of that
    // package, and also when the package makes none.
    void SetNodeEffect(cEffectRackNode* node, cEffectPackage* package);
    // Moves the node just before the other (to the end for null).
    void MoveNode(cEffectRackNode* node, cEffectRackNode* before);
    void SetScrollPosition(float position, bool force);
    // The owner's scroll buttons step the target row; the view glides there.
    void SetTargetRow(int32_t row);
    intptr_t OnPlaceholderChooserResult(cEffectRackNode* node, cEffectPackage* package);

    cEffectRack* GetRack() const { return mRack; }
    cEffectRackNodeUI* GetNodeStrip() const { return mNodeStrip; }
    cWidget* GetEditorArea() const { return mEditorArea; }
    // The editor showing that effect, or null.
    cEffectUI* FindEditor(const void* effect) const;
    int32_t GetSlotCount() const { return mSlotCount; }
    int32_t GetColumns() const { return mColumns; }
    int32_t GetVisibleRows() const { return mVisibleRows; }
    int32_t GetLastRow() const { return mLastRow; }
    int32_t GetTargetRow() const { return mTargetRow; }
    float GetScrollPosition() const { return mScrollPosition; }
    int32_t GetPlaceholderCount() const { return mPlaceholderCount; }
    const cPlaceholder& GetPlaceholder(int32_t index) const { return mPlaceholders[index]; }
    int32_t GetSeparatorCount() const { return mSeparatorCount; }

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

protected:
    ~cEffectRackUI() override;

private:
    void UpdateLastRow();
    void LayoutEditors();
    void PlaceCell(cEffectRackNode* node, int32_t slotNumber, const cRect& cell);
    void AddEditor(cEffectUI* editor, cEffectRackNode* node);
    void AdvanceScroll();
    void DrawPlaceholders(cDrawList& list, float offset);

    cEffectRackNodeUI* mNodeStrip;
    cWidget* mEditorArea;
    cEffectRack* mRack = nullptr;
    float mScrollPosition = 0.0f;
    int32_t mTargetRow = 0;
    int32_t mSlotCount = 0;
    int32_t mVisibleRows = 0;
    int32_t mLastRow = 0;
    int32_t mColumns = 1;
    int32_t mCurrentRow = 0;
    float mScrollFraction = 0.0f;
    int32_t mPlaceholderCount = 0;
    cPlaceholder mPlaceholders[kMaxSlots] = {};
    int32_t mSeparatorCount = 0;
    cRect mSeparators[kMaxSeparators] = {};
    cFontHandle mFont;
};
