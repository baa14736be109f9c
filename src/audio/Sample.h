#pragma once
#include <atomic>
#include <cstdint>

#include "base/GenString.h"

class cWavFile;

// A piece of audio in memory, interleaved signed 8 or 16-bit samples (every
// WAV load gives 16), shared by everything that plays or edits it. Samples
// are registered by path in the sample registry, so loading a path that is
// loaded already returns the same sample. References are counted atomically:
// job threads, the main thread and the audio thread's players hold them.
//
// Paths are relative to the "Doc" mount unless said otherwise. A sample's
// data pointer changes only under the audio manager's lock, so a block never
// sees half a change; the in-place edits (rotate, normalise, gain ramp) run
// while nothing plays the sample. Failures leave their reason in the one
// program-wide sample error text.
class cSample
{
public:
    static constexpr int32_t kPathCapacity = 260;
    static constexpr uint32_t kMaxUnlimitedBytes = 0x2000000; // 32 MB of file data

    // size limit: 0 for none (the file may then hold at most 32 MB of data);
    // otherwise the most bytes kept, rounded up to whole frames.
    static cSample* Load(const char* path, int32_t sizeLimit);
    // Uninitialised data; null when the path is registered.
    static cSample* Create(const char* path, int32_t bits, int32_t channels, int32_t sampleRate, int32_t frames);
    // Writes the sample under path and returns the sample registered there,
    // with a reference for the caller; null when the write failed.
    static cSample* SaveAs(cSample* sample, const char* path);
    // Checks what a sample can be made of; the first failure sets the error.
    static bool CheckWavFormat(const cWavFile& wav, bool enforceSize);
    // Reads the data of an open WAV as 16-bit samples (allocated with
    // new[]). Null, with the error set, when it fails.
    static uint8_t* ReadWavData(cWavFile& wav, int32_t sizeLimit, int32_t* frames, bool* truncated);
    // Bytes of every registered sample's data.
    static int64_t GetTotalMemory();
    // Moves every sample under oldFolder to the same place under newFolder.
    static void RebasePaths(const char* oldFolder, const char* newFolder);
    // Copies a sample file on the "Doc" mount; a sample loaded from the
    // destination is reloaded.
    static bool CopySampleFile(const char* source, const char* destination);
    static const char* GetErrorText();

    void AddRef() { mRefCount.fetch_add(1, std::memory_order_relaxed); }
    void Release();
    // Adds a reference only while the count is above 0: a sample whose last
    // reference is going stays gone.
    bool TryAddRef();
    int32_t GetRefCount() const { return mRefCount.load(std::memory_order_relaxed); }

    // At the "Doc" root joined with path, or with the sample's own path.
    bool WriteWav(const char* path) const;
    // From a native path, or from its own path; on failure nothing changes.
    bool Reload(const char* nativePath);
    // Under the audio manager's lock; returns the old data for the caller
    // to free with delete[].
    uint8_t* SwapData(uint8_t* data);
    // The same with the format of the new data, changed in the same hold of
    // the lock, so no block reads one buffer with the other's format.
    uint8_t* SwapData(uint8_t* data, int32_t bits, int32_t channels, int32_t sampleRate, int32_t frames);
    // Keeps the first frames (at least 1); false, changing nothing, for a
    // count that is negative or not below the length, or without memory.
    bool Truncate(int32_t frames);
    // The first frames move to the end.
    bool RotateStart(int32_t frames);
    // Raises the range to full scale, by 20 dB at most. True when the range
    // is clipped, and then it is left unchanged. A negative count means all.
    bool Normalize(int32_t start, int32_t count);
    // Normalize in two steps, so a long range can change a piece at a time:
    // the peak the range is raised by (0 when Normalize leaves it as it is,
    // with whether it is clipped), then any part of the range raised by it.
    int32_t FindNormalizePeak(int32_t start, int32_t count, bool* denselyClipped = nullptr) const;
    void RaiseToPeak(int32_t start, int32_t count, int32_t peak);
    // Multiplies the range by a gain moving from g0 to g1.
    void ApplyGainRamp(int32_t start, int32_t count, float g0, float g1);
    // Frames first .. first + partCount - 1 of that ramp, each multiplied as
    // the whole ramp multiplies it.
    void ApplyGainRampPart(int32_t start, int32_t count, float g0, float g1, int32_t first, int32_t partCount);
    float GetDuration() const;

    const char* GetPath() const { return mPath.CStr(); }
    int32_t GetSizeLimit() const { return mSizeLimit; }
    bool IsTruncated() const { return mTruncated != 0; }
    int32_t GetBits() const { return mBits; }
    int32_t GetChannels() const { return mChannels; }
    int32_t GetSampleRate() const { return mSampleRate; }
    int32_t GetFrames() const { return mFrames; }
    int32_t GetFrameBytes() const { return mBits / 8 * mChannels; }
    int64_t GetDataBytes() const { return int64_t(GetFrameBytes()) * mFrames; }
    uint8_t* GetData() const { return mData; }
    const int16_t* GetData16() const { return reinterpret_cast<const int16_t*>(mData); }

private:
    friend class cSampleRegistry;

    struct cLayout
    {
        int32_t bits;
        int32_t channels;
        int32_t sampleRate;
        int32_t frames;
    };

    cSample(const char* key, const cLayout& layout, int32_t sizeLimit, bool truncated, uint8_t* data);
    ~cSample();
    cSample(const cSample&) = delete;
    cSample& operator=(const cSample&) = delete;

    // The clamped range of frames an edit covers; false when it is empty.
    bool ClampRange(int32_t& start, int32_t& count) const;

    std::atomic<int32_t> mRefCount{1};
    cGenStringFixed<kPathCapacity> mPath;
    int32_t mSizeLimit;
    uint8_t mTruncated;
    int32_t mBits;
    int32_t mChannels;
    int32_t mSampleRate;
    int32_t mFrames;
    uint8_t* mData;
};
