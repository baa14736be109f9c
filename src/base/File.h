#pragma once

#include "base/GenString.h"

#include <cstdint>
#include <vector>

namespace File
{
class cFileSystem;

// Open modes of a stream.
enum : int
{
    kModeRead = 1,
    kModeWrite = 2,
    kModeUpdate = 3,
};

// Stream flags.
enum : uint32_t
{
    // The data goes to the name plus ".tmp" and is committed at close.
    kFlagSafeWrite = 1u << 0,
    // After the commit the ".bak" of the previous file is removed.
    kFlagDropBackup = 1u << 1,
    // The commit skips the flush to disk: for scratch files, which are
    // worthless after a restart anyway.
    kFlagNoSync = 1u << 2,
};

// The byte stream every reader and writer works through. Binary formats use
// the Serialise* field operations, which read when the stream was opened for
// reading and write otherwise, so one routine serves both directions.
class cFile
{
public:
    cFile(cFileSystem* owner, const char* name, int length, int mode, uint32_t flags);
    cFile(const cFile&) = delete;
    cFile& operator=(const cFile&) = delete;

    // Whole-stream readers allocate (remaining + block size) rounded down to
    // a multiple of it, which leaves room for a terminator.
    virtual int GetBlockSize() const { return 16; }
    virtual ~cFile() = default;
    virtual int Read(void* buffer, int count) = 0;
    // Allocates exactly count bytes (-1: the stream's length) with new[] into
    // out and reads them; a count of 0 or less allocates nothing and gives 0.
    virtual int ReadAll(void** out, int count);
    virtual int Write(const void* buffer, int count) = 0;
    // origin 0 start, 1 current position, 2 end; the new position or -1.
    virtual int Seek(int offset, int origin) = 0;
    virtual int Tell() = 0;
    virtual int GetRemaining() = 0;
    virtual bool Close(bool discard) = 0;

    const char* GetName() const { return mName.CStr(); }
    cFileSystem* GetOwner() const { return mOwner; }
    int GetLength() const { return mLength; }
    int GetMode() const { return mMode; }
    uint32_t GetFlags() const { return mFlags; }
    bool IsReading() const { return mMode == kModeRead; }
    // Non-zero once a write or close of the stream has failed.
    int GetErrorFlag() const { return mErrorFlag; }
    void SetErrorFlag(int error) { mErrorFlag = error; }
    int GetFileVersion() const { return mFileVersion; }
    void SetFileVersion(int version) { mFileVersion = version; }
    // The version of legacy patch data on this stream, set by the patch
    // reader when it meets an old record; 0 while the data is current.
    int GetLegacyPatchVersion() const { return mLegacyPatchVersion; }
    void SetLegacyPatchVersion(int version) { mLegacyPatchVersion = version; }

    // Raw little-endian fields; the result is the byte count moved.
    int SerialiseInt32(int32_t* field);
    int SerialiseUInt32(uint32_t* field);
    int SerialiseFloat(float* field);
    int SerialiseByte(uint8_t* field);
    int SerialiseBytes(void* buffer, int count);
    // A 32-bit length, then (when above 0) the text and its NUL. Reading
    // fails on a length beyond the stream's end (the text becomes empty); a
    // stored text too long for the destination leaves it empty and is skipped
    // so that the next field is read from its place. A read-only view is never
    // written. False when the field could not be read or written whole.
    bool SerialiseString(cGenString& text);
    // A 32-bit count N, then N 32-bit elements; reading allocates the array
    // with new[] (the caller owns it).
    bool SerialiseArray(uint32_t** elements, uint32_t* count);

protected:
    void SetLength(int length) { mLength = length; }

private:
    bool WriteString(const cGenString& text);
    bool ReadString(cGenString& text);
    bool ReadThroughScratch(cGenString& text, bool writable, int size);

    cGenStringFixed<260> mName;
    cFileSystem* mOwner;
    int32_t mLength;
    int32_t mMode;
    uint32_t mFlags;
    int32_t mErrorFlag = 0;
    int32_t mFileVersion = 0;
    int32_t mLegacyPatchVersion = 0;
};

// Reads a caller's buffer of known length; the caller keeps it alive.
class cFileMemoryRead : public cFile
{
public:
    cFileMemoryRead(const uint8_t* data, int length);

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int Tell() override { return mPosition; }
    int GetRemaining() override { return GetLength() - mPosition; }
    bool Close(bool discard) override;

private:
    const uint8_t* mData;
    int32_t mPosition = 0;
};

// Collects written bytes in a buffer that grows by half again when full.
class cFileMemoryWrite : public cFile
{
public:
    cFileMemoryWrite();

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int Tell() override { return mPosition; }
    int GetRemaining() override { return GetLength() - mPosition; }
    bool Close(bool discard) override;

    // The bytes written, or null while nothing has been.
    const uint8_t* GetData() const { return mBuffer.empty() ? nullptr : mBuffer.data(); }
    // Makes room for that many bytes now, and touches it, so that writing
    // them later neither reallocates nor faults pages in (a writer holding a
    // lock the audio thread waits for).
    void Reserve(int bytes);

private:
    std::vector<uint8_t> mBuffer;
    int32_t mPosition = 0;
};

} // namespace File
