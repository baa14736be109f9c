#pragma once

#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"

#include "base/FileTestFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
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

// What another player makes of a file: the distinct note ids its verbose
// log shows starting, and the loudest sample of its rendering.
struct sRendering
{
    bool available = false;
    size_t noteIds = 0;
    int loudest = 0;
};

inline sRendering RenderElsewhere(const std::vector<uint8_t>& file, const std::string& folder)
{
    sRendering rendering;
    const char* soundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (std::system("command -v fluidsynth >/dev/null") != 0 || !std::ifstream(soundFont))
        return rendering;
    rendering.available = true;
    const std::string mid = folder + "/rendered.mid", wav = folder + "/rendered.wav", log = folder + "/render.log";
    std::ofstream(mid, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    const std::string command =
        std::string("fluidsynth -ni -v -F '") + wav + "' " + soundFont + " '" + mid + "' >'" + log + "' 2>&1";
    if (std::system(command.c_str()) != 0)
        return rendering;
    std::ifstream lines(log);
    std::set<std::string> ids;
    for (std::string line; std::getline(lines, line);)
    {
        char id[32];
        if (std::sscanf(line.c_str(), "fluidsynth: noteon %*d %*d %*d %31s", id) == 1)
            ids.insert(id);
    }
    rendering.noteIds = ids.size();
    const std::vector<uint8_t> audio = ReadBinaryFile(wav);
    for (size_t i = 44; i + 1 < audio.size(); i += 2)
        rendering.loudest = std::max(rendering.loudest, std::abs(int(int16_t(audio[i] | audio[i + 1] << 8))));
    return rendering;
}
