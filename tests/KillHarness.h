#pragma once

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "CommitStepKill.h"
#include "base/StaleTemporaries.h"

// Saves killed without warning. A child process (a fork of the test) saves
// and is killed, either on entering a chosen rename or link of the commit
// (every one in turn) or at a random moment; the test then plays the next
// start (NextStart) and checks what it finds: the last version committed or
// the one in progress, whole, and no temporary left.
namespace KillHarness
{
// Random kills per kind: QUIL_KILL_ROUNDS when set (tools/kill-trials asks
// for 200), else the suite's count.
inline int Rounds(int suiteCount)
{
    const char* rounds = std::getenv("QUIL_KILL_ROUNDS");
    const int asked = rounds ? std::atoi(rounds) : 0;
    return asked > 0 ? asked : suiteCount;
}

enum class eEnd
{
    kKilled,
    kFinished,
    kFailed,
};

inline eEnd Wait(pid_t child)
{
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return eEnd::kFailed;
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return eEnd::kKilled;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? eEnd::kFinished : eEnd::kFailed;
}

// A child runs the save once, killed on entering its step-th rename or link;
// it finishes when the save takes fewer steps.
inline eEnd RunKilledAtStep(int step, const std::function<bool()>& save)
{
    const pid_t child = fork();
    if (child == 0)
    {
        KillAtCommitStep(step);
        _exit(save() ? 0 : 1);
    }
    return Wait(child);
}

// The save killed at each of its commit steps in turn, the check run after
// each; returns how many steps the save takes (0 when a child failed).
inline int KillAtEveryStep(const std::function<bool()>& save, const std::function<void(int step)>& check)
{
    constexpr int kMostSteps = 200;
    for (int step = 1; step <= kMostSteps; ++step)
    {
        const eEnd end = RunKilledAtStep(step, save);
        if (end == eEnd::kFailed)
            return 0;
        check(step);
        if (end == eEnd::kFinished)
            return step - 1;
    }
    return 0;
}

// A child saves version 0, 1, 0, 1 ... without end and is killed after a
// random pause shorter than longest, counted from its first save's start;
// true when the kill is what ended it.
inline bool RunKilledAtRandom(std::mt19937& random, std::chrono::microseconds longest,
                              const std::function<void(int version)>& save)
{
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
    {
        close(ready[0]);
        const char mark = 'S';
        if (write(ready[1], &mark, 1) != 1)
            _exit(3);
        for (int i = 0;; i = 1 - i)
            save(i);
    }
    close(ready[1]);
    char mark = 0;
    const bool started = child > 0 && read(ready[0], &mark, 1) == 1;
    close(ready[0]);
    std::uniform_int_distribution<long> pause(0, long(longest.count()));
    if (started)
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    if (child > 0)
        kill(child, SIGKILL);
    return started && Wait(child) == eEnd::kKilled;
}

// How long one save takes here, the longest of three.
inline std::chrono::microseconds Duration(const std::function<void()>& save)
{
    std::chrono::microseconds longest{0};
    for (int i = 0; i < 3; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        save();
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now() - start));
    }
    return longest;
}

// What a start does before it reads anything: this run begins now, and the
// folders are swept of what the killed save left.
inline void NextStart(const std::vector<std::string>& folders)
{
    MarkProgramStart();
    for (const std::string& folder : folders)
        SweepStaleTemporaries(folder.c_str());
}

// Every file or folder below the folder whose name ends in ".tmp".
inline std::vector<std::string> Temporaries(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
    {
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0)
            found.push_back(it->path().string());
    }
    return found;
}

// One kind of save under test: it saves version 0 or 1, and a start reports
// the version it finds whole (-1 for none); the folders are what the start
// sweeps and where no temporary may stay.
struct cKind
{
    std::function<bool(int version)> save;
    std::function<int()> start;
    std::vector<std::string> folders;
};

// True when the killed save had left a temporary for the start to sweep.
inline bool ExpectAVersionWholeAndNoTemporary(const cKind& kind)
{
    bool leftOne = false;
    for (const std::string& folder : kind.folders)
        leftOne = leftOne || !Temporaries(folder).empty();
    NextStart(kind.folders);
    const int found = kind.start();
    EXPECT_TRUE(found == 0 || found == 1) << "found version " << found;
    for (const std::string& folder : kind.folders)
        EXPECT_EQ(Temporaries(folder), std::vector<std::string>{});
    return leftOne;
}

// Version 1 saved over version 0, killed at each step of its commit in turn;
// returns how many steps it takes.
inline int ExpectEveryStepSurvived(const cKind& kind)
{
    if (!kind.save(0))
        ADD_FAILURE() << "the first save failed";
    const int steps = KillAtEveryStep([&] { return kind.save(1); },
                                      [&](int step) {
                                          SCOPED_TRACE(testing::Message() << "killed at step " << step);
                                          ExpectAVersionWholeAndNoTemporary(kind);
                                          EXPECT_TRUE(kind.save(0));
                                      });
    std::printf("[ STEPS    ] killed at each of %d renames and links\n", steps);
    return steps;
}

// Saves killed at random moments, rounds times (QUIL_KILL_ROUNDS overrides).
inline void ExpectRandomKillsSurvived(const cKind& kind, int suiteRounds, unsigned seed)
{
    if (!kind.save(0))
        ADD_FAILURE() << "the first save failed";
    std::mt19937 random(seed);
    // Well past one save, so kills fall in every part of it.
    const auto longest = Duration([&] { kind.save(0); }) * 3;
    const int rounds = Rounds(suiteRounds);
    int killed = 0, midSave = 0;
    for (int round = 0; round < rounds; ++round)
    {
        SCOPED_TRACE(testing::Message() << "round " << round);
        killed += RunKilledAtRandom(random, longest, [&](int version) { kind.save(version); }) ? 1 : 0;
        midSave += ExpectAVersionWholeAndNoTemporary(kind) ? 1 : 0;
    }
    EXPECT_EQ(killed, rounds);
    // How many kills caught a save with its temporaries out, for the record.
    std::printf("[ KILLS    ] %d kills, %d while a temporary was out, save %lld us\n", killed, midSave,
                static_cast<long long>(longest.count() / 3));
}
} // namespace KillHarness
