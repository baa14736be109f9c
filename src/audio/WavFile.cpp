#include "audio/WavFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "audio/RiffReader.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "base/GenString.h"

namespace
{
constexpr int kFormatFieldBytes = 16;
constexpr uint32_t kRiffOverhead = kFormatFieldBytes + 20; // the header after the RIFF size field
constexpr uint32_t kMaxDataSize = UINT32_MAX - kRiffOverhead;
// Sizes passed to one stream call, which counts in int.
constexpr uint32_t kMaxPiece = 1u << 24;
// Samples converted per read of 8 or 24-bit data, through a stack buffer.
constexpr uint32_t kConvertSamples = 8192;

uint16_t ReadLE16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }
uint32_t ReadLE32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}
void WriteLE16(uint8_t* bytes, uint16_t value)
{
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}
void WriteLE32(uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
}

// 8-bit WAV data is unsigned around 128.
void Convert8(const uint8_t* source, int16_t* destination, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        destination[i] = int16_t((int(source[i]) - 128) * 256);
}

// The top two bytes of each little-endian 24-bit sample. Four samples are
// taken from three 32-bit words at a time: the byte-wise loop cost more than
// the file read.
void Convert24(const uint8_t* source, int16_t* destination, uint32_t count)
{
    uint32_t i = 0;
    for (; i + 4 <= count; i += 4, source += 12)
    {
        const uint32_t w0 = ReadLE32(source), w1 = ReadLE32(source + 4), w2 = ReadLE32(source + 8);
        destination[i] = int16_t(uint16_t(w0 >> 8));
        destination[i + 1] = int16_t(uint16_t(w1));
        destination[i + 2] = int16_t(uint16_t(w1 >> 24 | w2 << 8));
        destination[i + 3] = int16_t(uint16_t(w2 >> 16));
    }
    for (; i < count; ++i, source += 3)
        destination[i] = int16_t(uint16_t(source[1] | source[2] << 8));
}
} // namespace

cWavFile::~cWavFile() { Discard(); }

bool cWavFile::OpenRead(const char* path)
{
    Close();
    mReader = cRiffReader::Open(path);
    return ReadFormat();
}

bool cWavFile::OpenRead(File::cFile* stream)
{
    Close();
    mReader = new cRiffReader(stream);
    return ReadFormat();
}

bool cWavFile::Fail(const char* error)
{
    mError = error;
    Close();
    return false;
}

bool cWavFile::ReadFormat()
{
    if (!mReader || !mReader->IsOpen())
        return Fail("Couldn't open file");
    const cRiffReader::cChunk* riff = mReader->Top();
    if (!riff || std::memcmp(riff->id, "RIFF", 4) != 0 || std::memcmp(riff->form, "WAVE", 4) != 0 ||
        !mReader->FindChunk("fmt "))
        return Fail("Couldn't find RIFF, WAVE, or fmt");
    if (!ReadFormatChunk())
        return false;
    if (!mReader->FindChunk("data"))
        return Fail("Couldn't find data chunk");
    mDataSize = mReader->CurrentSize();
    return true;
}

// Only the first 16 bytes are format fields; extensions are skipped. A chunk
// too short to hold them is no PCM format.
bool cWavFile::ReadFormatChunk()
{
    if (mReader->CurrentSize() < uint32_t(kFormatFieldBytes))
        return Fail("Format incorrect - check that it is uncompressed PCM");
    uint8_t fields[kFormatFieldBytes];
    if (mReader->GetFile()->Read(fields, kFormatFieldBytes) != kFormatFieldBytes)
        return Fail("Error reading format chunk");
    mReader->Ascend();
    mFormatTag = ReadLE16(fields);
    mChannels = ReadLE16(fields + 2);
    mSampleRate = ReadLE32(fields + 4);
    mBytesPerSecond = ReadLE32(fields + 8);
    mBlockAlign = ReadLE16(fields + 12);
    mBitsPerSample = ReadLE16(fields + 14);
    return true;
}

bool cWavFile::HasConsistentLayout() const
{
    return mSampleRate >= 1 && mBlockAlign == mChannels * (mBitsPerSample / 8);
}

bool cWavFile::Rewind()
{
    if (!mReader || !mReader->Reset() || !mReader->FindChunk("data"))
    {
        mError = "Couldn't find data chunk on reset";
        return false;
    }
    return true;
}

bool cWavFile::ReadConverted(int16_t* destination, uint32_t count, uint32_t bytesPerSample)
{
    uint8_t piece[kConvertSamples * 3];
    File::cFile* file = mReader->GetFile();
    while (count > 0)
    {
        const uint32_t n = std::min(count, kConvertSamples);
        const int bytes = int(n * bytesPerSample);
        if (file->Read(piece, bytes) != bytes)
        {
            mError = "Couldn't read samples";
            return false;
        }
        if (bytesPerSample == 1)
            Convert8(piece, destination, n);
        else
            Convert24(piece, destination, n);
        destination += n;
        count -= n;
    }
    return true;
}

bool cWavFile::ReadSamples16(int16_t* destination, uint32_t count)
{
    if (!mReader || !mReader->IsOpen())
        return false;
    switch (mBitsPerSample)
    {
    case 8:
        return ReadConverted(destination, count, 1);
    case 24:
        return ReadConverted(destination, count, 3);
    case 16:
        break;
    default:
        return false;
    }
    uint8_t* bytes = reinterpret_cast<uint8_t*>(destination);
    uint64_t remaining = uint64_t(count) * 2;
    while (remaining > 0)
    {
        const int piece = int(std::min<uint64_t>(remaining, kMaxPiece));
        if (mReader->GetFile()->Read(bytes, piece) != piece)
        {
            mError = "Couldn't read samples";
            return false;
        }
        bytes += piece;
        remaining -= uint64_t(piece);
    }
    return true;
}

bool cWavFile::OpenWrite(const char* path)
{
    Close();
    mWriter = gFileSystemRegistry ? gFileSystemRegistry->OpenIn("Native", path, File::kModeWrite,
                                                                File::kFlagSafeWrite | File::kFlagDropBackup)
                                  : nullptr;
    if (!mWriter)
    {
        mError = "Couldn't open output file";
        return false;
    }
    mDataSize = 0;
    if (WriteHeader(mWriter))
        return true;
    Discard();
    return false;
}

void cWavFile::SetFormat(uint32_t sampleRate, uint16_t bits, uint16_t channels)
{
    mFormatTag = kFormatPCM;
    mChannels = channels;
    mSampleRate = sampleRate;
    mBitsPerSample = bits;
    mBlockAlign = uint16_t(channels * (bits / 8));
    mBytesPerSecond = sampleRate * mBlockAlign;
    mDataSize = 0;
    mHeaderDirty = true;
}

bool cWavFile::WriteHeader(File::cFile* file)
{
    uint8_t header[kHeaderBytes];
    std::memcpy(header, "RIFF", 4);
    WriteLE32(header + 4, mDataSize + kRiffOverhead);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    WriteLE32(header + 16, kFormatFieldBytes);
    WriteLE16(header + 20, mFormatTag);
    WriteLE16(header + 22, mChannels);
    WriteLE32(header + 24, mSampleRate);
    WriteLE32(header + 28, mBytesPerSecond);
    WriteLE16(header + 32, mBlockAlign);
    WriteLE16(header + 34, mBitsPerSample);
    std::memcpy(header + 36, "data", 4);
    WriteLE32(header + 40, mDataSize);
    if (file->Seek(0, 0) != 0 || file->Write(header, kHeaderBytes) != kHeaderBytes)
    {
        mError = "Error writing header";
        return false;
    }
    if (file == mWriter)
        mHeaderDirty = false;
    return true;
}

bool cWavFile::WriteData(const void* bytes, uint32_t count)
{
    if (!mWriter || count > kMaxDataSize - mDataSize)
    {
        mError = "Couldn't write samples";
        return false;
    }
    const uint8_t* data = static_cast<const uint8_t*>(bytes);
    for (uint32_t done = 0; done < count;)
    {
        const int piece = int(std::min(count - done, kMaxPiece));
        if (mWriter->Write(data + done, piece) != piece)
        {
            mError = "Couldn't write samples";
            return false;
        }
        done += uint32_t(piece);
        mDataSize += uint32_t(piece);
        mHeaderDirty = true;
    }
    return true;
}

void cWavFile::CutData(uint32_t bytes)
{
    if (!mWriter || bytes >= mDataSize)
        return;
    mDataSize = bytes;
    mHeaderDirty = true;
}

bool cWavFile::Close()
{
    delete mReader;
    mReader = nullptr;
    if (!mWriter)
        return true;
    const int end = mWriter->Tell();
    const bool header = !mHeaderDirty || (WriteHeader(mWriter) && mWriter->Seek(end, 0) == end);
    // A file whose header is stale describes data it does not hold.
    const bool closed = mWriter->Close(!header);
    delete mWriter;
    mWriter = nullptr;
    return header && closed;
}

void cWavFile::Discard()
{
    delete mReader;
    mReader = nullptr;
    if (!mWriter)
        return;
    mWriter->Close(true);
    delete mWriter;
    mWriter = nullptr;
}

void cWavFile::Describe(cGenString& out) const
{
    const float seconds = mBytesPerSecond ? float(mDataSize) / float(mBytesPerSecond) : 0.0f;
    out.Printf("%.1fs (%.1fkHz %s, %dbit)", seconds, mSampleRate * 0.001f, mChannels == 1 ? "Mono" : "Stereo",
               int(mBitsPerSample));
}
