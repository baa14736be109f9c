#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DeskFixture.h"
#include "mixer/ui/EffectRackUI.h"
#include "mixer/ui/MixingDeskFaders.h"
#include "mixer/ui/MixingDeskPanelCheek.h"
#include "mixer/ui/MixingDeskTitles.h"
#include "platform/FrameTiming.h"
#include "sequencer/Sequencer.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetNavButtonUpDown.h"
#include "ui/WidgetSlider.h"

namespace
{
// Eight single outputs and the two returns: ten channels in the list.
class MixingDesk : public DeskFixture
{
protected:
    void ShowTenChannelsOnFourStrips(float height = 400.0f)
    {
        for (int i = 0; i < 8; ++i)
            AddInstrument(("Kest " + std::to_string(i + 1)).c_str());
        Show(WidthForColumns(5), height);
        ASSERT_EQ(Panel()->GetStripCount(), 4);
        ASSERT_EQ(Panel()->GetListSize(), 10);
    }

    void Settle(int frames = 120) { Frame(frames); }
};

TEST_F(MixingDesk, PagesStepByTheStripsShownAndStopAtTheLastPage)
{
    ShowTenChannelsOnFourStrips();
    const struct
    {
        bool forward;
        int32_t first;
    } steps[] = {{true, 4}, {true, 6}, {true, 6}, {false, 2}, {false, 0}, {false, 0}};
    for (const auto& step : steps)
    {
        step.forward ? Panel()->PageForward() : Panel()->PageBack();
        EXPECT_EQ(desk->GetFirstShownChannel(), step.first);
    }
}

TEST_F(MixingDesk, TheStripsGlideToTheNewPage)
{
    ShowTenChannelsOnFourStrips();
    Panel()->PageForward();
    Frame();
    // |4 - 0| x 4 x T + 2 x T strips in the first frame.
    EXPECT_NEAR(Panel()->GetScrollPosition(), 18.0f / 60.0f, 1e-5f);
    Settle();
    EXPECT_EQ(Panel()->GetScrollPosition(), 4.0f);
    EXPECT_EQ(Panel()->GetFaders()->GetFader(0)->GetPosition(), 4);
}

TEST_F(MixingDesk, AStoredPagePastTheLastOneOpensOnTheFirst)
{
    desk->SetFirstShownChannel(8);
    ShowTenChannelsOnFourStrips();
    EXPECT_EQ(desk->GetFirstShownChannel(), 0);
    EXPECT_EQ(Panel()->GetScrollPosition(), 0.0f);
}

TEST_F(MixingDesk, ThePagingButtonPointsWhereAStepIsPossible)
{
    ShowTenChannelsOnFourStrips();
    cWidgetNavButtonUpDown* button = page->GetPageButton();
    const struct
    {
        int32_t first;
        bool forward, back;
    } cases[] = {{0, true, false}, {4, true, true}, {6, false, true}};
    for (const auto& c : cases)
    {
        desk->SetFirstShownChannel(c.first);
        page->RefreshButtons();
        EXPECT_EQ(button->upEnabled, c.forward) << c.first;
        EXPECT_EQ(button->downEnabled, c.back) << c.first;
    }
}

TEST_F(MixingDesk, TheKeysPageAndSwitchViews)
{
    ShowTenChannelsOnFourStrips();
    Key(cMixingDeskUI::kKeyRight);
    EXPECT_EQ(desk->GetFirstShownChannel(), 4);
    Key(cMixingDeskUI::kKeyLeft);
    EXPECT_EQ(desk->GetFirstShownChannel(), 0);
    Key(cMixingDeskUI::kKeyDown);
    EXPECT_EQ(Panel()->GetViewMode(), cMixingDeskPanelMixer::kModeInsert);
    Key(cMixingDeskUI::kKeyUp);
    EXPECT_EQ(Panel()->GetViewMode(), cMixingDeskPanelMixer::kModeFaders);
}

// Columns: (panel width - 8) / (strip width + 3); the last is the master's.
TEST_F(MixingDesk, ColumnsFollowThePanelsWidth)
{
    AddInstrument("Kest");
    Show(WidthForColumns(5), 400.0f);
    const float cheeks = 2.0f * Sprite(MixingDeskSprite::kCheek).width;
    const float pitch = Sprite(MixingDeskSprite::kStrip).width + 3.0f;
    const struct
    {
        float panel;
        int32_t columns, strips;
    } cases[] = {{8.0f + 5.0f * pitch, 5, 4}, {8.0f + 2.0f * pitch, 2, 1}, {8.0f + pitch, 1, 0},
                 {7.0f, 0, 0},              {0.0f, 0, 0}};
    for (const auto& c : cases)
    {
        page->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, cheeks + c.panel, 400.0f);
        page->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
        Frame();
        EXPECT_EQ(Panel()->GetColumns(), c.columns) << c.panel;
        EXPECT_EQ(Panel()->GetStripCount(), c.strips) << c.panel;
        if (c.columns > 0)
        {
            EXPECT_EQ(Panel()->GetColumnWidth(), std::floor((c.panel - 8.0f) / float(c.columns)));
        }
    }
}

TEST_F(MixingDesk, ATallPanelShowsFadersAndChainTogether)
{
    AddInstrument("Kest");
    const float tall = 220.0f + 76.0f + 120.0f;
    Show(WidthForColumns(5), tall);
    EXPECT_EQ(Panel()->GetViewMode(), cMixingDeskPanelMixer::kModeFaders);
    page->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, WidthForColumns(5), tall + 1.0f);
    page->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    Frame();
    EXPECT_EQ(Panel()->GetViewMode(), cMixingDeskPanelMixer::kModeBoth);
    // The view button then only scrolls the chain, which has one row here.
    Panel()->ShowInsertChain();
    EXPECT_EQ(Panel()->GetViewMode(), cMixingDeskPanelMixer::kModeBoth);
}

TEST_F(MixingDesk, SwitchingViewsAnimates)
{
    ShowTenChannelsOnFourStrips();
    Panel()->ShowInsertChain();
    EXPECT_EQ(Panel()->GetPhase(), -1.0f);
    Frame();
    // (0.01 + 0.2) x 30 x T from -1.
    EXPECT_NEAR(Panel()->GetPhase(), -1.0f + 0.21f * 30.0f / 60.0f, 1e-5f);
    Settle();
    EXPECT_EQ(Panel()->GetPhase(), 0.0f);
    EXPECT_FALSE(Panel()->GetFaders()->IsVisible());
    EXPECT_TRUE(Panel()->GetInsertArea()->IsVisible());
}

TEST_F(MixingDesk, TheTitleNamesTheSelectedChain)
{
    AddInstrument("Kest");
    AddInstrument("VRX", 3);
    Show(WidthForColumns(5), 400.0f);
    const struct
    {
        int32_t selected;
        bool insertView;
        const char* title;
    } cases[] = {{-1, false, "Mixer - Output"}, {-1, true, "Output Insert FX"}, {2, false, "Mixer - VRX(2)"},
                 {2, true, "VRX(2) Insert FX"},  {4, false, "Mixer - SEND 1"},   {0, false, "Mixer - Kest"}};
    for (const auto& c : cases)
    {
        Panel()->SelectChannel(c.selected);
        if (c.insertView != (Panel()->GetViewMode() == cMixingDeskPanelMixer::kModeInsert))
            c.insertView ? Panel()->ShowInsertChain() : Panel()->ShowFaders();
        Frame();
        EXPECT_EQ(host.title, c.title);
    }
    package->Show(nullptr);
    Frame();
    EXPECT_EQ(host.title, "Mixer");
}

TEST_F(MixingDesk, TheCheekMeterFollowsTheSelection)
{
    AddInstrument("Kest");
    Show(WidthForColumns(5), 400.0f);
    Panel()->ShowInsertChain();
    Frame();
    const cLevelMeter& meter = page->GetLeftCheek()->GetMeter();
    EXPECT_EQ(page->GetLeftCheek()->GetMeterOpacity(), 255);
    EXPECT_EQ(meter.floor, -26.0f);
    EXPECT_FLOAT_EQ(meter.scale, 1.0f / 26.0f);
    Panel()->SelectChannel(0);
    Frame();
    EXPECT_FLOAT_EQ(meter.scale, 1.0f / 32.0f);
    Panel()->ShowFaders();
    Settle();
    EXPECT_EQ(page->GetLeftCheek()->GetMeterOpacity(), 0);
}

TEST(MixingDeskTexts, GainAndPanTextsOfTheControls)
{
    const struct
    {
        float value;
        const char* gain;
    } gains[] = {{0.0f, "Gain = -90.0dB"}, {0.1f, "Gain = -27.7dB"}, {0.5f, "Gain = -9.4dB"},
                 {0.79f, "Gain = 0.0dB"},  {1.0f, "Gain = 6.3dB"}};
    char text[48];
    for (const auto& g : gains)
    {
        cMixingDeskFader::FormatGain(text, int32_t(sizeof(text)), g.value);
        EXPECT_STREQ(text, g.gain) << g.value;
    }
    const struct
    {
        float value;
        const char* pan;
    } pans[] = {{0.5f, "Pan = Centre"}, {0.25f, "Pan = Left 50%"}, {0.75f, "Pan = Right 50%"}, {0.0f, "Pan = Left 100%"}};
    for (const auto& p : pans)
    {
        cMixingDeskFader::FormatPan(text, int32_t(sizeof(text)), p.value);
        EXPECT_STREQ(text, p.pan) << p.value;
    }
}

// A recording stand-in for the song engine: what the desk posts to it.
class cRecordingSequencer : public cSequencer
{
public:
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        events.push_back(event);
        return 0;
    }
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(events);
        return taken;
    }
    std::vector<cAudioEvent> events;
};

TEST_F(MixingDesk, AFaderMovesItsInstrumentsVolumeAndTheSongRecordsIt)
{
    cRecordingSequencer sequencer;
    cStripInstrument* synth = AddInstrument("Kest");
    Show(WidthForColumns(5), 400.0f);
    cWidgetSlider* slider = Panel()->GetFaders()->GetFader(0)->GetSlider();
    const cRect& track = slider->trackImage.layoutRect;
    const float x = (track.xMin + track.xMax) * 0.5f, y = (track.yMin + track.yMax) * 0.5f;
    Down(1, x, y);
    Move(1, x, y - 20.0f);
    Move(1, x, y - 40.0f);
    Up(1, x, y - 40.0f);
    Frame();
    const std::vector<cAudioEvent> module = synth->Module().Take();
    ASSERT_FALSE(module.empty());
    for (const cAudioEvent& event : module)
    {
        EXPECT_EQ(event.type, kAudioEventModuleParam);
        EXPECT_EQ(event.slot, 1);
        EXPECT_EQ(event.wordA, 0u);
        EXPECT_EQ(event.wordB, 1u);
    }
    EXPECT_FLOAT_EQ(module.back().valueF, slider->GetValue());
    const std::vector<cAudioEvent> song = sequencer.Take();
    ASSERT_GE(song.size(), module.size() + 2);
    EXPECT_EQ(song.front().type, kAudioEventParamTouch);
    EXPECT_EQ(song.front().wordA, 1u);
    EXPECT_EQ(song.front().wordB, 1u);
    EXPECT_EQ(song.back().type, kAudioEventParamTouch);
    EXPECT_EQ(song.back().wordB, 0u);
    EXPECT_EQ(song[1].type, kAudioEventModuleParam);
    EXPECT_TRUE(modified.load());
    EXPECT_EQ(host.messages.back().rfind("Gain = ", 0), 0u);
    EXPECT_EQ(host.lastSeconds, 1.5f);
}

// The mixer's own channels move its parameters 1/2 (master), 4/5 and 6/7.
TEST_F(MixingDesk, MasterAndReturnFadersMoveTheMixersParameters)
{
    AddInstrument("Kest");
    Show(WidthForColumns(5), 400.0f);
    const struct
    {
        cMixingDeskFader* fader;
        uint32_t volume, pan;
    } cases[] = {{Panel()->GetOutputFader()->GetFader(), 1u, 2u},
                 {Panel()->GetFaders()->GetFader(1), 4u, 5u},
                 {Panel()->GetFaders()->GetFader(2), 6u, 7u}};
    for (const auto& c : cases)
    {
        c.fader->OnVolumeChanged(0.3f, c.fader->GetSlider());
        c.fader->OnPanChanged(0.6f, c.fader->GetKnob());
        cMixer* mixer = desk->GetMixer();
        mixer->DrainEvents();
        EXPECT_FLOAT_EQ(mixer->GetParamValue(int32_t(c.volume)), 0.3f) << c.volume;
        EXPECT_FLOAT_EQ(mixer->GetParamValue(int32_t(c.pan)), 0.6f) << c.pan;
    }
}

// Mutes and solos reach the mixer as set-int events on (position << 8) | 4.
class MixingDeskTitles : public MixingDesk
{
protected:
    void SetUp() override { ShowTenChannelsOnFourStrips(); }
    cRect Strip(int32_t index) const
    {
        cMixingDeskInputTitles* titles = Panel()->GetTitles();
        const cRect& rect = const_cast<cMixingDeskInputTitles*>(titles)->GetRect();
        const float w = titles->GetStripWidth();
        return {rect.xMin + float(index) * w, rect.yMin, rect.xMin + float(index + 1) * w, rect.yMax};
    }
    cVector2 MuteOf(int32_t index) const
    {
        const cRect s = Strip(index);
        return {(s.xMin + s.xMax) * 0.5f, s.yMin + cMixingDeskInputTitles::kNameBand + 10.0f};
    }
    cVector2 NameOf(int32_t index) const
    {
        const cRect s = Strip(index);
        return {(s.xMin + s.xMax) * 0.5f, s.yMin + 10.0f};
    }
};

TEST_F(MixingDeskTitles, AClickMutesADoubleClickSolosAndAClickUnsolos)
{
    cMixer* mixer = desk->GetMixer();
    const cVector2 mute = MuteOf(1);
    Click(mute.X, mute.Y);
    mixer->DrainEvents();
    EXPECT_EQ(mixer->GetMuteState(1), 1);
    EXPECT_EQ(host.messages.back(), "Double tap to solo");
    Click(mute.X, mute.Y);
    mixer->DrainEvents();
    EXPECT_EQ(mixer->GetMuteState(1), 2);
    Frame(40); // long enough apart not to count as another double tap
    host.messages.clear();
    Click(mute.X, mute.Y);
    mixer->DrainEvents();
    EXPECT_EQ(mixer->GetMuteState(1), 0);
    EXPECT_TRUE(modified.load());
}

TEST_F(MixingDeskTitles, APressSwipedOverFourMoreStripsTogglesFive)
{
    cMixer* mixer = desk->GetMixer();
    const cVector2 first = MuteOf(0);
    Down(1, first.X, first.Y);
    for (int32_t i = 1; i <= 3; ++i)
        Move(1, MuteOf(i).X, first.Y);
    Move(1, MuteOf(4).X - Panel()->GetTitles()->GetStripWidth() * 0.4f, first.Y);
    Up(1, MuteOf(3).X, first.Y);
    Frame();
    mixer->DrainEvents();
    // Strips 0..3 and the extra one (position 4) glide in at the right edge.
    for (int32_t position = 0; position < 4; ++position)
        EXPECT_EQ(mixer->GetMuteState(position), 1) << position;
}

TEST_F(MixingDeskTitles, ADragOfLessThanAThirdOfAStripSelectsInsteadOfScrolling)
{
    const cVector2 name = NameOf(2);
    const float w = Panel()->GetTitles()->GetStripWidth();
    Down(1, name.X, name.Y);
    Move(1, name.X - w * 0.2f, name.Y);
    Up(1, name.X - w * 0.2f, name.Y);
    Frame();
    EXPECT_EQ(desk->GetFirstShownChannel(), 0);
    EXPECT_EQ(desk->GetInsertChannel(), 2);
    // A longer drag pages on, rounded up; it starts elsewhere so as not to
    // count as a second tap.
    const cVector2 other = NameOf(0);
    Down(1, other.X, other.Y);
    Move(1, other.X - w * 1.5f, other.Y);
    Up(1, other.X - w * 1.5f, other.Y);
    Frame();
    EXPECT_EQ(desk->GetFirstShownChannel(), 2);
}

TEST_F(MixingDeskTitles, ADoubleTapOnANameShowsItsInstrument)
{
    const cVector2 name = NameOf(3);
    Click(name.X, name.Y);
    Click(name.X, name.Y);
    ASSERT_EQ(host.shownPages.size(), 1u);
    EXPECT_EQ(host.shownPages[0], instruments[3].get());
}

// Hidden behind another page, the desk leaves that page's title and input
// alone when the instruments change under it, and binds again once shown.
TEST_F(MixingDeskTitles, AHiddenDeskRebindsOnlyWhenShown)
{
    page->SetVisible(false);
    host.title = "VRX - Home";
    desk->GetMixer()->RemoveChannels(instruments[0].get());
    const cVector2 name = NameOf(1);
    Click(name.X, name.Y);
    EXPECT_EQ(host.title, "VRX - Home");
    EXPECT_EQ(Panel()->GetTitles()->GetRecord(0).channel->owner, instruments[0].get()) << "still bound as it was";

    page->SetVisible(true);
    Frame();
    EXPECT_EQ(host.title, "Mixer - Output");
    EXPECT_EQ(Panel()->GetTitles()->GetRecord(0).channel->owner, instruments[1].get());
}

TEST_F(MixingDeskTitles, TheOutputTitleMutesTheMasterOrSelectsItsChain)
{
    Panel()->SelectChannel(3);
    cMixingDeskOutputTitle* title = Panel()->GetOutputTitle();
    const cRect& mute = title->GetMuteRect();
    Click((mute.xMin + mute.xMax) * 0.5f, (mute.yMin + mute.yMax) * 0.5f);
    desk->GetMixer()->DrainEvents();
    EXPECT_EQ(desk->GetMaster()->muteState, 1);
    const cRect& rect = title->GetRect();
    Click((rect.xMin + rect.xMax) * 0.5f, rect.yMin + 5.0f);
    EXPECT_EQ(desk->GetInsertChannel(), -1);
}

// Phones: taller rows, and a mute band that never solos or hints.
TEST_F(MixingDesk, OnPhonesTheDeskNeedsMoreRoomAndGivesNoHint)
{
    for (int i = 0; i < 3; ++i)
        AddInstrument("Kest");
    SetDisplayMetricsForClass(kDeviceClassPhone);
    renderer.SetScreenSize(1024.0f, 768.0f);
    manager->SetScreenRect({0.0f, 0.0f, 1024.0f, 768.0f});
    cMixingDeskUI* phone = Place(new cMixingDeskUI(), {0.0f, 0.0f, WidthForColumns(5), 626.0f});
    phone->ShowInstrument(desk);
    Frame(2);
    EXPECT_EQ(phone->GetPanel()->GetViewMode(), cMixingDeskPanelMixer::kModeFaders);
    phone->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, WidthForColumns(5), 627.0f);
    phone->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    Frame();
    EXPECT_EQ(phone->GetPanel()->GetViewMode(), cMixingDeskPanelMixer::kModeBoth);
    cMixingDeskInputTitles* titles = phone->GetPanel()->GetTitles();
    const cRect& rect = titles->GetRect();
    const float x = rect.xMin + titles->GetStripWidth() * 0.5f, y = rect.yMin + cMixingDeskInputTitles::kNameBand + 5.0f;
    host.messages.clear();
    Click(x, y);
    Click(x, y);
    desk->GetMixer()->DrainEvents();
    // Two taps on mute: muted, then unmuted, never soloed.
    EXPECT_EQ(desk->GetMixer()->GetMuteState(0), 0);
    for (const std::string& message : host.messages)
        EXPECT_NE(message, "Double tap to solo");
    phone->ShowInstrument(nullptr);
    root->RemoveChild(phone);
}

} // namespace
