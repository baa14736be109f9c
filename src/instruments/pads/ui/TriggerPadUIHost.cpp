#include "instruments/pads/ui/TriggerPadUIHost.h"

#include "base/Delegate.h"

namespace
{
cTriggerPadUIHost gQuietHost;
cTriggerPadUIHost* gHost = &gQuietHost;
} // namespace

void cTriggerPadBrowserRequest::AddFileType(const char* type, const cAtlasSprite* icon)
{
    if (fileTypeCount < kFileTypeCapacity)
        fileTypes[fileTypeCount++] = {type, icon};
}

void cTriggerPadBrowserRequest::AddPackageType(const char* type, const cAtlasSprite* icon)
{
    if (packageTypeCount < kPackageTypeCapacity)
        packageTypes[packageTypeCount++] = {type, icon};
}

void cTriggerPadUIHost::SetTitle(const char*) {}
void cTriggerPadUIHost::ShowStatusMessage(const char*, float) {}
cWidgetAlert* cTriggerPadUIHost::GetAlert() { return nullptr; }
cWidgetProgress* cTriggerPadUIHost::GetProgress() { return nullptr; }
bool cTriggerPadUIHost::ShowFileBrowser(const cTriggerPadBrowserRequest&, const cDelegate&) { return false; }
const char* cTriggerPadUIHost::GetLastFolder() { return ""; }
void cTriggerPadUIHost::SetLastFolder(const char*) {}
const char* cTriggerPadUIHost::GetProjectFolder() { return nullptr; }
bool cTriggerPadUIHost::HasSampler() { return false; }
void cTriggerPadUIHost::ShowSampler(cSample*, const cDelegate&) {}

cTriggerPadUIHost& GetTriggerPadUIHost() { return *gHost; }

void SetTriggerPadUIHost(cTriggerPadUIHost* host) { gHost = host ? host : &gQuietHost; }
