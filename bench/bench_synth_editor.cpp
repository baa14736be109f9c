// CPU side of the synthesizer editor's frames on a renderer that draws
// nothing: a 1920-px keyboard with every key held and labelled (goal: under
// 0.1 ms), the whole editor with its cheeks and both keyboards (under
// 0.3 ms), and a finger sliding across the keys, from the input manager to
// the note events in the module's ring (under 5 us).

#include <benchmark/benchmark.h>

#include <memory>

#include "BenchToolkit.h"
#include "audio/ScaleTable.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/SynthParamId.h"
#include "instruments/synth/ui/AnalogueSynthPage.h"
#include "instruments/synth/ui/AnalogueSynthPanelKeyboard.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"

namespace
{
constexpr float kWidth = 1920.0f;
constexpr float kHeight = 1080.0f;
constexpr int32_t kChromatic = 1;

// The module as the editor sees it while every key is held; the notes it is
// sent are taken and dropped, so only the editor's side is measured.
class cHeldSynth : public cAnalogueSynth
{
public:
    using cAnalogueSynth::cAnalogueSynth;
    int32_t GetParamInt(uint32_t id) override
    {
        return SynthParamSection(id) == kSynthParamHeldKeys ? -1 : cAnalogueSynth::GetParamInt(id);
    }
    int32_t HandleEvent(const cAudioEvent&) override { return 0; }
};

class cHeldInstrument : public cAnalogueSynthInstrument
{
public:
    explicit cHeldInstrument(cAnalogueSynthPackage* package) : cAnalogueSynthInstrument(package)
    {
        SetModule(new cHeldSynth(this));
        GetSynth()->SetStore(&package->GetStore());
        SetName("Kest 1");
    }
};

// The editor at full HD, bound, with a Perform keyboard beside its own and
// every key shown as a labelled chromatic key.
struct cEditorBench
{
    cEditorBench()
    {
        new cFileSystemRegistry();
        toolkit.manager->SetScreenRect({0.0f, 0.0f, kWidth, kHeight});
        new cScaleTable();
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        package = std::make_unique<cAnalogueSynthPackage>();
        editor = static_cast<cAnalogueSynthUI*>(package->GetEditor());
        auto* perform = new cAnalogueSynthPage(editor);
        auto* keyboard = new cAnalogueSynthPanelKeyboard(editor, cAnalogueSynthPanelKeyboard::kClipToPages);
        perform->AddChild(keyboard);
        editor->RegisterPerformPage(perform, keyboard);
        keyboard->Release();
        perform->Release();
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, kWidth, kHeight);
        toolkit.manager->GetRoot()->AddChild(editor);
        instrument = std::make_unique<cHeldInstrument>(package.get());
        instrument->Select();
        editor->SetKeyboardScale(kChromatic);
        toolkit.manager->Draw();
        toolkit.manager->Draw();
        instrument->GetSynth()->DrainEvents();
    }
    ~cEditorBench()
    {
        editor->SetInstrument(nullptr);
        instrument.reset();
        package.reset();
        SetAnalogueSynthEditorFactory(nullptr);
        delete cScaleTable::GetInstance();
        delete gFileSystemRegistry;
    }

    cBenchToolkit toolkit;
    std::unique_ptr<cAnalogueSynthPackage> package;
    cAnalogueSynthUI* editor = nullptr;
    std::unique_ptr<cHeldInstrument> instrument;
};

void BM_KeyboardFrame(benchmark::State& state)
{
    cEditorBench bench;
    cWidgetPianoKeys* keys = bench.editor->GetPianoKeys();
    cDrawList& list = *bench.toolkit.manager->GetDrawList();
    for (auto _ : state)
    {
        list.Begin();
        keys->DrawTree(list);
        list.End();
    }
    state.counters["keys"] = double(keys->GetLastKey() - keys->GetFirstKey() + 1);
    state.counters["labels"] = double(keys->GetLabelCount());
}
BENCHMARK(BM_KeyboardFrame)->Unit(benchmark::kMicrosecond);

void BM_EditorFrame(benchmark::State& state)
{
    cEditorBench bench;
    for (auto _ : state)
        bench.toolkit.manager->Draw();
}
BENCHMARK(BM_EditorFrame)->Unit(benchmark::kMicrosecond);

void BM_TouchSlide(benchmark::State& state)
{
    cEditorBench bench;
    const cRect rect = bench.editor->GetPianoKeys()->GetRect();
    const float key = bench.editor->GetPianoKeys()->GetKeyWidth();
    const float y = rect.yMax - 10.0f;
    cInputManager& input = bench.toolkit.input;
    cAnalogueSynth* module = bench.instrument->GetSynth();
    input.TouchBegan(1, rect.xMin + 0.5f * key, y);
    int32_t step = 0;
    for (auto _ : state)
    {
        // Back and forth over twenty keys, one key a move.
        const int32_t place = step < 20 ? step : 40 - step;
        step = (step + 1) % 40;
        input.TouchMoved(1, rect.xMin + (float(place) + 0.5f) * key, y, false);
        module->DrainEvents();
    }
    input.TouchEnded(1, rect.xMin + 0.5f * key, y);
}
BENCHMARK(BM_TouchSlide)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
