#include "ui/SetupPanel.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"

namespace
{
cSetupPanelHost* sHost = nullptr;
} // namespace

void cSetupPanel::SetHost(cSetupPanelHost* host) { sHost = host; }

cSetupPanelHost* cSetupPanel::GetHost() { return sHost; }

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
    if (sHost)
        sHost->SetStatusTitle(title);
}

void cSetupPanel::ShowStatusMessage(const char* text, float seconds, bool blink)
{
    if (sHost)
        sHost->ShowStatusMessage(text, seconds, blink);
}

cWidgetAlert* cSetupPanel::GetSharedAlert() { return sHost ? sHost->GetSharedAlert() : nullptr; }

cWidgetProgress* cSetupPanel::GetProgressOverlay() { return sHost ? sHost->GetProgressOverlay() : nullptr; }
