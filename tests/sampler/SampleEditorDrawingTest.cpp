#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "audio/Transport.h"
#include "render/VertexLayouts.h"
#include "sampler/SampleEditorFixture.h"

namespace
{
constexpr uint32_t kLevelGuide = 0x80808080;
constexpr uint32_t kOutside = 0x82000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

using tLabels = std::vector<std::pair<std::string, float>>;

class SampleEditorDrawingTest : public SampleEditorTest
{
protected:
    SampleEditorDrawingTest()
    {
        mTempo = gTransport.tempo.load();
        mBeatsPerBar = gTransport.beatsPerBar.load();
    }
    ~SampleEditorDrawingTest() override
    {
        gTransport.tempo = mTempo;
        gTransport.beatsPerBar = mBeatsPerBar;
    }

    // The ruler's labels as drawn, each with the x it is centred on (the
    // glyphs land on whole pixels).
    tLabels RulerLabels() const
    {
        tLabels labels;
        for (const cDrawnText& text : Texts())
            if (text.colour == kWhite && text.y >= 32.0f && text.y < kWaveformTop)
                labels.push_back({text.text, std::floor(text.x + 2.5f * float(text.text.size()))});
        return labels;
    }
    // The grid: vertical lines drawn as one list in the waveform's height.
    std::vector<float> GridLines() const
    {
        std::vector<float> xs;
        for (const cCaptureRenderer::cDraw& draw : renderer.draws)
        {
            if (draw.layout != cVertexXYZColour::kFormat.name || draw.primitive != kPrimitiveLines)
                continue;
            for (size_t i = 0; i < draw.vertexCount; i += 2)
                if (draw.Vertex<cVertexXYZColour>(i).colour == kLevelGuide)
                    xs.push_back(draw.Vertex<cVertexXYZColour>(i).x);
        }
        return xs;
    }
    std::vector<cDrawnQuad> QuadsColoured(uint32_t colour) const
    {
        std::vector<cDrawnQuad> found;
        for (const cDrawnQuad& quad : Quads())
            if (quad.colour == colour)
                found.push_back(quad);
        return found;
    }
    void ShowFrames(int32_t start, int32_t length)
    {
        editor->ZoomTo(0.0f, start, length, false);
        ASSERT_EQ(editor->GetViewStart(), start);
        ASSERT_EQ(editor->GetViewLength(), length);
        Frame();
    }

private:
    float mTempo;
    int32_t mBeatsPerBar;
};

TEST_F(SampleEditorDrawingTest, TheTimeRulerLabelsHalfSecondsOverTwoSecondsAndMillisecondsOverATenth)
{
    Edit({16, 1, 44100}, 4 * 44100);
    ShowFrames(0, 2 * 44100);
    EXPECT_EQ(RulerLabels(), (tLabels{{"0.5s", 200.0f}, {"1.0s", 400.0f}, {"1.5s", 600.0f}, {"2.0s", 800.0f}}));
    EXPECT_EQ(GridLines(), (std::vector<float>{0.0f, 200.0f, 400.0f, 600.0f}));
    ShowFrames(0, 4410);
    EXPECT_EQ(RulerLabels(),
              (tLabels{{"20ms", 160.0f}, {"40ms", 320.0f}, {"60ms", 480.0f}, {"80ms", 640.0f}, {"100ms", 800.0f}}));
    // A label within 5 pixels of the waveform's left edge is left out.
    ShowFrames(-22, 2 * 44100);
    EXPECT_EQ(RulerLabels().front().first, "0.5s");
    ShowFrames(-662, 2 * 44100);
    EXPECT_EQ(RulerLabels().front().first, "0.0s");
}

TEST_F(SampleEditorDrawingTest, TheFrameRulerLabelsEverySecondFrameOverSixteen)
{
    Edit({16, 1, 44100}, 1000);
    Pick(editor->GetRulerUnitMenu(), "Frames");
    EXPECT_EQ(editor->GetRulerUnitMenu()->GetSelectedItem(), cSampleEditor::kRulerFrames);
    ShowFrames(0, 16);
    tLabels expected;
    for (int frame = 2; frame <= 16; frame += 2)
        expected.push_back({std::to_string(frame), float(frame) * 50.0f});
    EXPECT_EQ(RulerLabels(), expected);
    // Lines never closer than 15 pixels: the 100-pixel labels' spacing.
    EXPECT_EQ(GridLines().size(), 8u);
    ShowFrames(0, 1000); // every 200 frames
    EXPECT_EQ(RulerLabels().front(), (std::pair<std::string, float>{"200", 160.0f}));
}

// At 120 beats a minute a beat lasts half a second (500 frames at 1000 Hz).
// Beats are labelled while they are 30 pixels wide; then bars, every bar,
// 4, 16 and 64 bars; whatever the time signature, so one beat to the bar
// (which once widened the step by 1 for ever) labels every fourth bar.
TEST_F(SampleEditorDrawingTest, TheBarRulerWidensFromBeatsToBarsByFours)
{
    gTransport.tempo = 120.0f;
    struct cCase
    {
        int32_t beatsPerBar;
        int32_t bars;
        tLabels first; // the first labels after the hidden one at x 0
    };
    const cCase cases[] = {
        {4, 2, {{"1.2", 100.0f}, {"1.3", 200.0f}, {"1.4", 300.0f}, {"2", 400.0f}, {"2.2", 500.0f}}},
        {4, 16, {{"2", 50.0f}, {"3", 100.0f}, {"4", 150.0f}}},
        {4, 64, {{"5", 50.0f}, {"9", 100.0f}, {"13", 150.0f}}},
        {4, 256, {{"17", 50.0f}, {"33", 100.0f}}},
        {4, 1024, {{"65", 50.0f}, {"129", 100.0f}}},
        {3, 16, {{"2", 50.0f}, {"3", 100.0f}}},
        {3, 64, {{"5", 50.0f}, {"9", 100.0f}}},
        {1, 16, {{"2", 50.0f}, {"3", 100.0f}}},
        {1, 64, {{"5", 50.0f}, {"9", 100.0f}}},
        {1, 256, {{"17", 50.0f}, {"33", 100.0f}}},
    };
    for (const cCase& c : cases)
    {
        gTransport.beatsPerBar = c.beatsPerBar;
        const int32_t frames = c.bars * c.beatsPerBar * 500;
        Edit({8, 1, 1000}, frames);
        if (editor->GetRulerUnitMenu()->GetSelectedItem() != cSampleEditor::kRulerBars)
            Pick(editor->GetRulerUnitMenu(), "Bars");
        ShowFrames(0, frames);
        const tLabels labels = RulerLabels();
        ASSERT_GE(labels.size(), c.first.size()) << c.bars << " bars of " << c.beatsPerBar;
        EXPECT_EQ(tLabels(labels.begin(), labels.begin() + long(c.first.size())), c.first)
            << c.bars << " bars of " << c.beatsPerBar;
    }
}

TEST_F(SampleEditorDrawingTest, TheTitleLineDescribesTheSampleOrTheSelection)
{
    struct cCase
    {
        cSampleFormat format;
        int32_t frames;
        const char* title;
    };
    const cCase cases[] = {
        {{16, 2, 44100}, 88200, "'Kick Edit' (344KB, 2.0s, 44.1kHz 2ch)"},
        {{16, 2, 44100}, 441000, "'Kick Edit' (1MB, 10.0s, 44.1kHz 2ch)"},
        {{8, 1, 8000}, 100, "'Kick Edit' (100B, 0.0s, 8.0kHz 1ch)"},
    };
    for (const cCase& c : cases)
    {
        Edit(c.format, c.frames);
        EXPECT_EQ(statusBar.title, c.title);
    }
    Edit({16, 2, 44100}, 88200);
    statusBar.messages.clear();
    editor->GetModel().SetSelection(0, 22050);
    Frame();
    EXPECT_EQ(statusBar.title, "0-22050 (len 22050, 500.0ms)");
    EXPECT_EQ(statusBar.messages, std::vector<std::string>{statusBar.title}) << "it stays in the bar as a message";
    // While a gesture runs, the line says how to use it.
    editor->GetModel().ClearSelection();
    RightDown(400.0f);
    Frame();
    EXPECT_EQ(statusBar.title, "Pinch to Zoom");
    RightUp(400.0f);
    Down(1, 300.0f, kMiddleY);
    Down(2, 500.0f, kMiddleY);
    Up(2, 500.0f, kMiddleY);
    Frame();
    EXPECT_EQ(statusBar.title, "Drag/Pinch to Scroll/Zoom");
    Up(1, 300.0f, kMiddleY);
    Click(editor->GetScrollModeToggle());
    Frame();
    EXPECT_EQ(statusBar.title, "Drag to Scroll/Pinch to Zoom");
}

TEST_F(SampleEditorDrawingTest, DurationsAreSecondsOrMilliseconds)
{
    struct cCase
    {
        int32_t frames;
        const char* text;
    };
    const cCase cases[] = {{44100, "1.00s"}, {22050, "500.0ms"}, {441, "10.0ms"}, {440, "9.98ms"}, {100, "2.27ms"}};
    for (const cCase& c : cases)
    {
        cGenStringFixed<32> text;
        cSampleEditor::FormatDuration(c.frames, 44100, text);
        EXPECT_STREQ(text.CStr(), c.text) << c.frames;
    }
}

// A handle fades in over 16 frames at 60 frames a second, and out again.
TEST_F(SampleEditorDrawingTest, HandlesFadeInAndOutOverSixteenFrames)
{
    Edit({16, 1, 44100}, 1000);
    ShowFrames(0, 1000);
    EXPECT_TRUE(QuadsOf(295).empty());
    LeftDrag(XOf(200), XOf(400));
    for (int frame = 1; frame <= 16; ++frame)
    {
        Frame();
        const std::vector<cDrawnQuad> start = QuadsOf(295), end = QuadsOf(296);
        ASSERT_EQ(start.size(), 1u);
        ASSERT_EQ(end.size(), 1u);
        const uint32_t alpha = uint32_t(std::min(frame * 16, 255));
        EXPECT_EQ(start[0].colour, (alpha << 24) | 0xFFFFFFu) << frame;
        EXPECT_EQ(end[0].colour, start[0].colour);
    }
    EXPECT_EQ(QuadsOf(295)[0].rect.xMax, 390.0f);
    EXPECT_EQ(QuadsOf(296)[0].rect.xMin, 410.0f);
    editor->ResetSelection();
    Frame(15);
    EXPECT_EQ(QuadsOf(295).size(), 1u);
    Frame();
    EXPECT_TRUE(QuadsOf(295).empty());
    EXPECT_TRUE(QuadsOf(296).empty());
}

// Level guides 4 % in from the top and the bottom, at amplitude 1 only;
// the amplitude box says the zoom.
TEST_F(SampleEditorDrawingTest, LevelGuidesShowAtAmplitudeOneOnly)
{
    Edit({16, 1, 44100}, 1000);
    const float inset = (kWaveformBottom - kWaveformTop) * 0.04f;
    const std::vector<cDrawnQuad> guides = QuadsColoured(kLevelGuide);
    ASSERT_EQ(guides.size(), 2u);
    EXPECT_FLOAT_EQ(guides[0].rect.yMin, kWaveformTop + inset);
    EXPECT_FLOAT_EQ(guides[1].rect.yMax, kWaveformBottom - inset);
    EXPECT_EQ(guides[0].rect.xMax - guides[0].rect.xMin, kWaveformWidth);
    EXPECT_TRUE(FindText("x1"));
    Click(editor->GetAmplitudeUpButton());
    Click(editor->GetAmplitudeUpButton());
    Frame();
    EXPECT_TRUE(QuadsColoured(kLevelGuide).empty());
    const std::optional<cDrawnText> box = FindText("x4");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->colour, 0xFF101010u);
}

// The whole-sample view starts 31 frames before frame 0 and ends 31 after
// 1000: both are shaded, with a line at frame 0 and at the end.
TEST_F(SampleEditorDrawingTest, RoomOutsideTheSampleIsShadedAndHasNoWaveform)
{
    Edit({16, 2, 44100}, 1000);
    const std::vector<cDrawnQuad> shaded = QuadsColoured(kOutside);
    ASSERT_EQ(shaded.size(), 2u);
    EXPECT_EQ(shaded[0].rect.xMin, 0.0f);
    EXPECT_EQ(shaded[0].rect.xMax, 23.0f);
    EXPECT_EQ(shaded[1].rect.xMin, 776.0f);
    EXPECT_EQ(shaded[1].rect.xMax, kWaveformWidth);
    const std::vector<cDrawnQuad> ends = QuadsColoured(0xC8BA8400);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[0].rect.xMin, 23.0f);
    EXPECT_EQ(ends[1].rect.xMin, 776.0f);
    const cVertexIntXYColour* overview = editor->GetModel().GetOverview();
    ASSERT_EQ(editor->GetModel().GetColumns(), 800);
    for (int32_t column = 0; column < 23; ++column)
    {
        EXPECT_EQ(overview[column * 2].y, 0) << column;
        EXPECT_EQ(overview[column * 2 + 1].y, 0) << column;
    }
    EXPECT_GT(overview[400 * 2].y, 0);
}

TEST_F(SampleEditorDrawingTest, ThePlayMarkerShowsWhereThePreviewIs)
{
    Edit({16, 1, 44100}, 1000);
    ShowFrames(0, 1000);
    audition.active = true;
    audition.position = 500;
    Frame();
    bool found = false;
    for (const cDrawnQuad& quad : QuadsColoured(kWhite))
        found = found || (quad.rect.xMin == 400.0f && quad.rect.xMax == 401.0f &&
                          quad.rect.yMin == kWaveformTop - 5.0f && quad.rect.yMax == kWaveformBottom);
    EXPECT_TRUE(found);
    audition.position = 2000;
    Frame();
    for (const cDrawnQuad& quad : QuadsColoured(kWhite))
        EXPECT_FALSE(quad.rect.yMin == kWaveformTop - 5.0f) << "no marker outside the view";
}

TEST_F(SampleEditorDrawingTest, WithoutASampleOnlyTheChildrenAreDrawn)
{
    editor->SetSample(nullptr);
    Frame();
    EXPECT_TRUE(QuadsColoured(kLevelGuide).empty());
    EXPECT_TRUE(RulerLabels().empty());
    EXPECT_FALSE(QuadsInside(290).empty()) << "the buttons and menus";
    EXPECT_EQ(statusBar.title, "");
}
} // namespace
