// CPU side of the synthesizer editor's frames on a renderer that draws
// nothing: a 1920-px keyboard with every key held and labelled (goal: under
// 0.1 ms), the whole editor with its cheeks and both keyboards (under
// 0.3 ms), and a finger sliding across the keys, from the input manager to
// the note events in the module's ring (under 5 us); the Perform page with
// the bend wheel and both XY pads moving (under 0.3 ms), and one pad drag
// from the input manager to its live events in the module's and the
// sequencer's rings (under 5 us). The sound pages: a frame of the 2 x 2 page
// at 1024 x 768 with every strip and envelope graph (under 0.5 ms), a knob
// drag from the input manager to the posted event (under 5 us), and the
// refresh of all six panels with the ring empty (under 0.2 ms).

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
#include "instruments/synth/ui/AnalogueSynthPanelMod.h"
#include "instruments/synth/ui/AnalogueSynthPanelPerform.h"
#include "instruments/synth/ui/PitchBendPanel.h"
#include "instruments/synth/ui/WidgetXYPad.h"
#include "sequencer/Sequencer.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "instruments/synth/ui/WidgetPianoKeys.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "instruments/synth/ui/AnalogueSynthPanelStrips.h"
#include "instruments/synth/ui/AnalogueSynthStripEnvelope.h"
#include "mixer/Effect.h"
#include "mixer/EffectUnits.h"
#include "mixer/ui/EffectEditors.h"
#include "ui/WidgetKnob.h"

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
    int32_t HandleEvent(const cAudioEvent&) override
    {
        ++handled;
        return 0;
    }
    int64_t handled = 0;
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
    // With the real Perform page, or a plain one holding only a keyboard.
    explicit cEditorBench(bool performPage = false)
    {
        new cFileSystemRegistry();
        toolkit.manager->SetScreenRect({0.0f, 0.0f, kWidth, kHeight});
        new cScaleTable();
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        package = std::make_unique<cAnalogueSynthPackage>();
        editor = static_cast<cAnalogueSynthUI*>(package->GetEditor());
        if (!performPage)
        {
            auto* perform = new cAnalogueSynthPage(editor);
            auto* keyboard = new cAnalogueSynthPanelKeyboard(editor, cAnalogueSynthPanelKeyboard::kClipToPages);
            perform->AddChild(keyboard);
            editor->RegisterPerformPage(perform, keyboard);
            keyboard->Release();
            perform->Release();
        }
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

// The Perform page's controls and where a finger takes them.
struct cPerformBench
{
    cPerformBench() : editor(true)
    {
        editor.editor->ShowPanel("Mod");
        editor.toolkit.manager->Draw();
        page = static_cast<cAnalogueSynthPanelPerform*>(editor.editor->GetPageAt(1));
        wheel = page->GetPitchBend()->GetWheelRect();
        pads[0] = page->GetModPanel()->GetPad(0)->GetPadRect();
        pads[1] = page->GetModPanel()->GetPad(1)->GetPadRect();
    }
    // Drains what the controls sent, as the audio thread would, counting it.
    void Drain()
    {
        cAnalogueSynth* module = editor.instrument->GetSynth();
        sent += module->HasPendingEvents() ? 1 : 0;
        module->DrainEvents();
        sequencer.DrainEvents();
    }

    cSequencer sequencer;
    cEditorBench editor;
    cAnalogueSynthPanelPerform* page = nullptr;
    cRect wheel;
    cRect pads[2];
    int64_t sent = 0; // iterations that posted to the module
};

float Along(float low, float high, float fraction) { return low + (high - low) * fraction; }

void BM_PerformFrame(benchmark::State& state)
{
    cPerformBench bench;
    cInputManager& input = bench.editor.toolkit.input;
    cDrawList& list = *bench.editor.toolkit.manager->GetDrawList();
    const float wheelX = 0.5f * (bench.wheel.xMin + bench.wheel.xMax);
    input.TouchBegan(1, wheelX, Along(bench.wheel.yMin, bench.wheel.yMax, 0.5f));
    for (int32_t pad = 0; pad < 2; ++pad)
        input.TouchBegan(2 + pad, Along(bench.pads[pad].xMin, bench.pads[pad].xMax, 0.5f),
                         Along(bench.pads[pad].yMin, bench.pads[pad].yMax, 0.5f));
    int32_t step = 0;
    for (auto _ : state)
    {
        // Every control moves a little each frame, back and forth.
        const float fraction = 0.3f + 0.02f * float(step < 20 ? step : 40 - step);
        step = (step + 1) % 40;
        input.TouchMoved(1, wheelX, Along(bench.wheel.yMin, bench.wheel.yMax, fraction), false);
        for (int32_t pad = 0; pad < 2; ++pad)
            input.TouchMoved(2 + pad, Along(bench.pads[pad].xMin, bench.pads[pad].xMax, fraction),
                             Along(bench.pads[pad].yMin, bench.pads[pad].yMax, 1.0f - fraction), false);
        list.Begin();
        bench.page->DrawTree(list);
        list.End();
        bench.Drain();
    }
    state.counters["posting"] = double(bench.sent) / double(state.iterations());
    input.TouchEnded(1, wheelX, bench.wheel.yMin);
    input.TouchEnded(2, bench.pads[0].xMin, bench.pads[0].yMin);
    input.TouchEnded(3, bench.pads[1].xMin, bench.pads[1].yMin);
}
BENCHMARK(BM_PerformFrame)->Unit(benchmark::kMicrosecond);

void BM_PadDrag(benchmark::State& state)
{
    cPerformBench bench;
    cInputManager& input = bench.editor.toolkit.input;
    const cRect& pad = bench.pads[0];
    const float y = Along(pad.yMin, pad.yMax, 0.5f);
    input.TouchBegan(1, Along(pad.xMin, pad.xMax, 0.1f), y);
    int32_t step = 0;
    for (auto _ : state)
    {
        // A tenth of the pad a move, so every move reports X.
        const int32_t place = step < 8 ? step : 16 - step;
        step = (step + 1) % 16;
        input.TouchMoved(1, Along(pad.xMin, pad.xMax, 0.1f + 0.1f * float(place)), y, false);
        bench.Drain();
    }
    state.counters["posting"] = double(bench.sent) / double(state.iterations());
    input.TouchEnded(1, pad.xMin, y);
}
BENCHMARK(BM_PadDrag)->Unit(benchmark::kMicrosecond);
} // namespace

namespace
{
// The editor at 1024 x 768 on its 2 x 2 page (Osc, Filter, Amp, LFO/Env),
// bound to a module that takes events and plays nothing; the effect units
// give their editors, so all six panels exist.
struct cSoundPageBench
{
    static constexpr float kPageWidth = 1024.0f;
    static constexpr float kPageHeight = 768.0f;

    cSoundPageBench()
    {
        new cFileSystemRegistry();
        InstallEffectEditorFactory();
        RegisterEffectPackages();
        toolkit.manager->SetScreenRect({0.0f, 0.0f, kPageWidth, kPageHeight});
        new cScaleTable();
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        package = std::make_unique<cAnalogueSynthPackage>();
        editor = static_cast<cAnalogueSynthUI*>(package->GetEditor());
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, kPageWidth, kPageHeight);
        toolkit.manager->GetRoot()->AddChild(editor);
        instrument = std::make_unique<cHeldInstrument>(package.get());
        instrument->Select();
        toolkit.manager->Draw();
        editor->ShowPanel("Osc");
        for (int i = 0; i < 3; ++i)
            toolkit.manager->Draw();
        instrument->GetSynth()->DrainEvents();
    }
    ~cSoundPageBench()
    {
        editor->SetInstrument(nullptr);
        instrument.reset();
        package.reset();
        SetAnalogueSynthEditorFactory(nullptr);
        DeleteEffectPackages();
        SetEffectEditorFactory(nullptr);
        delete cScaleTable::GetInstance();
        delete gFileSystemRegistry;
    }

    cBenchToolkit toolkit;
    std::unique_ptr<cAnalogueSynthPackage> package;
    cAnalogueSynthUI* editor = nullptr;
    std::unique_ptr<cHeldInstrument> instrument;
};

void RefreshTree(cWidget* widget)
{
    widget->OnStateChange();
    for (cWidget* child = widget->GetFirstChild(); child; child = child->GetNext())
        RefreshTree(child);
}
} // namespace

void BM_SoundPageFrame(benchmark::State& state)
{
    cSoundPageBench bench;
    for (auto _ : state)
        bench.toolkit.manager->Draw();
}
BENCHMARK(BM_SoundPageFrame)->Unit(benchmark::kMicrosecond);

void BM_KnobDragToEvent(benchmark::State& state)
{
    cSoundPageBench bench;
    auto* amp = static_cast<cAnalogueSynthPanelTwoStrips*>(bench.editor->GetPanel(cAnalogueSynthUI::kPanelAmp));
    cWidgetKnob* knob = static_cast<cAnalogueSynthStripEnvelope*>(amp->GetUpper())->GetKnob(0);
    const cRect rect = knob->GetRect();
    const float x = 0.5f * (rect.xMin + rect.xMax), y = 0.5f * (rect.yMin + rect.yMax);
    cInputManager& input = bench.toolkit.input;
    cAnalogueSynth* module = bench.instrument->GetSynth();
    input.TouchBegan(1, x, y);
    int32_t step = 0;
    for (auto _ : state)
    {
        // Up and down over forty pixels, two pixels a move.
        const int32_t place = step < 20 ? step : 40 - step;
        step = (step + 1) % 40;
        input.TouchMoved(1, x, y - 2.0f * float(place), false);
        module->DrainEvents();
    }
    input.TouchEnded(1, x, y);
    state.counters["events"] = double(static_cast<cHeldSynth*>(module)->handled) / double(state.iterations());
}
BENCHMARK(BM_KnobDragToEvent)->Unit(benchmark::kMicrosecond);

void BM_RefreshSixPanels(benchmark::State& state)
{
    cSoundPageBench bench;
    for (auto _ : state)
        for (int32_t index = cAnalogueSynthUI::kPanelOsc; index <= cAnalogueSynthUI::kPanelEffects; ++index)
            RefreshTree(bench.editor->GetPanel(index));
}
BENCHMARK(BM_RefreshSixPanels)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
