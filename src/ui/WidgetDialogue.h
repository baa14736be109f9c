#pragma once

#include <cstdint>

#include "render/FontHandle.h"
#include "render/Image.h"
#include "ui/Widget.h"

struct cAtlasSprite;
class cWidgetButton;

// Dialogue style bits; bits from 0x100 up belong to derived dialogues.
enum eDialogueStyle : int32_t
{
    kDialogueCloseButton = 0x1,
    kDialogueDim = 0x2,
    kDialogueFadedIn = 0x4,
    kDialogueTitleScreen = 0x10,
    kDialogueSongPositionTitle = 0x20,
};

enum eDialogueAttach : int32_t
{
    kAttachFree = 0,
    kAttachBelow = 1,
    kAttachAbove = 2,
};

// Makes the song-position screen that a dialogue of style 0x10 shows in its
// title bar; the main UI installs it. Without one no title screen is made.
class cDialogueTitleScreenHook
{
public:
    virtual ~cDialogueTitleScreenHook() = default;
    // A new screen holding the caller's reference.
    virtual cWidget* CreateTitleScreen(bool songPositionOption) = 0;
    virtual void SetTitleScreenText(cWidget* screen, const char* text, uint32_t colour) = 0;
};

// The base of every framed modal dialogue: a nine-patch frame with a title
// bar, an optional close button at its left end, an optional dim of the
// screen behind it while it fades in. Attached to an anchor widget it sits
// just below or above it with an arrow pointing at it, and a touch outside
// dismisses it. Shown by pushing it on the root modal container, hidden by
// popping it. The title is the widget's name. Main thread only.
class cWidgetDialogue : public cWidget
{
public:
    static constexpr float kDepthOffset = 0.2f;
    // The arrow keeps this far inside the dialogue's left and right edges.
    static constexpr float kArrowCornerMargin = 20.0f;

    explicit cWidgetDialogue(int32_t style);

    static void SetTitleScreenHook(cDialogueTitleScreenHook* hook);
    static cDialogueTitleScreenHook* GetTitleScreenHook();

    // The anchor is not owned; set before the dialogue is shown.
    void SetAnchor(cWidget* anchor, int32_t attachSide);
    cWidget* GetAnchor() const { return mAnchor; }
    int32_t GetAttachSide() const { return mAttachSide; }

    // Each show starts here: no slide, faded out (or in with style 4).
    void ResetAnimation();
    // Whether the dialogue is a layer of the root modal container.
    bool IsShown() const;

    void DrawBackdrop(cDrawList& list);
    void DrawFrame(cDrawList& list);

    // A null drawn sprite means the size sprite.
    void SetFrameSprites(const cAtlasSprite* frameSize, const cAtlasSprite* title, const cAtlasSprite* content,
                         const cAtlasSprite* frameDrawn, const cAtlasSprite* frameInner);
    // Left, top, right, bottom of the frame's stretchable middle.
    cRect GetFrameInsets() const;
    // Left, top, right, bottom of the content area inside the frame.
    cRect GetContentInsets() const;
    float GetTitleHeight() const;
    void SetTitleScreenText(const char* text);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;
    // 1 from the close button (or Escape), 0 from a touch outside an anchored
    // dialogue; the base does nothing.
    virtual void OnDismiss(int32_t fromCloseButton);

    int32_t GetStyle() const { return mStyle; }
    float GetFadeProgress() const { return mFadeProgress; }
    const cRect& GetTitleRect() const { return mTitleRect; }
    const cRect& GetContentRect() const { return mContentRect; }
    const cRect& GetTitleTextRect() const { return mTitleTextRect; }
    cWidgetButton* GetCloseButton() const { return mCloseButton; }
    cWidget* GetTitleScreen() const { return mTitleScreen; }
    const cImage& GetArrowImage() const { return mArrowImage; }

    int32_t slideKind = 0;
    cFontHandle titleFont;

protected:
    ~cWidgetDialogue() override;

    // Closes the slide-in transform the backdrop opened this frame, so what
    // follows is drawn where it stands.
    void EndSlide(cDrawList& list);
    // For something drawn at the title bar's left end; layout sets it again.
    void SetTitleTextLeft(float left) { mTitleTextRect.xMin = left; }

    int32_t mStyle;
    cImage mFrameImage;

private:
    void PlaceAtAnchor();
    void PlaceTitleScreen();
    void PlaceCloseButton();
    void LayoutArrow();
    intptr_t OnCloseClicked(intptr_t value, cWidgetButton* button);

    int32_t mAttachSide = kAttachFree;
    cWidget* mAnchor = nullptr;
    bool mArrowDirty = true;
    cImage mArrowImage;
    const cAtlasSprite* mTitleSprite;
    const cAtlasSprite* mContentSprite;
    cRect mTitleRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mContentRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect mTitleTextRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mSlideProgress = 0.0f;
    float mFadeProgress = 0.0f;
    bool mSlidePushed = false;
    cWidgetButton* mCloseButton = nullptr;
    cWidget* mTitleScreen = nullptr;
};

// The distances of an inner sprite's edges inside an outer one, in the atlas:
// left, top, right, bottom.
cRect SpriteInsets(const cAtlasSprite* outer, const cAtlasSprite* inner);
