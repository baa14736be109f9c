#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/WaveShaper.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"
#include "mixer/EffectUnits.h"
#include "mixer/MixingDeskPackage.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "project/RecordingBrowserHost.h"
#include "project/StandInPackages.h"
#include "sequencer/Sequencer.h"
#include "ui/ControlFixture.h"
#include "ui/StatusBarHost.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"

// What the setup pages asked of the main screen's status bar.
class cRecordingStatusBar : public cStatusBarHost
{
public:
    void SetTitleText(const char* text) override { title = text; }
    void ShowStatusMessage(const char* text) override { messages.push_back(text); }

    std::string title;
    std::vector<std::string> messages;
};

// The pads as the mapping page sees them: named parameters, the first two
// fixed to their controllers.
class cStandInPads : public ProjectTest::cStandInPackage
{
public:
    static constexpr const char* kNames[] = {"Pitch Bend", "Bus1 Vol", "Bus1 Pan", "", "Bus1 Send 1"};
    static constexpr cControllerAssignment kParameters[] = {{1, 7, 1}, {2, 10, 1}, {4, 70, 0}};

    cStandInPads() : cStandInPackage("VRX")
    {
        mControllerNames = kNames;
        mControllerNameCount = 5;
        mDefaultAssignments = kParameters;
        mDefaultAssignmentCount = 3;
        CreateControllerMap();
    }
};

// The engine a setup page works on, as start-up leaves it: the instrument
// slots, the song, the packages in the program's order with the synthesizer
// and pads standing in, the MIDI manager on the fake device layer and,
// when asked, the project list with its current project.
class cSetupEngine
{
public:
    cSetupEngine()
    {
        BuildShapeTables();
        RegisterEffectPackages();
        new cInstrumentSlotTable();
        new cSequencer();
        auto* packages = new cInstrumentPackageRegistry();
        kest = new ProjectTest::cStandInPackage("Kest");
        packages->AddPackage(kest);
        packages->AddPackage(new cMixingDeskPackage());
        vrx = new cStandInPads();
        packages->AddPackage(vrx);
        auto devices = std::make_unique<cFakeMIDISystem>();
        system = devices.get();
        midi = std::make_unique<cMIDIManager>(std::move(devices));
    }
    ~cSetupEngine()
    {
        midi.reset();
        delete cProjectList::GetInstance();
        if (cInstrumentSlotTable* slots = cInstrumentSlotTable::GetInstance())
        {
            slots->DestroyAll();
            delete slots;
        }
        delete cInstrumentPackageRegistry::GetInstance();
        delete cSequencer::GetInstance();
        DeleteEffectPackages();
        FreeShapeTables();
    }

    // The current project, with the default instruments.
    cProject* OpenProject()
    {
        if (!cProjectList::GetInstance())
            new cProjectList();
        cProjectList* projects = cProjectList::GetInstance();
        return projects->GetCurrentProject() ? projects->GetCurrentProject() : projects->NewProject();
    }

    // Devices plugged in (or out) and seen by a scan.
    void SetInputs(std::vector<std::string> names)
    {
        system->inputs = std::move(names);
        midi->RequestRescan();
    }

    ProjectTest::cStandInPackage* kest = nullptr;
    cStandInPads* vrx = nullptr;
    cFakeMIDISystem* system = nullptr;
    std::unique_ptr<cMIDIManager> midi;
};

// The control fixture with the UI metrics set, the recording status bar installed
// and the engine built; the pages go before the engine they listen to.
class SetupFixture : public ControlFixture
{
protected:
    SetupFixture()
    {
        SetupUIMetrics();
        gSettings.Reset();
        SetStatusBarHost(&host);
    }
    ~SetupFixture() override
    {
        manager.reset();
        SetStatusBarHost(nullptr);
        gSettings.Reset();
    }

    static cVector2 Centre(const cRect& rect) { return {(rect.xMin + rect.xMax) * 0.5f, (rect.yMin + rect.yMax) * 0.5f}; }
    void TapAt(const cVector2& point) { Tap(1, point.X, point.Y); }
    void TapButton(cWidgetButton* button) { TapAt(Centre(button->GetTouchRect())); }

    // Whether a text was drawn in the last frame.
    bool Drew(const std::string& text) const { return FindText(text).has_value(); }

    cRecordingStatusBar host;
    cSetupEngine engine;
    // What the project page reaches the main screen through.
    ProjectTest::cRecordingBrowserHost browserHost;
};
