#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "editors/SongToolsUI.h"
#include "ui/WidgetProgress.h"

class cMIDIFileSong;
class cWidgetButton;

// The song tools' "MIDI File" tab: a standard MIDI file appended to the
// song, or the song written as one. Reading, adding and writing run on the
// job thread behind the progress overlay; the questions between them (the
// undo history, the tempo) go through the shared alert. One step at a time.
class cSongToolsPanelMIDIFile : public cSongToolsPanel
{
public:
    enum eMode : int32_t
    {
        kIdle = 0,
        kAskingHistory = 1,
        kReading = 2, // the browser, then the file read
        kAskingTempo = 3,
        kAdding = 4,
        kExporting = 5, // the browser, the file written, then the result
    };
    enum eTag : int32_t
    {
        kImport = 0,
        kExport = 1,
    };

    class cJobImportOpen : public cWidgetProgress::cJob
    {
    public:
        explicit cJobImportOpen(const char* path) : path(path) {}
        void Run(JobQueue::cJobQueue* queue) override;

        cGenStringFixed<260> path;
        cGenStringFixed<128> error;
        cMIDIFileSong* song = nullptr;
    };

    class cJobImport : public cWidgetProgress::cJob
    {
    public:
        explicit cJobImport(cMIDIFileSong* song) : song(song) {}
        void Run(JobQueue::cJobQueue* queue) override;

        cMIDIFileSong* song; // the import takes it over
        bool result = false;
    };

    class cJobExport : public cWidgetProgress::cJob
    {
    public:
        cJobExport(const char* path, const char* shownPath, const char* projectName)
            : path(path), shownPath(shownPath), projectName(projectName)
        {
        }
        void Run(JobQueue::cJobQueue* queue) override;

        cGenStringFixed<260> path;
        cGenStringFixed<260> shownPath;
        cGenStringFixed<128> projectName;
        cGenStringFixed<128> error;
        bool result = false;
    };

    static constexpr const char* kFolder = "User/MIDI Files";
    static constexpr float kImportedSeconds = 5.0f;

    explicit cSongToolsPanelMIDIFile(cSongToolsUI* dialogue);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    int32_t GetMode() const { return mMode; }
    cWidgetButton* GetButton(int32_t tag) const { return tag == kImport ? mImport : mExport; }
    const char* GetPath() const { return mPath.CStr(); }

    // (panel) after an import or export that worked.
    cDelegate importedDelegate;
    cDelegate exportedDelegate;

protected:
    ~cSongToolsPanelMIDIFile() override;

private:
    intptr_t OnButton(intptr_t value, cWidgetButton* button);
    void StartImport();
    void OpenImportBrowser();
    void StartExport();
    intptr_t OnHistoryAnswer(int32_t button, cWidget* alert);
    intptr_t OnFileChosen(int32_t result, const void* choice);
    void RunJob(cWidgetProgress::cJob* job, int32_t flags, const char* title, const char* status);
    intptr_t OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);
    void FileRead(cJobImportOpen* job);
    intptr_t OnTempoAnswer(int32_t button, cWidget* alert);
    void UseFileTempo();
    void AddEvents();
    void EventsAdded(bool result);
    void FileWritten(const cJobExport* job);
    intptr_t OnExportAnswer(int32_t button, cWidget* alert);
    void ShowFailure(const char* title, const char* line);
    const char* FileName() const;

    cMIDIFileSong* mSong = nullptr;
    cGenStringFixed<260> mPath;
    cGenStringFixed<260> mShownPath;
    int32_t mMode = kIdle;
    int32_t mSongLength = 0;
    cWidgetButton* mImport;
    cWidgetButton* mExport;
};
