#include <cmath>
#include <string>
#include <vector>

#include "sampler/SampleEditorFixture.h"

namespace
{
constexpr cSampleFormat kMono16 = {16, 1, 44100};

// The handles rest at the waveform's bottom centre (x 400): the start
// handle's right edge 10 pixels left of it, the end handle's left edge 10
// right, both 4 pixels above the bottom.
constexpr float kStartHandleX = 380.0f;
constexpr float kEndHandleX = 420.0f;
constexpr float kHandleY = 540.0f;

class SampleEditorViewTest : public SampleEditorTest
{
protected:
    // A view of exactly 1000 frames from frame 0: a frame is 0.8 pixels.
    void ShowThousandFrames(int32_t from = 0)
    {
        editor->ZoomTo(0.0f, from, 1000, false);
        ASSERT_EQ(editor->GetViewStart(), from);
        ASSERT_EQ(editor->GetViewLength(), 1000);
    }
    void Select(int32_t from, int32_t to)
    {
        LeftDrag(XOf(from), XOf(to));
        ASSERT_EQ(editor->GetModel().GetSelectionStart(), std::min(from, to));
        ASSERT_EQ(editor->GetModel().GetSelectionEnd(), std::max(from, to));
    }
    int32_t SelectionStart() const { return editor->GetModel().GetSelectionStart(); }
    int32_t SelectionEnd() const { return editor->GetModel().GetSelectionEnd(); }
};

TEST_F(SampleEditorViewTest, ANewSampleIsShownWholeWithALittleRoomAtBothEnds)
{
    Edit(kMono16, 1000);
    EXPECT_EQ(editor->GetViewStart(), -31);
    EXPECT_EQ(editor->GetViewLength(), 1062);
    EXPECT_EQ(editor->GetMinimumStart(), -33);
    EXPECT_EQ(editor->GetMaximumEnd(), 1033);
    cWidgetScrollBar* bar = editor->GetScrollBar();
    EXPECT_EQ(bar->GetMinimum(), -33.0f);
    EXPECT_EQ(bar->GetMaximum(), 1033.0f);
    EXPECT_EQ(bar->GetWindowStart(), -31.0f);
    EXPECT_EQ(bar->GetWindowEnd(), 1031.0f);
    EXPECT_EQ(editor->GetAmplitudeZoom(), 1);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
}

// The view never gets shorter than 16 frames, longer than the sample and
// its margins, or reaches further out than a thirty-second of its length.
TEST_F(SampleEditorViewTest, TheViewKeepsItsLeastLengthAndItsLimits)
{
    Edit(kMono16, 1000);
    struct cCase
    {
        float margin;
        int32_t start, length;
        int32_t wantStart, wantLength;
    };
    const cCase cases[] = {
        {0.0f, 100, 5, 94, 16},        // the least length, about the asked centre
        {0.0f, -500, 16, 0, 16},       // no room before 0 at 16 frames
        {0.0f, 5000, 16, 984, 16},     // nor after the end
        {0.0f, -500, 640, -20, 640},   // a twentieth of 640 before 0
        {0.0f, 0, 100000, -29, 1062},  // the whole sample and its margins at most
        {0.1f, 400, 200, 380, 240},    // a tenth of margin either side
    };
    for (const cCase& c : cases)
    {
        editor->ZoomTo(c.margin, c.start, c.length, false);
        EXPECT_EQ(editor->GetViewStart(), c.wantStart) << c.start << " + " << c.length;
        EXPECT_EQ(editor->GetViewLength(), c.wantLength) << c.start << " + " << c.length;
        EXPECT_GE(editor->GetViewStart(), -(editor->GetViewLength() / 32));
        EXPECT_LE(editor->GetViewStart() + editor->GetViewLength(), 1000 + editor->GetViewLength() / 32);
    }
    // Zooming out with "-" stops at the widest view.
    editor->ZoomTo(0.0f, 0, 16, false);
    for (int i = 0; i < 10; ++i)
    {
        Click(editor->GetZoomOutButton());
        Frame(12);
    }
    EXPECT_EQ(editor->GetViewLength(), 1062);
    EXPECT_GE(editor->GetViewStart(), -33);
    EXPECT_LE(editor->GetViewStart() + editor->GetViewLength(), 1033);
}

// Half the remaining length a frame (1046, 523, 262, ... 2, 1 remaining),
// the last step a jump on the twelfth frame; the scroll bar shows each step.
TEST_F(SampleEditorViewTest, ZoomingToTheWholeSampleAnimatesAndArrivesOnTheTwelfthFrame)
{
    Edit(kMono16, 1000);
    editor->ZoomTo(0.0f, 0, 16, false);
    Pick(editor->GetZoomMenu(), "All");
    EXPECT_EQ(statusBar.messages.back(), "Zoom All");
    EXPECT_EQ(editor->GetTargetLength(), 1062);
    EXPECT_EQ(editor->GetTargetStart(), -31);
    const int32_t remaining[] = {523, 262, 131, 66, 33, 17, 9, 5, 3, 2, 1, 0};
    cWidgetScrollBar* bar = editor->GetScrollBar();
    for (int32_t left : remaining)
    {
        Frame();
        EXPECT_EQ(editor->GetViewLength(), 1062 - left);
        EXPECT_EQ(bar->GetWindowStart(), float(editor->GetViewStart()));
        EXPECT_EQ(bar->GetWindowEnd() - bar->GetWindowStart(), float(editor->GetViewLength()));
    }
    EXPECT_EQ(editor->GetViewStart(), -31);
}

TEST_F(SampleEditorViewTest, ZoomButtonsHalveOrDoubleAboutTheCentreOrTheSelectionEdgeUsedLast)
{
    Edit(kMono16, 1000);
    struct cCase
    {
        const char* what;
        bool select;
        float handleX; // 0: none tapped
        int32_t wantStart;
    };
    // The selection 200..400; zoomed in to 500 frames about frame 500, its
    // middle (300), its start (200) held at the limit, or its end (400).
    const cCase cases[] = {
        {"no selection: the view's centre", false, 0.0f, 250},
        {"a selection: its middle", true, 0.0f, 50},
        {"the start handle last: the start", true, kStartHandleX, -15},
        {"the end handle last: the end", true, kEndHandleX, 150},
    };
    for (const cCase& c : cases)
    {
        ShowThousandFrames();
        editor->ResetSelection();
        if (c.select)
            Select(200, 400);
        if (c.handleX > 0.0f)
            LeftClick(c.handleX, kHandleY);
        Click(editor->GetZoomInButton());
        Frame(12);
        EXPECT_EQ(editor->GetViewLength(), 500) << c.what;
        EXPECT_EQ(editor->GetViewStart(), c.wantStart) << c.what;
    }
    Click(editor->GetZoomOutButton());
    Frame(12);
    EXPECT_EQ(editor->GetViewLength(), 1000);
}

TEST_F(SampleEditorViewTest, ASelectionIsDrawnEitherWayFromWhereTheFingerWentDown)
{
    Edit(kMono16, 1000);
    ShowThousandFrames();
    Select(200, 600);
    Select(600, 200);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
    // A finger going down collapses the selection to a cursor there.
    LeftDown(XOf(500));
    EXPECT_EQ(SelectionStart(), 500);
    EXPECT_EQ(SelectionEnd(), 500);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeSelect);
    LeftUp(XOf(500));
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
    EXPECT_FALSE(editor->GetDeleteButton()->IsVisible());
}

// The right button is two fingers mirrored about its press: the second one
// brings back the selection the first just collapsed and starts a pinch,
// which zooms only once the fingers have been more than 60 pixels apart.
TEST_F(SampleEditorViewTest, ARightButtonPinchRestoresTheSelectionAndZoomsPastSixtyPixels)
{
    Edit(kMono16, 1000);
    ShowThousandFrames();
    Select(100, 200);
    RightDown(400.0f);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModePinch);
    EXPECT_EQ(SelectionStart(), 100);
    EXPECT_EQ(SelectionEnd(), 200);
    MouseMove(420.0f); // 40 pixels apart
    EXPECT_EQ(editor->GetViewStart(), 0);
    EXPECT_EQ(editor->GetViewLength(), 1000);
    // The mirrored finger moves second: the pinch starts when the first is
    // at 450 and the second still at 380, spanning frames 475..562 (87
    // frames about 518), which then stay under the fingers' middle.
    MouseMove(450.0f); // 100 apart
    EXPECT_EQ(editor->GetViewLength(), 600);
    EXPECT_EQ(editor->GetViewStart(), 170);
    MouseMove(500.0f); // 200 apart
    EXPECT_EQ(editor->GetViewLength(), 300);
    EXPECT_EQ(editor->GetViewStart(), 344);
    // Back inside 60 pixels the pinch holds at its closest.
    MouseMove(410.0f);
    EXPECT_EQ(editor->GetViewLength(), 1000);
    RightUp(410.0f);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
    EXPECT_EQ(SelectionStart(), 100);
    EXPECT_EQ(SelectionEnd(), 200);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
}

TEST_F(SampleEditorViewTest, AThirdFingerIsIgnoredWhilePinching)
{
    Edit(kMono16, 1000);
    ShowThousandFrames();
    Down(1, 300.0f, kMiddleY);
    Down(2, 500.0f, kMiddleY);
    ASSERT_EQ(editor->GetMode(), cSampleEditor::kModePinch);
    Down(3, 100.0f, kMiddleY);
    Move(3, 700.0f, kMiddleY);
    Up(3, 700.0f, kMiddleY);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModePinch);
    EXPECT_EQ(editor->GetViewLength(), 1000);
    Up(2, 500.0f, kMiddleY);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeDragScroll);
    Up(1, 300.0f, kMiddleY);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
}

// With scroll mode on a drag moves the view; let go at speed it glides on,
// losing a tenth of its speed a frame, and stops below a pixel's worth.
TEST_F(SampleEditorViewTest, AReleasedDragScrollGlidesLosingATenthAFrame)
{
    Edit(kMono16, 10000);
    ShowThousandFrames(1000);
    Click(editor->GetScrollModeToggle());
    ASSERT_EQ(editor->GetScrollModeToggle()->value, 1);
    LeftDown(400.0f);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeDragScroll);
    Frame();
    MouseMove(380.0f); // 20 pixels: 25 frames later
    EXPECT_EQ(editor->GetViewStart(), 1025);
    Frame();
    EXPECT_FLOAT_EQ(editor->GetFlingVelocity(), 25.0f);
    LeftUp(380.0f);
    int32_t start = 1025;
    float velocity = 25.0f;
    while (std::fabs(velocity) > 1000.0f / 800.0f)
    {
        velocity *= 0.9f;
        start = int32_t(double(start) + velocity);
        Frame();
        ASSERT_EQ(editor->GetViewStart(), start);
        EXPECT_EQ(editor->GetScrollBar()->GetWindowStart(), float(start));
    }
    Frame(3);
    EXPECT_EQ(editor->GetViewStart(), start);
    EXPECT_EQ(editor->GetFlingVelocity(), 0.0f);
}

// The fingers of a pinch part in a jerk: the drag that follows it measures
// no speed for four frames, so a release then does not glide.
TEST_F(SampleEditorViewTest, ADragThatContinuesAPinchMeasuresNoSpeedForFourFrames)
{
    for (int frames : {4, 5})
    {
        Edit(kMono16, 10000);
        ShowThousandFrames(1000);
        editor->GetScrollModeToggle()->value = 1;
        Down(1, 400.0f, kMiddleY);
        Down(2, 200.0f, kMiddleY);
        ASSERT_EQ(editor->GetMode(), cSampleEditor::kModePinch);
        Frame();
        Up(2, 200.0f, kMiddleY);
        ASSERT_EQ(editor->GetMode(), cSampleEditor::kModeDragScroll);
        for (int i = 1; i <= frames; ++i)
        {
            Move(1, 400.0f - 20.0f * float(i), kMiddleY);
            Frame();
        }
        Up(1, 400.0f - 20.0f * float(frames), kMiddleY);
        const int32_t released = editor->GetViewStart();
        Frame();
        if (frames == 4)
            EXPECT_EQ(editor->GetViewStart(), released) << "no glide after four frames";
        else
            EXPECT_GT(editor->GetViewStart(), released) << "the fifth frame measures";
    }
}

// The handles move the selection's edges by the frames dragged; an edge held
// at a limit follows back as soon as the finger turns.
TEST_F(SampleEditorViewTest, TheEndHandleStopsAtTheEditedLengthAndFollowsBackAtOnce)
{
    Edit(kMono16, 1000);
    ShowThousandFrames();
    Select(400, 600);
    ASSERT_TRUE(editor->IsHandleVisible(1));
    LeftDown(kEndHandleX, kHandleY); // frame 525
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeEndHandle);
    EXPECT_FALSE(editor->IsHandleVisible(0));
    MouseMove(700.0f, kHandleY); // frame 875: 350 on
    EXPECT_EQ(SelectionEnd(), 950);
    EXPECT_EQ(editor->GetHandleRect(1).xMin, 410.0f + 280.0f);
    MouseMove(790.0f, kHandleY);
    EXPECT_EQ(SelectionEnd(), 1000);
    MouseMove(760.0f, kHandleY); // 37 frames back
    EXPECT_EQ(SelectionEnd(), 963);
    LeftUp(760.0f, kHandleY);
    EXPECT_EQ(SelectionStart(), 400);
    EXPECT_EQ(editor->GetLastHandle(), cSampleEditor::kHandleEnd);
    EXPECT_EQ(editor->GetHandleRect(1).xMin, 410.0f) << "back at rest";
    // The start handle likewise stops at 0.
    LeftDown(kStartHandleX, kHandleY);
    MouseMove(0.0f, kHandleY);
    EXPECT_EQ(SelectionStart(), 0);
    MouseMove(50.0f, kHandleY);
    EXPECT_EQ(SelectionStart(), 62);
    LeftUp(50.0f, kHandleY);
    EXPECT_EQ(editor->GetLastHandle(), cSampleEditor::kHandleStart);
}

// Within 30 pixels of an end the view scrolls by up to 5 % of its length
// a frame, and the selection follows the finger's new frame.
TEST_F(SampleEditorViewTest, ASelectionDragNearAnEndScrollsTheView)
{
    struct cCase
    {
        float x;
        int32_t step;
    };
    const cCase cases[] = {{400.0f, 0}, {785.0f, 25}, {790.0f, 33}, {800.0f, 50}, {10.0f, -33}, {0.0f, -50}};
    for (const cCase& c : cases)
    {
        Edit(kMono16, 10000);
        ShowThousandFrames(4000);
        LeftDown(XOf(4500));
        MouseMove(c.x);
        for (int frame = 1; frame <= 3; ++frame)
        {
            Frame();
            EXPECT_EQ(editor->GetViewStart(), 4000 + frame * c.step) << "x " << c.x;
        }
        const int32_t touched = editor->XToFrame({c.x, kMiddleY});
        EXPECT_EQ(SelectionStart(), std::min(4500, touched)) << "x " << c.x;
        EXPECT_EQ(SelectionEnd(), std::max(4500, touched)) << "x " << c.x;
        LeftUp(c.x);
    }
}

// A handle held at the end of a view that can scroll no further still moves
// its edge on, a little each frame.
TEST_F(SampleEditorViewTest, AHandleHeldAtTheEndOfAViewThatCannotScrollKeepsMoving)
{
    Edit(kMono16, 1000);
    editor->ZoomTo(0.0f, 600, 500, false);
    ASSERT_EQ(editor->GetViewStart(), 515) << "the latest start";
    Select(600, 700);
    LeftDown(kEndHandleX, kHandleY); // frame 777
    MouseMove(800.0f, kHandleY);     // frame 1015
    EXPECT_EQ(SelectionEnd(), 938);
    Frame();
    EXPECT_EQ(editor->GetViewStart(), 515);
    EXPECT_EQ(SelectionEnd(), 945);
    Frame(4);
    EXPECT_EQ(SelectionEnd(), 973);
    LeftUp(800.0f, kHandleY);
}

TEST_F(SampleEditorViewTest, TouchesOffTheWaveformWhileIdleReachWhatLiesBeneath)
{
    cProbeWidget* beneath = AddProbe(root, "beneath", {0.0f, 32.0f, 800.0f, 52.0f});
    root->LowerChild(beneath);
    Edit(kMono16, 1000);
    LeftClick(300.0f, 40.0f); // on the ruler
    EXPECT_EQ(beneath->touches.size(), 2u);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
}

TEST_F(SampleEditorViewTest, ACancelledGestureReturnsToIdle)
{
    Edit(kMono16, 1000);
    ShowThousandFrames();
    LeftDown(XOf(300));
    MouseMove(XOf(500));
    ASSERT_EQ(editor->GetMode(), cSampleEditor::kModeSelect);
    editor->CancelInputRecursive(true);
    EXPECT_EQ(editor->GetMode(), cSampleEditor::kModeIdle);
    EXPECT_EQ(manager->GetCaptureCount(), 0);
    MouseMove(XOf(700));
    LeftUp(XOf(700));
    EXPECT_EQ(SelectionEnd(), 500);
}

// The preview follows the selection once a gesture ends; without one it
// plays the whole edited sample on from the cursor.
TEST_F(SampleEditorViewTest, EndingAGestureKeepsThePreviewOnTheSelection)
{
    Edit(kMono16, 1000);
    ShowThousandFrames();
    audition.active = true;
    Select(200, 600);
    LeftClick(XOf(500), kMiddleY);
    const std::vector<std::string> expected = {"range 200..600", "range 0..1000", "position 500"};
    EXPECT_EQ(audition.calls, expected);
}
} // namespace
