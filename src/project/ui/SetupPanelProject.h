#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "ui/WidgetProgress.h"

class cProject;
namespace Zip
{
struct sProgress;
}

// The project page of the setup screen. For now it holds the background
// jobs its buttons start behind the progress overlay: loading a project
// folder or an exported ".qpk" archive, saving, and exporting an archive.
// Each job runs once on the job thread; its starter reads the result fields
// in the completion and deletes it.
class cSetupPanelProject
{
public:
    // Loads a project folder into the project, or unpacks an archive into a
    // new folder beside it ("Song.qpk" into "Song.prj", or "Song-02.prj"
    // when that is taken) and loads that.
    class cJobLoadProject : public cWidgetProgress::cJob
    {
    public:
        cJobLoadProject(cProject* project, const cGenString& path);
        void Run(JobQueue::cJobQueue* queue) override;

        cProject* project;
        cGenStringFixed<260> path; // the unpacked folder after an archive loaded
        cGenStringFixed<128> errorText;
        uint8_t nameChanged = 0;
        uint8_t result = 0;

    private:
        bool Unpack();
    };

    // Saves the project into a folder: its own, or a new one ("Save As").
    class cJobSaveProject : public cWidgetProgress::cJob
    {
    public:
        cJobSaveProject(cProject* project, const cGenString& path);
        void Run(JobQueue::cJobQueue* queue) override;

        cProject* project;
        cGenStringFixed<260> path;
        cGenStringFixed<128> errorText;
        uint8_t result = 0;
    };

    // Exports the project into a new work folder beside the chosen archive,
    // packs the folder into the archive and deletes the folder.
    class cJobExportProject : public cWidgetProgress::cJob
    {
    public:
        cJobExportProject(cProject* project, const cGenString& chosenPath);
        void Run(JobQueue::cJobQueue* queue) override;
        // The compressor's progress: the entry and the bar, or the stop a
        // cancel asks for.
        void OnCompressProgress(Zip::sProgress* progress);

        cGenStringFixed<260> name;
        cGenStringFixed<260> workFolder;
        cGenStringFixed<260> midiPath;
        cGenStringFixed<260> archivePath;
        cProject* project;
        cGenStringFixed<128> errorText;
        uint8_t result = 0;

    private:
        void AddMIDIFile();
        bool Compress();
    };
};
