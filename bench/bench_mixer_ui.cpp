// The mixing desk's costs: a frame of a full desk at 1920 x 1080 with live
// meters and a four-slot chain, on a renderer that draws nothing; one fader
// move from the touch to the events it posts; and how long a chain load keeps
// the audio manager's lock from the audio thread.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchDrawing.h"
#include "audio/AudioManager.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "audio/WaveShaper.h"
#include "base/CriticalSection.h"
#include "base/File.h"
#include "base/SerialiseXML.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/MixingDeskFaders.h"
#include "mixer/ui/MixingDeskPanelMixer.h"
#include "mixer/ui/MixingDeskUI.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "ui/InputManager.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetSlider.h"

namespace
{
// A pad instrument's shape: three outputs and a module of eight parameters.
class cPadLike : public cInstrument
{
public:
    explicit cPadLike(int slot)
    {
        SetName("VRX");
        SetSlot(slot);
        SetModule(new cParams(this));
        for (int i = 0; i < 3; ++i)
            AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, i));
    }
    void Select() override {}

private:
    class cParams : public cAudioModule
    {
    public:
        explicit cParams(cInstrument* owner) : cAudioModule(owner, 64) { SetParamCount(8); }
    };
};

// 15 pad instruments (45 outputs and the two returns) on the desk page at
// 1920 x 1080, the second channel's chain holding four units.
class cDesk
{
public:
    cDesk()
    {
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
        SetFrameTiming(60.0f);
        BuildShapeTables();
        RegisterEffectPackages();
        InstallEffectEditorFactory();
        setUp.renderer.SetScreenSize(1920, 1080);
        manager = std::make_unique<cWidgetManager>();
        manager->Init(&setUp.renderer);
        manager->SetScreenRect({0.0f, 0.0f, 1920.0f, 1080.0f});
        manager->GetDrawList()->currentMaterial = setUp.skin;
        manager->GetRoot()->SetMaterial(setUp.skin);
        for (int i = 0; i < 15; ++i)
        {
            pads.push_back(std::make_unique<cPadLike>(i + 1));
            desk.GetMixer()->InsertChannels(pads.back().get(), nullptr);
        }
        cEffectRack& rack = desk.GetMixer()->GetChannel(1)->insertRack;
        const char* const units[] = {"EQ-3B", "QDL-5", "VELTRIX", "Q-HALLS"};
        for (int i = 0; i < 4; ++i)
            rack.FindNode(("SLOT" + std::to_string(i + 1)).c_str())
                ->SetEffect(gEffectRegistry->CreateEffect(units[i]), true);
        desk.SetInsertChannel(1);
        page = new cMixingDeskUI();
        page->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, 1920.0f, 1080.0f);
        manager->GetRoot()->AddChild(page);
        page->ShowInstrument(&desk);
        manager->Draw();
    }
    ~cDesk()
    {
        page->ShowInstrument(nullptr);
        manager->GetRoot()->RemoveChild(page);
        page->Release();
        manager.reset();
        desk.GetMixer()->GetChannel(1)->insertRack.RemoveEffects();
        SetEffectEditorFactory(nullptr);
        DeleteEffectPackages();
        FreeShapeTables();
        ResetDisplayMetrics();
    }
    cDesk(const cDesk&) = delete;
    cDesk& operator=(const cDesk&) = delete;

    // Levels as the audio thread leaves them, different every frame.
    void MoveMeters(int frame)
    {
        cMixer* mixer = desk.GetMixer();
        for (int32_t i = 0; i < mixer->GetChannelCount(); ++i)
        {
            cMixerChannel* channel = mixer->GetChannel(i);
            channel->meterLeft = 0.1f + 0.8f * float((frame + i) % 17) / 16.0f;
            channel->meterRight = 0.1f + 0.8f * float((frame + 2 * i) % 13) / 12.0f;
        }
    }

    BenchDrawing::cSetUp setUp;
    std::unique_ptr<cWidgetManager> manager;
    std::vector<std::unique_ptr<cPadLike>> pads;
    cMixingDeskInstrument desk{nullptr};
    cMixingDeskUI* page = nullptr;
};

void DeskFrame1920(benchmark::State& state)
{
    cDesk desk;
    cMixingDeskPanelMixer* panel = desk.page->GetPanel();
    state.counters["channels"] = double(panel->GetListSize());
    state.counters["strips"] = double(panel->GetStripCount());
    state.counters["view"] = double(panel->GetViewMode());
    int frame = 0;
    for (auto _ : state)
    {
        desk.MoveMeters(frame++);
        desk.manager->Draw();
    }
    state.counters["vertices"] =
        benchmark::Counter(double(desk.setUp.renderer.submitted), benchmark::Counter::kAvgIterations);
}
BENCHMARK(DeskFrame1920)->Unit(benchmark::kMicrosecond);

// A finger already dragging the first strip's fader moves 3 pixels: the
// slider's value, the status text, the modified flag and the event to the
// instrument's ring. The ring is emptied between moves, untimed.
void FaderMove(benchmark::State& state)
{
    cDesk desk;
    cMixingDeskFader* fader = desk.page->GetPanel()->GetFaders()->GetFader(0);
    cWidgetSlider* slider = fader->GetSlider();
    const cRect& track = slider->trackImage.layoutRect;
    cTouch touch;
    touch.id = 1;
    touch.SetPosition((track.xMin + track.xMax) * 0.5f, (track.yMin + track.yMax) * 0.5f, true);
    slider->HandleTouch(kTouchDown, &touch, nullptr);
    touch.SetPosition(touch.position.X, touch.position.Y - 10.0f, false);
    slider->HandleTouch(kTouchMove, &touch, slider);
    cAudioModule* module = fader->GetChannel()->owner->GetModule();
    float step = 3.0f;
    for (auto _ : state)
    {
        if (touch.position.Y < track.yMin + 10.0f || touch.position.Y > track.yMax - 10.0f)
            step = -step;
        touch.SetPosition(touch.position.X, touch.position.Y - step, false);
        slider->HandleTouch(kTouchMove, &touch, slider);
        state.PauseTiming();
        module->DrainEvents();
        state.ResumeTiming();
    }
    slider->HandleTouch(kTouchUp, &touch, slider);
}
BENCHMARK(FaderMove)->Unit(benchmark::kMicrosecond);

// A chain of four reverbs loaded over a rack of four other units while a
// second thread, standing in for the audio thread, takes the audio manager's
// lock as often as it can: the longest it waited is how long the load held it.
void ChainLoadLock(benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    BuildShapeTables();
    RegisterEffectPackages();
    {
        cAudioManager audio;
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        if (!audio.Init(settings))
        {
            state.SkipWithError("no audio manager");
            return;
        }
        audio.SetPaused(true);
        cEffectRack reverbs;
        reverbs.BuildInsertChain();
        for (int i = 1; i <= 4; ++i)
            reverbs.FindNode(("SLOT" + std::to_string(i)).c_str())->SetEffect(gEffectRegistry->CreateEffect("Q-HALLS"), true);
        File::cFileMemoryWrite written;
        {
            Base::cSerialiseXML serialiser(1.0f, &written, 0);
            serialiser.Begin();
            reverbs.Serialise(serialiser);
            serialiser.End();
        }
        const std::vector<uint8_t> body(written.GetData(), written.GetData() + written.GetLength());
        cEffectRack rack;
        rack.BuildInsertChain();
        std::atomic<bool> running{true};
        std::atomic<int64_t> longest{0};
        std::thread probe(
            [&]
            {
                while (running.load())
                {
                    const auto start = std::chrono::steady_clock::now();
                    audio.GetLock()->Enter();
                    const auto waited = std::chrono::steady_clock::now() - start;
                    audio.GetLock()->Leave();
                    const int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(waited).count();
                    if (ns > longest.load())
                        longest.store(ns);
                }
            });
        const char* const others[] = {"EQ-3B", "QDL-5", "VELTRIX", "9TH HARBOR"};
        std::vector<int64_t> waits;
        bool first = true;
        for (auto _ : state)
        {
            state.PauseTiming();
            if (!first)
                waits.push_back(longest.load());
            first = false;
            for (int i = 0; i < 4; ++i)
                rack.FindNode(("SLOT" + std::to_string(i + 1)).c_str())
                    ->SetEffect(gEffectRegistry->CreateEffect(others[i]), true);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            longest.store(0);
            state.ResumeTiming();
            File::cFileMemoryRead stream(body.data(), int(body.size()));
            Base::cSerialiseXML serialiser(1.0f, &stream, 0);
            serialiser.Begin();
            rack.LoadDetached(serialiser);
            serialiser.End();
        }
        running.store(false);
        probe.join();
        waits.push_back(longest.load());
        // The probe shares the machine: a run where it was descheduled shows
        // in the worst wait, so the median of the loads' waits is given too.
        std::sort(waits.begin(), waits.end());
        state.counters["median_wait_us"] = double(waits[waits.size() / 2]) / 1000.0;
        state.counters["worst_wait_us"] = double(waits.back()) / 1000.0;
        rack.RemoveEffects();
        reverbs.RemoveEffects();
    }
    DeleteEffectPackages();
    FreeShapeTables();
}
BENCHMARK(ChainLoadLock)->Unit(benchmark::kMicrosecond)->Iterations(50);
} // namespace

BENCHMARK_MAIN();
