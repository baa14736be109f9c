#pragma once
#include <cstdint>

struct cPatternEvent;
struct cQuantizeGrid;

namespace File
{
class cFile;
} // namespace File

// A time-ordered list of notes and controllers that repeats after its loop
// length inside a part. Patterns 0..99 are shared by any number of parts,
// 100..2099 each belong to one part. Every edit runs under the sequencer lock
// and keeps the tracks' play cursors and sounding notes consistent.
class cPattern
{
public:
    static constexpr int32_t kSharedCount = 100;
    // Recording and the repeat copy stop at this many events; other edits do not check.
    static constexpr int32_t kMaxEvents = 1000;

    cPattern() = default;
    cPattern(const cPattern&) = delete;
    cPattern& operator=(const cPattern&) = delete;
    ~cPattern();

    bool IsPrivate() const { return number >= kSharedCount; }

    // Frees every event; count 0, loop length 4 bars.
    void Clear();
    // A private pattern's last part clears it; otherwise the count goes down.
    void Release();
    // The last event at or before the time, or null when the time precedes
    // them all. The walk starts at the hint, else at the nearer end.
    cPatternEvent* FindInsertPosition(int32_t time, cPatternEvent* hint) const;
    // Links the event after the position, or at the front for null.
    void InsertAfter(cPatternEvent* event, cPatternEvent* position);
    // In time order, after the events of the same time; a playing track still
    // plays it in the current pass when it lies ahead of the play position.
    void InsertEventSorted(cPatternEvent* event);
    // Unlinks (does not free); a note sounding from it is released at once.
    void RemoveEvent(cPatternEvent* event);
    // By a delta, then onto the grid (rounded half away from zero) when one is given.
    void MoveEvent(cPatternEvent* event, int32_t delta, const cQuantizeGrid* grid);
    // A copy of a source event at its time plus the offset; the copy.
    static cPatternEvent* CopyEventFrom(const cPattern& source, const cPatternEvent* event, cPattern& destination,
                                        int32_t offset);
    // Tracks playing the pattern find their place again.
    void SetLoopLength(int32_t ticks);
    void SwapContents(cPattern& other);
    void ShiftEvents(int32_t delta);
    // Appends copies of the source's events in [from, to); takes its loop length.
    void CopyRange(const cPattern& source, int32_t from, int32_t to);
    // Appends the source's events repeated every loop length up to the length
    // (the length itself serves as the loop when the source has none or a
    // longer one), stopping at kMaxEvents.
    void CopyRepeated(const cPattern& source, int32_t length);
    // For recording: an existing controller event of the same id and session
    // within the window around the new one, nearest first backward from the
    // position, then forward.
    cPatternEvent* FindController(cPatternEvent* position, const cPatternEvent& added, int32_t window) const;
    // For recording: a note of the same pitch at the same time among the
    // events of the position's tick, or just after the position.
    cPatternEvent* FindNoteAt(cPatternEvent* position, const cPatternEvent& added) const;
    // The song file's section: loop length, event count, the events. Reading
    // replaces the events (on a checked stream), putting them in time order.
    void Serialise(File::cFile& stream);

    int32_t number = -1; // in the pattern table
    int32_t count = 0;
    cPatternEvent* head = nullptr;
    cPatternEvent* tail = nullptr;
    int32_t referenceCount = 0;
    int32_t loopLength = 4096; // 0: the part's length

private:
    void Unlink(cPatternEvent* event);
    void Append(cPatternEvent* event) { InsertAfter(event, tail); }
    void InsertAndFixCursors(cPatternEvent* event, cPatternEvent* position);
    void SortByTime();
};
