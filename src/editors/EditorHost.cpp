#include "editors/EditorHost.h"

namespace
{
cEditorHost sHeadless;
cEditorHost* sHost = &sHeadless;
} // namespace

void cEditorHost::ShowStatusMessage(const char*, float) {}
void cEditorHost::SetStatusHint(const char*) {}
cWidgetAlert* cEditorHost::GetAlert() { return nullptr; }
cWidgetProgress* cEditorHost::GetProgress() { return nullptr; }
bool cEditorHost::ChooseMIDIFile(const cFileRequest&, const cDelegate&) { return false; }
void cEditorHost::OpenFolder(const char*) {}

cEditorHost& GetEditorHost() { return *sHost; }

void SetEditorHost(cEditorHost* host) { sHost = host ? host : &sHeadless; }
