#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <vector>

#include "SequencerFixture.h"
#include "sequencer/PatternTable.h"
#include "sequencer/QuantizeSettings.h"

namespace
{
using cSequencerTest = cSequencerFixture;

cAudioEvent NoteOn(uint8_t slot, uint8_t note, uint32_t flags = 0)
{
    cAudioEvent event;
    event.type = kAudioEventNoteOn;
    event.slot = slot;
    event.flags = flags;
    event.SetNote(note, 100);
    event.wordB = 0x03000000u | note;
    return event;
}

cAudioEvent SetInt(uint32_t id, int32_t value)
{
    cAudioEvent event;
    event.type = kAudioEventSetIntParam;
    event.wordA = id;
    event.wordB = static_cast<uint32_t>(value);
    return event;
}

std::vector<int> NoteOns(const std::vector<cAudioEvent>& events)
{
    std::vector<int> notes;
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventNoteOn)
            notes.push_back(event.GetNote());
    return notes;
}
} // namespace

TEST_F(cSequencerTest, ANewSongIsFourFourAtOneTwentyWithAFourBarLoop)
{
    EXPECT_EQ(cSequencer::GetInstance(), &sequencer);
    EXPECT_EQ(gTransport.state, cTransport::kStopped);
    EXPECT_EQ(gTransport.tempo, 120.0f);
    EXPECT_EQ(gTransport.beatsPerBar, 4);
    EXPECT_EQ(gTransport.ticksPerBar, 1024);
    EXPECT_EQ(gTransport.loopOn, 1);
    EXPECT_EQ(gTransport.loopStart, 0);
    EXPECT_EQ(gTransport.loopEnd, 4096);
    EXPECT_EQ(gTransport.metronomeMode, 1);
    EXPECT_EQ(gTransport.metronomeLevel, 0.7f);
    EXPECT_EQ(gTransport.countInBars, 1);
    EXPECT_EQ(gRecordQuantizeSettings.interval, cQuantizeSettings::kInterval16th);
    EXPECT_EQ(gGridQuantizeGrid.interval, 64.0f);
    EXPECT_EQ(sequencer.GetTrackList()->GetCount(), 0);
    EXPECT_EQ(sequencer.GetEventCapacity(), 32u);
}

// Play with a bar of count-in at 120 BPM: clicks on the four beats before the
// downbeat whatever the metronome mode; the downbeat block plays, and clicks
// only when the metronome sounds while playing.
TEST_F(cSequencerTest, PlayWithACountInClicksEachBeatThenPlays)
{
    for (int32_t mode : {0, 1, 2})
    {
        sequencer.NewSong();
        gTransport.metronomeMode = mode;
        sequencer.Play(1);
        ASSERT_EQ(gTransport.state, cTransport::kPlayCountIn);
        EXPECT_EQ(gTransport.clockCounter, -88201);
        EXPECT_EQ(gTransport.clock, -1024);
        std::vector<int> clicks;
        std::vector<int32_t> clicksAt;
        int downbeatClick = -1;
        for (int block = 0; block < 1000 && downbeatClick < 0; ++block)
        {
            const int click = ClickOfBlock(NextBlockFrames());
            if (gTransport.state == cTransport::kPlaying)
                downbeatClick = click;
            else if (click)
            {
                clicks.push_back(click);
                clicksAt.push_back(gTransport.clock);
            }
        }
        EXPECT_EQ(clicks, (std::vector<int>{72, 60, 60, 60})) << "mode " << mode;
        ASSERT_EQ(clicksAt.size(), 4u);
        EXPECT_GT(clicksAt[1], -768);
        EXPECT_LE(clicksAt[1], -766);
        EXPECT_EQ(downbeatClick, mode == 2 ? 72 : 0) << "mode " << mode;
        EXPECT_EQ(gTransport.clock, gTransport.position);
    }
}

TEST_F(cSequencerTest, RecordFromAStopStartsAtTheBarAfterTheCountIn)
{
    sequencer.SetLoopEnabled(false);
    sequencer.SetPosition(1500);
    sequencer.Record();
    EXPECT_EQ(gTransport.position, 1024);
    EXPECT_EQ(gTransport.state, cTransport::kRecordCountIn);
    const int32_t session = sequencer.GetRecordSessionId();
    for (int block = 0; block < 1000 && gTransport.state != cTransport::kRecording; ++block)
        sequencer.AdvanceBlock(kRate, NextBlockFrames());
    EXPECT_EQ(gTransport.state, cTransport::kRecording);
    EXPECT_EQ(sequencer.GetRecordSessionId(), session + 1);
    EXPECT_EQ(sequencer.GetRecordWindowStart(), 1024);
    EXPECT_EQ(sequencer.GetRecordWindowEnd(), 2048);

    sequencer.Stop();
    gTransport.countInBars = 0;
    sequencer.SetPosition(3000);
    sequencer.Record();
    EXPECT_EQ(gTransport.state, cTransport::kRecording) << "no count-in";
    EXPECT_EQ(gTransport.position, 2048);
}

TEST_F(cSequencerTest, RecordSessionsAreNumberedOneToOneHundredTwentySeven)
{
    gTransport.countInBars = 0;
    std::vector<int32_t> ids;
    for (int i = 0; i < 130; ++i)
    {
        sequencer.Record();
        ids.push_back(sequencer.GetRecordSessionId());
        sequencer.Stop();
    }
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[125], 127);
    EXPECT_EQ(ids[126], 1);
    EXPECT_EQ(ids[127], 2);

    // Entering recording again while the session is open starts no new one.
    sequencer.SetState(cTransport::kRecordCountIn);
    sequencer.SetState(cTransport::kRecording);
    const int32_t id = sequencer.GetRecordSessionId();
    sequencer.SetState(cTransport::kMetronomeCountIn);
    sequencer.SetState(cTransport::kRecording);
    EXPECT_EQ(sequencer.GetRecordSessionId(), id);
}

// The loop wraps once in the block that reaches its end: what lies before the
// end is played, the tracks jump back, and the overshoot carries over.
TEST_F(cSequencerTest, TheLoopWrapsWithItsOvershoot)
{
    cTrack* track = AddTrack(0);
    AddPrivatePart(track, 0, 8192, {2, 4000, 4095, 4097});
    sequencer.SetPosition(4000);
    sequencer.Play(0);
    Take(0);
    const int32_t frames = sequencer.SamplesFromTicks(4100) - sequencer.SamplesFromTicks(4000);
    sequencer.AdvanceBlock(kRate, frames);
    EXPECT_EQ(gTransport.position, 4);
    EXPECT_EQ(gTransport.samplePosition, sequencer.SamplesFromTicks(4));
    const std::vector<cAudioEvent> block = Take(0);
    EXPECT_EQ(NoteOns(block), (std::vector<int>{61, 62})) << "the events up to 4095, not the one past the end";
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(block.back().type, kAudioEventReloadParams) << "the tracks were re-located";
    EXPECT_EQ(track->GetPositionInLoop(), 0);
    sequencer.AdvanceBlock(kRate, 128);
    EXPECT_EQ(NoteOns(Take(0)), (std::vector<int>{60}));
}

TEST_F(cSequencerTest, TurningTheLoopOnOrMovingItsEndBeforeThePositionJumpsToItsStart)
{
    sequencer.SetLoopEnabled(false);
    sequencer.SetLoopStart(1024);
    sequencer.SetPosition(5000);
    sequencer.SetLoopEnabled(true);
    EXPECT_EQ(gTransport.position, 1024);
    sequencer.SetPosition(3000);
    sequencer.SetLoopEnd(2048);
    EXPECT_EQ(gTransport.position, 1024);
    sequencer.SetPosition(2000);
    sequencer.SetLoopEnd(3072);
    EXPECT_EQ(gTransport.position, 2000);
}

TEST_F(cSequencerTest, PlayingPastTheSongEndStopsThere)
{
    sequencer.SetLoopEnabled(false);
    sequencer.SetPosition(511990);
    sequencer.Play(0);
    for (int block = 0; block < 20 && gTransport.state != cTransport::kStopped; ++block)
        sequencer.AdvanceBlock(kRate, 128);
    EXPECT_EQ(gTransport.state, cTransport::kStopped);
    EXPECT_EQ(gTransport.position, cSequencer::kSongEnd);
}

TEST_F(cSequencerTest, TimeSignatureAndTempoAreClamped)
{
    const struct
    {
        int32_t beats;
        int32_t expected;
    } signatures[] = {{0, 1}, {9, 7}, {3, 3}, {-4, 1}, {7, 7}};
    for (const auto& s : signatures)
    {
        sequencer.SetBeatsPerBar(s.beats);
        EXPECT_EQ(gTransport.beatsPerBar, s.expected) << s.beats;
        EXPECT_EQ(gTransport.ticksPerBar, s.expected * 256);
        EXPECT_EQ(gTransport.ticksPerBarFloat, float(s.expected * 256));
        EXPECT_FLOAT_EQ(gTransport.barsPerTick, 1.0f / float(s.expected * 256));
    }
    const struct
    {
        float bpm;
        float expected;
    } tempos[] = {{10.0f, 40.0f}, {300.0f, 240.0f}, {99.5f, 99.5f}, {std::nanf(""), 40.0f}};
    for (const auto& t : tempos)
    {
        sequencer.SetTempo(t.bpm);
        EXPECT_EQ(gTransport.tempo, t.expected) << t.bpm;
    }
}

TEST_F(cSequencerTest, ATempoChangeKeepsTheTickPosition)
{
    sequencer.SetPosition(2560);
    EXPECT_EQ(gTransport.samplePosition, 220500); // 10 beats at 120 BPM
    sequencer.SetTempo(60.0f);
    EXPECT_EQ(gTransport.position, 2560);
    EXPECT_EQ(gTransport.samplePosition, 441000);
    EXPECT_EQ(sequencer.TicksFromSamples(441000), 2560);
}

TEST_F(cSequencerTest, AChangeOfSampleRateRescalesTheCounters)
{
    sequencer.SetLoopEnabled(false);
    sequencer.SetPosition(2560);
    sequencer.AdvanceBlock(48000, 0);
    EXPECT_EQ(gTransport.sampleRate, 48000);
    EXPECT_EQ(gTransport.samplePosition, 240000);
    EXPECT_EQ(sequencer.TicksFromSamples(240000), 2560);
}

// A block at a rate of 0 or below would divide by it: it changes nothing.
TEST_F(cSequencerTest, ABlockWithoutASampleRateLeavesTheTransportAlone)
{
    cTrack* track = AddTrack(0);
    AddPrivatePart(track, 0, 4096, {10});
    sequencer.Play(0);
    sequencer.AdvanceBlock(kRate, 128);
    sequencer.PostEvent(SetInt(cSequencer::kParamPosition, 3000));
    const int32_t position = gTransport.position, samples = gTransport.samplePosition;
    const int32_t counter = gTransport.clockCounter, clock = gTransport.clock;
    for (int32_t rate : {0, -1, -44100, INT_MIN})
    {
        sequencer.AdvanceBlock(rate, 128);
        EXPECT_EQ(gTransport.position, position) << rate;
        EXPECT_EQ(gTransport.samplePosition, samples) << rate;
        EXPECT_EQ(gTransport.clockCounter, counter) << rate;
        EXPECT_EQ(gTransport.clock, clock) << rate;
        EXPECT_EQ(gTransport.sampleRate, kRate) << rate;
        EXPECT_EQ(gTransport.state, cTransport::kPlaying) << rate;
    }
    EXPECT_TRUE(sequencer.HasPendingEvents()) << "events wait for a real block";
}

TEST_F(cSequencerTest, StoppedTheClockRunsOnAndWrapsAfterAThousandBars)
{
    sequencer.AdvanceBlock(kRate, 128);
    sequencer.AdvanceBlock(kRate, 92);
    EXPECT_EQ(gTransport.clockCounter, 220);
    EXPECT_EQ(gTransport.clock, sequencer.TicksFromSamples(220));
    EXPECT_EQ(gTransport.position, 0);
    gTransport.clockCounter = 2 * kRate * 1024 - 100; // 1024 bars of two seconds
    sequencer.AdvanceBlock(kRate, 128);
    EXPECT_EQ(gTransport.clockCounter, 28);
}

TEST_F(cSequencerTest, MuteAndSolo)
{
    cTrack* a = AddTrack(0);
    cTrack* b = AddTrack(0);
    cTrack* c = AddTrack(1);
    sequencer.SetTrackMuteSolo(2, cTrack::kMute);
    EXPECT_FALSE(c->IsAudible());
    sequencer.SetTrackMuteSolo(0, cTrack::kSolo);
    EXPECT_TRUE(a->IsAudible());
    EXPECT_FALSE(b->IsAudible());
    EXPECT_FALSE(c->IsAudible());
    EXPECT_EQ(sequencer.GetSoloCount(), 1);
    sequencer.SetTrackMuteSolo(1, cTrack::kSolo);
    EXPECT_TRUE(b->IsAudible());
    sequencer.SetTrackMuteSolo(0, cTrack::kNormal);
    EXPECT_FALSE(a->IsAudible()) << "another track is still in solo";
    sequencer.SetTrackMuteSolo(1, cTrack::kNormal);
    EXPECT_TRUE(a->IsAudible());
    EXPECT_TRUE(b->IsAudible());
    EXPECT_FALSE(c->IsAudible()) << "muted throughout";
    EXPECT_EQ(sequencer.GetSoloCount(), 0);

    // A soloed track removed: the rest play again.
    sequencer.SetTrackMuteSolo(1, cTrack::kSolo);
    delete sequencer.RemoveTrack(1);
    EXPECT_TRUE(a->IsAudible());
    EXPECT_EQ(sequencer.GetSoloCount(), 0);
}

// Live input reaches the selected track of the event's slot; auditions,
// transport messages and slots without tracks are dropped.
TEST_F(cSequencerTest, LiveInputGoesToTheSlotsSelectedTrack)
{
    AddTrack(0);
    cTrack* selected = AddTrack(0);
    sequencer.GetTrackList()->SelectChannelTrack(1);
    cAudioEvent transport;
    transport.type = kAudioEventMIDITransport;
    transport.slot = 0;
    const cAudioEvent events[] = {NoteOn(0, 60), NoteOn(0, 62, kAudioEventFlagAudition), NoteOn(16, 64),
                                  NoteOn(255, 65), NoteOn(3, 66), transport};
    for (const cAudioEvent& event : events)
        sequencer.PostEvent(event);
    sequencer.AdvanceBlock(kRate, 128);
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ(selected->GetHeldKeyCount(note), note == 60 ? 1 : 0) << note;
    EXPECT_EQ(sequencer.GetTrackList()->GetTrack(0)->GetHeldKeyCount(60), 0);
}

TEST_F(cSequencerTest, ParametersThroughEvents)
{
    sequencer.PostEvent(SetInt(cSequencer::kParamPosition, 2048));
    sequencer.PostEvent(SetInt(cSequencer::kParamEraseKeys, 5));
    sequencer.PostEvent(SetInt(cSequencer::kParamLoopStart, 512));
    sequencer.PostEvent(SetInt(cSequencer::kParamLoopEnd, 8192));
    sequencer.PostEvent(SetInt(cSequencer::kParamLoopToggle, 0));
    cAudioEvent tempo;
    tempo.type = kAudioEventSetFloatParam;
    tempo.wordA = cSequencer::kParamTempo;
    tempo.wordB = std::bit_cast<uint32_t>(90.0f);
    sequencer.PostEvent(tempo);
    sequencer.AdvanceBlock(kRate, 128);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamPosition), 2048);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamEraseKeys), 1);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamEraseAll), 0);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamLoopStart), 512);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamLoopEnd), 8192);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamLoopOn), 0);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamLoopToggle), 0);
    EXPECT_EQ(sequencer.GetParamFloat(cSequencer::kParamTempo), 90.0f);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamTempo), 0);
    EXPECT_EQ(sequencer.GetParamInt(99), 0);
    sequencer.PostEvent(SetInt(cSequencer::kParamState, cTransport::kPlaying));
    sequencer.AdvanceBlock(kRate, 128);
    EXPECT_EQ(sequencer.GetParamInt(cSequencer::kParamState), cTransport::kPlaying);
    EXPECT_EQ(gTransport.eraseKeys, 0) << "a transport change clears the erase flags";
}

// State 5 clicks one bar of count-in after another and never plays.
TEST_F(cSequencerTest, TheMetronomeCountInRepeatsItsBar)
{
    sequencer.SetPosition(3000);
    sequencer.SetState(cTransport::kMetronomeCountIn);
    std::vector<int> clicks;
    for (int block = 0; block < 3 * 88200 / 110; ++block)
        if (const int click = ClickOfBlock(NextBlockFrames()))
            clicks.push_back(click);
    ASSERT_GE(clicks.size(), 12u);
    clicks.resize(12);
    EXPECT_EQ(clicks, (std::vector<int>{72, 60, 60, 60, 72, 60, 60, 60, 72, 60, 60, 60}));
    EXPECT_EQ(gTransport.state, cTransport::kMetronomeCountIn);
    EXPECT_EQ(gTransport.position, 3000);
}

TEST_F(cSequencerTest, StatesOutsideTheTransportAreRefused)
{
    gTransport.eraseAll = 1;
    for (int32_t state : {-1, 6, 100})
    {
        sequencer.SetState(state);
        EXPECT_EQ(gTransport.state, cTransport::kStopped) << state;
    }
    EXPECT_EQ(gTransport.eraseAll, 1);
    sequencer.SetState(cTransport::kPlaying);
    EXPECT_EQ(gTransport.state, cTransport::kPlaying);
    EXPECT_EQ(gTransport.eraseAll, 0);
}

TEST_F(cSequencerTest, PlayingAndStoppingTellTheTracks)
{
    cTrack* track = AddTrack(0);
    AddPrivatePart(track, 0, 4096, {0, 100}, 1000);
    Take(0);
    sequencer.Play(0);
    sequencer.AdvanceBlock(kRate, 128);
    EXPECT_EQ(NoteOns(Take(0)), (std::vector<int>{60}));
    sequencer.Play(0); // already playing: nothing
    EXPECT_TRUE(Take(0).empty());
    sequencer.Stop();
    const std::vector<cAudioEvent> stopped = Take(0);
    ASSERT_EQ(stopped.size(), 2u);
    EXPECT_EQ(stopped[0].type, kAudioEventNoteOff);
    EXPECT_EQ(stopped[1].type, kAudioEventReloadParams);
    EXPECT_EQ(gTransport.position, 1) << "the position stays where it stopped";
}

TEST_F(cSequencerTest, ClearSongStopsAndEmptiesTheSong)
{
    cTrack* track = AddTrack(0);
    AddPrivatePart(track, 0, 4096, {0});
    sequencer.Play(0);
    sequencer.ClearSong();
    EXPECT_EQ(gTransport.state, cTransport::kStopped);
    EXPECT_EQ(sequencer.GetTrackList()->GetCount(), 0);
    EXPECT_EQ(sequencer.GetPatternTable()->GetPattern(100)->count, 0);
    EXPECT_EQ(sequencer.GetPatternTable()->GetPattern(100)->referenceCount, 0);
}

TEST_F(cSequencerTest, PartPresetsAreReportedToTheirInstruments)
{
    // A package whose instrument notes what is reported.
    struct cReporting : cTestInstrument
    {
        using cTestInstrument::cTestInstrument;
        void AddUsedPreset(int32_t id, int32_t kind) override { reported.push_back(kind << 16 | id); }
        std::vector<int32_t> reported;
    };
    cReporting* instrument = new cReporting(&package, 0);
    package.DestroyInstrument(slots.SetSlot(1, instrument, false));
    cTrack* track = AddTrack(1);
    cPatternInstance* first = AddPrivatePart(track, 0, 1024, {});
    first->programWord = cPatternInstance::kProgramChangeBit | (1u << 16) | 0x0702;
    AddPrivatePart(track, 1024, 1024, {});
    cPatternInstance* third = AddPrivatePart(track, 2048, 1024, {});
    third->programWord = cPatternInstance::kProgramChangeBit | 0x0005;
    sequencer.ReportPartPresets();
    EXPECT_EQ(instrument->reported, (std::vector<int32_t>{(1 << 16) | 0x0702, 5}));
    slots.SetSlot(1, nullptr, false);
    delete instrument;
}
