#include "SetupFixture.h"

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/SetupPanelMIDIMappingPage.h"
#include "audio/AudioLock.h"
#include "audio/AudioManager.h"
#include "audio/MIDIControllerMap.h"
#include "base/Clock.h"
#include "midi/MIDIMessage.h"
#include "midi/MIDIPortSettings.h"
#include "mixer/Mixer.h"
#include "ui/ScrollHelper.h"
#include "ui/WidgetSpinButton.h"

namespace
{
using ::testing::ElementsAre;
using namespace std::chrono_literals;

class SetupPanelMIDIMappingTest : public SetupFixture
{
protected:
    void MakePage()
    {
        page = Place(new cSetupPanelMIDIMappingPage(), {20.0f, 20.0f, 620.0f, 460.0f});
        Frame();
    }
    cMappingRow* Row(int32_t index) const
    {
        cMappingRow* row = page->GetRows().GetHead();
        for (int32_t i = 0; row && i < index; ++i)
            row = row->next;
        return row;
    }
    int32_t IndexOf(const cMappingRow* wanted) const
    {
        int32_t index = 0;
        for (const cMappingRow* row = page->GetRows().GetHead(); row; row = row->next, ++index)
            if (row == wanted)
                return index;
        return -1;
    }
    // Scrolled to the top first, so that every row of the page is reachable.
    void SelectRow(int32_t index)
    {
        cScrollHelper& scroll = page->GetList()->GetScrollHelper();
        scroll.SetPosition(float(index), true);
        Frame();
        const cRect row = scroll.GetRowRect(index);
        TapAt({row.xMin + 40.0f, (row.yMin + row.yMax) * 0.5f});
        Frame();
    }
    void PressTeach()
    {
        TapButton(page->GetTeachButton());
        Frame();
    }
    void StepSpin(bool up)
    {
        const cVector2 zone = Centre(up ? page->GetControllerSpin()->GetUpZone() : page->GetControllerSpin()->GetDownZone());
        Down(1, zone.X, zone.Y);
        Frame();
        Up(1, zone.X, zone.Y);
        Frame();
    }
    // What the audio thread's MIDI sink does with a message from a device.
    void Receive(std::vector<uint8_t> bytes)
    {
        cScopedAudioLock lock;
        project->HandleMIDIMessage(cMIDIMessage(bytes.data(), int32_t(bytes.size()), 0.0), 0);
    }
    const char* SpinText() const { return page->GetControllerSpin()->GetText(); }

    cProject* project = nullptr;
    cSetupPanelMIDIMappingPage* page = nullptr;
};

TEST_F(SetupPanelMIDIMappingTest, OneRowPerControllableParameterOfEachPackageInRegistrationOrder)
{
    MakePage();
    ASSERT_EQ(page->GetRows().GetCount(), 3 + 6 + 3);
    const struct
    {
        int32_t row;
        const char* package;
        const char* parameter;
        int32_t index;
        int32_t controller;
        int32_t fixed;
    } expected[] = {
        {0, "Kest", "", 1, 7, 0},
        {3, "Mixer", "Out Vol", cMixer::kParamMasterVolume, 7, 0},
        {8, "Mixer", "Send2 Pan", cMixer::kParamSend2Pan, 73, 0},
        {9, "VRX", "Bus1 Vol", 1, 7, 1},
        {11, "VRX", "Bus1 Send 1", 4, 70, 0},
    };
    for (const auto& e : expected)
    {
        SCOPED_TRACE(e.row);
        const cMappingRow* row = Row(e.row);
        EXPECT_STREQ(row->package->GetName(), e.package);
        EXPECT_STREQ(row->parameterName, e.parameter);
        EXPECT_EQ(row->parameterIndex, e.index);
        EXPECT_EQ(row->GetController(), e.controller);
        EXPECT_EQ(row->fixed, e.fixed);
    }
    EXPECT_EQ(page->GetSelectedRow(), Row(0));
    EXPECT_TRUE(Row(0)->flags & cWidgetList::kItemSelected);
    EXPECT_EQ(page->GetControllerSpin()->GetValue(), 7);
    EXPECT_STREQ(SpinText(), "MIDI Ctrl CC 7");
    EXPECT_EQ(host.title, "MIDI Mappings");
    ASSERT_TRUE(FindText("Bus1 Vol").has_value());
    EXPECT_EQ(FindText("Bus1 Vol")->colour, 0xffdcdcdcu);
    EXPECT_TRUE(FindText("(Fixed)").has_value());
    EXPECT_TRUE(FindText("MIDI Ctrl CC 73").has_value());
}

TEST_F(SetupPanelMIDIMappingTest, ControllerTextsNameTheControllerOrNone)
{
    MakePage();
    cMappingRow row = *Row(0);
    const struct
    {
        int32_t controller;
        int32_t index;
        const char* text;
    } cases[] = {{74, 1, "MIDI Ctrl CC 74"}, {0, 1, "MIDI Ctrl CC 0"}, {-1, 1, "None"}, {74, 25, "None"}, {74, -1, "None"}};
    for (const auto& c : cases)
    {
        row.parameterIndex = 1;
        row.SetController(c.controller);
        row.parameterIndex = c.index;
        cGenStringFixed<32> text;
        row.GetControllerText(text);
        EXPECT_STREQ(text.CStr(), c.text) << c.controller << " at " << c.index;
    }
}

TEST_F(SetupPanelMIDIMappingTest, TheSpinSetsTheControllerAndMinusOneRemovesIt)
{
    MakePage();
    SelectRow(1); // Kest parameter 2, controller 10
    ASSERT_EQ(page->GetSelectedRow(), Row(1));
    EXPECT_EQ(page->GetControllerSpin()->GetValue(), 10);
    const cMIDIControllerMap* map = engine.kest->GetControllerMap();
    StepSpin(true);
    EXPECT_EQ(map->GetAssignment(2), 11);
    EXPECT_EQ(map->GetReverseList(10).count, 0);
    ASSERT_EQ(map->GetReverseList(11).count, 1);
    EXPECT_STREQ(SpinText(), "MIDI Ctrl CC 11");

    page->GetControllerSpin()->SetValue(0);
    StepSpin(false);
    EXPECT_EQ(map->GetAssignment(2), cMIDIControllerMap::kUnassigned);
    EXPECT_EQ(map->GetReverseList(11).count, 0);
    EXPECT_STREQ(SpinText(), "None");
    StepSpin(false);
    EXPECT_EQ(page->GetControllerSpin()->GetValue(), -1) << "held at its minimum";
}

TEST_F(SetupPanelMIDIMappingTest, TwoParametersMayFollowOneController)
{
    MakePage();
    SelectRow(1);
    page->GetControllerSpin()->SetValue(19);
    StepSpin(true);
    SelectRow(2);
    page->GetControllerSpin()->SetValue(19);
    StepSpin(true);
    const cMIDIControllerMap::cSlotList& list = engine.kest->GetControllerMap()->GetReverseList(20);
    EXPECT_THAT(std::vector<int32_t>(list.slots, list.slots + list.count), ElementsAre(2, 3));
}

TEST_F(SetupPanelMIDIMappingTest, AFixedRowShowsItsControllerButNeitherSpinNorTeachChangesIt)
{
    project = engine.OpenProject();
    MakePage();
    SelectRow(9);
    ASSERT_EQ(IndexOf(page->GetSelectedRow()), 9);
    EXPECT_STREQ(SpinText(), "MIDI Ctrl CC 7");
    EXPECT_FALSE(page->GetControllerSpin()->IsEnabled());
    PressTeach();
    Receive({0xB0, 74, 10});
    Frame();
    EXPECT_EQ(Row(9)->GetController(), 7);
    SelectRow(11);
    EXPECT_TRUE(page->GetControllerSpin()->IsEnabled());
}

TEST_F(SetupPanelMIDIMappingTest, TeachLearnsTheNextControllerWithinAFrame)
{
    project = engine.OpenProject();
    MakePage();
    SelectRow(2); // Kest parameter 3, controller 7
    Receive({0xB0, 20, 5});
    PressTeach();
    ASSERT_EQ(page->GetTeachButton()->value, 1);
    Frame();
    EXPECT_EQ(Row(2)->GetController(), 7) << "a message from before the press is not learnt";

    Receive({0xB0, 74, 100});
    Frame();
    EXPECT_EQ(Row(2)->GetController(), 74);
    EXPECT_STREQ(SpinText(), "MIDI Ctrl CC 74");
    EXPECT_EQ(page->GetControllerSpin()->GetValue(), 74);

    // A note first, a knob later: the knob is learnt; Teach stays lit.
    Receive({0x90, 60, 90});
    Frame();
    EXPECT_EQ(Row(2)->GetController(), 74);
    Receive({0xB3, 21, 1});
    Frame();
    EXPECT_EQ(Row(2)->GetController(), 21);

    // Only the newest message of a frame counts.
    Receive({0xB0, 30, 1});
    Receive({0x80, 60, 0});
    Frame();
    EXPECT_EQ(Row(2)->GetController(), 21);

    // Shown again, the page forgets it was learning.
    page->SetVisible(false);
    Frame();
    page->SetVisible(true);
    Frame();
    EXPECT_EQ(page->GetTeachButton()->value, 0);
    Receive({0xB0, 40, 1});
    Frame();
    EXPECT_EQ(Row(2)->GetController(), 21);
}

TEST_F(SetupPanelMIDIMappingTest, WithoutAProjectTeachLearnsNothing)
{
    MakePage();
    SelectRow(1);
    PressTeach();
    Frame();
    EXPECT_EQ(Row(1)->GetController(), 10);
}

// The audio thread holds the audio manager's lock for a whole buffer while
// the sink routes controllers through the maps: a mapping change and a learnt
// event wait for it.
TEST_F(SetupPanelMIDIMappingTest, MappingChangesAndLearningWaitForTheAudioThreadsBuffer)
{
    cAudioManager audio;
    project = engine.OpenProject();
    MakePage();
    SelectRow(1);
    PressTeach();
    const cMIDIControllerMap* map = engine.kest->GetControllerMap();
    std::atomic<bool> holding{false}, released{false};
    std::atomic<int32_t> seenWhileHolding{-2};
    // The sink writes the event and its counter under the lock; a frame
    // reads them only once the buffer is done, even when there is nothing
    // to learn.
    auto buffer = [&](std::vector<uint8_t> message) {
        return std::thread([&, message] {
            cScopedAudioLock lock;
            project->HandleMIDIMessage(cMIDIMessage(message.data(), int32_t(message.size()), 0.0), 0);
            holding = true;
            std::this_thread::sleep_for(100ms);
            seenWhileHolding = map->GetAssignment(2);
            released = true;
        });
    };
    for (const std::vector<uint8_t>& message : {std::vector<uint8_t>{0x90, 60, 100}, std::vector<uint8_t>{0xB0, 55, 1}})
    {
        holding = released = false;
        std::thread thread = buffer(message);
        while (!holding)
            std::this_thread::yield();
        Frame();
        EXPECT_TRUE(released) << "the frame waited for the buffer";
        thread.join();
        EXPECT_EQ(seenWhileHolding, 10) << "nothing changed while the buffer ran";
    }
    EXPECT_EQ(map->GetAssignment(2), 55);

    holding = released = false;
    std::thread second([&] {
        cScopedAudioLock lock;
        holding = true;
        std::this_thread::sleep_for(100ms);
        seenWhileHolding = map->GetAssignment(2);
        released = true;
    });
    while (!holding)
        std::this_thread::yield();
    Row(1)->SetController(56);
    EXPECT_TRUE(released);
    second.join();
    EXPECT_EQ(seenWhileHolding, 55);
    EXPECT_EQ(map->GetAssignment(2), 56);
}

// A controller played while another parameter's mapping to it comes and goes
// reaches its own parameter every time: the router never reads a reverse list
// half rebuilt.
TEST_F(SetupPanelMIDIMappingTest, AControllerKeepsItsParameterWhileAnotherMappingChanges)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    cAudioManager audio;
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    settings.bufferLatency = 0;
    ASSERT_TRUE(audio.Init(settings)) << audio.GetErrorText();
    audio.SetMIDIInput(engine.midi.get());
    engine.SetInputs({"Knobs"});
    engine.midi->FindPortByName("Knobs")->SetEnableFlags(cMIDIPortSettings::kEnableBit);
    project = engine.OpenProject();
    project->Activate();
    // MIDI channel 1 plays slot 1, the pads.
    auto* pads = dynamic_cast<ProjectTest::cStandInInstrument*>(cInstrumentSlotTable::GetInstance()->GetInstrument(1));
    ASSERT_NE(pads, nullptr);
    MakePage();
    cMappingRow* moving = Row(10); // VRX parameter 2
    cMappingRow* steady = Row(11); // VRX parameter 4
    steady->SetController(20);

    // At most two events a message, fewer than the instrument's ring holds:
    // nothing drains it meanwhile.
    constexpr int kMessages = 120;
    std::atomic<bool> playing{true};
    std::thread keyboard([&] {
        cFakeMIDIPort* port = engine.system->FindOpen("Knobs");
        for (int i = 0; i < kMessages; ++i)
        {
            port->Send({0xB0, 20, uint8_t(i)}, GetMilliseconds() * 0.001);
            std::this_thread::sleep_for(2ms);
        }
        playing = false;
    });
    int flips = 0;
    while (playing)
        moving->SetController((flips++ & 1) ? 21 : 20);
    keyboard.join();
    std::this_thread::sleep_for(200ms);
    project->Deactivate();
    audio.SetMIDIInput(nullptr);
    audio.Shutdown();

    ProjectTest::cRecordingModule& module = pads->Module();
    module.Take();
    int steadyPerValue[kMessages] = {};
    int movingReached = 0;
    for (int i = 0; i < module.count; ++i)
    {
        const cAudioEvent& event = module.events[i];
        if (event.type != kAudioEventModuleParam)
            continue;
        if (event.wordB == 2)
            ++movingReached;
        else if (event.wordB == 4)
            ++steadyPerValue[int(event.valueF * 127.0f + 0.5f)];
    }
    EXPECT_GT(flips, 100);
    EXPECT_LE(movingReached, kMessages);
    for (int value = 0; value < kMessages; ++value)
        EXPECT_EQ(steadyPerValue[value], 1) << value;
}
} // namespace
