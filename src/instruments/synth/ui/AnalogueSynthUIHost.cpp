#include "instruments/synth/ui/AnalogueSynthUIHost.h"

namespace
{
cAnalogueSynthUIHost gQuietHost;
cAnalogueSynthUIHost* gHost = &gQuietHost;
} // namespace

bool cAnalogueSynthUIHost::PromptName(const cKeyboardRequest&, const cDelegate&) { return false; }
bool cAnalogueSynthUIHost::ShowFileBrowser(const cSynthBrowserRequest&, const cDelegate&) { return false; }

cWidgetAlert* cAnalogueSynthUIHost::GetAlert() { return nullptr; }

const char* cAnalogueSynthUIHost::GetLastFolder() { return ""; }

void cAnalogueSynthUIHost::SetLastFolder(const char*) {}

bool cAnalogueSynthUIHost::HasSampler() { return false; }

void cAnalogueSynthUIHost::ShowSampler(cSample*, bool, const cDelegate&) {}

cAnalogueSynthUIHost& GetAnalogueSynthUIHost() { return *gHost; }

void SetAnalogueSynthUIHost(cAnalogueSynthUIHost* host) { gHost = host ? host : &gQuietHost; }
