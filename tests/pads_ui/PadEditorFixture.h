#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/AudioEvent.h"
#include "audio/Sample.h"
#include "base/Delegate.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/pads/TriggerPadPackage.h"
#include "instruments/pads/ui/TriggerPadControlPanel.h"
#include "instruments/pads/ui/TriggerPadUI.h"
#include "instruments/pads/ui/TriggerPadUIHost.h"
#include "instruments/pads/ui/TriggerPadWidget.h"
#include "pads/PadTestSupport.h"
#include "platform/DisplayMetrics.h"
#include "ui/ControlFixture.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetProgress.h"

// The pad module as the tests see it: every event that reaches it through
// its ring is kept, then handled as the engine handles it.
class cRecordingPads : public cTriggerPad
{
public:
    using cTriggerPad::cTriggerPad;

    int32_t HandleEvent(const cAudioEvent& event) override
    {
        received.push_back(event);
        return cTriggerPad::HandleEvent(event);
    }
    // What the ring held since the last call.
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(received);
        return taken;
    }

    std::vector<cAudioEvent> received;
};

// A pad instrument "VRX" in slot 1 of the package, whose module records its
// events.
class cPadTestInstrument : public cTriggerPadInstrument
{
public:
    explicit cPadTestInstrument(cInstrumentPackage* package) : cTriggerPadInstrument(package, false)
    {
        SetModule(new cRecordingPads(this));
        SetName("VRX");
        SetSlot(1);
    }
    cRecordingPads& Pads() const { return *static_cast<cRecordingPads*>(GetModule()); }
};

// The screens around the editor: the alert and progress overlay are real,
// the browser and sampler answer when the test says so.
class cTestPadHost : public cTriggerPadUIHost
{
public:
    void SetTitle(const char* text) override { title = text; }
    void ShowStatusMessage(const char* text, float seconds) override
    {
        messages.push_back(text);
        messageSeconds.push_back(seconds);
    }
    cWidgetAlert* GetAlert() override { return alert; }
    cWidgetProgress* GetProgress() override { return progress; }
    bool ShowFileBrowser(const cTriggerPadBrowserRequest& request, const cDelegate& completion) override
    {
        requests.push_back(request);
        browserDone = completion;
        return true;
    }
    const char* GetLastFolder() override { return lastFolder.c_str(); }
    void SetLastFolder(const char* path) override { lastFolder = path; }
    const char* GetProjectFolder() override { return projectFolder; }
    bool HasSampler() override { return hasSampler; }
    void ShowSampler(cSample* sample, const cDelegate& result) override
    {
        samplerSamples.push_back(sample);
        samplerDone = result;
    }

    void AnswerBrowser(int32_t result, const char* path) { browserDone.Invoke(result, path); }
    void AnswerSampler(int32_t result, const char* path) { samplerDone.Invoke(result, path); }

    std::string title;
    std::vector<std::string> messages;
    std::vector<float> messageSeconds;
    cWidgetAlert* alert = nullptr;
    cWidgetProgress* progress = nullptr;
    std::vector<cTriggerPadBrowserRequest> requests;
    cDelegate browserDone;
    std::string lastFolder;
    const char* projectFolder = "User/Projects/Song.prj";
    bool hasSampler = false;
    std::vector<cSample*> samplerSamples;
    cDelegate samplerDone;
};

// The pad editor on a screen of the device class, showing a recording pad
// instrument, with the test font, the atlases, a scratch documents folder
// and the test host installed. Input goes through the real input manager.
class PadEditorFixture : public ControlFixture
{
protected:
    static constexpr float kStatusBarHeight = 30.0f;

    ~PadEditorFixture() override
    {
        Close();
        ResetDisplayMetrics();
        SetDisplayMetricsForClass(kDeviceClassDesktop);
        SetupUIMetrics();
    }

    // Takes the editor and the host's dialogues away; Open may follow.
    void Close()
    {
        if (editor)
        {
            editor->SetInstrument(nullptr);
            root->RemoveChild(editor);
            editor->Release();
            package.SetEditor(nullptr);
            editor = nullptr;
        }
        if (host.alert)
        {
            host.alert->Hide();
            host.alert->Release();
            host.alert = nullptr;
        }
        if (host.progress)
        {
            host.progress->Release();
            host.progress = nullptr;
        }
        SetTriggerPadUIHost(nullptr);
    }

    void Open(int32_t deviceClass = kDeviceClassDesktop)
    {
        SetDisplayMetricsForClass(deviceClass);
        SetupUIMetrics();
        const bool phone = deviceClass == kDeviceClassPhone;
        width = phone ? 480.0f : 1024.0f;
        height = phone ? 320.0f : 768.0f;
        renderer.SetScreenSize(width, height);
        manager->SetScreenRect({0.0f, 0.0f, width, height});
        host.alert = new cWidgetAlert();
        host.progress = new cWidgetProgress();
        SetTriggerPadUIHost(&host);
        editor = new cTriggerPadUI();
        editor->SetAnchors(kAnchorsAbsoluteRect, 0.0f, kStatusBarHeight, width, height - kStatusBarHeight);
        root->AddChild(editor);
        // The package holds the editor as the program's does.
        editor->AddRef();
        package.SetEditor(editor);
        editor->SetInstrument(&instrument);
        Frame(2);
        Events();
    }

    cRecordingPads& Pads() { return instrument.Pads(); }
    std::vector<cAudioEvent> Events() { return Pads().Take(); }
    cTriggerPadWidget* Grid() const { return editor->GetPadGrid(); }
    cTriggerPadControlPanel* Panel() const { return editor->GetControlPanel(); }

    // "User/Samples/<name>.wav" of that many frames, loaded into the pad.
    std::string LoadPad(int32_t pad, const std::string& name, int32_t frames = 4410)
    {
        const std::string path = "User/Samples/" + name + ".wav";
        folder.Write(path, PadTest::LevelWav(frames, 0.5f));
        EXPECT_TRUE(Pads().LoadPadSample(pad, path.c_str(), false));
        return path;
    }

    static cVector2 Centre(const cRect& rect) { return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f}; }
    cVector2 PadCentre(int32_t pad) const
    {
        const cRect& rect = Grid()->GetRect();
        const float cellW = (rect.xMax - rect.xMin) / 4.0f, cellH = (rect.yMax - rect.yMin) / 4.0f;
        return {rect.xMin + (float(pad % 4) + 0.5f) * cellW, rect.yMax - (float(pad / 4) + 0.5f) * cellH};
    }
    void TapAt(const cVector2& point, int32_t id = 1)
    {
        Down(id, point.X, point.Y);
        Up(id, point.X, point.Y);
    }
    void TapButton(cWidgetButton* button)
    {
        TapAt(Centre(button->GetTouchRect()));
        Frame();
    }
    void TapTab(int32_t page)
    {
        TapButton(Panel()->GetTabButton(page));
        Frame();
    }
    // Lets the alert settle, taps its button and lets it go.
    void Answer(int32_t button)
    {
        Frame(20);
        ASSERT_TRUE(root->HasLayer(host.alert)) << "no alert to answer";
        TapAt(Centre(host.alert->GetButton(button)->GetTouchRect()));
        Frame(20);
    }

    // Key codes the layer would send with these scan codes.
    static int32_t KeyCodeOf(int32_t scanCode)
    {
        static const char* const rows[] = {"1234", "QWER", "ASDF", "ZXCV"};
        static const int32_t starts[] = {2, 16, 30, 44};
        for (int row = 0; row < 4; ++row)
            if (scanCode >= starts[row] && scanCode < starts[row] + 4)
                return rows[row][scanCode - starts[row]];
        return 200 + (scanCode & 0x7f);
    }
    void Key(int32_t action, int32_t scanCode) { input->OnKey(action, scanCode, KeyCodeOf(scanCode)); }

    cSampleFolder folder;
    cTriggerPadPackage package;
    cPadTestInstrument instrument{&package};
    cTestPadHost host;
    cTriggerPadUI* editor = nullptr;
    float width = 1024.0f;
    float height = 768.0f;
};

inline bool IsUserId(uint32_t id) { return (id >> 24) == kVoiceSourceUser; }

inline uint32_t PadId(int32_t pad, int32_t parameter)
{
    return cTriggerPad::MakeSetId(cTriggerPadSet::MakeAddress(cTriggerPadSet::kKindPad, pad, parameter));
}
