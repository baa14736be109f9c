#pragma once
#include <cstdint>

#include "base/GenString.h"

class cDelegate;
class cSample;
class cWidgetAlert;
struct cAtlasSprite;
struct cKeyboardRequest;

// One question for the shared file browser, as the synthesizer editor asks
// it: a title, the folder the user cannot leave, where to start, one file
// type and its icon, and the browser's flags (open 1, copy into the project
// 8, audition 0x10).
struct cSynthBrowserRequest
{
    const char* title = "";
    const char* rootFolder = "";
    cGenStringFixed<260> path;
    const char* fileType = "";
    const cAtlasSprite* fileIcon = nullptr;
    uint32_t flags = 0;
};

// What the synthesizer editor needs of the screens around it: the on-screen
// text keyboard for names, the shared file browser and alert, the last
// sample folder and the sampler page. The application installs its host at start-up;
// without one (tests, tools) nothing is shown, there is no last folder and
// no sampler. Main thread.
class cAnalogueSynthUIHost
{
public:
    virtual ~cAnalogueSynthUIHost() = default;

    // Opens the keyboard; the completion is called once as (result, const
    // char* text), result 2 when the text was confirmed. False, calling
    // nothing, when no keyboard can open.
    virtual bool PromptName(const cKeyboardRequest& request, const cDelegate& completion);
    // Shows the browser and later calls the completion with (1 and the
    // chosen path, or 0 and ""); false, with no call, when there is none.
    virtual bool ShowFileBrowser(const cSynthBrowserRequest& request, const cDelegate& completion);
    // The shared alert; null while the screen has none.
    virtual cWidgetAlert* GetAlert();
    // The folder of the last sample loaded, with its separator; "" for none.
    virtual const char* GetLastFolder();
    virtual void SetLastFolder(const char* path);
    // The sampler edits the sample, or records one when recording is
    // allowed, and calls the completion with (1 and the sample it holds, or
    // 0 and null). Without a sampler page REC and EDIT stay disabled.
    virtual bool HasSampler();
    virtual void ShowSampler(cSample* sample, bool record, const cDelegate& completion);
};

// The installed host, or one that does nothing.
cAnalogueSynthUIHost& GetAnalogueSynthUIHost();
// Null puts back the one that does nothing. The caller keeps the host alive.
void SetAnalogueSynthUIHost(cAnalogueSynthUIHost* host);
