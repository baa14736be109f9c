// Saving and loading the song file: a 64-bar song of 10 tracks and 4,870
// notes with 1,768 controller moves (the shape of the shared reference
// song), built in code. Each save and load goes through the "Doc" mount to
// disk (the save's time includes its flush to the disk). Beside each, the
// part that holds the sequencer lock is timed on its own: the audio thread
// may wait that long for its block. Goal for the longest: under 0.5 ms, a
// tenth of the 4.99 ms device period. On a busy machine the wall-clock
// longest counts the time the holder was descheduled (the audio thread's
// priority, which the lock passes on, prevents that in the program), so the
// holder's own processor time is reported beside it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchDoc.h"
#include "audio/Transport.h"
#include "base/File.h"
#include "base/GenString.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/SongFileCheck.h"
#include "sequencer/Track.h"

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int32_t kTracks = 10;
constexpr int32_t kBars = 64;
constexpr int32_t kBar = 1024;
constexpr int32_t kPartBars = 4;
constexpr int32_t kNotes = 4870;
constexpr int32_t kControllers = 1768;
// The slots of the reference song's tracks: bass, two pads, lead, arpeggio,
// strings, three drum tracks on one kit and one more.
constexpr int32_t kTrackSlots[kTracks] = {0, 1, 2, 3, 4, 5, 9, 9, 9, 10};
constexpr const char* kSongPath = "Bench.prj/Package.sng";

cPatternEvent* NewEvent(int32_t time)
{
    cPatternEvent* event = cPatternEvent::Allocate();
    event->time = time;
    return event;
}

// Notes and controllers spread evenly over the song, each track its share.
void BuildSong(cSequencer& sequencer)
{
    cScopedLock lock(sequencer.GetLock());
    for (int32_t t = 0; t < kTracks; ++t)
    {
        cTrack* track = new cTrack();
        sequencer.InsertTrack(track, kTrackSlots[t], -1);
        std::vector<cPatternInstance*> parts;
        for (int32_t bar = 0; bar < kBars; bar += kPartBars)
        {
            cPatternInstance* part = cPatternInstance::CreateWithPrivatePattern();
            part->start = bar * kBar;
            part->length = kPartBars * kBar;
            part->pattern->loopLength = part->length;
            track->InsertPart(part);
            parts.push_back(part);
        }
        const int32_t notes = kNotes / kTracks + (t < kNotes % kTracks ? 1 : 0);
        const int32_t controllers = kControllers / kTracks + (t < kControllers % kTracks ? 1 : 0);
        for (int32_t i = 0; i < notes + controllers; ++i)
        {
            const bool note = i < notes;
            const int32_t count = note ? notes : controllers;
            const int32_t index = note ? i : i - notes;
            const int32_t time = int32_t(int64_t(index) * kBars * kBar / count);
            cPatternInstance* part = parts[size_t(time / (kPartBars * kBar))];
            cPatternEvent* event = NewEvent(time - part->start);
            if (note)
            {
                event->length = 96;
                event->SetNote(36 + (index * 7 + t) % 48);
                event->SetVelocity(60 + index % 60);
            }
            else
            {
                event->flags = cPatternEvent::kFlagController;
                event->length = 16;
                event->data3 = uint8_t(3 + index % 3);
                event->SetControllerValue((index * 977) % 65536 - 32768);
            }
            part->pattern->InsertEventSorted(event);
        }
    }
    sequencer.SetPosition(0);
}

// This thread's processor time: unlike the clock on the wall, it does not
// count the time other programs of a busy machine took the processor.
Clock::duration ThreadTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// A span timed on the wall clock and in this thread's processor time.
struct cSpan
{
    Clock::time_point wall = Clock::now();
    Clock::duration thread = ThreadTime();
};

// The lock holds of a run, in microseconds.
struct cTimings
{
    std::vector<double> wall;
    std::vector<double> thread;

    void Add(const cSpan& from, Clock::duration less = {}, Clock::duration lessThread = {})
    {
        wall.push_back(Micro(Clock::now() - from.wall - less));
        thread.push_back(Micro(ThreadTime() - from.thread - lessThread));
    }

    void Report(benchmark::State& state)
    {
        std::sort(wall.begin(), wall.end());
        std::sort(thread.begin(), thread.end());
        state.counters["lock_hold_median_us"] = wall[wall.size() / 2];
        state.counters["lock_hold_p99_us"] = wall[wall.size() * 99 / 100];
        state.counters["lock_hold_longest_us"] = wall.back();
        state.counters["lock_hold_longest_cpu_us"] = thread.back();
    }

    static double Micro(Clock::duration elapsed) { return std::chrono::duration<double, std::micro>(elapsed).count(); }
};

struct cBenchSong
{
    cBenchSong() { BuildSong(sequencer); }

    cBenchDoc doc{"Bench.prj"};
    cSequencer sequencer;
    cGenString error;
};

std::vector<uint8_t> Image(cSequencer& sequencer)
{
    File::cFileMemoryWrite file;
    sequencer.WriteSong(file);
    return std::vector<uint8_t>(file.GetData(), file.GetData() + file.GetLength());
}

// The lock is held only while the song is copied into memory (WriteSong);
// the file is written after.
void BM_SaveSong(benchmark::State& state)
{
    cBenchSong song;
    const int size = int(Image(song.sequencer).size());
    cTimings hold;
    for (auto _ : state)
    {
        File::cFileMemoryWrite image;
        image.Reserve(size + 4096);
        const cSpan span;
        song.sequencer.WriteSong(image);
        hold.Add(span);
        if (!song.sequencer.SaveSong(kSongPath, false, song.error))
            state.SkipWithError("the save failed");
    }
    hold.Report(state);
    state.counters["file_bytes"] = double(Image(song.sequencer).size());
}

// The file is read and checked before the lock is taken; the song is then
// replaced under it. The hold is the in-memory read less its check.
void BM_LoadSong(benchmark::State& state)
{
    cBenchSong song;
    song.sequencer.SaveSong(kSongPath, false, song.error);
    const std::vector<uint8_t> image = Image(song.sequencer);
    cTimings hold;
    for (auto _ : state)
    {
        if (!song.sequencer.LoadSong(kSongPath, 1, song.error))
            state.SkipWithError("the load failed");
        File::cFileMemoryRead checked(image.data(), int(image.size()));
        const cSpan check;
        cSongFileCheck(checked).Check();
        const Clock::duration checkWall = Clock::now() - check.wall;
        const Clock::duration checkThread = ThreadTime() - check.thread;
        File::cFileMemoryRead read(image.data(), int(image.size()));
        const cSpan span;
        song.sequencer.ReadSong(read, song.error);
        hold.Add(span, checkWall, checkThread);
    }
    hold.Report(state);
    if (Image(song.sequencer) != image)
        state.SkipWithError("the song loaded is not the song saved");
}
} // namespace

BENCHMARK(BM_SaveSong)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSong)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
