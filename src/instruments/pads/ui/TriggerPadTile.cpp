#include "instruments/pads/ui/TriggerPadTile.h"

#include <cmath>

#include "instruments/pads/ui/TriggerPadSprites.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/ControlHelpers.h"
#include "ui/UIMetrics.h"

namespace
{
constexpr uint32_t kBusTints[] = {0xffffdcdc, 0xffc8ffdc, 0xffdcdcff};
constexpr uint32_t kBusTextColours[] = {0xff864f22, 0xff36672f, 0xff2a248d};
// The same hues light enough to read on the editor's dark panels (over 4.5:1).
constexpr uint32_t kBusCaptionColours[] = {0xffffc396, 0xff96dc8c, 0xffaaaaff};
constexpr int32_t kBusLitSprites[] = {TriggerPadSprite::kPadLitBus1, TriggerPadSprite::kPadLitBus2,
                                      TriggerPadSprite::kPadLitBus3};
constexpr int32_t kStretched = 0x33;
// A pad keeps its drawn size unless the cell is a fifth larger or smaller.
constexpr float kSnapFraction = 0.2f;
// Each frame without a hit keeps three quarters of the glow.
constexpr float kGlowFade = 0.25f;
constexpr float kShowNormalBelow = 0.95f;
constexpr float kShowLitAbove = 0.05f;

bool IsBus(int32_t bus) { return bus >= 0 && bus < 3; }

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

float RoundEdge(float value) { return std::floor(value + 0.5f); }
} // namespace

uint32_t cTriggerPadTile::BusTint(int32_t bus) { return IsBus(bus) ? kBusTints[bus] : 0xffffffffu; }

uint32_t cTriggerPadTile::BusTextColour(int32_t bus) { return IsBus(bus) ? kBusTextColours[bus] : 0xffdcdcdcu; }

uint32_t cTriggerPadTile::BusCaptionColour(int32_t bus)
{
    return IsBus(bus) ? kBusCaptionColours[bus] : 0xffdcdcdcu;
}

cTriggerPadTile::cTriggerPadTile()
{
    mNameFont.Select(GetTextSize(kTextSizeTiny));
    mNumberFont.Select(GetTextSize(kTextSizeStandard));
    mNormal.SetSprites(Sprite(TriggerPadSprite::kPad), nullptr, nullptr);
    mNormal.alignment = kStretched;
    mLit.alignment = kStretched;
    ApplyBus();
}

void cTriggerPadTile::ApplyBus()
{
    if (!IsBus(bus))
        return;
    mNormal.colour = kBusTints[bus];
    const cAtlasSprite* lit = Sprite(kBusLitSprites[bus]);
    if (mLit.sprite != lit)
    {
        mLit.SetSprites(lit, nullptr, nullptr);
        mLit.toleranceX = mNormal.toleranceX;
        mLit.toleranceY = mNormal.toleranceY;
        mLit.Layout(mImageRect, {0.0f, 0.0f});
    }
}

void cTriggerPadTile::SetRect(float left, float top, float right, float bottom)
{
    left = RoundEdge(left);
    top = RoundEdge(top);
    right = RoundEdge(right);
    bottom = RoundEdge(bottom);
    const bool phone = GetDisplayMetrics().deviceClass == kDeviceClassPhone;
    const float inset = phone ? 0.0f : 6.0f;
    mImageRect = {left + 8.0f + inset, top + FontSizeOf(mNameFont) + 6.0f + inset, right - 8.0f - inset,
                  bottom - 8.0f - inset};
    const cAtlasSprite* pad = mNormal.sprite;
    mNormal.toleranceX = mLit.toleranceX = kSnapFraction * pad->width;
    mNormal.toleranceY = mLit.toleranceY = kSnapFraction * pad->height;
    mNormal.Layout(mImageRect, {0.0f, 0.0f});
    mLit.Layout(mImageRect, {0.0f, 0.0f});

    mNameWidth = (right - left) - 8.0f;
    mNamePosition = {RectCentre(mImageRect).X, top + 2.0f};
    const cAtlasSprite* mute = Sprite(TriggerPadSprite::kMuteIcon);
    mMuteRect = CentredRect(RectCentre(mImageRect), mute->width, mute->height);
    const float numberInset = phone ? 4.0f : 8.0f;
    mNumberPosition = {mImageRect.xMin + numberInset, mImageRect.yMin + numberInset};
    mDirty = true;
}

void cTriggerPadTile::SetName(const char* text, bool sampleMissing)
{
    if (text && *text)
    {
        mName.AssignCStr(text);
        mNameColour = sampleMissing ? kMissingNameColour : kNameColour;
    }
    else
    {
        mName.AssignCStr(kEmptyName);
        mNameColour = kNameColour;
    }
    mDirty = true;
}

void cTriggerPadTile::ShortenName()
{
    mDisplayName.Assign(mName);
    mNameFont.TruncateStart(mDisplayName, mNameWidth);
    mDisplayWidth = mNameFont.GetTextWidth(mDisplayName.CStr());
    ++mShortenCount;
    mDirty = false;
}

void cTriggerPadTile::Draw(cDrawList& list, bool lit, int32_t indicatorAlpha)
{
    if (mDirty)
        ShortenName();
    glow = lit ? 1.0f : glow - glow * kGlowFade;
    ApplyBus();
    mLit.colour = (uint32_t(glow * 255.0f) << 24) | 0x00ffffffu;
    if (glow < kShowNormalBelow)
        mNormal.Draw(mNormal.drawRect, list, false);
    if (glow > kShowLitAbove)
        mLit.Draw(mLit.drawRect, list, false);
    if (indicatorAlpha != 0)
    {
        const cAtlasSprite* mute = Sprite(TriggerPadSprite::kMuteIcon);
        list.DrawQuad(mMuteRect, {mute->u0, mute->v0}, {mute->u1, mute->v1},
                      kMuteColour | (uint32_t(indicatorAlpha & 0xff) << 24), 0);
    }
    cTextBatch& text = list.GetTextBatch();
    if (!numberText.IsEmpty())
        text.DrawText(mNumberPosition.X, mNumberPosition.Y, list.depth, mNumberFont, kNumberColour, numberText.CStr());
    if (!mDisplayName.IsEmpty())
        text.DrawText(mNamePosition.X - mDisplayWidth * 0.5f, mNamePosition.Y, list.depth, mNameFont, mNameColour,
                      mDisplayName.CStr());
}
