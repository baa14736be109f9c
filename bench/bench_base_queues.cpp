// Costs of the cross-thread hand-offs (message ring, job queue) and of the
// table sine against the runtime's.
#include "base/Clock.h"
#include "base/FastMath.h"
#include "base/JobQueue.h"
#include "base/MessageQueue.h"
#include "base/Thread.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace
{
struct cCounter
{
    int64_t sum = 0;
    void Take(const cMessageQueue::cMessage& message) { sum += message.value; }
};

cMessageQueue::cMessage MakeMessage(int32_t value)
{
    cMessageQueue::cMessage message;
    message.type = cMessageQueue::kTypePresetChanged;
    message.value = value;
    return message;
}

// One frame's worth of notices: a burst of pushes, then one drain.
void BM_MessageRingBurst(benchmark::State& state)
{
    cMessageQueue queue;
    cCounter counter;
    const cDelegate take(&counter, &cCounter::Take);
    const int32_t burst = static_cast<int32_t>(state.range(0));
    for (auto _ : state)
    {
        for (int32_t i = 0; i < burst; ++i)
            queue.Push(MakeMessage(i));
        queue.Dispatch(take);
    }
    benchmark::DoNotOptimize(counter.sum);
    state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_MessageRingBurst)->Arg(1)->Arg(8)->Arg(31);

// A producer thread pushing while the consumer drains: messages handed over
// per second, and how many were dropped on a full ring.
void BM_MessageRingAcrossThreads(benchmark::State& state)
{
    cMessageQueue queue;
    cCounter counter;
    const cDelegate take(&counter, &cCounter::Take);
    std::atomic<bool> stop{false};
    std::atomic<int64_t> pushed{0}, dropped{0};
    std::thread producer([&] {
        int32_t value = 0;
        while (!stop.load(std::memory_order_relaxed))
        {
            if (queue.Push(MakeMessage(value++)))
                pushed.fetch_add(1, std::memory_order_relaxed);
            else
                dropped.fetch_add(1, std::memory_order_relaxed);
        }
    });
    for (auto _ : state)
        queue.Dispatch(take);
    stop = true;
    producer.join();
    queue.Dispatch(take);
    state.counters["handed_over"] = benchmark::Counter(static_cast<double>(pushed.load()), benchmark::Counter::kIsRate);
    state.counters["dropped"] = benchmark::Counter(static_cast<double>(dropped.load()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MessageRingAcrossThreads)->UseRealTime();

class cEmptyJob : public JobQueue::cJob
{
public:
    void Run(JobQueue::cJobQueue*) override {}
};

void WaitForFinish(const JobQueue::cJob& job)
{
    while (job.mState.load() != JobQueue::cJob::kStateFinished)
        std::this_thread::yield();
}

// From AddJob to the job's finished state while the worker is idle: bounded
// by the worker's 50 ms polling.
void BM_JobQueueHandOffLatency(benchmark::State& state)
{
    JobQueue::cJobQueue queue;
    cEmptyJob job;
    for (auto _ : state)
    {
        const int64_t start = GetTicks();
        queue.AddJob(&job);
        WaitForFinish(job);
        state.SetIterationTime(static_cast<double>(GetTicks() - start) * GetMillisecondsPerTick() * 0.001);
    }
}
BENCHMARK(BM_JobQueueHandOffLatency)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// An idle queue: waiting for idle returns at once (goal: well under one 50 ms
// polling interval); cancelling waits one interval for a job that might be
// starting (goal: about 50 ms, never more than two).
void BM_JobQueueIdleWait(benchmark::State& state)
{
    JobQueue::cJobQueue queue;
    for (auto _ : state)
        queue.WaitUntilIdle();
}
BENCHMARK(BM_JobQueueIdleWait)->Unit(benchmark::kMicrosecond);

void BM_JobQueueIdleCancel(benchmark::State& state)
{
    JobQueue::cJobQueue queue;
    for (auto _ : state)
        queue.CancelAll(true);
}
BENCHMARK(BM_JobQueueIdleCancel)->Iterations(10)->Unit(benchmark::kMillisecond);

// Jobs queued behind a busy worker run back to back in one pass: the cost
// per job of the two locks and the list, without the polling interval.
class cGateJob : public JobQueue::cJob
{
public:
    void Run(JobQueue::cJobQueue*) override
    {
        while (!mOpen.load())
            std::this_thread::yield();
    }
    std::atomic<bool> mOpen{false};
};

void BM_JobQueueBatch(benchmark::State& state)
{
    JobQueue::cJobQueue queue;
    std::vector<cEmptyJob> jobs(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
    {
        cGateJob gate;
        queue.AddJob(&gate);
        for (cEmptyJob& job : jobs)
            queue.AddJob(&job);
        while (gate.mState.load() != JobQueue::cJob::kStateRunning)
            std::this_thread::yield();
        const int64_t start = GetTicks();
        gate.mOpen = true;
        WaitForFinish(jobs.back());
        state.SetIterationTime(static_cast<double>(GetTicks() - start) * GetMillisecondsPerTick() * 0.001);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_JobQueueBatch)->Arg(10000)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

std::vector<float> SineArguments()
{
    std::vector<float> arguments(4096);
    for (size_t i = 0; i < arguments.size(); ++i)
        arguments[i] = static_cast<float>(i) * 0.0123f - 25.0f;
    return arguments;
}

void BM_FastSin(benchmark::State& state)
{
    InitFastMathTables();
    const std::vector<float> arguments = SineArguments();
    std::vector<float> results(arguments.size());
    for (auto _ : state)
    {
        for (size_t i = 0; i < arguments.size(); ++i)
        {
            const float x = arguments[i];
            results[i] = FastSin(x);
        }
        benchmark::DoNotOptimize(results.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(arguments.size()));
}
BENCHMARK(BM_FastSin);

// The runtime sine in single precision, and in double precision as SinF uses it.
void BM_StdSinFloat(benchmark::State& state)
{
    const std::vector<float> arguments = SineArguments();
    std::vector<float> results(arguments.size());
    for (auto _ : state)
    {
        for (size_t i = 0; i < arguments.size(); ++i)
        {
            const float x = arguments[i];
            results[i] = std::sin(x);
        }
        benchmark::DoNotOptimize(results.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(arguments.size()));
}
BENCHMARK(BM_StdSinFloat);

void BM_StdSinDouble(benchmark::State& state)
{
    const std::vector<float> arguments = SineArguments();
    std::vector<float> results(arguments.size());
    for (auto _ : state)
    {
        for (size_t i = 0; i < arguments.size(); ++i)
        {
            const float x = arguments[i];
            results[i] = static_cast<float>(std::sin(static_cast<double>(x)));
        }
        benchmark::DoNotOptimize(results.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(arguments.size()));
}
BENCHMARK(BM_StdSinDouble);
} // namespace

BENCHMARK_MAIN();
