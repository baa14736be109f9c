#include "instruments/synth/ui/AnalogueSynthUIHost.h"

namespace
{
cAnalogueSynthUIHost gQuietHost;
cAnalogueSynthUIHost* gHost = &gQuietHost;
} // namespace

bool cAnalogueSynthUIHost::PromptName(const cKeyboardRequest&, const cDelegate&) { return false; }

cAnalogueSynthUIHost& GetAnalogueSynthUIHost() { return *gHost; }

void SetAnalogueSynthUIHost(cAnalogueSynthUIHost* host) { gHost = host ? host : &gQuietHost; }
