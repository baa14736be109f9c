#include "ui/StatusBarHost.h"

namespace
{
cStatusBarHost* sHost = nullptr;
} // namespace

void SetStatusBarHost(cStatusBarHost* host) { sHost = host; }

cStatusBarHost* GetStatusBarHost() { return sHost; }
