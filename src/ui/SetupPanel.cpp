#include "ui/SetupPanel.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/StatusBarHost.h"

cSetupPanel::~cSetupPanel() = default;

bool cSetupPanel::Draw(cDrawList& list)
{
    DrawBackground(list);
    return false;
}

void cSetupPanel::DrawBackground(cDrawList& list)
{
    list.DrawNinePatch(GetRect(), &gTex8888AtlasTable[kBackgroundSprite], &gTex8888AtlasTable[kBackgroundInnerSprite],
                       0xffffffffu, true);
}

void cSetupPanel::SetStatusTitle(const char* title)
{
    if (cStatusBarHost* bar = GetStatusBarHost())
        bar->SetTitleText(title);
}
