#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "audio/AudioBuffer.h"
#include "audio/WaveShaper.h"
#include "mixer/Effect.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/EffectUI.h"
#include "ui/OffscreenScreenFixture.h"

namespace
{
// Every editor, one under another (the analyser on a test signal), through the real renderer
// with the generated content.
class EffectEditorPictures : public OffscreenScreenFixture
{
protected:
    void TearDown() override
    {
        for (cEffectUI* editor : editors)
        {
            manager->GetRoot()->RemoveChild(editor);
            editor->Release();
        }
        editors.clear();
        effects.clear();
        SetEffectEditorFactory(nullptr);
        DeleteEffectPackages();
        FreeShapeTables();
        OffscreenScreenFixture::TearDown();
    }

    std::vector<cEffectUI*> editors;
    std::vector<std::unique_ptr<cEffect>> effects;
};
} // namespace

TEST_F(EffectEditorPictures, Gallery)
{
    BuildShapeTables();
    RegisterEffectPackages();
    RegisterHiddenEffectPackages();
    InstallEffectEditorFactory();
    const char* const units[] = {"QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS", "FILTER-1B", "TEST-RESAMPLER", "ANALYSER"};
    StartScreen(480, 8 * 88, kDeviceClassDesktop);
    float top = 2.0f;
    for (const char* unit : units)
    {
        cEffectPackage* package = gEffectRegistry->FindPackage(unit);
        cEffectUI* editor = package->CreateEditor();
        ASSERT_NE(editor, nullptr) << unit;
        effects.emplace_back(package->CreateEffect());
        effects.back()->SetEnabled(true);
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, top, 480.0f, 83.0f);
        manager->GetRoot()->AddChild(editor);
        editor->SetEffect(effects.back().get(), 0);
        editors.push_back(editor);
        top += 88.0f;
    }
    // The analyser hears two tones and a little noise.
    std::vector<float> block(2 * 4096);
    uint32_t seed = 1;
    for (size_t f = 0; f < 4096; ++f)
    {
        seed = seed * 1664525u + 1013904223u;
        const float noise = float(int32_t(seed)) * (0.01f / 2147483648.0f);
        const float x = 0.5f * std::sin(0.0628f * float(f)) + 0.2f * std::sin(0.5f * float(f)) + noise;
        block[2 * f] = block[2 * f + 1] = x;
    }
    cAudioBuffer buffer;
    buffer.Describe(kAudioFormatFloat, 4096, 2, block.data());
    cAudioProcessInfo info;
    info.sampleRate = 44100.0f;
    info.secondsPerSample = 1.0f / 44100.0f;
    effects.back()->Process(info, buffer);
    for (int i = 0; i < 8; ++i)
        DrawFrame();
    std::printf("saved as %s\n", gl->SaveFrame("effect-editors").c_str());
    // Every switch, spinner and knob stands apart and every caption reads.
    EXPECT_EQ(ScreenFaults(), "");
}
