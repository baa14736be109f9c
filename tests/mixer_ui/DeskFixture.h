#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioEvent.h"
#include "audio/AudioModule.h"
#include "audio/Instrument.h"
#include "base/ProjectModified.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "mixer/MixingDeskPackage.h"
#include "mixer/ui/EffectEditors.h"
#include "mixer/ui/MixingDeskPanelMixer.h"
#include "mixer/ui/MixingDeskUI.h"
#include "mixer/ui/MixingDeskSprites.h"
#include "mixer/ui/MixingDeskUIHost.h"
#include "ui/ControlFixture.h"
#include "ui/WidgetAlert.h"

// A module that keeps eight parameters and records what reaches its ring.
class cRecordingModule : public cAudioModule
{
public:
    explicit cRecordingModule(cInstrument* owner) : cAudioModule(owner, 64) { SetParamCount(8); }
    int32_t HandleEvent(const cAudioEvent& event) override
    {
        events.push_back(event);
        StoreParamEvent(event);
        return 0;
    }
    // What was posted since the last call.
    std::vector<cAudioEvent> Take()
    {
        DrainEvents();
        std::vector<cAudioEvent> taken;
        taken.swap(events);
        return taken;
    }
    std::vector<cAudioEvent> events;
};

// An instrument with one mixer channel per output, in a slot of its own.
class cStripInstrument : public cInstrument
{
public:
    cStripInstrument(const char* name, int outputs, int slot)
    {
        SetName(name);
        SetSlot(slot);
        SetModule(new cRecordingModule(this));
        for (int i = 0; i < outputs; ++i)
            AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, i));
    }
    void Select() override {}
    cRecordingModule& Module() const { return *static_cast<cRecordingModule*>(GetModule()); }
};

// What the desk asks of the screen around it, recorded.
class cRecordingDeskHost : public cMixingDeskUIHost
{
public:
    void SetTitle(const char* text) override { title = text; }
    void ShowStatusMessage(const char* text, float seconds) override
    {
        messages.push_back(text);
        lastSeconds = seconds;
    }
    cWidgetAlert* GetAlert() override { return alert; }
    bool ShowChainBrowser(const cChainBrowserRequest& request, const cDelegate& done) override
    {
        browserTitles.push_back(request.title);
        browserRoot = request.rootFolder;
        browserExtension = request.extension;
        completion = done;
        return true;
    }
    void ShowInstrumentPage(cInstrument* instrument) override { shownPages.push_back(instrument); }

    // The browser's answer.
    void Choose(const char* path) { completion.Invoke(1, path); }
    void Cancel() { completion.Invoke(0, static_cast<const char*>(nullptr)); }

    std::string title;
    std::vector<std::string> messages;
    float lastSeconds = 0.0f;
    cWidgetAlert* alert = nullptr;
    std::vector<std::string> browserTitles;
    std::string browserRoot;
    std::string browserExtension;
    cDelegate completion;
    std::vector<cInstrument*> shownPages;
};

// The desk package with its page on the screen, the five effect units with
// their editors, and instruments whose outputs fill the mixer's list.
class DeskFixture : public ControlFixture
{
protected:
    DeskFixture()
    {
        RegisterEffectPackages();
        InstallEffectEditorFactory();
        SetMixingDeskUIHost(&host);
        SetProjectModifiedFlag(&modified);
        host.alert = new cWidgetAlert();
        InstallMixingDeskEditorFactory();
        package = std::make_unique<cMixingDeskPackage>();
        desk = static_cast<cMixingDeskInstrument*>(package->CreateInstrument(0));
        page = static_cast<cMixingDeskUI*>(package->GetEditor());
    }
    ~DeskFixture() override
    {
        root->RemoveChild(page);
        package.reset();
        instruments.clear();
        host.alert->Release();
        SetMixingDeskEditorFactory(nullptr);
        SetProjectModifiedFlag(nullptr);
        SetMixingDeskUIHost(nullptr);
        SetEffectEditorFactory(nullptr);
        DeleteEffectPackages();
    }

    cStripInstrument* AddInstrument(const char* name, int outputs = 1)
    {
        instruments.push_back(std::make_unique<cStripInstrument>(name, outputs, int(instruments.size()) + 1));
        desk->GetMixer()->InsertChannels(instruments.back().get(), nullptr);
        return instruments.back().get();
    }

    // The page at a size, showing the desk.
    void Show(float width, float height)
    {
        page->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 0.0f, width, height);
        root->AddChild(page);
        desk->Select();
        Frame(2);
    }

    // Room for that many columns of strips between the cheeks.
    static float WidthForColumns(int columns)
    {
        const float strip = Sprite(MixingDeskSprite::kStrip).width + cMixingDeskPanelMixer::kStripGap;
        return 2.0f * Sprite(MixingDeskSprite::kCheek).width + cMixingDeskPanelMixer::kEdgeRoom +
               float(columns) * strip + strip * 0.5f;
    }

    cMixingDeskPanelMixer* Panel() const { return page->GetPanel(); }
    void Key(int32_t keyCode)
    {
        input->OnKey(1, 0, keyCode);
        input->OnKey(0, 0, keyCode);
    }
    void Click(float x, float y)
    {
        Down(1, x, y);
        Up(1, x, y);
        Frame();
    }

    cRecordingDeskHost host;
    std::atomic<bool> modified{false};
    std::vector<std::unique_ptr<cStripInstrument>> instruments;
    std::unique_ptr<cMixingDeskPackage> package;
    cMixingDeskInstrument* desk = nullptr;
    cMixingDeskUI* page = nullptr;
};
