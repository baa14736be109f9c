#pragma once
#include <cstdint>

class cPattern;
class cTrack;

namespace File
{
class cFile;
} // namespace File

// A part: places a pattern on a track from a song position for a length,
// repeating the pattern every loop length, and may carry a program change for
// the track's instrument. A part on a private pattern owns it and keeps its
// loop length equal to its own length. Parts come from a pool in blocks of
// 128; every operation runs under the sequencer lock. The parts that the
// operations below return belong to no track yet: the caller inserts them.
class cPatternInstance
{
public:
    static constexpr int32_t kPoolBlock = 128;
    static constexpr uint32_t kProgramChangeBit = 1u << 24;

    // A pooled part on no pattern, 4 bars long.
    static cPatternInstance* Create();
    // On a free private or shared pattern; null when none is left.
    static cPatternInstance* CreateWithPrivatePattern();
    // The shared one prefers a number (see FindFreeSharedPattern).
    static cPatternInstance* CreateWithSharedPattern(int32_t preferred = -1);
    static int32_t GetPoolBlockCount();
    static int32_t GetPoolUsedCount();
    static int32_t GetPoolFreeCount();
    // Main thread: free parts ready for a recording pass (cBlockPool::TopUp).
    static void TopUpPool(int32_t reserve);

    // Lets the old pattern go and takes another (-1: none). A number outside
    // -1..2099 is refused, changing nothing.
    bool SetPattern(int32_t patternNumber);
    // Lets the pattern go and returns the part to the pool.
    void Release();
    // Same start, length, owner and program; a shared pattern is shared, a
    // private one copied from the events in [from, to). Null when no private
    // pattern is free.
    cPatternInstance* Clone(int32_t from, int32_t to) const;
    cPatternInstance* CloneWithOffset(int32_t offset) const;
    // The same part on a free shared pattern (the preferred one when free)
    // holding this one's events unrolled.
    cPatternInstance* ConvertToSharedPattern(int32_t preferred = -1) const;
    // Cuts the part at an offset inside it into two parts, or three where a
    // shared pattern is cut between its loop boundaries (the middle piece
    // gets a private pattern). False, making nothing, for an offset at or
    // outside the part or when patterns run out.
    bool Split(int32_t offset, cPatternInstance** first, cPatternInstance** second, cPatternInstance** third) const;
    // One part from two adjacent parts (in either order): the shared pattern
    // when it simply runs on, else a private pattern holding both. Null when
    // no pattern is free.
    cPatternInstance* Join(const cPatternInstance* other) const;
    // The song file's section: pattern number, program word, start, length.
    // Writing maps the preset to the one the project exports; reading (of a
    // checked stream) takes the pattern, converts an old file's preset
    // numbering, keeps the part inside the song and no record session.
    void Serialise(File::cFile& stream);

    int32_t GetEnd() const { return start + length; }
    bool IsShared() const { return patternNumber < 100; }
    bool HasProgramChange() const { return (programWord >> 24) != 0; }
    int32_t GetPresetKind() const { return static_cast<int32_t>((programWord >> 16) & 0xff); }
    int32_t GetPresetId() const { return static_cast<int32_t>(programWord & 0xffff); }
    // The ticks after which the pattern repeats: its loop length, or the
    // part's length when the pattern has none. Below 1 the part cannot play.
    int32_t GetLoopLength() const;
    bool IsPlayable() const { return GetLoopLength() >= 1; }

    cPatternInstance* previous = nullptr;
    cPatternInstance* next = nullptr;
    int32_t patternNumber = -1;
    cPattern* pattern = nullptr;
    int32_t start = 0;
    int32_t length = 0;
    cTrack* owner = nullptr;
    int32_t recordSessionId = 0;
    uint32_t programWord = 0; // bits 24..31 send a program, 16..23 its kind, 0..15 its preset id

private:
    // A new part on a free private pattern with this part's owner and
    // program, placed at start for length, its loop that length.
    cPatternInstance* NewPrivatePiece(int32_t pieceStart, int32_t pieceLength) const;
    bool SplitShared(int32_t offset, cPatternInstance** second, cPatternInstance** third) const;
    uint32_t GetExportedProgramWord() const;
};
