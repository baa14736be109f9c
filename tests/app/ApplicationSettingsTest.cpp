#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "audio/AudioManager.h"
#include "midi/FakeMIDISystem.h"
#include "midi/MIDIManager.h"
#include "ui/InstallerPage.h"

namespace
{
std::string ReadDocument(const std::string& name)
{
    std::ifstream in(InProcessDocuments() + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteDocument(const std::string& name, const std::string& text)
{
    std::ofstream(InProcessDocuments() + "/" + name, std::ios::binary) << text;
}

bool DocumentExists(const std::string& name) { return std::filesystem::exists(InProcessDocuments() + "/" + name); }

std::string InstalledSettings(const std::string& attributes = "")
{
    return "<Root FileVersion=\"1.000000\" InstallerVersion=\"9\" " + attributes + "/>";
}

// The installer page the test finishes when it likes.
class cTestInstallerPage : public cInstallerPage
{
public:
    void Finish() { mDone = true; }
};

// The application with a test installer page and MIDI on the fake system.
class cInstallingApplication : public cScriptedApplication
{
public:
    using cScriptedApplication::cScriptedApplication;

    cTestInstallerPage* page = nullptr;

protected:
    cInstallerPage* CreateInstallerPage() override
    {
        page = new cTestInstallerPage();
        return page;
    }
};

cFakeMIDISystem* StartFakeMIDI()
{
    auto system = std::make_unique<cFakeMIDISystem>();
    cFakeMIDISystem* fake = system.get();
    new cMIDIManager(std::move(system));
    return fake;
}

TEST(ApplicationSettingsTest, AFirstStartWritesTheDefaultsWithTheInstallerVersionAndTheFirstOrientation)
{
    EmptyInProcessDocuments();
    // Long enough for the start-up page's load to finish.
    ASSERT_EQ(RunInProcess(new cScriptedApplication(60, nullptr)), kExitNormal);
    const std::string text = ReadDocument("GlobalSettings.dat");
    // The default recent project, the demo, is not installed here: the
    // start-up page falls back to a new untitled one and shows the intro help.
    for (const char* pair : {"RecentProject=\"User/Projects/Untitled.prj\"", "IntroHelp=\"1\"", "InstallerVersion=\"9\"",
                             "CurrentOrientation=\"1\"", "AuditionNoteVol=\"80\"", "KeyWidth=\"Normal\"",
                             "BufferLatency=\"Medium\"", "AudioQuality=\"Medium\"", "KnobControl=\"Vertical\""})
        EXPECT_NE(text.find(pair), std::string::npos) << pair << " in " << text;
    EXPECT_NE(ReadDocument("MIDISettings.dat").find("<MIDIManager>"), std::string::npos);
}

TEST(ApplicationSettingsTest, TheAudioManagerStartsWithTheStoredLatencyAndQuality)
{
    EmptyInProcessDocuments();
    WriteDocument("GlobalSettings.dat", InstalledSettings("BufferLatency=\"Very High\" AudioQuality=\"Low\""));
    int32_t latency = -1, quality = -1, requested = -1;
    auto* application = new cScriptedApplication(2, [&](cScriptedApplication&, int frame) {
        if (frame != 1)
            return;
        latency = cAudioManager::Get()->GetLatencyIndex();
        quality = cAudioManager::Get()->GetQuality();
        requested = cAudioManager::Get()->GetSettings().bufferLatency;
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_EQ(latency, 4);
    EXPECT_EQ(requested, 4);
    EXPECT_EQ(quality, 0);
}

struct cInstallerCase
{
    const char* name;
    std::string settings;
    bool installerRuns;
    bool midiFilesDeleted;
};

// Version 8 or below installs first and deletes the MIDI settings; 9 starts
// at once; a version lost to damage installs but deletes nothing.
TEST(ApplicationSettingsTest, TheInstallerDecisionFollowsTheStoredVersion)
{
    const cInstallerCase cases[] = {
        {"version 8", "<Root FileVersion=\"1.0\" InstallerVersion=\"8\"/>", true, true},
        {"version 9", InstalledSettings(), false, false},
        {"damaged", "<Root FileVersion=\"1.0\" InstallerVersion=\"9\"", true, false},
    };
    for (const cInstallerCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        EmptyInProcessDocuments();
        WriteDocument("GlobalSettings.dat", c.settings);
        for (const char* suffix : {"", ".tmp", ".bak"})
            WriteDocument(std::string("MIDISettings.dat") + suffix, "<Root FileVersion=\"1.0\"/>");

        cFakeMIDISystem* midi = StartFakeMIDI();
        std::vector<bool> started;
        std::vector<int32_t> listings;
        bool midiFilesLeft = true;
        auto* application = new cInstallingApplication(6, [&](cScriptedApplication& app, int frame) {
            started.push_back(app.HasStartedCore());
            listings.push_back(midi->listings);
            if (frame == 1)
                midiFilesLeft = DocumentExists("MIDISettings.dat.tmp") && DocumentExists("MIDISettings.dat.bak");
            // The page says it is done; the next frame starts the core.
            if (frame == 3)
                if (cTestInstallerPage* page = static_cast<cInstallingApplication&>(app).page)
                    page->Finish();
        });
        testing::internal::CaptureStderr();
        ASSERT_EQ(RunInProcess(application), kExitNormal);
        testing::internal::GetCapturedStderr();

        EXPECT_EQ(midiFilesLeft, !c.midiFilesDeleted);
        const std::vector<bool> whileInstalling = {false, false, false, true, true, true};
        const std::vector<bool> atOnce(6, true);
        EXPECT_EQ(started, c.installerRuns ? whileInstalling : atOnce);
        // No device scan before the core starts.
        if (c.installerRuns)
        {
            EXPECT_EQ(listings[2], 0);
        }
        EXPECT_NE(ReadDocument("GlobalSettings.dat").find("InstallerVersion=\"9\""), std::string::npos);
    }
}

// Closed while the installer still works: the core never starts, and the
// page the application holds goes with the rest (a sanitizer build checks).
TEST(ApplicationSettingsTest, AProgramClosedDuringTheInstallationNeverStartsItsCore)
{
    EmptyInProcessDocuments();
    bool started = true;
    auto* application = new cInstallingApplication(3, [&](cScriptedApplication& app, int) {
        started = app.HasStartedCore() || !app.IsInstallerShowing();
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);
    EXPECT_FALSE(started);
    EXPECT_FALSE(DocumentExists("MIDISettings.dat"));
}

// The countdown restarts at 2.0 s after each scan; the first frame's delta
// runs from the clock's zero, as the clock starts at 0.
TEST(ApplicationSettingsTest, DevicesAreRescannedEvery2SecondsOfFrameTime)
{
    EmptyInProcessDocuments();
    WriteDocument("GlobalSettings.dat", InstalledSettings());
    cFakeMIDISystem* midi = StartFakeMIDI();
    std::vector<float> deltas;
    std::vector<int32_t> listings;
    auto* application = new cScriptedApplication(280, [&](cScriptedApplication& app, int) {
        deltas.push_back(app.GetFrameDelta());
        listings.push_back(midi->listings);
    });
    ASSERT_EQ(RunInProcess(application), kExitNormal);

    int32_t expected = 1; // the first scan of start-up
    float countdown = cMIDIManager::kRescanSeconds;
    int32_t rescans = 0;
    for (size_t i = 0; i < deltas.size(); ++i)
    {
        countdown -= deltas[i];
        if (countdown < 0.0f)
        {
            ++expected;
            ++rescans;
            countdown = cMIDIManager::kRescanSeconds;
        }
        ASSERT_EQ(listings[i], expected) << "frame " << i + 1;
    }
    EXPECT_GE(rescans, 2);
}
} // namespace
