#include "mixer/ui/MixingDeskPanelCheek.h"

#include "mixer/ui/MixingDeskSprites.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"

namespace
{
constexpr float kFloor = -26.0f;
constexpr float kMasterTop = 0.0f;
constexpr float kChannelTop = 6.0f;
constexpr float kMeterWidth = 14.0f;
// The meter sits below the navigation button's reach.
constexpr float kMeterTopShare = 0.45f;
constexpr float kMeterMargin = 12.0f;

const cAtlasSprite* Cheek() { return &gTex8888AtlasTable[MixingDeskSprite::kCheek]; }
} // namespace

cMixingDeskPanelCheek::cMixingDeskPanelCheek(int32_t side) : mSide(side)
{
    mMeter.flags |= kMeterClipLEDs;
    SetMeterRange(true);
}

void cMixingDeskPanelCheek::SetMeterRange(bool master) { mMeter.SetRange(kFloor, master ? kMasterTop : kChannelTop); }

void cMixingDeskPanelCheek::SetMeterValues(float left, float right, bool clipLeft, bool clipRight)
{
    mValues[0] = left;
    mValues[1] = right;
    mClip[0] = clipLeft;
    mClip[1] = clipRight;
}

void cMixingDeskPanelCheek::OnLayout()
{
    const cRect& rect = GetRect();
    const float centre = (rect.xMin + rect.xMax) * 0.5f;
    const float top = rect.yMin + (rect.yMax - rect.yMin) * kMeterTopShare;
    mMeter.SetRect({centre - kMeterWidth * 0.5f, top, centre + kMeterWidth * 0.5f, rect.yMax - kMeterMargin});
}

bool cMixingDeskPanelCheek::Draw(cDrawList& list)
{
    list.DrawNinePatch(GetRect(), Cheek(), nullptr, 0xffffffffu, true);
    if (mSide == kLeft && mOpacity > 0)
        mMeter.Draw(mValues[0], mValues[1], list, mClip[0], mClip[1], mOpacity);
    return false;
}

void cMixingDeskPanelCheek::GetSizePreferences(cVector2* minimum, cVector2* preferred)
{
    *minimum = {Cheek()->width, 0.0f};
    *preferred = {Cheek()->width, 0.0f};
}
