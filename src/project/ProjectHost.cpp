#include "project/ProjectHost.h"

std::atomic<int32_t> gSelectedInstrumentSlot{1};

namespace
{
cProjectHost sHeadless;
std::atomic<cProjectHost*> sHost{&sHeadless};
} // namespace

void cProjectHost::SetStatusText(const char*) {}
void cProjectHost::SetProgress(float) {}
bool cProjectHost::IsCancelPressed() { return false; }
cCriticalSection* cProjectHost::GetFrameLock() { return nullptr; }
void cProjectHost::ResetInstrumentSelector() {}
void cProjectHost::SelectPage(int32_t, int32_t) {}
void cProjectHost::GetRestorePage(int32_t&, int32_t&) {}
void cProjectHost::SetCurrentProjectPath(const char*) {}
void cProjectHost::ResetToSongView() {}

cProjectHost& GetProjectHost() { return *sHost.load(); }

void SetProjectHost(cProjectHost* host) { sHost.store(host ? host : &sHeadless); }
