#pragma once
#include <cstdint>
#include <vector>

namespace File
{
class cFile;
}

// Walks the nested chunks of a RIFF stream (a file or a memory block) with a
// stack of the chunks it has descended into. Positions are 64-bit and every
// chunk is cut at its parent's end, so no size field, however large or
// wrapped, can send the reader backwards or out of its parent.
class cRiffReader
{
public:
    struct cChunk
    {
        char id[5] = {};
        uint32_t size = 0;   // without the form type; cut to what the parent holds
        char form[5] = {};   // "RIFF" and "LIST" chunks only
        int64_t dataStart = 0;
        int64_t end = 0;     // past the pad byte of an odd size
    };

    // Takes the stream (may be null) and finds its "RIFF" chunk; without one
    // the stack stays empty.
    explicit cRiffReader(File::cFile* file);
    ~cRiffReader();
    cRiffReader(const cRiffReader&) = delete;
    cRiffReader& operator=(const cRiffReader&) = delete;

    // Opens a native path for reading.
    static cRiffReader* Open(const char* path);

    bool IsOpen() const { return mFile != nullptr; }
    File::cFile* GetFile() const { return mFile; }

    // Back to the top "RIFF" chunk alone; false when the stream has none.
    bool Reset();
    // Descends into the next chunk with that id (any chunk for null) inside
    // the current one; with an id the search starts at the current chunk's
    // first byte. False, back at that first byte, when there is none.
    bool FindChunk(const char* id);
    // Leaves the current chunk, positioned at its end; false at the top.
    bool Ascend();
    uint32_t CurrentSize() const;
    const cChunk* Top() const { return mStack.empty() ? nullptr : &mStack.back(); }
    uint32_t GetRiffSize() const { return mRiffSize; }

private:
    bool ReadChunkHeader(int64_t limit, cChunk& chunk);
    bool SeekTo(int64_t position);

    File::cFile* mFile;
    uint32_t mRiffSize = 0;
    std::vector<cChunk> mStack;
};
