#include "mixer/ui/EffectRackNodeUI.h"

#include <algorithm>
#include <cmath>

#include "mixer/Effect.h"
#include "mixer/EffectRack.h"
#include "mixer/ui/EffectRackUI.h"
#include "mixer/ui/EffectSelectUI.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kFontSize = 10.0f;
constexpr float kSmallFontSize = 7.0f;
constexpr float kLabelGap = 2.0f;
constexpr float kHitExtension = 4.0f;
constexpr float kMarkerOffset = 8.0f;
constexpr uint32_t kLabelColour = 0xff141414u;
constexpr uint32_t kLabel1Colour = 0xff000000u;
constexpr uint32_t kLabel2Colour = 0xff323232u;
constexpr uint32_t kHoldColour = 0x00c8c8c8u;
constexpr float kHoldAlpha = 120.0f;
constexpr int kHoldEasePower = 5;
// The chooser's rectangle: centred on the strip on phones, on the screen
// otherwise, and kept this far inside the screen.
constexpr float kPhoneChooserWidth = 380.0f, kPhoneChooserHeight = 240.0f;
constexpr float kChooserWidth = 440.0f, kChooserHeight = 366.0f;
constexpr float kChooserDrop = 40.0f;
constexpr float kScreenInset = 20.0f;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

bool HasFlag(const cEffectRackNode* node, int32_t flag) { return (node->GetKind() & flag) != 0; }

cRect Lerp(const cRect& a, const cRect& b, float t)
{
    return {a.xMin + (b.xMin - a.xMin) * t, a.yMin + (b.yMin - a.yMin) * t, a.xMax + (b.xMax - a.xMax) * t,
            a.yMax + (b.yMax - a.yMax) * t};
}

float Shift(float low, float high, float screenLow, float screenHigh)
{
    if (low < screenLow)
        return screenLow - low;
    if (high > screenHigh)
        return screenHigh - high;
    return 0.0f;
}
} // namespace

cEffectRackNodeUI::cEffectRackNodeUI(cEffectRackUI* owner) : mOwner(owner)
{
    mFont.Select(kFontSize);
    mChooser = new cEffectSelectUI();
}

cEffectRackNodeUI::~cEffectRackNodeUI() { mChooser->Release(); }

void cEffectRackNodeUI::SetRack(cEffectRack* rack)
{
    mRack = rack;
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cEffectRackNodeUI::SelectNode(cEffectRackNode* node)
{
    mSelectedIndex = -1;
    for (size_t i = 0; node && i < mButtons.size(); ++i)
        if (mButtons[i].node == node)
            mSelectedIndex = int32_t(i);
}

void cEffectRackNodeUI::OnStateChange() { RebuildButtons(); }

void cEffectRackNodeUI::RebuildButtons()
{
    mHeldIndex = mSelectedIndex = mDragSource = mDragTarget = mDragLow = mDragHigh = -1;
    mDragging = false;
    mHoldTime = 0.0f;
    mButtons.clear();
    if (!mRack)
        return;
    const cRect& own = GetRect();
    const float stripWidth = own.xMax - own.xMin;
    const float height = Sprite(MixingDeskSprite::kSlotButton)->height;
    const float top = std::floor((own.yMin + own.yMax) * 0.5f - height * 0.5f + 0.5f);
    float x = own.xMin + kLeftMargin;
    for (cEffectRackNode* node = mRack->GetFirst(); node; node = node->GetNext())
    {
        cButton button = {};
        button.node = node;
        cEffect* effect = node->GetEffect();
        if (HasFlag(node, cEffectRackNode::kFlagEffect) && effect)
        {
            button.label1 = effect->GetPackage()->GetShortName();
            button.label2 = effect->GetPackage()->GetDisplayName();
        }
        else if (HasFlag(node, cEffectRackNode::kFlagEffect))
            button.label1 = "NO FX";
        else
            button.label1 = node->GetName().CStr();
        const bool end = HasFlag(node, cEffectRackNode::kFlagInput | cEffectRackNode::kFlagOutput);
        const float width =
            end ? mFont.GetTextWidth(button.label1.CStr()) : std::floor(stripWidth * kSlotWidthShare + 0.5f);
        button.rect = {x, top, x + width, top + height};
        button.connector = !HasFlag(node, cEffectRackNode::kFlagOutput);
        const cAtlasSprite* arrow = Sprite(MixingDeskSprite::kConnector);
        const float arrowX = std::floor(button.rect.xMax + kButtonGap * 0.5f - arrow->width * 0.5f + 0.5f);
        const float arrowY = std::floor((top + top + height) * 0.5f - arrow->height * 0.5f + 0.5f);
        button.connectorRect = {arrowX, arrowY, arrowX + arrow->width, arrowY + arrow->height};
        mButtons.push_back(button);
        x = button.rect.xMax + kButtonGap;
    }
    if (mButtons.empty())
        return;
    const float used = mButtons.back().rect.xMax - mButtons.front().rect.xMin;
    const float shift = std::trunc((stripWidth - used) * 0.5f) - kLeftMargin;
    for (cButton& button : mButtons)
    {
        button.rect.xMin += shift;
        button.rect.xMax += shift;
        button.connectorRect.xMin += shift;
        button.connectorRect.xMax += shift;
        button.hitRect = {button.rect.xMin - kHitExtension, button.rect.yMin, button.rect.xMax, button.rect.yMax};
    }
}

cRect cEffectRackNodeUI::ChooserRect()
{
    const cRect screen = cWidgetManager::GetInstance()->GetScreenRect();
    cRect rect;
    if (gDisplayMetrics.deviceClass == kDeviceClassPhone)
    {
        const cRect& own = GetRect();
        const float cx = (own.xMin + own.xMax) * 0.5f, cy = (own.yMin + own.yMax) * 0.5f;
        rect = {cx - kPhoneChooserWidth * 0.5f, cy - kPhoneChooserHeight * 0.5f, cx + kPhoneChooserWidth * 0.5f,
                cy + kPhoneChooserHeight * 0.5f};
    }
    else
    {
        const float cx = (screen.xMin + screen.xMax) * 0.5f;
        const float top = (screen.yMin + screen.yMax) * 0.5f + kChooserDrop - kChooserHeight * 0.5f;
        rect = {cx - kChooserWidth * 0.5f, top, cx + kChooserWidth * 0.5f, top + kChooserHeight};
    }
    rect = {std::round(rect.xMin), std::round(rect.yMin), std::round(rect.xMax), std::round(rect.yMax)};
    const float dx = Shift(rect.xMin, rect.xMax, screen.xMin + kScreenInset, screen.xMax - kScreenInset);
    const float dy = Shift(rect.yMin, rect.yMax, screen.yMin + kScreenInset, screen.yMax - kScreenInset);
    return {rect.xMin + dx, rect.yMin + dy, rect.xMax + dx, rect.yMax + dy};
}

// The buttons stand where the strip is; they are placed on the next pass.
void cEffectRackNodeUI::OnLayout()
{
    PlaceChooser();
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cEffectRackNodeUI::PlaceChooser()
{
    const cRect rect = ChooserRect();
    mChooser->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
    mChooser->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
}

void cEffectRackNodeUI::OpenChooser(cEffectRackNode* node, const cDelegate& result)
{
    PlaceChooser();
    mChooser->Show(mOwner, node, result);
}

intptr_t cEffectRackNodeUI::OnChooserResult(cEffectRackNode* node, cEffectPackage* package)
{
    if (node)
        mOwner->SetNodeEffect(node, package);
    mSelectedIndex = -1;
    return 0;
}

void cEffectRackNodeUI::CancelInput()
{
    mHeldIndex = mDragSource = mDragTarget = -1;
    mHoldTime = 0.0f;
    mDragging = false;
    mTouchId = -1;
}

int32_t cEffectRackNodeUI::HitButton(const cVector2& point) const
{
    for (size_t i = 0; i < mButtons.size(); ++i)
        if (mButtons[i].hitRect.Contains(point))
            return int32_t(i);
    return -1;
}

int32_t cEffectRackNodeUI::NearestButton(float x) const
{
    int32_t nearest = -1;
    float best = 0.0f;
    for (size_t i = 0; i < mButtons.size(); ++i)
    {
        const float distance = std::fabs(mButtons[i].rect.xMin - x);
        if (nearest < 0 || distance < best)
        {
            nearest = int32_t(i);
            best = distance;
        }
    }
    return nearest;
}

// The run of movable buttons holding the pressed one bounds where it may
// land; the node after the run (the output) is a place too.
void cEffectRackNodeUI::BeginDrag(int32_t index)
{
    GetMixingDeskUIHost().ShowStatusMessage("HOLD or DRAG FX chain", kHintSeconds);
    mDragSource = mDragTarget = index;
    const auto movable = [&](int32_t i) { return HasFlag(mButtons[i].node, cEffectRackNode::kFlagDraggable); };
    mDragLow = index;
    while (mDragLow > 0 && movable(mDragLow - 1))
        --mDragLow;
    mDragHigh = index;
    const int32_t last = int32_t(mButtons.size()) - 1;
    while (mDragHigh < last && movable(mDragHigh))
        ++mDragHigh;
}

bool cEffectRackNodeUI::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (captor != this && cWidget::HandleTouch(type, touch, captor))
        return true;
    if (type == kTouchDown)
    {
        if (captor == this || !HasFlags(kWidgetShown) || mTouchId >= 0 || mDragging)
            return false;
        const int32_t index = HitButton(touch->position);
        if (index < 0)
            return false;
        cEffectRackNode* node = mButtons[index].node;
        const bool slot = HasFlag(node, cEffectRackNode::kFlagEffect);
        const bool movable = HasFlag(node, cEffectRackNode::kFlagDraggable);
        if (!slot && !movable)
            return false;
        if (slot && mHeldIndex < 0)
        {
            mHeldIndex = index;
            mHoldTime = 0.0f;
        }
        if (movable)
            BeginDrag(index);
        mTouchId = touch->id;
        mDownPoint = touch->position;
        CaptureTouch(touch->id);
        return true;
    }
    if (captor != this || touch->id != mTouchId)
        return false;
    if (type == kTouchMove)
    {
        const int32_t candidate = NearestButton(touch->position.X);
        if (mDragging)
            mDragTarget = std::clamp(candidate, mDragLow, mDragHigh);
        else if (mDragSource >= 0 && std::fabs(touch->position.X - mDownPoint.X) > kDragDistance)
        {
            mDragging = true;
            mDragTarget = std::clamp(candidate, mDragLow, mDragHigh);
            mHeldIndex = -1;
            mHoldTime = 0.0f;
        }
        return true;
    }
    if (mDragging && mDragTarget != mDragSource)
        mOwner->MoveNode(mButtons[mDragSource].node, mButtons[mDragTarget].node);
    mDragging = false;
    mDragSource = mDragTarget = mHeldIndex = -1;
    mHoldTime = 0.0f;
    mTouchId = -1;
    return true;
}

void cEffectRackNodeUI::AdvanceHold()
{
    if (mHeldIndex < 0)
        return;
    mHoldTime += gFramePeriod;
    if (mHoldTime < kHoldSeconds)
        return;
    const int32_t index = mHeldIndex;
    CancelInputRecursive(false);
    mSelectedIndex = index;
    OpenChooser(mButtons[index].node, cDelegate(this, &cEffectRackNodeUI::OnChooserResult));
}

bool cEffectRackNodeUI::Draw(cDrawList& list)
{
    AdvanceHold();
    const cRect& own = GetRect();
    list.fontHandle = mFont;
    const cAtlasSprite* background = Sprite(MixingDeskSprite::kNodeStrip);
    list.DrawQuad(own, {background->u0, background->v0}, {background->u1, background->v1}, 0xffffffffu, 0);
    for (size_t i = 0; i < mButtons.size(); ++i)
        DrawButton(list, int32_t(i));
    if (mDragging && mDragTarget >= 0)
    {
        const cAtlasSprite* marker = Sprite(MixingDeskSprite::kInsertMarker);
        const cRect& target = mButtons[mDragTarget].rect;
        const float cx = target.xMin - kMarkerOffset, cy = (target.yMin + target.yMax) * 0.5f;
        const float left = std::floor(cx - marker->width * 0.5f + 0.5f);
        const float top = std::floor(cy - marker->height * 0.5f + 0.5f);
        list.DrawQuad({left, top, left + marker->width, top + marker->height}, {marker->u0, marker->v0},
                      {marker->u1, marker->v1}, 0xffffffffu, 0);
    }
    DrawHoldHighlight(list);
    return true;
}

void cEffectRackNodeUI::DrawButton(cDrawList& list, int32_t index)
{
    const cButton& button = mButtons[index];
    if (HasFlag(button.node, cEffectRackNode::kFlagEffect | cEffectRackNode::kFlagCallback))
    {
        const bool lit = index == mHeldIndex || index == mSelectedIndex || index == mDragSource;
        list.DrawNinePatch(button.rect, Sprite(lit ? MixingDeskSprite::kSlotButtonLit : MixingDeskSprite::kSlotButton),
                           nullptr, 0xffffffffu, true);
    }
    if (!mDragging && button.connector)
    {
        const cAtlasSprite* arrow = Sprite(MixingDeskSprite::kConnector);
        list.DrawQuad(button.connectorRect, {arrow->u0, arrow->v0}, {arrow->u1, arrow->v1}, 0xffffffffu, 0);
    }
    const float cx = (button.rect.xMin + button.rect.xMax) * 0.5f, cy = (button.rect.yMin + button.rect.yMax) * 0.5f;
    if (!button.label2.IsEmpty())
    {
        list.DrawTextSized(cx, cy - kLabelGap, kLabel1Colour, kTextAlignCentreX | kTextAlignBottom,
                           button.label1.CStr(), kFontSize);
        list.DrawTextSized(cx, cy, kLabel2Colour, kTextAlignCentreX | kTextAlignTop, button.label2.CStr(),
                           kSmallFontSize);
    }
    else
        list.DrawTextSized(cx, cy, kLabelColour, kTextAlignCentreX | kTextAlignCentreY, button.label1.CStr(),
                           kFontSize);
}

void cEffectRackNodeUI::DrawHoldHighlight(cDrawList& list)
{
    if (mHeldIndex < 0 || mHoldTime <= 0.0f)
        return;
    const float progress = std::min(1.0f, mHoldTime / kHoldSeconds);
    const float eased = std::pow(progress, float(kHoldEasePower));
    const cRect rect = Lerp(mButtons[mHeldIndex].rect, ChooserRect(), eased);
    const uint32_t alpha = uint32_t(progress * kHoldAlpha) << 24;
    list.FillRect(rect, alpha | kHoldColour);
}
