#include <cmath>

#include "support/ControlKit.h"
#include "support/ControlKitValues.h"
#include "ui/ControlFixture.h"
#include "ui/ValueRecorder.h"
#include "ui/WidgetKnob.h"

namespace
{
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kPointerSprite = 65;
constexpr int kTickSprite = 66;
constexpr int kGlowSprite = 223;

// Nine waveforms at fixed angles across the sweep.
const cWidgetKnob::cListEntry kWaves[9] = {
    {0.70f, 100, 0, "Sine"},  {1.31f, 101, 0, "Tri"},  {1.92f, 102, 0, "Saw"},
    {2.53f, 103, 0, "Sqr"},   {3.14f, 104, 0, "Pulse"}, {3.75f, 105, 0, "Noise"},
    {4.36f, 106, 0, "Ramp"},  {4.97f, 107, 0, "Bell"}, {5.58f, 108, 0, "Organ"}};

class WidgetKnobTest : public ControlFixture
{
protected:
    static constexpr float kCentreX = 250.0f;
    static constexpr float kCentreY = 200.0f;

    WidgetKnobTest() { cWidgetKnob::SetValueTextDelegate(texts.Delegate()); }
    ~WidgetKnobTest() override { cWidgetKnob::SetValueTextDelegate(cDelegate()); }

    // An effect knob whose 100 x 100 rect is centred on (250, 200).
    cWidgetKnob* MakeKnob(const cWidgetKnob::cParameter& parameter)
    {
        cWidgetKnob* knob = Place(ControlKit::EffectKnob(parameter, ControlKit::kLightLabel), {200, 150, 300, 250});
        knob->valueDelegate = values.Delegate();
        knob->stepDelegate = recorder.Delegate();
        Frame();
        return knob;
    }
    cWidgetKnob* MakeContinuous(const char* name, uint32_t style)
    {
        return MakeKnob({name, kKnobContinuous, 0, 0, nullptr, 0, style});
    }

    // A press at the centre, then moves upwards by each distance in turn.
    void DragUp(std::initializer_list<float> distances, float x = kCentreX)
    {
        float y = kCentreY;
        Down(1, x, y);
        for (float distance : distances)
        {
            y -= distance;
            Move(1, x, y);
        }
        Up(1, x, y);
    }

    // Presses a second apart, so that no two make a double tap.
    void Down(int32_t id, float x, float y)
    {
        cTouch* touch = input->GetTouchTracker().BeginTouchAt(id, x, y, mClock += 1.0);
        input->DispatchTouch(kTouchDown, touch);
    }

    cRect PointerRect()
    {
        Frame();
        const auto pointers = QuadsOf(kPointerSprite);
        return pointers.empty() ? cRect{0, 0, 0, 0} : pointers[0].rect;
    }

    cFloatRecorder values;
    cTextRecorder texts;

private:
    double mClock = 100.0;
};

TEST_F(WidgetKnobTest, VerticalDragsMoveByTheSensitivityAndSlowMovesOfUpToFourPixels)
{
    struct cCase
    {
        int32_t sensitivity;
        std::initializer_list<float> moves;
        float change;
    };
    const cCase cases[] = {
        {1, {2.0f}, 0.01f},             // 2 x 2 x 0.25 pixels' worth
        {1, {10.0f}, 0.1f},
        {1, {4.0f}, 0.04f},             // still slowed: 4 x 4 x 0.25
        {1, {1.0f, 1.0f, 1.0f}, 0.0075f}, // each slowed to a quarter
        {1, {-10.0f}, -0.1f},
        {0, {10.0f}, 0.07f},
        {2, {10.0f}, 0.13f},
    };
    cWidgetKnob* knob = MakeContinuous("Cutoff", 0);
    for (const cCase& c : cases)
    {
        manager->sensitivity = c.sensitivity;
        knob->SetValue(0.5f);
        values.values.clear();
        DragUp(c.moves);
        EXPECT_NEAR(knob->GetValue(), 0.5f + c.change, 1e-5f) << c.sensitivity << " " << c.change;
        ASSERT_FALSE(values.values.empty());
        EXPECT_FLOAT_EQ(values.values.back(), knob->GetValue());
    }
}

TEST_F(WidgetKnobTest, BipolarKnobHoldsItsCentreUntilTheDragLeavesTheDetent)
{
    cWidgetKnob* knob = MakeContinuous("Pan", kKnobBipolar);
    knob->SetValue(0.5f);
    // 3-pixel moves are slowed to 0.0225 each: the drag value goes 0.5225,
    // 0.545, 0.5675.
    Down(1, kCentreX, kCentreY);
    Move(1, kCentreX, kCentreY - 3);
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.5f);
    EXPECT_THAT(values.values, IsEmpty());
    Move(1, kCentreX, kCentreY - 6);
    EXPECT_NEAR(knob->GetValue(), 0.505f, 1e-5f) << "out of the detent, less its width";
    Move(1, kCentreX, kCentreY - 9);
    EXPECT_NEAR(knob->GetValue(), 0.5275f, 1e-5f);
    Up(1, kCentreX, kCentreY - 9);
    ASSERT_EQ(values.values.size(), 2u);
    EXPECT_NEAR(values.values[0], 0.505f, 1e-5f);
}

TEST_F(WidgetKnobTest, ADoubleTapResetsOnlyABipolarKnobAndReportsTheCentre)
{
    for (uint32_t style : {uint32_t(kKnobBipolar), 0u})
    {
        cWidgetKnob* knob = MakeContinuous("Pan", style);
        knob->SetValue(0.8f);
        values.values.clear();
        texts.texts.clear();
        for (double time : {10.0, 10.1})
        {
            cTouch* touch = input->GetTouchTracker().BeginTouchAt(1, kCentreX, kCentreY, time);
            input->DispatchTouch(kTouchDown, touch);
            Up(1, kCentreX, kCentreY);
        }
        if (style == kKnobBipolar)
        {
            EXPECT_THAT(values.values, ElementsAre(0.5f));
            EXPECT_FLOAT_EQ(knob->GetValue(), 0.5f);
            EXPECT_EQ(texts.texts.back(), "Pan = +0.00");
        }
        else
        {
            EXPECT_THAT(values.values, IsEmpty());
            EXPECT_FLOAT_EQ(knob->GetValue(), 0.8f);
        }
        root->RemoveChild(knob);
    }
}

// Angles grow clockwise from straight down: a finger below the centre is
// at 0, left of it at a quarter turn, above it at a half turn.
TEST_F(WidgetKnobTest, RotaryDragsFollowTheFingerButNeverJumpThroughTheBottomGap)
{
    manager->knobControl = 1;
    cWidgetKnob* knob = MakeContinuous("Drive", 0);
    Down(1, kCentreX - 30, kCentreY + 30); // lower left, below the start of the sweep
    Move(1, kCentreX, kCentreY + 40);      // straight down: clamped to the start
    Move(1, kCentreX + 30, kCentreY + 30); // lower right: through the gap
    EXPECT_THAT(values.values, IsEmpty());
    EXPECT_FLOAT_EQ(knob->GetValue(), 0.0f);
    Move(1, kCentreX, kCentreY - 40); // the top: half-way
    ASSERT_EQ(values.values.size(), 1u);
    EXPECT_NEAR(values.values[0], 0.5f, 1e-4f);
    Up(1, kCentreX, kCentreY - 40);

    knob->SetValue(1.0f);
    values.values.clear();
    Down(1, kCentreX + 30, kCentreY + 30);
    Move(1, kCentreX - 30, kCentreY + 30);
    Up(1, kCentreX - 30, kCentreY + 30);
    EXPECT_THAT(values.values, IsEmpty()) << "from the maximum back through the gap";
    EXPECT_FLOAT_EQ(knob->GetValue(), 1.0f);
}

TEST_F(WidgetKnobTest, ValueListKnobReachesItsNextEntryAfterSixPixelsThenEveryElevenOrSo)
{
    cWidgetKnob* knob = MakeKnob({"Wave", kKnobValueList, 0, 0, kWaves, 9, 0});
    std::vector<int> stepPixels;
    Down(1, kCentreX, kCentreY);
    for (int pixel = 1; pixel <= 40; ++pixel)
    {
        const size_t before = recorder.calls.size();
        Move(1, kCentreX, kCentreY - float(pixel));
        if (recorder.calls.size() != before)
            stepPixels.push_back(pixel);
    }
    Up(1, kCentreX, kCentreY - 40);
    EXPECT_THAT(stepPixels, ElementsAre(6, 17, 28, 39));
    EXPECT_THAT(recorder.Values(), ElementsAre(101, 102, 103, 104));
    EXPECT_EQ(knob->GetIntValue(), 104);
    EXPECT_EQ(texts.texts.back(), "Wave = Pulse");

    manager->knobControl = 1;
    recorder.calls.clear();
    DragUp({0.0f}, kCentreX - 30); // left: a quarter turn, nearest Tri at 1.31
    EXPECT_THAT(recorder.Values(), ElementsAre(101));
}

TEST_F(WidgetKnobTest, IntegerKnobsDragInWholeStepsAndRotateByFraction)
{
    cWidgetKnob* knob = MakeKnob({"Voices", kKnobInteger, 1, 8, nullptr, 0, 0});
    knob->SetIntValue(1);
    DragUp({10.0f, 10.0f, 10.0f}); // 0.3 of 7 steps: 2.1 + 0.5
    EXPECT_THAT(recorder.Values(), ElementsAre(2, 3));
    EXPECT_EQ(texts.texts.back(), "Voices = 3");
    knob->SetIntValue(20);
    EXPECT_EQ(knob->GetIntValue(), 8) << "clamped into the range";
}

TEST_F(WidgetKnobTest, ValueTextsNameTheKnobAndItsValueAndCodeReportsNothing)
{
    static const cWidgetKnob::cListEntry kShapes[2] = {{1.0f, 7, 0, "Saw"}, {2.0f, 9, 0, "Square"}};
    struct cCase
    {
        cWidgetKnob::cParameter parameter;
        float value;
        int32_t intValue;
        const char* text;
    };
    const cCase cases[] = {
        {{"Pan", kKnobContinuous, 0, 0, nullptr, 0, kKnobBipolar}, 0.75f, 0, "Pan = +0.50"},
        {{"Pan", kKnobContinuous, 0, 0, nullptr, 0, kKnobBipolar}, 0.25f, 0, "Pan = -0.50"},
        {{"Cutoff", kKnobContinuous, 0, 0, nullptr, 0, 0}, 0.25f, 0, "Cutoff = 0.25"},
        {{"Steps", kKnobInteger, 0, 16, nullptr, 0, 0}, 0.0f, 5, "Steps = 5"},
        {{"Shape", kKnobValueList, 0, 0, kShapes, 2, 0}, 0.0f, 9, "Shape = Square"},
    };
    for (const cCase& c : cases)
    {
        cWidgetKnob* knob = MakeKnob(c.parameter);
        if (c.parameter.kind == kKnobContinuous)
            knob->SetValue(c.value);
        else
            knob->SetIntValue(c.intValue);
        EXPECT_THAT(values.values, IsEmpty()) << c.text;
        EXPECT_THAT(recorder.calls, IsEmpty()) << c.text;
        EXPECT_THAT(texts.texts, IsEmpty()) << c.text;
        Down(1, kCentreX, kCentreY);
        Up(1, kCentreX, kCentreY);
        ASSERT_FALSE(texts.texts.empty()) << c.text;
        EXPECT_EQ(texts.texts.back(), c.text);
        texts.texts.clear();
        root->RemoveChild(knob);
    }

    cWidgetKnob* quiet = MakeContinuous("Quiet", kKnobNoValueText);
    std::vector<int32_t> touches;
    struct cTouchReader
    {
        void OnTouch(int32_t state, cWidget*) { log->push_back(state); }
        std::vector<int32_t>* log;
    } reader{&touches};
    quiet->touchDelegate = cDelegate(&reader, &cTouchReader::OnTouch);
    DragUp({10.0f});
    EXPECT_THAT(texts.texts, IsEmpty()) << "no value text with style 0x10";
    EXPECT_EQ(values.values.size(), 1u) << "but the delegates are called";
    EXPECT_THAT(touches, ElementsAre(1, 0));
}

// The pointer of a knob at the start of its sweep, drawn at the same place,
// is what a knob without a range or entries must show.
TEST_F(WidgetKnobTest, KnobsWithoutARangeOrEntriesRestAtTheStartAndReportNothingBroken)
{
    cWidgetKnob* reference = MakeContinuous("Ref", 0);
    const cRect startRect = PointerRect();
    root->RemoveChild(reference);

    cWidgetKnob* single = MakeKnob({"One", kKnobInteger, 5, 5, nullptr, 0, 0});
    const cRect singleRect = PointerRect();
    EXPECT_FLOAT_EQ(singleRect.xMin, startRect.xMin);
    EXPECT_FLOAT_EQ(singleRect.yMax, startRect.yMax);
    DragUp({10.0f, 10.0f});
    EXPECT_THAT(recorder.Values(), ElementsAre(5)) << "always the minimum";
    manager->knobControl = 1;
    DragUp({0.0f}, kCentreX - 30);
    EXPECT_THAT(recorder.Values(), ElementsAre(5));
    manager->knobControl = 0;
    root->RemoveChild(single);

    static const cWidgetKnob::cListEntry kUnnamed[2] = {{1.0f, 3, 0, nullptr}, {2.0f, 4, 0, "B"}};
    for (const cWidgetKnob::cListEntry* entries : {static_cast<const cWidgetKnob::cListEntry*>(nullptr), kUnnamed})
    {
        recorder.calls.clear();
        texts.texts.clear();
        cWidgetKnob* list = MakeKnob({"Empty", kKnobValueList, 0, 0, entries, 0, 0});
        EXPECT_FLOAT_EQ(PointerRect().xMin, startRect.xMin);
        EXPECT_EQ(list->GetIntValue(), 0);
        DragUp({10.0f, 10.0f});
        manager->knobControl = 1;
        DragUp({0.0f}, kCentreX - 30);
        manager->knobControl = 0;
        EXPECT_THAT(recorder.calls, IsEmpty());
        EXPECT_EQ(texts.texts.back(), "Empty = ");
        root->RemoveChild(list);
    }

    cWidgetKnob* unnamed = MakeKnob({"Wave", kKnobValueList, 0, 0, kUnnamed, 2, 0});
    Frame();
    DragUp({0.0f});
    EXPECT_EQ(texts.texts.back(), "Wave = ") << "a null label reads as empty";
    EXPECT_EQ(unnamed->GetIntValue(), 3);

    unnamed->SetIntValue(4);
    unnamed->SetValueList(kUnnamed, 1);
    EXPECT_EQ(unnamed->GetIntValue(), 3) << "an index past a shorter list is brought into it";
}

TEST_F(WidgetKnobTest, TheGlowFadesInOverThreeFramesAndOutOverSix)
{
    MakeContinuous("Glow", 0);
    auto glowAlpha = [&]
    {
        Frame();
        const auto glows = QuadsOf(kGlowSprite);
        return glows.empty() ? 0u : glows[0].colour >> 24;
    };
    Down(1, kCentreX, kCentreY);
    std::vector<uint32_t> alphas;
    for (int frame = 0; frame < 4; ++frame)
        alphas.push_back(glowAlpha());
    Up(1, kCentreX, kCentreY);
    for (int frame = 0; frame < 7; ++frame)
        alphas.push_back(glowAlpha());
    // Full level 200 (0xc8): up by 66 a frame, down by 33.
    EXPECT_THAT(alphas, ElementsAre(66, 132, 198, 200, 167, 134, 101, 68, 35, 2, 0));
    EXPECT_EQ(QuadsOf(kGlowSprite).size(), 0u);
}

TEST_F(WidgetKnobTest, BipolarKnobsMarkTheTopAndListKnobsEveryEntry)
{
    MakeContinuous("Pan", kKnobBipolar | kKnobLettersLR);
    Frame();
    ASSERT_EQ(QuadsOf(kTickSprite).size(), 1u);
    const cRect tick = QuadsOf(kTickSprite)[0].rect;
    EXPECT_FLOAT_EQ((tick.xMin + tick.xMax) * 0.5f, kCentreX);
    EXPECT_LT(tick.yMax, kCentreY - 24.0f) << "above the body";
    ASSERT_TRUE(FindText("L"));
    ASSERT_TRUE(FindText("R"));
    EXPECT_LT(FindText("L")->x, kCentreX);
    EXPECT_GT(FindText("R")->x, kCentreX);
    ASSERT_TRUE(FindText("Pan"));
    EXPECT_LT(FindText("Pan")->y, 176.0f) << "the caption sits above the body";

    root->RemoveAllChildren();
    MakeKnob({"Wave", kKnobValueList, 0, 0, kWaves, 9, 0});
    Frame();
    EXPECT_EQ(QuadsOf(kTickSprite).size(), 9u);
    for (const cWidgetKnob::cListEntry& entry : kWaves)
        EXPECT_TRUE(FindText(entry.label)) << entry.label;
}

TEST_F(WidgetKnobTest, CancellingEndsTheTouchWithoutChangingTheValue)
{
    cWidgetKnob* knob = MakeContinuous("Cutoff", 0);
    std::vector<int32_t> touches;
    struct cTouchReader
    {
        void OnTouch(int32_t state, cWidget*) { log->push_back(state); }
        std::vector<int32_t>* log;
    } reader{&touches};
    knob->touchDelegate = cDelegate(&reader, &cTouchReader::OnTouch);
    Down(1, kCentreX, kCentreY);
    Move(1, kCentreX, kCentreY - 10);
    root->HandleCancel(0, 0);
    EXPECT_FALSE(knob->IsTouching());
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    Move(1, kCentreX, kCentreY - 30);
    Up(1, kCentreX, kCentreY - 30);
    EXPECT_THAT(touches, ElementsAre(1, 0));
    EXPECT_NEAR(knob->GetValue(), 0.1f, 1e-5f);
}
} // namespace
