#include "audio/WavFile.h"
#include "base/FileSystem.h"
#include "base/PathUtils.h"
#include "project/FileList.h"
#include "project/Pasteboard.h"
#include "project/ui/FileBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "project/ui/WidgetPasteboard.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"

// The browser's two pasteboard actions, which no button of this program
// carries: offering the selected sample, and pasting into the current folder.

namespace
{
using tPath = cGenStringFixed<cWidgetFileBrowser::kPathCapacity>;
using tLine = cGenStringFixed<cWidgetAlert::kLineCapacity>;

constexpr int32_t kInfoAlert = 0x600;
constexpr float kCopiedSeconds = 4.0f;

// The pasteboard takes 44.1 kHz 16-bit PCM, mono or stereo.
bool IsPasteboardSample(const char* nativePath)
{
    cWavFile wav;
    return wav.OpenRead(nativePath) && wav.GetFormatTag() == cWavFile::kFormatPCM &&
           (wav.GetChannels() == 1 || wav.GetChannels() == 2) && wav.GetSampleRate() == 44100 &&
           wav.GetBitsPerSample() == 16;
}
} // namespace

void cWidgetFileBrowser::CopyToPasteboard()
{
    const cEntry* entry = GetSelectedEntry();
    tPath native;
    bool offered = false;
    if (entry && mFiles)
    {
        native = *mFiles->GetRootPath();
        offered = native.Length() == mFiles->GetRootPath()->Length() && PathAppend(native, mCurrentFolder) &&
                  PathAppend(native, cGenString(entry->name.c_str())) && IsPasteboardSample(native.CStr());
    }
    if (!offered)
    {
        ShowAlert(kInfoAlert, "Copy to Pasteboard", "The pasteboard only supports 44.1kHz 16 bit samples", "", false);
        return;
    }
    cFileList files;
    files.Add(native.CStr());
    if (cPasteboard* pasteboard = cPasteboard::GetInstance())
        pasteboard->AddFile(files, cDelegate(this, &cWidgetFileBrowser::OnPasteboardCopyDone));
}

intptr_t cWidgetFileBrowser::OnPasteboardCopyDone(const void* copyResult)
{
    const auto* result = static_cast<const cPasteboard::cCopyResult*>(copyResult);
    const cGenString name = PathGetFileName(cGenString(result->firstPath));
    tLine line;
    if (result->filesAdded > 0)
    {
        line.Printf("Copied '%s' to pasteboard", name.CStr());
        mHost->ShowTimedMessage(line.CStr(), kCopiedSeconds);
        return 0;
    }
    if (result->cancelled)
    {
        ShowAlert(kInfoAlert, "Copy Cancelled", "Copy was cancelled.  No files were added to the pasteboard.", "",
                  false);
        return 0;
    }
    line.Printf("Couldn't copy '%s' to the pasteboard", name.CStr());
    ShowAlert(kInfoAlert, "Copy Failed", line.CStr(), "", false);
    return 0;
}

void cWidgetFileBrowser::PasteFromPasteboard()
{
    StopAudition();
    cWidgetPasteboard* page = mHost->GetPasteboardPage();
    if (!page)
        return;
    page->SetTargetFolder(mCurrentFolder.CStr());
    page->Show(cDelegate(this, &cWidgetFileBrowser::OnPasteDone));
}

intptr_t cWidgetFileBrowser::OnPasteDone(int32_t result, const char* fileName)
{
    if (result == 1)
    {
        Refresh();
        SelectByName(fileName);
    }
    return 0;
}
