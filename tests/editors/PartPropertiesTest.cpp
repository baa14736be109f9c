#include <string>

#include "SongEditFixture.h"
#include "audio/TestInstrument.h"
#include "editors/PartPropertiesUI.h"
#include "sequencer/Pattern.h"
#include "sequencer/RecordUndoJournal.h"
#include "ui/SequencerPresetPanel.h"
#include "ui/WidgetSpinButton.h"
#include "ui/WidgetTabView.h"

namespace
{
// A preset chooser as an instrument lends it: it only keeps what it shows.
class cTestPresetPanel : public cSequencerPresetPanel
{
};
cWidget* MakePresetPanel() { return new cTestPresetPanel(); }

// The dialogue open on the world's song: a private four-bar part on track 0
// and an eight-bar part on shared pattern 3 on track 1.
class PartPropertiesTest : public cSongEditTest
{
protected:
    PartPropertiesTest()
    {
        privatePart = world.AddPrivatePart(world.AddTrack(0), 0, 4 * kBar);
        sharedPart = world.AddSharedPart(world.AddTrack(1), 3, 4 * kBar, 8 * kBar, 8 * kBar);
        world.Bind();
        dialogue = new cPartPropertiesUI(&model);
    }
    ~PartPropertiesTest() override
    {
        if (dialogue->IsShown())
            dialogue->Close();
        dialogue->Release();
        Instrument(0).presetWidgetMaker = nullptr;
    }

    void OpenOn(std::initializer_list<const cPatternInstance*> parts)
    {
        Select(parts);
        dialogue->Open();
        Frame();
    }
    cTestInstrument& Instrument(int32_t slot)
    {
        return *static_cast<cTestInstrument*>(world.slots.GetInstrument(slot));
    }
    std::string Describe() const
    {
        cGenStringFixed<64> text;
        dialogue->GetPatternPanel()->DescribePattern(text);
        return text.CStr();
    }
    cWidgetSpinButton* Spin() const { return dialogue->GetPatternPanel()->GetSpin(); }
    void Convert()
    {
        cWidgetButton* button = dialogue->GetPatternPanel()->GetConvertButton();
        button->clickDelegate.Invoke(0, button);
        Frame();
    }

    cPatternInstance* privatePart = nullptr;
    cPatternInstance* sharedPart = nullptr;
    cPartPropertiesUI* dialogue = nullptr;
};

TEST_F(PartPropertiesTest, TheTitleNamesThePartsFirstAndLastBar)
{
    OpenOn({privatePart});
    EXPECT_STREQ(dialogue->GetName(), "Part (001 - 004) properties");
    OpenOn({sharedPart});
    EXPECT_STREQ(dialogue->GetName(), "Part (005 - 012) properties");
    OpenOn({privatePart, sharedPart});
    EXPECT_STREQ(dialogue->GetName(), "Part (005 - 012) properties") << "kept with two parts";
    EXPECT_EQ(Describe(), "");
}

TEST_F(PartPropertiesTest, ThePatternLineSaysWhatThePatternHolds)
{
    struct cCase
    {
        const char* name;
        bool shared;
        int32_t events;
        int32_t loopLength;
        int32_t beats;
        const char* text;
    };
    const cCase cases[] = {
        {"empty", false, 0, 0, 4, "EMPTY"},
        {"private", false, 16, 0, 4, "16 events."},
        {"shared, 8 bars in 4/4", true, 8, 8192, 4, "8 events, repeat every 8 bars."},
        {"shared, the same in 3/4", true, 8, 8192, 3, "8 events, repeat every 10 bars."},
        {"shared without a loop", true, 8, 0, 4, "8 events, repeat OFF."},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        cPatternInstance* part = c.shared ? sharedPart : privatePart;
        {
            cScopedLock lock(world.sequencer.GetLock());
            part->pattern->Clear();
            for (int32_t i = 0; i < c.events; ++i)
                world.AddNote(*part->pattern, i * 128, 60, 64);
            if (c.shared)
                part->pattern->loopLength = c.loopLength;
        }
        world.sequencer.SetBeatsPerBar(c.beats);
        OpenOn({part});
        EXPECT_EQ(Describe(), c.text);
    }
    world.sequencer.SetBeatsPerBar(4);
}

TEST_F(PartPropertiesTest, APrivatePatternShowsNoNumberAndOffersToBecomeShared)
{
    OpenOn({privatePart});
    EXPECT_STREQ(Spin()->GetText(), "--");
    EXPECT_FALSE(Spin()->IsEnabled());
    EXPECT_STREQ(dialogue->GetPatternPanel()->GetConvertButton()->GetName(), "Convert to pattern");
    OpenOn({sharedPart});
    EXPECT_STREQ(Spin()->GetText(), "03");
    EXPECT_TRUE(Spin()->IsEnabled());
    EXPECT_STREQ(dialogue->GetPatternPanel()->GetConvertButton()->GetName(), "Convert to part");
}

TEST_F(PartPropertiesTest, ConvertingIsAStepThatUndoes)
{
    const cSongRecord before = Song();
    OpenOn({privatePart});
    Convert();
    ASSERT_EQ(model.GetStepCount(), 1);
    EXPECT_STREQ(model.GetStep(0)->GetName(), "To pattern");
    const cPatternInstance* converted = Selected().at(0);
    EXPECT_LT(converted->patternNumber, 100);
    cGenStringFixed<8> number;
    number.Printf("%02d", int(converted->patternNumber));
    EXPECT_STREQ(Spin()->GetText(), number.CStr());
    model.UndoStep();
    EXPECT_EQ(Song(), before);

    OpenOn({sharedPart});
    Convert();
    EXPECT_STREQ(model.GetStep(model.GetCurrentStep())->GetName(), "To part");
    EXPECT_GE(Selected().at(0)->patternNumber, 100);
    model.UndoStep();
    EXPECT_EQ(Song(), before);
}

// The number is kept in the song file: a change marks the project, and
// recorded notes are filed first so a record undo cannot reach the new pattern.
TEST_F(PartPropertiesTest, ChoosingAnotherPatternMarksTheProjectAndClosesTheRecordJournal)
{
    {
        cScopedLock lock(world.sequencer.GetLock());
        world.sequencer.GetRecordUndoJournal()->GetEntry(sharedPart);
    }
    OpenOn({sharedPart});
    modified = false;
    Spin()->valueDelegate.Invoke(7, Spin());
    EXPECT_EQ(sharedPart->patternNumber, 7);
    EXPECT_STREQ(Spin()->GetText(), "07");
    EXPECT_TRUE(modified.load());
    EXPECT_FALSE(world.sequencer.GetRecordUndoJournal()->HasEntries());
    EXPECT_EQ(model.GetStepCount(), 0) << "not undoable";

    OpenOn({privatePart, sharedPart});
    Spin()->valueDelegate.Invoke(9, Spin());
    EXPECT_EQ(sharedPart->patternNumber, 7) << "two parts: nothing changes";
}

TEST_F(PartPropertiesTest, TheProgramChangeIsWrittenThroughTheInstrumentsChooser)
{
    Instrument(0).presetWidgetMaker = &MakePresetPanel;
    Instrument(0).Module().preset = 12;
    dialogue->GetTabView()->SelectPage(cPartPropertiesUI::kTabPreset, true);
    OpenOn({privatePart});
    cSequencerPresetPanel* chooser = dialogue->GetPresetPanel()->GetPresetWidget();
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(chooser->IsOn());
    EXPECT_EQ(chooser->GetPreset(), 12) << "off shows the instrument's own preset";

    modified = false;
    chooser->SetValues(true, 3, 5);
    chooser->onDelegate.Invoke(true, chooser);
    EXPECT_EQ(privatePart->programWord, 0x01030005u);
    EXPECT_TRUE(modified.load());
    chooser->onDelegate.Invoke(false, chooser);
    EXPECT_EQ(privatePart->programWord, 0x00030005u);
    Frame();
    EXPECT_FALSE(chooser->IsOn());
    EXPECT_EQ(chooser->GetPreset(), 12);
    chooser->presetDelegate.Invoke(7, chooser);
    chooser->bankDelegate.Invoke(2, chooser);
    EXPECT_EQ(privatePart->programWord, 0x00020007u);

    dialogue->Close();
    EXPECT_EQ(dialogue->GetPresetPanel()->GetPresetWidget(), nullptr) << "given back on closing";
}

TEST_F(PartPropertiesTest, WithoutAChooserOrWithoutOnePartNothingIsWritten)
{
    dialogue->GetTabView()->SelectPage(cPartPropertiesUI::kTabPreset, true);
    OpenOn({sharedPart});
    EXPECT_EQ(dialogue->GetPresetPanel()->GetPresetWidget(), nullptr);
    EXPECT_TRUE(FindText("The instrument on this track does not support presets").has_value());
    Instrument(0).presetWidgetMaker = &MakePresetPanel;
    OpenOn({});
    EXPECT_EQ(dialogue->GetPresetPanel()->GetPresetWidget(), nullptr);
    OpenOn({privatePart, sharedPart});
    EXPECT_EQ(dialogue->GetPresetPanel()->GetPresetWidget(), nullptr);
}
} // namespace
