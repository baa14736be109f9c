#include "project/ui/WidgetOpenURL.h"

#include <strings.h>
#include <sys/stat.h>

#include "base/DiskFiles.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "project/ui/BrowserSprites.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// The request flags of the copy's browser: save, name at once.
constexpr uint32_t kCopyRequestFlags = 6;
// As long as the start-up page's "Loaded Project" note.
constexpr float kCopiedMessageSeconds = 2.5f;

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

bool SameNoCase(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }
} // namespace

cWidgetOpenURL::cJobCopyFile::cJobCopyFile(const std::string& source, const std::string& destination)
    : sourcePath(source), destinationPath(destination)
{
}

void cWidgetOpenURL::cJobCopyFile::Run(JobQueue::cJobQueue*)
{
    success = CopyDiskFile(sourcePath.c_str(), destinationPath.c_str(), true);
    if (!success)
        errorText = "Couldn't copy file.";
}

cWidgetOpenURL::cWidgetOpenURL(cFileBrowserHost* host)
    : mHost(host), mBrowser(new cWidgetFileBrowser(host)), mProgress(new cWidgetProgress())
{
    SetName("OpenURL");
}

cWidgetOpenURL::~cWidgetOpenURL()
{
    mBrowser->Release();
    mProgress->Release();
}

void cWidgetOpenURL::OnStateChange() {}

bool cWidgetOpenURL::OpenFile(const char* path)
{
    struct stat status;
    if (!path || ::stat(path, &status) != 0 || mState != -1 || mHost->IsKeyboardOpen())
        return false;
    const std::string handed = path;
    const size_t slash = handed.find_last_of('/');
    const std::string name = slash == std::string::npos ? handed : handed.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
    const char* start = nullptr;
    const char* root = "User";
    mBrowser->Reset();
    if (SameNoCase(extension, "qpk"))
    {
        mBrowser->AddPackageType("prj", Sprite(BrowserSprite::kProjectIcon));
        mBrowser->AddFileType("qpk", Sprite(BrowserSprite::kArchiveIcon));
        start = root = "User/Projects";
    }
    else if (SameNoCase(extension, "mid") || SameNoCase(extension, "midi"))
    {
        mBrowser->AddFileType("mid", Sprite(BrowserSprite::kMidiFileIcon));
        mBrowser->AddFileType("midi", Sprite(BrowserSprite::kMidiFileIcon));
        start = "User/MIDI Files";
    }
    else if (SameNoCase(extension, "wav"))
    {
        mBrowser->AddFileType("wav", Sprite(BrowserSprite::kAudioFileIcon));
        start = "User/Samples";
    }
    else
        return false;
    // A data home that has never held such a file has no folder for it yet:
    // without it the browser would fall back to the root and the copy land
    // beside the user's folders.
    if (File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr)
        documents->CreateFolder(cGenString(start));
    cGenStringFixed<260> title;
    title.Printf("Copy '%s' to", name.c_str());
    mBrowser->SetName(title.CStr());
    mBrowser->rootFolder = root;
    mBrowser->extension = extension.c_str();
    mBrowser->path = start;
    // The proposed name is the file's own; one that does not fit is refused, never cut.
    if (!PathAppend(mBrowser->path, cGenString(name.c_str())))
        return false;
    mHandedFile = handed;
    mHost->ShowProjectSetupPage();
    if (cWidgetModalContainer* window = mHost->GetMainWindow())
        window->Push(this, 0, 0);
    mState = 0;
    mBrowser->Show(kCopyRequestFlags, cDelegate(this, &cWidgetOpenURL::OnBrowserDone));
    return true;
}

intptr_t cWidgetOpenURL::OnBrowserDone(int32_t result, cWidgetFileBrowser* browser)
{
    if (mState != 0)
    {
        mState = -1;
        return 0;
    }
    File::cFileSystem* documents = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
    if (result != 1 || !documents)
    {
        Cancel();
        return 0;
    }
    mChosenPath = browser->path;
    const std::string destination = std::string(documents->GetRootPath()->CStr()) + "/" + browser->path.CStr();
    const std::string name = mHandedFile.substr(mHandedFile.find_last_of('/') + 1);
    cGenStringFixed<260> title;
    title.Printf("Importing '%s'", name.c_str());
    mProgress->Setup(0);
    mProgress->SetName(title.CStr());
    mProgress->SetJob(new cJobCopyFile(mHandedFile, destination));
    mProgress->Start(cDelegate(this, &cWidgetOpenURL::OnCopyDone));
    return 0;
}

intptr_t cWidgetOpenURL::OnCopyDone(cJobCopyFile* job, cWidgetProgress*)
{
    if (mState != 0)
    {
        mState = -1;
        delete job;
        return 0;
    }
    if (job->success)
        ReportCopied();
    else
        ReportFailure(*job);
    delete job;
    Cancel();
    return 0;
}

// The copy is confirmed where it went, in the user's folders.
void cWidgetOpenURL::ReportCopied()
{
    cGenStringFixed<260> folder(mChosenPath);
    const cGenStringFixed<260> name(PathGetFileName(folder));
    PathStripToDirectory(folder);
    folder.RemoveTrailingSeparator();
    cGenStringFixed<600> text;
    text.Printf("Copied '%s' to %s", name.CStr(), folder.CStr());
    mHost->ShowTimedMessage(text.CStr(), kCopiedMessageSeconds);
}

void cWidgetOpenURL::ReportFailure(const cJobCopyFile& job)
{
    cWidgetAlert* alert = mHost->GetAlert();
    if (!alert)
        return;
    alert->Reset(0x600);
    alert->SetName("Import Failed");
    alert->firstLine = job.errorText;
    alert->SetButton(kAlertOK, "OK");
    alert->Show(cDelegate());
}

void cWidgetOpenURL::Cancel()
{
    mState = -1;
    if (cWidgetModalContainer* window = mHost->GetMainWindow())
        window->Pop(this);
}
