#include "project/Project.h"

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <strings.h>

#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/Sample.h"
#include "base/CommitGroup.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/SafeWrite.h"
#include "base/StatusNotice.h"
#include "project/ProjectFolders.h"
#include "project/ProjectHost.h"
#include "project/ProjectSlots.h"
#include "project/SampleRelocatorProjectExport.h"
#include "project/SampleRelocatorSingleDir.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Sequencer.h"

// Loading, saving and exporting a project folder, on the job thread. A save
// or an export reports success only when every file of the folder was
// written: the banks, "Package.prj", the samples and the song.

namespace
{
constexpr const char* kProjectFile = "Package.prj";
constexpr const char* kSongFile = "Package.sng";
// Read only when the song file does not load; saves never write it.
constexpr const char* kMIDIFile = "Package.mid";
constexpr const char* kAutoSaveSuffix = ".as";
constexpr const char* kAutoSaveBackupSuffix = ".as.bak";

using tPath = cGenStringFixed<260>;

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

bool NativePath(File::cFileSystem& documents, const cGenString& path, tPath& native)
{
    native.Assign(*documents.GetRootPath());
    return PathAppend(native, path);
}

tPath InFolder(const cGenString& folder, const char* name, const char* suffix = "")
{
    tPath path(folder);
    PathAppend(path, cGenString::ConstructView(name));
    path.AppendCString(suffix);
    return path;
}

// ".bak" asks for the backups first, ".as" for the auto-saves; either is
// cut off the folder's path.
int32_t TakeLoadMode(cGenString& path)
{
    const char* extension = PathGetExtension(path).CStr();
    const int32_t mode = strcasecmp(extension, "bak") == 0  ? kLoadBackup
                         : strcasecmp(extension, "as") == 0 ? kLoadAutoSave
                                                            : kLoadNormal;
    if (mode != kLoadNormal)
        PathRemoveExtension(path);
    return mode;
}

template <class F>
void ForEachPackage(F&& visit)
{
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    for (cInstrumentPackage* package = packages ? packages->GetFirst() : nullptr; package; package = package->GetNext())
        visit(*package);
}

bool IsInside(const cGenString& path, const cGenString& folder)
{
    const int length = folder.Length();
    return length > 0 && std::strncmp(path.CStr(), folder.CStr(), size_t(length)) == 0 &&
           (path.CharAt(length) == 0 || IsPathSeparator(path.CharAt(length)));
}

void SetStatus(const char* format, const char* name)
{
    cGenStringFixed<260> text;
    text.Printf(format, name);
    GetProjectHost().SetStatusText(text.CStr());
}
} // namespace

bool cProject::Load(const cGenString& path)
{
    Unload();
    mPath.Assign(path);
    const int32_t mode = TakeLoadMode(mPath);
    mErrorText.AssignCStr("Unknown Error");
    mLoadWarning.AssignCStr("");
    cSampleRelocator relocator(mPath, false);
    cProjectHost& host = GetProjectHost();
    FinishInterruptedSave();

    host.SetStatusText("Loading sound banks");
    LoadProjectData(mode, relocator);

    host.SetStatusText("Loading project");
    mErrorText.AssignCStr("The project file could not be opened.");
    File::cFileSystem* documents = Documents();
    bool read = false;
    for (const char* const* suffix = GetLoadSuffixList(mode); *suffix && !read; ++suffix)
        read = Serialise(documents, InFolder(mPath, kProjectFile, *suffix), kRead, &relocator, nullptr);
    if (!read)
        return false;
    mName.Assign(mPath);
    GetProjectDisplayName(mName);

    host.SetStatusText("Loading song");
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!sequencer || !LoadSong(*sequencer, *documents, mode))
        return false;
    CreateMissingInstrumentTracks();
    return true;
}

// A save cut short after its journal was written is completed, so the
// folder holds the save whole before anything is read.
void cProject::FinishInterruptedSave()
{
    File::cFileSystem* documents = Documents();
    tPath native;
    bool finished = false;
    if (!documents || !NativePath(*documents, mPath, native) || !FinishInterruptedCommit(native.CStr(), &finished) ||
        !finished)
        return;
    cGenStringFixed<260> name(mPath);
    GetProjectDisplayName(name);
    PostStatusNotice("Completed the interrupted save of '%s'", name.CStr());
}

// A bank that does not load leaves its package with an empty project bank;
// the project loads all the same and the first fault is the warning.
void cProject::LoadProjectData(int32_t mode, cSampleRelocator& relocator)
{
    ForEachPackage([&](cInstrumentPackage& package) {
        cGenStringFixed<256> error("Unknown Error");
        if (!package.LoadProjectData(mPath, &relocator, mode, error) && mLoadWarning.IsEmpty())
            mLoadWarning.Assign(error);
    });
}

// "Package.sng", or else the folder's MIDI file; a refusal names its cause:
// the song file's own fault, the MIDI file's, or a song file that is not
// there at all.
bool cProject::LoadSong(cSequencer& sequencer, File::cFileSystem& documents, int32_t mode)
{
    cGenStringFixed<256> songError;
    if (sequencer.LoadSong(InFolder(mPath, kSongFile).CStr(), mode, songError))
        return true;
    cGenStringFixed<128> midiError;
    if (ImportSongFromMIDIFile(sequencer, midiError))
        return true;
    if (!songError.IsEmpty())
        mErrorText.Assign(songError);
    else if (documents.Exists(InFolder(mPath, kMIDIFile)))
        mErrorText.Printf("The song file is missing; '%s': %s", kMIDIFile, midiError.CStr());
    else
        mErrorText.AssignCStr("The song file is missing.");
    return false;
}

// A folder whose song file is missing or unreadable may still hold the song
// as a MIDI file; it comes in with its tempo, time signature and presets.
bool cProject::ImportSongFromMIDIFile(cSequencer& sequencer, cGenString& error)
{
    cMIDIFileSong* song = LoadMIDIFile(InFolder(mPath, kMIDIFile).CStr(), error);
    if (!song)
        return false;
    sequencer.SetTempo(song->tempo);
    sequencer.SetBeatsPerBar(song->numerator);
    return ImportMIDIFileSong(song, true);
}

bool cProject::Fail(const char* text, bool& ok)
{
    if (ok)
        mErrorText.AssignCStr(text);
    ok = false;
    return false;
}

// Copies one sample into the folder being written; a source that no longer
// exists has nothing to lose.
bool cProject::CopySample(File::cFileSystem& documents, const cGenString& from, const cGenString& to, bool& ok)
{
    if (!documents.Exists(from))
        return true;
    const cGenString name = PathGetFileName(from);
    SetStatus("Copying sample '%s'", name.CStr());
    tPath folder(to);
    PathStripToDirectory(folder);
    if ((folder.IsEmpty() || documents.CreateFolder(folder)) && documents.Copy(from, to, 1))
        return true;
    cGenStringFixed<256> text;
    text.Printf("Couldn't copy sample '%s'", name.CStr());
    return Fail(text.CStr(), ok);
}

void cProject::CopyRelocatedSamples(const cGenString& folder, const cSampleRelocator& relocator, bool& ok)
{
    File::cFileSystem* documents = Documents();
    if (!documents)
        return;
    std::set<std::string> copied;
    // The folder's own WAV files, unless the target lies inside it.
    if (!mPath.IsEmpty() && !IsInside(folder, mPath))
    {
        std::unique_ptr<File::cFileSystem::cFileIterator> entries(documents->NewIterator(mPath));
        for (bool found = entries && entries->First(); found; found = entries->Next())
        {
            const cGenString name = cGenString::ConstructView(entries->GetName());
            if (entries->IsFolder() || strcasecmp(PathGetExtension(name).CStr(), "wav") != 0)
                continue;
            const tPath from = InFolder(mPath, name.CStr());
            const tPath to = InFolder(folder, name.CStr());
            if (CopySample(*documents, from, to, ok))
                copied.insert(to.CStr());
        }
    }
    // And every sample the instruments now refer to below the new folder.
    for (const auto& [to, from] : relocator.GetCopyMap())
        if (!copied.count(to))
            CopySample(*documents, cGenString::ConstructView(from.c_str()), cGenString::ConstructView(to.c_str()), ok);
}

// The folder to write into, made when missing; null, with the error text
// set, when it cannot be.
File::cFileSystem* cProject::BeginWriting(const cGenString& folder)
{
    mErrorText.AssignCStr("");
    File::cFileSystem* documents = Documents();
    if (documents && documents->CreateFolder(folder))
        return documents;
    mErrorText.AssignCStr("Couldn't create a folder for the project");
    return nullptr;
}

// "Package.sng" in the folder; a failure is told by the song writer's own
// text, or the one given.
bool cProject::WriteSong(const cGenString& folder, bool autoSave, const char* failure, bool& ok)
{
    cGenStringFixed<256> songError(failure);
    cSequencer* sequencer = cSequencer::GetInstance();
    if (sequencer && sequencer->SaveSong(InFolder(folder, kSongFile).CStr(), autoSave, songError))
        return true;
    return Fail(songError.CStr(), ok);
}

bool cProject::Save(const cGenString& folder, bool autoSave)
{
    File::cFileSystem* documents = BeginWriting(folder);
    tPath native;
    if (!documents || !NativePath(*documents, folder, native))
        return false;
    // An earlier save cut short is completed before this one begins.
    FinishInterruptedCommit(native.CStr());
    cProjectHost& host = GetProjectHost();
    bool ok = true;
    cCommitGroup group(native.CStr());

    host.SetStatusText("Saving sound banks");
    cSampleRelocatorSingleDir relocator(folder, mPath);
    ForEachPackage([&](cInstrumentPackage& package) {
        package.ExportMapBegin();
        if (!package.SaveProjectData(folder, &relocator, autoSave))
            Fail("Failed to save sound banks", ok);
    });

    host.SetStatusText("Saving project");
    const tPath projectFile = InFolder(folder, kProjectFile, autoSave ? kAutoSaveSuffix : "");
    if (!Serialise(documents, projectFile, kWrite, &relocator, nullptr))
        Fail("Failed to save project file", ok);

    if (std::strcmp(mPath.CStr(), folder.CStr()) != 0)
    {
        CopyRelocatedSamples(folder, relocator, ok);
        cSample::RebasePaths(mPath.CStr(), folder.CStr());
    }

    host.SetStatusText("Saving song");
    const bool songSaved = WriteSong(folder, autoSave, "Failed to save song file", ok);

    // The auto-saves go only once the save they stand for is whole.
    if (!autoSave && ok)
    {
        documents->Delete(InFolder(folder, kProjectFile, kAutoSaveSuffix));
        documents->Delete(InFolder(folder, kProjectFile, kAutoSaveBackupSuffix));
    }
    // Every file of the folder is replaced together, or none is.
    if (ok && !group.Commit())
        Fail("Couldn't replace the project's files", ok);
    if (!songSaved)
        return false;
    if (ok && !autoSave)
    {
        mName.Assign(PathGetFileName(folder));
        PathRemoveExtension(mName);
    }
    mPath.Assign(folder);
    if (ok)
        mModified.store(false);
    return ok;
}

bool cProject::Export(const cGenString& folder)
{
    File::cFileSystem* documents = BeginWriting(folder);
    if (!documents)
        return false;
    cProjectHost& host = GetProjectHost();
    bool ok = true;

    host.SetStatusText("Exporting sound banks");
    ForEachPackage([](cInstrumentPackage& package) { package.ExportMapCollect(); });
    if (cSequencer* sequencer = cSequencer::GetInstance())
        sequencer->ReportPartPresets();
    cSampleRelocatorProjectExport relocator(mPath, folder);
    ForEachPackage([&](cInstrumentPackage& package) {
        package.ExportMapFinalize();
        if (!package.SaveProjectData(folder, &relocator, false))
            Fail("Failed to export sound banks", ok);
    });

    host.SetStatusText("Exporting project");
    const bool projectWritten = Serialise(documents, InFolder(folder, kProjectFile), kWrite, &relocator, nullptr);
    for (const auto& [to, from] : relocator.GetCopyMap())
        CopySample(*documents, cGenString::ConstructView(from.c_str()), cGenString::ConstructView(to.c_str()), ok);
    if (!projectWritten)
        Fail("Failed to export project file", ok);

    host.SetStatusText("Exporting song");
    WriteSong(folder, false, "Failed to export song file", ok);
    return ok;
}
