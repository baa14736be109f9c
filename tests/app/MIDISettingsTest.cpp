#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "SettingsFixture.h"
#include "app/MIDISettings.h"
#include "audio/InstrumentPackageRegistry.h"
#include "audio/MIDIControllerMap.h"
#include "audio/TestInstrument.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"
#include "midi/MIDIPortSettings.h"

namespace
{
// Stand-ins for the three packages, in registration order, each with a
// default assignment of its own.
const cInstrumentPackage::cControllerAssignment kKestDefaults[] = {{0, 74, 0}, {1, 71, 0}};
const cInstrumentPackage::cControllerAssignment kMixerDefaults[] = {{0, 7, 0}, {1, 10, 0}};
const cInstrumentPackage::cControllerAssignment kPadDefaults[] = {{2, 1, 0}};

cTestPackage* AddPackage(const char* name, const cInstrumentPackage::cControllerAssignment* defaults, int32_t count)
{
    auto* package = new cTestPackage(name);
    package->SetControllerTables(nullptr, 0, nullptr, 0, defaults, count);
    package->CreateControllerMap();
    cInstrumentPackageRegistry::GetInstance()->AddPackage(package);
    return package;
}

class cMIDISettingsTest : public cSettingsFixture
{
protected:
    void SetUp() override
    {
        cSettingsFixture::SetUp();
        new cInstrumentPackageRegistry();
        mKest = AddPackage("Kest", kKestDefaults, 2);
        mMixer = AddPackage("Mixer", kMixerDefaults, 2);
        mPads = AddPackage("VRX", kPadDefaults, 1);
        // A package without a map has no element.
        cInstrumentPackageRegistry::GetInstance()->AddPackage(new cTestPackage("Plain"));
    }
    void TearDown() override
    {
        delete cInstrumentPackageRegistry::GetInstance();
        cSettingsFixture::TearDown();
    }

    // A manager on the fake system with one keyboard plugged in.
    std::unique_ptr<cMIDIManager> StartMIDI(cFakeMIDISystem*& system)
    {
        auto fake = std::make_unique<cFakeMIDISystem>();
        fake->inputs = {"Keys 1"};
        system = fake.get();
        return std::make_unique<cMIDIManager>(std::move(fake));
    }

    cTestPackage* mKest = nullptr;
    cTestPackage* mMixer = nullptr;
    cTestPackage* mPads = nullptr;
};

std::vector<std::string> ElementNames(const std::string& text)
{
    std::vector<std::string> names;
    const std::regex element("<([A-Za-z]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), element); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    return names;
}

TEST_F(cMIDISettingsTest, TheFileHoldsEachPackagesMapThenTheInputPorts)
{
    cFakeMIDISystem* system = nullptr;
    auto midi = StartMIDI(system);
    midi->RequestRescan();
    cMIDISettings settings;
    ASSERT_TRUE(settings.Save());

    const std::string text = mFolder.Read("MIDISettings.dat");
    EXPECT_EQ(ElementNames(text), (std::vector<std::string>{"Root", "Instruments", "Kest", "Mixer", "VRX",
                                                            "MIDIManager", "Inputs", "Port"}));
    EXPECT_EQ(text.rfind("<Root FileVersion=\"1.000000\">", 0), 0u) << text;
    const std::string kest = text.substr(text.find("<Kest"), text.find("/>", text.find("<Kest")) - text.find("<Kest"));
    for (int slot = 0; slot < cMIDIControllerMap::kSlotCount; ++slot)
        EXPECT_NE(kest.find(" Ctrl" + std::to_string(slot) + "=\""), std::string::npos) << slot;
    EXPECT_NE(kest.find("Ctrl0=\"74\" Ctrl1=\"71\" Ctrl2=\"-1\""), std::string::npos) << kest;
    EXPECT_NE(text.find("<Mixer Ctrl0=\"7\" Ctrl1=\"10\""), std::string::npos) << text;
    EXPECT_NE(text.find("<VRX Ctrl0=\"-1\" Ctrl1=\"-1\" Ctrl2=\"1\""), std::string::npos) << text;
    EXPECT_NE(text.find("Name=\"Keys 1\""), std::string::npos) << text;
}

TEST_F(cMIDISettingsTest, MapsAndAnEnabledPortComeBackAfterARestart)
{
    {
        cFakeMIDISystem* system = nullptr;
        auto midi = StartMIDI(system);
        midi->RequestRescan();
        ASSERT_EQ(midi->GetPortCount(), 1);
        midi->GetPort(0)->SetEnableFlags(cMIDIPortSettings::kEnableBit);
        ASSERT_NE(system->FindOpen("Keys 1"), nullptr);
        mKest->GetControllerMap()->SetAssignment(5, 20);
        cMIDISettings settings;
        ASSERT_TRUE(settings.Save());
    }
    mKest->GetControllerMap()->SetAssignment(5, cMIDIControllerMap::kUnassigned);

    cFakeMIDISystem* system = nullptr;
    auto midi = StartMIDI(system);
    cMIDISettings settings;
    ASSERT_TRUE(settings.Load());
    midi->RequestRescan();
    EXPECT_NE(system->FindOpen("Keys 1"), nullptr);
    EXPECT_EQ(mKest->GetControllerMap()->GetAssignment(5), 20);
}

// A file that opened but could not be read is no success.
TEST_F(cMIDISettingsTest, ADamagedFileReadsItsBackupOrReportsFailure)
{
    mFolder.Write("MIDISettings.dat", "<Root FileVersion=\"1.0\"><Instruments><Kest Ctrl0=\"3\"");
    cMIDISettings settings;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.Load());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("\"MIDISettings.dat\" is damaged"), std::string::npos);
    EXPECT_EQ(mKest->GetControllerMap()->GetAssignment(0), 74);

    mFolder.Write("MIDISettings.dat.bak", "<Root FileVersion=\"1.0\"><Instruments><Kest Ctrl0=\"3\"/></Instruments></Root>");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(settings.Load());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("using its backup"), std::string::npos);
    EXPECT_EQ(mKest->GetControllerMap()->GetAssignment(0), 3);
    EXPECT_EQ(mKest->GetControllerMap()->GetAssignment(1), cMIDIControllerMap::kUnassigned);
    // A package the file does not name keeps its map.
    EXPECT_EQ(mMixer->GetControllerMap()->GetAssignment(0), 7);
}
} // namespace
