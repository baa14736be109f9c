#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "AllocationCounter.h"
#include "FakeMIDISystem.h"
#include "audio/AudioModule.h"
#include "base/Clock.h"
#include "base/File.h"
#include "base/SerialiseXML.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"

namespace
{
using namespace std::chrono_literals;

double NowSeconds() { return GetMilliseconds() * 0.001; }

// The project's MIDI sink, as the audio thread calls it.
class cRecordingSink
{
public:
    struct cDelivered
    {
        tBytes bytes;
        double position;
        int32_t slot;
    };

    void Receive(const cMIDIMessage& message, int32_t slot)
    {
        delivered.push_back({BytesOf(message), message.GetTimeStamp(), slot});
    }

    std::vector<cDelivered> delivered;
};

// Counts without allocating, for the allocation check.
class cCountingSink
{
public:
    void Receive(const cMIDIMessage& message, int32_t)
    {
        ++messages;
        bytes += message.GetSize();
    }
    int32_t messages = 0;
    int32_t bytes = 0;
};

std::vector<tBytes> AllNotesOffOnEveryChannel()
{
    std::vector<tBytes> all;
    for (uint8_t channel = 0; channel < 16; ++channel)
        all.push_back({uint8_t(0xB0 | channel), 123, 0});
    return all;
}

class cMIDIManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto system = std::make_unique<cFakeMIDISystem>();
        mSystem = system.get();
        mManager = std::make_unique<cMIDIManager>(std::move(system));
    }

    // Plugs devices in and scans.
    void Plug(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            mSystem->inputs.push_back(name);
        mManager->RequestRescan();
    }

    void Unplug(const char* name)
    {
        mSystem->inputs.erase(std::find(mSystem->inputs.begin(), mSystem->inputs.end(), name));
        mManager->ScanDevices();
    }

    cMIDIPortSettings& Port(const char* name)
    {
        cMIDIPortSettings* port = mManager->FindPortByName(name);
        EXPECT_NE(port, nullptr) << name;
        return *port;
    }

    // Sends from an open device now.
    void Send(const char* name, const tBytes& bytes)
    {
        cFakeMIDIPort* port = mSystem->FindOpen(name);
        ASSERT_NE(port, nullptr) << name << " is not open";
        port->Send(bytes, NowSeconds());
    }

    // One device buffer's hand-over: the bytes the sink received.
    std::vector<tBytes> Deliver()
    {
        mSink.delivered.clear();
        mManager->DeliverBlock(cDelegate(&mSink, &cRecordingSink::Receive), 220);
        std::vector<tBytes> all;
        for (const cRecordingSink::cDelivered& delivered : mSink.delivered)
            all.push_back(delivered.bytes);
        return all;
    }

    std::string SaveSettings()
    {
        File::cFileMemoryWrite stream;
        Base::cSerialiseXML serialiser(1.0f, &stream, 0);
        EXPECT_TRUE(serialiser.Begin());
        serialiser.BeginNode("MIDIManager", true);
        EXPECT_TRUE(mManager->SerialiseSettings(serialiser));
        serialiser.EndNode(nullptr);
        EXPECT_TRUE(serialiser.End());
        return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
    }

    void LoadSettings(cMIDIManager& manager, const std::string& text)
    {
        File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
        Base::cSerialiseXML serialiser(1.0f, &stream, 0);
        ASSERT_TRUE(serialiser.Begin());
        ASSERT_TRUE(serialiser.BeginNode("MIDIManager", false));
        EXPECT_TRUE(manager.SerialiseSettings(serialiser));
        serialiser.EndNode(nullptr);
        serialiser.End();
    }

    cFakeMIDISystem* mSystem = nullptr;
    std::unique_ptr<cMIDIManager> mManager;
    cRecordingSink mSink;
};
} // namespace

TEST_F(cMIDIManagerTest, NewDevicesStayOffUnlessTheyCarryADefaultName)
{
    Plug({"Some Synth", "Pocket MIDI Interface", "VuvozIvuvedu25 Keyboard", "pocket midi interface 2"});
    ASSERT_EQ(mManager->GetPortCount(), 4);
    EXPECT_EQ(Port("Some Synth").GetEnableFlags(), 0u);
    EXPECT_EQ(Port("Pocket MIDI Interface").GetEnableFlags(), 1u);
    EXPECT_EQ(Port("VuvozIvuvedu25 Keyboard").GetEnableFlags(), 1u);
    EXPECT_EQ(Port("pocket midi interface 2").GetEnableFlags(), 0u);
    EXPECT_EQ(Port("Some Synth").GetChannels(), 0xFFFFFFFFu);
    EXPECT_FALSE(Port("Some Synth").IsOmni());
    EXPECT_TRUE(Port("Some Synth").IsPresent());
    EXPECT_EQ(mSystem->open.size(), 2u);
    EXPECT_EQ(mSystem->FindOpen("Some Synth"), nullptr);
    ASSERT_EQ(mManager->GetOpenInputCount(), 2);
    // Each open device has a slot of its own, which knows its port.
    const uint8_t a = mManager->GetOpenInput(0)->GetSlot();
    const uint8_t b = mManager->GetOpenInput(1)->GetSlot();
    EXPECT_NE(a, b);
    EXPECT_EQ(mManager->PortForSlot(a), &Port("Pocket MIDI Interface"));
    EXPECT_EQ(mManager->PortForSlot(b), &Port("VuvozIvuvedu25 Keyboard"));
    EXPECT_EQ(mManager->PortForSlot(200), nullptr);
}

TEST_F(cMIDIManagerTest, NamesAreFoldedAndRepeatsNumbered)
{
    Plug({"Caf\xC3\xA9 Keys", "Twin", "Twin", "Twin"});
    EXPECT_EQ(cMIDIInput::GetDevices(*mSystem), (std::vector<std::string>{"Cafe Keys", "Twin", "Twin 2", "Twin 3"}));
    EXPECT_EQ(mManager->GetPortCount(), 4);
    Port("Twin 3").SetEnableFlags(1);
    ASSERT_EQ(mManager->GetOpenInputCount(), 1);
    EXPECT_EQ(mManager->GetOpenInput(0)->GetName(), "Twin 3");
}

TEST_F(cMIDIManagerTest, NoteInputOffOpensThePortButDropsItsNotesUnlit)
{
    Plug({"Synth"});
    Port("Synth").SetEnableFlags(2);
    ASSERT_NE(mSystem->FindOpen("Synth"), nullptr);
    Send("Synth", {0x90, 0x3C, 0x64});
    Send("Synth", {0x80, 0x3C, 0x00});
    EXPECT_EQ(Port("Synth").GetActivity(0), 0.0f);
    Send("Synth", {0xB0, 0x07, 0x50});
    Send("Synth", {0xE0, 0x00, 0x40});
    Send("Synth", {0xC0, 0x05});
    EXPECT_EQ(Port("Synth").GetActivity(0), 1.0f);
    EXPECT_EQ(Deliver(), (std::vector<tBytes>{{0xB0, 0x07, 0x50}, {0xE0, 0x00, 0x40}, {0xC0, 0x05}}));
}

TEST_F(cMIDIManagerTest, AChannelOffInTheMaskLightsButIsNotQueued)
{
    Plug({"Pocket MIDI Interface"});
    Port("Pocket MIDI Interface").SetChannels(~(1u << 2));
    Deliver(); // the All Notes Off of switching channel 3 off
    Send("Pocket MIDI Interface", {0x92, 0x3C, 0x64});
    Send("Pocket MIDI Interface", {0x93, 0x3C, 0x64});
    EXPECT_EQ(Port("Pocket MIDI Interface").GetActivity(2), 1.0f);
    EXPECT_EQ(Deliver(), (std::vector<tBytes>{{0x93, 0x3C, 0x64}}));

    mManager->DecayActivity(0.25f);
    EXPECT_FLOAT_EQ(Port("Pocket MIDI Interface").GetActivity(2), 0.5f);
    mManager->DecayActivity(1.0f);
    EXPECT_EQ(Port("Pocket MIDI Interface").GetActivity(2), 0.0f);
}

TEST_F(cMIDIManagerTest, TransportMessagesNeverArrive)
{
    Plug({"Pocket MIDI Interface"});
    for (const tBytes& bytes : std::vector<tBytes>{{0xF2, 0x00, 0x10}, {0xF8}, {0xFA}, {0xFB}, {0xFC}, {0xFE},
                                                    {0xF0, 0x7E, 0x01, 0x02, 0x03, 0xF7}, {0xFF}})
        Send("Pocket MIDI Interface", bytes);
    EXPECT_EQ(Deliver(), (std::vector<tBytes>{{0xFE}, {0xF0, 0x7E, 0x01, 0x02, 0x03, 0xF7}, {0xFF}}));
}

TEST_F(cMIDIManagerTest, SwitchingChannelsOffSilencesExactlyThem)
{
    Plug({"Pocket MIDI Interface"});
    Port("Pocket MIDI Interface").SetChannels(0xFFFFFFFFu & ~((1u << 2) | (1u << 4)));
    const std::vector<tBytes> delivered = Deliver();
    EXPECT_EQ(delivered, (std::vector<tBytes>{{0xB2, 0x7B, 0x00}, {0xB4, 0x7B, 0x00}}));
    ASSERT_EQ(mSink.delivered.size(), 2u);
    EXPECT_EQ(mSink.delivered[0].slot, mManager->GetOpenInput(0)->GetSlot());
    // Switching them back on sends nothing.
    Port("Pocket MIDI Interface").SetChannels(0xFFFFFFFFu);
    EXPECT_TRUE(Deliver().empty());
}

TEST_F(cMIDIManagerTest, EnableFlagsOpenCloseAndSilence)
{
    Plug({"Synth"});
    cMIDIPortSettings& port = Port("Synth");
    port.SetEnableFlags(1);
    ASSERT_NE(mSystem->FindOpen("Synth"), nullptr);
    // Note input switched off, port still open: its notes are released.
    port.SetEnableFlags(2);
    EXPECT_NE(mSystem->FindOpen("Synth"), nullptr);
    EXPECT_EQ(Deliver(), AllNotesOffOnEveryChannel());
    port.SetEnableFlags(0);
    EXPECT_EQ(mSystem->FindOpen("Synth"), nullptr);
    EXPECT_EQ(mManager->GetOpenInputCount(), 0);
    EXPECT_EQ(Deliver(), AllNotesOffOnEveryChannel());
    // Omni routes notes elsewhere: switching it releases them first.
    port.SetEnableFlags(1);
    port.SetOmni(true);
    EXPECT_TRUE(port.IsOmni());
    EXPECT_EQ(Deliver(), AllNotesOffOnEveryChannel());
}

TEST_F(cMIDIManagerTest, AnUnpluggedDeviceIsSilencedRememberedAndReopened)
{
    Plug({"Pocket MIDI Interface", "Other"});
    cMIDIPortSettings& port = Port("Pocket MIDI Interface");
    port.SetChannels(0xFF);
    port.SetOmni(true);
    Deliver();
    const uint8_t slot = mManager->GetOpenInput(0)->GetSlot();

    int32_t changes = 0;
    struct cCounter
    {
        int32_t* changes;
        void Changed(cMIDIManager*) { ++*changes; }
    } counter{&changes};
    mManager->AddChangeListener(cDelegate(&counter, &cCounter::Changed));

    Unplug("Pocket MIDI Interface");
    EXPECT_EQ(Deliver(), AllNotesOffOnEveryChannel());
    for (const cRecordingSink::cDelivered& delivered : mSink.delivered)
        EXPECT_EQ(delivered.slot, slot);
    EXPECT_EQ(mManager->GetOpenInputCount(), 0);
    EXPECT_EQ(mManager->FindPortByName("Pocket MIDI Interface"), &port);
    EXPECT_FALSE(port.IsPresent());
    EXPECT_EQ(port.GetChannels(), 0xFFu);
    EXPECT_TRUE(port.IsOmni());
    EXPECT_EQ(changes, 1);
    mManager->ScanDevices();
    EXPECT_EQ(changes, 1) << "nothing changed";

    Plug({"Pocket MIDI Interface"});
    EXPECT_TRUE(port.IsPresent());
    EXPECT_NE(mSystem->FindOpen("Pocket MIDI Interface"), nullptr);
    EXPECT_EQ(changes, 2);
    mManager->RemoveChangeListener(cDelegate(&counter, &cCounter::Changed));
    Unplug("Pocket MIDI Interface");
    EXPECT_EQ(changes, 2);
}

TEST_F(cMIDIManagerTest, APortEnabledInTheSettingsOpensAtTheFirstScan)
{
    LoadSettings(*mManager, "<Root FileVersion=\"1.000000\"><MIDIManager><Inputs>"
                            "<Port Name=\"Synth\" EnableFlags=\"1\" Channels=\"4294967295\" Omni=\"0\"/>"
                            "</Inputs></MIDIManager></Root>\n");
    mSystem->inputs.push_back("Synth");
    EXPECT_FALSE(mManager->IsStarted());
    mManager->Update(5.0f);
    EXPECT_EQ(mSystem->listings, 0) << "no scan before start-up starts the manager";
    mManager->RequestRescan();
    EXPECT_NE(mSystem->FindOpen("Synth"), nullptr);
    EXPECT_TRUE(Port("Synth").IsPresent());
}

TEST_F(cMIDIManagerTest, UpdateRescansEveryTwoSeconds)
{
    mManager->RequestRescan();
    const int32_t scanned = mSystem->listings;
    mManager->Update(1.5f);
    EXPECT_EQ(mSystem->listings, scanned);
    mSystem->inputs.push_back("Pocket MIDI Interface");
    mManager->Update(0.6f);
    EXPECT_GT(mSystem->listings, scanned);
    EXPECT_NE(mSystem->FindOpen("Pocket MIDI Interface"), nullptr);
}

TEST_F(cMIDIManagerTest, SuspensionsNest)
{
    Plug({"Pocket MIDI Interface"});
    mManager->Suspend();
    mManager->Suspend();
    EXPECT_EQ(Deliver(), AllNotesOffOnEveryChannel()) << "only the first suspension releases notes";
    mManager->Resume();
    Send("Pocket MIDI Interface", {0x90, 0x3C, 0x64});
    EXPECT_TRUE(Deliver().empty());
    EXPECT_EQ(Port("Pocket MIDI Interface").GetActivity(0), 0.0f) << "unseen while suspended";
    mManager->Resume();
    Send("Pocket MIDI Interface", {0x90, 0x3C, 0x64});
    EXPECT_EQ(Deliver(), (std::vector<tBytes>{{0x90, 0x3C, 0x64}}));
    // More resumes than suspends do not bank credit.
    mManager->Resume();
    mManager->Suspend();
    EXPECT_EQ(mManager->GetSuspendCount(), 1);
}

TEST_F(cMIDIManagerTest, DeliveredPositionsLieInsideTheBuffer)
{
    Plug({"Pocket MIDI Interface"});
    cFakeMIDIPort* port = mSystem->FindOpen("Pocket MIDI Interface");
    ASSERT_NE(port, nullptr);
    Deliver();
    const double now = NowSeconds();
    for (double offset : {-3.0, -0.5, 0.0, 0.002, 0.5, 0.9})
        port->Send({0x90, 0x3C, 0x64}, now + offset);
    Deliver();
    ASSERT_EQ(mSink.delivered.size(), 6u);
    double previous = 0.0;
    for (const cRecordingSink::cDelivered& delivered : mSink.delivered)
    {
        EXPECT_GE(delivered.position, 0.0);
        EXPECT_LE(delivered.position, 219.0);
        EXPECT_GE(delivered.position, previous) << "in time order";
        previous = delivered.position;
    }
    // Without a sink the messages are dropped all the same.
    port->Send({0x90, 0x3C, 0x64}, NowSeconds());
    mManager->DeliverBlock(cDelegate(), 220);
    EXPECT_TRUE(Deliver().empty());
}

TEST_F(cMIDIManagerTest, SettingsRoundTrip)
{
    Plug({"Pocket MIDI Interface", "Synth", "Pads"});
    Port("Synth").SetEnableFlags(2);
    Port("Synth").SetChannels(0x8001);
    Port("Pads").SetOmni(true);
    const std::string saved = SaveSettings();
    EXPECT_NE(saved.find("<Inputs>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Port Name=\"Synth\" EnableFlags=\"2\" Channels=\"32769\" Omni=\"false\"/>"), std::string::npos)
        << saved;

    cMIDIManager other(std::make_unique<cFakeMIDISystem>());
    LoadSettings(other, "<Root FileVersion=\"1.000000\"><MIDIManager><Inputs>"
                        "<Port Name=\"Stale\" EnableFlags=\"1\"/></Inputs></MIDIManager></Root>\n");
    ASSERT_EQ(other.GetPortCount(), 1);
    LoadSettings(other, saved);
    ASSERT_EQ(other.GetPortCount(), 3) << "reading replaces every record";
    for (int32_t i = 0; i < 3; ++i)
    {
        const cMIDIPortSettings& a = *mManager->GetPort(i);
        const cMIDIPortSettings& b = *other.GetPort(i);
        EXPECT_STREQ(a.GetName().CStr(), b.GetName().CStr());
        EXPECT_EQ(a.GetEnableFlags(), b.GetEnableFlags());
        EXPECT_EQ(a.GetChannels(), b.GetChannels());
        EXPECT_EQ(a.IsOmni(), b.IsOmni());
        EXPECT_FALSE(b.IsPresent()) << "the next scan tells";
    }
    // A record without attributes has an unknown device's defaults.
    LoadSettings(other, "<Root FileVersion=\"1.000000\"><MIDIManager><Inputs><Port/></Inputs></MIDIManager></Root>\n");
    ASSERT_EQ(other.GetPortCount(), 1);
    EXPECT_EQ(other.GetPort(0)->GetEnableFlags(), 0u);
    EXPECT_EQ(other.GetPort(0)->GetChannels(), 0xFFFFFFFFu);
}

TEST_F(cMIDIManagerTest, ReadingSettingsKeepsOpenDevicesOnLiveRecords)
{
    Plug({"Pocket MIDI Interface"});
    const uint8_t slot = mManager->GetOpenInput(0)->GetSlot();
    LoadSettings(*mManager, "<Root FileVersion=\"1.000000\"><MIDIManager><Inputs>"
                            "<Port Name=\"Pocket MIDI Interface\" EnableFlags=\"1\" Omni=\"1\"/>"
                            "</Inputs></MIDIManager></Root>\n");
    EXPECT_EQ(mManager->PortForSlot(slot), &Port("Pocket MIDI Interface"));
    EXPECT_TRUE(mManager->PortForSlot(slot)->IsOmni());
    Send("Pocket MIDI Interface", {0x90, 0x3C, 0x64});
    EXPECT_EQ(Deliver(), (std::vector<tBytes>{{0x90, 0x3C, 0x64}}));
}

TEST_F(cMIDIManagerTest, WithEverySlotTakenANewDeviceWaitsForTheNextScan)
{
    for (int32_t i = 0; i <= cMIDIManager::kSlotCount; ++i)
        mSystem->inputs.push_back("Device " + std::to_string(i));
    mManager->RequestRescan();
    for (int32_t i = 0; i <= cMIDIManager::kSlotCount; ++i)
        Port(("Device " + std::to_string(i)).c_str()).SetEnableFlags(1);
    EXPECT_EQ(mManager->GetOpenInputCount(), cMIDIManager::kSlotCount);
    EXPECT_EQ(mSystem->FindOpen("Device 128"), nullptr);
    std::vector<bool> used(cMIDIManager::kSlotCount, false);
    for (int32_t i = 0; i < mManager->GetOpenInputCount(); ++i)
    {
        const uint8_t slot = mManager->GetOpenInput(i)->GetSlot();
        EXPECT_FALSE(used[slot]) << "slot " << int(slot) << " shared";
        used[slot] = true;
    }
    Port("Device 5").SetEnableFlags(0);
    mManager->ScanDevices();
    EXPECT_NE(mSystem->FindOpen("Device 128"), nullptr);
    EXPECT_EQ(mManager->GetOpenInputCount(), cMIDIManager::kSlotCount);
}

TEST_F(cMIDIManagerTest, ADeviceThatWillNotOpenOrStartIsTriedAgain)
{
    mSystem->refuseOpen = true;
    Plug({"Pocket MIDI Interface"});
    EXPECT_EQ(mManager->GetOpenInputCount(), 0);
    EXPECT_EQ(Port("Pocket MIDI Interface").GetEnableFlags(), 1u) << "stays enabled";
    mSystem->refuseOpen = false;
    mSystem->refuseStart = true;
    mManager->ScanDevices();
    EXPECT_EQ(mManager->GetOpenInputCount(), 0);
    EXPECT_TRUE(mSystem->open.empty());
    mSystem->refuseStart = false;
    mManager->ScanDevices();
    EXPECT_EQ(mManager->GetOpenInputCount(), 1);
}

// The input thread waits for the manager's lock while the main thread,
// holding it, closes the very device: the close must neither deadlock nor
// free the device under the delivery, and the message is dropped.
TEST_F(cMIDIManagerTest, ClosingADeviceWhileItDeliversDropsTheMessage)
{
    Plug({"Pocket MIDI Interface"});
    cFakeMIDIPort* port = mSystem->FindOpen("Pocket MIDI Interface");
    ASSERT_NE(port, nullptr);
    Deliver();

    mManager->GetLock()->Enter();
    std::thread reader([port] { port->Send({0x90, 0x3C, 0x64}, NowSeconds()); });
    while (port->deliveriesBegun.load() == 0)
        std::this_thread::sleep_for(1ms);
    Unplug("Pocket MIDI Interface");
    mManager->GetLock()->Leave();
    reader.join();

    EXPECT_EQ(Deliver(), AllNotesOffOnEveryChannel());
}

TEST_F(cMIDIManagerTest, ReleaseLiveNotesIsPostedPerDevice)
{
    class cRecordingModule : public cAudioModuleBase
    {
    public:
        cRecordingModule() : cAudioModuleBase(16) {}
        int32_t HandleEvent(const cAudioEvent& event) override
        {
            events.push_back(event);
            return 0;
        }
        std::vector<cAudioEvent> events;
    };
    Plug({"Pocket MIDI Interface", "VuvozIvuvedu25 Keyboard"});
    Port("VuvozIvuvedu25 Keyboard").SetOmni(true);
    cRecordingModule module;
    mManager->PostReleaseLiveNotes(&module, false);
    mManager->PostReleaseLiveNotes(&module, true);
    module.DrainEvents();
    ASSERT_EQ(module.events.size(), 3u);
    for (const cAudioEvent& event : module.events)
        EXPECT_EQ(event.type, kAudioEventReleaseLiveNotes);
    EXPECT_EQ(module.events[0].wordA, mManager->GetOpenInput(0)->GetSlot());
    EXPECT_EQ(module.events[1].wordA, mManager->GetOpenInput(1)->GetSlot());
    EXPECT_EQ(module.events[2].wordA, mManager->GetOpenInput(1)->GetSlot());
}

TEST_F(cMIDIManagerTest, SteadyStateHandOverAllocatesNothing)
{
    Plug({"Pocket MIDI Interface"});
    cFakeMIDIPort* port = mSystem->FindOpen("Pocket MIDI Interface");
    ASSERT_NE(port, nullptr);
    const tBytes sysex = {0xF0, 0x7D, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7};
    cCountingSink sink;
    const cDelegate delegate(&sink, &cCountingSink::Receive);
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int i = 0; i < 32; ++i)
        {
            port->Send({0x90, uint8_t(i), 0x64}, NowSeconds());
            port->Send(sysex, NowSeconds());
        }
        const uint64_t before = GetCountedAllocations();
        SetCountAllocationsOnThisThread(true);
        mManager->DeliverBlock(delegate, 220);
        SetCountAllocationsOnThisThread(false);
        EXPECT_EQ(GetCountedAllocations() - before, 0u) << "pass " << pass;
    }
    EXPECT_EQ(sink.messages, 3 * 64);
    EXPECT_EQ(sink.bytes, 3 * 32 * (3 + 8));
}
