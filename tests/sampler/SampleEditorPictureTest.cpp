#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "base/RefCount.h"
#include "platform/MouseTouchTranslator.h"
#include "sampler/SampleEditor.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"

namespace
{
int Channel(uint32_t colour, int shift) { return int((colour >> shift) & 0xff); }
int Brightness(uint32_t colour) { return Channel(colour, 0) + Channel(colour, 8) + Channel(colour, 16); }

// The editor as a user sees it, drawn by the real renderer with the
// generated content: two seconds of a stereo drum hit, a decaying tone whose
// two channels differ, on a 1024 x 768 desktop screen.
class SampleEditorPictureTest : public OffscreenScreenFixture
{
protected:
    static constexpr int32_t kRate = 44100;
    static constexpr int32_t kFrames = 2 * kRate;

    void SetUp() override
    {
        StartScreen(1024, 768);
        cSample* sample = cSample::Create("Kick Edit.wav", 16, 2, kRate, kFrames);
        ASSERT_NE(sample, nullptr);
        int16_t* data = reinterpret_cast<int16_t*>(sample->GetData());
        for (int32_t f = 0; f < kFrames; ++f)
        {
            const double t = double(f) / kRate;
            const double envelope = std::exp(-t * 3.0);
            data[f * 2] = int16_t(26000.0 * envelope * std::sin(2.0 * M_PI * 55.0 * t));
            data[f * 2 + 1] = int16_t(20000.0 * envelope * std::sin(2.0 * M_PI * 82.5 * t));
        }
        mSample.Assign(sample);
        sample->Release();
        editor = new cSampleEditor(nullptr);
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 30.0f, 1024.0f, 738.0f);
        manager->GetRoot()->AddChild(editor);
        editor->Release();
        editor->SetSample(sample);
        Settle();
    }
    void TearDown() override
    {
        if (editor)
        {
            editor->SetSample(nullptr);
            manager->GetRoot()->RemoveChild(editor);
        }
        mSample.Release();
        OffscreenScreenFixture::TearDown();
        EXPECT_EQ(cSampleRegistry::DumpAll(), 0);
    }

    // Enough frames for every animation and fade to end.
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            DrawFrame();
    }
    std::string Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("sample editor saved as %s\n", saved.c_str());
        return saved;
    }
    void Mouse(bool down, float x, float y)
    {
        cMouseTouchTranslator::OnMove(*input, x, y);
        if (down)
            cMouseTouchTranslator::OnButtonDown(*input, cMouseTouchTranslator::kLeft, false, x, y);
        else
            cMouseTouchTranslator::OnButtonUp(*input, cMouseTouchTranslator::kLeft, x, y);
    }

    Base::cRefPtr<cSample> mSample;
    cSampleEditor* editor = nullptr;
};

// Blue waveform over the dark gradient; the room before frame 0 shaded.
TEST_F(SampleEditorPictureTest, TheWholeSample)
{
    Save("sample-editor-whole");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cRect& wave = editor->GetWaveformRect();
    const float middle = (wave.yMin + wave.yMax) * 0.5f;
    // A quarter of a second in, the columns reach a third of the way up
    // from the middle; each column reads a part of the tone's cycle, so the
    // brightest of a few neighbours is taken.
    const int loudX = int(editor->FrameToX(kRate / 4));
    uint32_t waveform = 0;
    for (int dx = -12; dx <= 12; ++dx)
    {
        const uint32_t pixel = gl->PixelAt(pixels, loudX + dx, int(middle - (middle - wave.yMin) * 0.3f));
        if (Brightness(pixel) > Brightness(waveform))
            waveform = pixel;
    }
    const uint32_t background = gl->PixelAt(pixels, int(editor->FrameToX(kFrames - 100)), int(wave.yMin + 30));
    EXPECT_GT(Channel(waveform, 16), Channel(waveform, 0) + 30) << "bluish " << std::hex << waveform;
    EXPECT_GT(Brightness(waveform), Brightness(background) + 150) << std::hex << waveform << " on " << background;
    const uint32_t before = gl->PixelAt(pixels, 5, int(wave.yMin + 30));
    EXPECT_LT(Brightness(before), Brightness(background)) << "shaded " << std::hex << before;
}

// Sixteen frames: one frame per column span, drawn from the centre line.
TEST_F(SampleEditorPictureTest, SixteenFrames)
{
    editor->ZoomTo(0.0f, 20, 16, false);
    Settle();
    Save("sample-editor-16-frames");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cRect& wave = editor->GetWaveformRect();
    const float middle = (wave.yMin + wave.yMax) * 0.5f;
    // Frames 20..36 of a 55 Hz tone rise from 0: the columns stand above the middle.
    const uint32_t above = gl->PixelAt(pixels, int(editor->FrameToX(34)) + 2, int(middle - 10));
    const uint32_t below = gl->PixelAt(pixels, int(editor->FrameToX(34)) + 2, int(middle + 10));
    EXPECT_GT(Brightness(above), Brightness(below) + 150) << std::hex << above << " over " << below;
}

// A selection drawn with the mouse, with its handles faded in beneath it.
TEST_F(SampleEditorPictureTest, ASelectionWithItsHandles)
{
    const float from = editor->FrameToX(kRate / 2), to = editor->FrameToX(kRate);
    Mouse(true, from, 300.0f);
    cMouseTouchTranslator::OnMove(*input, to, 300.0f);
    Mouse(false, to, 300.0f);
    Settle();
    Save("sample-editor-selection");
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const cRect& wave = editor->GetWaveformRect();
    const int y = int(wave.yMin + 20);
    const uint32_t inside = gl->PixelAt(pixels, int((from + to) * 0.5f), y);
    const uint32_t outside = gl->PixelAt(pixels, int(to + 60), y);
    EXPECT_GT(Brightness(inside), Brightness(outside) + 40) << std::hex << inside << " beside " << outside;
    for (int handle = 0; handle < 2; ++handle)
    {
        const cRect& r = editor->GetHandleRect(handle);
        const uint32_t face = gl->PixelAt(pixels, int((r.xMin + r.xMax) * 0.5f), int(r.yMin + 3));
        EXPECT_GT(Channel(face, 16), Channel(face, 0) + 100) << "lit handle " << std::hex << face;
    }
}

// Each ruler labels its strip in white.
TEST_F(SampleEditorPictureTest, EachRuler)
{
    const char* units[] = {"Time", "Bars", "Frames"};
    const char* names[] = {"sample-editor-ruler-time", "sample-editor-ruler-bars", "sample-editor-ruler-frames"};
    for (int unit = 0; unit < 3; ++unit)
    {
        editor->GetRulerUnitMenu()->SetSelectedItem(unit);
        Settle();
        Save(names[unit]);
        const std::vector<uint8_t> pixels = gl->ReadPixels();
        const cRect& ruler = editor->GetRulerRect();
        int bright = 0;
        for (int x = 10; x < int(ruler.xMax); ++x)
            for (int y = int(ruler.yMin); y < int(ruler.yMax); ++y)
                bright += Brightness(gl->PixelAt(pixels, x, y)) > 3 * 200 ? 1 : 0;
        EXPECT_GT(bright, 20) << units[unit] << " labels";
    }
}

// At amplitude 4 a quarter of full scale reaches the top edge.
TEST_F(SampleEditorPictureTest, AmplitudeFour)
{
    const cRect wave = editor->GetWaveformRect();
    // Three tenths of a second in: the tone is at about a third of full scale.
    const int x = int(editor->FrameToX(kRate * 3 / 10));
    const int y = int(wave.yMin + 6);
    auto loudest = [&]()
    {
        const std::vector<uint8_t> pixels = gl->ReadPixels();
        int best = 0;
        for (int dx = -4; dx <= 4; ++dx)
            best = std::max(best, Brightness(gl->PixelAt(pixels, x + dx, y)));
        return best;
    };
    const int atOne = loudest();
    cWidgetButton* up = editor->GetAmplitudeUpButton();
    const cRect r = up->GetRect();
    for (int i = 0; i < 2; ++i)
    {
        Mouse(true, (r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f);
        Mouse(false, (r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f);
    }
    ASSERT_EQ(editor->GetAmplitudeZoom(), 4);
    Settle();
    Save("sample-editor-amplitude-4");
    EXPECT_GT(loudest(), atOne + 150) << "the waveform reaches the top";
}
} // namespace
