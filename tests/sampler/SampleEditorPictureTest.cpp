#include <cmath>
#include <cstdio>
#include <string>

#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "base/RefCount.h"
#include "platform/MouseTouchTranslator.h"
#include "sampler/SampleEditor.h"
#include "ui/OffscreenScreenFixture.h"
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

TEST_F(SampleEditorPictureTest, TheWholeSample)
{
    Save("sample-editor-whole");
}
} // namespace
