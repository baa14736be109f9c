#include "PadEditorFixture.h"

#include "audio/ScopedTransport.h"
#include "instruments/pads/ui/TriggerPadPages.h"
#include "instruments/pads/ui/TriggerPadPanelAutoBeat.h"
#include "instruments/pads/ui/TriggerPadPanelOutput.h"
#include "ui/WidgetKnob.h"

namespace
{
using PadPages = PadEditorFixture;

bool Posted(const std::vector<cAudioEvent>& events, uint32_t id, int32_t value)
{
    for (const cAudioEvent& event : events)
        if (event.type == kAudioEventSetIntParam && event.wordA == id && event.GetIntValue() == value)
            return true;
    return false;
}

constexpr uint32_t kRepeatLength = cTriggerPad::kClassRepeatLength;
constexpr uint32_t kRepeatVelocity = cTriggerPad::kClassRepeatVelocity;

// The auto-beat panel of the page showing it: home off the phone, its own
// page on it.
cTriggerPadPanelAutoBeat* AutoBeatOf(cTriggerPadControlPanel* panel)
{
    if (auto* home = static_cast<cTriggerPadPageHome*>(panel->GetPage(cTriggerPadControlPanel::kPageHome));
        home->GetAutoBeatPanel())
        return home->GetAutoBeatPanel();
    return static_cast<cTriggerPadPageAutoBeat*>(panel->GetPage(cTriggerPadControlPanel::kPageAutoBeat))
        ->GetAutoBeatPanel();
}
} // namespace

// Each tab shows its page, lights alone, becomes the instrument's main page
// and titles the main screen.
TEST_F(PadPages, TabsChooseThePageAndTheTitle)
{
    for (const int32_t deviceClass : {kDeviceClassDesktop, kDeviceClassPhone})
    {
        SCOPED_TRACE(deviceClass);
        Open(deviceClass);
        const bool phone = deviceClass == kDeviceClassPhone;
        EXPECT_EQ(Panel()->GetTabButton(cTriggerPadControlPanel::kPageAutoBeat)->IsVisible(), phone)
            << "the auto-beat tab is the phone's alone";
        const struct
        {
            int32_t page;
            const char* title;
        } tabs[] = {{cTriggerPadControlPanel::kPageEdit, phone ? "VRX - Edit pad" : "VRX - Edit pad 01"},
                    {cTriggerPadControlPanel::kPageOutput, "VRX - Output Bus"},
                    {cTriggerPadControlPanel::kPageAutoBeat, "VRX - Performance"},
                    {cTriggerPadControlPanel::kPageHome, "VRX - Home"}};
        for (const auto& tab : tabs)
        {
            if (!Panel()->GetTabButton(tab.page)->IsVisible())
                continue;
            TapTab(tab.page);
            EXPECT_EQ(instrument.GetMainPage(), tab.page);
            EXPECT_EQ(host.title, tab.title);
            for (int32_t page = 0; page < cTriggerPadControlPanel::kPageCount; ++page)
            {
                EXPECT_EQ(Panel()->GetPage(page)->IsVisible(), page == tab.page) << page;
                EXPECT_EQ(Panel()->GetTabButton(page)->value, page == tab.page ? 1 : 0) << page;
            }
        }
        if (!phone)
        {
            TapTab(cTriggerPadControlPanel::kPageEdit);
            TapAt(PadCentre(11));
            Frame();
            EXPECT_EQ(host.title, "VRX - Edit pad 12") << "the title keeps the pad edited";
        }
        Close();
        instrument.SetMainPage(0);
    }
}

// Entering the edit or output page, or the phone's home page, switches note
// repeat off and the velocity back to 100; the tablet's home page holds the
// auto-beat panel and keeps repeat going.
TEST_F(PadPages, EnteringAPageResetsTheWayOfPlaying)
{
    const struct
    {
        int32_t deviceClass;
        int32_t from, to;
        bool stopsRepeat;
    } cases[] = {
        {kDeviceClassDesktop, cTriggerPadControlPanel::kPageHome, cTriggerPadControlPanel::kPageEdit, true},
        {kDeviceClassDesktop, cTriggerPadControlPanel::kPageHome, cTriggerPadControlPanel::kPageOutput, true},
        {kDeviceClassDesktop, cTriggerPadControlPanel::kPageEdit, cTriggerPadControlPanel::kPageHome, false},
        {kDeviceClassPhone, cTriggerPadControlPanel::kPageAutoBeat, cTriggerPadControlPanel::kPageHome, true},
    };
    for (const auto& step : cases)
    {
        SCOPED_TRACE(step.to);
        Close();
        Open(step.deviceClass);
        TapTab(step.from);
        Pads().PostEvent(MakeSetIntEvent(kRepeatLength, 3));
        editor->SetVelocity(60);
        Events();
        TapTab(step.to);
        const std::vector<cAudioEvent> events = Events();
        EXPECT_EQ(Posted(events, kRepeatLength, 0), step.stopsRepeat);
        EXPECT_TRUE(Posted(events, kRepeatVelocity, 100));
        EXPECT_EQ(editor->GetVelocity(), 100);
        EXPECT_EQ(Pads().GetParamInt(kRepeatLength), step.stopsRepeat ? 0 : 3);
    }
}

TEST_F(PadPages, OnThePhoneHomeStopsTheRepeatOfTheAutoBeatPage)
{
    Open(kDeviceClassPhone);
    TapTab(cTriggerPadControlPanel::kPageAutoBeat);
    TapButton(AutoBeatOf(Panel())->GetLengthButton(5));
    Events();
    TapTab(cTriggerPadControlPanel::kPageHome);
    const std::vector<cAudioEvent> events = Events();
    EXPECT_TRUE(Posted(events, kRepeatLength, 0));
    EXPECT_TRUE(Posted(events, kRepeatVelocity, 100));
}

// A tall page stacks the three buses under the mute switch; a short one
// shows one bus at a time with buttons "1" to "3" where the switch was.
TEST_F(PadPages, OutputsStackWhenTallElseOneBusWithButtons)
{
    Open();
    TapTab(cTriggerPadControlPanel::kPageOutput);
    auto* page = static_cast<cTriggerPadPageOutput*>(Panel()->GetPage(cTriggerPadControlPanel::kPageOutput));
    cVector2 minimum, preferred;
    page->GetOutputPanel(0)->GetSizePreferences(&minimum, &preferred);
    const float threshold = cTriggerPadPageOutput::kStackedHeights * preferred.Y;
    const auto pageHeight = [&] { return page->GetRect().yMax - page->GetRect().yMin; };
    ASSERT_GT(pageHeight(), threshold);
    EXPECT_TRUE(page->IsStacked());
    EXPECT_TRUE(Panel()->GetMuteButton()->IsVisible());
    for (int32_t bus = 0; bus < 3; ++bus)
    {
        EXPECT_TRUE(page->GetOutputPanel(bus)->IsVisible());
        EXPECT_FALSE(page->GetBusButton(bus)->IsVisible());
    }

    // Shorter than the threshold.
    const float shorter = pageHeight() - threshold + 20.0f;
    editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, kStatusBarHeight, width, height - kStatusBarHeight - shorter);
    editor->ModifyFlags(kWidgetRectAndLayoutDirty, 0, true);
    Frame(2);
    ASSERT_LE(pageHeight(), threshold);
    EXPECT_FALSE(page->IsStacked());
    EXPECT_FALSE(Panel()->GetMuteButton()->IsVisible());
    const cRect mute = Panel()->GetMuteButton()->GetRect();
    for (int32_t bus = 0; bus < 3; ++bus)
    {
        cWidgetButton* button = page->GetBusButton(bus);
        EXPECT_TRUE(button->IsVisible());
        EXPECT_STREQ(button->GetName(), std::to_string(bus + 1).c_str());
        const cRect rect = button->GetRect();
        EXPECT_TRUE(rect.xMin >= mute.xMin && rect.xMax <= mute.xMax && rect.yMin >= mute.yMin && rect.yMax <= mute.yMax)
            << "bus " << bus << " stands where the mute switch was";
    }
    TapButton(page->GetBusButton(2));
    for (int32_t bus = 0; bus < 3; ++bus)
    {
        EXPECT_EQ(page->GetOutputPanel(bus)->IsVisible(), bus == 2) << bus;
        EXPECT_EQ(page->GetBusButton(bus)->value, bus == 2 ? 1 : 0) << bus;
    }
}

// A length button turns repeat on at its length and the others off;
// pressed again it turns repeat off.
TEST_F(PadPages, AutoBeatLengthsSwitchRepeat)
{
    Open();
    cTriggerPadPanelAutoBeat* autoBeat = AutoBeatOf(Panel());
    const struct
    {
        int32_t button;
        int32_t posted;
    } presses[] = {{1, 1}, {3, 3}, {3, 0}, {6, 6}};
    for (const auto& press : presses)
    {
        TapButton(autoBeat->GetLengthButton(press.button));
        const std::vector<cAudioEvent> events = Events();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_TRUE(Posted(events, kRepeatLength, press.posted));
        for (int32_t index = 1; index <= cTriggerPadPanelAutoBeat::kButtonCount; ++index)
            EXPECT_EQ(autoBeat->GetLengthButton(index)->value, index == press.posted ? 1 : 0) << index;
        EXPECT_STREQ(autoBeat->GetLengthButton(press.button)->GetName(),
                     cTriggerPadPanelAutoBeat::kLengthLabels[press.button]);
    }
}

// The velocity knob's ends give 127 and 10, the lower clamp; entering the
// panel puts it back to 100 / 127 and sends 100.
TEST_F(PadPages, AutoBeatVelocity)
{
    Open();
    cTriggerPadPanelAutoBeat* autoBeat = AutoBeatOf(Panel());
    cWidgetKnob* knob = autoBeat->GetVelocityKnob();
    const cVector2 centre = Centre(knob->GetTouchRect());
    for (const auto& [direction, velocity] : {std::pair{-1.0f, 127}, std::pair{1.0f, 10}})
    {
        Down(1, centre.X, centre.Y);
        for (int step = 1; step <= 60; ++step)
            Move(1, centre.X, centre.Y + direction * float(step) * 8.0f);
        Up(1, centre.X, centre.Y + direction * 480.0f);
        Frame();
        EXPECT_EQ(editor->GetVelocity(), velocity);
        const std::vector<cAudioEvent> events = Events();
        ASSERT_FALSE(events.empty());
        EXPECT_TRUE(Posted({events.back()}, kRepeatVelocity, velocity));
    }
    autoBeat->ModifyFlags(kWidgetStateDirty, 0, false);
    Frame();
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.78740156f);
    EXPECT_EQ(editor->GetVelocity(), 100);
    EXPECT_TRUE(Posted(Events(), kRepeatVelocity, 100));
}

// With "1/16" the lamp lights on every 64th tick of the clock and fades by
// 32 a frame in between; it stays dark with repeat off.
TEST_F(PadPages, AutoBeatLampFlashesOnEveryStep)
{
    cScopedTransport transport;
    gTransport.clock = 0;
    Open();
    cTriggerPadPanelAutoBeat* autoBeat = AutoBeatOf(Panel());
    TapButton(autoBeat->GetLengthButton(5));
    const struct
    {
        int32_t clock;
        int32_t alpha;
    } frames[] = {{10, 0}, {63, 0}, {64, 255}, {70, 223}, {127, 191}, {128, 255}, {1000, 255}, {1000, 223}};
    for (const auto& frame : frames)
    {
        gTransport.clock = frame.clock;
        Frame();
        EXPECT_EQ(autoBeat->GetLampAlpha(), frame.alpha) << frame.clock;
    }
    TapButton(autoBeat->GetLengthButton(5));
    gTransport.clock = 2000;
    Frame();
    EXPECT_EQ(autoBeat->GetLampAlpha(), 0);
}
