#include "sampler/SampleEditCommand.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>

#include "audio/Sample.h"
#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "sampler/SampleEditModel.h"

namespace
{
using tFileName = cGenStringFixed<64>;

// Safe writing, so a file under its final name is whole; no backup, and no
// flush to disk, as an undo file is worthless after a restart.
constexpr uint32_t kUndoFileFlags = File::kFlagSafeWrite | File::kFlagDropBackup | File::kFlagNoSync;

const char* const kNames[] = {"", "Delete", "Trim", "Normalize", "Silence", "Fade in", "Fade out", "Effects"};

std::atomic<uint32_t> sNextIdentity{1};

File::cFileSystem* TempMount() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Tmp") : nullptr; }
} // namespace

cSampleEditCommand::cSampleEditCommand(cSampleEditModel* model)
    : mModel(model), mIdentity(sNextIdentity.fetch_add(1, std::memory_order_relaxed))
{
}

cSampleEditCommand::~cSampleEditCommand() { ReleaseFiles(); }

void cSampleEditCommand::SetType(eType type)
{
    ReleaseFiles();
    mType = type;
    if (type == kSilence || type == kFadeIn || type == kFadeOut)
    {
        mGainStart = type == kFadeOut ? 1.0f : 0.0f;
        mGainEnd = type == kFadeIn ? 1.0f : 0.0f;
    }
}

bool cSampleEditCommand::AdoptFile(const char* nativePath)
{
    ReleaseFiles();
    mType = kEffects;
    mPath.AssignCStr(nativePath);
    PathRemoveExtension(mPath);
    tFileName suffix;
    suffix.Printf("%X.wav", mIdentity);
    mPath.Append(suffix);
    return std::rename(nativePath, mPath.CStr()) == 0;
}

const char* cSampleEditCommand::GetName() const
{
    return mType >= kNone && mType <= kEffects ? kNames[mType] : "";
}

bool cSampleEditCommand::Execute()
{
    if (mState == kNew)
        RecordModel();
    TakeRegion();
    bool done = true;
    switch (mType)
    {
    case kDelete:
        done = DoDelete();
        break;
    case kTrim:
        done = DoTrim();
        break;
    case kNormalize:
        done = DoNormalize();
        break;
    case kSilence:
    case kFadeIn:
    case kFadeOut:
        done = DoGainRamp();
        break;
    case kEffects:
        done = DoReplace();
        break;
    case kNone:
        break;
    }
    if (!done)
        return false;
    RecordModel();
    mState = kDone;
    return true;
}

bool cSampleEditCommand::Undo()
{
    mModel->SetErrorText("");
    // An edit of nothing saved nothing and has nothing to put back.
    const bool saved = mType == kEffects || (mType != kNone && mRegionLength > 0);
    if (saved)
    {
        File::cFile* file = LoadUndo();
        if (!file)
            return RefuseLoad(nullptr);
        bool restored = false;
        if (mType == kDelete)
            restored = UndoDelete(*file);
        else if (mType == kTrim)
            restored = UndoTrim(*file);
        else if (mType == kEffects)
            restored = UndoReplace(*file);
        else
            restored = UndoInPlace(*file);
        if (!restored)
            return RefuseLoad(file);
        delete file;
        DeleteFiles(kUndoFile);
    }
    RecordModel();
    mState = kUndone;
    return true;
}

// Delete and Trim work on the selection they found first, a redo included;
// the gain edits on the selection or, without one, the whole edited length;
// a replacement always on the whole edited length.
void cSampleEditCommand::TakeRegion()
{
    const int32_t frames = mModel->GetFrames();
    if (mType == kEffects)
        SetRegion(0, frames);
    else if (mState != kNew)
        SetRegion(std::min(mRegionStart, frames), std::min(mRegionEnd, frames));
    else if (mType == kDelete || mType == kTrim || mModel->GetSelectionLength() > 0)
        SetRegion(mModel->GetSelectionStart(), mModel->GetSelectionEnd());
    else
        SetRegion(0, frames);
}

void cSampleEditCommand::SetRegion(int32_t start, int32_t end)
{
    mRegionStart = start;
    mRegionEnd = end;
    mRegionLength = end - start;
}

void cSampleEditCommand::RecordModel()
{
    mSample = mModel->GetSample();
    mFrames = mModel->GetFrames();
}

File::cFile* cSampleEditCommand::SaveUndo()
{
    File::cFileSystem* temp = TempMount();
    if (!temp)
        return nullptr;
    tFileName name;
    FormatFileName(kUndoFile, name);
    // An older file of the name must not outlive a failed write.
    temp->Delete(name);
    File::cFile* file = temp->Open(name, File::kModeWrite, kUndoFileFlags);
    if (file && !mUndoHeader.Write(*file))
    {
        file->Close(true);
        delete file;
        return nullptr;
    }
    return file;
}

File::cFile* cSampleEditCommand::LoadUndo()
{
    File::cFileSystem* temp = TempMount();
    if (!temp)
        return nullptr;
    tFileName name;
    FormatFileName(kUndoFile, name);
    File::cFile* file = temp->Open(name, File::kModeRead, 0);
    if (!file)
        return nullptr;
    // Nothing may move before the data is known to be all there.
    cSampleEditUndoHeader stored;
    const bool whole = int64_t(file->GetLength()) == int64_t(cSampleEditUndoHeader::kBytes) + mUndoHeader.bytes;
    if (!whole || !stored.Read(*file) || !(stored == mUndoHeader))
    {
        delete file;
        return nullptr;
    }
    return file;
}

void cSampleEditCommand::DeleteFiles(eFile which)
{
    if (File::cFileSystem* temp = TempMount())
    {
        tFileName name;
        FormatFileName(which, name);
        temp->Delete(name);
    }
}

void cSampleEditCommand::FormatFileName(eFile which, cGenString& out) const
{
    out.Printf("Sampler/%X%s.tmp", mIdentity, which == kUndoFile ? "Undo" : "Redo");
}

void cSampleEditCommand::ReleaseFiles()
{
    // The undo file exists only while the command is done; deleting it
    // regardless costs a look-up and can leave nothing behind.
    DeleteFiles(kUndoFile);
    DeleteFiles(kRedoFile);
    if (mType == kEffects && !mPath.IsEmpty())
        DeleteFileSafe(mPath.CStr());
    mSample = nullptr;
    mFrames = 0;
    SetRegion(0, 0);
}
