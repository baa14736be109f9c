// The pad editor's CPU cost: one frame of the pad page with all sixteen
// tiles fading after a hit, on a renderer that draws nothing (goal under
// 0.5 ms), and a computer key from the input manager to the note-on in the
// pad module's ring and its release to the note-off (goal under 2 us a
// press, allocating nothing).

#include <benchmark/benchmark.h>

#include <cstdio>

#include "AllocationCounter.h"
#include "BenchDrawing.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadWidget.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "render/Material.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
// The pad page on the desktop's screen, showing an instrument whose pads
// all have names.
class cBenchPadPage
{
public:
    cBenchPadPage() : instrument(nullptr, false)
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
        SetFrameTiming(60.0f);
        gMaterialRegistry->Add("TexturedMono", new cMaterial(kBlendAlpha));
        input.Init();
        manager = new cWidgetManager();
        manager->Init(&setUp.renderer);
        manager->GetDrawList()->currentMaterial = setUp.skin;
        manager->GetRoot()->SetMaterial(setUp.skin);
        for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
        {
            cTriggerPadData record;
            record.name.Printf("Drum Loop %02d", int(pad + 1));
            Pads()->SetPad(pad, record);
        }
        editor = new cTriggerPadUI();
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 30.0f, 1024.0f, 708.0f);
        manager->GetRoot()->AddChild(editor);
        editor->SetInstrument(&instrument);
        manager->Draw();
        manager->Draw();
    }
    ~cBenchPadPage()
    {
        editor->SetInstrument(nullptr);
        manager->GetRoot()->RemoveChild(editor);
        editor->Release();
        delete manager;
        ResetDisplayMetrics();
    }

    cTriggerPad* Pads() const { return instrument.GetPads(); }

    BenchDrawing::cSetUp setUp;
    cTriggerPadInstrument instrument;
    cInputManager input;
    cWidgetManager* manager = nullptr;
    cTriggerPadUI* editor = nullptr;
};

void PadPageFadingFrame(benchmark::State& state)
{
    cBenchPadPage page;
    cTriggerPadWidget* grid = page.editor->GetPadGrid();
    for (auto _ : state)
    {
        // Every tile hit again each frame: each one draws both its images.
        for (int32_t pad = 0; pad < cTriggerPad::kPadCount; ++pad)
            grid->GetTile(pad).glow = 0.9f;
        page.manager->Draw();
    }
    state.counters["vertices/frame"] =
        double(page.setUp.renderer.submitted) / double(state.iterations() + 2);
}
BENCHMARK(PadPageFadingFrame)->Unit(benchmark::kMicrosecond);

void PadKeyToRing(benchmark::State& state)
{
    cBenchPadPage page;
    cTriggerPad* pads = page.Pads();
    // The "Z" key: pad 0.
    constexpr int32_t kScanCode = 44;
    constexpr int kPressesPerDrain = 64;
    int presses = 0;
    const uint64_t allocationsBefore = GetCountedAllocations();
    for (auto _ : state)
    {
        SetCountAllocationsOnThisThread(true);
        page.input.OnKey(1, kScanCode, 'Z');
        page.input.OnKey(0, kScanCode, 'Z');
        SetCountAllocationsOnThisThread(false);
        if (++presses == kPressesPerDrain)
        {
            // The audio thread's part, not measured.
            state.PauseTiming();
            pads->DrainEvents();
            presses = 0;
            state.ResumeTiming();
        }
    }
    state.counters["allocations"] = double(GetCountedAllocations() - allocationsBefore);
    state.SetLabel("press and release");
}
BENCHMARK(PadKeyToRing)->Unit(benchmark::kNanosecond);
} // namespace

BENCHMARK_MAIN();
