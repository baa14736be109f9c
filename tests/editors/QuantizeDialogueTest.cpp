#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/CriticalSection.h"
#include "base/File.h"
#include "base/GenString.h"
#include "editors/QuantizeDialogue.h"
#include "editors/QuantizeSettingsUI.h"
#include "ui/DialogueFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetSpinButton.h"
#include "sequencer/QuantizeSettings.h"
#include "sequencer/Sequencer.h"

namespace
{
using cUI = cQuantizeSettingsUI;
constexpr int32_t kRecordStyle = cUI::kShowOff;
constexpr int32_t kPianoRollStyle = cUI::kQuantizeButton | cUI::kTypeSpin;
constexpr int32_t kEighth = 4;
constexpr int32_t kTripletCell = 1;

cVector2 Centre(const cRect& r) { return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f}; }

// A quantize dialogue anchored below a button near the top of the screen, as
// the status bar and the piano roll show theirs, and what it reported.
class QuantizeDialogueTest : public DialogueFixture
{
protected:
    cQuantizeDialogue* Open(int32_t style, const cQuantizeSettings& settings)
    {
        anchor = AddProbe(root, "QUANTIZE", {300, 0, 360, 30});
        dialogue = new cQuantizeDialogue(style);
        dialogue->SetName("Record Quantize");
        dialogue->SetAnchor(anchor, kAttachBelow);
        ui = dialogue->GetSettingsUI();
        ui->changeDelegate.Bind(this, &QuantizeDialogueTest::OnChange);
        ui->SetSettings(settings);
        dialogue->Show();
        Frame(2);
        return dialogue;
    }
    ~QuantizeDialogueTest() override
    {
        if (dialogue)
        {
            dialogue->Hide();
            dialogue->Release();
        }
    }

    void OnChange(const cQuantizeSettings* settings, cQuantizeSettingsUI* from)
    {
        EXPECT_EQ(from, ui);
        reports.push_back(*settings);
    }

    void TapAt(const cVector2& p)
    {
        Down(1, p.X, p.Y);
        Frame();
        Up(1, p.X, p.Y);
        Frame();
    }
    void TapCell(cWidgetMultiButton* selector, int32_t item)
    {
        TapAt(Centre(selector->items[size_t(item)].normalImage.layoutRect));
    }
    void TapUp(cWidgetSpinButton* spin) { TapAt(Centre(spin->GetUpZone())); }
    void TapDown(cWidgetSpinButton* spin) { TapAt(Centre(spin->GetDownZone())); }

    cProbeWidget* anchor = nullptr;
    cQuantizeDialogue* dialogue = nullptr;
    cUI* ui = nullptr;
    std::vector<cQuantizeSettings> reports;
};
} // namespace

TEST_F(QuantizeDialogueTest, ShowsTheSettingsItIsGiven)
{
    const struct
    {
        cQuantizeSettings settings;
        int32_t interval, feel;
        const char* swing;
        bool swingEnabled;
        const char* type;
    } cases[] = {
        {{1, 5, 0, 0.0f}, 5, -1, "OFF", true, "Event Position"},
        {{1, 4, 0, 0.5f}, 4, -1, "50%", true, "Event Position"},
        {{2, 3, 1, 0.5f}, 3, 0, "50%", false, "Note Length"},
        {{3, 4, 2, 0.0f}, 4, 1, "OFF", false, "Note End"},
        {{0, 7, 0, 0.254f}, 7, -1, "25%", true, "Event Position"},
        {{9, 0, 0, 1.0f}, 0, -1, "100%", true, "Note End"},
    };
    Open(kPianoRollStyle, {});
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.swing) + " " + c.type);
        ui->SetSettings(c.settings);
        Frame();
        EXPECT_EQ(ui->GetIntervalSelector()->selectedItem, c.interval);
        EXPECT_EQ(ui->GetFeelSelector()->selectedItem, c.feel);
        EXPECT_STREQ(ui->GetSwingSpin()->GetText(), c.swing);
        EXPECT_EQ(ui->GetSwingSpin()->IsEnabled(), c.swingEnabled);
        EXPECT_STREQ(ui->GetTypeSpin()->GetText(), c.type);
    }
    EXPECT_TRUE(FindText("Record Quantize")) << "the title";
    EXPECT_TRUE(FindText("1/64"));
    EXPECT_TRUE(FindText("Quantize"));
}

TEST_F(QuantizeDialogueTest, TheOffIntervalTypeSpinAndButtonFollowTheStyle)
{
    Open(kRecordStyle, {});
    EXPECT_EQ(ui->GetIntervalSelector()->items[0].visible, 1);
    EXPECT_EQ(ui->GetTypeSpin(), nullptr);
    EXPECT_EQ(ui->GetQuantizeButton(), nullptr);
    EXPECT_TRUE(FindText("OFF"));

    cQuantizeDialogue* other = new cQuantizeDialogue(kPianoRollStyle);
    EXPECT_EQ(other->GetSettingsUI()->GetIntervalSelector()->items[0].visible, 0);
    EXPECT_NE(other->GetSettingsUI()->GetTypeSpin(), nullptr);
    EXPECT_NE(other->GetSettingsUI()->GetQuantizeButton(), nullptr);
    other->Release();
}

TEST_F(QuantizeDialogueTest, WithoutTheButtonEveryChangeIsReportedAtOnce)
{
    Open(kRecordStyle, {1, 5, 0, 0.0f});
    TapCell(ui->GetIntervalSelector(), kEighth);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].interval, kEighth);

    TapCell(ui->GetFeelSelector(), kTripletCell);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].interval, kEighth);
    EXPECT_EQ(reports[1].type, cQuantizeSettings::kTriplet);
    EXPECT_FALSE(ui->GetSwingSpin()->IsEnabled());

    // Touching the chosen feel again returns to straight, where swing applies.
    TapCell(ui->GetFeelSelector(), kTripletCell);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[2].type, cQuantizeSettings::kStraight);
    EXPECT_EQ(ui->GetFeelSelector()->selectedItem, -1);
    EXPECT_TRUE(ui->GetSwingSpin()->IsEnabled());

    TapUp(ui->GetSwingSpin());
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_FLOAT_EQ(reports[3].swing, 0.01f);
    EXPECT_STREQ(ui->GetSwingSpin()->GetText(), "1%");
}

TEST_F(QuantizeDialogueTest, WithTheButtonOnlyThePressIsReported)
{
    Open(kPianoRollStyle, {1, 5, 0, 0.0f});
    TapCell(ui->GetIntervalSelector(), kEighth);
    TapCell(ui->GetFeelSelector(), kTripletCell);
    TapUp(ui->GetTypeSpin());
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(ui->settings.interval, kEighth);

    TapAt(Centre(ui->GetQuantizeButton()->GetTouchRect()));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].on, 2);
    EXPECT_EQ(reports[0].interval, kEighth);
    EXPECT_EQ(reports[0].type, cQuantizeSettings::kTriplet);
}

TEST_F(QuantizeDialogueTest, TheTypeSpinHoldsOneToThree)
{
    Open(kPianoRollStyle, {3, 5, 0, 0.0f});
    cWidgetSpinButton* type = ui->GetTypeSpin();
    TapUp(type);
    EXPECT_EQ(ui->settings.on, 3);
    EXPECT_STREQ(type->GetText(), "Note End");
    for (int i = 0; i < 4; ++i)
        TapDown(type);
    EXPECT_EQ(ui->settings.on, 1);
    EXPECT_EQ(type->GetValue(), 1);
    EXPECT_STREQ(type->GetText(), "Event Position");
}

TEST_F(QuantizeDialogueTest, ClosingHidesItAndKeepsTheSettings)
{
    Open(kRecordStyle, {1, 5, 0, 0.0f});
    TapCell(ui->GetIntervalSelector(), kEighth);
    TapAt(Centre(dialogue->GetCloseButton()->GetTouchRect()));
    Frame(30);
    EXPECT_FALSE(dialogue->IsShown());
    EXPECT_EQ(ui->settings.interval, kEighth);

    dialogue->Show();
    Frame(2);
    EXPECT_TRUE(dialogue->IsShown());
    EXPECT_EQ(ui->GetIntervalSelector()->selectedItem, kEighth);

    // A touch outside an anchored dialogue dismisses it too.
    TapAt({20.0f, 460.0f});
    EXPECT_FALSE(dialogue->IsShown());
    EXPECT_EQ(reports.size(), 1u);
}

// What the status bar's "Record Quantize" does with a change (under the
// sequencer lock, the record settings and grid), saved in the song file:
// interval and feel at bytes 172..179, and read back.
TEST_F(QuantizeDialogueTest, RecordQuantizeChosenInTheDialogueIsSavedWithTheSong)
{
    cSequencer sequencer;
    Open(kRecordStyle, gRecordQuantizeSettings);
    struct cApply
    {
        cSequencer* sequencer;
        void Changed(const cQuantizeSettings* settings, cQuantizeSettingsUI*)
        {
            cScopedLock lock(sequencer->GetLock());
            ApplyRecordQuantize(*settings);
        }
    } apply{&sequencer};
    ui->changeDelegate.Bind(&apply, &cApply::Changed);
    TapCell(ui->GetIntervalSelector(), kEighth);
    TapCell(ui->GetFeelSelector(), kTripletCell);

    cGenStringFixed<32> label;
    QuantizeSettingsToText(label, gRecordQuantizeSettings, false);
    EXPECT_STREQ(label.CStr(), "1/8T");
    EXPECT_NEAR(gRecordQuantizeGrid.interval, 128.0f * 2.0f / 3.0f, 1e-3f);

    File::cFileMemoryWrite file;
    sequencer.WriteSong(file);
    ASSERT_GE(file.GetLength(), 180);
    const std::vector<uint8_t> stored(file.GetData() + 172, file.GetData() + 180);
    EXPECT_EQ(stored, (std::vector<uint8_t>{4, 0, 0, 0, 2, 0, 0, 0}));

    sequencer.NewSong();
    EXPECT_EQ(gRecordQuantizeSettings.interval, cQuantizeSettings::kInterval16th);
    File::cFileMemoryRead saved(file.GetData(), int(file.GetLength()));
    cGenStringFixed<256> error;
    ASSERT_TRUE(sequencer.ReadSong(saved, error)) << error.CStr();
    QuantizeSettingsToText(label, gRecordQuantizeSettings, false);
    EXPECT_STREQ(label.CStr(), "1/8T");
    sequencer.NewSong();
}
