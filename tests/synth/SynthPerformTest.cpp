#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "PerformFixture.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/PitchBendPanel.h"
#include "instruments/synth/ui/WidgetXYPad.h"
#include "audio/Transport.h"
#include "platform/DeviceServices.h"
#include "sequencer/Pattern.h"
#include "sequencer/PatternEvent.h"
#include "sequencer/PatternInstance.h"
#include "sequencer/Track.h"
#include "ui/LayoutBuilders.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetPanelScroller.h"

namespace
{
constexpr int32_t kTouch = kAudioEventParamTouch;
constexpr int32_t kLive = kAudioEventModuleParam;

cAudioEvent ControllerEvent(int32_t index, float value)
{
    cAudioEvent event;
    event.type = kAudioEventModuleParam;
    event.wordB = uint32_t(index);
    event.valueF = value;
    return event;
}

float CentreY(const cRect& rect) { return 0.5f * (rect.yMin + rect.yMax); }
float CentreX(const cRect& rect) { return 0.5f * (rect.xMin + rect.xMax); }
} // namespace

// --- The pitch-bend wheel ---

TEST_F(SynthPerform, TheWheelTakesTouchesBesideItAndBracketsEachGesture)
{
    OpenPerform();
    cPitchBendPanel* wheel = Perform()->GetPitchBend();
    const cRect rect = wheel->GetWheelRect();
    const float y = CentreY(rect);

    Down(1, rect.xMin - 10.0f, y);
    EXPECT_TRUE(wheel->IsDragging()) << "10 px beside the wheel is inside its area";
    EXPECT_EQ(Live(Synth().Take()), (std::vector<cLiveEvent>{{kLive, 0, 0, 0.0f}}));
    EXPECT_EQ(Live(sequencer->Take()), (std::vector<cLiveEvent>{{kLive, 0, 0, 0.0f}, {kTouch, 0, 1, 0.0f}}));
    Up(1, rect.xMin - 10.0f, y);
    EXPECT_FALSE(wheel->IsDragging());
    EXPECT_EQ(Live(Synth().Take()), (std::vector<cLiveEvent>{{kLive, 0, 0, 0.0f}})) << "the touch edge is not the module's";
    EXPECT_EQ(Live(sequencer->Take()), (std::vector<cLiveEvent>{{kLive, 0, 0, 0.0f}, {kTouch, 0, 0, 0.0f}}));
    for (const cAudioEvent& event : sequencer->received)
        EXPECT_EQ(event.slot, 3);

    Down(2, rect.xMin - cPitchBendPanel::kHitMargin - 1.0f, y);
    Up(2, rect.xMin - cPitchBendPanel::kHitMargin - 1.0f, y);
    EXPECT_FALSE(wheel->IsDragging());
    EXPECT_TRUE(sequencer->Take().empty()) << "beyond the widened area the wheel is not touched";
}

TEST_F(SynthPerform, DraggingTheWheelBendsClampsAndSendsOnlyRealChanges)
{
    OpenPerform();
    cPitchBendPanel* wheel = Perform()->GetPitchBend();
    const cRect rect = wheel->GetWheelRect();
    const float height = rect.yMax - rect.yMin;
    const float x = CentreX(rect);
    float y = CentreY(rect);
    Down(1, x, y);
    Drain();

    struct cStep
    {
        const char* what;
        float move; // pixels, upward positive
        float value;
        bool sent;
    };
    const cStep steps[] = {
        {"a quarter of the image up", height / 4.0f, 0.5f, true},
        {"a hair more", height * 0.004f, 0.508f, false},
        {"past the step", height * 0.008f, 0.524f, true},
        {"up to the top", height / 4.0f - height * 0.012f, 1.0f, true},
        {"beyond the top", 30.0f, 1.0f, true},
        // The reference stayed where the top was reached.
        {"back below the reference", -30.0f - height / 4.0f, 0.5f, true},
        {"back to the centre", -height / 4.0f + height * 0.002f, 0.004f, true},
    };
    for (const cStep& step : steps)
    {
        SCOPED_TRACE(step.what);
        y -= step.move;
        Move(1, x, y);
        EXPECT_NEAR(wheel->GetValue(), step.value, 1e-3f);
        const std::vector<cAudioEvent> sent = Synth().Take();
        ASSERT_EQ(sent.size(), step.sent ? 1u : 0u);
        if (step.sent)
        {
            EXPECT_NEAR(sent[0].valueF, step.value, 1e-3f);
        }
        EXPECT_EQ(sequencer->Take().size(), step.sent ? 1u : 0u);
    }
    Up(1, x, y);
    EXPECT_FLOAT_EQ(wheel->GetValue(), 0.0f) << "it springs back";
}

TEST_F(SynthPerform, ACancelledWheelSpringsBackAndTellsTheSequencer)
{
    OpenPerform();
    cPitchBendPanel* wheel = Perform()->GetPitchBend();
    const cRect rect = wheel->GetWheelRect();
    Down(1, CentreX(rect), CentreY(rect));
    Move(1, CentreX(rect), CentreY(rect) - (rect.yMax - rect.yMin) / 4.0f);
    Drain();
    editor->CancelInputRecursive(true);
    EXPECT_FALSE(wheel->IsDragging());
    EXPECT_EQ(Live(Synth().Take()), (std::vector<cLiveEvent>{{kLive, 0, 0, 0.0f}}));
    EXPECT_EQ(Live(sequencer->Take()), (std::vector<cLiveEvent>{{kLive, 0, 0, 0.0f}, {kTouch, 0, 0, 0.0f}}));
}

TEST_F(SynthPerform, TheThumbTravelsFlattensAndDarkensWithTheBend)
{
    OpenPerform();
    cPitchBendPanel* wheel = Perform()->GetPitchBend();
    const cRect track = wheel->GetTrackRect();
    wheel->SetValue(0.0f);
    EXPECT_EQ(wheel->GetThumbColour(), 0xffffffffu);
    const cRect rest = wheel->GetThumbRect();
    wheel->SetValue(0.5f);
    EXPECT_EQ(wheel->GetThumbColour(), 0xffafafafu) << "grey 175 at half a bend";
    const cRect bent = wheel->GetThumbRect();
    EXPECT_LT(CentreY(bent), CentreY(rest));
    EXPECT_LT(bent.yMax - bent.yMin, rest.yMax - rest.yMin);
    wheel->SetValue(7.0f);
    EXPECT_FLOAT_EQ(wheel->GetValue(), 1.0f);
    EXPECT_GT(wheel->GetThumbRect().yMin, track.yMin) << "the thumb stays inside the track";
}

// --- The XY pads ---

TEST_F(SynthPerform, APadTakesTouchesJustOutsideItAndClampsItsValues)
{
    OpenPerform();
    cWidgetXYPad* pad = Mod()->GetPad(0);
    const cRect rect = pad->GetPadRect();
    const float mm = MillimetresToPixels(1.0f);

    Down(1, rect.xMin - 2.0f * mm, CentreY(rect));
    EXPECT_FALSE(pad->IsTouching()) << "2 mm outside";
    Up(1, rect.xMin - 2.0f * mm, CentreY(rect));
    Drain();

    Down(1, rect.xMin - 0.5f * mm, CentreY(rect));
    EXPECT_TRUE(pad->IsTouching()) << "0.5 mm outside";
    const std::vector<cLiveEvent> opened = Live(sequencer->Take());
    ASSERT_GE(opened.size(), 2u);
    EXPECT_EQ(opened[0], (cLiveEvent{kTouch, 4, 1, 0.0f}));
    EXPECT_EQ(opened[1], (cLiveEvent{kTouch, 5, 1, 0.0f}));
    Move(1, rect.xMax + 50.0f, rect.yMin - 50.0f);
    EXPECT_FLOAT_EQ(pad->GetX(), 1.0f);
    EXPECT_FLOAT_EQ(pad->GetY(), 1.0f);
    const std::vector<cLiveEvent> moved = Live(Synth().Take());
    EXPECT_EQ(moved.back(), (cLiveEvent{kLive, 0, 5, 1.0f}));
    Up(1, rect.xMax + 50.0f, rect.yMin - 50.0f);
    const std::vector<cLiveEvent> closed = Live(sequencer->Take());
    ASSERT_GE(closed.size(), 2u);
    EXPECT_EQ(closed[closed.size() - 2], (cLiveEvent{kTouch, 4, 0, 0.0f}));
    EXPECT_EQ(closed.back(), (cLiveEvent{kTouch, 5, 0, 0.0f}));
}

TEST_F(SynthPerform, PadMovesAreReportedPastTheirThresholdOrNearTheEnds)
{
    OpenPerform();
    cWidgetXYPad* pad = Mod()->GetPad(1);
    pad->SetXY(0.5f, 0.5f, cWidgetXYPad::kTouchThreshold);
    Drain();
    struct cCase
    {
        float x;
        float threshold;
        bool reported;
    };
    const cCase cases[] = {
        {0.52f, cWidgetXYPad::kTouchThreshold, false}, {0.53f, cWidgetXYPad::kTouchThreshold, true},
        {0.005f, cWidgetXYPad::kTouchThreshold, true}, {0.006f, cWidgetXYPad::kTouchThreshold, true},
        {0.995f, cWidgetXYPad::kTouchThreshold, true}, {0.5f, cWidgetXYPad::kTiltThreshold, true},
        {0.54f, cWidgetXYPad::kTiltThreshold, false},  {0.56f, cWidgetXYPad::kTiltThreshold, true},
        {-3.0f, cWidgetXYPad::kTiltThreshold, true},
    };
    for (const cCase& c : cases)
    {
        pad->SetXY(c.x, 0.5f, c.threshold);
        const std::vector<cLiveEvent> sent = Live(Synth().Take());
        SCOPED_TRACE(c.x);
        ASSERT_EQ(sent.size(), c.reported ? 1u : 0u) << "only X moved";
        if (c.reported)
        {
            EXPECT_EQ(sent[0], (cLiveEvent{kLive, 0, 6, std::clamp(c.x, 0.0f, 1.0f)}));
        }
    }
}

TEST_F(SynthPerform, ACancelledPadEndsXThenYAndItsThumbGrowsWithGlowAndLevel)
{
    OpenPerform();
    cWidgetXYPad* pad = Mod()->GetPad(0);
    const cRect rect = pad->GetPadRect();
    Down(1, CentreX(rect), CentreY(rect));
    Frame();
    const float width = pad->GetRect().xMax - pad->GetRect().xMin;
    EXPECT_FLOAT_EQ(pad->GetGlow(), 1.0f);
    EXPECT_NEAR(pad->GetThumbRect().xMax - pad->GetThumbRect().xMin, (0.3f + 0.8f) * width, 1e-3f);
    EXPECT_EQ(pad->GetThumbColour(), 0xffffffffu);
    pad->level = 0.5f;
    EXPECT_NEAR(pad->GetThumbRect().xMax - pad->GetThumbRect().xMin, (0.3f + 0.8f) * width * 1.5f, 1e-3f);
    Drain();

    editor->CancelInputRecursive(true);
    EXPECT_FALSE(pad->IsTouching());
    EXPECT_EQ(Live(sequencer->Take()), (std::vector<cLiveEvent>{{kTouch, 4, 0, 0.0f}, {kTouch, 5, 0, 0.0f}}));
    Up(1, CentreX(rect), CentreY(rect));
    EXPECT_TRUE(sequencer->Take().empty()) << "the gesture already ended";
    for (int frame = 0; frame < 40; ++frame)
        Frame();
    EXPECT_LT(pad->GetGlow(), 0.02f) << "the glow fades within about 30 frames";
}

TEST_F(SynthPerform, APadOnTheMotionRecordRestsCentredAndTakesNoTouches)
{
    OpenPerform();
    cWidgetLEDCycleButton* accel = Mod()->GetAccel();
    ClickCentre(accel);
    ClickCentre(accel);
    ASSERT_EQ(accel->value, 2);
    Frame();
    cWidgetXYPad* pad = Mod()->GetPad(1);
    EXPECT_TRUE(pad->IsTiltMode());
    EXPECT_FLOAT_EQ(pad->GetX(), 0.5f) << "no motion record on this platform";
    EXPECT_FLOAT_EQ(pad->GetY(), 0.5f);
    Drain();
    const cRect rect = pad->GetPadRect();
    Down(1, rect.xMin + 5.0f, rect.yMax - 5.0f);
    Up(1, rect.xMin + 5.0f, rect.yMax - 5.0f);
    EXPECT_FALSE(pad->IsTouching());
    EXPECT_FLOAT_EQ(pad->GetX(), 0.5f);

    // The maths, with a record that moves.
    {
        cDeviceMotion motion;
        motion.motion[0] = 0.25f;
        motion.motion[1] = 0.125f;
        Frame();
        EXPECT_FLOAT_EQ(pad->GetX(), 0.75f);
        EXPECT_FLOAT_EQ(pad->GetY(), 0.375f);
    }
    EXPECT_FALSE(Mod()->GetPad(0)->IsTiltMode());
}

// --- The performance controls panel ---

TEST(SynthModRouting, CaptionsNameTheDestinationAndItsParameter)
{
    struct cCase
    {
        cModMatrixRow row;
        const char* caption;
    };
    const cCase cases[] = {
        {{cModMatrix::kDestOff, 0, 100}, "UNUSED"},
        {{cModMatrix::kDestFilter, 0, 100}, "Filter Cutoff"},
        {{cModMatrix::kDestFilter, 7, 100}, "Filter "},
        {{cModMatrix::kDestSendFX, 0, 100}, "Send FX Send 1"},
        {{99, 0, 100}, " "},
    };
    for (const cCase& c : cases)
    {
        cGenStringFixed<64> text;
        FormatModRouting(text, c.row);
        EXPECT_STREQ(text.CStr(), c.caption) << c.row.Dest << " " << c.row.Par;
    }
}

TEST_F(SynthPerform, ControlsAreCaptionedWithTheirRoutingsInSingleModeOnly)
{
    OpenPerform();
    cAnalogueSynthPanelMod* mod = Mod();
    EXPECT_TRUE(mod->IsSingleMode());
    EXPECT_STREQ(mod->GetPad(0)->xCaption.CStr(), "Filter Cutoff");
    EXPECT_STREQ(mod->GetPad(0)->yCaption.CStr(), "Filter Q");
    EXPECT_STREQ(mod->GetPad(1)->xCaption.CStr(), "LFO 4 Amount");
    EXPECT_STREQ(mod->GetPad(1)->yCaption.CStr(), "LFO 4 Rate");
    EXPECT_STREQ(mod->GetKnob()->GetName(), "Send FX Send 1");
    EXPECT_STREQ(mod->GetPadTitle(0), "XY PAD 1");

    Synth().PostEvent(MakeSetIntEvent(MakeSynthParamId(kSynthParamMode), 1));
    Synth().Take();
    Frame(2);
    EXPECT_FALSE(mod->IsSingleMode());
    EXPECT_STREQ(mod->GetKnob()->GetName(), "KNOB");
    for (int32_t index = 0; index < 2; ++index)
    {
        EXPECT_STREQ(mod->GetPad(index)->xCaption.CStr(), "");
        EXPECT_STREQ(mod->GetPad(index)->yCaption.CStr(), "");
    }
}

TEST_F(SynthPerform, TheAccelSelectorLightsItsPadAndReachesTheModule)
{
    OpenPerform();
    cWidgetLEDCycleButton* accel = Mod()->GetAccel();
    ClickCentre(accel);
    ClickCentre(accel);
    EXPECT_EQ(accel->GetLitLED(), 1) << "XY2";
    EXPECT_STREQ(accel->GetLEDs()[1].text.CStr(), "XY2");
    EXPECT_STREQ(Mod()->GetPadTitle(1), "XY PAD 2 - ACCEL");
    EXPECT_STREQ(Mod()->GetPadTitle(0), "XY PAD 1");
    std::vector<int32_t> values;
    for (const cAudioEvent& event : Synth().Take())
        if (event.type == kAudioEventSetIntParam && event.wordA == MakeSynthParamId(kSynthParamAccel))
            values.push_back(event.GetIntValue());
    EXPECT_EQ(values, (std::vector<int32_t>{1, 2}));
    // The pad the motion record drives sends its resting place live.
    for (const cLiveEvent& event : Live(sequencer->Take()))
        EXPECT_EQ(event, (cLiveEvent{kLive, 0, event.wordB, 0.5f}));
    EXPECT_EQ(Synth().GetParamInt(MakeSynthParamId(kSynthParamAccel)), 2);
}

TEST_F(SynthPerform, AControllerMovesTheKnobUnlessItIsHeld)
{
    OpenPerform();
    cWidgetKnob* knob = Mod()->GetKnob();
    Synth().PostEvent(ControllerEvent(cAnalogueSynthPanelMod::kParamKnob, 0.25f));
    Drain();
    Frame();
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.25f);

    const cRect rect = knob->GetRect();
    Down(1, CentreX(rect), CentreY(rect));
    ASSERT_TRUE(knob->IsTouching());
    Synth().PostEvent(ControllerEvent(cAnalogueSynthPanelMod::kParamKnob, 0.75f));
    Synth().Take();
    Frame(3);
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.25f) << "held, it stays";
    EXPECT_NE(Synth().GetChangedMask() & (1u << cAnalogueSynthPanelMod::kParamKnob), 0u);
    Up(1, CentreX(rect), CentreY(rect));
    Frame();
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.75f) << "released, it jumps to the latest value";
}

// A pad dragged while the transport records: the sequencer hears the drag
// bracketed by its touches, and the part recorded on the instrument's track
// keeps both of the pad's controllers.
TEST_F(SynthPerform, APadDragWhileRecordingIsBracketedAndLandsInThePart)
{
    OpenPerform();
    sequencer->passOn = true;
    cTrack* track = new cTrack();
    ASSERT_GE(sequencer->InsertTrack(track, instrument->GetSlot(), -1), 0);
    sequencer->SetLoopEnabled(false);
    gTransport.countInBars = 0;
    sequencer->Play(0);
    sequencer->Record();
    ASSERT_EQ(gTransport.state, cTransport::kRecording);
    // Each move a sixteenth after the last, so that the recording keeps them apart.
    const auto advanceASixteenth = [&] {
        const int32_t until = gTransport.position + cTransport::kTicksPerBeat / 4;
        while (gTransport.position < until)
            sequencer->AdvanceBlock(44100, 128);
    };

    cWidgetXYPad* pad = Mod()->GetPad(0);
    const cRect rect = pad->GetPadRect();
    float x = CentreX(rect);
    Down(1, x, CentreY(rect));
    for (int step = 0; step < 5; ++step)
    {
        advanceASixteenth();
        x += 0.1f * (rect.xMax - rect.xMin);
        Move(1, x, CentreY(rect));
    }
    advanceASixteenth();
    Up(1, x, CentreY(rect));
    advanceASixteenth();
    sequencer->Stop();

    const std::vector<cLiveEvent> events = Live(sequencer->Take());
    ASSERT_GE(events.size(), 8u);
    EXPECT_EQ(events[0], (cLiveEvent{kTouch, 4, 1, 0.0f}));
    EXPECT_EQ(events[1], (cLiveEvent{kTouch, 5, 1, 0.0f}));
    for (size_t index = 2; index + 2 < events.size(); ++index)
    {
        EXPECT_EQ(events[index].type, kLive);
        EXPECT_TRUE(events[index].wordB == 4 || events[index].wordB == 5);
    }
    EXPECT_EQ(events[events.size() - 2], (cLiveEvent{kTouch, 4, 0, 0.0f}));
    EXPECT_EQ(events.back(), (cLiveEvent{kTouch, 5, 0, 0.0f}));
    // The module heard the same values as the sequencer.
    EXPECT_EQ(Live(Synth().Take()).size(), events.size() - 4);

    // The part holds the drag: X rising as the finger went right, Y where it stayed.
    ASSERT_NE(track->GetFirstPart(), nullptr);
    std::map<int, std::vector<int32_t>> recorded;
    for (const cPatternEvent* e = track->GetFirstPart()->pattern->head; e; e = e->next)
    {
        ASSERT_TRUE(e->IsController());
        recorded[e->data3].push_back(e->GetControllerValue());
    }
    ASSERT_EQ(recorded.size(), 2u);
    ASSERT_EQ(recorded.count(4), 1u);
    ASSERT_EQ(recorded.count(5), 1u);
    // The touch's value and each of the five moves, a sixteenth apart.
    EXPECT_EQ(recorded[4].size(), 6u);
    EXPECT_TRUE(std::is_sorted(recorded[4].begin(), recorded[4].end()));
    EXPECT_GT(recorded[4].back(), recorded[4].front());
    EXPECT_EQ(recorded[5], (std::vector<int32_t>{16383}));
}

TEST_F(SynthPerform, ThePanelClearsOnlyTheBitsItTakesWhileTheAudioThreadSetsOthers)
{
    OpenPerform();
    cAnalogueSynth& module = Synth();
    module.TakeChangedMask();
    std::atomic<bool> done{false};
    std::thread audio([&] {
        // The bend first, which only the Perform page takes; then a stream
        // of the panel's own controllers.
        module.StoreParamEvent(ControllerEvent(0, 0.5f));
        for (int i = 0; i < 20000; ++i)
            module.StoreParamEvent(ControllerEvent(4 + i % 5, float(i % 100) / 100.0f));
        done.store(true);
    });
    // The Mod panel's own wheel is hidden on the Perform page, so its frames
    // leave the bend alone.
    const uint32_t panelBits = 0x1f0u;
    uint32_t taken = 0;
    while (!done.load())
        taken |= module.TakeChangedBits(panelBits);
    audio.join();
    taken |= module.TakeChangedBits(panelBits);
    EXPECT_EQ(taken, panelBits);
    EXPECT_EQ(module.GetChangedMask() & 1u, 1u) << "the bend set meanwhile is still there";
}

// --- The Perform page ---

TEST_F(SynthPerform, ThePageStepsBetweenItsPerformanceControlsAndItsKeyboard)
{
    OpenPerform();
    cAnalogueSynthPanelPerform* page = Perform();
    EXPECT_STREQ(page->GetCurrentPanelName(), "Mod");
    EXPECT_TRUE(page->IsAtFirstPanel());
    EXPECT_FALSE(page->IsAtLastPanel());
    EXPECT_TRUE(page->ShowPanel("kEyS"));
    EXPECT_EQ(page->GetScroller()->GetCurrentPanel(), static_cast<cWidget*>(page->GetKeyboardPanel()));
    EXPECT_STREQ(page->GetCurrentPanelName(), "Keys");
    EXPECT_FALSE(page->IsAtFirstPanel());
    EXPECT_TRUE(page->IsAtLastPanel());
    EXPECT_FALSE(page->ShowPanel("Osc"));
    EXPECT_STREQ(page->GetCurrentPanelName(), "Keys") << "nothing moves";
    page->StepBack();
    EXPECT_STREQ(page->GetCurrentPanelName(), "Mod");
    page->StepForward();
    EXPECT_STREQ(page->GetCurrentPanelName(), "Keys");
    page->ShowFirstPanel(false);
    EXPECT_EQ(page->GetScroller()->GetCurrentPanel(), static_cast<cWidget*>(page->GetModPanel()));
    page->ShowLastPanel(false);
    EXPECT_EQ(page->GetScroller()->GetCurrentPanel(), static_cast<cWidget*>(page->GetKeyboardPanel()));

    // The editor remembers it by name.
    editor->ShowPanel("keys");
    EXPECT_STREQ(instrument->topPanel.CStr(), "Keys");
    EXPECT_EQ(editor->GetScroller()->GetTargetPanel(), static_cast<cWidget*>(page));
}

TEST_F(SynthPerform, TheWheelFollowsTheModulesBendUnlessHeld)
{
    OpenPerform();
    cPitchBendPanel* wheel = Perform()->GetPitchBend();
    struct cCase
    {
        float bend;
        float shown;
    };
    for (const cCase& c : {cCase{0.25f, 0.25f}, cCase{3.0f, 1.0f}, cCase{-2.0f, -1.0f}, cCase{0.0f, 0.0f}})
    {
        Synth().PostEvent(ControllerEvent(0, c.bend));
        Drain();
        Frame();
        EXPECT_FLOAT_EQ(wheel->GetValue(), c.shown) << c.bend;
    }

    const cRect rect = wheel->GetWheelRect();
    Down(1, CentreX(rect), CentreY(rect));
    Drain();
    Synth().PostEvent(ControllerEvent(0, 0.6f));
    Synth().Take();
    Frame(2);
    EXPECT_FLOAT_EQ(wheel->GetValue(), 0.0f) << "held, the wheel is the user's";
    EXPECT_EQ(Synth().GetChangedMask() & 1u, 1u);
    Synth().PostEvent(ControllerEvent(0, -0.4f));
    Synth().Take();
    Up(1, CentreX(rect), CentreY(rect));
    Frame();
    EXPECT_FLOAT_EQ(wheel->GetValue(), -0.4f) << "the first frame after release shows the latest value";
}
