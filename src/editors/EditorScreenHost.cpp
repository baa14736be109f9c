#include "editors/EditorScreenHost.h"

namespace
{
cEditorScreenHost* gHost = nullptr;
} // namespace

void SetEditorScreenHost(cEditorScreenHost* host) { gHost = host; }

cEditorScreenHost* GetEditorScreenHost() { return gHost; }

void ShowEditorStatusMessage(const char* text)
{
    if (gHost)
        gHost->ShowStatusMessage(text);
}

void SetEditorHintText(const char* text)
{
    if (gHost)
        gHost->SetHintText(text);
}

cWidgetAlert* GetEditorAlert() { return gHost ? gHost->GetAlert() : nullptr; }
