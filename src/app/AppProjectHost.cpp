#include "app/AppProjectHost.h"

#include "ui/WidgetManager.h"
#include "ui/WidgetProgress.h"

void cAppProjectHost::SetStatusText(const char* text) { cWidgetProgress::SetStatusText(text); }

void cAppProjectHost::SetProgress(float fraction)
{
    if (mOverlay)
        mOverlay->SetProgress(fraction);
}

bool cAppProjectHost::IsCancelPressed() { return mOverlay && mOverlay->IsStopRequested(); }

cCriticalSection* cAppProjectHost::GetFrameLock()
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    return ui ? ui->GetFrameLock() : nullptr;
}
