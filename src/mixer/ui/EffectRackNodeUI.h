#pragma once

#include <cstdint>
#include <vector>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "base/Math.h"
#include "render/FontHandle.h"
#include "ui/Widget.h"

class cEffectPackage;
class cEffectRack;
class cEffectRackNode;
class cEffectRackUI;
class cEffectSelectUI;

// The chain editor's row of node buttons (IN, the slots, RETURNS on the
// master's rack, OUT). Holding a slot's button opens the effect chooser for
// it; dragging a movable button reorders its run of movable nodes. Main
// thread only.
class cEffectRackNodeUI : public cWidget
{
public:
    static constexpr float kHoldSeconds = 0.75f;
    static constexpr float kDragDistance = 30.0f;
    static constexpr float kButtonGap = 16.0f;
    static constexpr float kLeftMargin = 6.0f;
    static constexpr float kSlotWidthShare = 0.17f;
    static constexpr float kHintSeconds = 2.5f;

    struct cButton
    {
        cEffectRackNode* node;
        cRect rect;
        cRect hitRect; // 4 pixels further left
        cRect connectorRect;
        cGenStringFixed<32> label1;
        cGenStringFixed<32> label2;
        bool connector;
    };

    explicit cEffectRackNodeUI(cEffectRackUI* owner);

    void SetRack(cEffectRack* rack);
    cEffectRack* GetRack() const { return mRack; }
    // Null, or a node no button shows, selects none.
    void SelectNode(cEffectRackNode* node);
    void RebuildButtons();
    // Shows the chooser for the node with that result delegate.
    void OpenChooser(cEffectRackNode* node, const cDelegate& result);
    intptr_t OnChooserResult(cEffectRackNode* node, cEffectPackage* package);

    cEffectSelectUI* GetChooser() const { return mChooser; }
    const std::vector<cButton>& GetButtons() const { return mButtons; }
    int32_t GetHeldIndex() const { return mHeldIndex; }
    int32_t GetSelectedIndex() const { return mSelectedIndex; }
    bool IsDragging() const { return mDragging; }
    int32_t GetDragSource() const { return mDragSource; }
    int32_t GetDragTarget() const { return mDragTarget; }
    float GetHoldTime() const { return mHoldTime; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    void CancelInput() override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

protected:
    ~cEffectRackNodeUI() override;

private:
    int32_t HitButton(const cVector2& point) const;
    int32_t NearestButton(float x) const;
    void BeginDrag(int32_t index);
    void AdvanceHold();
    void DrawButton(cDrawList& list, int32_t index);
    void DrawHoldHighlight(cDrawList& list);
    cRect ChooserRect();
    void PlaceChooser();

    cEffectRackUI* mOwner;
    std::vector<cButton> mButtons;
    cEffectSelectUI* mChooser;
    cEffectRack* mRack = nullptr;
    int32_t mHeldIndex = -1;
    int32_t mSelectedIndex = -1;
    float mHoldTime = 0.0f;
    bool mDragging = false;
    int32_t mDragSource = -1;
    int32_t mDragTarget = -1;
    int32_t mDragLow = -1;
    int32_t mDragHigh = -1;
    int32_t mTouchId = -1;
    cVector2 mDownPoint = {0.0f, 0.0f};
    cFontHandle mFont;
};
