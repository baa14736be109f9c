// cSequencer: the song file. A save copies the song into memory under the
// sequencer lock and writes it to disk afterwards; a load reads the file and
// checks all of it first, then replaces the song under the lock. Neither
// holds the lock across disk I/O, so the audio thread is never kept waiting
// on the disk, and recording cannot change the song half-way through a save.
#include "sequencer/Sequencer.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "audio/Transport.h"
#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/GenString.h"
#include "base/SafeWrite.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/SongFileCheck.h"
#include "sequencer/SongFileFormat.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr const char* kSongMount = "Doc";
constexpr const char* kAutoSaveSuffix = ".as";
constexpr const char* kAutoSaveBackupSuffix = ".as.bak";
constexpr float kMinTempo = 40.0f;
constexpr float kMaxTempo = 240.0f;
constexpr int32_t kSpareImageBytes = 4096;
constexpr int32_t kPatternHeadBytes = 8;   // loop length, event count
constexpr int32_t kTrackHeadBytes = 13;    // mute/solo, channel, selected, part count

struct cFileCloser
{
    void operator()(File::cFile* file) const
    {
        file->Close(false);
        delete file;
    }
};
using tFilePtr = std::unique_ptr<File::cFile, cFileCloser>;

File::cFileSystem* SongFileSystem()
{
    return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem(kSongMount) : nullptr;
}

cGenString WithSuffix(const char* path, const char* suffix)
{
    cGenString text = cGenString::ConstructGrowableFromCStr(path);
    text.AppendCString(suffix);
    return text;
}

int32_t ReadInt(File::cFile& stream)
{
    int32_t value = 0;
    stream.SerialiseInt32(&value);
    return value;
}

float ReadFloat(File::cFile& stream)
{
    float value = 0.0f;
    stream.SerialiseFloat(&value);
    return value;
}

int32_t ReadTicks(File::cFile& stream) { return std::clamp(ReadInt(stream), 0, SongFile::kLatestTicks); }

float ReadUnit(File::cFile& stream) { return std::clamp(ReadFloat(stream), 0.0f, 1.0f); }

// The on flag is not stored: the settings keep theirs.
cQuantizeSettings ReadQuantizeSettings(File::cFile& stream, const cQuantizeSettings& current)
{
    cQuantizeSettings settings = current;
    settings.interval = ReadInt(stream);
    settings.type = ReadInt(stream);
    settings.swing = ReadUnit(stream);
    return settings;
}

void WriteInt(File::cFile& stream, int32_t value) { stream.SerialiseInt32(&value); }

void WriteFloat(File::cFile& stream, float value) { stream.SerialiseFloat(&value); }

void WriteQuantizeSettings(File::cFile& stream, const cQuantizeSettings& settings)
{
    WriteInt(stream, settings.interval);
    WriteInt(stream, settings.type);
    WriteFloat(stream, settings.swing);
}
} // namespace

bool cSequencer::SaveSong(const char* path, bool autoSave, cGenString& error)
{
    File::cFileSystem* fileSystem = SongFileSystem();
    if (!fileSystem)
        return false;
    const cGenString target = autoSave ? WithSuffix(path, kAutoSaveSuffix) : cGenString::ConstructGrowableFromCStr(path);
    if (!SerialiseSong(fileSystem, target.CStr(), 2, error))
        return false;
    if (!autoSave)
    {
        fileSystem->Delete(WithSuffix(path, kAutoSaveSuffix));
        fileSystem->Delete(WithSuffix(path, kAutoSaveBackupSuffix));
    }
    return true;
}

bool cSequencer::LoadSong(const char* path, int32_t mode, cGenString& error)
{
    ++gTransport.changeCounter;
    File::cFileSystem* fileSystem = SongFileSystem();
    if (fileSystem)
    {
        for (const char* const* suffix = GetLoadSuffixList(mode); *suffix; ++suffix)
            if (SerialiseSong(fileSystem, WithSuffix(path, *suffix).CStr(), 1, error))
                return true;
    }
    NewSong();
    return false;
}

bool cSequencer::SerialiseSong(File::cFileSystem* fileSystem, const char* path, int32_t mode, cGenString& error)
{
    if (mode == File::kModeWrite)
    {
        File::cFileMemoryWrite image;
        // Room made before the lock is taken for the copy, with some to spare
        // for what recording adds meanwhile.
        image.Reserve(MeasureSong() + kSpareImageBytes);
        WriteSong(image);
        tFilePtr file(fileSystem->Open(path, File::kModeWrite, File::kFlagSafeWrite));
        if (!file)
            return false;
        const int size = image.GetLength();
        const bool written = file->Write(image.GetData(), size) == size;
        // Closing commits the temporary, keeping the old file as ".bak";
        // a failed write is never committed.
        const bool committed = file->Close(!written);
        return committed && written;
    }
    tFilePtr file(fileSystem->Open(path, File::kModeRead, 0));
    if (!file)
        return false;
    const int length = file->GetLength();
    std::unique_ptr<uint8_t[]> bytes;
    if (length > 0)
    {
        void* data = nullptr;
        const int read = file->ReadAll(&data, length);
        bytes.reset(static_cast<uint8_t*>(data));
        if (read != length)
            return false;
    }
    file.reset();
    File::cFileMemoryRead stream(bytes.get(), length);
    return ReadSong(stream, error);
}

bool cSequencer::ReadSong(File::cFile& stream, cGenString& error)
{
    const int origin = stream.Tell();
    cSongFileCheck check(stream);
    const cSongFileCheck::eResult result = check.Check();
    if (result != cSongFileCheck::eResult::kSound)
    {
        error.AssignCStr(cSongFileCheck::GetMessage(result));
        return false;
    }
    stream.Seek(origin, 0);
    ReplaceSong(stream);
    return true;
}

void cSequencer::ReplaceSong(File::cFile& stream)
{
    cScopedLock lock(&mLock);
    ClearSong();
    uint32_t version = 0;
    uint32_t size = 0;
    stream.SerialiseUInt32(&version);
    stream.SerialiseUInt32(&size);
    stream.SetFileVersion(static_cast<int>(version));
    stream.Seek(SongFile::kReservedBytes, 1);
    SetTempo(std::clamp(ReadFloat(stream), kMinTempo, kMaxTempo));
    const int32_t position = ReadTicks(stream);
    ReadInt(stream); // the sample position follows from the position
    gTransport.loopOn = ReadInt(stream) != 0 ? 1 : 0;
    gTransport.loopStart = ReadTicks(stream);
    gTransport.loopEnd = ReadTicks(stream);
    SetBeatsPerBar(ReadInt(stream));
    gTransport.metronomeLevel = ReadUnit(stream);
    gTransport.countInBars = std::clamp(ReadInt(stream), 0, SongFile::kMaxCountInBars);
    ApplyRecordQuantize(ReadQuantizeSettings(stream, gRecordQuantizeSettings));
    SetGridQuantizeSettings(ReadQuantizeSettings(stream, gGridQuantizeSettings));
    gTransport.metronomeMode = std::clamp(ReadInt(stream), 0, SongFile::kMaxMetronomeMode);
    uint32_t patterns = 0;
    stream.SerialiseUInt32(&patterns);
    for (uint32_t i = 0; i < patterns; ++i)
        mPatternTable->GetPattern(static_cast<int32_t>(i))->Serialise(stream);
    mTrackList->Serialise(stream);
    ClearOrphanPrivatePatterns();
    UpdateAudibleTracks();
    SetPosition(position);
    ++gTransport.changeCounter;
}

int32_t cSequencer::MeasureSong()
{
    cScopedLock lock(&mLock);
    int64_t bytes = SongFile::kHeaderBytes + 4;
    for (int32_t i = 0; i < mPatternTable->GetCount(); ++i)
        bytes += kPatternHeadBytes + int64_t(SongFile::kEventBytes) * mPatternTable->GetPattern(i)->count;
    for (int32_t i = 0; i < mTrackList->GetCount(); ++i)
        bytes += kTrackHeadBytes + int64_t(SongFile::kPartBytes) * mTrackList->GetTrack(i)->GetPartCount();
    return static_cast<int32_t>(std::min<int64_t>(bytes, INT32_MAX - kSpareImageBytes));
}

void cSequencer::WriteSong(File::cFile& stream)
{
    cScopedLock lock(&mLock);
    const int origin = stream.Tell();
    stream.SetFileVersion(SongFile::kVersion);
    WriteInt(stream, SongFile::kVersion);
    WriteInt(stream, 0); // the size, once known
    const uint8_t reserved[SongFile::kReservedBytes] = {};
    stream.Write(reserved, SongFile::kReservedBytes);
    WriteFloat(stream, gTransport.tempo);
    WriteInt(stream, gTransport.position);
    WriteInt(stream, gTransport.samplePosition);
    WriteInt(stream, gTransport.loopOn);
    WriteInt(stream, gTransport.loopStart);
    WriteInt(stream, gTransport.loopEnd);
    WriteInt(stream, gTransport.beatsPerBar);
    WriteFloat(stream, gTransport.metronomeLevel);
    WriteInt(stream, gTransport.countInBars);
    WriteQuantizeSettings(stream, gRecordQuantizeSettings);
    WriteQuantizeSettings(stream, gGridQuantizeSettings);
    WriteInt(stream, gTransport.metronomeMode);
    WriteInt(stream, mPatternTable->GetCount());
    for (int32_t i = 0; i < mPatternTable->GetCount(); ++i)
        mPatternTable->GetPattern(i)->Serialise(stream);
    mTrackList->Serialise(stream);
    const int end = stream.Tell();
    stream.Seek(origin + SongFile::kSizeOffset, 0);
    WriteInt(stream, end - origin);
    stream.Seek(end, 0);
}
