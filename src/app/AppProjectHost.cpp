#include "app/AppProjectHost.h"

#include "ui/WidgetManager.h"

cCriticalSection* cAppProjectHost::GetFrameLock()
{
    cWidgetManager* ui = cWidgetManager::GetInstance();
    return ui ? ui->GetFrameLock() : nullptr;
}
