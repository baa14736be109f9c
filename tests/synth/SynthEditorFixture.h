#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SynthSoundFixture.h"
#include "audio/ScaleTable.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/ui/AnalogueSynthUI.h"
#include "platform/DisplayMetrics.h"
#include "platform/FrameTiming.h"
#include "platform/GlobalSettingValues.h"
#include "support/CaptureRenderer.h"
#include "ui/InputManager.h"
#include "ui/RecordingStatusBar.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

// The real module, keeping what the editor posts into its ring as the audio
// thread takes it, and able to report one float parameter out of range.
class cRecordingSynth : public cAnalogueSynth
{
public:
    using cAnalogueSynth::cAnalogueSynth;

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        events.push_back(event);
        return cAnalogueSynth::HandleEvent(event);
    }
    float GetParamFloat(uint32_t id) override
    {
        return id == overriddenId ? overriddenValue : cAnalogueSynth::GetParamFloat(id);
    }
    // What reached the module since the last call, as the audio thread takes it.
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(events);
        return taken;
    }
    std::vector<int32_t> TakeNotes() { return NotesOf(Take()); }

    std::vector<cAudioEvent> events;
    uint32_t overriddenId = ~0u;
    float overriddenValue = 0.0f;
};

// A synthesizer instrument of the package playing the recording module.
class cEditorTestInstrument : public cAnalogueSynthInstrument
{
public:
    explicit cEditorTestInstrument(cAnalogueSynthPackage* package) : cAnalogueSynthInstrument(package)
    {
        SetModule(new cRecordingSynth(this));
        GetSynth()->SetStore(&package->GetStore());
        SetName("Kest 1");
        SetSlot(3);
    }
    cRecordingSynth& Synth() const { return *static_cast<cRecordingSynth*>(GetSynth()); }
};

// The synthesizer's editor as the program builds it: the package makes it
// through the installed factory, it sits in the widget manager's tree on a
// capturing renderer at 60 frames per second, input arrives through the
// input manager, and it is bound to an instrument whose module the test
// drains.
class SynthEditor : public cSynthSound
{
protected:
    static constexpr float kScreenWidth = 1024.0f;
    static constexpr float kScreenHeight = 768.0f;

    void SetUp() override
    {
        cSynthSound::SetUp();
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetFrameTiming(60.0f);
        gSettings.keyWidth = cGlobalSettingValues::kKeyWidthNormal;
        renderer.SetScreenSize(kScreenWidth, kScreenHeight);
        gRenderer = &renderer;
        input = std::make_unique<cInputManager>();
        input->Init();
        widgets = std::make_unique<cWidgetManager>();
        widgets->Init(&renderer);
        scales = std::make_unique<cScaleTable>();
        SetStatusBarHost(&statusBar);
        SetAnalogueSynthEditorFactory(&cAnalogueSynthUI::Create);
        package = std::make_unique<cAnalogueSynthPackage>();
        editor = static_cast<cAnalogueSynthUI*>(package->GetEditor());
        ASSERT_NE(editor, nullptr);
        widgets->GetRoot()->AddChild(editor);
        instrument = std::make_unique<cEditorTestInstrument>(package.get());
    }
    void TearDown() override
    {
        if (instrument)
            editor->SetInstrument(nullptr);
        instrument.reset();
        package.reset();
        SetAnalogueSynthEditorFactory(nullptr);
        SetStatusBarHost(nullptr);
        scales.reset();
        widgets.reset();
        input.reset();
        gRenderer = nullptr;
        gSettings.Reset();
        ResetDisplayMetrics();
        cSynthSound::TearDown();
    }

    // The editor at that size, bound and drawn, its module's ring drained.
    void Open(float width, float height)
    {
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, width, height);
        instrument->Select();
        Frame(2);
        Synth().Take();
    }
    void Frame(int count = 1)
    {
        for (int i = 0; i < count; ++i)
        {
            renderer.draws.clear();
            widgets->Draw();
        }
    }
    cRecordingSynth& Synth() const { return instrument->Synth(); }

    void Down(int32_t id, float x, float y) { input->TouchBegan(id, x, y); }
    void Move(int32_t id, float x, float y) { input->TouchMoved(id, x, y, false); }
    void Up(int32_t id, float x, float y) { input->TouchEnded(id, x, y); }
    // Letters and digits by their set-1 scan code; the key code only has to
    // differ from key to key.
    void Key(int32_t action, int32_t scanCode) { input->OnKey(action, scanCode, 32 + (scanCode & 0xff)); }
    void Arrow(int32_t action, int32_t keyCode) { input->OnKey(action, 0x100 | keyCode, keyCode); }

    cCaptureRenderer renderer;
    std::unique_ptr<cInputManager> input;
    std::unique_ptr<cWidgetManager> widgets;
    std::unique_ptr<cScaleTable> scales;
    cRecordingStatusBar statusBar;
    std::unique_ptr<cAnalogueSynthPackage> package;
    cAnalogueSynthUI* editor = nullptr;
    std::unique_ptr<cEditorTestInstrument> instrument;
};
