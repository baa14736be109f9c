#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "ChoiceSource.h"
#include "SongEditWorld.h"
#include "SongRecords.h"

// Drives a song edit model through selections, drags, every command on
// parts, tracks and instruments, piano-roll visits, undos, redos and history
// jumps, and checks after each step that every view shows a part of the song
// on its own row, no part has two views, and the song equals what it was
// after the history's current step (private pattern numbers aside, which
// the pool hands out).
class cSongEditExerciser
{
public:
    explicit cSongEditExerciser(cChoiceSource& choices);
    ~cSongEditExerciser();
    cSongEditExerciser(const cSongEditExerciser&) = delete;
    cSongEditExerciser& operator=(const cSongEditExerciser&) = delete;

    // Tracks on three instruments with parts of both kinds holding notes.
    void Fill();
    // One operation, then the checks; false (with the failure said) when one fails.
    bool Step();
    // Back to before the oldest step and forward to the newest, each compared.
    bool UndoAllRedoAll();

    const std::string& GetFailure() const { return mFailure; }
    int32_t GetEditCount() const { return mEdits; }

private:
    void Operate(uint32_t operation);
    void Command(uint32_t command);
    void Drag(uint32_t kind);
    void VisitPianoRoll();
    cSongEditModel::cPartView* NextView();
    int32_t NextRow();
    float NextTick() { return mChoices.NextFloat(-500.0f, 40000.0f); }
    cSongRecord Snapshot() const;
    bool Check(const char* operation);
    bool CheckViews();
    bool CheckHistory();
    bool Fail(const std::string& text);

    cChoiceSource& mChoices;
    cSongEditWorld mWorld;
    cSongEditModel& mModel;
    // The song before the history's first step, then after each step.
    std::deque<cSongRecord> mStates;
    std::atomic<bool> mActionBegun{false};
    int32_t mEdits = 0;
    std::string mFailure;
};
