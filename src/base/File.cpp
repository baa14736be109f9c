#include "base/File.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

static_assert(std::endian::native == std::endian::little, "binary fields are stored as raw little-endian bytes");

namespace File
{
namespace
{
// The new position of a seek inside [0, limit], or -1.
int ResolveSeek(int offset, int origin, int position, int length, int limit)
{
    int64_t base = 0;
    if (origin == 1)
        base = position;
    else if (origin == 2)
        base = length;
    const int64_t target = base + offset;
    return (target < 0 || target > limit) ? -1 : int(target);
}

} // namespace

cFile::cFile(cFileSystem* owner, const char* name, int length, int mode, uint32_t flags)
    : mName(name), mOwner(owner), mLength(length), mMode(mode), mFlags(flags)
{
}

int cFile::ReadAll(void** out, int count)
{
    if (count == -1)
        count = mLength;
    if (count <= 0)
        return 0;
    uint8_t* data = new uint8_t[count];
    *out = data;
    return Read(data, count);
}

int cFile::SerialiseBytes(void* buffer, int count)
{
    return IsReading() ? Read(buffer, count) : Write(buffer, count);
}

int cFile::SerialiseInt32(int32_t* field) { return SerialiseBytes(field, 4); }
int cFile::SerialiseUInt32(uint32_t* field) { return SerialiseBytes(field, 4); }
int cFile::SerialiseFloat(float* field) { return SerialiseBytes(field, 4); }
int cFile::SerialiseByte(uint8_t* field) { return SerialiseBytes(field, 1); }

bool cFile::SerialiseString(cGenString& text)
{
    return IsReading() ? ReadString(text) : WriteString(text);
}

bool cFile::WriteString(const cGenString& text)
{
    uint32_t length = uint32_t(text.Length());
    if (Write(&length, 4) != 4)
        return false;
    if (length == 0)
        return true;
    return Write(text.CStr(), int(length) + 1) == int(length) + 1;
}

bool cFile::ReadString(cGenString& text)
{
    // A view refers to someone else's text: it is never written.
    const bool writable = text.Capacity() != -1;
    uint32_t length = 0;
    const bool fits = Read(&length, 4) == 4 && (length == 0 || int64_t(length) + 1 <= GetRemaining());
    if (writable)
        text.AssignCStr("");
    if (!fits)
        return false; // a length beyond the stream's end is a corrupt field
    if (length == 0)
        return true;
    const int size = int(length) + 1;
    char* buffer = text.GetBuffer();
    if (!writable || buffer == nullptr || text.MaxLength() < int(length))
        return ReadThroughScratch(text, writable, size);
    if (Read(buffer, size) != size)
    {
        buffer[0] = 0;
        return false;
    }
    buffer[length] = 0;
    return true;
}

bool cFile::ReadThroughScratch(cGenString& text, bool writable, int size)
{
    // A growable destination takes the whole text; a fixed one too small for
    // it, or a view, stays empty and the bytes are passed over so that the
    // next field is read from its place.
    std::vector<char> stored(size_t(size), 0);
    if (Read(stored.data(), size) != size)
        return false;
    stored[size_t(size) - 1] = 0;
    if (!writable)
        return true;
    text.AssignCStr(stored.data());
    if (text.Length() != size - 1)
        text.AssignCStr("");
    return true;
}

bool cFile::SerialiseArray(uint32_t** elements, uint32_t* count)
{
    if (!IsReading())
    {
        if (SerialiseUInt32(count) != 4)
            return false;
        const int bytes = int(*count) * 4;
        return bytes == 0 || Write(*elements, bytes) == bytes;
    }
    uint32_t stored = 0;
    if (SerialiseUInt32(&stored) != 4 || int64_t(stored) * 4 > GetRemaining())
        return false;
    uint32_t* array = new uint32_t[stored];
    const int bytes = int(stored) * 4;
    if (bytes > 0 && Read(array, bytes) != bytes)
    {
        delete[] array;
        return false;
    }
    *elements = array;
    *count = stored;
    return true;
}

cFileMemoryRead::cFileMemoryRead(const uint8_t* data, int length)
    : cFile(nullptr, "MemoryRead", length, kModeRead, 0), mData(data)
{
}

int cFileMemoryRead::Read(void* buffer, int count)
{
    const int n = std::max(0, std::min(count, GetLength() - mPosition));
    if (n > 0)
        std::memcpy(buffer, mData + mPosition, size_t(n));
    mPosition += n;
    return n;
}

int cFileMemoryRead::Write(const void*, int) { return 0; }

int cFileMemoryRead::Seek(int offset, int origin)
{
    const int target = ResolveSeek(offset, origin, mPosition, GetLength(), GetLength());
    if (target >= 0)
        mPosition = target;
    return target;
}

bool cFileMemoryRead::Close(bool) { return true; }

cFileMemoryWrite::cFileMemoryWrite() : cFile(nullptr, "MemoryWrite", 0, kModeWrite, 0)
{
    mBuffer.reserve(1024);
}

void cFileMemoryWrite::Reserve(int bytes)
{
    if (bytes <= 0 || size_t(bytes) <= mBuffer.capacity())
        return;
    const size_t length = mBuffer.size();
    mBuffer.resize(size_t(bytes), 0);
    mBuffer.resize(length);
}

int cFileMemoryWrite::Read(void* buffer, int count)
{
    const int n = std::max(0, std::min(count, GetLength() - mPosition));
    if (n > 0)
        std::memcpy(buffer, mBuffer.data() + mPosition, size_t(n));
    mPosition += n;
    return n;
}

int cFileMemoryWrite::Write(const void* buffer, int count)
{
    if (count <= 0)
        return 0;
    const size_t end = size_t(mPosition) + size_t(count);
    if (end > mBuffer.size())
    {
        if (end > mBuffer.capacity())
            mBuffer.reserve(std::max(end, mBuffer.capacity() + mBuffer.capacity() / 2));
        mBuffer.resize(end, 0);
    }
    std::memcpy(mBuffer.data() + mPosition, buffer, size_t(count));
    mPosition += count;
    SetLength(int(mBuffer.size()));
    return count;
}

int cFileMemoryWrite::Seek(int offset, int origin)
{
    // Like a disk file, a write stream may be positioned past its end; the
    // next write fills the gap with zeros.
    const int target = ResolveSeek(offset, origin, mPosition, GetLength(), INT_MAX);
    if (target >= 0)
        mPosition = target;
    return target;
}

bool cFileMemoryWrite::Close(bool) { return true; }

} // namespace File
