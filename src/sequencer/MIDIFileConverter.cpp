#include "sequencer/MIDIFileConverter.h"

#include "base/File.h"
#include "base/PathUtils.h"
#include "sequencer/MIDIFileFormat.h"
#include "sequencer/MIDIFileLibrary.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/MIDIFileValidator.h"

#include <smf.h>

#include <cstring>
#include <vector>

namespace
{
using namespace MIDIFileFormat;

// The reader takes this many events of the file at most, in time order.
constexpr int kEventLimit = 32768;
// A time a rounding error below a whole tick still counts as that tick.
constexpr double kTickTolerance = 1e-6;
constexpr double kTicksPerBeat = 256.0;
constexpr double kMicrosecondsPerMinute = 60000000.0;

// The data of a meta event (0xFF, type, length, data), or false when the
// buffer does not hold it whole.
bool GetMetaData(const uint8_t* buffer, int length, const uint8_t*& data, uint32_t& dataLength)
{
    int position = 2;
    dataLength = 0;
    for (int i = 0; i < 4; ++i)
    {
        if (position >= length)
            return false;
        const uint8_t byte = buffer[position++];
        dataLength = dataLength << 7 | (byte & 0x7F);
        if (!(byte & 0x80))
        {
            data = buffer + position;
            return dataLength <= uint32_t(length - position);
        }
    }
    return false;
}
} // namespace

cMIDIFileConverter::cMIDIFileConverter(cMIDIFileSong* song, File::cFile* file)
    : mSong(song), mFile(file), mOpenNotes(std::make_unique<sOpenNotes>())
{
    RouteMIDIFileLibraryWarnings();
}

cMIDIFileConverter::~cMIDIFileConverter() = default;

void cMIDIFileConverter::Reset()
{
    mTempo = 120.0;
    mSong->tempo = float(mTempo);
    mTempoSeen = false;
    mPendingNames.reset();
    mPendingTrackCount = 0;
    std::memset(mOpenNotes->counts, 0, sizeof(mOpenNotes->counts));
}

int32_t cMIDIFileConverter::SecondsToTicks(double seconds) const
{
    const double ticks = mTempo / 60.0 * seconds * kTicksPerBeat + kTickTolerance;
    if (!(ticks > 0.0))
        return 0;
    if (ticks >= double(cMIDIFileSong::kSongEndTicks))
        return cMIDIFileSong::kSongEndTicks;
    return int32_t(ticks);
}

double cMIDIFileConverter::TicksToSeconds(int32_t ticks) const
{
    return ticks * (60.0 / kTicksPerBeat) / mTempo;
}

int cMIDIFileConverter::Read()
{
    Reset();
    uint8_t* bytes = nullptr;
    const int length = mFile->ReadAll(reinterpret_cast<void**>(&bytes), -1);
    std::vector<uint8_t> copy;
    const bool valid = length > 0 && cMIDIFileValidator::MakeParseableCopy(bytes, length, copy);
    delete[] bytes;
    smf_t* smf = valid ? smf_load_from_memory(copy.data(), int(copy.size())) : nullptr;
    if (!smf)
        return 1;
    mSong->name.AssignCStr(PathGetFileName(mFile->GetName()).CStr());
    mPendingTrackCount = smf->number_of_tracks;
    mPendingNames = std::make_unique<sPendingNames[]>(size_t(mPendingTrackCount) + 1);
    ReadEvents(smf);
    smf_delete(smf);
    return 0;
}

void cMIDIFileConverter::ReadEvents(smf_t* smf)
{
    // Loading leaves the tracks' next-event times unset; without a rewind
    // the walk is not in time order.
    smf_rewind(smf);
    for (int taken = 0; taken < kEventLimit; ++taken)
    {
        const smf_event_t* event = smf_get_next_event(smf);
        if (!event)
            return;
        if (event->midi_buffer_length <= 0)
            continue;
        const uint8_t status = event->midi_buffer[0];
        if (status >= 0x80 && status < 0xF0)
            ReadChannelMessage(event);
        else if (status == kMetaStatus)
            ReadMetaEvent(event, smf->format);
    }
}

void cMIDIFileConverter::ReadChannelMessage(const smf_event_t* event)
{
    const uint8_t* bytes = event->midi_buffer;
    const uint8_t status = bytes[0];
    const int needed = (status & 0xE0) == 0xC0 ? 2 : 3;
    if (event->midi_buffer_length < needed)
        return;
    const int channel = status & 0x0F;
    TakePendingNames(event->track_number, channel);
    const int32_t time = SecondsToTicks(event->time_seconds);
    const uint8_t data1 = bytes[1] & 0x7F;
    const uint8_t data2 = needed == 3 ? bytes[2] & 0x7F : 0;
    int added = -1;
    switch (status & 0xF0)
    {
    case 0x90:
        if (data2 > 0)
        {
            StartNote(channel, data1, data2, time, event->time_seconds);
            return;
        }
        EndNote(channel, data1, time);
        return;
    case 0x80:
        EndNote(channel, data1, time);
        return;
    case 0xB0:
        added = mSong->AddController(channel, time, data1, data2);
        break;
    case 0xC0:
        added = mSong->AddProgram(channel, time, data1);
        break;
    case 0xE0:
        added = mSong->AddPitchBend(channel, time, data1 | data2 << 7);
        break;
    default: // key and channel pressure are not kept
        return;
    }
    mSong->channels[channel].events[added].seconds = event->time_seconds;
}

void cMIDIFileConverter::ReadMetaEvent(const smf_event_t* event, int format)
{
    const uint8_t* data;
    uint32_t length;
    if (event->midi_buffer_length < 3 || !GetMetaData(event->midi_buffer, event->midi_buffer_length, data, length))
        return;
    const int track = event->track_number;
    const bool ownChannel = track >= 1 && track <= kChannelCount;
    const int32_t time = SecondsToTicks(event->time_seconds);
    const char* text = reinterpret_cast<const char*>(data);
    int added = -1;
    switch (event->midi_buffer[1])
    {
    case kMetaTrackName:
        if (length == 0)
            return;
        if (format == 1 && track == 1)
            mSong->name.AssignChars(text, int(length));
        else if (track >= 1 && track <= mPendingTrackCount)
            mPendingNames[track].trackName.AssignChars(text, int(length));
        return;
    case kMetaInstrumentName:
        if (length > 0 && track >= 1 && track <= mPendingTrackCount)
            mPendingNames[track].instrumentName.AssignChars(text, int(length));
        return;
    case kMetaMarker:
        if (!ownChannel)
            return;
        added = mSong->AddMarker(track - 1, time, cGenString::ConstructGrowableFromChars(text, int(length)));
        break;
    case kMetaSequencerData:
        if (!ownChannel || length == 0)
            return;
        added = mSong->AddSequencerData(track - 1, time, data, int32_t(length));
        break;
    case kMetaTempo:
        ReadTempo(data, length);
        return;
    case kMetaTimeSignature:
        if (length == 4)
        {
            mSong->numerator = data[0];
            mSong->denominator = data[1];
        }
        return;
    default:
        return;
    }
    mSong->channels[track - 1].events[added].seconds = event->time_seconds;
}

void cMIDIFileConverter::ReadTempo(const uint8_t* data, uint32_t length)
{
    const uint32_t microseconds = length == 3 ? uint32_t(data[0]) << 16 | uint32_t(data[1]) << 8 | data[2] : 0;
    // A tempo of 0 would divide by zero; the file library's own times skip
    // it too.
    if (mTempoSeen || microseconds == 0)
        return;
    mTempoSeen = true;
    mTempo = kMicrosecondsPerMinute / microseconds;
    mSong->tempo = float(mTempo);
}

void cMIDIFileConverter::TakePendingNames(int track, int channel)
{
    if (track < 1 || track > mPendingTrackCount)
        return;
    sPendingNames& names = mPendingNames[track];
    cMIDIFileSong::sChannel& record = mSong->channels[channel];
    if (!names.trackName.IsEmpty())
        record.trackName.Assign(names.trackName);
    if (!names.instrumentName.IsEmpty())
        record.instrumentName.Assign(names.instrumentName);
    names.trackName.Free();
    names.instrumentName.Free();
}

void cMIDIFileConverter::StartNote(int channel, int key, int velocity, int32_t time, double seconds)
{
    const int index = mSong->AddNote(channel, time, key, velocity, 0);
    mSong->channels[channel].events[index].seconds = seconds;
    int32_t& count = mOpenNotes->counts[channel][key];
    // A 17th overlapping note of one key is kept but never gets a length.
    if (count < kMaxOpenNotes)
        mOpenNotes->indices[channel][key][count++] = index;
}

void cMIDIFileConverter::EndNote(int channel, int key, int32_t time)
{
    int32_t& count = mOpenNotes->counts[channel][key];
    if (count == 0)
        return;
    int32_t* open = mOpenNotes->indices[channel][key];
    std::vector<cMIDIFileSong::sEvent>& events = mSong->channels[channel].events;
    // The newest note that started before the note off ends; when none did,
    // the oldest takes the (zero) length.
    int chosen = 0;
    for (int i = count - 1; i >= 0; --i)
        if (time - events[open[i]].time > 0)
        {
            chosen = i;
            break;
        }
    events[open[chosen]].length = time - events[open[chosen]].time;
    std::memmove(open + chosen, open + chosen + 1, sizeof(int32_t) * size_t(count - chosen - 1));
    --count;
}
