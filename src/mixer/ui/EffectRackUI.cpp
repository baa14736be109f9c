#include "mixer/ui/EffectRackUI.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/AudioLock.h"
#include "base/ProjectModified.h"
#include "mixer/Effect.h"
#include "mixer/EffectRack.h"
#include "mixer/ui/EffectRackNodeUI.h"
#include "mixer/ui/EffectSelectUI.h"
#include "mixer/ui/EffectUI.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr float kIconInset = 12.0f;
constexpr float kTouchGrowth = 6.0f;
constexpr float kStripGap = 3.0f;
constexpr float kTextOffset = 7.0f;
constexpr float kTitleSize = 10.0f;
constexpr float kHintSize = 8.0f;
constexpr uint32_t kPlaceholderTextColour = 0xffb4b4b4u;
constexpr uint32_t kSeparatorColour = 0xff000000u;
constexpr float kFractionFloor = 1e-6f;

bool IsSlot(const cEffectRackNode* node) { return (node->GetKind() & cEffectRackNode::kFlagEffect) != 0; }

const cAtlasSprite& Sprite(int index) { return gTex8888AtlasTable[index]; }

float StripButtonHeight() { return Sprite(MixingDeskSprite::kSlotButton).height; }

bool Overlaps(const cRect& a, float top, float bottom) { return a.yMax > top && a.yMin < bottom; }

cMatrix44 VerticalShift(float dy) { return {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, dy, 0, 1}}; }
} // namespace

cEffectRackUI::cEffectRackUI()
{
    mEditorArea = new cWidget();
    mEditorArea->SetName("PanelScroller");
    AddChild(mEditorArea);
    mNodeStrip = new cEffectRackNodeUI(this);
    mNodeStrip->SetName("NodeUI");
    AddChild(mNodeStrip);
    mFont.Select(kTitleSize);
}

cEffectRackUI::~cEffectRackUI()
{
    mNodeStrip->Release();
    mEditorArea->Release();
}

void cEffectRackUI::SetRack(cEffectRack* rack)
{
    CancelInputRecursive(true);
    mRack = rack;
    if (mNodeStrip->GetRack() != rack)
        mNodeStrip->SetRack(rack);
    std::vector<cEffectUI*> pool;
    while (cWidget* child = mEditorArea->GetFirstChild())
    {
        auto* editor = static_cast<cEffectUI*>(child);
        editor->CancelInputRecursive(true);
        if (int32_t(pool.size()) < kPoolCapacity)
        {
            editor->AddRef();
            pool.push_back(editor);
        }
        mEditorArea->RemoveChild(editor);
    }
    mSlotCount = 0;
    for (cEffectRackNode* node = rack ? rack->GetFirst() : nullptr; node; node = node->GetNext())
    {
        if (!IsSlot(node))
            continue;
        ++mSlotCount;
        cEffect* effect = node->GetEffect();
        if (!effect)
            continue;
        auto reused = std::find_if(pool.begin(), pool.end(),
                                   [&](cEffectUI* editor) { return editor->GetPackage() == effect->GetPackage(); });
        cEffectUI* editor = nullptr;
        if (reused != pool.end())
        {
            editor = *reused;
            pool.erase(reused);
        }
        else
            editor = effect->GetPackage()->CreateEditor();
        if (editor)
            AddEditor(editor, node);
    }
    UpdateLastRow();
    for (cEffectUI* editor : pool)
        editor->Release();
    mTargetRow = 0;
    mScrollPosition = 0.0f;
    mCurrentRow = 0;
    LayoutEditors();
    mScrollFraction = 0.0f;
    mNodeStrip->ModifyFlags(kWidgetStateDirty, 0, false);
}

// Takes over the caller's reference.
void cEffectRackUI::AddEditor(cEffectUI* editor, cEffectRackNode* node)
{
    editor->SetEffect(node->GetEffect(), 0);
    mEditorArea->AddChild(editor);
    editor->ModifyFlags(kWidgetNoScreenClip, 0, true);
    editor->Release();
}

cEffectUI* cEffectRackUI::FindEditor(const void* effect) const
{
    if (!effect)
        return nullptr;
    for (cWidget* child = mEditorArea->GetFirstChild(); child; child = child->GetNext())
        if (static_cast<cEffectUI*>(child)->GetEffect() == effect)
            return static_cast<cEffectUI*>(child);
    return nullptr;
}

void cEffectRackUI::UpdateLastRow()
{
    mLastRow = std::max(0, (mSlotCount + mColumns - 1) / mColumns - mVisibleRows);
    mTargetRow = std::clamp(mTargetRow, 0, mLastRow);
}

void cEffectRackUI::SetTargetRow(int32_t row) { mTargetRow = std::clamp(row, 0, mLastRow); }

void cEffectRackUI::OnLayout()
{
    const cRect& own = GetRect();
    const float width = own.xMax - own.xMin, height = own.yMax - own.yMin;
    mColumns = width > kTwoColumnsAbove ? 2 : 1;
    mVisibleRows = std::max(0, int32_t(std::floor((height - (StripButtonHeight() + kStripGap)) / kRowHeight)));
    const float areaHeight = float(mVisibleRows) * kRowHeight + 1.0f;
    mEditorArea->SetAnchors(kAnchorsAbsoluteRect, own.xMin, own.yMin, width, areaHeight);
    mEditorArea->UpdateRect();
    mNodeStrip->SetAnchors(kAnchorsAbsoluteRect, own.xMin, own.yMin + areaHeight, width,
                           std::max(0.0f, height - areaHeight));
    UpdateLastRow();
    LayoutEditors();
}

// Without a rack there is nothing to place: no placeholders, no lines.
void cEffectRackUI::LayoutEditors()
{
    mPlaceholderCount = 0;
    mSeparatorCount = 0;
    if (!mRack)
        return;
    const cRect& area = mEditorArea->GetRect();
    const cRect& own = GetRect();
    mSeparators[mSeparatorCount++] = {area.xMin, area.yMin, area.xMax, area.yMin + 1.0f};
    const float w = (own.xMax - own.xMin) / float(mColumns);
    float y = area.yMin - float(mCurrentRow) * kRowHeight + 1.0f;
    int32_t column = 0, slotNumber = 1;
    for (cEffectRackNode* node = mRack->GetFirst(); node; node = node->GetNext())
    {
        if (!IsSlot(node))
            continue;
        const float offset = column == 0 ? 0.0f : float(column) * (w + 1.0f);
        const cRect cell = {std::floor(area.xMin + offset + 0.5f), std::floor(y + 0.5f),
                            std::floor(area.xMin + offset + (column == 0 ? w : w - 1.0f) + 0.5f),
                            std::floor(y + kCellHeight + 0.5f)};
        PlaceCell(node, slotNumber, cell);
        ++slotNumber;
        if (++column == mColumns)
        {
            column = 0;
            y += kRowHeight;
        }
    }
}

void cEffectRackUI::PlaceCell(cEffectRackNode* node, int32_t slotNumber, const cRect& cell)
{
    if (cEffectUI* editor = FindEditor(node->GetEffect()))
    {
        editor->SetAnchors(kAnchorsAbsoluteRect, cell.xMin, cell.yMin, cell.xMax - cell.xMin, cell.yMax - cell.yMin);
        editor->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);
    }
    else if (!node->GetEffect() && mPlaceholderCount < kMaxSlots)
    {
        const cAtlasSprite& icon = Sprite(MixingDeskSprite::kEmptySlot);
        cPlaceholder& placeholder = mPlaceholders[mPlaceholderCount++];
        placeholder.node = node;
        placeholder.slotNumber = slotNumber;
        placeholder.colour = kPlaceholderColour;
        placeholder.iconRect = {cell.xMin + kIconInset, cell.yMin + kIconInset, cell.xMin + kIconInset + icon.width,
                                cell.yMin + kIconInset + icon.height};
        placeholder.touchRect = {placeholder.iconRect.xMin - kTouchGrowth, placeholder.iconRect.yMin - kTouchGrowth,
                                 placeholder.iconRect.xMax + kTouchGrowth, placeholder.iconRect.yMax + kTouchGrowth};
        placeholder.centre = {(cell.xMin + cell.xMax) * 0.5f, (cell.yMin + cell.yMax) * 0.5f};
    }
    if (mSeparatorCount < kMaxSeparators)
        mSeparators[mSeparatorCount++] = {cell.xMin, cell.yMax, cell.xMax, cell.yMax + 1.0f};
}

void cEffectRackUI::SetNodeEffect(cEffectRackNode* node, cEffectPackage* package)
{
    cEffect* old = node->GetEffect();
    if (old && old->GetPackage() == package)
        return;
    cEffect* effect = package ? package->CreateEffect() : nullptr;
    // A package that cannot make its effect leaves the slot as it was.
    if (package && !effect)
        return;
    if (cEffectUI* editor = FindEditor(old))
    {
        editor->SetEffect(nullptr, 0);
        mEditorArea->RemoveChild(editor);
    }
    node->SetEffect(effect, true);
    if (effect)
        if (cEffectUI* editor = package->CreateEditor())
            AddEditor(editor, node);
    LayoutEditors();
    mNodeStrip->ModifyFlags(kWidgetStateDirty, 0, false);
    MarkProjectModified();
}

void cEffectRackUI::MoveNode(cEffectRackNode* node, cEffectRackNode* before)
{
    if (!mRack || node->GetNext() == before || node == before)
        return;
    mRack->MoveNodeBefore(node, before);
    LayoutEditors();
    mNodeStrip->ModifyFlags(kWidgetStateDirty, 0, false);
    MarkProjectModified();
}

void cEffectRackUI::SetScrollPosition(float position, bool force)
{
    const int32_t row = int32_t(std::floor(position));
    mScrollPosition = position;
    const bool rowChanged = row != mCurrentRow;
    mCurrentRow = row;
    mScrollFraction = position - float(row);
    if (mScrollFraction < kFractionFloor)
        mScrollFraction = 0.0f;
    if (force || rowChanged)
        LayoutEditors();
}

intptr_t cEffectRackUI::OnPlaceholderChooserResult(cEffectRackNode* node, cEffectPackage* package)
{
    for (int32_t i = 0; i < mPlaceholderCount; ++i)
        mPlaceholders[i].colour = kPlaceholderColour;
    if (node)
        SetNodeEffect(node, package);
    mNodeStrip->SelectNode(nullptr);
    return 0;
}

void cEffectRackUI::AdvanceScroll()
{
    const float target = float(mTargetRow);
    if (mScrollPosition == target)
        return;
    const float step = std::fabs(target - mScrollPosition) * (4.0f * gFramePeriod) + 2.0f * gFramePeriod;
    const float position = mScrollPosition < target ? std::min(target, mScrollPosition + step)
                                                    : std::max(target, mScrollPosition - step);
    SetScrollPosition(position, false);
}

bool cEffectRackUI::Draw(cDrawList& list)
{
    AdvanceScroll();
    const float offset = -(mScrollFraction * kRowHeight);
    const cRect& area = mEditorArea->GetRect();
    const float bandTop = area.yMin - offset, bandBottom = area.yMax - offset;
    for (cWidget* child = mEditorArea->GetFirstChild(); child; child = child->GetNext())
    {
        child->UpdateRect();
        child->SetVisible(Overlaps(child->GetRect(), bandTop, bandBottom));
    }
    // Rows partly out of the area stay inside it, even at rest: a short
    // screen cuts the last row, which must not show through the strip below.
    const bool shifted = std::fabs(offset) > 0.5f;
    const bool clipped = list.PushClipRect(area);
    if (shifted)
        list.PushTransform(VerticalShift(offset));
    DrawPlaceholders(list, offset);
    for (int32_t i = 0; i < mSeparatorCount; ++i)
        if (Overlaps(mSeparators[i], bandTop, bandBottom + 1.0f))
            list.FillRect(mSeparators[i], kSeparatorColour);
    if (mColumns == 2)
    {
        const float middle = std::floor(area.xMin + (area.xMax - area.xMin) * 0.5f + 0.5f);
        list.FillRect({middle, area.yMin, middle + 1.0f, area.yMax}, kSeparatorColour);
    }
    mEditorArea->DrawTree(list);
    if (shifted)
        list.PopMatrix();
    if (clipped)
        list.PopClipRect();
    mNodeStrip->DrawTree(list);
    return true;
}

void cEffectRackUI::DrawPlaceholders(cDrawList& list, float offset)
{
    const cRect& area = mEditorArea->GetRect();
    const cAtlasSprite* icon = &Sprite(MixingDeskSprite::kEmptySlot);
    list.fontHandle = mFont;
    for (int32_t i = 0; i < mPlaceholderCount; ++i)
    {
        const cPlaceholder& placeholder = mPlaceholders[i];
        if (!Overlaps(placeholder.iconRect, area.yMin - offset - kRowHeight, area.yMax - offset + kRowHeight))
            continue;
        list.DrawQuad(placeholder.iconRect, {icon->u0, icon->v0}, {icon->u1, icon->v1}, placeholder.colour, 0);
        list.DrawTextF(placeholder.centre.X, placeholder.centre.Y - kTextOffset, kTitleSize, kPlaceholderTextColour,
                       kTextAlignCentreX | kTextAlignCentreY, "%d. NO FX", placeholder.slotNumber);
        list.DrawTextSized(placeholder.centre.X, placeholder.centre.Y + kTextOffset, kPlaceholderTextColour,
                           kTextAlignCentreX | kTextAlignCentreY,
                           "Hold a button on the effect chain to manage effects", kHintSize);
    }
}

// The editors take touches first; a press on an empty slot's icon opens the
// chooser for that slot.
bool cEffectRackUI::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!HasFlags(kWidgetShown))
        return false;
    if (cWidget::HandleTouch(type, touch, captor))
        return true;
    if (type != kTouchDown || !mRack)
        return false;
    const float offset = -(mScrollFraction * kRowHeight);
    const cVector2 point = {touch->position.X, touch->position.Y - offset};
    for (int32_t i = 0; i < mPlaceholderCount; ++i)
    {
        cPlaceholder& placeholder = mPlaceholders[i];
        if (!placeholder.touchRect.Contains(point) || !mEditorArea->GetRect().Contains(touch->position))
            continue;
        mNodeStrip->SelectNode(placeholder.node);
        placeholder.colour = kPlaceholderPressedColour;
        mNodeStrip->OpenChooser(placeholder.node, cDelegate(this, &cEffectRackUI::OnPlaceholderChooserResult));
        return true;
    }
    return false;
}
