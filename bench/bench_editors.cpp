// The pattern edit model on a pattern of 1000 events:
// - a drag step: ConstrainMove over 1000 selected views (goal under 20 us);
// - RebuildViews (goal under 0.2 ms);
// - each edit kind with its undo. An edit holds the sequencer lock from its
//   start to its end and an undo through its whole change, so the longest
//   time either took is the longest hold: reported as longest_hold_us, goal
//   under half the 4.99 ms audio period, with the 99.9th percentile beside it
//   (a machine busy with other work puts rare outliers into the longest). It
//   is the thread's own processor time: the lock passes the audio thread's
//   priority to its holder, so other work does not stretch a hold the way it
//   stretches wall time.
//
// The song roll and its edit model:
// - a frame of the reference song, imported as the MIDI-file panel does,
//   framed whole ("All") and scrolled a little each frame so that every
//   frame builds its part rectangles and note lines again: goal under 2 ms
//   of processor time. Beside it longest_note_lines_hold_us: a thread takes
//   the sequencer lock over and over, and the longest it waited, in the
//   processor time the frame's thread spent meanwhile, is the longest the
//   note-line pass held it: goal under 0.1 ms;
// - the same frame over 1000 parts on dense patterns: goal under one frame
//   at 60 Hz (16.7 ms);
// - a drag step of all 1000 parts (ConstrainMove): goal under 0.2 ms;
// - "Move", "Copy" and "Delete" of all parts and their undo, each holding
//   the sequencer lock throughout: longest_hold_us, goal under half the
//   4.99 ms audio period, measured in the thread's own processor time as
//   the pattern edit benchmarks above do.
#include <benchmark/benchmark.h>

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "BenchToolkit.h"
#include "PatternEditWorld.h"
#include "SongEditWorld.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "base/CriticalSection.h"
#include "base/File.h"
#include "editors/EditGeometryBatch.h"
#include "editors/EventTypeSelectUI.h"
#include "editors/PatternEditAction.h"
#include "editors/PianoRoll.h"
#include "editors/PianoRollOwner.h"
#include "editors/SequencerUI.h"
#include "editors/SongRoll.h"
#include "editors/SongRollOwner.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/ModelChangeHooks.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/Track.h"
#include "ui/InputManager.h"

namespace
{
using cAction = cPatternEditAction;
constexpr int32_t kEvents = 1000;
constexpr int32_t kSource = 7; // the shared pattern "Copy ptn" copies
constexpr double kHalfPeriodMicroseconds = 0.5 * 220.0 / 44100.0 * 1e6;

cQuantizeGrid Grid(float interval)
{
    cQuantizeGrid grid;
    grid.on = 1;
    grid.interval = interval;
    return grid;
}

enum class eFill
{
    kNotes,       // 1000 notes a sixteenth apart over four octaves
    kHalfNotes,   // 500 of them, leaving room for copies
    kControllers, // 1000 controller events 8 ticks apart, creeping values
    kEmpty,       // nothing; the shared source holds 1000 events in the loop
};

void Fill(cPatternEditWorld& world, eFill fill)
{
    cScopedLock lock(world.sequencer.GetLock());
    cPattern& pattern = world.Pattern();
    const int32_t count = fill == eFill::kHalfNotes ? kEvents / 2 : kEvents;
    if (fill == eFill::kControllers)
        for (int32_t i = 0; i < count; ++i)
            cPatternEditWorld::AddControllerTo(pattern, i * 8, cPatternEditWorld::kPlainController, 64 + (i % 40), 16);
    else if (fill == eFill::kEmpty)
    {
        cPattern& source = *cPatternTable::GetInstance()->GetPattern(kSource);
        for (int32_t i = 0; i < count; ++i)
            cPatternEditWorld::AddNoteTo(source, i * 4, 48 + i % 36, 4, 100);
    }
    else
        for (int32_t i = 0; i < count; ++i)
            cPatternEditWorld::AddNoteTo(pattern, i * 16, 48 + i % 36, 48, 20 + i % 100);
}

struct cKind
{
    const char* name;
    eFill fill;
    int32_t lane;
    bool selectAll;
    std::function<int32_t(cPatternEditModel&)> edit;
};

const cKind kKinds[] = {
    {"Transpose", eFill::kNotes, 0, true, [](cPatternEditModel& m) { return m.Transpose(1); }},
    {"OffsetVelocity", eFill::kNotes, 0, true, [](cPatternEditModel& m) { return m.OffsetVelocity(-5); }},
    {"OffsetController", eFill::kControllers, 2, true, [](cPatternEditModel& m) { return m.OffsetController(10); }},
    {"Length", eFill::kNotes, 0, true, [](cPatternEditModel& m) { return m.ChangeLength(10.0f); }},
    {"Move", eFill::kNotes, 0, true, [](cPatternEditModel& m) { return m.Move(64.0f); }},
    {"Quantize", eFill::kNotes, 0, true,
     [](cPatternEditModel& m) { return m.Quantize(cAction::kQuantizePosition, 64.0f, 10.0f); }},
    {"Delete", eFill::kNotes, 0, true, [](cPatternEditModel& m) { return m.DeleteSelected(); }},
    {"DeleteAll", eFill::kNotes, 0, false, [](cPatternEditModel& m) { return m.DeleteAll(); }},
    {"Copy", eFill::kHalfNotes, 0, true, [](cPatternEditModel& m) { return m.CopySelection(Grid(256.0f)); }},
    {"CopyPattern", eFill::kEmpty, 0, false, [](cPatternEditModel& m) { return m.CopyPattern(kSource); }},
    {"CleanRedundantControllers", eFill::kControllers, 2, false,
     [](cPatternEditModel& m) { return m.Clean(cAction::kCleanRedundantControllers); }},
    {"DrawNotes", eFill::kNotes, 0, false,
     [](cPatternEditModel& m) { return m.DrawNotes(0.0f, 16000.0f, 60.0f, Grid(64.0f)); }},
    {"DrawVelocities", eFill::kNotes, 1, false,
     [](cPatternEditModel& m) { return m.DrawVelocities(0.0f, 16000.0f, 1.0f, 127.0f); }},
    {"DrawControllers", eFill::kControllers, 2, false,
     [](cPatternEditModel& m) { return m.DrawControllers(0.0f, 8000.0f, 0.0f, 127.0f, Grid(16.0f)); }},
};

double ThreadMicroseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) * 1e-3;
}

double Microseconds(const std::function<void()>& run)
{
    const double start = ThreadMicroseconds();
    run();
    return ThreadMicroseconds() - start;
}

void EditAndUndo(benchmark::State& state, const cKind& kind)
{
    cPatternEditWorld world;
    Fill(world, kind.fill);
    world.Rebuild();
    world.model.SetLane(kind.lane, 0, false);
    std::vector<double> holds;
    int32_t changed = 0;
    for (auto _ : state)
    {
        if (kind.selectAll)
            world.model.SelectAll();
        holds.push_back(Microseconds([&] { changed = kind.edit(world.model); }));
        holds.push_back(Microseconds([&] { world.model.UndoStep(); }));
    }
    std::sort(holds.begin(), holds.end());
    state.counters["longest_hold_us"] = holds.back();
    state.counters["hold_p999_us"] = holds[holds.size() * 999 / 1000];
    state.counters["half_period_us"] = kHalfPeriodMicroseconds;
    state.counters["events_changed"] = double(changed);
}

void BM_DragStep(benchmark::State& state)
{
    cPatternEditWorld world;
    Fill(world, eFill::kNotes);
    world.Rebuild();
    world.model.SelectAll();
    const cQuantizeGrid grid = Grid(64.0f);
    float offset = 0.0f;
    for (auto _ : state)
    {
        offset = offset > 600.0f ? -600.0f : offset + 7.0f;
        world.model.UpdateSelectionBounds(offset, 0.0f, 0.0f);
        world.model.ConstrainMove(grid);
        benchmark::DoNotOptimize(world.model.GetTimeOffset());
    }
}
BENCHMARK(BM_DragStep);

void BM_RebuildViews(benchmark::State& state)
{
    cPatternEditWorld world;
    Fill(world, eFill::kNotes);
    world.Rebuild();
    for (auto _ : state)
    {
        world.model.RebuildViews();
        benchmark::DoNotOptimize(world.model.GetViewCount());
    }
}
BENCHMARK(BM_RebuildViews);

// The piano roll on a part of 10,000 events, of which the editor shows the
// first 1,000: one frame through the draw list to a renderer that draws
// nothing, zoomed out, zoomed in and with the lane chooser open (goal under
// 1 ms of processor time each); and a drag of 1,000 selected events, a move
// step plus a frame (goal under 0.1 ms plus the frame), with the release's
// hold of the sequencer lock (goal under half the audio period).
class cRollBench : public cPianoRollOwner
{
public:
    static constexpr int32_t kPartEvents = 10000;

    cRollBench()
    {
        {
            cScopedLock lock(world.sequencer.GetLock());
            world.part->length = 64 * 1024;
            world.Pattern().loopLength = 64 * 1024;
            for (int32_t i = 0; i < kPartEvents; ++i)
                cPatternEditWorld::AddNoteTo(world.Pattern(), i * 6, 36 + i % 48, 24, 100);
        }
        roll = new cPianoRoll(this);
        roll->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 1024.0f, 768.0f);
        toolkit.manager->GetRoot()->AddChild(roll);
        roll->Release();
        roll->BindPart(world.part);
        roll->RebuildForPart(true);
        roll->ResetViewForPart();
        Frame();
    }
    ~cRollBench()
    {
        roll->BindPart(nullptr);
        toolkit.manager->GetRoot()->RemoveChild(roll);
    }

    cEditGeometryBatch* GetEditGeometryBatch() override { return &batch; }
    void ShowSongView() override {}
    void Frame() { toolkit.manager->Draw(); }

    cBenchToolkit toolkit;
    cPatternEditWorld world;
    cEditGeometryBatch batch;
    cPianoRoll* roll = nullptr;
};

enum class eRollView
{
    kZoomedOut,
    kZoomedIn,
    kChooserOpen,
};

void RollFrame(benchmark::State& state, eRollView view)
{
    cRollBench bench;
    if (view == eRollView::kZoomedIn)
    {
        bench.roll->ZoomToTicks(2048.0f, 512.0f, 0.0f, false);
        bench.roll->ZoomToValues(48.0f, 12.0f, 0.0f, false);
    }
    else if (view == eRollView::kChooserOpen)
    {
        cTouch touch;
        touch.id = 1;
        touch.tapCount = 1;
        const cRect button = bench.roll->GetLaneChooser()->GetButtonRect();
        touch.position = {(button.xMin + button.xMax) * 0.5f, (button.yMin + button.yMax) * 0.5f};
        bench.roll->GetLaneChooser()->HandleTouch(kTouchDown, &touch, nullptr);
        bench.roll->GetLaneChooser()->HandleTouch(kTouchUp, &touch, nullptr);
    }
    bench.Frame();
    std::vector<double> frames;
    for (auto _ : state)
        frames.push_back(Microseconds([&] { bench.Frame(); }));
    std::sort(frames.begin(), frames.end());
    state.counters["median_frame_us"] = frames[frames.size() / 2];
    state.counters["events_drawn"] = double(bench.roll->GetDrawnEventCount());
    state.counters["chooser_open"] = bench.roll->GetLaneChooser()->IsOpen() ? 1.0 : 0.0;
}

void BM_RollFrameZoomedOut(benchmark::State& state) { RollFrame(state, eRollView::kZoomedOut); }
void BM_RollFrameZoomedIn(benchmark::State& state) { RollFrame(state, eRollView::kZoomedIn); }
void BM_RollFrameChooserOpen(benchmark::State& state) { RollFrame(state, eRollView::kChooserOpen); }
BENCHMARK(BM_RollFrameZoomedOut);
BENCHMARK(BM_RollFrameZoomedIn);
BENCHMARK(BM_RollFrameChooserOpen);

// The move handle dragged across 1,000 selected events: each step is a
// touch move and a frame; each release moves them all under the lock.
void BM_RollDragSelected(benchmark::State& state)
{
    cRollBench bench;
    bench.roll->GetModel().SelectAll();
    bench.Frame();
    cTouch touch;
    touch.id = 1;
    touch.tapCount = 1;
    std::vector<double> moves, holds;
    int32_t step = 0;
    for (auto _ : state)
    {
        const cRect handle = bench.roll->GetHandle(cPianoRoll::kHandleMove).dragged;
        touch.position = {(handle.xMin + handle.xMax) * 0.5f, (handle.yMin + handle.yMax) * 0.5f};
        bench.roll->HandleTouch(kTouchDown, &touch, nullptr);
        for (int32_t i = 0; i < 8; ++i)
        {
            touch.position.X += (step & 1) ? -3.0f : 3.0f;
            moves.push_back(Microseconds([&] { bench.roll->HandleTouch(kTouchMove, &touch, nullptr); }));
        }
        bench.Frame();
        holds.push_back(Microseconds([&] { bench.roll->HandleTouch(kTouchUp, &touch, nullptr); }));
        ++step;
        bench.roll->GetModel().ClearHistory();
    }
    std::sort(moves.begin(), moves.end());
    std::sort(holds.begin(), holds.end());
    state.counters["median_move_us"] = moves[moves.size() / 2];
    state.counters["longest_release_us"] = holds.back();
    state.counters["half_period_us"] = kHalfPeriodMicroseconds;
    state.counters["selected"] = double(bench.roll->GetModel().GetSelectionCount());
}
BENCHMARK(BM_RollDragSelected);

constexpr int32_t kBar = 1024;
constexpr int32_t kParts = cSongEditModel::kMaxParts;

class cBenchRollOwner : public cSongRollOwner
{
public:
    cEditGeometryBatch* GetEditGeometryBatch() override { return &batch; }
    void EditPart(cPatternInstance*) override {}

    cEditGeometryBatch batch;
};

// The song roll as the sequencer page shows it, 1024 x 738, on the bench's
// null renderer, with an instrument in every slot so that every part draws
// its note lines.
class cBenchSongRoll : public cBenchToolkit
{
public:
    cBenchSongRoll()
    {
        packages.AddPackage(new cAnalogueSynthPackage());
        world.sequencer.SetBeatsPerBar(4);
        for (int32_t slot = 2; slot < cInstrumentSlotTable::kSlotCount; ++slot)
            world.slots.SetSlot(slot, world.package.CreateInstrument(0), false);
        roll = new cSongRoll(&owner);
        roll->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 30.0f, 1024.0f, 738.0f);
        manager->GetRoot()->AddChild(roll);
        roll->Release();
    }
    // The roll's history keeps parts of the song: it goes first.
    ~cBenchSongRoll() { manager->GetRoot()->RemoveChild(roll); }

    // Binds the roll and frames every part, as "All" in the zoom menu does.
    void Show()
    {
        roll->SetTrackList(world.sequencer.GetTrackList(), true);
        const cSongEditModel::cExtent extent = roll->GetModel().GetExtent();
        roll->ZoomToRange(extent.earliestStart, extent.latestEnd - extent.earliestStart, 0.1f, false);
        roll->ZoomRows(extent.lowestRow, extent.highestRow - extent.lowestRow, 0.0f, false);
        manager->Draw();
    }

    // Before the song, whose instruments it destroys.
    cInstrumentPackageRegistry packages;
    cSongEditWorld world;
    cBenchRollOwner owner;
    cSongRoll* roll = nullptr;
};

// The reference song as the MIDI-file panel imports it: a synthesizer and a
// track for each channel, the channels' events in parts of whole bars.
bool ImportReferenceSong()
{
    std::ifstream in(std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto* song = new cMIDIFileSong();
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    if (bytes.empty() || cMIDIFileConverter(song, &file).Read() != 0)
    {
        delete song;
        return false;
    }
    return ImportMIDIFileSong(song, false);
}

// 1000 one-bar parts over 16 tracks, each on its own pattern of 64 notes.
void PlaceDenseParts(cSongEditWorld& world, int32_t parts)
{
    constexpr int32_t kTracks = 16;
    for (int32_t track = 0; track < kTracks; ++track)
        world.AddTrack(track);
    for (int32_t i = 0; i < parts; ++i)
    {
        cPatternInstance* part = world.AddPrivatePart(world.Track(i % kTracks), (i / kTracks) * kBar, kBar);
        world.FillNotes(*part->pattern, kBar, kBar / 64);
    }
}

// Stands in for the audio thread: takes the lock over and over and, when it
// finds it held, measures the wait in the processor time the holding thread
// spent meanwhile, so that a busy machine taking the holder off its
// processor does not count as holding. The probe itself may be taken off its
// processor while it waits, which stretches a rare wait: the 99.9th
// percentile is reported beside the longest.
class cLockProbe
{
public:
    explicit cLockProbe(cCriticalSection* lock) : mLock(lock)
    {
        pthread_getcpuclockid(pthread_self(), &mHolderClock);
        mWaits.reserve(1 << 20);
        mThread = std::thread([this] { Run(); });
    }
    ~cLockProbe() { Stop(); }

    // The waits in microseconds, sorted; the probe stops.
    std::vector<double> Stop()
    {
        if (mThread.joinable())
        {
            mStop = true;
            mThread.join();
            std::sort(mWaits.begin(), mWaits.end());
        }
        return mWaits;
    }

private:
    double HolderMicroseconds() const
    {
        timespec now;
        clock_gettime(mHolderClock, &now);
        return double(now.tv_sec) * 1e6 + double(now.tv_nsec) * 1e-3;
    }

    void Run()
    {
        while (!mStop)
        {
            if (!mLock->TryEnter())
            {
                const double before = HolderMicroseconds();
                mLock->Enter();
                if (mWaits.size() < mWaits.capacity())
                    mWaits.push_back(HolderMicroseconds() - before);
            }
            mLock->Leave();
            std::this_thread::yield();
        }
    }

    cCriticalSection* mLock;
    clockid_t mHolderClock = CLOCK_THREAD_CPUTIME_ID;
    std::atomic<bool> mStop{false};
    std::vector<double> mWaits;
    std::thread mThread;
};

// Scrolls the view by a sixteenth of a bar, back and forth within eight bars
// of where it started, so that the next frame builds the parts again.
class cScroller
{
public:
    explicit cScroller(cSongRoll* roll) : mRoll(roll), mStart(roll->GetView()), mLeft(mStart.left) {}

    void Step()
    {
        if (mLeft + mStep < 0.0f || mLeft + mStep > mStart.left + 8.0f * kBar)
            mStep = -mStep;
        mLeft += mStep;
        mRoll->ZoomToRange(mLeft, mStart.width, 0.0f, false);
    }

private:
    cSongRoll* mRoll;
    cSongRoll::cView mStart;
    float mLeft;
    float mStep = kBar / 16.0f;
};

void ScrolledFrames(benchmark::State& state, cBenchSongRoll& bench)
{
    cScroller scroller(bench.roll);
    for (auto _ : state)
    {
        scroller.Step();
        bench.manager->Draw();
    }
    state.counters["parts"] = double(bench.roll->GetModel().GetViewCount());
    state.counters["note_line_vertices"] = double(bench.roll->GetModel().GetNoteLineCount());
}

void BM_SongRollFrameReferenceSong(benchmark::State& state)
{
    cBenchSongRoll bench;
    if (!ImportReferenceSong())
        return state.SkipWithError("the reference song cannot be read");
    bench.Show();
    ScrolledFrames(state, bench);
    // Untimed: frames beside a thread that takes the lock as the audio one does.
    cLockProbe probe(bench.world.sequencer.GetLock());
    cScroller scroller(bench.roll);
    for (int frame = 0; frame < 600; ++frame)
    {
        scroller.Step();
        bench.manager->Draw();
    }
    const std::vector<double> waits = probe.Stop();
    if (!waits.empty())
    {
        state.counters["longest_note_lines_hold_us"] = waits.back();
        state.counters["note_lines_hold_p999_us"] = waits[waits.size() * 999 / 1000];
    }
}
BENCHMARK(BM_SongRollFrameReferenceSong)->Unit(benchmark::kMicrosecond);

void BM_SongRollFrameThousandDenseParts(benchmark::State& state)
{
    cBenchSongRoll bench;
    PlaceDenseParts(bench.world, kParts);
    bench.Show();
    ScrolledFrames(state, bench);
}
BENCHMARK(BM_SongRollFrameThousandDenseParts)->Unit(benchmark::kMicrosecond);

void BM_SongDragStepOfAllParts(benchmark::State& state)
{
    cSongEditWorld world;
    PlaceDenseParts(world, kParts);
    world.Bind();
    world.model.SelectAll();
    float offset = 0.0f;
    for (auto _ : state)
    {
        offset = offset > 8.0f * kBar ? 0.0f : offset + 100.0f;
        benchmark::DoNotOptimize(world.model.ConstrainMove(offset));
    }
}
BENCHMARK(BM_SongDragStepOfAllParts)->Unit(benchmark::kMicrosecond);

// A command on every part and its undo, each timed; "Copy" starts from half
// the parts so that its copies fit.
void SongEditAndUndo(benchmark::State& state, int32_t parts, const std::function<void(cSongEditModel&)>& edit)
{
    cSongEditWorld world;
    PlaceDenseParts(world, parts);
    world.Bind();
    std::vector<double> holds;
    for (auto _ : state)
    {
        world.model.SelectAll();
        holds.push_back(Microseconds([&] { edit(world.model); }));
        holds.push_back(Microseconds([&] { world.model.UndoStep(); }));
    }
    std::sort(holds.begin(), holds.end());
    state.counters["longest_hold_us"] = holds.back();
    state.counters["hold_p999_us"] = holds[holds.size() * 999 / 1000];
    state.counters["half_period_us"] = kHalfPeriodMicroseconds;
}

void BM_SongMoveAll(benchmark::State& state)
{
    SongEditAndUndo(state, kParts, [](cSongEditModel& model) { model.MoveSelected(float(kBar), 0.0f); });
}
void BM_SongCopyAll(benchmark::State& state)
{
    SongEditAndUndo(state, kParts / 2, [](cSongEditModel& model) { model.DuplicateSelected(); });
}
void BM_SongDeleteAll(benchmark::State& state)
{
    SongEditAndUndo(state, kParts, [](cSongEditModel& model) { model.DeleteSelected(); });
}
BENCHMARK(BM_SongMoveAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SongCopyAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SongDeleteAll)->Unit(benchmark::kMicrosecond);

// The sequencer page over the screen on 1000 dense parts, as recording
// reaches it: a hook called on the recording thread's behalf, then the next
// frame. The sequencer lock's holds during those frames are measured beside.
class cBenchPage : public cBenchToolkit
{
public:
    cBenchPage()
    {
        world.sequencer.SetBeatsPerBar(4);
        PlaceDenseParts(world, kParts);
        page = new cSequencerUI();
        page->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 30.0f, 1024.0f, 738.0f);
        manager->GetRoot()->AddChild(page);
        page->Release();
        page->ResetToSongView(world.sequencer.GetTrackList());
        manager->Draw();
    }
    ~cBenchPage() { manager->GetRoot()->RemoveChild(page); }

    cPatternInstance* FirstPart() const { return world.Track(0)->GetFirstPart(); }

    cSongEditWorld world;
    cSequencerUI* page = nullptr;
};

void RecordedChangeFrames(benchmark::State& state, cBenchPage& bench, const std::function<void()>& change)
{
    cLockProbe probe(bench.world.sequencer.GetLock());
    for (auto _ : state)
    {
        {
            cScopedLock lock(bench.world.sequencer.GetLock());
            change();
        }
        bench.manager->Draw();
    }
    const std::vector<double> waits = probe.Stop();
    state.counters["tenth_period_us"] = 0.1 * 220.0 / 44100.0 * 1e6;
    if (!waits.empty())
    {
        state.counters["longest_hold_us"] = waits.back();
        state.counters["hold_p999_us"] = waits[waits.size() * 999 / 1000];
    }
}

// A recorded note: the song roll refills its 1000 views in place; a part
// recording made: the views are made again.
void BM_PageFrameAfterRecordingSongView(benchmark::State& state)
{
    cBenchPage bench;
    cPatternInstance* part = bench.FirstPart();
    const bool partAdded = state.range(0) != 0;
    RecordedChangeFrames(state, bench,
                         [&]
                         {
                             if (partAdded)
                                 NotifyPatternInstanceChanged(kModelAdded, part);
                             else
                                 NotifyPatternEventChanged(kModelAdded, part->pattern, nullptr);
                         });
    state.counters["parts"] = double(bench.page->GetSongRoll()->GetModel().GetViewCount());
}
BENCHMARK(BM_PageFrameAfterRecordingSongView)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A recorded note in the open 1000-event part: the piano roll's views made again.
void BM_PageFrameAfterRecordingPatternView(benchmark::State& state)
{
    cBenchPage bench;
    cPatternInstance* part = bench.FirstPart();
    {
        cScopedLock lock(bench.world.sequencer.GetLock());
        part->pattern->Clear();
        bench.world.FillNotes(*part->pattern, kEvents, 1);
    }
    bench.page->EditPart(part);
    bench.manager->Draw();
    RecordedChangeFrames(state, bench, [&] { NotifyPatternEventChanged(kModelAdded, part->pattern, nullptr); });
    state.counters["events"] = double(part->pattern->count);
}
BENCHMARK(BM_PageFrameAfterRecordingPatternView)->Unit(benchmark::kMicrosecond);

// What recording pays per change: the hook, from a thread other than the page's.
void BM_PageHookCall(benchmark::State& state)
{
    cBenchPage bench;
    cPatternInstance* part = bench.FirstPart();
    std::thread recorder(
        [&]
        {
            for (auto _ : state)
                NotifyPatternEventChanged(kModelAdded, part->pattern, nullptr);
        });
    recorder.join();
}
BENCHMARK(BM_PageHookCall)->Unit(benchmark::kNanosecond);
} // namespace

int main(int argc, char** argv)
{
    for (const cKind& kind : kKinds)
        benchmark::RegisterBenchmark((std::string("BM_EditAndUndo/") + kind.name).c_str(),
                                     [&kind](benchmark::State& state) { EditAndUndo(state, kind); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
