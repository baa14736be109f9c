#include "instruments/synth/ui/AnalogueSynthPanelCheek.h"

#include <algorithm>
#include <cmath>

#include "instruments/synth/ui/AnalogueSynthFactories.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/DrawList.h"
#include "ui/InputManager.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetButton.h"

namespace
{
constexpr int32_t kScaleToggle = 0;
constexpr int32_t kScrollToggle = 1;
constexpr int32_t kToggleStyle = 3;
constexpr int32_t kRepeatStart = 256;
constexpr int32_t kRepeatFirstSpeed = 20;
constexpr int32_t kRepeatTopSpeed = 80;
constexpr float kHitReach = 21.0f;
constexpr float kToggleMargin = 24.0f;
constexpr float kHeldGrowth = 3.0f;
constexpr float kEdgeOverlap = 6.0f;
constexpr uint32_t kDisabledArrow = 0xff808080u;

// An image of its own size centred at a point, on whole pixels.
cRect CentredRect(const cAtlasSprite* sprite, float x, float y)
{
    const float left = std::round(x - 0.5f * sprite->width);
    const float top = std::round(y - 0.5f * sprite->height);
    return {left, top, left + sprite->width, top + sprite->height};
}

cRect Union(const cRect& a, const cRect& b)
{
    return {std::min(a.xMin, b.xMin), std::min(a.yMin, b.yMin), std::max(a.xMax, b.xMax), std::max(a.yMax, b.yMax)};
}
} // namespace

cAnalogueSynthPanelCheek::cAnalogueSynthPanelCheek(cAnalogueSynthUI* owner, eSide side) : mOwner(owner), mSide(side)
{
    const bool left = side == kSideLeft;
    mCentreSprite = left ? kSynthLeftCheekCentre : kSynthRightCheekCentre;
    mUpperEdgeSprite = left ? kSynthLeftCheekUpperEdge : kSynthRightCheekUpperEdge;
    mLowerEdgeSprite = left ? kSynthLeftCheekLowerEdge : kSynthRightCheekLowerEdge;
    const int32_t entry = left ? kScrollToggle : kScaleToggle;
    cWidgetButton* toggle = CreateSynthButton(kButtonCycle, kToggleStyle);
    const int32_t off = left ? kSynthScrollToggleOff : kSynthScaleToggleOff;
    const int32_t on = left ? kSynthScrollToggleOn : kSynthScaleToggleOn;
    toggle->background.SetSprites(SynthSprite(off), SynthSprite(off), nullptr);
    toggle->litBackground.SetSprites(SynthSprite(on), SynthSprite(on), nullptr);
    toggle->SetTag(entry);
    toggle->clickDelegate.Bind(this, &cAnalogueSynthPanelCheek::OnToggle);
    mToggles[entry] = {1, toggle};
    AddChild(toggle);
}

cAnalogueSynthPanelCheek::~cAnalogueSynthPanelCheek()
{
    for (cToggle& toggle : mToggles)
        if (toggle.button)
            toggle.button->Release();
}

cWidgetButton* cAnalogueSynthPanelCheek::GetToggle() const
{
    return mToggles[mSide == kSideLeft ? kScrollToggle : kScaleToggle].button;
}

void cAnalogueSynthPanelCheek::SetArrowEnabled(int32_t direction, bool enabled)
{
    (direction == kUp ? mUpEnabled : mDownEnabled) = enabled;
}

void cAnalogueSynthPanelCheek::OnLayout()
{
    const cRect& rect = GetRect();
    cWidget* keyboard = mOwner->GetKeyboardPanel();
    keyboard->UpdateRect();
    const float keyboardTop = keyboard->GetRect().yMin;
    const float unit = kArrowSpacingMillimetres * GetDisplayMetrics().pixelsPerMillimetre;
    const float toggleSide = SynthSprite(kSynthCheekUpArrow)->height;
    const float x = 0.5f * (rect.xMin + rect.xMax);
    const float height = keyboardTop - rect.yMin;
    int32_t present = 0;
    for (const cToggle& toggle : mToggles)
        present += toggle.present;
    const int32_t count = 2 + present;
    const int32_t n = std::min(count, std::max(3, int32_t((height - 0.5f * unit - 0.2f * unit) / unit + 1.0f)));
    const float d = float(n - 1) + 0.7f;
    const float step = std::trunc(std::min(height / d, unit));
    const float topPad = std::min(0.5f * height / d, 0.5f * unit);
    const float bottomPad = std::min(std::trunc(0.2f * height / d), std::trunc(0.2f * unit));

    mUpRect = CentredRect(SynthSprite(kSynthCheekUpArrow), x, rect.yMin + topPad);
    mDownRect = CentredRect(SynthSprite(kSynthCheekDownArrow), x, rect.yMin + topPad + step);
    const float middle = 0.5f * (0.5f * (mUpRect.yMin + mUpRect.yMax) + 0.5f * (mDownRect.yMin + mDownRect.yMax));
    mCentreRect = CentredRect(SynthSprite(mCentreSprite), x, middle);

    float y = keyboardTop - bottomPad;
    int32_t position = 2;
    const float sideMargin = 0.5f * ((rect.xMax - rect.xMin) - toggleSide);
    for (cToggle& toggle : mToggles)
    {
        if (!toggle.present)
            continue;
        cWidgetButton* button = toggle.button;
        button->SetAnchors(kAnchorsAbsoluteRect, x - 0.5f * toggleSide, y - 0.5f * toggleSide, toggleSide,
                           toggleSide);
        button->SetVisible(position < n);
        button->touchMargins[0] = sideMargin;
        button->touchMargins[1] = kToggleMargin;
        button->touchMargins[2] = sideMargin;
        button->touchMargins[3] = std::min(kToggleMargin, keyboardTop - (y + 0.5f * toggleSide));
        y -= step;
        ++position;
    }

    const float edgeWidth = SynthSprite(mUpperEdgeSprite)->width;
    const float edgeLeft = mSide == kSideLeft ? rect.xMin : rect.xMax - edgeWidth;
    mUpperEdgeRect = {edgeLeft, rect.yMin, edgeLeft + edgeWidth, keyboardTop + kEdgeOverlap};
    mLowerEdgeRect = {edgeLeft, keyboardTop + kEdgeOverlap, edgeLeft + edgeWidth, rect.yMax};

    mUpHit = {rect.xMin - 1.0f, mUpRect.yMin - kHitReach, rect.xMax + 1.0f, middle};
    mDownHit = {rect.xMin - 1.0f, middle, rect.xMax + 1.0f, mDownRect.yMax + kHitReach};
    mTouchArea = Union(mUpHit, mDownHit);
}

void cAnalogueSynthPanelCheek::OnStateChange()
{
    if (cWidgetButton* scroll = mToggles[kScrollToggle].button)
        scroll->value = mOwner->IsKeyboardScrollEnabled() ? 1 : 0;
    if (cWidgetButton* scale = mToggles[kScaleToggle].button)
        scale->value = mOwner->GetKeyboardPanel()->IsScaleChooserShown() ? 1 : 0;
}

void cAnalogueSynthPanelCheek::OnToggle(int32_t value, cWidget* sender)
{
    cStatusBarHost* host = GetStatusBarHost();
    if (sender->GetTag() == kScrollToggle)
    {
        mOwner->SetKeyboardScrollFlag(value != 0);
        mOwner->GetPianoKeys()->SetPlayOnly(value == 0);
        if (cWidgetPianoKeys* perform = mOwner->GetPerformPianoKeys())
            perform->SetPlayOnly(value == 0);
        if (host)
        {
            cGenStringFixed<32> message;
            message.Printf("Keyboard scroll %s", value ? "ON" : "OFF");
            host->ShowStatusMessage(message.CStr());
        }
        return;
    }
    mOwner->GetKeyboardPanel()->ShowScaleChooser(value != 0);
    if (value && host)
        host->ShowStatusMessage("Select keyboard scale");
}

void cAnalogueSynthPanelCheek::CancelInput()
{
    mTouchState = kIdle;
    mArrow = kNoArrow;
}

int32_t cAnalogueSynthPanelCheek::ArrowAt(const cVector2& point) const
{
    if (mUpHit.Contains(point))
        return kArrowUp;
    if (mDownHit.Contains(point))
        return kArrowDown;
    return kNoArrow;
}

void cAnalogueSynthPanelCheek::SwipeCheck(const cVector2& point)
{
    const float dy = point.Y - mAnchor.Y;
    if (dy > kSwipeStep)
    {
        mArrow = kArrowDown;
        jumpDelegate.Invoke(int32_t(kDown));
    }
    else if (dy < -kSwipeStep)
    {
        mArrow = kArrowUp;
        jumpDelegate.Invoke(int32_t(kUp));
    }
    else
        return;
    mAnchor = point;
}

bool cAnalogueSynthPanelCheek::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (captor != this && cWidget::HandleTouch(type, touch, captor))
        return true;
    if (captor != this && (type != kTouchDown || !mTouchArea.Contains(touch->position)))
        return false;
    const cVector2 point = touch->position;
    switch (mTouchState)
    {
    case kIdle:
        if (type != kTouchDown)
            return false;
        CaptureTouch(touch->id);
        mAnchor = point;
        mArrow = ArrowAt(point);
        if (mArrow != kNoArrow)
        {
            mTouchState = kOnArrow;
            mRepeatAccumulator = kRepeatStart;
            mRepeatSpeed = kRepeatFirstSpeed;
            mRepeatCountdown = 0;
        }
        return true;
    case kOnArrow:
        if (type == kTouchUp)
            CancelInput();
        else if (std::fabs(point.Y - mAnchor.Y) > kSwipeStep)
        {
            SwipeCheck(point);
            mTouchState = kSwiping;
        }
        else if (const int32_t arrow = ArrowAt(point); arrow != mArrow)
        {
            // Sliding onto the other arrow starts its repeat afresh, without a step.
            mArrow = arrow;
            mRepeatAccumulator = 0;
            mRepeatSpeed = kRepeatFirstSpeed;
            mRepeatCountdown = 0;
        }
        return true;
    default:
        if (type == kTouchUp)
            CancelInput();
        else
            SwipeCheck(point);
        return true;
    }
}

void cAnalogueSynthPanelCheek::RepeatTick()
{
    if (mTouchState != kOnArrow || mArrow == kNoArrow || --mRepeatCountdown > 0)
        return;
    mRepeatCountdown = gFrameMultiple;
    if (mRepeatAccumulator >= kRepeatStart)
    {
        stepDelegate.Invoke(int32_t(mArrow == kArrowUp ? kUp : kDown));
        mRepeatAccumulator &= 0xff;
    }
    mRepeatSpeed = std::min(kRepeatTopSpeed, mRepeatSpeed + (6 * mRepeatSpeed) / 256 + 1);
    mRepeatAccumulator += mRepeatSpeed;
}

void cAnalogueSynthPanelCheek::DrawArrow(cDrawList& list, int32_t sprite, const cRect& rect, bool enabled,
                                         bool held) const
{
    const cAtlasSprite* image = SynthSprite(sprite);
    cRect shown = rect;
    if (held)
        shown.Grow(kHeldGrowth, kHeldGrowth, kHeldGrowth, kHeldGrowth);
    // The left cheek's arrows are the right cheek's, mirrored.
    const bool mirrored = mSide == kSideLeft;
    const cVector2 uv0 = {mirrored ? image->u1 : image->u0, image->v0};
    const cVector2 uv1 = {mirrored ? image->u0 : image->u1, image->v1};
    list.DrawQuad(shown, uv0, uv1, enabled ? SynthColour::kWhite : kDisabledArrow, 0);
}

bool cAnalogueSynthPanelCheek::Draw(cDrawList& list)
{
    RepeatTick();
    list.DrawThreePatchV(mUpperEdgeRect, SynthSprite(mUpperEdgeSprite), nullptr, SynthColour::kWhite);
    list.DrawThreePatchV(mLowerEdgeRect, SynthSprite(mLowerEdgeSprite), nullptr, SynthColour::kWhite);
    const cAtlasSprite* centre = SynthSprite(mCentreSprite);
    list.DrawQuad(mCentreRect, {centre->u0, centre->v0}, {centre->u1, centre->v1}, SynthColour::kWhite, 0);
    DrawArrow(list, kSynthCheekUpArrow, mUpRect, mUpEnabled, mArrow == kArrowUp);
    DrawArrow(list, kSynthCheekDownArrow, mDownRect, mDownEnabled, mArrow == kArrowDown);
    return false;
}
