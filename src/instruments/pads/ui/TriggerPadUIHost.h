#pragma once

#include <cstdint>

#include "base/GenString.h"

class cDelegate;
class cSample;
class cWidgetAlert;
class cWidgetProgress;
struct cAtlasSprite;

// One question for the shared file browser, as the pad editor asks it: a
// title, the folder the user cannot leave, where to start, what to list and
// how (open 1, save 2, sample picking 0x19). Icons belong to the atlas that
// lists them; the bank icon is a mono-atlas sprite.
struct cTriggerPadBrowserRequest
{
    static constexpr int32_t kFileTypeCapacity = 8;
    static constexpr int32_t kPackageTypeCapacity = 2;

    struct cType
    {
        const char* extension;
        const cAtlasSprite* icon;
    };

    void AddFileType(const char* extension, const cAtlasSprite* icon);
    void AddPackageType(const char* extension, const cAtlasSprite* icon);

    const char* title = "";
    const char* rootFolder = "";
    cGenStringFixed<260> path; // the start folder or file
    const char* extension = ""; // the default extension of a save
    const char* actionLabel = "";
    cType fileTypes[kFileTypeCapacity] = {};
    int32_t fileTypeCount = 0;
    cType packageTypes[kPackageTypeCapacity] = {};
    int32_t packageTypeCount = 0;
    uint32_t flags = 0;
};

// What the pad editor needs of the screens around it: the main screen's
// title and status message, the shared alert, progress overlay and file
// browser, the last sample folder, the open project and the sampler. The
// application installs its host at start-up; without one (tests, tools)
// nothing is shown, no project is open and there is no sampler. Main thread.
class cTriggerPadUIHost
{
public:
    virtual ~cTriggerPadUIHost() = default;

    virtual void SetTitle(const char* text);
    virtual void ShowStatusMessage(const char* text, float seconds);
    // Null while the screen has none.
    virtual cWidgetAlert* GetAlert();
    virtual cWidgetProgress* GetProgress();
    // Shows the browser and later calls the completion with (1 and the
    // chosen path, or 0 and ""); false, with no call, when there is none.
    virtual bool ShowFileBrowser(const cTriggerPadBrowserRequest& request, const cDelegate& completion);
    // The folder of the last sample loaded, with its separator; "" for none.
    virtual const char* GetLastFolder();
    virtual void SetLastFolder(const char* path);
    // The open project's folder in "Doc"; null while no project is open.
    virtual const char* GetProjectFolder();
    // The sampler edits a sample, or records one when given none, and calls
    // the result with (1 and the path of the sample it made or kept, or 0).
    virtual bool HasSampler();
    virtual void ShowSampler(cSample* sample, const cDelegate& result);
};

// The installed host, or one that does nothing.
cTriggerPadUIHost& GetTriggerPadUIHost();
// Null puts back the one that does nothing. The caller keeps the host alive.
void SetTriggerPadUIHost(cTriggerPadUIHost* host);
