#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "ui/SetupPanel.h"
#include "ui/WidgetProgress.h"

struct cAtlasSprite;
class cProject;
class cWidgetButton;

// A page for developers: a profiler switch, all notes off, a listing of the
// loaded samples, a plain browse of the documents, and a SoundFont loader
// that says it cannot load one. No screen makes it. Its buttons do nothing
// while no project is open. Main thread only.
class cSetupPanelDebug : public cSetupPanel
{
public:
    enum : int32_t
    {
        kProfiler = 0,
        kNoteKill = 1,
        kSamples = 2,
        kFiles = 3,
        kSoundFont = 4,
        kButtonCount = 5,
    };

    // What the page is browsing for.
    enum : int32_t
    {
        kBrowseIdle = -1,
        kBrowseDone = 0,
        kBrowseFiles = 1,
        kBrowseSoundFont = 2,
    };

    static constexpr float kLoadedMessageSeconds = 2.5f;
    static constexpr int32_t kBrowserResultChosen = 1;

    // A question for the shared file browser.
    struct cBrowseRequest
    {
        const char* title;
        const char* rootFolder;
        const char* startFolder;
        const char* fileType; // "" for every file
        const cAtlasSprite* fileIcon;
        int32_t flags;
    };

    // The shared file browser, as the page asks it: the completion is called
    // with (result, chosen "Doc" path); result 1 means a file was chosen.
    class cFileChooser
    {
    public:
        virtual ~cFileChooser() = default;
        virtual void Browse(const cBrowseRequest& request, const cDelegate& completion) = 0;
    };

    // Runs behind the progress overlay for the SoundFont chosen.
    class cLoadSoundFont : public cWidgetProgress::cJob
    {
    public:
        cLoadSoundFont(cProject* project, const char* path);
        // Nothing here reads SoundFont files, so the load fails and says so.
        void Run(JobQueue::cJobQueue* queue) override;

        cProject* const project;
        cGenStringFixed<260> path;
        bool success = false;
        cGenStringFixed<128> errorText;
    };

    cSetupPanelDebug();

    // The main UI installs the browser; without one Files and SoundFont do nothing.
    static void SetFileChooser(cFileChooser* chooser);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetButton* GetButton(int32_t tag) const { return mButtons[tag]; }
    int32_t GetBrowseState() const { return mBrowseState; }

    void OnBrowserDone(int32_t result, const char* path);

protected:
    ~cSetupPanelDebug() override;

private:
    cWidgetButton* AddButton(const char* label, int32_t mode, int32_t tag, float x, float y);
    void OnButton(int32_t lit, cWidgetButton* button);
    void Browse(int32_t state, const cBrowseRequest& request);
    void StartLoadSoundFont(cProject* project, const char* path);
    void OnLoadSoundFontDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);
    void ShowLoadFailure(const char* name, const char* reason);

    cWidgetButton* mButtons[kButtonCount] = {};
    int32_t mBrowseState = kBrowseIdle;
};
