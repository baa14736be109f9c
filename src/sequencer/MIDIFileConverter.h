#pragma once

#include "base/GenString.h"

#include <cstdint>
#include <memory>

class cMIDIFileSong;
struct smf_event_struct;
struct smf_struct;

namespace File
{
class cFile;
}

// Translates between standard MIDI files and a cMIDIFileSong: which events
// are kept, how file times become song ticks, how note on and off pairs
// become notes with lengths, and what a written file holds (format 1,
// division 256, a conductor track and one track per MIDI channel). The file
// format itself is read and written by the file library. One converter
// serves one read or one write; the caller opens and closes the file.
class cMIDIFileConverter
{
public:
    cMIDIFileConverter(cMIDIFileSong* song, File::cFile* file);
    ~cMIDIFileConverter();
    cMIDIFileConverter(const cMIDIFileConverter&) = delete;
    cMIDIFileConverter& operator=(const cMIDIFileConverter&) = delete;

    // 0 when the song was filled from the file, 1 when the file is empty,
    // unreadable or refused.
    int Read();
    // True when the song could not be written. The file is made in the "Tmp"
    // mount first and copied into the target only once it is whole, so a
    // failure writes nothing into the target.
    bool Write();

    // With the song's tempo. A time just below a whole tick (a sum of
    // seconds a rounding error short) still counts as that tick; results are
    // clamped to the song.
    int32_t SecondsToTicks(double seconds) const;
    double TicksToSeconds(int32_t ticks) const;
    // Tempo 120 (the song's too), no tempo seen, no names waiting, no open
    // notes; reading starts with it.
    void Reset();

private:
    static constexpr int kMaxOpenNotes = 16;
    static constexpr int kKeyCount = 128;
    static constexpr int kChannelCount = 16;

    // Names wait per track for that track's next channel event.
    struct sPendingNames
    {
        cGenString trackName;
        cGenString instrumentName;
    };

    // Per channel and key, the notes still waiting for their note off, in
    // the order they started.
    struct sOpenNotes
    {
        int32_t indices[kChannelCount][kKeyCount][kMaxOpenNotes];
        int32_t counts[kChannelCount][kKeyCount];
    };

    void ReadEvents(smf_struct* smf);
    void ReadChannelMessage(const smf_event_struct* event);
    void ReadMetaEvent(const smf_event_struct* event, int format);
    void ReadTempo(const uint8_t* data, uint32_t length);
    void TakePendingNames(int track, int channel);
    void StartNote(int channel, int key, int velocity, int32_t time, double seconds);
    void EndNote(int channel, int key, int32_t time);

    cMIDIFileSong* mSong;
    File::cFile* mFile;
    // The song's tempo, kept in double so that converted times land on whole
    // ticks where the file has them.
    double mTempo = 120.0;
    bool mTempoSeen = false;
    std::unique_ptr<sPendingNames[]> mPendingNames;
    int mPendingTrackCount = 0;
    // 128 KiB: kept off the stack of the job thread that reads.
    std::unique_ptr<sOpenNotes> mOpenNotes;
};
