#include "mixer/ui/MixingDeskUIHost.h"

namespace
{
cMixingDeskUIHost gQuietHost;
cMixingDeskUIHost* gHost = &gQuietHost;
} // namespace

void cMixingDeskUIHost::SetTitle(const char*) {}

void cMixingDeskUIHost::ShowStatusMessage(const char*, float) {}

cWidgetAlert* cMixingDeskUIHost::GetAlert() { return nullptr; }

bool cMixingDeskUIHost::ShowChainBrowser(const cChainBrowserRequest&, const cDelegate&) { return false; }

void cMixingDeskUIHost::ShowInstrumentPage(cInstrument*) {}

cMixingDeskUIHost& GetMixingDeskUIHost() { return *gHost; }

void SetMixingDeskUIHost(cMixingDeskUIHost* host) { gHost = host ? host : &gQuietHost; }
