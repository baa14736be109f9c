#include "sampler/SamplerPanelFrame.h"

#include <algorithm>
#include <cmath>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "sampler/SamplerPanelSprites.h"
#include "ui/HouseColours.h"
#include "ui/LayoutBuilders.h"
#include "ui/UIMetrics.h"
#include "ui/Widget.h"

namespace
{
constexpr float kMargin = 16.0f;
constexpr float kColumnGap = 24.0f;
constexpr float kRowGap = 10.0f;
// Room above a spin button for its caption, in standard text heights.
constexpr float kCaptionRoom = 1.6f;
// The two status lines stay close enough to read as one message.
constexpr float kMostStatusHeight = 140.0f;
constexpr uint32_t kDividerColour = 0xff5a5a5a;
constexpr uint32_t kStatusTextColour = HouseColour::kLightLabel;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }
} // namespace

void cSamplerPanelFrame::Layout(cWidget* panel, cWidget* rec, cWidget* const (&controls)[4])
{
    const cRect& rect = panel->GetRect();
    const float width = rect.xMax - rect.xMin, height = rect.yMax - rect.yMin;
    const float caption = std::round(GetTextSize(kTextSizeStandard) * kCaptionRoom);
    const cVector2 recSize = PreferredSizeOf(rec);
    PlaceInParent(rec, kMargin, kMargin + caption, recSize);

    float rowHeight = 0.0f;
    for (cWidget* control : controls)
        rowHeight = std::max(rowHeight, PreferredSizeOf(control).Y);
    const float left = kMargin + recSize.X + kColumnGap;
    for (int i = 0; i < 4; ++i)
    {
        const cVector2 preferred = PreferredSizeOf(controls[i]);
        const cVector2 size = {std::min(preferred.X, kColumnWidth), preferred.Y};
        const float x = left + float(i / 2) * (kColumnWidth + kColumnGap);
        const float rowTop = kMargin + caption + float(i % 2) * (rowHeight + kRowGap + caption);
        PlaceInParent(controls[i], x, rowTop + (rowHeight - size.Y) * 0.5f, size);
    }
    const float controlsBottom = kMargin + 2.0f * (caption + rowHeight) + kRowGap;
    const float dividerX = rect.xMin + left + kColumnWidth + kColumnGap * 0.5f;
    mDivider = {dividerX, rect.yMin + kMargin, dividerX + 1.0f, rect.yMin + controlsBottom};
    const float statusTop = std::max(controlsBottom, kMargin + caption + recSize.Y) + kMargin;
    mStatus = {rect.xMin + kMargin, rect.yMin + statusTop, rect.xMin + std::max(width - kMargin, kMargin),
               rect.yMin + std::clamp(height - kMargin, statusTop, statusTop + kMostStatusHeight)};
}

void cSamplerPanelFrame::Draw(cDrawList& list, const cRect& panelRect, const char* firstLine,
                              const char* secondLine) const
{
    namespace S = SamplerPanelSprite;
    list.DrawNinePatch(panelRect, Sprite(S::kBackground), Sprite(S::kBackgroundInner), 0xffffffffu, true);
    list.DrawNinePatch(mStatus, Sprite(S::kShadowRect), Sprite(S::kShadowRectInner), 0xffffffffu, true);
    list.FillRect(mDivider, kDividerColour);
    const float centreX = (mStatus.xMin + mStatus.xMax) * 0.5f;
    const float height = mStatus.yMax - mStatus.yMin;
    const float size = GetTextSize(kTextSizeAlert);
    const uint32_t centred = kTextAlignCentreX | kTextAlignCentreY;
    list.DrawTextSized(centreX, mStatus.yMin + height * 0.25f, kStatusTextColour, centred, firstLine, size);
    list.DrawTextSized(centreX, mStatus.yMin + height * 0.75f, kStatusTextColour, centred, secondLine, size);
}
