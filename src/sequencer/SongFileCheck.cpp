#include "sequencer/SongFileCheck.h"

#include <cmath>

#include "base/File.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/SongFileFormat.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr int32_t kMuteSoloStates = 3;
constexpr int32_t kSlots = 16;
} // namespace

const char* cSongFileCheck::GetMessage(eResult result)
{
    switch (result)
    {
    case eResult::kNewerVersion: return SongFile::kNewerVersionMessage;
    case eResult::kWrongSize: return SongFile::kWrongSizeMessage;
    case eResult::kDamaged: return SongFile::kDamagedMessage;
    default: return nullptr;
    }
}

cSongFileCheck::eResult cSongFileCheck::Check()
{
    uint32_t version = 0;
    uint32_t size = 0;
    if (!Read(version) || !Read(size))
        return eResult::kWrongSize;
    // A newer song still gives its own size; bytes that do not are no song,
    // whatever their first four say.
    if (version > uint32_t(SongFile::kVersion))
        return int64_t(size) == mStream.GetLength() ? eResult::kNewerVersion : eResult::kDamaged;
    if (int64_t(size) != mStream.GetLength())
        return eResult::kWrongSize;
    mVersion = static_cast<int32_t>(version);
    return CheckHeader() && CheckTracks() ? eResult::kSound : eResult::kDamaged;
}

bool cSongFileCheck::Skip(int64_t bytes)
{
    if (bytes > mStream.GetRemaining())
        return false;
    return mStream.Seek(static_cast<int>(bytes), 1) >= 0;
}

bool cSongFileCheck::Read(int32_t& value) { return mStream.SerialiseInt32(&value) == 4; }

bool cSongFileCheck::Read(uint32_t& value) { return mStream.SerialiseUInt32(&value) == 4; }

bool cSongFileCheck::Read(float& value) { return mStream.SerialiseFloat(&value) == 4; }

bool cSongFileCheck::Read(uint8_t& value) { return mStream.SerialiseByte(&value) == 1; }

bool cSongFileCheck::ReadFinite(float& value) { return Read(value) && std::isfinite(value); }

bool cSongFileCheck::ReadInRange(int32_t minimum, int32_t maximum)
{
    int32_t value = 0;
    return Read(value) && value >= minimum && value <= maximum;
}

// Values the transport clamps need only be there; indexes into tables and
// floats must be usable.
bool cSongFileCheck::CheckHeader()
{
    float tempo = 0.0f, level = 0.0f, recordSwing = 0.0f, gridSwing = 0.0f;
    int32_t unchecked = 0;
    uint32_t patterns = 0;
    const bool sound = Skip(SongFile::kReservedBytes) && ReadFinite(tempo) &&
                       Read(unchecked) && Read(unchecked) && Read(unchecked) && Read(unchecked) && Read(unchecked) &&
                       Read(unchecked) && ReadFinite(level) && Read(unchecked) &&
                       ReadInRange(0, cQuantizeSettings::kIntervalCount - 1) &&
                       ReadInRange(0, cQuantizeSettings::kTypeCount - 1) && ReadFinite(recordSwing) &&
                       ReadInRange(0, cQuantizeSettings::kIntervalCount - 1) &&
                       ReadInRange(0, cQuantizeSettings::kTypeCount - 1) && ReadFinite(gridSwing) &&
                       Read(unchecked) && Read(patterns);
    return sound && patterns <= uint32_t(cPatternTable::kCount) && CheckPatterns(patterns);
}

bool cSongFileCheck::CheckPatterns(uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
    {
        int32_t loopLength = 0;
        uint32_t events = 0;
        if (!Read(loopLength) || loopLength < 0 || !Read(events) || !Skip(int64_t(events) * SongFile::kEventBytes))
            return false;
    }
    return true;
}

bool cSongFileCheck::CheckTracks()
{
    uint32_t count = 0;
    if (!Read(count))
        return false;
    // An old file gains a track in slot 0's group, which must fit too.
    const bool old = mVersion < SongFile::kFirstVersionWithChannels;
    if (int64_t(count) + (old ? 1 : 0) > cTrackList::kMaxTracks)
        return false;
    for (uint32_t i = 0; i < count; ++i)
        if (!CheckTrack())
            return false;
    return true;
}

bool cSongFileCheck::CheckTrack()
{
    const bool old = mVersion < SongFile::kFirstVersionWithChannels;
    uint8_t flag = 0;
    uint32_t parts = 0;
    const bool sound = old ? Read(flag) && Read(parts)
                           : ReadInRange(0, kMuteSoloStates - 1) && ReadInRange(0, kSlots - 1) && Read(flag) &&
                                 Read(parts);
    const int32_t partBytes = old ? SongFile::kOldPartBytes : SongFile::kPartBytes;
    if (!sound || int64_t(parts) * partBytes > mStream.GetRemaining())
        return false;
    for (uint32_t i = 0; i < parts; ++i)
        if (!CheckPart())
            return false;
    return true;
}

bool cSongFileCheck::CheckPart()
{
    const bool old = mVersion < SongFile::kFirstVersionWithChannels;
    uint32_t word = 0;
    int32_t start = 0;
    int32_t length = 0;
    return ReadInRange(-1, cPatternTable::kCount - 1) && Read(word) && (!old || Read(word)) && Read(start) &&
           Read(length) && length >= 1;
}
