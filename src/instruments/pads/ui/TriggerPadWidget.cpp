#include "instruments/pads/ui/TriggerPadWidget.h"

#include <cmath>

#include "audio/Transport.h"
#include "base/ProjectModified.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/ControlHelpers.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"
#include "ui/WidgetManager.h"

namespace
{
constexpr int32_t kGridSize = 4;
constexpr int32_t kNoPad = -1;
// Scan codes of the rows, top row first: 1-4, then the first four letters
// of the top, middle and bottom letter rows.
constexpr int32_t kRowScanCodes[kGridSize] = {2, 16, 30, 44};

constexpr uint32_t kMuteWordId = cTriggerPad::kClassSet | (cTriggerPadSet::kKindMuteWord << 8);
constexpr uint32_t kSoundingPadsId = cTriggerPad::kClassSoundingPads;
constexpr int32_t kMutedAlpha = 255;
constexpr int32_t kMuteModeAlpha = 70;
constexpr uint32_t kPhoneOutline = 0x00646464;
constexpr uint32_t kOutline = 0xff969696;
constexpr uint32_t kEditedOutline = 0xff202020;

uint32_t PadSetId(uint32_t kind, int32_t pad, int32_t parameter)
{
    return cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(kind, pad, parameter));
}

int32_t PadOfCell(int32_t column, int32_t row) { return column + kGridSize * row; }

int32_t ClampCell(float value) { return ClampTo(int32_t(value), 0, kGridSize - 1); }
} // namespace

int32_t cTriggerPadWidget::PadOfScanCode(int32_t scanCode)
{
    if (scanCode < 0 || scanCode >= kKeyMapSize)
        return kNoPad;
    for (int32_t rowFromTop = 0; rowFromTop < kGridSize; ++rowFromTop)
    {
        const int32_t column = scanCode - kRowScanCodes[rowFromTop];
        if (column >= 0 && column < kGridSize)
            return PadOfCell(column, kGridSize - 1 - rowFromTop);
    }
    return kNoPad;
}

cTriggerPadWidget::cTriggerPadWidget(cTriggerPadUI* owner)
    : mOwner(owner), mHeldTouches(kHeldCapacity), mHeldKeys(kHeldCapacity)
{
    SetName("Pads");
    ModifyFlags(kWidgetAcceptsKeys, 0, false);
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
    {
        mTiles[pad].padIndex = pad;
        mTiles[pad].numberText.Printf("%d", int(pad + 1));
    }
}

cTriggerPadWidget::~cTriggerPadWidget() = default;

cTriggerPad* cTriggerPadWidget::Module() const { return mOwner ? mOwner->GetModule() : nullptr; }

// ------------------------------------------------------------------- events

void cTriggerPadWidget::PostNoteOn(cAudioEvent& event, int32_t pad)
{
    cTriggerPadInstrument* instrument = mOwner->GetInstrument();
    event = cAudioEvent();
    event.type = kAudioEventNoteOn;
    event.slot = uint8_t(instrument ? instrument->GetSlot() : 0);
    event.SetNote(uint8_t(kFirstNote + pad), uint8_t(mOwner->GetVelocity()));
    event.wordB = MakeVoiceId(kVoiceSourceUser);
    Module()->PostEvent(event);
}

void cTriggerPadWidget::PostNoteOff(cAudioEvent& event)
{
    event.type = kAudioEventNoteOff;
    if (cTriggerPad* module = Module())
        module->PostEvent(event);
}

void cTriggerPadWidget::ToggleMute(int32_t pad)
{
    MarkProjectModified();
    mMuteMask ^= 1u << pad;
    const bool muted = (mMuteMask >> pad) & 1u;
    if (cTriggerPad* module = Module())
        module->PostEvent(MakeSetIntEvent(PadSetId(cTriggerPadSet::kKindMuteBit, pad, 0), muted ? 1 : 0));
}

// --------------------------------------------------------------------- touch

void cTriggerPadWidget::CellAt(const cVector2& point, int32_t& column, int32_t& row)
{
    const cRect& rect = GetRect();
    row = ClampCell((rect.yMax - point.Y) / (rect.yMax - rect.yMin) * float(kGridSize));
    column = ClampCell((point.X - rect.xMin) / (rect.xMax - rect.xMin) * float(kGridSize));
}

cTriggerPadWidget::tTouchNode* cTriggerPadWidget::FindTouch(int32_t id) const
{
    for (tTouchNode* node = mHeldTouches.First(); node; node = node->next)
        if (node->value.touchId == id)
            return node;
    return nullptr;
}

cTriggerPadWidget::tKeyNode* cTriggerPadWidget::FindKey(int32_t scanCode) const
{
    for (tKeyNode* node = mHeldKeys.First(); node; node = node->next)
        if (node->value.scanCode == scanCode)
            return node;
    return nullptr;
}

bool cTriggerPadWidget::PressTouch(cTouch* touch, int32_t column, int32_t row)
{
    CaptureTouch(touch->id);
    const int32_t pad = PadOfCell(column, row);
    if (!mOwner->HandlePadSelect(pad))
        return true;
    // A finger beyond the pool is held but plays nothing.
    tTouchNode* node = mHeldTouches.Take();
    if (!node)
        return true;
    cHeldTouch& held = node->value;
    held.touchId = touch->id;
    held.column = column;
    held.row = row;
    held.pad = pad;
    held.muteMode = mOwner->IsMuteMode() ? 1 : 0;
    if (held.muteMode)
        ToggleMute(pad);
    else
        PostNoteOn(held.event, pad);
    return true;
}

// A finger sliding in mute mode toggles each pad it passes along its row or
// column once; a diagonal step toggles only the pad it lands on.
void cTriggerPadWidget::ToggleAlong(const cHeldTouch& held, int32_t column, int32_t row)
{
    if (column == held.column && row != held.row)
    {
        const int32_t step = row > held.row ? 1 : -1;
        for (int32_t r = held.row + step; r != row + step; r += step)
            ToggleMute(PadOfCell(column, r));
    }
    else if (row == held.row && column != held.column)
    {
        const int32_t step = column > held.column ? 1 : -1;
        for (int32_t c = held.column + step; c != column + step; c += step)
            ToggleMute(PadOfCell(c, row));
    }
    else
    {
        ToggleMute(PadOfCell(column, row));
    }
}

void cTriggerPadWidget::MoveTouch(tTouchNode* node, int32_t column, int32_t row)
{
    cHeldTouch& held = node->value;
    const int32_t pad = PadOfCell(column, row);
    if (pad == held.pad)
        return;
    if (held.muteMode)
    {
        ToggleAlong(held, column, row);
    }
    else
    {
        PostNoteOff(held.event);
        PostNoteOn(held.event, pad);
    }
    held.pad = pad;
    held.column = column;
    held.row = row;
}

bool cTriggerPadWidget::HandleTouch(int32_t type, cTouch* touch, cWidget* captor)
{
    if (!Module() || !HasFlags(kWidgetShown))
        return false;
    if (captor != this && (type != kTouchDown || !GetRect().Contains(touch->position)))
        return false;
    int32_t column = 0, row = 0;
    CellAt(touch->position, column, row);
    if (type == kTouchDown)
        return PressTouch(touch, column, row);
    tTouchNode* node = FindTouch(touch->id);
    if (!node)
        return true;
    if (type == kTouchMove)
    {
        MoveTouch(node, column, row);
    }
    else if (type == kTouchUp)
    {
        if (!node->value.muteMode)
            PostNoteOff(node->value.event);
        mHeldTouches.Release(node);
    }
    return true;
}

// ----------------------------------------------------------------------- keys

bool cTriggerPadWidget::HandleKey(const cKeyEvent* event)
{
    if (!HasFlags(kWidgetTakesKeys) || !Module() || event->character != -1)
        return false;
    const int32_t pad = PadOfScanCode(event->scanCode);
    if (pad == kNoPad)
        return false;
    if (event->action == 1)
    {
        if (tKeyNode* node = mHeldKeys.Take())
        {
            cHeldKey& held = node->value;
            held.scanCode = event->scanCode;
            held.pad = pad;
            held.muteMode = mOwner->IsMuteMode() ? 1 : 0;
            if (held.muteMode)
                ToggleMute(pad);
            else
                PostNoteOn(held.event, pad);
        }
    }
    else if (event->action == 0)
    {
        if (tKeyNode* node = FindKey(event->scanCode))
        {
            if (!node->value.muteMode)
                PostNoteOff(node->value.event);
            mHeldKeys.Release(node);
        }
    }
    return true;
}

// No pad keeps sounding for a release that will never come.
void cTriggerPadWidget::CancelInput()
{
    while (tTouchNode* node = mHeldTouches.First())
    {
        if (!node->value.muteMode)
            PostNoteOff(node->value.event);
        mHeldTouches.Release(node);
    }
    while (tKeyNode* node = mHeldKeys.First())
    {
        if (!node->value.muteMode)
            PostNoteOff(node->value.event);
        mHeldKeys.Release(node);
    }
}

// ------------------------------------------------------------------ refresh

void cTriggerPadWidget::OnStateChange()
{
    cTriggerPad* module = Module();
    if (!module)
        return;
    module->WaitForEvents();
    mMuteMask = uint32_t(module->GetParamInt(kMuteWordId));
    const cTriggerPadSet& set = module->GetActiveSet();
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
    {
        cTriggerPadTile& tile = mTiles[pad];
        tile.bus = module->GetParamInt(PadSetId(cTriggerPadSet::kKindPad, pad, cTriggerPadData::kParamBus));
        tile.glow = 0.0f;
        tile.SetName(set.pads[pad].name.CStr(), module->GetSample(pad) == nullptr);
    }
}

// Each tile sits 4 pixels below its cell.
void cTriggerPadWidget::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = (rect.xMax - rect.xMin) / float(kGridSize);
    const float height = (rect.yMax - rect.yMin) / float(kGridSize);
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
    {
        const float x = rect.xMin + float(pad % kGridSize) * width;
        const float y = rect.yMax - float(pad / kGridSize + 1) * height + 4.0f;
        mTiles[pad].SetRect(x, y, x + width, y + height);
    }
}

bool cTriggerPadWidget::Draw(cDrawList& list)
{
    cTriggerPad* module = Module();
    if (!module)
        return true;
    const uint32_t sounding = uint32_t(module->GetParamInt(kSoundingPadsId));
    uint32_t outline = kOutline;
    int32_t edited = kNoPad;
    if (GetDisplayMetrics().deviceClass == kDeviceClassPhone)
    {
        const int32_t blink = cWidgetManager::GetInstance() ? cWidgetManager::GetInstance()->GetBlinkAlpha() : 0;
        outline = kPhoneOutline | (uint32_t(blink * 170 / 255 + 80) << 24);
    }
    else
    {
        edited = mOwner->GetEditedPad();
    }
    const bool editTab = mOwner->IsEditTabOn(), muteMode = mOwner->IsMuteMode();
    const cAtlasSprite* frame = &gTex8888AtlasTable[TriggerPadSprite::kPadOutline];
    const float grow = frame->width * 0.5f - 1.0f;
    for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
    {
        cTriggerPadTile& tile = mTiles[pad];
        if (editTab)
        {
            cRect around = tile.GetLitImage().layoutRect;
            around.Grow(grow, grow, grow, grow);
            list.DrawNinePatch(around, frame, nullptr, pad == edited ? kEditedOutline : outline, false);
        }
        const bool muted = (mMuteMask >> pad) & 1u;
        tile.Draw(list, (sounding >> pad) & 1u, muted ? kMutedAlpha : muteMode ? kMuteModeAlpha : 0);
    }
    if (gTransport.eraseKeys.load(std::memory_order_relaxed))
    {
        const cRect& rect = GetRect();
        DrawRecordBlinkMarker(list, rect.xMin + 5.0f, rect.yMin + 10.0f);
    }
    return false;
}
