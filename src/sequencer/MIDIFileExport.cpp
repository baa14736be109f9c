// The current song as a MIDI file: one channel per instrument slot, its
// parts unrolled into the pattern's repetitions, controller slots turned
// back into the controller numbers the instrument's package listens to.
#include <memory>

#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/MIDIControllerMap.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "base/GenString.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileOperations.h"
#include "sequencer/MIDIFileProjectHost.h"
#include "sequencer/MIDIFileSong.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Sequencer.h"
#include "sequencer/Track.h"
#include "sequencer/TrackList.h"

namespace
{
constexpr int32_t kSlotCount = cInstrumentSlotTable::kSlotCount;
constexpr int32_t kBankSelectLSB = 32;
constexpr uint32_t kPresetParameter = 1;

bool GroupHasEvents(const cTrackList& tracks, const cTrackList::cGroup& group)
{
    for (int32_t index = group.first; index < group.end; ++index)
        for (const cPatternInstance* part = tracks.GetTrack(index)->GetFirstPart(); part; part = part->next)
            if (part->pattern && part->pattern->count > 0)
                return true;
    return false;
}

class cExport
{
public:
    cExport(cMIDIFileSong& song, int32_t channel, cInstrument& instrument)
        : mSong(song), mChannel(channel), mInstrument(instrument)
    {
        const cInstrumentPackage* package = instrument.GetPackage();
        mMap = package ? package->GetControllerMap() : nullptr;
        cMIDIFileSong::sChannel& record = song.channels[channel];
        record.trackName.AssignCStr(instrument.GetName());
        // "<package> : <preset>", so an import finds the package again.
        const char* presetName = instrument.GetCurrentPresetName();
        cGenStringFixed<256> name;
        name.Printf("%s : %s", package ? package->GetName() : "", presetName ? presetName : "");
        record.instrumentName.Assign(name);
    }

    void AddTrack(const cTrack& track)
    {
        // Every track of the slot starts its instrument on the current preset.
        if (cAudioModule* module = mInstrument.GetModule())
            AddPreset(0, module->GetParamInt(kPresetParameter));
        for (const cPatternInstance* part = track.GetFirstPart(); part; part = part->next)
        {
            if (part->HasProgramChange())
                AddPreset(part->start, int32_t(part->programWord & 0xffff));
            if (part->pattern)
                AddPart(*part);
        }
    }

private:
    // An instrument without a preset (-1) sends none.
    void AddPreset(int32_t time, int32_t preset)
    {
        if (preset < 0)
            return;
        mSong.AddController(mChannel, time, kBankSelectLSB, (preset >> 8) & 0x7f);
        mSong.AddProgram(mChannel, time, preset & 0x7f);
    }

    void AddPart(const cPatternInstance& part)
    {
        const int32_t loop = part.GetLoopLength();
        if (loop < 1)
            return;
        const int64_t end = int64_t(part.start) + part.length;
        for (int64_t pass = part.start; pass < end; pass += loop)
            for (const cPatternEvent* event = part.pattern->head; event && event->time < loop; event = event->next)
            {
                const int64_t time = pass + event->time;
                if (time >= end)
                    return;
                AddEvent(*event, int32_t(time));
            }
    }

    void AddEvent(const cPatternEvent& event, int32_t time)
    {
        if (!event.IsController())
        {
            mSong.AddNote(mChannel, time, event.data1, event.data2, event.length);
            return;
        }
        if (event.data3 == 0)
        {
            mSong.AddPitchBend(mChannel, time, event.GetControllerValue() / 4 + 8192);
            return;
        }
        const int32_t controller = mMap && event.data3 < cMIDIControllerMap::kSlotCount
                                       ? mMap->GetAssignment(event.data3)
                                       : cMIDIControllerMap::kUnassigned;
        if (controller >= 0)
            mSong.AddController(mChannel, time, controller, event.data1);
    }

    cMIDIFileSong& mSong;
    const int32_t mChannel;
    cInstrument& mInstrument;
    const cMIDIControllerMap* mMap = nullptr;
};

// Under the sequencer lock, so nothing recorded meanwhile is read half made.
void BuildSong(cSequencer& sequencer, cMIDIFileSong& song)
{
    cScopedLock lock(sequencer.GetLock());
    song.tempo = gTransport.tempo.load(std::memory_order_relaxed);
    song.numerator = gTransport.beatsPerBar.load(std::memory_order_relaxed);
    song.denominator = 4;
    const cTrackList& tracks = *sequencer.GetTrackList();
    cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance();
    for (int32_t slot = 0; slot < kSlotCount; ++slot)
    {
        cInstrument* instrument = slots ? slots->GetInstrument(slot) : nullptr;
        const cTrackList::cGroup& group = tracks.GetGroup(slot);
        if (!instrument || !GroupHasEvents(tracks, group))
            continue;
        cExport channel(song, slot, *instrument);
        for (int32_t index = group.first; index < group.end; ++index)
            channel.AddTrack(*tracks.GetTrack(index));
    }
}
} // namespace

bool ExportSongToMIDIFile(const char* path, const char* songName, cGenString& error)
{
    error.AssignCStr("Unknown error.");
    cMIDIFileProjectHost* host = GetMIDIFileProjectHost();
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!host || !host->HasCurrentProject() || !sequencer)
        return false;
    // Opened first, so a folder that is not there is said as such; the
    // file is committed only once it is whole.
    File::cFile* file = gFileSystemRegistry ? gFileSystemRegistry->OpenIn("Doc", cGenString(path), File::kModeWrite,
                                                                          File::kFlagSafeWrite)
                                            : nullptr;
    if (!file)
    {
        error.AssignCStr("Could not open file.");
        return false;
    }
    auto song = std::make_unique<cMIDIFileSong>();
    song->name.AssignCStr(songName);
    BuildSong(*sequencer, *song);
    const bool failed = cMIDIFileConverter(song.get(), file).Write();
    const bool committed = file->Close(failed);
    delete file;
    if (failed || !committed)
    {
        error.AssignCStr("Could not export to MIDI file.");
        return false;
    }
    error.AssignCStr("");
    return true;
}
