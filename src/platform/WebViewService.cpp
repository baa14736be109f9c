#include "platform/WebViewService.h"

cWebViewService* gWebViewService = nullptr;

cWebViewService::cWebViewService()
{
    gWebViewService = this;
}

cWebViewService::~cWebViewService()
{
    if (gWebViewService == this)
        gWebViewService = nullptr;
}
