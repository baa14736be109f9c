#include "sequencer/PatternInstance.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "audio/Instrument.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Transport.h"
#include "base/File.h"
#include "sequencer/BlockPool.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternTable.h"
#include "sequencer/RecordUndoJournal.h"
#include "sequencer/SongFileFormat.h"
#include "sequencer/Track.h"

namespace
{
cBlockPool<cPatternInstance, cPatternInstance::kPoolBlock> gPartPool;

cPatternInstance* CreateOn(int32_t patternNumber)
{
    if (patternNumber < 0)
        return nullptr;
    cPatternInstance* part = cPatternInstance::Create();
    part->SetPattern(patternNumber);
    return part;
}

constexpr uint32_t kPresetIdMask = 0xffff;
constexpr uint32_t kPresetKindMask = 0xff0000;
constexpr int32_t kProgramsPerBank = 64;
constexpr int32_t kOldBankThree = 3;
constexpr int32_t kProjectBank = 7;

// Version 3 numbered presets 0..191 over banks 0, 1 and 3; higher numbers
// name nothing and send no program.
uint32_t ConvertVersionThreeWord(uint32_t word)
{
    const int32_t id = static_cast<int32_t>(word & kPresetIdMask);
    static const int32_t kBankOfBlock[] = {0, 1, 3};
    const int32_t block = id / kProgramsPerBank;
    if (block >= 3)
        return word & kPresetKindMask;
    const int32_t converted = kBankOfBlock[block] * 256 + id % kProgramsPerBank;
    return (word & ~kPresetIdMask) | static_cast<uint32_t>(converted);
}

// Before version 6 the project's presets lived in bank 3; now in bank 7.
uint32_t MoveBankThreeToProjectBank(uint32_t word)
{
    const int32_t id = static_cast<int32_t>(word & kPresetIdMask);
    if (id / 256 != kOldBankThree)
        return word;
    const int32_t moved = kProjectBank * 256 + id % kProgramsPerBank;
    return (word & ~kPresetIdMask) | static_cast<uint32_t>(moved);
}

// Releases what a failed operation made.
void ReleaseAll(cPatternInstance** parts, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
    {
        if (parts[i])
            parts[i]->Release();
        parts[i] = nullptr;
    }
}
} // namespace

cPatternInstance* cPatternInstance::Create()
{
    cPatternInstance* part = gPartPool.Allocate();
    part->length = 4 * gTransport.ticksPerBar.load();
    return part;
}

cPatternInstance* cPatternInstance::CreateWithPrivatePattern() { return CreateOn(FindFreePrivatePattern()); }

cPatternInstance* cPatternInstance::CreateWithSharedPattern(int32_t preferred)
{
    return CreateOn(FindFreeSharedPattern(preferred));
}

int32_t cPatternInstance::GetPoolBlockCount() { return gPartPool.GetBlockCount(); }

int32_t cPatternInstance::GetPoolUsedCount() { return gPartPool.GetUsedCount(); }

int32_t cPatternInstance::GetPoolFreeCount() { return gPartPool.GetFreeCount(); }

void cPatternInstance::TopUpPool(int32_t reserve) { gPartPool.TopUp(reserve); }

bool cPatternInstance::SetPattern(int32_t number)
{
    cPatternTable* table = cPatternTable::GetInstance();
    if (number < -1 || number >= cPatternTable::kCount || (number >= 0 && !table))
        return false;
    if (pattern)
        pattern->Release();
    patternNumber = number;
    pattern = number < 0 ? nullptr : table->GetPattern(number);
    if (pattern)
        ++pattern->referenceCount;
    return true;
}

void cPatternInstance::Release()
{
    if (cRecordUndoJournal* journal = cRecordUndoJournal::GetInstance())
        journal->OnPartReleased(this);
    SetPattern(-1);
    gPartPool.Free(this);
}

int32_t cPatternInstance::GetLoopLength() const
{
    if (pattern && pattern->loopLength > 0)
        return pattern->loopLength;
    return length;
}

cPatternInstance* cPatternInstance::Clone(int32_t from, int32_t to) const
{
    cPatternInstance* copy = Create();
    copy->start = start;
    copy->length = length;
    copy->owner = owner;
    copy->programWord = programWord;
    if (IsShared())
    {
        copy->SetPattern(patternNumber);
        return copy;
    }
    if (!copy->SetPattern(FindFreePrivatePattern()) || !copy->pattern)
    {
        copy->Release();
        return nullptr;
    }
    copy->pattern->CopyRange(*pattern, from, to);
    return copy;
}

cPatternInstance* cPatternInstance::CloneWithOffset(int32_t offset) const
{
    cPatternInstance* copy = Clone(0, INT32_MAX);
    if (copy)
        copy->start += offset;
    return copy;
}

cPatternInstance* cPatternInstance::ConvertToSharedPattern(int32_t preferred) const
{
    cPatternInstance* copy = CreateWithSharedPattern(preferred);
    if (!copy)
        return nullptr;
    copy->start = start;
    copy->length = length;
    copy->owner = owner;
    copy->programWord = programWord;
    copy->pattern->loopLength = length;
    if (pattern && pattern->tail)
        copy->pattern->CopyRepeated(*pattern, pattern->tail->time + pattern->tail->length);
    return copy;
}

cPatternInstance* cPatternInstance::NewPrivatePiece(int32_t pieceStart, int32_t pieceLength) const
{
    cPatternInstance* piece = CreateWithPrivatePattern();
    if (!piece)
        return nullptr;
    piece->start = pieceStart;
    piece->length = pieceLength;
    piece->owner = owner;
    piece->programWord = programWord;
    piece->pattern->loopLength = pieceLength;
    return piece;
}

bool cPatternInstance::Split(int32_t offset, cPatternInstance** first, cPatternInstance** second,
                             cPatternInstance** third) const
{
    cPatternInstance* pieces[3] = {};
    *first = *second = *third = nullptr;
    if (offset <= 0 || offset >= length)
        return false;
    pieces[0] = Clone(0, offset);
    if (pieces[0])
    {
        pieces[0]->length = offset;
        if (!IsShared())
        {
            pieces[0]->pattern->loopLength = offset;
            pieces[1] = Clone(offset, length);
            if (pieces[1])
            {
                pieces[1]->start = start + offset;
                pieces[1]->length = length - offset;
                pieces[1]->pattern->loopLength = length - offset;
                pieces[1]->pattern->ShiftEvents(-offset);
            }
        }
        else if (!SplitShared(offset, &pieces[1], &pieces[2]))
            ReleaseAll(&pieces[1], 2);
    }
    if (!pieces[0] || !pieces[1])
    {
        ReleaseAll(pieces, 3);
        return false;
    }
    *first = pieces[0];
    *second = pieces[1];
    *third = pieces[2];
    return true;
}

// A cut on a loop boundary shares the pattern on both sides. Elsewhere the
// rest of the interrupted pass becomes a private piece and the passes after
// it share the pattern again.
bool cPatternInstance::SplitShared(int32_t offset, cPatternInstance** second, cPatternInstance** third) const
{
    int32_t loop = pattern ? pattern->loopLength : 0;
    if (loop <= 0)
        loop = length;
    int32_t boundary = ((offset - 1) / loop + 1) * loop;
    if (boundary > length)
        boundary = length;
    if (boundary == offset)
    {
        *second = Clone(0, 0);
        (*second)->start = start + offset;
        (*second)->length = length - offset;
        return true;
    }
    *second = NewPrivatePiece(start + offset, boundary - offset);
    if (!*second)
        return false;
    const int32_t inLoop = offset % loop;
    if (pattern)
    {
        (*second)->pattern->CopyRange(*pattern, inLoop, inLoop + (boundary - offset));
        (*second)->pattern->ShiftEvents(-inLoop);
    }
    (*second)->pattern->loopLength = boundary - offset;
    if (boundary >= length)
        return true;
    *third = Clone(0, 0);
    (*third)->start = start + boundary;
    (*third)->length = length - boundary;
    return true;
}

cPatternInstance* cPatternInstance::Join(const cPatternInstance* other) const
{
    const cPatternInstance* x = this;
    const cPatternInstance* y = other;
    if (x == y->next || x->start > y->start)
        std::swap(x, y);
    const int32_t loop = x->pattern ? x->pattern->loopLength : 0;
    if (x->IsShared() && x->patternNumber == y->patternNumber && x->pattern && loop > 0 && x->GetEnd() == y->start &&
        x->length % loop == 0)
    {
        cPatternInstance* joined = x->Clone(0, 0);
        joined->length = y->GetEnd() - x->start;
        return joined;
    }
    cPatternInstance* joined = x->NewPrivatePiece(x->start, y->GetEnd() - x->start);
    if (!joined)
        return nullptr;
    cPattern& into = *joined->pattern;
    if (x->pattern)
        into.CopyRepeated(*x->pattern, x->length);
    cPatternEvent* last = into.tail;
    if (y->pattern)
        into.CopyRepeated(*y->pattern, y->length);
    for (cPatternEvent* event = last ? last->next : into.head; event; event = event->next)
        event->time += y->start - x->start;
    return joined;
}

uint32_t cPatternInstance::GetExportedProgramWord() const
{
    const cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    cInstrument* instrument = slots && owner ? slots->GetInstrument(owner->GetChannel()) : nullptr;
    if (!instrument || !HasProgramChange())
        return programWord;
    const int32_t kind = GetPresetKind();
    const uint32_t preset = static_cast<uint32_t>(instrument->MapPreset(GetPresetId(), kind)) & kPresetIdMask;
    return preset | (static_cast<uint32_t>(kind) << 16) | kProgramChangeBit;
}

void cPatternInstance::Serialise(File::cFile& stream)
{
    const int32_t version = stream.GetFileVersion();
    int32_t number = patternNumber;
    uint32_t word = stream.IsReading() ? 0 : GetExportedProgramWord();
    stream.SerialiseInt32(&number);
    stream.SerialiseUInt32(&word);
    if (stream.IsReading() && version < SongFile::kFirstVersionWithChannels)
    {
        uint32_t spare = 0;
        stream.SerialiseUInt32(&spare);
    }
    stream.SerialiseInt32(&start);
    stream.SerialiseInt32(&length);
    if (!stream.IsReading())
        return;
    SetPattern(number);
    if (version == SongFile::kVersionWithOldPresets)
        word = ConvertVersionThreeWord(word);
    if (version < SongFile::kVersion)
        word = MoveBankThreeToProjectBank(word);
    programWord = word;
    start = std::clamp(start, 0, SongFile::kLatestTicks);
    length = std::clamp(length, 1, SongFile::kLatestTicks);
    recordSessionId = 0;
}
