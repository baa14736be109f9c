#include "sampler/WidgetMixdown.h"

#include <memory>
#include <string>
#include <vector>

#include "audio/WavFile.h"
#include "base/DeletableRoots.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/RootPaths.h"
#include "base/StatusText.h"
#include "base/Zip.h"

namespace
{
constexpr int32_t kBitRates[] = {0, 64000, 128000, 256000};

File::cFileSystem* Documents()
{
    return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr;
}

bool IsWavPath(const cGenString& path)
{
    return cGenString::EqualsNoCase(PathGetExtension(path), cGenString("wav"));
}

bool ToNative(const cGenString& docPath, cGenString& native)
{
    native.AssignCStr(GetDocumentsFolderPath());
    return PathAppend(native, docPath);
}

void DeleteFromDocuments(const cGenString& path)
{
    if (File::cFileSystem* documents = Documents())
        documents->Delete(path);
}

// The WAV files of a folder, by name; a folder that cannot be listed gives none.
std::vector<std::string> ListWavFiles(const cGenString& folder, int32_t& entries)
{
    std::vector<std::string> names;
    File::cFileSystem* documents = Documents();
    std::unique_ptr<File::cFileSystem::cFileIterator> iterator(documents ? documents->NewIterator(folder) : nullptr);
    entries = 0;
    for (bool found = iterator && iterator->First(); found; found = iterator->Next())
    {
        ++entries;
        if (!iterator->IsFolder() && IsWavPath(cGenString(iterator->GetName())))
            names.emplace_back(iterator->GetName());
    }
    return names;
}
} // namespace

cWidgetMixdown::cJobConvertFormat::cJobConvertFormat(const char* source, const char* target, int32_t format,
                                                     int32_t totalFiles)
    : mFormat(format), mTotalFiles(totalFiles)
{
    mSource.AssignCStr(source);
    mTarget.AssignCStr(target);
}

void cWidgetMixdown::cJobConvertFormat::Run(JobQueue::cJobQueue*)
{
    mResult = kResultFailed;
    mEntriesDone = 0;
    if (!ToNative(mSource, mAbsoluteSource) || !ToNative(mTarget, mAbsoluteTarget))
        return;
    const bool singleFile = IsWavPath(mSource);
    switch (mFormat)
    {
    case kFormatWav:
        mResult = kResultDone;
        break;
    case kFormatOgg64:
    case kFormatOgg128:
    case kFormatOgg256:
        mResult = singleFile ? ConvertWavToOgg(mAbsoluteSource.CStr(), mAbsoluteTarget.CStr(), kBitRates[mFormat])
                             : ConvertFolder(kBitRates[mFormat]);
        break;
    case kFormatZippedWav:
        mResult = ZipMixdownFolder(mSource.CStr(), mTarget.CStr());
        // The WAVs stay when the archive could not be written.
        if (mResult != kResultFailed)
            DeleteFromDocuments(mSource);
        break;
    default:
        break;
    }
    // The encoder and the compressor write safely, so a chosen file that
    // existed stays as it was. A cancelled folder goes whole; a failed one
    // keeps what it could not convert and the stems it did.
    const bool stemOggs = !singleFile && mFormat != kFormatZippedWav && mFormat != kFormatWav;
    if (stemOggs && mResult == kResultCancelled)
        DeleteFromDocuments(mSource);
}

int32_t cWidgetMixdown::cJobConvertFormat::ConvertFolder(int32_t nominalBitRate)
{
    int32_t entries = 0;
    const std::vector<std::string> names = ListWavFiles(mSource, entries);
    mEntriesDone = entries - int32_t(names.size());
    int32_t result = kResultFailed;
    for (const std::string& name : names)
    {
        cGenStringFixed<1024> path(mAbsoluteSource);
        if (!PathAppend(path, cGenString(name.c_str())))
            return kResultFailed;
        result = ConvertWavToOgg(path.CStr(), nullptr, nominalBitRate);
        ++mEntriesDone;
        if (result != kResultDone)
            return result;
    }
    return result;
}

int32_t cWidgetMixdown::cJobConvertFormat::ConvertWavToOgg(const char* source, const char* target,
                                                           int32_t nominalBitRate)
{
    cGenStringFixed<1024> destination;
    if (target)
        destination.AssignCStr(target);
    else
    {
        destination.AssignCStr(source);
        PathRemoveExtension(destination);
        destination.AppendCString(".ogg");
    }
    SetStatusText("Encoding '%s'", PathGetFileName(destination).CStr());
    cWavFile reader;
    const int32_t encoded = reader.ConvertToOggWithProgress(
        source, destination.CStr(), nominalBitRate, cDelegate(this, &cJobConvertFormat::OnEncodeProgress));
    if (encoded == cWavFile::kConvertDone || encoded == cWavFile::kConvertCancelled)
        DeleteFileSafe(source);
    if (encoded == cWavFile::kConvertDone)
        return kResultDone;
    return encoded == cWavFile::kConvertCancelled ? kResultCancelled : kResultFailed;
}

int32_t cWidgetMixdown::cJobConvertFormat::ZipMixdownFolder(const char* source, const char* target)
{
    Zip::cZipCompressor compressor;
    compressor.progress = cDelegate(this, &cJobConvertFormat::OnZipProgress);
    const int32_t packed = compressor.Compress(source, target);
    if (packed == Zip::kResultOk)
        return kResultDone;
    return packed == Zip::kResultCancelled ? kResultCancelled : kResultFailed;
}

bool cWidgetMixdown::cJobConvertFormat::IsCancelRequested() const
{
    return mCancel.load() || (mOverlay && mOverlay->IsStopRequested());
}

void cWidgetMixdown::cJobConvertFormat::OnEncodeProgress(float fraction, bool* cancel)
{
    if (IsCancelRequested())
        *cancel = true;
    else if (mTotalFiles > 0 && mOverlay)
        mOverlay->SetProgress((float(mEntriesDone) + fraction) / float(mTotalFiles));
}

void cWidgetMixdown::cJobConvertFormat::OnZipProgress(Zip::sProgress* report)
{
    if (IsCancelRequested())
    {
        report->cancel = true;
        return;
    }
    SetStatusText("Adding '%s'", report->text);
    if (mOverlay)
        mOverlay->SetProgress(report->progress);
}
