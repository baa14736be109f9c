// Writing: the song becomes a format-1 file through the file library, which
// saves only to a path, so the file is made in the "Tmp" mount and its bytes
// are copied into the caller's stream once it is whole.
#include "sequencer/MIDIFileConverter.h"

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/TempFiles.h"
#include "sequencer/MIDIFileFormat.h"
#include "sequencer/MIDIFileSong.h"

#include <smf.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace
{
using namespace MIDIFileFormat;

constexpr int kDivision = 256; // pulses per quarter note: a pulse is a tick
constexpr int kChannelTracks = 16;
constexpr double kMicrosecondsPerMinute = 60000000.0;
constexpr uint32_t kMaxMicrosecondsPerBeat = 0xFFFFFF;

// Entries of equal time are written channel by channel in event order. The
// off entries of notes that sound come first, so a key struck again is
// released before it sounds anew; a note of no length is released only
// after its own on.
enum ePhase : int32_t
{
    kPhaseReleaseSounding = 0,
    kPhaseEvent = 1,
    kPhaseReleaseSilent = 2,
};

struct sEntry
{
    int32_t time;
    int32_t channel;
    ePhase phase;
    int32_t index;

    bool operator<(const sEntry& other) const
    {
        return std::tie(time, channel, phase, index) < std::tie(other.time, other.channel, other.phase, other.index);
    }
};

int32_t ClampPulses(int64_t time)
{
    return int32_t(std::clamp<int64_t>(time, 0, kMaxTime));
}

uint8_t ByteOf(uint32_t value, int index)
{
    return uint8_t(value >> (8 * index));
}

// The time signature's denominator as the power of two a file stores.
int DenominatorPower(int denominator)
{
    static const int kPowers[][2] = {{1, 0}, {2, 1}, {4, 2}, {8, 3}, {16, 4}, {32, 5}};
    for (const auto& power : kPowers)
        if (power[0] == denominator)
            return power[1];
    return denominator;
}

std::vector<sEntry> SortedEntries(const cMIDIFileSong& song)
{
    std::vector<sEntry> entries;
    for (int channel = 0; channel < kChannelTracks; ++channel)
    {
        const std::vector<cMIDIFileSong::sEvent>& events = song.channels[channel].events;
        for (int32_t index = 0; index < int32_t(events.size()); ++index)
        {
            const cMIDIFileSong::sEvent& event = events[index];
            entries.push_back({ClampPulses(event.time), channel, kPhaseEvent, index});
            if (event.kind == cMIDIFileSong::eEventKind::Note)
            {
                const int32_t length = std::max(event.length, 0);
                entries.push_back({ClampPulses(int64_t(event.time) + length), channel,
                                   length > 0 ? kPhaseReleaseSounding : kPhaseReleaseSilent, index});
            }
        }
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// One song being built in the file library; freed with it.
class cLibrarySong
{
public:
    cLibrarySong() : mSmf(smf_new()) {}
    ~cLibrarySong()
    {
        if (mSmf)
            smf_delete(mSmf);
    }
    cLibrarySong(const cLibrarySong&) = delete;
    cLibrarySong& operator=(const cLibrarySong&) = delete;

    bool Create(int trackCount)
    {
        if (!mSmf || smf_set_ppqn(mSmf, kDivision) != 0)
            return false;
        for (int i = 0; i < trackCount; ++i)
        {
            smf_track_t* track = smf_track_new();
            if (!track)
                return false;
            smf_add_track(mSmf, track);
        }
        return smf_set_format(mSmf, 1) == 0;
    }

    smf_track_t* Track(int number) const { return smf_get_track_by_number(mSmf, number); }

    // False only when the file library refuses the bytes.
    static bool AddBytes(smf_track_t* track, int32_t pulses, const uint8_t* bytes, int length)
    {
        smf_event_t* event = smf_event_new_from_pointer(const_cast<uint8_t*>(bytes), length);
        if (!event)
            return false;
        smf_track_add_event_pulses(track, event, pulses);
        return true;
    }

    static bool AddMeta(smf_track_t* track, int32_t pulses, uint8_t type, const uint8_t* data, size_t length)
    {
        std::vector<uint8_t> bytes = {kMetaStatus, type};
        AppendNumber(bytes, uint32_t(length));
        bytes.insert(bytes.end(), data, data + length);
        return AddBytes(track, pulses, bytes.data(), int(bytes.size()));
    }

    static bool AddText(smf_track_t* track, int32_t pulses, uint8_t type, const cGenString& text)
    {
        return AddMeta(track, pulses, type, reinterpret_cast<const uint8_t*>(text.CStr()), size_t(text.Length()));
    }

    // Names are written only when there is one.
    static bool AddName(smf_track_t* track, uint8_t type, const cGenString& name)
    {
        return name.IsEmpty() || AddText(track, 0, type, name);
    }

    bool Save(const char* path) { return smf_save(mSmf, path) == 0; }

private:
    smf_t* mSmf;
};

class cSongWriter
{
public:
    cSongWriter(const cMIDIFileSong& song, cLibrarySong& target) : mSong(song), mTarget(target) {}

    bool Build()
    {
        const double microseconds = kMicrosecondsPerMinute / double(mSong.tempo);
        if (!(microseconds >= 1.0 && microseconds <= double(kMaxMicrosecondsPerBeat)))
            return false;
        if (!mTarget.Create(kChannelTracks + 1) || !AddConductor(uint32_t(microseconds)))
            return false;
        for (int channel = 0; channel < kChannelTracks; ++channel)
        {
            const cMIDIFileSong::sChannel& record = mSong.channels[channel];
            smf_track_t* track = mTarget.Track(channel + 2);
            if (!cLibrarySong::AddName(track, kMetaTrackName, record.trackName) ||
                !cLibrarySong::AddName(track, kMetaInstrumentName, record.instrumentName))
                return false;
        }
        for (const sEntry& entry : SortedEntries(mSong))
            if (!AddEntry(entry))
                return false;
        return true;
    }

private:
    bool AddConductor(uint32_t microseconds)
    {
        smf_track_t* track = mTarget.Track(1);
        // 24 clocks a metronome click, 8 32nd notes a quarter note.
        const uint8_t numerator = uint8_t(std::clamp(mSong.numerator, 1, 255));
        const uint8_t power = uint8_t(DenominatorPower(mSong.denominator));
        const uint8_t timeSignature[] = {kMetaStatus, kMetaTimeSignature, 0x04, numerator, power, 0x18, 0x08};
        const uint8_t tempo[] = {
            kMetaStatus, kMetaTempo, 0x03, ByteOf(microseconds, 2), ByteOf(microseconds, 1), ByteOf(microseconds, 0)};
        return cLibrarySong::AddBytes(track, 0, timeSignature, sizeof(timeSignature)) &&
               cLibrarySong::AddBytes(track, 0, tempo, sizeof(tempo)) &&
               cLibrarySong::AddName(track, kMetaTrackName, mSong.name);
    }

    bool AddEntry(const sEntry& entry)
    {
        const cMIDIFileSong::sEvent& event = mSong.channels[entry.channel].events[entry.index];
        smf_track_t* track = mTarget.Track(entry.channel + 2);
        const uint8_t channel = uint8_t(entry.channel);
        const uint8_t* data = event.data.bytes;
        switch (event.kind)
        {
        case cMIDIFileSong::eEventKind::Note:
            if (entry.phase != kPhaseEvent)
                return AddChannelEvent(track, entry.time, {uint8_t(0x80 | channel), data[0], 0}, 3);
            return AddChannelEvent(track, entry.time, {uint8_t(0x90 | channel), data[0], data[1]}, 3);
        case cMIDIFileSong::eEventKind::Controller:
            return AddChannelEvent(track, entry.time, {uint8_t(0xB0 | channel), data[0], data[1]}, 3);
        case cMIDIFileSong::eEventKind::PitchBend:
            return AddChannelEvent(
                track, entry.time,
                {uint8_t(0xE0 | channel), uint8_t(event.data.bend & 0x7F), uint8_t((event.data.bend >> 7) & 0x7F)}, 3);
        case cMIDIFileSong::eEventKind::Program:
            return AddChannelEvent(track, entry.time, {uint8_t(0xC0 | channel), data[0], 0}, 2);
        case cMIDIFileSong::eEventKind::Marker:
            return AddMarker(track, entry.time, event.data.index);
        case cMIDIFileSong::eEventKind::SequencerData:
            return AddSequencerData(track, entry.time, event.data.index);
        }
        return true;
    }

    // A message whose data bytes do not fit MIDI (a negative value, say)
    // cannot be written and is left out without failing the file.
    static bool AddChannelEvent(smf_track_t* track, int32_t time, std::array<uint8_t, 3> bytes, int length)
    {
        for (int i = 1; i < length; ++i)
            if (bytes[i] & 0x80)
                return true;
        return cLibrarySong::AddBytes(track, time, bytes.data(), length);
    }

    bool AddMarker(smf_track_t* track, int32_t time, int32_t index)
    {
        if (index < 0 || index >= int32_t(mSong.texts.size()))
            return true;
        return cLibrarySong::AddText(track, time, kMetaMarker, mSong.texts[index]);
    }

    bool AddSequencerData(smf_track_t* track, int32_t time, int32_t index)
    {
        if (index < 0 || index >= int32_t(mSong.dataBlocks.size()) || mSong.dataBlocks[index].empty())
            return true;
        const std::vector<uint8_t>& block = mSong.dataBlocks[index];
        return cLibrarySong::AddMeta(track, time, kMetaSequencerData, block.data(), block.size());
    }

    const cMIDIFileSong& mSong;
    cLibrarySong& mTarget;
};

// A name in the "Tmp" mount no other write of this process or another uses.
cGenStringFixed<64> MakeTempName()
{
    static std::atomic<int> counter{0};
    cGenStringFixed<64> name;
    name.Printf("MIDIExport-%d-%d.mid", int(getpid()), counter++);
    return name;
}

bool SaveThroughTempFile(cLibrarySong& target, File::cFile& out)
{
    File::cFileSystem* temp = gFileSystemRegistry ? gFileSystemRegistry->FindFileSystem("Tmp") : nullptr;
    if (!temp)
        return false;
    const cGenStringFixed<64> name = MakeTempName();
    cGenStringFixed<1024> path(*temp->GetRootPath());
    if (!PathAppend(path, name) || !target.Save(path.CStr()))
    {
        DeleteTempFile(name.CStr());
        return false;
    }
    File::cFile* saved = OpenTempFileRead(name.CStr());
    uint8_t* bytes = nullptr;
    const int length = saved ? saved->ReadAll(reinterpret_cast<void**>(&bytes), -1) : 0;
    const bool copied = length > 0 && length == saved->GetLength() && out.Write(bytes, length) == length;
    delete[] bytes;
    delete saved;
    DeleteTempFile(name.CStr());
    return copied;
}
} // namespace

bool cMIDIFileConverter::Write()
{
    mTempo = mSong->tempo;
    cLibrarySong target;
    return !cSongWriter(*mSong, target).Build() || !SaveThroughTempFile(target, *mFile);
}
