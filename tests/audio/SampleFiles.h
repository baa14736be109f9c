#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"

// RIFF pieces for fixtures, little-endian.
inline std::string LE16(uint16_t value) { return {char(value & 0xFF), char(value >> 8)}; }
inline std::string LE32(uint32_t value) { return LE16(uint16_t(value)) + LE16(uint16_t(value >> 16)); }

// A chunk with its pad byte after an odd size.
inline std::string Chunk(const std::string& id, const std::string& body)
{
    std::string chunk = id + LE32(uint32_t(body.size())) + body;
    if (body.size() % 2)
        chunk += '\0';
    return chunk;
}

inline std::string Riff(const std::string& chunks, const std::string& form = "WAVE")
{
    return "RIFF" + LE32(uint32_t(4 + chunks.size())) + form + chunks;
}

struct cWavFormat
{
    uint16_t tag = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    int blockAlign = -1; // -1: channels × bits / 8

    std::string Body() const
    {
        const uint16_t align = blockAlign < 0 ? uint16_t(channels * (bits / 8)) : uint16_t(blockAlign);
        return LE16(tag) + LE16(channels) + LE32(rate) + LE32(rate * align) + LE16(align) + LE16(bits);
    }
};

inline std::string Samples16(const std::vector<int16_t>& samples)
{
    std::string bytes;
    for (int16_t s : samples)
        bytes += LE16(uint16_t(s));
    return bytes;
}

inline std::string SimpleWav(const cWavFormat& format, const std::string& data)
{
    return Riff(Chunk("fmt ", format.Body()) + Chunk("data", data));
}

// A scratch folder mounted as "Doc" and "Tmp" beside a "Native" mount, as the
// program mounts them, and deletable like the program's data folders.
class cSampleFolder
{
public:
    cSampleFolder()
    {
        const char* base = std::getenv("QUIL_TEST_TMP");
        const std::filesystem::path parent = base && *base ? base : std::filesystem::temp_directory_path().string();
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "samples-XXXXXX").string();
        mPath = mkdtemp(pattern.data()) ? std::filesystem::absolute(pattern).string() : std::string();
        std::filesystem::create_directories(Documents());
        std::filesystem::create_directories(mPath + "/Temp");
        mRegistry.Mount(new File::cFileSystemDisk("Native", ""));
        mRegistry.Mount(new File::cFileSystemDisk("Doc", Documents().c_str()));
        mRegistry.Mount(new File::cFileSystemDisk("Tmp", (mPath + "/Temp").c_str()));
        AddDeletableRoot(Documents().c_str());
    }
    ~cSampleFolder()
    {
        ClearDeletableRoots();
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    cSampleFolder(const cSampleFolder&) = delete;
    cSampleFolder& operator=(const cSampleFolder&) = delete;

    std::string Documents() const { return mPath + "/Documents"; }
    // A native path in the documents folder.
    std::string Doc(const std::string& name) const { return Documents() + "/" + name; }

    void Write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path path = Doc(name);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(Doc(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Doc(name)); }

private:
    std::string mPath;
    cFileSystemRegistry mRegistry;
};

// Runs a shell command; its standard output, and its exit status in status.
inline std::string RunCommand(const std::string& command, int* status = nullptr)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, n);
    const int result = pclose(pipe);
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}
