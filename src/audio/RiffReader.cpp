#include "audio/RiffReader.h"

#include <algorithm>
#include <cstring>

#include "base/File.h"
#include "base/FileSystemRegistry.h"

namespace
{
constexpr int kHeaderBytes = 8;
constexpr int kFormBytes = 4;
constexpr size_t kUsualDepth = 4;

uint32_t ReadLE32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool HasForm(const char* id) { return std::memcmp(id, "RIFF", 4) == 0 || std::memcmp(id, "LIST", 4) == 0; }
} // namespace

cRiffReader::cRiffReader(File::cFile* file) : mFile(file)
{
    mStack.reserve(kUsualDepth);
    if (mFile)
        Reset();
}

cRiffReader::~cRiffReader() { delete mFile; }

cRiffReader* cRiffReader::Open(const char* path)
{
    File::cFile* file = gFileSystemRegistry ? gFileSystemRegistry->OpenIn("Native", path, File::kModeRead, 0) : nullptr;
    return new cRiffReader(file);
}

bool cRiffReader::SeekTo(int64_t position) { return mFile->Seek(int(position), 0) == position; }

// A header that does not fit before limit is no chunk: the parent ends there.
bool cRiffReader::ReadChunkHeader(int64_t limit, cChunk& chunk)
{
    const int64_t position = mFile->Tell();
    uint8_t header[kHeaderBytes];
    if (position < 0 || position + kHeaderBytes > limit || mFile->Read(header, kHeaderBytes) != kHeaderBytes)
        return false;
    std::memcpy(chunk.id, header, 4);
    int64_t size = ReadLE32(header + 4);
    chunk.dataStart = position + kHeaderBytes;
    chunk.form[0] = 0;
    // The form type is part of the chunk's size: a "LIST" too short to hold
    // one has none, and its size is all there is to skip.
    if (HasForm(chunk.id) && size >= kFormBytes)
    {
        if (chunk.dataStart + kFormBytes > limit || mFile->Read(chunk.form, kFormBytes) != kFormBytes)
            return false;
        chunk.dataStart += kFormBytes;
        size -= kFormBytes;
    }
    const int64_t room = limit - chunk.dataStart;
    chunk.end = std::min(chunk.dataStart + size + (size & 1), limit);
    chunk.size = uint32_t(std::min(size, room));
    return true;
}

bool cRiffReader::Reset()
{
    mStack.clear();
    cChunk riff;
    if (!SeekTo(0) || !ReadChunkHeader(mFile->GetLength(), riff) || std::memcmp(riff.id, "RIFF", 4) != 0)
        return false;
    mRiffSize = riff.size;
    mStack.push_back(riff);
    return true;
}

bool cRiffReader::FindChunk(const char* id)
{
    if (mStack.empty())
        return false;
    const cChunk parent = mStack.back();
    if (id && !SeekTo(parent.dataStart))
        return false;
    cChunk chunk;
    // Each header read moves past the previous chunk's end, which lies past
    // its header, so the walk always advances and stops at the parent's end.
    while (ReadChunkHeader(parent.end, chunk))
    {
        if (!id || std::memcmp(chunk.id, id, 4) == 0)
        {
            mStack.push_back(chunk);
            return true;
        }
        if (!SeekTo(chunk.end))
            break;
    }
    SeekTo(parent.dataStart);
    return false;
}

bool cRiffReader::Ascend()
{
    if (mStack.size() < 2)
        return false;
    const bool moved = SeekTo(mStack.back().end);
    mStack.pop_back();
    return moved;
}

uint32_t cRiffReader::CurrentSize() const { return mStack.empty() ? 0 : mStack.back().size; }
