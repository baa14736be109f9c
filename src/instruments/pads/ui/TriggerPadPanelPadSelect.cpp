#include "instruments/pads/ui/TriggerPadPanelPadSelect.h"

#include "instruments/pads/ui/TriggerPadControlPanel.h"
#include "instruments/pads/ui/TriggerPadLayout.h"
#include "instruments/pads/ui/TriggerPadSprites.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"

using namespace TriggerPadLayout;

namespace
{
constexpr uint32_t kIconColour = 0xffdcdcdc;
constexpr uint32_t kPromptColour = 0xffdcdcdc;
constexpr uint32_t kCentred = 0x11;
constexpr float kPromptSize = 8.0f;
} // namespace

cTriggerPadPanelPadSelect::cTriggerPadPanelPadSelect(cTriggerPadUI* owner) : cTriggerPadPanel(owner)
{
    SetName("TAP PAD TO EDIT");
    const cAtlasSprite* icon = &gTex8AtlasTable[TriggerPadSprite::kMonoBankIcon];
    mIcon.SetSprites(icon, icon, nullptr);
    mIcon.colour = kIconColour;
    const float buttonHeight = gTex8888AtlasTable[TriggerPadSprite::kPadButton].height;
    mBox = Column(3);
    mBox->AddItem(Gap(0.8f));
    mBox->AddItem(FixedGap(buttonHeight));
    mBox->AddItem(Gap(1.0f));
    mIconItem = new cLayoutItemSpacer(kPolicyFixed, kPolicyFixed, {icon->width, kUnitPixels},
                                      {icon->height, kUnitPixels});
    cLayoutLinear* column = Column(4);
    column->AddItem(Gap(0.2f));
    column->AddItem(mIconItem);
    column->AddItem(Gap(0.2f));
    column->AddItem(mBox);
    SetLayout(column);
}

cTriggerPadPanelPadSelect::~cTriggerPadPanelPadSelect() = default;

cRect cTriggerPadPanelPadSelect::GetBoxRect() const { return mBox->GetRect(); }

bool cTriggerPadPanelPadSelect::ShowsPrompt() const { return !mOwner->IsMuteMode(); }

bool cTriggerPadPanelPadSelect::Draw(cDrawList& list)
{
    const cRect iconRect = mIconItem->GetRect();
    mIcon.Layout(iconRect, {0.0f, 0.0f});
    {
        cScopedMaterial mono(list, mOwner->GetMonoMaterial());
        mIcon.Draw(mIcon.drawRect, list, false);
    }
    list.DrawNinePatch(GetBoxRect(), &gTex8888AtlasTable[TriggerPadSprite::kPanelBackground], nullptr, 0xffffffffu,
                       true);
    if (ShowsPrompt())
        list.GetTextBatch().DrawTextInRect(GetBoxRect(), cFontHandle::CopyWithSize(mOwner->GetCaptionFont(), kPromptSize),
                                           list.depth, kPromptColour, kCentred, GetName());
    return false;
}
