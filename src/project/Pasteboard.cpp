#include "project/Pasteboard.h"

#include "project/FileList.h"

void cPasteboard::cEntry::Clear()
{
    sender.Truncate(0);
    fileName.Truncate(0);
    displayName.Truncate(0);
    description.Truncate(0);
    extra.Truncate(0);
    kind = 0;
    flag = 0;
}

void cPasteboard::cPasteRequest::Add(const cEntry* entry)
{
    if (entry && mCount < kEntryCapacity)
        mEntries[mCount++] = entry;
}

cPasteboard::cPasteboard() : cSingleton(this)
{
    for (cEntry& entry : mEntries)
        entry.Clear();
}

void cPasteboard::Refresh()
{
    mEntryCount = 0;
    for (int32_t n = 1; n <= kEntryCapacity; ++n)
    {
        cEntry& entry = mEntries[n - 1];
        entry.Clear();
        entry.sender.Printf("Sender name %d", n);
        entry.fileName.Printf("SomeWav%d.wav", n);
        entry.displayName = entry.fileName;
        entry.description = "00:00, Stereo, 176BPM";
        entry.kind = 2;
        ++mEntryCount;
    }
}

bool cPasteboard::AddFile(const cFileList& files, const cDelegate& completion)
{
    if (files.GetCount() == 0)
        return false;
    mCopyCompletion = completion;
    cCopyResult result;
    result.firstPath = files.GetPath(0);
    mCopyCompletion.Invoke(&result);
    return true;
}

void cPasteboard::Paste(const cPasteRequest& request, const char* targetFolder, const cDelegate& completion)
{
    mPasteCompletion = completion;
    cPasteResult result;
    result.requested = request.GetCount();
    result.targetFolder = targetFolder;
    mPasteCompletion.Invoke(&result);
}

const cPasteboard::cEntry* cPasteboard::GetEntry(int32_t index) const
{
    return index >= 0 && index < mEntryCount ? &mEntries[index] : nullptr;
}
