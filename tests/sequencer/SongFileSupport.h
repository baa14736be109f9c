#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/DeletableRoots.h"
#include "base/File.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/FileTestFolder.h"
#include "sequencer/Sequencer.h"

// A "Doc" mount (where songs are saved) on a fresh folder, torn down with it.
class cDocMount
{
public:
    cDocMount()
    {
        AddDeletableRoot(mFolder.Path().c_str());
        mRegistry.Mount(new File::cFileSystemDisk("Doc", mFolder.Path().c_str()));
    }
    ~cDocMount() { ClearDeletableRoots(); }

    const cFileTestFolder& Folder() const { return mFolder; }

private:
    cFileTestFolder mFolder;
    cFileSystemRegistry mRegistry;
};

// The song as the file holds it, written to memory.
inline std::vector<uint8_t> SongImage(cSequencer& sequencer)
{
    File::cFileMemoryWrite file;
    sequencer.WriteSong(file);
    return std::vector<uint8_t>(file.GetData(), file.GetData() + file.GetLength());
}

inline bool ReadSongImage(cSequencer& sequencer, const std::vector<uint8_t>& bytes, cGenString& error)
{
    File::cFileMemoryRead file(bytes.data(), int(bytes.size()));
    return sequencer.ReadSong(file, error);
}

// Builds song files field by field, of any version, sound or damaged.
struct cSongFileBytes
{
    struct cEvent
    {
        uint8_t flags, data1, data2, data3;
        int32_t time, length;
    };
    struct cPattern
    {
        int32_t loopLength = 4096;
        std::vector<cEvent> events;
        std::optional<uint32_t> countField; // a count that disagrees with the events
    };
    struct cPart
    {
        int32_t number;
        uint32_t programWord;
        int32_t start, length;
    };
    struct cTrack
    {
        int32_t muteSolo = 0;
        int32_t channel = 0;
        uint8_t selected = 1;
        uint8_t oldMute = 0; // before version 5
        std::vector<cPart> parts;
        std::optional<uint32_t> countField;
    };

    uint32_t version = 6;
    float tempo = 120.0f;
    int32_t position = 0, samplePosition = 0, loopOn = 1, loopStart = 0, loopEnd = 4096, beatsPerBar = 4;
    float metronomeLevel = 0.7f;
    int32_t countInBars = 1;
    int32_t recordInterval = 5, recordType = 0;
    float recordSwing = 0.0f;
    int32_t gridInterval = 5, gridType = 0;
    float gridSwing = 0.0f;
    int32_t metronomeMode = 1;
    std::vector<cPattern> patterns = std::vector<cPattern>(2100);
    std::optional<uint32_t> patternCountField;
    std::vector<cTrack> tracks;
    std::optional<uint32_t> trackCountField;
    std::optional<uint32_t> sizeField;

    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out;
        auto put = [&out](const auto& value) {
            const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
            out.insert(out.end(), p, p + sizeof(value));
        };
        put(version);
        put(uint32_t(0));
        out.resize(out.size() + 128, 0);
        put(tempo);
        for (int32_t v : {position, samplePosition, loopOn, loopStart, loopEnd, beatsPerBar})
            put(v);
        put(metronomeLevel);
        put(countInBars);
        put(recordInterval);
        put(recordType);
        put(recordSwing);
        put(gridInterval);
        put(gridType);
        put(gridSwing);
        put(metronomeMode);
        put(patternCountField.value_or(uint32_t(patterns.size())));
        for (const cPattern& pattern : patterns)
        {
            put(pattern.loopLength);
            put(pattern.countField.value_or(uint32_t(pattern.events.size())));
            for (const cEvent& e : pattern.events)
            {
                for (uint8_t b : {e.flags, e.data1, e.data2, e.data3})
                    put(b);
                put(e.time);
                put(e.length);
            }
        }
        put(trackCountField.value_or(uint32_t(tracks.size())));
        const bool old = version < 5;
        for (const cTrack& track : tracks)
        {
            if (old)
                put(track.oldMute);
            else
            {
                put(track.muteSolo);
                put(track.channel);
                put(track.selected);
            }
            put(track.countField.value_or(uint32_t(track.parts.size())));
            for (const cPart& part : track.parts)
            {
                put(part.number);
                put(part.programWord);
                if (old)
                    put(uint32_t(0xdeadbeef)); // the spare word
                put(part.start);
                put(part.length);
            }
        }
        const uint32_t size = sizeField.value_or(uint32_t(out.size()));
        std::memcpy(out.data() + 4, &size, 4);
        return out;
    }
};
