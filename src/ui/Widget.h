#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "base/IntrusiveList.h"
#include "base/Math.h"
#include "base/RefCount.h"
#include "render/FontHandle.h"

class cDrawList;
class cLayout;
class cMaterial;
class cTouch;
struct cKeyEvent;

enum eWidgetFlags : uint32_t
{
    kWidgetVisible = 0x1,
    kWidgetEnabled = 0x2,
    kWidgetRectDirty = 0x4,
    kWidgetLayoutDirty = 0x8,
    kWidgetStateDirty = 0x10,
    kWidgetNotYetDrawn = 0x20,
    // Read by the modal container: nothing below a settled opaque layer is drawn.
    kWidgetOpaqueLayer = 0x40,
    kWidgetHidesLayerBelow = 0x80,
    kWidgetAbsoluteDepth = 0x100,
    kWidgetNoRounding = 0x200,
    kWidgetNoAutoLayout = 0x400,
    kWidgetNoScreenClip = 0x800,
    kWidgetDisabledImages = 0x1000,
    kWidgetDisabledLabel = 0x2000,
    kWidgetTouchWholeRect = 0x4000,
    kWidgetAcceptsKeys = 0x8000,

    kWidgetRectAndLayoutDirty = kWidgetRectDirty | kWidgetLayoutDirty,
    kWidgetAllDirty = kWidgetRectDirty | kWidgetLayoutDirty | kWidgetStateDirty,
    kWidgetShown = kWidgetVisible | kWidgetEnabled,
    kWidgetTakesKeys = kWidgetAcceptsKeys | kWidgetVisible | kWidgetEnabled,
    kWidgetDefaultFlags = kWidgetVisible | kWidgetEnabled | kWidgetLayoutDirty | kWidgetStateDirty |
                          kWidgetNotYetDrawn | kWidgetDisabledImages | kWidgetDisabledLabel,
};

// Anchor kinds, one nibble per edge of the anchor word: left in bits 0-3, top
// 4-7, right 8-11, bottom 12-15. Any other kind puts its edge at 0.
enum eAnchorKind : uint32_t
{
    // Left and top: a screen position; right and bottom: a size from them.
    kAnchorAbsolute = 1,
    // Fractions of the parent's size (right and bottom measured from the
    // computed left and top).
    kAnchorFraction = 2,
    kAnchorParentStart = 3,
    kAnchorParentCentre = 4,
    kAnchorParentEnd = 5,
};

// Left and top from the parent's start, right and bottom from its end: with
// values 0 the widget fills its parent.
constexpr uint32_t kAnchorsFillParent = 0x5533;
// Left, top, width, height: what layouts write into the widgets they place.
constexpr uint32_t kAnchorsAbsoluteRect = 0x1111;

// Content alignment codes of the anchor word's bits 16-19 (horizontal) and
// 20-23 (vertical); anything else centres.
enum eContentAlignment : uint32_t
{
    kAlignStart = 1,
    kAlignEnd = 2,
};

// The default colour of widget labels.
extern uint32_t gDefaultTextColour;

// The text style of a widget label; the owner keeps the text rectangle.
struct cTextStyle
{
    cTextStyle();
    // Offset 0, 0; the first font size of at least 9; the default colour;
    // centred both ways.
    void SetDefault();

    float offsetX = 0.0f;
    float offsetY = 0.0f;
    uint32_t colour = 0xffffffffu;
    cFontHandle font;
    int32_t alignment = 17;
};

// What ApplyDescriptor copies into a widget.
struct cWidgetDescriptor
{
    const char* name;
    uint32_t flags;
    float anchorValues[4];
    uint16_t anchors;
    int32_t tag;
};

// The base of every element of the user interface: a reference-counted node
// with a flags word, a rectangle computed from anchors against its parent, an
// optional layout of its children and an ordered child list (later children
// draw over earlier ones and are offered input first). Changes travel by
// dirty flags; the draw pass brings each dirty widget up to date once.
//
// The creator holds the first reference; a parent link and a modal layer
// each hold one more. A builder may drop its own reference once the widget
// is in a tree or on a modal stack. Main thread only.
class cWidget : public Base::cRefCount, public Base::cIntrusiveListItem<cWidget, 1>
{
public:
    cWidget();

    // Lets the widget fit its own layout's rect to the content before the
    // room is shared out; the base leaves it.
    virtual void FitToContent(const cVector2* preferredSize, cRect* rect);
    // Called by the draw pass after the rect and layout are brought up to date.
    virtual void OnLayout();
    virtual void OnStateChange();
    // True when the widget has taken care of its children itself.
    virtual bool Draw(cDrawList& list);
    // Abandons a press, drag or touch in progress without completing it.
    virtual void CancelInput();
    // Type 0 down, 1 move, 2 up. The captor is this widget when the manager
    // routes a captured touch to it, null when the event travels the tree.
    virtual bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor);
    virtual bool HandleKey(const cKeyEvent* event);
    // Kind 0 cancels the input of the visible subtree.
    virtual bool HandleCancel(int32_t kind, int32_t param);
    virtual void GetSizePreferences(cVector2* minimum, cVector2* preferred);

    void ModifyFlags(uint32_t set, uint32_t clear, bool subtree);
    // The same on every child's subtree, leaving this widget's flags alone.
    void ModifyChildFlags(uint32_t set, uint32_t clear);
    uint32_t GetFlags() const { return mFlags; }
    bool HasFlags(uint32_t mask) const { return (mFlags & mask) == mask; }
    bool IsVisible() const { return (mFlags & kWidgetVisible) != 0; }
    bool IsEnabled() const { return (mFlags & kWidgetEnabled) != 0; }

    void UpdateRect();
    const cRect& GetRect();
    void SetAnchors(uint32_t kinds, float left, float top, float right, float bottom);
    void SetAnchorsLeftTop(uint32_t kinds, float left, float top);
    // Horizontal alignment in bits 0-3, vertical in bits 4-7.
    void SetContentAlignment(uint32_t alignment);
    uint32_t GetAnchorWord() const { return mAnchors; }
    float GetAnchorValue(int edge) const { return mAnchorValues[edge]; }
    // Where content of that rect goes to sit in this widget's rect by the
    // content alignment.
    void GetAlignedOffset(cVector2* out, const cRect& content);

    void SetTag(int32_t tag) { mTag = tag; }
    int32_t GetTag() const { return mTag; }
    void SetName(const char* name) { mName = name; }
    const char* GetName() const { return mName.CStr(); }
    void SetDepth(float depth) { mDepth = depth; }
    float GetDepth() const { return mDepth; }
    // Null keeps the material inherited from the parent.
    void SetMaterial(cMaterial* material) { mMaterial = material; }
    cMaterial* GetMaterial() const { return mMaterial; }
    void ApplyDescriptor(const cWidgetDescriptor& descriptor);

    void SetVisible(bool visible);
    void SetEnabled(bool enabled);

    // A widget already this widget's child is raised (lowered) without a new
    // reference; one in another child list is moved here.
    void AddChild(cWidget* child);
    void AddChildAtStart(cWidget* child);
    // Cancels the child's input and drops this widget's reference; a child
    // still referenced elsewhere is left with a null parent. Does nothing for
    // a widget that is not in this child list.
    void RemoveChild(cWidget* child);
    void RemoveAllChildren();
    void RaiseChild(cWidget* child);
    void LowerChild(cWidget* child);
    void BringToFront();
    // False when already that widget's child.
    bool SetParent(cWidget* parent);
    bool IsChild(const cWidget* widget) const;
    cWidget* GetParent() const { return mParent; }
    int32_t GetChildCount() const { return int32_t(mChildren.GetCount()); }
    cWidget* GetFirstChild() const { return mChildren.GetFirst(); }
    cWidget* GetLastChild() const { return mChildren.GetLast(); }

    // The widget owns its layout from here on; a replaced layout is the
    // caller's to delete.
    void SetLayout(cLayout* layout);
    cLayout* GetLayout() const { return mLayout; }
    void SetLayoutRect(const cRect& rect);

    void CaptureTouch(int32_t touchId);
    // CancelInput here and, with subtree, on every descendant (last child
    // first), then the widget's touch captures are released.
    void CancelInputRecursive(bool subtree);

    // The draw pass: brings a visible widget up to date, draws it and then,
    // unless its Draw took care of them, its children.
    void DrawTree(cDrawList& list);
    void DrawChildren(cDrawList& list);

protected:
    ~cWidget() override;

    // Offers the event to the children, the one drawn on top first.
    bool OfferTouchToChildren(int32_t type, cTouch* touch, cWidget* captor);
    bool OfferKeyToChildren(const cKeyEvent* event, uint32_t requiredFlags);

private:
    friend class cWidgetModalContainer;

    bool IsInChildList() const;
    void LinkChild(cWidget* child, bool atStart);
    void ReleaseCaptures();

    cWidget* mParent = nullptr;
    int32_t mTag = 0;
    uint32_t mFlags = kWidgetDefaultFlags;
    uint32_t mAnchors = kAnchorsFillParent;
    float mDepth = 0.0f;
    cMaterial* mMaterial = nullptr;
    float mAnchorValues[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cLayout* mLayout = nullptr;
    Base::cIntrusiveList<cWidget, 1> mChildren;
    cGenStringFixed<128> mName;
};
