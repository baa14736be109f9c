#include <cmath>
#include <vector>

#include "SongEditFixture.h"
#include "audio/AudioEvent.h"
#include "audio/Transport.h"
#include "editors/SongSettingsUI.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetSpinButton.h"

namespace
{
double gNow = 100.0;
double TestClock() { return gNow; }

// The settings widget on the world's sequencer, its state read at 120 BPM
// in 4/4 with nothing marked; the tap clock is the test's.
class SongSettingsTest : public cSongEditTest
{
protected:
    SongSettingsTest()
    {
        cSongSettingsUI::SetClock(&TestClock);
        SetSongTempo(120.0f);
        settings = Place(new cSongSettingsUI(), {0.0f, 0.0f, 600.0f, 200.0f});
        Frame();
        modified = false;
    }
    ~SongSettingsTest() override
    {
        root->RemoveChild(settings);
        cSongSettingsUI::SetClock(nullptr);
    }

    void SetSongTempo(float bpm)
    {
        world.sequencer.SetTempo(bpm);
        world.sequencer.DrainEvents();
    }
    // The widget shows the song again, as when it is opened.
    void Refresh()
    {
        settings->ModifyFlags(kWidgetStateDirty, 0, false);
        Frame();
    }
    void Press(int32_t tag)
    {
        cWidgetButton* button = settings->GetButton(tag);
        button->clickDelegate.Invoke(1, button);
        if (tag == cSongSettingsUI::kTap)
            button->clickDelegate.Invoke(0, button); // the release counts for nothing
    }
    // What the audio thread applies of the posted events.
    float AppliedTempo()
    {
        world.sequencer.DrainEvents();
        return gTransport.tempo.load();
    }
    void TapAfter(double seconds)
    {
        gNow += seconds;
        Press(cSongSettingsUI::kTap);
    }
    const char* TempoText() const { return settings->GetTempoSpin()->GetText(); }

    cSongSettingsUI* settings = nullptr;
};

TEST_F(SongSettingsTest, DoubleAndHalveStayInsideTheTempoRange)
{
    struct cCase
    {
        float tempo;
        int32_t tag;
        bool enabled;
        float posted;
    };
    const cCase cases[] = {
        {120.0f, cSongSettingsUI::kDouble, true, 240.0f}, {120.1f, cSongSettingsUI::kDouble, false, 0.0f},
        {80.0f, cSongSettingsUI::kHalve, true, 40.0f},    {79.9f, cSongSettingsUI::kHalve, false, 0.0f},
        {100.1f, cSongSettingsUI::kHalve, true, 50.0f},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.tempo);
        SetSongTempo(c.tempo);
        Refresh();
        modified = false;
        ASSERT_EQ(settings->GetButton(c.tag)->IsEnabled(), c.enabled);
        if (!c.enabled)
            continue;
        Press(c.tag);
        EXPECT_FLOAT_EQ(AppliedTempo(), c.posted);
        EXPECT_TRUE(modified.load());
    }
}

TEST_F(SongSettingsTest, TheTempoIsPostedAsOneSetFloatEventOfParameterSeven)
{
    settings->SetTempo(1355);
    EXPECT_STREQ(TempoText(), "135.5");
    EXPECT_FLOAT_EQ(gTransport.tempo.load(), 120.0f) << "applied by the audio thread, not here";
    ASSERT_TRUE(world.sequencer.HasPendingEvents());
    EXPECT_FLOAT_EQ(AppliedTempo(), 135.5f);
}

TEST_F(SongSettingsTest, TapTempo)
{
    struct cCase
    {
        const char* name;
        std::vector<double> gaps; // seconds between taps, the first after a refresh
        float tempo;
    };
    const cCase cases[] = {
        {"half a second keeps 120", {5.0, 0.5, 0.5, 0.5}, 120.0f},
        {"0.4 s jumps to 150 and stays", {5.0, 0.4, 0.4}, 150.0f},
        {"0.45 s moves a quarter of the way", {5.0, 0.45}, 123.3f},
        {"the first tap after a refresh sets nothing", {0.4}, 120.0f},
        {"gaps over 1.5 s set nothing", {5.0, 1.6}, 120.0f},
        {"gaps under 0.25 s set nothing", {5.0, 0.2}, 120.0f},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetSongTempo(120.0f);
        Refresh();
        for (size_t i = 0; i < c.gaps.size(); ++i)
            TapAfter(c.gaps[i]);
        EXPECT_NEAR(AppliedTempo(), c.tempo, 0.01f);
    }
}

// A refresh shows the song's values and changes nothing in it.
TEST_F(SongSettingsTest, RefreshingMarksNothingAndTheTimeSignatureMarksOnlyAChange)
{
    Refresh();
    Refresh();
    EXPECT_FALSE(modified.load());
    EXPECT_STREQ(settings->GetTimeSignatureSpin()->GetText(), "4/4");

    settings->SetTimeSignature(4);
    EXPECT_FALSE(modified.load());
    settings->SetTimeSignature(3);
    EXPECT_TRUE(modified.load());
    EXPECT_EQ(gTransport.beatsPerBar.load(), 3);
    EXPECT_STREQ(settings->GetTimeSignatureSpin()->GetText(), "3/4");
    settings->SetTimeSignature(9);
    EXPECT_EQ(gTransport.beatsPerBar.load(), 7);
    world.sequencer.SetBeatsPerBar(4);
}

TEST_F(SongSettingsTest, ATempoTheFullRingRefusesIsShownUndoneAndMarksNothing)
{
    while (world.sequencer.PostEvent(MakeSetIntEvent(cSequencer::kParamLoopOn, 0)))
        ;
    Press(cSongSettingsUI::kDouble);
    EXPECT_STREQ(TempoText(), "120.0");
    EXPECT_EQ(settings->GetTempoSpin()->GetValue(), 1200);
    EXPECT_TRUE(settings->GetButton(cSongSettingsUI::kDouble)->IsEnabled());
    EXPECT_FALSE(modified.load());
    EXPECT_FLOAT_EQ(AppliedTempo(), 120.0f);
}

TEST_F(SongSettingsTest, ThePopupShowsAndHidesTheOneWidget)
{
    cSongSettingsPopup* popup = new cSongSettingsPopup();
    popup->Show();
    Frame();
    EXPECT_TRUE(popup->IsShown());
    EXPECT_STREQ(popup->GetSettingsUI()->GetTempoSpin()->GetText(), "120.0");
    popup->OnDismiss(1);
    EXPECT_FALSE(popup->IsShown());
    EXPECT_FALSE(modified.load());
    popup->Release();
}
} // namespace
