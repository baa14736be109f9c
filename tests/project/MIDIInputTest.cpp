#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <vector>

#include "ProjectFixture.h"
#include "audio/AllocationCounter.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"
#include "project/ProjectHost.h"

namespace ProjectTest
{
namespace
{
// Three keyboards in device slots 0, 1 and 2; "Keys 2" may be set to omni.
class cMIDIInputTest : public cProjectFixture
{
protected:
    void SetUp() override
    {
        cProjectFixture::SetUp();
        auto system = std::make_unique<cFakeMIDISystem>();
        system->inputs = {"Keys 0", "Keys 1", "Keys 2"};
        midi = std::make_unique<cMIDIManager>(std::move(system));
        midi->RequestRescan();
        for (const char* name : {"Keys 0", "Keys 1", "Keys 2"})
            midi->FindPortByName(name)->SetEnableFlags(cMIDIPortSettings::kEnableBit);
        NewProject();
        TakeAll();
        gSelectedInstrumentSlot = 1;
    }
    void TearDown() override
    {
        midi.reset();
        cProjectFixture::TearDown();
    }

    int32_t SourceOf(const char* name) const { return midi->FindOpenInput(name)->GetSlot(); }

    void Send(std::vector<uint8_t> bytes, int32_t source)
    {
        cMIDIMessage message(bytes.data(), int32_t(bytes.size()), 0.0);
        project->HandleMIDIMessage(message, source);
    }

    // What every instrument and the sequencer were handed since the last call.
    void TakeAll()
    {
        for (int32_t slot = 1; slot < 6; ++slot)
            StandIn(slot)->Module().Take();
        sequencer->Take();
    }

    std::unique_ptr<cMIDIManager> midi;
};

struct cEventCase
{
    const char* what;
    std::vector<uint8_t> bytes;
    uint8_t type;
    uint8_t slot;
    uint32_t flags;
    uint32_t wordA;
    uint32_t wordB;
    float valueF;
};

TEST_F(cMIDIInputTest, EachMessageBecomesItsEventFieldByField)
{
    const uint32_t bankKeep = 0xFFFFFFFFu;
    const cEventCase cases[] = {
        {"note on 60 from source 2", {0x90, 60, 100}, kAudioEventNoteOn, 0, 0, 60 | (100 << 8), 0x0300023C, 0.0f},
        {"note on at velocity 0", {0x93, 61, 0}, kAudioEventNoteOff, 3, 0, 61, 0x0300023D, 0.0f},
        {"note off keeps its velocity", {0x85, 62, 40}, kAudioEventNoteOff, 5, 0, 62 | (40 << 8), 0x0300023E, 0.0f},
        {"all notes off", {0xB0, 123, 0}, kAudioEventReleaseLiveNotes, 0, 0, 2, 0, 0.0f},
        {"all sound off", {0xB1, 120, 0}, kAudioEventReleaseLiveNotes, 1, 0, 2, 0, 0.0f},
        {"bank select, fine", {0xB2, 32, 5}, kAudioEventSelectPreset, 2, 16, 5, bankKeep, 0.0f},
        {"controller 74", {0xB0, 74, 127}, kAudioEventModuleParam, 0, 0, 0, 74, 1.0f},
        {"program change", {0xC4, 9}, kAudioEventSelectPreset, 4, 16, bankKeep, 9, 0.0f},
        {"bend centre", {0xE0, 0x00, 0x40}, kAudioEventPitchBend, 0, 0, std::bit_cast<uint32_t>(0.0f), 0, 0.0f},
        {"bend top", {0xE0, 0x7F, 0x7F}, kAudioEventPitchBend, 0, 0, std::bit_cast<uint32_t>(8191.0f / 8192.0f),
         0, 0.0f},
    };
    for (const cEventCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        const uint32_t before = project->GetMIDIEventCounter();
        Send(c.bytes, 2);
        ASSERT_EQ(project->GetMIDIEventCounter(), before + 1);
        const cAudioEvent event = project->GetLastMIDIEvent();
        EXPECT_EQ(event.type, c.type);
        EXPECT_EQ(event.slot, c.slot);
        EXPECT_EQ(event.flags, c.flags);
        EXPECT_EQ(event.position, 0);
        EXPECT_EQ(event.wordA, c.wordA);
        EXPECT_EQ(event.wordB, c.wordB);
        EXPECT_EQ(event.valueF, c.valueF);
    }
    EXPECT_NEAR(std::bit_cast<float>(project->GetLastMIDIEvent().wordA), 0.99988f, 1e-5f);
}

TEST_F(cMIDIInputTest, TransportMessagesGoToTheSequencerAlone)
{
    const struct
    {
        std::vector<uint8_t> bytes;
        uint32_t code;
        uint32_t value;
    } cases[] = {{{0xFA}, 0, 0}, {{0xFC}, 1, 0}, {{0xFB}, 2, 0}, {{0xF8}, 3, 0}, {{0xF2, 0x10, 0x02}, 4, 272}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.code);
        Send(c.bytes, 0);
        ASSERT_EQ(sequencer->Take(), 1);
        EXPECT_EQ(sequencer->events[0].type, kAudioEventMIDITransport);
        EXPECT_EQ(sequencer->events[0].slot, 255);
        EXPECT_EQ(sequencer->events[0].wordA, c.code);
        EXPECT_EQ(sequencer->events[0].wordB, c.value);
    }
    EXPECT_EQ(project->GetMIDIEventCounter(), 0u);
    for (int32_t slot = 1; slot < 6; ++slot)
        EXPECT_EQ(StandIn(slot)->Module().Take(), 0);
}

TEST_F(cMIDIInputTest, OtherMessagesAreDropped)
{
    for (std::vector<uint8_t> bytes : std::vector<std::vector<uint8_t>>{
             {0xA0, 60, 10}, {0xD0, 50}, {0xF0, 0x7E, 0xF7}, {0xF2, 0x10}, {0x90, 60}, {0xE0, 0x00}})
        Send(bytes, 0);
    EXPECT_EQ(project->GetMIDIEventCounter(), 0u);
    EXPECT_EQ(sequencer->Take(), 0);
}

TEST_F(cMIDIInputTest, ChannelsPlayTheirSlotsAndOmniPlaysTheSelectedOne)
{
    auto module = [](int32_t slot) -> cRecordingModule& { return StandIn(slot)->Module(); };
    Send({0x90, 60, 100}, SourceOf("Keys 0")); // MIDI channel 1
    ASSERT_EQ(module(1).Take(), 1);
    EXPECT_EQ(module(1).events[0].slot, 1);
    EXPECT_EQ(module(2).Take(), 0);

    // MIDI channel 16 belongs to the mixer in slot 0: no instrument plays.
    Send({0x9F, 60, 100}, SourceOf("Keys 0"));
    for (int32_t slot = 1; slot < 6; ++slot)
        EXPECT_EQ(module(slot).Take(), 0) << slot;

    midi->FindPortByName("Keys 2")->SetOmni(true);
    gSelectedInstrumentSlot = 4;
    Send({0x9F, 60, 100}, SourceOf("Keys 2"));
    Send({0x93, 61, 100}, SourceOf("Keys 2"));
    EXPECT_EQ(module(4).Take(), 2);
    EXPECT_EQ(module(3).Take(), 0);

    // An empty or impossible selection plays nothing.
    gSelectedInstrumentSlot = 9;
    Send({0x90, 60, 100}, SourceOf("Keys 2"));
    gSelectedInstrumentSlot = 99;
    Send({0x90, 60, 100}, SourceOf("Keys 2"));
    for (int32_t slot = 1; slot < 6; ++slot)
        EXPECT_EQ(module(slot).Take(), 0) << slot;

    // A source without a device is not routed.
    Send({0x90, 60, 100}, 77);
    EXPECT_EQ(module(1).Take(), 0);
}

TEST_F(cMIDIInputTest, NotesAreTransposedAndFoldedIntoThePlayableRange)
{
    struct cNoteCase
    {
        uint8_t note;
        int32_t transpose;
        int32_t midiIn;
        uint32_t source; // the voice id's top byte
        bool transposable;
        uint8_t heard;
    } cases[] = {
        {10, 0, 0, kVoiceSourceMIDI, true, 34},       {127, 0, 0, kVoiceSourceMIDI, true, 91},
        {60, 5, -12, kVoiceSourceMIDI, true, 53},     {60, 5, -12, kVoiceSourceSequencer, true, 65},
        {60, 5, -12, kVoiceSourceMIDI, false, 48},    {0, -11, -36, kVoiceSourceMIDI, true, 25},
        {127, 11, 36, kVoiceSourceMIDI, true, 90},    {24, 0, 0, kVoiceSourceMIDI, true, 24},
        {100, 0, 0, kVoiceSourceMIDI, true, 100},     {23, 0, 0, kVoiceSourceMIDI, true, 35},
        {101, 0, 0, kVoiceSourceMIDI, true, 89},
    };
    cStandInInstrument* instrument = StandIn(2);
    for (const cNoteCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << int(c.note) << " " << c.transpose << " " << c.midiIn);
        project->SetTranspose(c.transpose);
        project->SetMIDIInTranspose(2, c.midiIn);
        instrument->SetTransposable(c.transposable);
        cAudioEvent event;
        event.type = kAudioEventNoteOn;
        event.SetNote(c.note, 90);
        event.wordB = c.note | (c.source << 24);
        project->PostEventToInstrument(event, instrument);
        ASSERT_EQ(instrument->Module().Take(), 1);
        EXPECT_EQ(instrument->Module().events[0].GetNote(), c.heard);
        EXPECT_EQ(instrument->Module().events[0].GetVelocity(), 90);
        EXPECT_EQ(instrument->Module().events[0].wordB, event.wordB) << "the voice keeps the incoming note";
    }
}

TEST_F(cMIDIInputTest, AllNotesOffReleasesTheSourceOnEveryInstrument)
{
    Send({0xB0, 123, 0}, SourceOf("Keys 1"));
    for (int32_t slot = 1; slot < 6; ++slot)
    {
        cRecordingModule& module = StandIn(slot)->Module();
        ASSERT_EQ(module.Take(), 1) << slot;
        EXPECT_EQ(module.events[0].type, kAudioEventReleaseLiveNotes);
        EXPECT_EQ(module.events[0].GetNote(), SourceOf("Keys 1"));
        EXPECT_EQ(module.events[0].slot, slot);
    }
}

TEST_F(cMIDIInputTest, ProgramChangesSelectAPresetKeepingTheBank)
{
    Send({0xC0, 17}, SourceOf("Keys 0"));
    cRecordingModule& module = StandIn(1)->Module();
    ASSERT_EQ(module.Take(), 1);
    EXPECT_EQ(module.events[0].type, kAudioEventSelectPreset);
    EXPECT_EQ(int32_t(module.events[0].wordA), -1);
    EXPECT_EQ(module.events[0].wordB, 17u);
    EXPECT_EQ(module.events[0].flags, uint32_t(kAudioEventFlagReportPreset));
}

TEST_F(cMIDIInputTest, ControllersFanOutThroughThePackagesMap)
{
    Send({0xB0, 7, 64}, SourceOf("Keys 0"));
    cRecordingModule& module = StandIn(1)->Module();
    ASSERT_EQ(module.Take(), 2);
    ASSERT_EQ(sequencer->Take(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const uint32_t parameter = i == 0 ? 1 : 3;
        for (const cAudioEvent& event : {module.events[i], sequencer->events[i]})
        {
            EXPECT_EQ(event.type, kAudioEventModuleParam);
            EXPECT_EQ(event.slot, 1);
            EXPECT_EQ(event.wordB, parameter);
            EXPECT_FLOAT_EQ(event.valueF, 64.0f / 127.0f);
        }
    }
    // A controller nothing listens to reaches nobody.
    Send({0xB0, 11, 64}, SourceOf("Keys 0"));
    EXPECT_EQ(module.Take(), 0);
    EXPECT_EQ(sequencer->Take(), 0);
}

TEST_F(cMIDIInputTest, PitchBendBecomesParameterZero)
{
    Send({0xE0, 0x00, 0x60}, SourceOf("Keys 0"));
    cRecordingModule& module = StandIn(1)->Module();
    ASSERT_EQ(module.Take(), 1);
    ASSERT_EQ(sequencer->Take(), 1);
    for (const cAudioEvent& event : {module.events[0], sequencer->events[0]})
    {
        EXPECT_EQ(event.type, kAudioEventModuleParam);
        EXPECT_EQ(event.wordB, 0u);
        EXPECT_EQ(event.flags, 0u);
        EXPECT_FLOAT_EQ(event.valueF, 0.5f);
    }
}

TEST_F(cMIDIInputTest, TheTrackMapDecidesWhoListens)
{
    project->GetTrackMap().SetChannel(3, 0);
    Send({0x90, 60, 100}, SourceOf("Keys 0"));
    EXPECT_EQ(StandIn(1)->Module().Take(), 1);
    EXPECT_EQ(StandIn(3)->Module().Take(), 1);
    Send({0x92, 60, 100}, SourceOf("Keys 0")); // MIDI channel 3 has no listener now
    for (int32_t slot = 1; slot < 6; ++slot)
        EXPECT_EQ(StandIn(slot)->Module().Take(), 0) << slot;
}

TEST_F(cMIDIInputTest, ChangingASlotsChannelReleasesItsLiveNotes)
{
    project->SetModified(false);
    project->SetMIDIInChannel(2, 5);
    cRecordingModule& module = StandIn(2)->Module();
    ASSERT_EQ(module.Take(), 3) << "one release per open keyboard";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(module.events[i].type, kAudioEventReleaseLiveNotes);
    EXPECT_EQ(project->GetTrackMap().GetChannel(2), 5);
    EXPECT_TRUE(project->IsModified());

    project->SetModified(false);
    project->SetMIDIInChannel(2, 5);
    project->SetMIDIInChannel(2, 16);
    project->SetMIDIInChannel(16, 0);
    EXPECT_EQ(module.Take(), 0);
    EXPECT_FALSE(project->IsModified());
}

TEST_F(cMIDIInputTest, TheSinkAllocatesNothing)
{
    const std::vector<std::vector<uint8_t>> messages = {
        {0x90, 60, 100}, {0x80, 60, 0}, {0xB0, 7, 10}, {0xB0, 123, 0}, {0xE0, 1, 2}, {0xC0, 3}, {0xF8}, {0xF2, 1, 1}};
    std::vector<cMIDIMessage> prepared;
    for (const auto& bytes : messages)
        prepared.emplace_back(bytes.data(), int32_t(bytes.size()), 0.0);
    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    for (int round = 0; round < 20; ++round)
        for (const cMIDIMessage& message : prepared)
            project->HandleMIDIMessage(message, SourceOf("Keys 0"));
    const uint64_t allocated = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(allocated, 0u);
}
} // namespace
} // namespace ProjectTest
