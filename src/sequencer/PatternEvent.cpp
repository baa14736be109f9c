#include "sequencer/PatternEvent.h"

#include <algorithm>
#include <cstring>

#include "base/File.h"
#include "sequencer/BlockPool.h"
#include "sequencer/SongFileFormat.h"
#include "sequencer/TrackList.h"

namespace
{
cBlockPool<cPatternEvent, cPatternEvent::kPoolBlock> gEventPool;
} // namespace

cPatternEvent* cPatternEvent::Allocate() { return gEventPool.Allocate(); }

void cPatternEvent::Free(cPatternEvent* event) { gEventPool.Free(event); }

int32_t cPatternEvent::GetPoolBlockCount() { return gEventPool.GetBlockCount(); }

int32_t cPatternEvent::GetPoolUsedCount() { return gEventPool.GetUsedCount(); }

int32_t cPatternEvent::GetPoolFreeCount() { return gEventPool.GetFreeCount(); }

void cPatternEvent::TopUpPool(int32_t reserve) { gEventPool.TopUp(reserve); }

void cPatternEvent::SetNote(int32_t note) { data1 = static_cast<uint8_t>(std::clamp(note, 0, 127)); }

void cPatternEvent::SetVelocity(int32_t velocity) { data2 = static_cast<uint8_t>(std::clamp(velocity, 1, 127)); }

void cPatternEvent::AddVelocity(int32_t delta) { SetVelocity(data2 + delta); }

void cPatternEvent::Transpose(int32_t delta)
{
    if (cTrackList* tracks = cTrackList::GetInstance())
        tracks->ReleaseEventEverywhere(this);
    SetNote(data1 + delta);
}

void cPatternEvent::AddLength(int32_t delta) { length = std::max(length + delta, 1); }

int32_t cPatternEvent::GetControllerValue() const { return static_cast<int16_t>((data1 << 8) | data2); }

void cPatternEvent::SetControllerValue(int32_t value)
{
    data1 = static_cast<uint8_t>((value >> 8) & 0xff);
    data2 = static_cast<uint8_t>(value & 0xff);
}

void cPatternEvent::AddControllerValue(int32_t delta)
{
    SetControllerValue(std::clamp(GetControllerValue() + delta, -32768, 32767));
}

// One 12-byte move per event: a song holds thousands.
void cPatternEvent::Serialise(File::cFile& stream)
{
    uint8_t bytes[SongFile::kEventBytes] = {flags, data1, data2, data3};
    std::memcpy(bytes + 4, &time, 4);
    std::memcpy(bytes + 8, &length, 4);
    stream.SerialiseBytes(bytes, SongFile::kEventBytes);
    if (!stream.IsReading())
        return;
    flags = bytes[0];
    data1 = bytes[1];
    data2 = bytes[2];
    data3 = bytes[3];
    std::memcpy(&time, bytes + 4, 4);
    std::memcpy(&length, bytes + 8, 4);
    flags &= kFlagController;
    if (!IsController())
    {
        SetNote(data1);
        SetVelocity(data2);
    }
    time = std::clamp(time, 0, SongFile::kLatestTicks);
    length = std::clamp(length, 0, SongFile::kLatestTicks);
}

void cPatternEvent::CopyFrom(const cPatternEvent& other)
{
    flags = other.flags & kFlagController;
    data1 = other.data1;
    data2 = other.data2;
    data3 = other.data3;
    time = other.time;
    length = other.length;
}
