#include "SetupFixture.h"

#include <gmock/gmock.h>

#include "app/SetupPanelMIDI.h"
#include "app/SetupPanelMIDIDevicePage.h"
#include "app/SetupPanelMIDIMappingPage.h"
#include "base/Clock.h"
#include "midi/MIDIPortSettings.h"
#include "ui/ScrollHelper.h"
#include "ui/WidgetMultiButton.h"

namespace
{
using ::testing::ElementsAre;

class SetupPanelMIDIDeviceTest : public SetupFixture
{
protected:
    void MakePage()
    {
        page = Place(new cSetupPanelMIDIDevicePage(), {20.0f, 20.0f, 460.0f, 400.0f});
        Frame();
    }

    std::vector<std::string> RowNames() const
    {
        std::vector<std::string> names;
        for (const cPortRow* row = page->GetRows().GetHead(); row; row = row->next)
            names.push_back(row->name.CStr());
        return names;
    }
    int32_t RowIndex(const char* name) const
    {
        int32_t index = 0;
        for (const cPortRow* row = page->GetRows().GetHead(); row; row = row->next, ++index)
            if (row->name.CStr() == std::string(name))
                return index;
        return -1;
    }
    cRect RowRect(const char* name) const { return page->GetList()->GetScrollHelper().GetRowRect(RowIndex(name)); }
    void TapRow(const char* name, float x)
    {
        const cRect row = RowRect(name);
        TapAt({x, (row.yMin + row.yMax) * 0.5f});
        Frame();
    }
    void TapCell(int32_t index)
    {
        const cWidgetMultiButton* grid = page->GetChannelGrid();
        const cVector2 origin = grid->GetGridOrigin(), pitch = grid->GetPitch();
        TapAt({origin.X + (float(index % 8) + 0.5f) * pitch.X, origin.Y + (float(index / 8) + 0.5f) * pitch.Y});
        Frame();
    }
    std::vector<int32_t> LitCells() const
    {
        std::vector<int32_t> lit;
        for (size_t i = 0; i < page->GetChannelGrid()->items.size(); ++i)
            if (page->GetChannelGrid()->items[i].on)
                lit.push_back(int32_t(i));
        return lit;
    }
    cMIDIPortSettings& Port(const char* name) { return *engine.midi->FindPortByName(name); }
    // Plugged in before, unplugged now: only the settings know it.
    void MakeAbsent(const char* name)
    {
        std::vector<std::string> inputs = engine.system->inputs;
        inputs.push_back(name);
        engine.SetInputs(inputs);
        inputs.pop_back();
        engine.SetInputs(inputs);
    }

    cSetupPanelMIDIDevicePage* page = nullptr;
};

TEST_F(SetupPanelMIDIDeviceTest, PresentPortsComeFirstAndTheSelectionFollowsItsPortsName)
{
    engine.SetInputs({"Keys B", "Pads", "Keys A"});
    MakeAbsent("Old Synth");
    MakePage();
    EXPECT_THAT(RowNames(), ElementsAre("Keys B", "Pads", "Keys A", "Old Synth"));
    ASSERT_NE(page->GetSelectedRow(), nullptr);
    EXPECT_STREQ(page->GetSelectedRow()->name.CStr(), "Keys B") << "the first row without a choice";
    EXPECT_EQ(host.title, "MIDI Devices");

    TapRow("Pads", RowRect("Pads").xMin + 30.0f);
    EXPECT_STREQ(page->GetSelectedRow()->name.CStr(), "Pads");
    EXPECT_STREQ(page->GetChannelGrid()->GetName(), "Pads");
    EXPECT_TRUE(page->GetChannelGrid()->IsEnabled());

    // Unplugged: listed after the present ports, still selected, its grid off.
    engine.SetInputs({"Keys A", "Keys B"});
    Frame();
    EXPECT_THAT(RowNames(), ElementsAre("Keys B", "Keys A", "Pads", "Old Synth"));
    ASSERT_NE(page->GetSelectedRow(), nullptr);
    EXPECT_STREQ(page->GetSelectedRow()->name.CStr(), "Pads");
    EXPECT_TRUE(page->GetSelectedRow()->flags & cWidgetList::kItemSelected);
    EXPECT_FALSE(page->GetChannelGrid()->IsEnabled());

    engine.SetInputs({"Keys A", "Keys B", "Pads"});
    Frame();
    EXPECT_STREQ(page->GetSelectedRow()->name.CStr(), "Pads");
    EXPECT_TRUE(page->GetChannelGrid()->IsEnabled());
}

TEST_F(SetupPanelMIDIDeviceTest, RowButtonsSitAtTheRightEndOfTheRowSharingOnePixelColumn)
{
    const struct
    {
        cRect row;
        int32_t offset;
        cRect expected;
    } cases[] = {
        {{0, 0, 400, 30}, 0, {340, 4, 400, 28}}, {{0, 0, 400, 30}, 1, {281, 4, 341, 28}},
        {{0, 0, 400, 50}, 0, {330, 6, 390, 46}}, {{0, 0, 200, 30}, 0, {150, 4, 190, 28}},
        {{0, 0, 200, 30}, 1, {111, 4, 151, 28}}, {{10, 100, 410, 130}, 0, {350, 104, 410, 128}},
    };
    for (const auto& c : cases)
    {
        const cRect rect = GetPortRowButtonRect(c.row, c.offset);
        EXPECT_EQ(rect.xMin, c.expected.xMin);
        EXPECT_EQ(rect.yMin, c.expected.yMin);
        EXPECT_EQ(rect.xMax, c.expected.xMax);
        EXPECT_EQ(rect.yMax, c.expected.yMax);
    }
}

TEST_F(SetupPanelMIDIDeviceTest, TouchesOnARowToggleEnableThenOmniEvenForAnAbsentPort)
{
    engine.SetInputs({"Keys"});
    MakeAbsent("Old Synth");
    MakePage();
    for (const char* name : {"Keys", "Old Synth"})
    {
        SCOPED_TRACE(name);
        cMIDIPortSettings& port = Port(name);
        const cRect enable = GetPortRowButtonRect(RowRect(name), 0);
        const cRect omni = GetPortRowButtonRect(RowRect(name), 1);
        ASSERT_EQ(omni.xMax - 1.0f, enable.xMin);
        const uint32_t flags = port.GetEnableFlags();
        TapRow(name, enable.xMin);
        EXPECT_EQ(port.GetEnableFlags(), flags ^ cMIDIPortSettings::kEnableBit) << "the shared column is ENABLE's";
        EXPECT_FALSE(port.IsOmni());
        TapRow(name, omni.xMin + 2.0f);
        EXPECT_TRUE(port.IsOmni());
        EXPECT_EQ(port.GetEnableFlags(), flags ^ cMIDIPortSettings::kEnableBit);
        TapRow(name, RowRect(name).xMin + 20.0f);
        EXPECT_TRUE(port.IsOmni());
        EXPECT_STREQ(page->GetSelectedRow()->name.CStr(), name);
    }
    EXPECT_FALSE(page->GetChannelGrid()->IsEnabled()) << "the absent port's grid";
    EXPECT_NE(engine.system->FindOpen("Keys"), nullptr) << "ENABLE opened the present port";
}

TEST_F(SetupPanelMIDIDeviceTest, PresentPortsDrawFullyAndAbsentOnesDimmed)
{
    engine.SetInputs({"Keys"});
    MakeAbsent("Old Synth");
    Port("Keys").SetOmni(true);
    MakePage();
    Frame();
    ASSERT_TRUE(FindText("Keys").has_value());
    EXPECT_EQ(FindText("Keys")->colour, 0xffdcdcdcu);
    EXPECT_EQ(FindText("Old Synth")->colour, 0x64dcdcdcu);
    const cRect keysRow = RowRect("Keys"), oldRow = RowRect("Old Synth");
    int lit = 0, unlitPresent = 0, dimmed = 0;
    for (int sprite : {181, 182})
        for (const cDrawnQuad& quad : QuadsInside(sprite))
        {
            if (quad.rect.yMin >= keysRow.yMin && quad.rect.yMax <= keysRow.yMax)
            {
                EXPECT_EQ(quad.colour, 0xffffffffu);
                (sprite == 182 ? lit : unlitPresent) += 1;
            }
            else if (quad.rect.yMin >= oldRow.yMin && quad.rect.yMax <= oldRow.yMax)
            {
                EXPECT_EQ(quad.colour, 0x64ffffffu);
                ++dimmed;
            }
        }
    EXPECT_GT(lit, 0) << "OMNI on";
    EXPECT_GT(unlitPresent, 0) << "ENABLE off";
    EXPECT_GT(dimmed, 0);
    for (const char* label : {"OMNI", "ENABLE"})
        EXPECT_TRUE(FindText(label).has_value()) << label;
    EXPECT_FALSE(Drew("No MIDI input devices found")) << "only an empty list says so";
}

TEST_F(SetupPanelMIDIDeviceTest, EachCellShowsOneChannelOfTheMask)
{
    engine.SetInputs({"Keys"});
    MakePage();
    const struct
    {
        uint32_t mask;
        std::vector<int32_t> lit;
    } cases[] = {{0x0001, {0}}, {0x8000, {15}}, {0xA5A5, {0, 2, 5, 7, 8, 10, 13, 15}}, {0, {}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.mask);
        Port("Keys").SetChannels(c.mask);
        page->SetVisible(false);
        Frame();
        page->SetVisible(true);
        Frame();
        EXPECT_EQ(LitCells(), c.lit);
    }
    for (int32_t i = 0; i < 16; ++i)
        EXPECT_STREQ(page->GetChannelGrid()->items[size_t(i)].text.CStr(), std::to_string(i + 1).c_str());
}

TEST_F(SetupPanelMIDIDeviceTest, DroppingAChannelSilencesThatChannelAloneAndAddingOneSendsNothing)
{
    engine.SetInputs({"Keys"});
    Port("Keys").SetEnableFlags(cMIDIPortSettings::kEnableBit);
    MakePage();
    std::vector<std::vector<uint8_t>> sent;
    auto deliver = [&] {
        sent.clear();
        struct cSink
        {
            std::vector<std::vector<uint8_t>>* out;
            void Receive(const cMIDIMessage& message, int32_t)
            {
                out->push_back(std::vector<uint8_t>(message.GetData(), message.GetData() + message.GetSize()));
            }
        } sink{&sent};
        engine.midi->DeliverBlock(cDelegate(&sink, &cSink::Receive), 220);
        return sent;
    };
    deliver();
    TapCell(2);
    EXPECT_EQ(Port("Keys").GetChannels(), 0xFFFFFFFFu & ~(1u << 2));
    EXPECT_THAT(deliver(), ElementsAre(std::vector<uint8_t>{0xB2, 123, 0}));
    EXPECT_EQ(LitCells().size(), 15u);
    TapCell(2);
    EXPECT_EQ(Port("Keys").GetChannels(), 0xFFFFFFFFu);
    EXPECT_TRUE(deliver().empty());
    EXPECT_EQ(LitCells().size(), 16u);
}

TEST_F(SetupPanelMIDIDeviceTest, ABusyChannelLightsItsCellAsBrightAsItsActivity)
{
    engine.SetInputs({"Keys"});
    Port("Keys").SetEnableFlags(cMIDIPortSettings::kEnableBit);
    MakePage();
    engine.system->FindOpen("Keys")->Send({0x94, 60, 100}, GetMilliseconds() * 0.001);
    engine.midi->DecayActivity(0.25f);
    ASSERT_FLOAT_EQ(Port("Keys").GetActivity(4), 0.5f);
    Frame();
    const cRect& grid = page->GetChannelGrid()->GetRect();
    const float x = grid.xMin + 2.0f + 4.0f * (grid.xMax - grid.xMin) / 8.0f;
    const float y = grid.yMin + 2.0f;
    int frames = 0, lights = 0;
    for (const cDrawnQuad& quad : Quads())
    {
        if (quad.colour == 0xff202020u && quad.rect.xMax - quad.rect.xMin == 7.0f &&
            quad.rect.yMax - quad.rect.yMin == 7.0f)
            ++frames;
        if (quad.colour == 0x7f2c7ae6u)
        {
            ++lights;
            EXPECT_EQ(quad.rect.xMin, std::floor(x + 0.5f) + 1.0f);
            EXPECT_EQ(quad.rect.yMin, std::floor(y + 0.5f) + 1.0f);
            EXPECT_EQ(quad.rect.xMax, std::floor(x + 7.5f) - 1.0f);
        }
    }
    EXPECT_EQ(frames, 16);
    EXPECT_EQ(lights, 1);
    engine.midi->DecayActivity(0.25f);
    Frame();
    for (const cDrawnQuad& quad : Quads())
        EXPECT_NE(quad.colour & 0xffffffu, 0x2c7ae6u) << "no light once the channel is quiet";
}

TEST_F(SetupPanelMIDIDeviceTest, WithoutPortsTheListSaysSoAndTheGridIsInert)
{
    MakePage();
    EXPECT_EQ(page->GetRows().GetCount(), 0);
    const auto notice = FindText("No MIDI input devices found");
    ASSERT_TRUE(notice.has_value()) << "an empty list says why";
    const cRect& list = page->GetList()->GetRect();
    EXPECT_TRUE(notice->x >= list.xMin && notice->x < list.xMax && notice->y >= list.yMin && notice->y < list.yMax);
    EXPECT_EQ(page->GetSelectedRow(), nullptr);
    EXPECT_STREQ(page->GetChannelGrid()->GetName(), "Channel Enable");
    EXPECT_TRUE(LitCells().empty());
    TapCell(3);
    TapCell(12);
    EXPECT_TRUE(LitCells().empty());
    EXPECT_EQ(page->GetSelectedRow(), nullptr);
}

// ---------------------------------------------------------------- MIDI tab

class SetupPanelMIDITest : public SetupFixture
{
protected:
    void MakePage()
    {
        page = Place(new cSetupPanelMIDI(), {0.0f, 0.0f, kScreenWidth, kScreenHeight});
        Frame();
    }
    cSetupPanelMIDI* page = nullptr;
};

TEST_F(SetupPanelMIDITest, TheSelectorsAndPanicDoNothingWithoutAProject)
{
    MakePage();
    TapButton(page->GetMappingsButton());
    Frame();
    EXPECT_TRUE(page->GetDevicePage()->IsVisible());
    EXPECT_FALSE(page->GetMappingPage()->IsVisible());
    EXPECT_EQ(page->GetInputsButton()->value, 1);
    EXPECT_EQ(page->GetMappingsButton()->value, 0);
    TapButton(page->GetInputsButton());
    EXPECT_EQ(page->GetInputsButton()->value, 1) << "a second press leaves it lit";
    TapButton(page->GetPanicButton());

    engine.OpenProject();
    TapButton(page->GetMappingsButton());
    Frame();
    EXPECT_FALSE(page->GetDevicePage()->IsVisible());
    EXPECT_TRUE(page->GetMappingPage()->IsVisible());
    EXPECT_EQ(page->GetInputsButton()->value, 0);
    EXPECT_EQ(page->GetMappingsButton()->value, 1);
    TapButton(page->GetMappingsButton());
    EXPECT_EQ(page->GetMappingsButton()->value, 1) << "a second press leaves it lit";
    TapButton(page->GetInputsButton());
    Frame();
    EXPECT_TRUE(page->GetDevicePage()->IsVisible());
    EXPECT_EQ(host.title, "MIDI Devices");
}

TEST_F(SetupPanelMIDITest, PanicSilencesEveryInstrument)
{
    engine.OpenProject();
    MakePage();
    int standIns = 0;
    for (int32_t slot = 0; slot < 16; ++slot)
        if (auto* instrument = dynamic_cast<ProjectTest::cStandInInstrument*>(
                cInstrumentSlotTable::GetInstance()->GetInstrument(slot)))
        {
            ++standIns;
            instrument->lastAllNotesOff = -1;
        }
    ASSERT_GT(standIns, 1);
    TapButton(page->GetPanicButton());
    for (int32_t slot = 0; slot < 16; ++slot)
    {
        if (auto* instrument = dynamic_cast<ProjectTest::cStandInInstrument*>(
                cInstrumentSlotTable::GetInstance()->GetInstrument(slot)))
        {
            EXPECT_EQ(instrument->lastAllNotesOff, 1) << slot;
        }
    }
}
} // namespace
