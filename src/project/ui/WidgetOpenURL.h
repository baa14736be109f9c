#pragma once

#include <cstdint>
#include <string>

#include "base/GenString.h"
#include "ui/Widget.h"
#include "ui/WidgetProgress.h"

class cFileBrowserHost;
class cWidgetFileBrowser;

// Takes a file the program was asked to open (a project archive, a MIDI
// file or a WAV sample), asks where in the user's folders it goes with a
// file browser of its own and copies it there behind a progress overlay of
// its own. One file at a time; other types are refused. Main thread only,
// the copy on the job thread.
class cWidgetOpenURL : public cWidget
{
public:
    class cJobCopyFile : public cWidgetProgress::cJob
    {
    public:
        cJobCopyFile(const std::string& source, const std::string& destination);
        void Run(JobQueue::cJobQueue* queue) override;

        std::string sourcePath;
        std::string destinationPath;
        cGenStringFixed<128> errorText;
        bool success = false;
    };

    explicit cWidgetOpenURL(cFileBrowserHost* host);

    // True when the import was offered: the file exists, its type is known,
    // nothing else is being imported and the keyboard is closed.
    bool OpenFile(const char* path);
    // Closes the importer; deletes nothing.
    void Cancel();

    void OnStateChange() override;

    int32_t GetState() const { return mState; }
    const char* GetHandedFile() const { return mHandedFile.c_str(); }
    cWidgetFileBrowser* GetBrowser() const { return mBrowser; }
    cWidgetProgress* GetProgress() const { return mProgress; }

protected:
    ~cWidgetOpenURL() override;

private:
    intptr_t OnBrowserDone(int32_t result, cWidgetFileBrowser* browser);
    intptr_t OnCopyDone(cJobCopyFile* job, cWidgetProgress* overlay);
    void ReportCopied();
    void ReportFailure(const cJobCopyFile& job);

    cFileBrowserHost* mHost;
    // -1 idle, 0 waiting for the browser or the copy.
    int32_t mState = -1;
    std::string mHandedFile;
    // Where in "Doc" the user chose to copy it.
    cGenStringFixed<260> mChosenPath;
    cWidgetFileBrowser* mBrowser;
    cWidgetProgress* mProgress;
};
