#include "ui/Widget.h"

#include <cmath>

#include "render/DrawList.h"
#include "ui/InputManager.h"
#include "ui/LayoutItem.h"
#include "ui/WidgetManager.h"

uint32_t gDefaultTextColour = 0xffffffffu;

namespace
{
constexpr float kDefaultFontSize = 10.0f;
constexpr float kDefaultLabelSize = 9.0f;
constexpr int32_t kAlignCentreBoth = 17;

uint32_t AnchorKind(uint32_t anchors, int edge) { return (anchors >> (edge * 4)) & 0xf; }

// Left or top edge by its kind, against the parent span start..end.
float LeadingEdge(uint32_t kind, float value, float start, float end)
{
    const float size = end - start;
    switch (kind)
    {
    case kAnchorAbsolute:
        return value;
    case kAnchorFraction:
        return start + value * size;
    case kAnchorParentStart:
        return start + value;
    case kAnchorParentCentre:
        return start + size * 0.5f + value;
    case kAnchorParentEnd:
        return end + value;
    default:
        return 0.0f;
    }
}

// Right or bottom edge: kinds 1 and 2 measure a size from the leading edge.
float TrailingEdge(uint32_t kind, float value, float start, float end, float leading)
{
    if (kind == kAnchorAbsolute)
        return leading + value;
    if (kind == kAnchorFraction)
        return leading + value * (end - start);
    return LeadingEdge(kind, value, start, end);
}

float RoundPixel(float x) { return std::floor(x + 0.5f); }

float AlignedOffset(uint32_t alignment, float low, float high, float contentLow, float contentHigh)
{
    if (alignment == kAlignStart)
        return low - contentLow;
    if (alignment == kAlignEnd)
        return high - contentHigh;
    return (low + high) * 0.5f - (contentLow + contentHigh) * 0.5f;
}
} // namespace

cTextStyle::cTextStyle()
{
    font.Select(kDefaultFontSize);
    SetDefault();
}

void cTextStyle::SetDefault()
{
    offsetX = 0.0f;
    offsetY = 0.0f;
    font.SetSize(kDefaultLabelSize);
    colour = gDefaultTextColour;
    alignment = kAlignCentreBoth;
}

cWidget::cWidget() = default;

// The derived parts are gone by now, so there is no input left to cancel;
// what remains is to let go of the captures, the layout and the children.
cWidget::~cWidget()
{
    ReleaseCaptures();
    delete mLayout;
    RemoveAllChildren();
}

void cWidget::FitToContent(const cVector2*, cRect*) {}

void cWidget::OnLayout() {}

void cWidget::OnStateChange() {}

bool cWidget::Draw(cDrawList&) { return false; }

void cWidget::CancelInput() {}

bool cWidget::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    return OfferTouchToChildren(type, touch, captor);
}

bool cWidget::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys))
        return false;
    return OfferKeyToChildren(event, 0);
}

bool cWidget::HandleCancel(int32_t kind, int32_t param)
{
    if (kind != 0 || !IsVisible())
        return false;
    CancelInput();
    ReleaseCaptures();
    for (cWidget* child = GetLastChild(); child; child = child->GetPrev())
        if (child->HandleCancel(0, param))
            return true;
    return false;
}

void cWidget::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    if (!mLayout)
    {
        *minimum = {0.0f, 0.0f};
        *preferred = {0.0f, 0.0f};
        return;
    }
    cSizePreferences preferences;
    mLayout->GetSizePreferences(&preferences);
    *minimum = preferences.minimum;
    *preferred = preferences.preferred;
}

bool cWidget::OfferTouchToChildren(int32_t type, cTouch* touch, cWidget* captor)
{
    for (cWidget* child = GetLastChild(); child; child = child->GetPrev())
        if (child->HandleTouch(type, touch, captor))
            return true;
    return false;
}

bool cWidget::OfferKeyToChildren(const cKeyEvent* event, uint32_t requiredFlags)
{
    for (cWidget* child = GetLastChild(); child; child = child->GetPrev())
        if (child->HasFlags(requiredFlags) && child->HandleKey(event))
            return true;
    return false;
}

void cWidget::ModifyFlags(uint32_t set, uint32_t clear, bool subtree)
{
    mFlags = (mFlags | set) & ~clear;
    if (subtree)
        ModifyChildFlags(set, clear);
}

void cWidget::ModifyChildFlags(uint32_t set, uint32_t clear)
{
    for (cWidget* child = GetFirstChild(); child; child = child->GetNext())
        child->ModifyFlags(set, clear, true);
}

void cWidget::UpdateRect()
{
    cWidgetManager* manager = cWidgetManager::GetInstance();
    const cRect parent = mParent ? mParent->GetRect() : (manager ? manager->GetScreenRect() : cRect{0, 0, 0, 0});
    cRect rect;
    rect.xMin = LeadingEdge(AnchorKind(mAnchors, 0), mAnchorValues[0], parent.xMin, parent.xMax);
    rect.yMin = LeadingEdge(AnchorKind(mAnchors, 1), mAnchorValues[1], parent.yMin, parent.yMax);
    rect.xMax = TrailingEdge(AnchorKind(mAnchors, 2), mAnchorValues[2], parent.xMin, parent.xMax, rect.xMin);
    rect.yMax = TrailingEdge(AnchorKind(mAnchors, 3), mAnchorValues[3], parent.yMin, parent.yMax, rect.yMin);
    if (rect.xMax - rect.xMin < 1.0f)
        rect.xMax = rect.xMin + 1.0f;
    if (rect.yMax - rect.yMin < 1.0f)
        rect.yMax = rect.yMin + 1.0f;
    if (!(mFlags & kWidgetNoRounding))
        rect = {RoundPixel(rect.xMin), RoundPixel(rect.yMin), RoundPixel(rect.xMax), RoundPixel(rect.yMax)};
    // Clipped to the screen, never to the parent: a widget may reach out of
    // its parent, but not off the screen (without a manager there is none).
    if (manager && !(mFlags & kWidgetNoScreenClip))
    {
        const cRect& screen = manager->GetScreenRect();
        rect.xMin = std::fmax(rect.xMin, screen.xMin);
        rect.xMax = std::fmin(rect.xMax, screen.xMax);
        rect.yMin = std::fmax(rect.yMin, screen.yMin);
        rect.yMax = std::fmin(rect.yMax, screen.yMax);
        rect.xMax = std::fmax(rect.xMax, rect.xMin);
        rect.yMax = std::fmax(rect.yMax, rect.yMin);
    }
    mRect = rect;
    mFlags &= ~kWidgetRectDirty;
}

const cRect& cWidget::GetRect()
{
    if (mFlags & kWidgetRectDirty)
        UpdateRect();
    return mRect;
}

void cWidget::SetAnchors(uint32_t kinds, float left, float top, float right, float bottom)
{
    mAnchorValues[0] = left;
    mAnchorValues[1] = top;
    mAnchorValues[2] = right;
    mAnchorValues[3] = bottom;
    mAnchors = (mAnchors & ~0xffffu) | (kinds & 0xffffu);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cWidget::SetAnchorsLeftTop(uint32_t kinds, float left, float top)
{
    mAnchorValues[0] = left;
    mAnchorValues[1] = top;
    mAnchors = (mAnchors & ~0xffu) | (kinds & 0xffu);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cWidget::SetContentAlignment(uint32_t alignment)
{
    const uint32_t anchors = (mAnchors & ~0xff0000u) | ((alignment & 0xffu) << 16);
    if (anchors == mAnchors)
        return;
    mAnchors = anchors;
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cWidget::GetAlignedOffset(cVector2* out, const cRect& content)
{
    const cRect& rect = GetRect();
    out->X = AlignedOffset((mAnchors >> 16) & 0xf, rect.xMin, rect.xMax, content.xMin, content.xMax);
    out->Y = AlignedOffset((mAnchors >> 20) & 0xf, rect.yMin, rect.yMax, content.yMin, content.yMax);
    if (!(mFlags & kWidgetNoRounding))
        *out = {RoundPixel(out->X), RoundPixel(out->Y)};
}

void cWidget::ApplyDescriptor(const cWidgetDescriptor& descriptor)
{
    mName = descriptor.name;
    mTag = descriptor.tag;
    mFlags = descriptor.flags | kWidgetRectAndLayoutDirty;
    for (int edge = 0; edge < 4; ++edge)
        mAnchorValues[edge] = descriptor.anchorValues[edge];
    mAnchors = (mAnchors & ~0xffffu) | descriptor.anchors;
    ModifyChildFlags(kWidgetRectAndLayoutDirty, 0);
}

void cWidget::SetVisible(bool visible)
{
    if (visible == IsVisible())
        return;
    if (visible)
    {
        mFlags |= kWidgetVisible | kWidgetStateDirty | kWidgetNotYetDrawn;
        ModifyChildFlags(kWidgetStateDirty | kWidgetNotYetDrawn, 0);
        return;
    }
    CancelInputRecursive(true);
    mFlags &= ~(kWidgetVisible | kWidgetNotYetDrawn);
}

void cWidget::SetEnabled(bool enabled)
{
    if (enabled == IsEnabled())
        return;
    if (enabled)
    {
        mFlags |= kWidgetEnabled | kWidgetStateDirty;
        return;
    }
    CancelInputRecursive(true);
    mFlags = (mFlags & ~kWidgetEnabled) | kWidgetStateDirty;
}

bool cWidget::IsChild(const cWidget* widget) const
{
    return widget && widget->mParent == this && widget->IsInChildList();
}

// Layer widgets have their container as parent without being in its list.
bool cWidget::IsInChildList() const
{
    return mParent && (GetPrev() || mParent->GetFirstChild() == this);
}

void cWidget::AddChild(cWidget* child) { LinkChild(child, false); }

void cWidget::AddChildAtStart(cWidget* child) { LinkChild(child, true); }

void cWidget::LinkChild(cWidget* child, bool atStart)
{
    if (!child || child == this)
        return;
    if (IsChild(child))
    {
        if (atStart)
            LowerChild(child);
        else
            RaiseChild(child);
        return;
    }
    // This list's reference is taken first, so leaving the old list cannot
    // delete the widget on its way here.
    child->AddRef();
    if (child->IsInChildList())
        child->mParent->RemoveChild(child);
    if (child->mParent != this)
    {
        child->mParent = this;
        child->ModifyFlags(kWidgetAllDirty, 0, true);
    }
    if (atStart)
        mChildren.PushFront(child);
    else
        mChildren.PushBack(child);
}

void cWidget::RemoveChild(cWidget* child)
{
    if (!IsChild(child))
        return;
    child->CancelInputRecursive(true);
    mChildren.Remove(child);
    child->mParent = nullptr;
    child->Release();
}

void cWidget::RemoveAllChildren()
{
    while (cWidget* child = GetFirstChild())
        RemoveChild(child);
}

void cWidget::RaiseChild(cWidget* child)
{
    if (!IsChild(child) || child == GetLastChild())
        return;
    mChildren.Remove(child);
    mChildren.PushBack(child);
}

void cWidget::LowerChild(cWidget* child)
{
    if (!IsChild(child) || child == GetFirstChild())
        return;
    mChildren.Remove(child);
    mChildren.PushFront(child);
}

void cWidget::BringToFront()
{
    if (mParent)
        mParent->RaiseChild(this);
}

bool cWidget::SetParent(cWidget* parent)
{
    if (parent && parent->IsChild(this))
        return false;
    Base::cRefPtr<cWidget> keep(this);
    if (IsInChildList())
        mParent->RemoveChild(this);
    if (parent)
        parent->AddChild(this);
    return true;
}

void cWidget::SetLayout(cLayout* layout)
{
    if (layout == mLayout)
        return;
    mLayout = layout;
    if (layout)
        layout->SetOwner(this);
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
}

void cWidget::SetLayoutRect(const cRect& rect)
{
    if (mLayout)
        mLayout->SetRect(rect);
}

void cWidget::CaptureTouch(int32_t touchId)
{
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->CaptureTouch(this, touchId);
}

void cWidget::ReleaseCaptures()
{
    if (cWidgetManager* manager = cWidgetManager::GetInstance())
        manager->ReleaseCapture(this);
}

void cWidget::CancelInputRecursive(bool subtree)
{
    CancelInput();
    if (subtree)
        for (cWidget* child = GetLastChild(); child; child = child->GetPrev())
            child->CancelInputRecursive(true);
    ReleaseCaptures();
}

void cWidget::DrawTree(cDrawList& list)
{
    if (!IsVisible())
        return;
    if (mFlags & kWidgetLayoutDirty)
    {
        if (!(mFlags & kWidgetNoAutoLayout))
        {
            GetRect();
            if (mLayout)
                mLayout->SetRect(mRect);
        }
        OnLayout();
    }
    if (mFlags & kWidgetStateDirty)
        OnStateChange();
    mFlags &= ~(kWidgetLayoutDirty | kWidgetStateDirty);

    cScopedDrawListValue depth(list);
    list.depth = (mFlags & kWidgetAbsoluteDepth) ? mDepth : list.depth + mDepth;
    cScopedMaterial material(list, mMaterial);
    const bool handledChildren = Draw(list);
    mFlags &= ~kWidgetNotYetDrawn;
    if (!handledChildren)
        DrawChildren(list);
}

void cWidget::DrawChildren(cDrawList& list)
{
    for (cWidget* child = GetFirstChild(); child; child = child->GetNext())
        child->DrawTree(list);
}
