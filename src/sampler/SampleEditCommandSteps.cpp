// What each edit does to the sample and how its undo puts it back.
//
// The frames an edit moves or zeroes stay inside the sample's buffer, whose
// size only a commit changes: a Delete moves the frames after the region down
// over it and zeroes as many at the end of the edited length; its undo moves
// them up again and reads the region back into the gap. Moves and zeroing
// hold the audio manager's lock, so no block plays a half-moved buffer; gain
// changes hold it a piece at a time, so the audio thread never waits long on
// a long sample; undo files are written and read outside it.
#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "audio/AudioLock.h"
#include "audio/Sample.h"
#include "base/File.h"
#include "sampler/SampleEditCommand.h"
#include "sampler/SampleEditModel.h"

namespace
{
const char* const kErrorMemory = "Out of sample memory";
// About 1.5 s of audio: a piece of a gain change holds the lock well under
// a millisecond.
constexpr int32_t kPieceFrames = 65536;

// Changes a range a piece at a time, each piece under the audio manager's lock.
template <class F>
void ChangeInPieces(int32_t start, int32_t count, F change)
{
    for (int32_t done = 0; done < count; done += kPieceFrames)
    {
        cScopedAudioLock lock;
        change(start + done, std::min(kPieceFrames, count - done));
    }
}

bool WriteBytes(File::cFile& file, const uint8_t* bytes, int64_t count)
{
    for (int64_t done = 0; done < count;)
    {
        const int piece = int(std::min<int64_t>(count - done, INT_MAX));
        if (file.Write(bytes + done, piece) != piece)
            return false;
        done += piece;
    }
    return true;
}

bool ReadBytes(File::cFile& file, uint8_t* bytes, int64_t count)
{
    for (int64_t done = 0; done < count;)
    {
        const int piece = int(std::min<int64_t>(count - done, INT_MAX));
        if (file.Read(bytes + done, piece) != piece)
            return false;
        done += piece;
    }
    return true;
}
} // namespace

int32_t cSampleEditCommand::FrameBytes() const { return mModel->GetSample()->GetFrameBytes(); }

int32_t cSampleEditCommand::BufferFrames() const { return mModel->GetSample()->GetFrames(); }

uint8_t* cSampleEditCommand::FrameAt(int32_t frame) const
{
    return mModel->GetSample()->GetData() + int64_t(frame) * FrameBytes();
}

void cSampleEditCommand::DescribeUndo(int32_t frames)
{
    const cSample* sample = mModel->GetSample();
    const int32_t bytesPerValue = sample->GetBits() / 8;
    mUndoHeader = {bytesPerValue, sample->GetChannels(), sample->GetSampleRate(), frames,
                   int32_t(int64_t(bytesPerValue) * sample->GetChannels() * frames)};
}

bool cSampleEditCommand::WriteUndo(const uint8_t* first, int64_t firstBytes, const uint8_t* second,
                                   int64_t secondBytes)
{
    File::cFile* file = SaveUndo();
    if (!file)
        return RefuseSave();
    bool whole = WriteBytes(*file, first, firstBytes) && WriteBytes(*file, second, secondBytes);
    // Only a stream that wrote every byte is committed under the file's name.
    whole = file->Close(!whole) && whole;
    delete file;
    return whole || RefuseSave();
}

bool cSampleEditCommand::RefuseSave()
{
    mModel->SetErrorText(cSampleEditModel::kErrorSaveUndo);
    return false;
}

bool cSampleEditCommand::RefuseLoad(File::cFile* file)
{
    delete file;
    if (*mModel->GetErrorText() == 0)
        mModel->SetErrorText(cSampleEditModel::kErrorReadUndo);
    return false;
}

bool cSampleEditCommand::DoDelete()
{
    const int32_t start = mRegionStart, end = mRegionEnd, length = mRegionLength;
    const int32_t frames = mModel->GetFrames();
    if (length < 1)
        return true;
    const int64_t frameBytes = FrameBytes();
    DescribeUndo(length);
    if (!WriteUndo(FrameAt(start), length * frameBytes))
        return false;
    {
        cScopedAudioLock lock;
        std::memmove(FrameAt(start), FrameAt(end), size_t((frames - end) * frameBytes));
        std::memset(FrameAt(frames - length), 0, size_t(length * frameBytes));
    }
    mModel->SetFrames(mFrames - length);
    mModel->SetSelection(start, start);
    mModel->SyncAudition(false);
    return true;
}

bool cSampleEditCommand::DoTrim()
{
    const int32_t start = mRegionStart, end = mRegionEnd, length = mRegionLength;
    const int32_t frames = mModel->GetFrames();
    if (length < 1)
        return true;
    const int64_t frameBytes = FrameBytes();
    DescribeUndo(start + (frames - end));
    if (!WriteUndo(FrameAt(0), start * frameBytes, FrameAt(end), (frames - end) * frameBytes))
        return false;
    {
        cScopedAudioLock lock;
        std::memmove(FrameAt(0), FrameAt(start), size_t(length * frameBytes));
        std::memset(FrameAt(length), 0, size_t((frames - length) * frameBytes));
    }
    mModel->SetFrames(length);
    mModel->SetSelection(0, length);
    mModel->SyncAudition(false);
    return true;
}

bool cSampleEditCommand::DoNormalize()
{
    if (mRegionLength < 1)
        return true;
    DescribeUndo(mRegionLength);
    if (!WriteUndo(FrameAt(mRegionStart), int64_t(mRegionLength) * FrameBytes()))
        return false;
    cSample* sample = mModel->GetSample();
    // Finding the peak only reads, which the audio thread does too. A range
    // too clipped to raise is left as it is.
    const int32_t peak = sample->FindNormalizePeak(mRegionStart, mRegionLength);
    if (peak > 0)
        ChangeInPieces(mRegionStart, mRegionLength,
                       [&](int32_t start, int32_t count) { sample->RaiseToPeak(start, count, peak); });
    return true;
}

bool cSampleEditCommand::DoGainRamp()
{
    if (mRegionLength < 1)
        return true;
    DescribeUndo(mRegionLength);
    if (!WriteUndo(FrameAt(mRegionStart), int64_t(mRegionLength) * FrameBytes()))
        return false;
    cSample* sample = mModel->GetSample();
    ChangeInPieces(mRegionStart, mRegionLength,
                   [&](int32_t start, int32_t count)
                   {
                       sample->ApplyGainRampPart(mRegionStart, mRegionLength, mGainStart, mGainEnd,
                                                 start - mRegionStart, count);
                   });
    return true;
}

bool cSampleEditCommand::DoReplace()
{
    cSample* sample = mModel->GetSample();
    DescribeUndo(sample->GetFrames());
    if (!WriteUndo(sample->GetData(), sample->GetDataBytes()))
        return false;
    // The sample takes the new data and format under the lock, or keeps its own.
    if (!sample->Reload(mPath.CStr()))
    {
        DeleteFiles(kUndoFile);
        mModel->SetErrorText(cSample::GetErrorText());
        return false;
    }
    mModel->ClearSelection();
    mModel->SetFrames(sample->GetFrames());
    mModel->SyncAudition(false);
    return true;
}

bool cSampleEditCommand::UndoDelete(File::cFile& file)
{
    const int32_t start = mRegionStart, end = mRegionEnd, length = mRegionLength;
    const int32_t frames = mModel->GetFrames();
    const int64_t frameBytes = FrameBytes();
    if (mUndoHeader.bytesPerValue * mUndoHeader.channels != frameBytes || start > frames ||
        int64_t(frames) + length > BufferFrames())
        return false;
    const size_t moved = size_t((frames - start) * frameBytes);
    {
        cScopedAudioLock lock;
        std::memmove(FrameAt(start + length), FrameAt(start), moved);
    }
    if (!ReadBytes(file, FrameAt(start), length * frameBytes))
    {
        // The file was whole when opened: a read error puts the frames back.
        cScopedAudioLock lock;
        std::memmove(FrameAt(start), FrameAt(start + length), moved);
        std::memset(FrameAt(frames), 0, size_t(length * frameBytes));
        return false;
    }
    mModel->SetFrames(mFrames + length);
    mModel->SetSelection(start, end);
    mModel->SyncAudition(false);
    return true;
}

// The file holds the frames before the kept region, then those after it.
bool cSampleEditCommand::UndoTrim(File::cFile& file)
{
    const int32_t start = mRegionStart, end = mRegionEnd, length = mRegionLength;
    const int32_t after = mUndoHeader.frames - start;
    const int32_t restored = mUndoHeader.frames + mFrames;
    const int64_t frameBytes = FrameBytes();
    if (mUndoHeader.bytesPerValue * mUndoHeader.channels != frameBytes || mModel->GetFrames() != length ||
        after < 0 || int64_t(mUndoHeader.frames) + mFrames > BufferFrames())
        return false;
    {
        cScopedAudioLock lock;
        std::memmove(FrameAt(start), FrameAt(0), size_t(length * frameBytes));
    }
    if (!ReadBytes(file, FrameAt(0), start * frameBytes) || !ReadBytes(file, FrameAt(end), after * frameBytes))
    {
        cScopedAudioLock lock;
        std::memmove(FrameAt(0), FrameAt(start), size_t(length * frameBytes));
        std::memset(FrameAt(length), 0, size_t((restored - length) * frameBytes));
        return false;
    }
    mModel->SetFrames(restored);
    mModel->SetSelection(start, end);
    mModel->SyncAudition(false);
    return true;
}

// A read error here leaves the region partly restored; the command stays
// done with its file, so undoing again can still restore it whole.
bool cSampleEditCommand::UndoInPlace(File::cFile& file)
{
    const int64_t frameBytes = FrameBytes();
    if (mUndoHeader.bytesPerValue * mUndoHeader.channels != frameBytes ||
        int64_t(mRegionStart) + mRegionLength > BufferFrames())
        return false;
    return ReadBytes(file, FrameAt(mRegionStart), mRegionLength * frameBytes);
}

bool cSampleEditCommand::UndoReplace(File::cFile& file)
{
    const cSampleEditUndoHeader& format = mUndoHeader;
    uint8_t* data = new (std::nothrow) uint8_t[size_t(std::max(format.bytes, 1))];
    if (!data)
    {
        mModel->SetErrorText(kErrorMemory);
        return false;
    }
    if (!ReadBytes(file, data, format.bytes))
    {
        delete[] data;
        return false;
    }
    cSample* sample = mModel->GetSample();
    delete[] sample->SwapData(data, format.bytesPerValue * 8, format.channels, format.sampleRate, format.frames);
    mModel->ClearSelection();
    mModel->SetFrames(mRegionLength);
    mModel->SyncAudition(false);
    return true;
}
