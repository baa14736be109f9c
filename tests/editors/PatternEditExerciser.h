#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "ChoiceSource.h"
#include "PatternEditWorld.h"
#include "PatternRecords.h"

// Drives a pattern edit model through selections, lane changes, edits of
// every kind, undos, redos, history jumps and rebuilds, and checks after
// each step that the pattern is whole and in time order, that every view
// shows its own event, and that the pattern equals what it was after the
// history's current step (events at one tick compared as a set).
class cPatternEditExerciser
{
public:
    explicit cPatternEditExerciser(cChoiceSource& choices);
    ~cPatternEditExerciser();
    cPatternEditExerciser(const cPatternEditExerciser&) = delete;
    cPatternEditExerciser& operator=(const cPatternEditExerciser&) = delete;

    // Up to maxEvents notes and controllers in the bound pattern, a few in
    // the shared patterns the copies take from; then the views.
    void Fill(int32_t maxEvents);
    // One operation, then the checks; false (with the failure said) when one fails.
    bool Step();
    // Back to before the oldest step and forward to the newest, each compared.
    bool UndoAllRedoAll();

    const std::string& GetFailure() const { return mFailure; }
    int32_t GetEditCount() const { return mEdits; }

private:
    void Operate(uint32_t operation);
    void Edit(uint32_t kind);
    cQuantizeGrid NextGrid();
    float NextTick() { return mChoices.NextFloat(-200.0f, 9000.0f); }
    cPatternEditModel::cEventView* NextView();
    bool Check(const char* operation);
    bool CheckPattern();
    bool CheckViews();
    bool CheckHistory();
    bool Fail(const std::string& text);

    cChoiceSource& mChoices;
    cPatternEditWorld mWorld;
    cPatternEditModel& mModel;
    // The pattern before the history's first step, then after each step.
    std::deque<std::vector<cEventRecord>> mStates;
    std::atomic<bool> mActionBegun{false};
    int32_t mEdits = 0;
    std::string mFailure;
};
