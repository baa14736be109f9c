#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "app/GlobalSettings.h"
#include "app/MIDISettings.h"
#include "app/OrientationHandler.h"
#include "audio/AudioManager.h"
#include "audio/Transport.h"
#include "audio/Instrument.h"
#include "audio/InstrumentPackage.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/ScaleTable.h"
#include "base/FastMath.h"
#include "base/FileSystemRegistry.h"
#include "base/JobQueue.h"
#include "base/MessageQueue.h"
#include "midi/MIDIManager.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/EffectRegistry.h"
#include "platform/DeviceServices.h"
#include "platform/PlaybackStateService.h"
#include "platform/WebViewService.h"
#include "project/Pasteboard.h"
#include "render/Font.h"
#include "render/Material.h"
#include "sampler/SampleEditAudition.h"
#include "sequencer/Sequencer.h"
#include "ui/DrawHelpers.h"
#include "ui/InputManager.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetManager.h"

namespace
{
// Every singleton the start-up stages create, by name.
std::vector<std::pair<const char*, const void*>> Singletons()
{
    return {
        {"file systems", gFileSystemRegistry},
        {"job queue", JobQueue::gJobQueue},
        {"input manager", gInputManager},
        {"materials", gMaterialRegistry},
        {"fonts", gFontRegistry},
        {"widget manager", cWidgetManager::GetInstance()},
        {"MIDI manager", cMIDIManager::GetInstance()},
        {"web view", gWebViewService},
        {"message queue", gMessageQueue},
        {"slot table", cInstrumentSlotTable::GetInstance()},
        {"scale table", cScaleTable::GetInstance()},
        {"sequencer", cSequencer::GetInstance()},
        {"playback state", gPlaybackStateService},
        {"audio manager", cAudioManager::Get()},
        {"instrument packages", cInstrumentPackageRegistry::GetInstance()},
        {"effect registry", gEffectRegistry},
        {"audition player", gAuditionPlayer},
        {"global settings", cGlobalSettings::GetInstance()},
        {"MIDI settings", cMIDISettings::GetInstance()},
        {"orientation handler", cOrientationHandler::GetInstance()},
        {"device motion", cDeviceMotion::GetInstance()},
        {"battery", cBatteryStatus::GetInstance()},
        {"network", cNetworkStatus::GetInstance()},
        {"companion server", cDocklineServer::GetInstance()},
        {"e-mail", cEmailService::GetInstance()},
        {"share service", cShareServiceStub::GetInstance()},
        {"pasteboard", cPasteboard::GetInstance()},
        {"default material", gDefaultMaterial},
        // Installed with the sequencer, removed before it goes.
        {"recording marker's transport", GetRecordingStateSource()},
        {"status bar's host", GetStatusBarHost()},
        // Installed with the audition player, removed before it goes.
        {"sample editor's preview", GetSampleEditAudition()},
    };
}

TEST(ApplicationStartupTest, BothStagesCreateEverySingletonAndShutdownLeavesEachPointerEmpty)
{
    EmptyInProcessDocuments();
    bool coreStarted = false;
    std::vector<std::string> missing;
    auto* application = new cScriptedApplication(3, [&](cScriptedApplication& app, int frame) {
        if (frame != 1)
            return;
        coreStarted = app.HasStartedCore();
        for (const auto& [name, pointer] : Singletons())
            if (pointer == nullptr)
                missing.emplace_back(name);
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);

    EXPECT_TRUE(coreStarted);
    EXPECT_TRUE(missing.empty()) << missing.front();
    for (const auto& [name, pointer] : Singletons())
        EXPECT_EQ(pointer, nullptr) << name;
    EXPECT_EQ(gSineTable.load(), nullptr);
}

// The recording marker reads the transport's state and the sequencer's
// erase-keys flag through what start-up installed.
TEST(ApplicationStartupTest, TheRecordingMarkerReadsTheSequencer)
{
    EmptyInProcessDocuments();
    std::vector<std::pair<int32_t, bool>> seen;
    auto* application = new cScriptedApplication(3, [&](cScriptedApplication&, int frame) {
        if (frame != 1)
            return;
        const cRecordingStateSource* source = GetRecordingStateSource();
        ASSERT_NE(source, nullptr);
        seen.emplace_back(source->GetTransportState(), source->GetRecordOption());
        cSequencer* sequencer = cSequencer::GetInstance();
        // The flag alone: the song stays stopped, so nothing is recorded.
        gTransport.eraseKeys = 1;
        seen.emplace_back(source->GetTransportState(), source->GetRecordOption());
        ASSERT_EQ(sequencer->GetParamInt(cSequencer::kParamEraseKeys), 1);
        gTransport.eraseKeys = 0;
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_EQ(seen, (std::vector<std::pair<int32_t, bool>>{{0, false}, {0, true}}));
}
} // namespace

// The packages join in the order the design fixes, the synthesizer's first;
// with no banks in the documents its instruments in the new project play
// init presets, and nobody is told.
TEST(ApplicationStartupTest, TheSynthesizerPackageComesFirstAndPlaysInitPresetsWithoutBanks)
{
    EmptyInProcessDocuments();
    std::vector<std::string> packages, kest;
    auto* application = new cScriptedApplication(3, [&](cScriptedApplication&, int frame) {
        if (frame != 1)
            return;
        for (cInstrumentPackage* p = cInstrumentPackageRegistry::GetInstance()->GetFirst(); p; p = p->GetNext())
            packages.emplace_back(p->GetName());
        for (int32_t slot = 0; slot < cInstrumentSlotTable::kSlotCount; ++slot)
        {
            cInstrument* instrument = cInstrumentSlotTable::GetInstance()->GetInstrument(slot);
            if (instrument && std::string(instrument->GetPackage()->GetName()) == "Kest")
                kest.push_back(std::string(instrument->GetName()) + ":" + instrument->GetCurrentPresetName());
        }
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_EQ(packages, (std::vector<std::string>{"Kest", "Mixer", "VRX"}));
    EXPECT_EQ(kest, (std::vector<std::string>{"Kest 1:<EMPTY>", "Kest 2:<EMPTY>", "Kest 3:<EMPTY>", "Kest 4:<EMPTY>"}));
}

// A user reaches the five effect units and no others: the filter, the
// analyser and the test resampler are built but never registered.
TEST(ApplicationStartupTest, TheEffectRegistryHoldsExactlyTheFiveUnits)
{
    EmptyInProcessDocuments();
    std::vector<std::string> units;
    std::vector<std::string> found;
    auto* application = new cScriptedApplication(3, [&](cScriptedApplication&, int frame) {
        if (frame != 1)
            return;
        for (cEffectPackage* p = gEffectRegistry->GetFirst(); p; p = p->GetNext())
            units.emplace_back(p->GetShortName());
        for (const char* hidden : {"FILTER-1B", "ANALYSER", "TEST-RESAMPLER"})
            if (gEffectRegistry->FindPackage(hidden))
                found.emplace_back(hidden);
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_EQ(units, (std::vector<std::string>{"QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS"}));
    EXPECT_TRUE(found.empty()) << found.front();
}
