#pragma once

#include "ui/Widget.h"

enum eModalTransition : int32_t
{
    kTransitionNone = 0,
    // Slides in from below.
    kTransitionUp = 1,
    // Slides in from above.
    kTransitionDown = 2,
    kTransitionFromRight = 3,
    kTransitionZoom = 4,
};

// Dim mode bits of a layer.
enum eModalDim : int32_t
{
    kDimBeneath = 0x1,
    // With kDimBeneath: full strength at once instead of fading in.
    kDimAtOnce = 0x2,
};

enum eModalLayerState : int32_t
{
    kLayerSettled = 0,
    kLayerOpening = 1,
    kLayerClosing = 2,
};

// A widget that shows a stack of modal layers above its ordinary children.
// Only the top visible, enabled layer takes input; a layer may dim what lies
// beneath it and slide or zoom into place, and a popped layer animates out
// over everything else. Layer widgets are not in the child list: their
// parent is the container, which draws and feeds them itself.
//
// The layer stack and the closing list each hold one reference to their
// widgets. Both hold at most 8 layers: a ninth push is refused, and with a
// full closing list a popped layer leaves without animating. Main thread
// only; drawing happens inside the widget manager's frame lock.
class cWidgetModalContainer : public cWidget
{
public:
    static constexpr int kCapacity = 8;
    // Alpha of the full dim.
    static constexpr int32_t kDimAlpha = 160;

    struct cLayer
    {
        cWidget* widget;
        int32_t transition;
        int32_t dimMode;
        // 1 fully out, 0 in place.
        float progress;
        int32_t state;
    };

    cWidgetModalContainer() = default;

    // Adds the widget as the top layer and cancels the input beneath it;
    // false (nothing changed) when the stack is full.
    bool Push(cWidget* widget, int32_t dimMode, int32_t transition);
    // Removes the top layer, which must hold that widget; anything else
    // changes nothing.
    void Pop(cWidget* widget);
    // Animates and draws one layer.
    void DrawLayer(cLayer& layer, cDrawList& list);

    int GetLayerCount() const { return mLayerCount; }
    const cLayer& GetLayer(int index) const { return mLayers[index]; }
    cWidget* GetTopLayerWidget() const { return mLayerCount > 0 ? mLayers[mLayerCount - 1].widget : nullptr; }
    // Whether the widget is on the layer stack (closing layers are not).
    bool HasLayer(const cWidget* widget) const;
    int GetClosingCount() const { return mClosingCount; }
    const cLayer& GetClosing(int index) const { return mClosing[index]; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    bool HandleKey(const cKeyEvent* event) override;

protected:
    ~cWidgetModalContainer() override;

private:
    // The topmost layer whose widget has all the flags, or null.
    cLayer* FindDeciding(uint32_t requiredFlags);
    cLayer* FindClosing(const cWidget* widget);
    void DrawClosingList(cDrawList& list);

    cLayer mLayers[kCapacity] = {};
    int mLayerCount = 0;
    cLayer mClosing[kCapacity] = {};
    int mClosingCount = 0;
};
