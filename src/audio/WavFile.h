#pragma once
#include <cstdint>

#include "base/Delegate.h"

class cGenString;
class cRiffReader;
namespace File
{
class cFile;
}

// Reads and writes uncompressed PCM WAV files. Reading walks the RIFF chunks,
// so "fmt " and "data" are found in any order and behind other chunks; every
// read gives 16-bit samples. Writing puts the canonical 44-byte header before
// the data and completes it on close; the file goes through safe writing, so
// it appears only when written in full.
class cWavFile
{
public:
    enum : uint16_t
    {
        kFormatPCM = 1,
    };
    // Results of the Ogg Vorbis conversion.
    enum : int32_t
    {
        kConvertDone = 0,
        kConvertCancelled = 1,
        kConvertFailed = 2,
    };
    static constexpr int kHeaderBytes = 44;

    cWavFile() = default;
    ~cWavFile();
    cWavFile(const cWavFile&) = delete;
    cWavFile& operator=(const cWavFile&) = delete;

    // Native paths. Each closes what was open first.
    bool OpenRead(const char* path);
    // Reads from an open stream, which the WAV then owns.
    bool OpenRead(File::cFile* stream);
    bool OpenWrite(const char* path);

    bool ReadFormat();
    // The next read starts at the first sample again.
    bool Rewind();
    // count samples converted from 8, 16 or 24 bits.
    bool ReadSamples16(int16_t* destination, uint32_t count);

    void SetFormat(uint32_t sampleRate, uint16_t bits, uint16_t channels);
    bool WriteHeader(File::cFile* file);
    // Raw sample bytes in the file's format, appended to the data chunk.
    bool WriteData(const void* bytes, uint32_t count);
    // Shortens a writer's data chunk to its first bytes (no longer than it
    // is); the bytes past them stay behind the chunk, where readers skip them.
    void CutData(uint32_t bytes);
    // A writer gets its final header and is committed; false when anything
    // written was lost, and the file is then not replaced.
    bool Close();
    // Abandons a writer without touching an earlier file of its name.
    void Discard();

    // "%.1fs (%.1fkHz %s, %dbit)"
    void Describe(cGenString& out) const;

    // 16-bit stereo 44100 Hz sources only; nominalBitRate in bits per second.
    int32_t ConvertToOgg(const char* source, const char* destination, int32_t nominalBitRate);
    // progress is called with (progress 0..1, bool* cancel) after each piece
    // read; setting the flag cancels.
    int32_t ConvertToOggWithProgress(const char* source, const char* destination, int32_t nominalBitRate,
                                     const cDelegate& progress);
    int32_t OpenForConversion(const char* source);

    bool IsReading() const { return mReader != nullptr; }
    bool IsWriting() const { return mWriter != nullptr; }
    uint16_t GetFormatTag() const { return mFormatTag; }
    uint16_t GetChannels() const { return mChannels; }
    uint32_t GetSampleRate() const { return mSampleRate; }
    uint32_t GetBytesPerSecond() const { return mBytesPerSecond; }
    uint16_t GetBlockAlign() const { return mBlockAlign; }
    uint16_t GetBitsPerSample() const { return mBitsPerSample; }
    uint32_t GetDataSize() const { return mDataSize; }
    // True when the frame size matches channels and bits and the rate is
    // usable: a header that lies about either is no uncompressed PCM.
    bool HasConsistentLayout() const;
    const char* GetError() const { return mError; }
    const char* GetConversionError() const { return mConversionError; }
    float GetProgress() const { return mProgress; }

private:
    bool Fail(const char* error);
    bool ReadFormatChunk();
    bool ReadConverted(int16_t* destination, uint32_t count, uint32_t bytesPerSample);
    int32_t FailConversion(const char* error);
    int32_t Encode(File::cFile& destination, int32_t nominalBitRate, bool& cancelled);

    cRiffReader* mReader = nullptr;
    File::cFile* mWriter = nullptr;
    uint16_t mFormatTag = 0;
    uint16_t mChannels = 0;
    uint32_t mSampleRate = 0;
    uint32_t mBytesPerSecond = 0;
    uint16_t mBlockAlign = 0;
    uint16_t mBitsPerSample = 0;
    uint32_t mDataSize = 0;
    const char* mError = "";
    bool mHeaderDirty = true;

    cDelegate mProgressCallback;
    float mProgress = 0.0f;
    const char* mConversionError = "";
};
