#pragma once

#include "base/GenString.h"

#include <cstdint>

// Where a web view would show and the title of its page. Nothing displays pages
// on this platform; the popup that hosts a view only writes these values.
class cWebViewService
{
public:
    cWebViewService();
    ~cWebViewService();
    cWebViewService(const cWebViewService&) = delete;
    cWebViewService& operator=(const cWebViewService&) = delete;

    struct cViewRect
    {
        float x0, y0, x1, y1;
    };

    const cViewRect& GetRect() const { return mRect; }
    void SetRect(const cViewRect& rect) { mRect = rect; }
    const char* GetText() const { return mText.CStr(); }
    void SetText(const char* text) { mText = text; }

private:
    cViewRect mRect = {0, 0, 0, 0};
    cGenStringFixed<260> mText;
};

extern cWebViewService* gWebViewService;
