#pragma once
#include <atomic>
#include <cstdint>

#include "base/GenString.h"
#include "base/JobQueue.h"

class cSample;

// The samples of a synthesizer's four sample layers, one slot per layer.
// A slot takes its sample at once when the sample registry holds it;
// otherwise a background job loads it, one load at a time, and the audio
// thread installs the result at its next poll. Live playback thus never
// reads a file on the audio thread; offline renders load pending samples
// where they run, so that no note misses its sample.
//
// The slots, the flags and Poll belong to the audio thread (or the thread of
// an offline render); SetSlot also comes from the main thread while the
// audio manager's lock is held.
class cAnalogueSynthSampleManager
{
public:
    static constexpr int32_t kSlotCount = 4;
    static constexpr uint32_t kWaitMilliseconds = 5;

    // The one background load: the sample of one slot's path.
    class cJobLoadSample : public JobQueue::cJob
    {
    public:
        ~cJobLoadSample() override;
        void Run(JobQueue::cJobQueue* queue) override;

        int32_t slot = 0;
        cGenStringFixed<260> path;
        // One reference, or null when the file did not load.
        cSample* loaded = nullptr;
    };

    cAnalogueSynthSampleManager() = default;
    // Reset.
    ~cAnalogueSynthSampleManager();
    cAnalogueSynthSampleManager(const cAnalogueSynthSampleManager&) = delete;
    cAnalogueSynthSampleManager& operator=(const cAnalogueSynthSampleManager&) = delete;

    // A new path (ignoring case) or an empty one lets go of the slot's
    // sample; the slot then takes the registered sample of that path, or
    // waits for a load.
    void SetSlot(int32_t slot, const cGenString& path);
    // Once per block: collects a finished load, or starts the next one.
    // True while a load is in flight.
    bool Poll();
    // Once per block with the render's offline flag. Turning offline waits
    // for a running load, takes a waiting one back and loads the pending
    // slots where the render runs.
    void SetOffline(bool offline);
    // Lets go of every sample; a load still queued is taken back, a running
    // one is waited for.
    void Reset();

    cSample* GetSample(int32_t slot) const { return mSlots[slot].sample; }
    const cGenString& GetPath(int32_t slot) const { return mSlots[slot].path; }
    bool IsPending(int32_t slot) const { return mSlots[slot].pending != 0; }
    bool IsLoadQueued() const { return mJobQueued != 0; }
    const cJobLoadSample& GetJob() const { return mJob; }

private:
    struct cSlot
    {
        cGenStringFixed<260> path;
        uint8_t pending = 0;
        cSample* sample = nullptr;
    };

    void ReleaseSample(cSlot& slot);
    // The registered sample of the slot's path, with a reference; false
    // when the registry has none.
    bool TakeRegistered(cSlot& slot);
    void LoadPendingNow();
    void CollectJob();
    // The queued job back, when nothing runs it yet: its slot is pending
    // again.
    bool WithdrawJob();
    void WaitUntilJobFinished() const;

    cSlot mSlots[kSlotCount];
    cJobLoadSample mJob;
    // The editor reads it from the main thread to hold clicks while loading.
    std::atomic<uint8_t> mJobQueued{0};
    uint8_t mOffline = 0;
};
