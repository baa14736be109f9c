#pragma once
#include <cstdint>

namespace File
{
class cFile;
} // namespace File

// One note or controller of a pattern, in ticks from the pattern's start.
// Events come from a pool in blocks of 1024.
struct cPatternEvent
{
    enum : uint8_t
    {
        kFlagController = 1, // else a note
        kSessionShift = 1,   // bits 1..7: the record session that recorded it
    };

    static constexpr int32_t kPoolBlock = 1024;

    cPatternEvent* previous = nullptr;
    cPatternEvent* next = nullptr;
    uint8_t flags = 0;
    uint8_t data1 = 0; // note number, or the controller value's high byte
    uint8_t data2 = 0; // velocity 1..127, or the controller value's low byte
    uint8_t data3 = 0; // the controller id (a module parameter index); 0 for notes
    int32_t time = 0;
    int32_t length = 0;

    // Under the sequencer lock, like every change of the song.
    static cPatternEvent* Allocate();
    static void Free(cPatternEvent* event);
    static int32_t GetPoolBlockCount();
    static int32_t GetPoolUsedCount();
    static int32_t GetPoolFreeCount();
    // Main thread: free events ready for a recording pass (cBlockPool::TopUp).
    static void TopUpPool(int32_t reserve);

    bool IsController() const { return (flags & kFlagController) != 0; }
    int32_t GetSession() const { return flags >> kSessionShift; }

    void SetNote(int32_t note);
    void SetVelocity(int32_t velocity);
    // The same, for the editors' undo.
    void SetVelocityForUndo(int32_t velocity) { SetVelocity(velocity); }
    void AddVelocity(int32_t delta);
    // Silences the note wherever a track sounds it, then moves it.
    void Transpose(int32_t delta);
    // At least 1 tick long.
    void AddLength(int32_t delta);
    // The controller value: signed 16 bits over data1 (high) and data2 (low).
    int32_t GetControllerValue() const;
    void SetControllerValue(int32_t value);
    void AddControllerValue(int32_t delta);
    // The kind, data, time and length; never the record session.
    void CopyFrom(const cPatternEvent& other);
    // The song file's 12 bytes, following the stream's direction. Reading
    // keeps the kind only (no session), and clamps the note, the velocity,
    // the time and the length into what the song can play.
    void Serialise(File::cFile& stream);
};
