#include "ui/WidgetModalContainer.h"

#include "platform/FrameTiming.h"
#include "render/DrawList.h"
#include "ui/WidgetManager.h"

namespace
{
// A transition takes 1/5 s: the progress moves by the frame period times this.
constexpr float kTransitionRate = 5.0f;

// The layer's motion for a progress between 0 (in place) and 1 (fully out).
cMatrix44 TransitionTransform(int32_t transition, float progress, const cRect& rect)
{
    cMatrix44 m = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    switch (transition)
    {
    case kTransitionUp:
        m.Row3.Y = height * progress;
        break;
    case kTransitionDown:
        m.Row3.Y = -height * progress;
        break;
    case kTransitionFromRight:
        m.Row3.X = width * progress;
        break;
    case kTransitionZoom:
    {
        // Scaled about the rect's centre, which stays in place.
        const float scale = 1.0f - progress;
        const float cx = (rect.xMin + rect.xMax) * 0.5f, cy = (rect.yMin + rect.yMax) * 0.5f;
        m.Row0.X = scale;
        m.Row1.Y = scale;
        m.Row3.X = cx * (1.0f - scale);
        m.Row3.Y = cy * (1.0f - scale);
        break;
    }
    default:
        break;
    }
    return m;
}

bool IsSlide(int32_t transition) { return transition >= kTransitionUp && transition <= kTransitionFromRight; }

// Opening layers move in and closing ones out, each settling at its end.
void Animate(cWidgetModalContainer::cLayer& layer)
{
    const float step = gFramePeriod * kTransitionRate;
    if (layer.state == kLayerOpening)
    {
        layer.progress -= step;
        if (layer.progress < 0.0f)
        {
            layer.progress = 0.0f;
            layer.state = kLayerSettled;
        }
    }
    else if (layer.state == kLayerClosing)
    {
        layer.progress += step;
        if (layer.progress > 1.0f)
        {
            layer.progress = 1.0f;
            layer.state = kLayerSettled;
        }
    }
}
} // namespace

// Layers that outlive the container are left without a parent.
cWidgetModalContainer::~cWidgetModalContainer()
{
    while (mLayerCount > 0)
    {
        cWidget* widget = mLayers[--mLayerCount].widget;
        widget->mParent = nullptr;
        widget->Release();
    }
    while (mClosingCount > 0)
        if (cWidget* widget = mClosing[--mClosingCount].widget)
            widget->Release();
}

bool cWidgetModalContainer::Push(cWidget* widget, int32_t dimMode, int32_t transition)
{
    if (!widget || mLayerCount == kCapacity)
        return false;
    widget->AddRef();
    if (cWidget* beneath = GetTopLayerWidget())
        beneath->CancelInputRecursive(true);
    else
        CancelInputRecursive(true);
    if (widget->mParent != this)
    {
        widget->mParent = this;
        widget->ModifyFlags(kWidgetAllDirty, 0, true);
    }
    widget->ModifyFlags(kWidgetLayoutDirty | kWidgetStateDirty, 0, true);

    cLayer layer = {widget, transition, dimMode, 0.0f, kLayerSettled};
    if (transition != kTransitionNone)
    {
        layer.progress = 1.0f;
        layer.state = kLayerOpening;
    }
    // A widget still animating out turns round where it is.
    if (cLayer* closing = FindClosing(widget))
    {
        if (transition != kTransitionNone)
            layer.progress = closing->progress;
        closing->widget = nullptr;
        closing->state = kLayerSettled;
        widget->Release();
    }
    mLayers[mLayerCount++] = layer;
    return true;
}

void cWidgetModalContainer::Pop(cWidget* widget)
{
    if (!widget || widget != GetTopLayerWidget())
        return;
    const cLayer top = mLayers[--mLayerCount];
    if (top.transition != kTransitionNone && mClosingCount < kCapacity)
    {
        // The closing entry keeps the widget alive until it has animated out.
        widget->AddRef();
        mClosing[mClosingCount++] = {widget, top.transition, top.dimMode, top.progress, kLayerClosing};
    }
    widget->CancelInputRecursive(true);
    widget->mParent = nullptr;
    widget->Release();
}

bool cWidgetModalContainer::HasLayer(const cWidget* widget) const
{
    for (int i = 0; i < mLayerCount; ++i)
        if (mLayers[i].widget == widget)
            return true;
    return false;
}

cWidgetModalContainer::cLayer* cWidgetModalContainer::FindClosing(const cWidget* widget)
{
    for (int i = 0; i < mClosingCount; ++i)
        if (mClosing[i].widget == widget)
            return &mClosing[i];
    return nullptr;
}

cWidgetModalContainer::cLayer* cWidgetModalContainer::FindDeciding(uint32_t requiredFlags)
{
    for (int i = mLayerCount - 1; i >= 0; --i)
        if (mLayers[i].widget->HasFlags(requiredFlags))
            return &mLayers[i];
    return nullptr;
}

// The topmost visible, enabled layer decides alone, and refuses input while
// it moves; without one, the container's own children are offered it.
bool cWidgetModalContainer::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (cLayer* layer = FindDeciding(kWidgetShown))
        return layer->state == kLayerSettled && layer->widget->HandleTouch(type, touch, captor);
    return OfferTouchToChildren(type, touch, captor);
}

// As touches, with the layers and children that accept keys; the container's
// own flags are not asked, so the root needs no key flag.
bool cWidgetModalContainer::HandleKey(const cKeyEvent* event)
{
    if (cLayer* layer = FindDeciding(kWidgetTakesKeys))
        return layer->state == kLayerSettled && layer->widget->HandleKey(event);
    return OfferKeyToChildren(event, kWidgetTakesKeys);
}

void cWidgetModalContainer::OnLayout()
{
    for (int i = 0; i < mLayerCount; ++i)
        mLayers[i].widget->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cWidgetModalContainer::OnStateChange()
{
    for (int i = 0; i < mLayerCount; ++i)
        mLayers[i].widget->ModifyFlags(kWidgetStateDirty, 0, true);
}

bool cWidgetModalContainer::Draw(cDrawList& list)
{
    // A settled opaque layer covers everything beneath it.
    int start = 0;
    bool covered = false;
    for (int i = mLayerCount - 1; i >= 0 && !covered; --i)
        if (mLayers[i].state == kLayerSettled && mLayers[i].widget->HasFlags(kWidgetOpaqueLayer))
        {
            start = i;
            covered = true;
        }
    if (!covered)
        DrawChildren(list);
    for (int i = start; i < mLayerCount; ++i)
    {
        const bool hiddenByNext = i + 1 < mLayerCount && mLayers[i + 1].widget->HasFlags(kWidgetHidesLayerBelow);
        if (!hiddenByNext)
            DrawLayer(mLayers[i], list);
    }
    DrawClosingList(list);
    return true;
}

// Popped layers animate out over everything else; one finished entry leaves
// the end of the list per frame.
void cWidgetModalContainer::DrawClosingList(cDrawList& list)
{
    for (int i = mClosingCount - 1; i >= 0; --i)
        if (mClosing[i].widget)
            DrawLayer(mClosing[i], list);
    if (mClosingCount == 0 || mClosing[mClosingCount - 1].state != kLayerSettled)
        return;
    if (cWidget* widget = mClosing[--mClosingCount].widget)
        widget->Release();
}

void cWidgetModalContainer::DrawLayer(cLayer& layer, cDrawList& list)
{
    Animate(layer);
    cWidgetManager* manager = cWidgetManager::GetInstance();
    if ((layer.dimMode & kDimBeneath) && manager)
    {
        const int32_t alpha =
            (layer.dimMode & kDimAtOnce) ? kDimAlpha : kDimAlpha - int32_t(layer.progress * float(kDimAlpha));
        manager->DimScreen(list, alpha);
    }
    const cRect rect = layer.widget->GetRect();
    if (layer.progress == 0.0f)
    {
        layer.widget->DrawTree(list);
        return;
    }
    // Slides move within the layer's final frame.
    const bool clip = IsSlide(layer.transition) && manager;
    if (clip)
        list.PushMovedClipRect(rect, manager->GetScreenRect());
    list.PushTransform(TransitionTransform(layer.transition, layer.progress, rect));
    layer.widget->DrawTree(list);
    list.PopMatrix();
    if (clip)
        list.PopClipRect();
}
