#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "audio/WaveShaper.h"
#include "mixer/Effect.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/EffectUI.h"
#include "ui/OffscreenScreenFixture.h"

namespace
{
// Every editor built so far, one under another, through the real renderer
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
    const char* const units[] = {"QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS", "FILTER-1B", "TEST-RESAMPLER"};
    StartScreen(480, 7 * 88, kDeviceClassDesktop);
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
    for (int i = 0; i < 3; ++i)
        DrawFrame();
    std::printf("saved as %s\n", gl->SaveFrame("effect-editors").c_str());
}
