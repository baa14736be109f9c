#include "audio/Sample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "audio/AudioManager.h"
#include "audio/SampleRegistry.h"
#include "audio/WavFile.h"
#include "base/DiskFiles.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"

namespace
{
using tPath = cGenStringFixed<cSample::kPathCapacity>;

constexpr uint32_t kMaxSampleRate = 48000;
// Quieter material is raised as if its peak were a tenth of full scale, so
// normalising never adds more than 20 dB.
constexpr int32_t kMinPeak16 = 3276;
constexpr int32_t kMinPeak8 = 12;
// A range with at least one full-scale sample in 1024 counts as clipped.
constexpr int32_t kClipDensity = 1024;
// Signed 8-bit data is written to WAV files as unsigned bytes.
constexpr uint32_t kConvertPiece = 4096;

const char* const kErrorFormat = "Format incorrect - check that it is uncompressed PCM";
const char* const kErrorMemory = "Out of sample memory";
const char* const kErrorOpenOutput = "Couldn't open output file";
const char* const kErrorWrite = "Couldn't write samples";

// Constant texts only, so any thread may set and read it.
std::atomic<const char*> sErrorText{""};

void SetError(const char* text) { sErrorText.store(text, std::memory_order_relaxed); }

// Null when memory is short; an empty sample still gets a block of its own.
uint8_t* AllocateData(int64_t bytes) { return new (std::nothrow) uint8_t[size_t(std::max<int64_t>(bytes, 1))]; }

// Sample data the audio thread may be playing changes under this lock.
class cAudioDataLock : public cScopedLockIfAny
{
public:
    cAudioDataLock() : cScopedLockIfAny(cAudioManager::Get() ? cAudioManager::Get()->GetLock() : nullptr) {}
};

File::cFileSystem* Documents() { return gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Doc") : nullptr; }

// The native path of a path in the "Doc" mount.
bool DocumentPath(const char* path, tPath& out)
{
    File::cFileSystem* documents = Documents();
    if (!documents)
        return false;
    out.Assign(*documents->GetRootPath());
    return PathAppend(out, cGenString(path));
}

// The nearest of the integer range; a product that is not a number is 0.
int32_t ClampToRange(double value, int32_t low, int32_t high)
{
    if (!(value == value))
        return 0;
    return int32_t(std::clamp(value, double(low), double(high)));
}

// The peak a range is raised by, and whether it is clipped so densely that
// it is left as it is.
struct cPeak
{
    int32_t peak;
    bool denselyClipped;
};

template <class T>
cPeak FindPeak(const T* samples, int32_t count, int32_t fullScale, int32_t minPeak)
{
    int32_t peak = minPeak;
    int32_t clipped = 0;
    for (int32_t i = 0; i < count; ++i)
    {
        // In 32 bits the most negative value counts as full scale.
        const int32_t a = std::abs(int32_t(samples[i]));
        peak = std::max(peak, a);
        clipped += a >= fullScale ? 1 : 0;
    }
    return {peak, count > kClipDensity && clipped >= count / kClipDensity};
}

template <class T>
void RaiseSamples(T* samples, int32_t count, int32_t fullScale, int32_t peak)
{
    for (int32_t i = 0; i < count; ++i)
        samples[i] = T(std::clamp(int32_t(samples[i]) * fullScale / peak, -fullScale - 1, fullScale));
}

// In single precision, the step computed once from the whole ramp, so a
// ramp gives the same values wherever it is applied, in one piece or in
// parts (a 101-frame fade of 10000 has 3299 at frame 33). Frames first ..
// end - 1 of the ramp that starts at frames.
template <class T>
void RampSamples(T* frames, int32_t first, int32_t end, int32_t channels, float step, float g0, int32_t fullScale)
{
    for (int32_t i = first; i < end; ++i)
    {
        const float gain = float(i) * step + g0;
        T* frame = frames + int64_t(i) * channels;
        for (int32_t c = 0; c < channels; ++c)
            frame[c] = T(ClampToRange(std::trunc(float(frame[c]) * gain), -fullScale - 1, fullScale));
    }
}

bool WriteSigned8(cWavFile& wav, const uint8_t* data, int64_t bytes)
{
    uint8_t piece[kConvertPiece];
    for (int64_t done = 0; done < bytes;)
    {
        const uint32_t n = uint32_t(std::min<int64_t>(bytes - done, kConvertPiece));
        for (uint32_t i = 0; i < n; ++i)
            piece[i] = uint8_t(data[done + i] ^ 0x80);
        if (!wav.WriteData(piece, n))
            return false;
        done += n;
    }
    return true;
}
} // namespace

cSample::cSample(const char* key, const cLayout& layout, int32_t sizeLimit, bool truncated, uint8_t* data)
    : mPath(key)
    , mSizeLimit(sizeLimit)
    , mTruncated(truncated ? 1 : 0)
    , mBits(layout.bits)
    , mChannels(layout.channels)
    , mSampleRate(layout.sampleRate)
    , mFrames(layout.frames)
    , mData(data)
{
}

cSample::~cSample()
{
    cSampleRegistry::Remove(this);
    delete[] mData;
}

void cSample::Release()
{
    if (mRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

bool cSample::TryAddRef()
{
    int32_t count = mRefCount.load(std::memory_order_relaxed);
    while (count > 0)
        if (mRefCount.compare_exchange_weak(count, count + 1, std::memory_order_relaxed))
            return true;
    return false;
}

const char* cSample::GetErrorText() { return sErrorText.load(std::memory_order_relaxed); }

bool cSample::CheckWavFormat(const cWavFile& wav, bool enforceSize)
{
    const char* error = nullptr;
    const uint16_t bits = wav.GetBitsPerSample();
    if (wav.GetFormatTag() != cWavFile::kFormatPCM || !wav.HasConsistentLayout())
        error = kErrorFormat;
    else if (wav.GetChannels() != 1 && wav.GetChannels() != 2)
        error = "Only mono and stereo files are supported";
    else if (wav.GetSampleRate() > kMaxSampleRate)
        error = "Only sample rates up to 48000 are supported";
    else if (bits != 8 && bits != 16 && bits != 24)
        error = "Only 8, 16 or 24 bit samples are supported";
    else if (enforceSize && wav.GetDataSize() > kMaxUnlimitedBytes)
        error = "Samples are limited to 32MB each";
    if (error)
        SetError(error);
    return error == nullptr;
}

uint8_t* cSample::ReadWavData(cWavFile& wav, int32_t sizeLimit, int32_t* frames, bool* truncated)
{
    if (!CheckWavFormat(wav, sizeLimit <= 0))
        return nullptr;
    const int64_t frameBytes = int64_t(wav.GetChannels()) * 2;
    int64_t bytes = int64_t(wav.GetDataSize() / wav.GetBlockAlign()) * frameBytes;
    *truncated = false;
    if (sizeLimit > 0)
    {
        const int64_t limit = (sizeLimit + frameBytes - 1) / frameBytes * frameBytes;
        *truncated = bytes > limit;
        bytes = std::min(bytes, limit);
    }
    uint8_t* data = AllocateData(bytes);
    if (!data)
    {
        SetError(kErrorMemory);
        return nullptr;
    }
    if (!wav.Rewind() || !wav.ReadSamples16(reinterpret_cast<int16_t*>(data), uint32_t(bytes / 2)))
    {
        SetError(wav.GetError());
        delete[] data;
        return nullptr;
    }
    *frames = int32_t(bytes / frameBytes);
    return data;
}

cSample* cSample::Load(const char* path, int32_t sizeLimit)
{
    SetError("");
    tPath key, file;
    if (!MakeSampleKey(path, key) || !DocumentPath(key.CStr(), file))
    {
        SetError("Couldn't open file");
        return nullptr;
    }
    if (cSample* loaded = cSampleRegistry::FindAndAddRef(key.CStr(), true))
        return loaded;
    cWavFile wav;
    if (!wav.OpenRead(file.CStr()))
    {
        SetError(wav.GetError());
        return nullptr;
    }
    cLayout layout = {16, wav.GetChannels(), int32_t(wav.GetSampleRate()), 0};
    bool truncated = false;
    uint8_t* data = ReadWavData(wav, sizeLimit, &layout.frames, &truncated);
    if (!data)
        return nullptr;
    cSample* sample = new cSample(key.CStr(), layout, sizeLimit, truncated, data);
    // Another thread may have loaded the same file meanwhile: one sample per path.
    if (cSample* winner = cSampleRegistry::Insert(sample))
    {
        sample->Release();
        return winner;
    }
    return sample;
}

cSample* cSample::Create(const char* path, int32_t bits, int32_t channels, int32_t sampleRate, int32_t frames)
{
    SetError("");
    tPath key;
    if (!MakeSampleKey(path, key) || cSampleRegistry::FindAndAddRef(key.CStr(), false))
        return nullptr;
    const int64_t bytes = int64_t(bits / 8) * channels * frames;
    uint8_t* data = bytes >= 0 && bytes <= INT32_MAX ? AllocateData(bytes) : nullptr;
    if (!data)
    {
        SetError(kErrorMemory);
        return nullptr;
    }
    cSample* sample = new cSample(key.CStr(), {bits, channels, sampleRate, frames}, 0, false, data);
    if (cSample* holder = cSampleRegistry::Insert(sample))
    {
        holder->Release();
        sample->Release();
        return nullptr;
    }
    return sample;
}

bool cSample::WriteWav(const char* path) const
{
    tPath file;
    cWavFile wav;
    if (!DocumentPath(path ? path : GetPath(), file) || !wav.OpenWrite(file.CStr()))
    {
        SetError(kErrorOpenOutput);
        return false;
    }
    wav.SetFormat(uint32_t(mSampleRate), uint16_t(mBits), uint16_t(mChannels));
    const int64_t bytes = mData ? GetDataBytes() : 0;
    const bool written = mBits == 8 ? WriteSigned8(wav, mData, bytes) : wav.WriteData(mData, uint32_t(bytes));
    if (!written)
    {
        wav.Discard();
        SetError(kErrorWrite);
        return false;
    }
    if (!wav.Close())
    {
        SetError(kErrorWrite);
        return false;
    }
    return true;
}

cSample* cSample::SaveAs(cSample* sample, const char* path)
{
    tPath key;
    if (!MakeSampleKey(path, key))
    {
        SetError(kErrorOpenOutput);
        return nullptr;
    }
    if (cGenString::EqualsNoCase(key, cGenString(sample->GetPath())))
    {
        if (!sample->WriteWav(nullptr))
            return nullptr;
        sample->AddRef();
        return sample;
    }
    if (!sample->WriteWav(key.CStr()))
        return nullptr;
    cSample* registered = cSampleRegistry::FindAndAddRef(key.CStr(), true);
    if (!registered)
        return Load(key.CStr(), 0);
    if (registered->Reload(nullptr))
        return registered;
    registered->Release();
    return nullptr;
}

bool cSample::Reload(const char* nativePath)
{
    SetError("");
    tPath file;
    if (nativePath)
        file.AssignCStr(nativePath);
    else if (!DocumentPath(GetPath(), file))
    {
        SetError("Couldn't open file");
        return false;
    }
    cWavFile wav;
    if (!wav.OpenRead(file.CStr()))
    {
        SetError(wav.GetError());
        return false;
    }
    int32_t frames = 0;
    bool truncated = false;
    uint8_t* data = ReadWavData(wav, mSizeLimit, &frames, &truncated);
    if (!data)
        return false;
    const int32_t frameBytes = wav.GetChannels() * 2;
    uint8_t* old;
    {
        cAudioDataLock lock;
        if (mSizeLimit > 0)
            mSizeLimit = int32_t((int64_t(mSizeLimit) + frameBytes - 1) / frameBytes * frameBytes);
        mTruncated = truncated ? 1 : 0;
        // What was read is 16-bit whatever the sample held before.
        mBits = 16;
        mChannels = wav.GetChannels();
        mSampleRate = int32_t(wav.GetSampleRate());
        mFrames = frames;
        old = mData;
        mData = data;
    }
    delete[] old;
    return true;
}

uint8_t* cSample::SwapData(uint8_t* data)
{
    cAudioDataLock lock;
    std::swap(mData, data);
    return data;
}

uint8_t* cSample::SwapData(uint8_t* data, int32_t bits, int32_t channels, int32_t sampleRate, int32_t frames)
{
    cAudioDataLock lock;
    mBits = bits;
    mChannels = channels;
    mSampleRate = sampleRate;
    mFrames = frames;
    std::swap(mData, data);
    return data;
}

bool cSample::Truncate(int32_t frames)
{
    if (frames < 0 || frames >= mFrames || !mData)
        return false;
    frames = std::max(frames, 1);
    const size_t bytes = size_t(GetFrameBytes()) * size_t(frames);
    // The first frames already start the old block: copy them before the
    // old block is given up, so a failure leaves the sample whole.
    uint8_t* data = AllocateData(int64_t(bytes));
    if (!data)
    {
        SetError(kErrorMemory);
        return false;
    }
    std::memcpy(data, mData, bytes);
    uint8_t* old;
    {
        cAudioDataLock lock;
        old = mData;
        mData = data;
        mFrames = frames;
    }
    delete[] old;
    return true;
}

bool cSample::RotateStart(int32_t frames)
{
    if (!mData || mFrames <= 0)
        return false;
    if (frames < 1)
        return true;
    const int64_t frameBytes = GetFrameBytes();
    const int64_t split = int64_t(frames % mFrames) * frameBytes;
    std::rotate(mData, mData + split, mData + int64_t(mFrames) * frameBytes);
    return true;
}

bool cSample::ClampRange(int32_t& start, int32_t& count) const
{
    if (!mData)
        return false;
    start = std::clamp(start, 0, mFrames);
    if (count < 0)
        count = mFrames;
    count = std::min(count, mFrames - start);
    return count > 0;
}

bool cSample::Normalize(int32_t start, int32_t count)
{
    bool denselyClipped = false;
    RaiseToPeak(start, count, FindNormalizePeak(start, count, &denselyClipped));
    return denselyClipped;
}

int32_t cSample::FindNormalizePeak(int32_t start, int32_t count, bool* denselyClipped) const
{
    if (!ClampRange(start, count))
        return 0;
    const int64_t first = int64_t(start) * mChannels;
    const int32_t samples = count * mChannels;
    const int32_t fullScale = mBits == 16 ? INT16_MAX : INT8_MAX;
    const cPeak peak = mBits == 16
                           ? FindPeak(reinterpret_cast<const int16_t*>(mData) + first, samples, INT16_MAX, kMinPeak16)
                           : FindPeak(reinterpret_cast<const int8_t*>(mData) + first, samples, INT8_MAX, kMinPeak8);
    if (denselyClipped)
        *denselyClipped = peak.denselyClipped;
    return peak.denselyClipped || peak.peak >= fullScale ? 0 : peak.peak;
}

void cSample::RaiseToPeak(int32_t start, int32_t count, int32_t peak)
{
    const int32_t fullScale = mBits == 16 ? INT16_MAX : INT8_MAX;
    if (peak <= 0 || peak >= fullScale || !ClampRange(start, count))
        return;
    const int64_t first = int64_t(start) * mChannels;
    if (mBits == 16)
        RaiseSamples(reinterpret_cast<int16_t*>(mData) + first, count * mChannels, INT16_MAX, peak);
    else
        RaiseSamples(reinterpret_cast<int8_t*>(mData) + first, count * mChannels, INT8_MAX, peak);
}

void cSample::ApplyGainRamp(int32_t start, int32_t count, float g0, float g1)
{
    ApplyGainRampPart(start, count, g0, g1, 0, INT32_MAX);
}

void cSample::ApplyGainRampPart(int32_t start, int32_t count, float g0, float g1, int32_t first, int32_t partCount)
{
    if (!ClampRange(start, count))
        return;
    const float step = count > 1 ? (g1 - g0) / float(count - 1) : 0.0f;
    first = std::clamp(first, 0, count);
    const int32_t end = int32_t(std::clamp<int64_t>(int64_t(first) + partCount, first, count));
    const int64_t offset = int64_t(start) * mChannels;
    if (mBits == 16)
        RampSamples(reinterpret_cast<int16_t*>(mData) + offset, first, end, mChannels, step, g0, INT16_MAX);
    else
        RampSamples(reinterpret_cast<int8_t*>(mData) + offset, first, end, mChannels, step, g0, INT8_MAX);
}

float cSample::GetDuration() const { return mSampleRate ? float(mFrames) / float(mSampleRate) : 0.0f; }

int64_t cSample::GetTotalMemory() { return cSampleRegistry::GetTotalMemory(); }

void cSample::RebasePaths(const char* oldFolder, const char* newFolder)
{
    cSampleRegistry::RebasePaths(oldFolder, newFolder);
}

bool cSample::CopySampleFile(const char* source, const char* destination)
{
    // Names that differ only in case are two files here; one file under two
    // names is already its own copy.
    tPath from, to;
    if (std::strcmp(source, destination) == 0 ||
        (DocumentPath(source, from) && DocumentPath(destination, to) && IsSameFile(from.CStr(), to.CStr())))
        return true;
    File::cFileSystem* documents = Documents();
    // The copy lands through a temporary file, so a failure keeps the old one.
    if (!documents || !documents->Copy(cGenString(source), cGenString(destination), 1))
        return false;
    tPath key;
    if (!MakeSampleKey(destination, key))
        return true;
    if (cSample* loaded = cSampleRegistry::FindAndAddRef(key.CStr(), true))
    {
        loaded->Reload(nullptr);
        loaded->Release();
    }
    return true;
}
