#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "app/WidgetInstrumentProps.h"
#include "app/WidgetKeyboard.h"
#include "editors/InstrumentTrackCommands.h"
#include "project/Project.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetList.h"
#include "ui/WidgetSpinButton.h"

namespace
{
using Props = cWidgetInstrumentProps;

// The song editor's instrument commands, kept and carried out on the slot
// table; "Add" is refused while the song is full.
class cRecordingTrackCommands : public cInstrumentTrackCommands
{
public:
    explicit cRecordingTrackCommands(MainScreenTest::cEngine& engine) : mEngine(engine) {}

    bool AddInstrumentTrack(cInstrumentPackage* package, const char* name, int32_t slot) override
    {
        calls.push_back("Add " + std::string(package->GetName()) + " '" + name + "' " + std::to_string(slot));
        if (songFull)
            return false;
        Create(package, slot);
        return true;
    }
    void ReplaceTrackInstrument(cInstrumentPackage* package, const char* name, int32_t slot) override
    {
        calls.push_back("Swap " + std::string(package->GetName()) + " '" + name + "' " + std::to_string(slot));
        Create(package, slot);
    }
    bool RemoveInstrumentTrack(int32_t slot) override
    {
        calls.push_back("Del " + std::to_string(slot));
        mEngine.Empty(slot);
        return true;
    }

    std::vector<std::string> calls;
    bool songFull = false;

private:
    void Create(cInstrumentPackage* package, int32_t slot)
    {
        mEngine.slots->SetSlot(slot, package->CreateInstrument(0), true);
    }

    MainScreenTest::cEngine& mEngine;
};

// The main screen with the desk in slot 0, the synthesizer in 2 and the pads
// in 4, a project open, the menu open; the dialogue is reached by holding a
// cell.
class InstrumentPropsTest : public MainScreenFixture
{
protected:
    InstrumentPropsTest() : commands(*engine)
    {
        project = engine->OpenProject();
        for (int32_t slot = 1; slot < cWidgetMainMenu::kSlotCount; ++slot)
            engine->Empty(slot);
        engine->Put(0, engine->mixer);
        engine->Put(2, engine->synth);
        engine->Put(4, engine->pads);
        menu->SetTrackCommands(&commands);
        props = menu->GetProperties();
        OpenMenu();
    }

    void Hold(int32_t slot)
    {
        const cVector2 point = CellCentre(slot);
        Press(point);
        Frame(46);
        Up(1, point.X, point.Y);
        Frame(2);
    }
    void TapWidget(cWidget* widget)
    {
        TapAt(Centre(widget->GetRect()));
        Frame();
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (const cInstrumentTypeRow* row = props->GetRows().GetHead(); row; row = row->next)
            rows.push_back(std::string(row->package ? row->package->GetName() : "None") +
                           ((row->flags & cWidgetList::kItemSelected) ? "*" : ""));
        return rows;
    }
    void PickRow(const char* name)
    {
        cWidgetList* list = props->GetTypeList();
        const float top = list->GetScrollHelper().insets[1];
        int32_t index = 0;
        for (const cInstrumentTypeRow* row = props->GetRows().GetHead(); row; row = row->next, ++index)
            if (std::string(row->package ? row->package->GetName() : "None") == name)
                break;
        const cRect& rect = list->GetRect();
        TapAt({(rect.xMin + rect.xMax) * 0.5f,
               rect.yMin + top + (float(index) + 0.5f) * list->GetRowHeight() - list->GetScrollHelper().GetPosition()});
        Frame(2);
    }
    std::string Name(int32_t slot) const { return engine->At(slot) ? engine->At(slot)->GetName() : "(empty)"; }

    cRecordingTrackCommands commands;
    cProject* project = nullptr;
    Props* props = nullptr;
};

TEST_F(InstrumentPropsTest, SlotZeroOffersOnlyTheMixingDeskAndCannotBeRenamed)
{
    Hold(0);
    ASSERT_TRUE(props->IsShown());
    EXPECT_STREQ(props->GetName(), "Instrument 01. Mixer");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Mixer*"}));
    EXPECT_FALSE(props->GetRenameButton()->IsEnabled());
    TapWidget(props->GetOKButton());
    EXPECT_FALSE(props->IsShown());
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_EQ(Name(0), "Mixer");
}

// A type picked proposes its name; the slot's own type gives its name back.
TEST_F(InstrumentPropsTest, PickingATypeProposesANameAndTheCurrentTypeRestoresIt)
{
    Hold(6);
    ASSERT_TRUE(props->IsShown());
    EXPECT_STREQ(props->GetName(), "Instrument 07");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"None*", "Kest", "VRX"}));
    PickRow("Kest");
    EXPECT_STREQ(props->GetNameText(), "Kest 6");
    EXPECT_STREQ(props->GetName(), "Instrument 07. Kest 6");
    PickRow("None");
    EXPECT_STREQ(props->GetName(), "Instrument 07");
    props->OnDismiss(1);
    Frame(2);

    Hold(2);
    engine->At(2)->SetName("Lead");
    props->SetSlot(2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"None", "Kest*", "VRX"}));
    PickRow("VRX");
    EXPECT_STREQ(props->GetNameText(), "VRX 2");
    PickRow("Kest");
    EXPECT_STREQ(props->GetNameText(), "Lead");
}

// OK adds, swaps or removes through the song's commands, then names what the
// slot holds; the menu shows the slot, or the nearest one left.
TEST_F(InstrumentPropsTest, OkAddsSwapsAndRemovesAndTheMenuFollows)
{
    struct cCase
    {
        int32_t slot;
        const char* type;
        const char* call;
        const char* name;
        int32_t selected;
    };
    const cCase cases[] = {
        {6, "Kest", "Add Kest 'Kest 6' 6", "Kest 6", 6},
        {6, "VRX", "Swap VRX 'VRX 6' 6", "VRX 6", 6},
        {6, "None", "Del 6", "(empty)", 4},
        {3, "Kest", "Add Kest 'Kest 3' 3", "Kest 3", 3},
        // Slots 2 and 4 lie as near as each other: the lower wins.
        {3, "None", "Del 3", "(empty)", 2},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.call);
        commands.calls.clear();
        if (!menu->IsOpen())
            OpenMenu();
        Hold(c.slot);
        PickRow(c.type);
        TapWidget(props->GetOKButton());
        Frame(2);
        EXPECT_FALSE(props->IsShown());
        EXPECT_EQ(commands.calls, (std::vector<std::string>{c.call}));
        EXPECT_EQ(Name(c.slot), c.name);
        EXPECT_EQ(menu->GetSelectedSlot(), c.selected);
    }
}

TEST_F(InstrumentPropsTest, AnAddTheFullSongRefusesNamesNothingAndCloses)
{
    commands.songFull = true;
    Hold(9);
    PickRow("VRX");
    TapWidget(props->GetOKButton());
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"Add VRX 'VRX 9' 9"}));
    EXPECT_FALSE(props->IsShown());
    EXPECT_EQ(Name(9), "(empty)");
}

// The keyboard hides the menu and the dialogue while it is open; the name
// reaches the instrument only with OK.
TEST_F(InstrumentPropsTest, ARenameTakesEffectWithOkAndNotWithADismiss)
{
    for (bool confirm : {false, true})
    {
        SCOPED_TRACE(confirm);
        if (!menu->IsOpen())
            OpenMenu();
        Hold(2);
        TapWidget(props->GetRenameButton());
        Frame(30);
        cWidgetKeyboard* keyboard = ui->GetKeyboard();
        ASSERT_TRUE(keyboard->IsOpen());
        EXPECT_FALSE(menu->IsVisible());
        EXPECT_FALSE(props->IsVisible());
        EXPECT_STREQ(keyboard->GetRequest().title.CStr(), "Rename Instrument 03. Kest");
        EXPECT_EQ(keyboard->GetRequest().maxLength, 32);
        keyboard->GetEditField()->SetText("Bass", false);
        TapWidget(keyboard->GetFunctionKey(cWidgetKeyboard::kDone));
        Frame(30);
        EXPECT_TRUE(menu->IsVisible());
        EXPECT_TRUE(props->IsVisible());
        EXPECT_STREQ(props->GetName(), "Instrument 03. Bass");
        if (confirm)
            TapWidget(props->GetOKButton());
        else
            props->OnDismiss(1);
        Frame(2);
        EXPECT_FALSE(props->IsShown());
        EXPECT_EQ(Name(2), confirm ? "Bass" : "Kest");
        EXPECT_TRUE(commands.calls.empty());
    }
}

// The channel spin counts from 1; the track map from 0. Both spins store at once.
TEST_F(InstrumentPropsTest, TheChannelAndTransposeReachTheProjectAtOnce)
{
    Hold(2);
    cWidgetSpinButton* channel = props->GetChannelSpin();
    const int32_t first = project->GetTrackMap().GetChannel(2);
    EXPECT_EQ(std::string(channel->GetText()), std::to_string(first + 1));
    for (int32_t value : {0, 8, 15})
    {
        props->OnChannelChanged(value, channel);
        EXPECT_EQ(std::string(channel->GetText()), std::to_string(value + 1));
        EXPECT_EQ(project->GetTrackMap().GetChannel(2), value);
    }
    project->SetModified(false);
    props->OnTransposeChanged(-12, props->GetTransposeSpin());
    EXPECT_EQ(project->GetMIDIInTranspose(2), -12);
    EXPECT_TRUE(project->IsModified());
    EXPECT_EQ(props->GetTransposeSpin()->minimum, -36);
    EXPECT_EQ(props->GetTransposeSpin()->maximum, 36);
    props->OnDismiss(1);
    Frame(2);
    Hold(2);
    EXPECT_STREQ(channel->GetText(), "16");
    EXPECT_STREQ(props->GetTransposeSpin()->GetText(), "-12");
}
} // namespace
