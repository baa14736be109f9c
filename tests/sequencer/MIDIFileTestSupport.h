#pragma once

#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"

#include "base/FileTestFolder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline int ReadMIDISong(const std::vector<uint8_t>& bytes, cMIDIFileSong& song)
{
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    return cMIDIFileConverter(&song, &file).Read();
}

// The bytes written, or nothing when the write failed.
inline std::vector<uint8_t> WriteMIDISong(cMIDIFileSong& song)
{
    File::cFileMemoryWrite file;
    if (cMIDIFileConverter(&song, &file).Write())
        return {};
    return std::vector<uint8_t>(file.GetData(), file.GetData() + file.GetLength());
}

inline std::vector<uint8_t> ReadBinaryFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The shared song that reading, writing and the benchmark are measured on.
inline std::string ReferenceSongPath()
{
    return std::string(QUIL_BENCH_DATA_DIR) + "/reference-song.mid";
}

// A "Tmp" mount (which the writer needs) on a fresh folder, torn down with it.
class cTempMount
{
public:
    cTempMount()
    {
        std::filesystem::create_directories(mFolder / "Temp");
        AddDeletableRoot((mFolder / "Temp").c_str());
        mRegistry.Mount(new File::cFileSystemDisk("Tmp", (mFolder / "Temp").c_str()));
    }
    ~cTempMount() { ClearDeletableRoots(); }

    const cFileTestFolder& Folder() const { return mFolder; }
    bool TempIsEmpty() const { return std::filesystem::is_empty(mFolder / "Temp"); }

private:
    cFileTestFolder mFolder;
    cFileSystemRegistry mRegistry;
};
