#include "sampler/EffectPanelEndCheeks.h"

#include <algorithm>
#include <cmath>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "sampler/SamplerEffectsSprites.h"
#include "ui/NavButtonSprites.h"
#include "ui/WidgetNavButtonUpDown.h"

namespace
{
// The meter shows -26 dB up to full scale, the clip level.
constexpr float kMeterFloor = -26.0f;
constexpr float kMeterTop = 0.0f;
constexpr float kButtonTop = 12.0f;
// The buttons' arrows point across the cheek, as the mixing desk's do.
constexpr int32_t kArrowFlip = 1;
constexpr int32_t kOpaque = 255;

const cAtlasSprite& Sprite(int index) { return gTex8888AtlasTable[index]; }
} // namespace

cEffectPanelEndCheeks::cEffectPanelEndCheeks() : mPageButton(new cWidgetNavButtonUpDown())
{
    SetName("EndCheeks");
    mPageButton->arrowFlip = kArrowFlip;
    AddChild(mPageButton);
    namespace S = SamplerEffectsSprite;
    const cAtlasSprite& strip = Sprite(S::kMeterStrip);
    for (cMeterBar& bar : mMeter.bars)
        bar.Init(&strip, std::max(1, int32_t(strip.height) / kMeterSegments), mMeter.flags | kMeterBackground);
    mMeter.flags |= kMeterClipLEDs;
    mMeter.SetRange(kMeterFloor, kMeterTop);
    mMeter.SetClipLEDs(&Sprite(S::kMeterHousing), &Sprite(S::kClipMarkerLeft), &Sprite(S::kClipMarkerRight),
                       &Sprite(S::kClipLed), 0.0f);
}

cEffectPanelEndCheeks::~cEffectPanelEndCheeks() { mPageButton->Release(); }

float cEffectPanelEndCheeks::GetCheekWidth() { return Sprite(SamplerEffectsSprite::kCheek).width; }

void cEffectPanelEndCheeks::SetLevels(float left, float right)
{
    mLevels[0] = left;
    mLevels[1] = right;
}

void cEffectPanelEndCheeks::OnLayout()
{
    const cRect& rect = GetRect();
    const float width = GetCheekWidth();
    mLeftCheek = {rect.xMin, rect.yMin, rect.xMin + width, rect.yMax};
    mRightCheek = {rect.xMax - width, rect.yMin, rect.xMax, rect.yMax};

    const cAtlasSprite& body = Sprite(NavButtonSprite::kBackground);
    const float room = std::max(0.0f, rect.yMax - rect.yMin - kButtonTop);
    const float buttonLeft = std::floor(mRightCheek.xMin + (width - body.width) * 0.5f);
    mPageButton->SetAnchors(kAnchorsAbsoluteRect, buttonLeft, rect.yMin + kButtonTop, body.width,
                            std::min(body.height, room));
    mPageButton->ModifyFlags(kWidgetRectAndLayoutDirty, 0, false);

    // Centred in the cheek, the LEDs' housing above the bars, all of it
    // kept the inset away from the cheek's ends.
    const cAtlasSprite& housing = Sprite(SamplerEffectsSprite::kMeterHousing);
    const float length = Sprite(SamplerEffectsSprite::kMeterStrip).height;
    const float left = std::round(mLeftCheek.xMin + (width - housing.width) * 0.5f);
    const float highest = mLeftCheek.yMin + kMeterInset + housing.height;
    const float lowest = std::max(highest, mLeftCheek.yMax - kMeterInset);
    const float centred = (mLeftCheek.yMin + mLeftCheek.yMax - length + housing.height) * 0.5f;
    const float top = std::round(std::clamp(centred, highest, std::max(highest, lowest - length)));
    const float bottom = std::round(std::min(top + length, lowest));
    mMeter.SetRect({left, top, left + housing.width, bottom});
}

void cEffectPanelEndCheeks::FollowClip(int32_t side)
{
    if (mLevels[side] > 1.0f)
        mClipHold[side] = kClipHoldFrames;
    else if (mClipHold[side] > 0)
        --mClipHold[side];
}

bool cEffectPanelEndCheeks::Draw(cDrawList& list)
{
    const cAtlasSprite* cheek = &Sprite(SamplerEffectsSprite::kCheek);
    list.DrawThreePatchV(mLeftCheek, cheek, nullptr, 0xffffffffu);
    list.DrawThreePatchV(mRightCheek, cheek, nullptr, 0xffffffffu);
    FollowClip(0);
    FollowClip(1);
    mMeter.Draw(mLevels[0], mLevels[1], list, mClipHold[0] > 0, mClipHold[1] > 0, kOpaque);
    return false;
}
