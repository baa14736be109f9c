#include "project/ui/SetupPanelProject.h"

#include <strings.h>

#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/UniqueFileName.h"
#include "base/Zip.h"
#include "project/Project.h"
#include "project/ProjectHost.h"
#include "sequencer/MIDIFileOperations.h"

namespace
{
constexpr const char* kDecompressFailed = "Couldn't decompress file.";
constexpr const char* kCompressFailed = "Couldn't compress file.";
constexpr const char* kNoFolder = "Couldn't create a folder for the project";

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

// The path without its extension, with another.
void ReplaceExtension(cGenString& path, const char* extension)
{
    PathRemoveExtension(path);
    path.AppendCString(extension);
}

// Where the "Doc" mount keeps a path on the disk.
bool NativePath(File::cFileSystem& documents, const cGenString& docPath, cGenString& native)
{
    native.Assign(*documents.GetRootPath());
    return PathAppend(native, docPath);
}

// The presets the imported banks brought are taken over.
void ApplyAllExportMaps()
{
    cInstrumentPackageRegistry* packages = cInstrumentPackageRegistry::GetInstance();
    for (cInstrumentPackage* package = packages ? packages->GetFirst() : nullptr; package; package = package->GetNext())
        package->ExportMapApply();
}
} // namespace

// ------------------------------------------------------------------- load

cSetupPanelProject::cJobLoadProject::cJobLoadProject(cProject* loadInto, const cGenString& chosen)
    : project(loadInto), path(chosen)
{
}

void cSetupPanelProject::cJobLoadProject::Run(JobQueue::cJobQueue*)
{
    const bool archive = strcasecmp(PathGetExtension(path).CStr(), "qpk") == 0;
    if (archive && !Unpack())
    {
        errorText.AssignCStr(kDecompressFailed);
        result = 0;
        return;
    }
    result = project->Load(path) ? 1 : 0;
    if (!result)
        errorText.Assign(project->GetErrorText());
    else if (archive)
        ApplyAllExportMaps();
}

// Into a folder no one had: one the job made, and the only one it deletes
// (when the archive cannot be unpacked). The unpacked folder stays when the
// project in it does not load.
bool cSetupPanelProject::cJobLoadProject::Unpack()
{
    File::cFileSystem* documents = Documents();
    cGenStringFixed<260> folder(path);
    ReplaceExtension(folder, ".prj");
    nameChanged = MakeUniqueFileName(folder, true) ? 1 : 0;
    cGenStringFixed<260> nativeArchive, nativeFolder;
    if (!documents || documents->Exists(folder) || !NativePath(*documents, path, nativeArchive) ||
        !NativePath(*documents, folder, nativeFolder) || !documents->CreateFolder(folder))
        return false;
    GetProjectHost().SetStatusText("Decompressing ...");
    void* handle = Zip::OpenArchiveForReading(nativeArchive.CStr());
    Zip::cZipExtractor extractor = {};
    const bool unpacked = handle && extractor.ExtractAll(handle, nativeFolder.CStr(), false) == Zip::kResultOk;
    if (handle)
        Zip::CloseArchiveForReading(handle);
    if (!unpacked)
    {
        documents->Delete(folder);
        return false;
    }
    path.Assign(folder);
    return true;
}

// ------------------------------------------------------------------- save

cSetupPanelProject::cJobSaveProject::cJobSaveProject(cProject* saved, const cGenString& folder)
    : project(saved), path(folder)
{
}

void cSetupPanelProject::cJobSaveProject::Run(JobQueue::cJobQueue*)
{
    result = project->Save(path, false) ? 1 : 0;
    if (!result)
        errorText.Assign(project->GetErrorText());
}

// ----------------------------------------------------------------- export

cSetupPanelProject::cJobExportProject::cJobExportProject(cProject* exported, const cGenString& chosenPath)
    : name(PathGetFileName(chosenPath)), workFolder(chosenPath), archivePath(chosenPath), project(exported)
{
    PathRemoveExtension(name);
    ReplaceExtension(workFolder, ".prj");
    // A folder no one has: the job made it, and deletes it afterwards.
    if (!MakeUniqueFileName(workFolder, false))
        workFolder.AssignCStr("");
    midiPath.Assign(workFolder);
    cGenStringFixed<260> midiName(name);
    midiName.AppendCString(".mid");
    PathAppend(midiPath, midiName);
    ReplaceExtension(archivePath, ".qpk");
}

void cSetupPanelProject::cJobExportProject::Run(JobQueue::cJobQueue*)
{
    File::cFileSystem* documents = Documents();
    if (!documents || workFolder.IsEmpty())
    {
        errorText.AssignCStr(kNoFolder);
        result = 0;
        return;
    }
    result = project->Export(workFolder) ? 1 : 0;
    if (!result)
        errorText.Assign(project->GetErrorText());
    else
    {
        AddMIDIFile();
        if (!Compress())
        {
            errorText.AssignCStr(kCompressFailed);
            result = 0;
        }
    }
    documents->Delete(workFolder);
}

// The song as a MIDI file beside the project, for players elsewhere; the
// archive is worth having without it.
void cSetupPanelProject::cJobExportProject::AddMIDIFile()
{
    GetProjectHost().SetStatusText("Adding MIDI File");
    cGenStringFixed<128> error;
    ExportSongToMIDIFile(midiPath.CStr(), name.CStr(), error);
}

bool cSetupPanelProject::cJobExportProject::Compress()
{
    Zip::cZipCompressor compressor = {};
    compressor.progress = cDelegate(this, &cJobExportProject::OnCompressProgress);
    return compressor.Compress(workFolder.CStr(), archivePath.CStr()) == Zip::kResultOk;
}

void cSetupPanelProject::cJobExportProject::OnCompressProgress(Zip::sProgress* progress)
{
    cProjectHost& host = GetProjectHost();
    if (mCancel.load() || host.IsCancelPressed())
    {
        progress->cancel = true;
        return;
    }
    cGenStringFixed<260> text;
    text.Printf("Compressing '%s'", progress->text ? progress->text : "");
    host.SetStatusText(text.CStr());
    host.SetProgress(progress->progress);
}
