#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "BuildPaths.h"
#include "ScopedEnv.h"

#include "MIDITestHelpers.h"
#include "midi/MIDIByteAssembler.h"
#include "midi/MIDIManager.h"
#include "platform/os/AlsaMIDIDecoder.h"
#include "platform/os/OsMIDI.h"

namespace
{
snd_seq_event_t Event()
{
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    return event;
}

snd_seq_event_t Typed(snd_seq_event_type_t type)
{
    snd_seq_event_t event = Event();
    event.type = type;
    return event;
}

} // namespace

// Events as the sequencer delivers them, through the library's own decoder
// and our assembler, come out as the bytes the device sent.
TEST(AlsaMIDITest, SequencerEventsDecodeIntoMessages)
{
    std::vector<snd_seq_event_t> events;
    snd_seq_event_t event = Event();
    snd_seq_ev_set_noteon(&event, 0, 60, 100);
    events.push_back(event);
    snd_seq_ev_set_noteoff(&event, 0, 60, 0);
    events.push_back(event);
    event = Event();
    snd_seq_ev_set_noteon(&event, 0, 62, 90); // running status stays off
    events.push_back(event);
    event = Event();
    snd_seq_ev_set_controller(&event, 3, 7, 100);
    events.push_back(event);
    event = Event();
    snd_seq_ev_set_pgmchange(&event, 15, 42);
    events.push_back(event);
    event = Event();
    snd_seq_ev_set_pitchbend(&event, 1, 0);
    events.push_back(event);
    events.push_back(Typed(SND_SEQ_EVENT_CLOCK));
    events.push_back(Typed(SND_SEQ_EVENT_RESET));
    uint8_t first[] = {0xF0, 0x43, 0x10};
    uint8_t second[] = {0x4C, 0x00, 0xF7};
    event = Event();
    snd_seq_ev_set_sysex(&event, sizeof(first), first);
    events.push_back(event);
    event = Event();
    snd_seq_ev_set_sysex(&event, sizeof(second), second);
    events.push_back(event);
    events.push_back(Typed(SND_SEQ_EVENT_PORT_SUBSCRIBED)); // carries no MIDI

    cAlsaMIDIDecoder decoder;
    ASSERT_TRUE(decoder.IsValid());
    cMIDIByteAssembler assembler;
    cRecordingCallback callback;
    double time = 1.0;
    for (const snd_seq_event_t& e : events)
    {
        const uint8_t* bytes = nullptr;
        const int32_t count = decoder.Decode(e, bytes);
        if (count > 0)
            assembler.Push(bytes, count, time, callback, nullptr);
        time += 1.0;
    }
    EXPECT_EQ(callback.MessageBytes(), (std::vector<tBytes>{{0x90, 60, 100},
                                                             {0x80, 60, 0},
                                                             {0x90, 62, 90},
                                                             {0xB3, 7, 100},
                                                             {0xCF, 42},
                                                             {0xE1, 0x00, 0x40},
                                                             {0xF8},
                                                             {0xFF},
                                                             {0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7}}));
    EXPECT_EQ(callback.messages.back().time, 9.0) << "the sysex keeps the time of its start";
}

TEST(AlsaMIDITest, WithoutASequencerNothingIsListedOrSaid)
{
    // An ALSA set-up that defines no sequencer stands in for a machine
    // without one, so the test runs on machines that have one too.
    const std::string emptyConfig = TestScratchFolder() + "/alsa-no-sequencer-" + std::to_string(getpid()) + ".conf";
    std::ofstream(emptyConfig).flush();
    cScopedEnv noSequencer("ALSA_CONFIG_PATH", emptyConfig.c_str());
    testing::internal::CaptureStderr();
    std::unique_ptr<cOsMIDI> system = CreateSystemMIDI();
    std::vector<std::string> names = {"stale"};
    system->ListInputs(names);
    EXPECT_TRUE(names.empty());
    system->ListOutputs(names);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(system->OpenInput(0, nullptr), nullptr);
    {
        cMIDIManager manager;
        manager.RequestRescan();
        manager.Update(2.5f);
        EXPECT_EQ(manager.GetPortCount(), 0);
        EXPECT_EQ(manager.GetOpenInputCount(), 0);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::remove(emptyConfig.c_str());
}
