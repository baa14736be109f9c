#include "ui/WidgetDialogue.h"

#include <algorithm>
#include <cmath>

#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/Renderer.h"
#include "render/TextBatch.h"
#include "ui/HouseColours.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// Colour-atlas entries of the dialogue frame.
enum eDialogueSprite : int
{
    kArrowAbove = 280, // points down at an anchor below the dialogue
    kArrowBelow = 281, // points up at an anchor above the dialogue
    kFrameDrawn = 282,
    kFrameInner = 283,
    kFrameSize = 284,
    kContentMarker = 285,
    kTitleMarker = 286,
};

constexpr int32_t kStretchBoth = 0x33;
constexpr uint32_t kTitleAlignment = kTextAlignCentreX | kTextAlignCentreY | kTextShortenEnd;
constexpr float kDimAlpha = 180.0f;
// A slide takes a quarter of a second.
constexpr float kSlideRate = 4.0f;
// The arrow above an anchor overlaps the frame's bottom edge by this much.
constexpr float kArrowOverlap = 2.0f;

constexpr uint32_t kLeftTopWidthHeight = 0x1111;
constexpr uint32_t kTitleScreenAnchors = 0x1533;
constexpr uint32_t kCloseButtonAnchors = 0x3333;

cDialogueTitleScreenHook* gTitleScreenHook = nullptr;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

float Round(float value) { return std::floor(value + 0.5f); }

cRect Inset(const cRect& rect, const cRect& insets)
{
    return {rect.xMin + insets.xMin, rect.yMin + insets.yMin, rect.xMax - insets.xMax, rect.yMax - insets.yMax};
}

void MarkForLayout(cWidget* widget)
{
    widget->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    widget->ModifyChildFlags(kWidgetRectAndLayoutDirty, 0);
}
} // namespace

cRect SpriteInsets(const cAtlasSprite* outer, const cAtlasSprite* inner)
{
    if (!outer || !inner)
        return {0.0f, 0.0f, 0.0f, 0.0f};
    return {inner->x0 - outer->x0, inner->y0 - outer->y0, outer->x1 - inner->x1, outer->y1 - inner->y1};
}

void cWidgetDialogue::SetTitleScreenHook(cDialogueTitleScreenHook* hook) { gTitleScreenHook = hook; }

cDialogueTitleScreenHook* cWidgetDialogue::GetTitleScreenHook() { return gTitleScreenHook; }

cWidgetDialogue::cWidgetDialogue(int32_t style)
    : mStyle(style), mTitleSprite(Sprite(kTitleMarker)), mContentSprite(Sprite(kContentMarker))
{
    mFrameImage.SetSprites(Sprite(kFrameSize), Sprite(kFrameDrawn), Sprite(kFrameInner));
    mFrameImage.alignment = kStretchBoth;
    titleFont.Select(GetTextSize(kTextSizeTitle));
    ModifyFlags(kWidgetAbsoluteDepth | kWidgetAcceptsKeys, 0, false);
    SetDepth(kDepthOffset);
    if ((style & kDialogueTitleScreen) && gTitleScreenHook)
    {
        mTitleScreen = gTitleScreenHook->CreateTitleScreen((style & kDialogueSongPositionTitle) != 0);
        if (mTitleScreen)
            AddChild(mTitleScreen);
    }
    if (style & kDialogueCloseButton)
    {
        mCloseButton = CreateDialogueButton();
        mCloseButton->clickDelegate = cDelegate(this, &cWidgetDialogue::OnCloseClicked);
        AddChild(mCloseButton);
    }
}

cWidgetDialogue::~cWidgetDialogue()
{
    if (mCloseButton)
        mCloseButton->Release();
    if (mTitleScreen)
        mTitleScreen->Release();
}

intptr_t cWidgetDialogue::OnCloseClicked(intptr_t, cWidgetButton*)
{
    OnDismiss(1);
    return 0;
}

void cWidgetDialogue::OnDismiss(int32_t) {}

void cWidgetDialogue::SetAnchor(cWidget* anchor, int32_t attachSide)
{
    mAnchor = anchor;
    mAttachSide = anchor ? attachSide : kAttachFree;
    mArrowDirty = true;
    ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
}

void cWidgetDialogue::ResetAnimation()
{
    slideKind = 0;
    mFadeProgress = (mStyle & kDialogueFadedIn) ? 1.0f : 0.0f;
    mSlideProgress = 0.0f;
    mSlidePushed = false;
}

bool cWidgetDialogue::IsShown() const
{
    cWidgetManager* manager = cWidgetManager::GetInstance();
    return manager && manager->GetRoot() && manager->GetRoot()->HasLayer(this);
}

void cWidgetDialogue::SetFrameSprites(const cAtlasSprite* frameSize, const cAtlasSprite* title,
                                      const cAtlasSprite* content, const cAtlasSprite* frameDrawn,
                                      const cAtlasSprite* frameInner)
{
    mFrameImage.SetSprites(frameSize, frameDrawn, frameInner);
    mTitleSprite = title;
    mContentSprite = content;
    ModifyFlags(kWidgetLayoutDirty, 0, false);
}

cRect cWidgetDialogue::GetFrameInsets() const { return SpriteInsets(mFrameImage.sprite, mFrameImage.innerSprite); }

cRect cWidgetDialogue::GetContentInsets() const { return SpriteInsets(mFrameImage.sprite, mContentSprite); }

float cWidgetDialogue::GetTitleHeight() const { return mTitleSprite ? mTitleSprite->height : 0.0f; }

void cWidgetDialogue::SetTitleScreenText(const char* text)
{
    if (mTitleScreen && gTitleScreenHook)
        gTitleScreenHook->SetTitleScreenText(mTitleScreen, text, HouseColour::kValue);
}

void cWidgetDialogue::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    cWidget::GetSizePreferences(minimum, preferred);
    const cRect insets = GetFrameInsets();
    const float width = insets.xMin + insets.xMax, height = insets.yMin + insets.yMax;
    *minimum = {minimum->X + width, minimum->Y + height};
    *preferred = {preferred->X + width, preferred->Y + height};
}

void cWidgetDialogue::OnLayout()
{
    if (mAnchor)
        PlaceAtAnchor();
    UpdateRect();
    mFrameImage.Layout(GetRect(), {0.0f, 0.0f});
    const cRect& frame = mFrameImage.layoutRect;
    mTitleRect = {frame.xMin, frame.yMin, frame.xMax, frame.yMin + GetTitleHeight()};
    mContentRect = Inset(frame, GetContentInsets());
    PlaceTitleScreen();
    mTitleTextRect = mTitleRect;
    PlaceCloseButton();
    mArrowDirty = true;
}

// Just below or above the anchor, centred on the screen, then moved so that
// the arrow stays clear of the corners, even past the screen's edge.
void cWidgetDialogue::PlaceAtAnchor()
{
    mAnchor->UpdateRect();
    cVector2 minimum, size;
    GetSizePreferences(&minimum, &size);
    const cRect& anchor = mAnchor->GetRect();
    const float y = mAttachSide == kAttachBelow ? anchor.yMax + Sprite(kArrowBelow)->height
                                                : anchor.yMin - Sprite(kArrowAbove)->height - size.Y + kArrowOverlap;
    const cWidgetManager* manager = cWidgetManager::GetInstance();
    const float screenWidth = manager ? manager->GetScreenRect().xMax - manager->GetScreenRect().xMin : 0.0f;
    const float x = (screenWidth - size.X) * 0.5f;
    float x0 = Round(x), x1 = Round(x + size.X);
    const float y0 = Round(y), y1 = Round(y + size.Y);
    const float centre = (anchor.xMin + anchor.xMax) * 0.5f;
    const float pastLeft = centre - x0 - kArrowCornerMargin;
    const float pastRight = centre - x1 + kArrowCornerMargin;
    const float shift = pastLeft < 0.0f ? pastLeft : (pastRight > 0.0f ? pastRight : 0.0f);
    x0 += shift;
    x1 += shift;
    SetAnchors(kLeftTopWidthHeight, x0, y0, x1 - x0, y1 - y0);
    // The arrow's place wins over the screen's edge.
    ModifyFlags(kWidgetNoScreenClip, 0, false);
    MarkForLayout(this);
}

void cWidgetDialogue::PlaceTitleScreen()
{
    if (!mTitleScreen)
        return;
    mTitleScreen->SetAnchors(kTitleScreenAnchors, GetRowHeight() - 1.0f, 0.0f, -2.0f, GetTitleHeight());
    MarkForLayout(mTitleScreen);
}

// A square at the left end of the title bar; the title text starts after it.
void cWidgetDialogue::PlaceCloseButton()
{
    if (!mCloseButton)
        return;
    const float side = mTitleScreen ? GetRowHeight() : GetTitleHeight();
    mCloseButton->SetAnchors(kCloseButtonAnchors, 0.0f, 0.0f, side, GetTitleHeight());
    MarkForLayout(mCloseButton);
    mCloseButton->UpdateRect();
    mTitleTextRect.xMin = mCloseButton->GetRect().xMax;
}

void cWidgetDialogue::DrawBackdrop(cDrawList& list)
{
    UpdateRect();
    mFadeProgress = std::min(mFadeProgress + gFramePeriod, 1.0f);
    if ((mStyle & kDialogueDim) && cWidgetManager::GetInstance())
        cWidgetManager::GetInstance()->DimScreen(list, int32_t(mFadeProgress * kDimAlpha));
    if (mSlideProgress >= 1.0f)
        return;
    mSlideProgress = std::min(mSlideProgress + kSlideRate * gFramePeriod, 1.0f);
    if (slideKind != 1 && slideKind != 2)
        return;
    const float height = GetRect().yMax - GetRect().yMin;
    const float offset = height * (1.0f - mSlideProgress);
    cMatrix44 matrix = list.GetRenderer()->viewStack.Top();
    matrix.Row3.Y += slideKind == 1 ? offset : -offset;
    list.PushMatrix(matrix);
    mSlidePushed = true;
}

void cWidgetDialogue::DrawFrame(cDrawList& list)
{
    // The frame covers whatever was drawn before it.
    list.FlushAll();
    mFrameImage.Draw(mFrameImage.drawRect, list, false);
    if (!(mStyle & kDialogueTitleScreen))
    {
        list.fontHandle = titleFont;
        list.GetTextBatch().DrawTextInRect(mTitleTextRect, titleFont, list.depth, HouseColour::kDarkText,
                                           kTitleAlignment, GetName());
    }
    LayoutArrow();
    mArrowImage.Draw(mArrowImage.drawRect, list, false);
}

void cWidgetDialogue::LayoutArrow()
{
    if (!mAnchor || !mArrowDirty)
        return;
    const cRect& rect = GetRect();
    const cRect& anchor = mAnchor->GetRect();
    const float centre = (anchor.xMin + anchor.xMax) * 0.5f;
    cVector2 point = {centre, rect.yMin};
    if (mAttachSide == kAttachBelow)
    {
        mArrowImage.SetSprites(Sprite(kArrowBelow), Sprite(kArrowBelow), nullptr);
        mArrowImage.flags = kImageSnapBottom;
    }
    else if (mAttachSide == kAttachAbove)
    {
        mArrowImage.SetSprites(Sprite(kArrowAbove), Sprite(kArrowAbove), nullptr);
        mArrowImage.flags = kImageSnapTop;
        point.Y = rect.yMax - kArrowOverlap;
    }
    else
    {
        mArrowImage.SetSprites(nullptr, nullptr, nullptr);
    }
    mArrowImage.Layout({0.0f, 0.0f, 0.0f, 0.0f}, point);
    mArrowDirty = false;
}

bool cWidgetDialogue::Draw(cDrawList& list)
{
    DrawBackdrop(list);
    DrawFrame(list);
    EndSlide(list);
    return false;
}

void cWidgetDialogue::EndSlide(cDrawList& list)
{
    if (!mSlidePushed)
        return;
    list.FlushAll();
    list.PopMatrix();
    mSlidePushed = false;
}

// An anchored dialogue keeps every touch-down to itself: inside it goes to
// the children, outside it dismisses the dialogue.
bool cWidgetDialogue::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (!mAnchor || captor == this)
        return cWidget::HandleTouch(type, touch, captor);
    if (type != kTouchDown)
        return false;
    if (GetRect().Contains(touch->position))
    {
        cWidget::HandleTouch(type, touch, captor);
        return true;
    }
    OnDismiss(0);
    return true;
}
