#pragma once

#include "sequencer/MIDIFileFormat.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Builds the bytes of a standard MIDI file event by event, malformed ones
// included: Event writes exactly what it is given after the delta time.
class cMIDIFileBytes
{
public:
    cMIDIFileBytes(int format, int division, int trackCount = -1)
        : mFormat(format), mDivision(division), mTrackCount(trackCount)
    {
    }

    cMIDIFileBytes& Track()
    {
        mTracks.emplace_back();
        return *this;
    }
    cMIDIFileBytes& Event(uint32_t delta, std::initializer_list<uint8_t> bytes)
    {
        MIDIFileFormat::AppendNumber(mTracks.back(), delta);
        mTracks.back().insert(mTracks.back().end(), bytes);
        return *this;
    }
    cMIDIFileBytes& Raw(std::initializer_list<uint8_t> bytes)
    {
        mTracks.back().insert(mTracks.back().end(), bytes);
        return *this;
    }
    cMIDIFileBytes& Meta(uint32_t delta, uint8_t type, const std::vector<uint8_t>& data)
    {
        Event(delta, {0xFF, type});
        MIDIFileFormat::AppendNumber(mTracks.back(), uint32_t(data.size()));
        mTracks.back().insert(mTracks.back().end(), data.begin(), data.end());
        return *this;
    }
    cMIDIFileBytes& Text(uint32_t delta, uint8_t type, const std::string& text)
    {
        return Meta(delta, type, std::vector<uint8_t>(text.begin(), text.end()));
    }
    cMIDIFileBytes& Tempo(uint32_t delta, uint32_t microseconds)
    {
        return Meta(delta, 0x51, {uint8_t(microseconds >> 16), uint8_t(microseconds >> 8), uint8_t(microseconds)});
    }
    cMIDIFileBytes& End(uint32_t delta = 0) { return Event(delta, {0xFF, 0x2F, 0x00}); }

    std::vector<uint8_t> Bytes() const
    {
        const int count = mTrackCount >= 0 ? mTrackCount : int(mTracks.size());
        std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
        AppendBigEndian(out, uint32_t(mFormat), 2);
        AppendBigEndian(out, uint32_t(count), 2);
        AppendBigEndian(out, uint32_t(mDivision), 2);
        for (const std::vector<uint8_t>& track : mTracks)
        {
            out.insert(out.end(), {'M', 'T', 'r', 'k'});
            AppendBigEndian(out, uint32_t(track.size()), 4);
            out.insert(out.end(), track.begin(), track.end());
        }
        return out;
    }

    static void AppendBigEndian(std::vector<uint8_t>& out, uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            out.push_back(uint8_t(value >> (8 * i)));
    }

private:
    int mFormat;
    int mDivision;
    int mTrackCount;
    std::vector<std::vector<uint8_t>> mTracks;
};
