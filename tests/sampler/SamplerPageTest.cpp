#include "SamplerPageFixture.h"

#include "KillHarness.h"

#include <csignal>
#include <random>
#include <sys/wait.h>

#include "audio/AudioManager.h"
#include "base/Zip.h"

namespace
{
constexpr const char* kKick = "User/Samples/Kick.wav";

bool Exists(const std::string& path) { return std::filesystem::exists(path); }
} // namespace

// With a sample the page edits it; without one it makes one.
TEST_F(SamplerPageTest, TabsFollowWhetherASampleIsGiven)
{
    cSample* kick = LoadSample(kKick, RampWav(kFrames));
    const struct
    {
        cSample* sample;
        int32_t selected;
        bool enabled[4];
    } cases[] = {
        {kick, cWidgetSampler::kTabEdit, {false, false, true, true}},
        {nullptr, cWidgetSampler::kTabResample, {true, true, false, false}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.sample ? "with a sample" : "without one");
        Open(c.sample);
        EXPECT_EQ(page->GetTabView()->GetSelectedPage(), c.selected);
        for (int32_t tab = 0; tab < cWidgetSampler::kTabCount; ++tab)
            EXPECT_EQ(Tab(tab)->IsEnabled(), c.enabled[tab]) << "tab " << tab;
        EXPECT_EQ(page->WasOpenedWithSample(), c.sample != nullptr);
        EXPECT_EQ(manager->GetRoot()->GetTopLayerWidget(), page);
        ASSERT_EQ(host->statusStates.size(), 1u);
        EXPECT_TRUE(host->statusStates[0].withTransport);
        EXPECT_TRUE(host->statusStates[0].handler.IsBoundTo(page));
        Back();
        EXPECT_FALSE(host->alert->IsShown()) << "nothing changed, nothing asked";
        EXPECT_FALSE(page->IsShown());
        EXPECT_TRUE(host->statusStates.empty());
        EXPECT_EQ(page->GetSample(), nullptr) << "the page lets the sample go";
    }
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].result, 0);
    EXPECT_EQ(results[0].path, kKick) << "the completion runs while the page still holds the sample";
    EXPECT_EQ(results[1].result, 0);
}

// The work folder exists only while the page shows, and a run killed while
// it showed leaves nothing behind for the next.
TEST_F(SamplerPageTest, TheWorkFolderLivesWhileThePageShows)
{
    MixdownTest::WriteBytes(WorkFolder() + "/1234Undo.tmp", "left by a killed run");
    Open(nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(WorkFolder()));
    EXPECT_TRUE(MixdownTest::FolderNames(WorkFolder()).empty());
    MixdownTest::WriteBytes(WorkFolder() + "/EffectRender.wav", "render");
    Back();
    EXPECT_FALSE(Exists(WorkFolder()));
}

// "Cancel" stays, "Discard" leaves the file's version with the requester.
TEST_F(SamplerPageTest, LeavingWithChangesAsksFirst)
{
    const std::string original = RampWav(kFrames);
    cSample* kick = LoadSample(kKick, original);
    Open(kick);
    DeleteMiddle();
    const int32_t edited = Editor().GetModel().GetFrames();
    ASSERT_LT(edited, kFrames);
    EXPECT_TRUE(page->IsModified());

    Back();
    ASSERT_TRUE(host->alert->IsShown());
    EXPECT_STREQ(host->alert->GetName(), "Sample Modified");
    EXPECT_STREQ(host->alert->firstLine.CStr(), "Keep changes to 'Kick'?");
    const std::pair<int32_t, const char*> buttons[] = {
        {kAlertNo, "Discard"}, {kAlertOther, "Save As..."}, {kAlertCancel, "Cancel"}, {kAlertOK, "OK"}};
    for (const auto& [index, label] : buttons)
        EXPECT_STREQ(host->alert->GetButton(index)->GetName(), label);
    EXPECT_EQ(page->GetSaveState(), cWidgetSampler::kSaveAsking);

    Answer(kAlertCancel);
    EXPECT_TRUE(page->IsShown());
    EXPECT_EQ(page->GetSaveState(), cWidgetSampler::kSaveIdle);
    EXPECT_TRUE(results.empty());

    Back();
    Answer(kAlertNo);
    EXPECT_FALSE(page->IsShown());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].result, 0);
    EXPECT_EQ(kick->GetFrames(), kFrames) << "the file was read again";
    EXPECT_EQ(0, std::memcmp(kick->GetData(), original.data() + 44, size_t(kFrames) * 2));
    EXPECT_EQ(MixdownTest::ReadBytes(Native(kKick)), original);
}

// "OK" writes the sample where it came from, cut to what the edits left;
// the message outlives the page.
TEST_F(SamplerPageTest, OkSavesTheEditedLengthInPlace)
{
    cSample* kick = LoadSample(kKick, RampWav(kFrames));
    Open(kick);
    DeleteMiddle();
    const int32_t edited = Editor().GetModel().GetFrames();
    Back();
    Answer(kAlertOK);
    FinishJob();

    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].result, 1);
    EXPECT_EQ(results[0].path, kKick);
    EXPECT_FALSE(page->IsShown());
    EXPECT_EQ(kick->GetFrames(), edited);
    const std::string bytes = MixdownTest::ReadBytes(Native(kKick));
    ASSERT_EQ(bytes.size(), 44u + size_t(edited) * 2);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 44, kick->GetData(), size_t(edited) * 2));
    EXPECT_EQ(Editor().GetModel().GetHistory().GetCount(), 0) << "the history ends with the save";
    // Cleared as the page closes, then told for 2.5 s.
    ASSERT_EQ(host->messages, (std::vector<std::string>{"", "Saved Sample 'Kick'"}));
    EXPECT_FLOAT_EQ(host->messageSeconds[1], 2.5f);
    EXPECT_FALSE(Exists(WorkFolder()));
}

// A new name keeps the old file and the old path's sample as they were.
TEST_F(SamplerPageTest, SaveAsToANewPathLeavesTheOldFile)
{
    const std::string original = RampWav(kFrames);
    cSample* kick = LoadSample(kKick, original);
    Open(kick);
    DeleteMiddle();
    const int32_t edited = Editor().GetModel().GetFrames();
    Back();
    Answer(kAlertOther);
    cWidgetFileBrowser* browser = host->browser;
    ASSERT_TRUE(browser->IsOpen());
    EXPECT_STREQ(browser->GetName(), "Save Sample");
    EXPECT_EQ(browser->GetFlags(), 0x12u);
    EXPECT_STREQ(browser->rootFolder.CStr(), "User");
    EXPECT_STREQ(browser->GetCurrentFolder(), "User/Samples");
    browser->OnButton(cWidgetFileBrowser::kButtonSaveAs, browser->GetButton(cWidgetFileBrowser::kButtonSaveAs));
    host->Enter("Kick Edit.wav");
    FinishJob();

    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].result, 1);
    EXPECT_EQ(results[0].path, "User/Samples/Kick Edit.wav");
    EXPECT_EQ(MixdownTest::ReadBytes(Native("User/Samples/Kick Edit.wav")).size(), 44u + size_t(edited) * 2);
    EXPECT_EQ(MixdownTest::ReadBytes(Native(kKick)), original);
    EXPECT_EQ(kick->GetFrames(), kFrames) << "the old path's sample holds its file again";
    EXPECT_EQ(0, std::memcmp(kick->GetData(), original.data() + 44, size_t(kFrames) * 2));
    EXPECT_EQ(host->lastFolder, "User/Samples/Kick Edit.wav");
}

// A sample made on the page is named at once, starting at its own path, or
// at the last folder when it has none yet (where the browser waits for
// "Save As...", having no name to offer).
TEST_F(SamplerPageTest, ASampleMadeHereIsNamedAtOnce)
{
    const struct
    {
        const char* path;
        const char* startFolder;
        bool namedAtOnce;
    } cases[] = {
        {"User/Projects/Untitled-01.prj/Bar 1_1.wav", "User/Projects/Untitled-01.prj", true},
        {"", "User/Samples", false},
    };
    std::filesystem::create_directories(Native("User/Projects/Untitled-01.prj"));
    std::filesystem::create_directories(Native("User/Samples"));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        host->lastFolder = "User/Samples/";
        Open(nullptr);
        cSample* made = cSample::Create(c.path, 16, 1, 44100, 1000);
        ASSERT_NE(made, nullptr);
        std::memset(made->GetData(), 0, 2000);
        page->SetSample(made);
        made->Release();
        page->MarkModified();
        Back();
        Answer(kAlertOther);
        ASSERT_TRUE(host->browser->IsOpen());
        EXPECT_EQ(host->browser->GetFlags(), 0x16u);
        EXPECT_STREQ(host->browser->GetCurrentFolder(), c.startFolder);
        ASSERT_EQ(host->keyboardOpen, c.namedAtOnce);
        if (!c.namedAtOnce)
            host->browser->OnButton(cWidgetFileBrowser::kButtonSaveAs,
                                    host->browser->GetButton(cWidgetFileBrowser::kButtonSaveAs));
        host->Enter("Made.wav");
        FinishJob();
        ASSERT_FALSE(results.empty());
        EXPECT_EQ(results.back().result, 1);
        EXPECT_EQ(results.back().path, std::string(c.startFolder) + "/Made.wav");
        EXPECT_EQ(MixdownTest::ReadBytes(Native(results.back().path)).size(), 44u + 2000u);
    }
}

// A write that fails keeps the page, the sample and its changes.
TEST_F(SamplerPageTest, AFailedSaveKeepsThePage)
{
    cSample* kick = LoadSample("User/Gone/Kick.wav", RampWav(kFrames));
    Open(kick);
    DeleteMiddle();
    std::filesystem::remove_all(Native("User/Gone"));
    Back();
    Answer(kAlertOK);
    FinishJob();
    ASSERT_TRUE(host->alert->IsShown());
    EXPECT_STREQ(host->alert->GetName(), "Save Failed");
    EXPECT_STREQ(host->alert->firstLine.CStr(), "Couldn't save sample file 'Kick'");
    EXPECT_TRUE(page->IsShown());
    EXPECT_EQ(page->GetSample(), kick);
    EXPECT_TRUE(page->IsModified());
    EXPECT_EQ(page->GetSaveState(), cWidgetSampler::kSaveIdle);
    EXPECT_TRUE(results.empty());
    Answer(kAlertOK);
    Back();
    EXPECT_TRUE(host->alert->IsShown()) << "the changes are still asked about";
}

// The installed kit is shared by every project: "OK" never writes over it
// and asks for a new name instead.
TEST_F(SamplerPageTest, OkOnTheFactoryKitAsksForANewName)
{
    ASSERT_EQ(Zip::cZipExtractor().ExtractArchive(BuildFile("bin/Resource/Install.zip").c_str(),
                                                  MixdownTest::Documents().c_str(), false),
              Zip::kResultOk);
    host->protections["User/Samples/Kest Factory"] = 4;
    const std::string kitFile = "User/Samples/Kest Factory/Clap.wav";
    const std::string installed = MixdownTest::ReadBytes(Native(kitFile));
    cSample* clap = cSample::Load(kitFile.c_str(), 0);
    ASSERT_NE(clap, nullptr);
    held.Assign(clap);
    clap->Release();
    Open(clap);
    DeleteMiddle();
    Back();
    Answer(kAlertOK);
    cWidgetFileBrowser* browser = host->browser;
    ASSERT_TRUE(browser->IsOpen()) << "the browser opens as for Save As...";
    EXPECT_FALSE(host->progress->IsShown());
    EXPECT_EQ(browser->GetFlags(), 0x12u);
    browser->GoUp();
    browser->OnButton(cWidgetFileBrowser::kButtonSaveAs, browser->GetButton(cWidgetFileBrowser::kButtonSaveAs));
    host->Enter("Clap Edit.wav");
    FinishJob();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].result, 1);
    EXPECT_EQ(results[0].path, "User/Samples/Clap Edit.wav");
    EXPECT_EQ(MixdownTest::ReadBytes(Native(kitFile)), installed);
    EXPECT_TRUE(Exists(Native("User/Samples/Clap Edit.wav")));
}

// An edited sample's save killed at each step of its commit and at any
// moment leaves the file whole, its old or new bytes, and the next start
// finds no temporary beside it.
TEST_F(SamplerPageTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile)
{
    queue.reset(); // the child runs the job itself; no thread to lose in the fork
    const std::string versions[2] = {RampWav(20000, 0), RampWav(20000, 7)};
    cSample* kick = LoadSample(kKick, versions[0]);
    const KillHarness::cKind kind = {
        [&](int version) {
            std::memcpy(kick->GetData(), versions[version].data() + 44, versions[version].size() - 44);
            cWidgetSampler::cJobSaveSample job(kick, kKick);
            job.Run(nullptr);
            return MixdownTest::ReadBytes(Native(kKick)) == versions[version];
        },
        [&] {
            const std::string bytes = MixdownTest::ReadBytes(Native(kKick));
            return bytes == versions[0] ? 0 : bytes == versions[1] ? 1 : -1;
        },
        {MixdownTest::Documents(), GetTempFolderPath()}};
    EXPECT_GE(KillHarness::ExpectEveryStepSurvived(kind), 1);
    KillHarness::ExpectRandomKillsSurvived(kind, 30, 44);
}

// Stop, play and loop follow the sample and the editor's selection.
TEST_F(SamplerPageTest, PlayFollowsTheSelectionOrTheEffectsTab)
{
    Open(nullptr);
    for (int32_t button = 0; button < cWidgetSamplerTransportBar::kButtonCount; ++button)
        EXPECT_FALSE(Transport(button)->IsEnabled()) << "without a sample, button " << button;
    page->Close(0);

    cSample* kick = LoadSample(kKick, RampWav(kFrames));
    Open(kick);
    const struct
    {
        int32_t selectionStart, selectionEnd;
        bool loop;
        int32_t start, end, position;
    } cases[] = {
        {1000, 1000, false, 0, kFrames, 1000},
        {1000, 1000, true, 0, kFrames, 1000},
        {1000, 2500, false, 1000, 2500, 1000},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.selectionStart << ".." << c.selectionEnd << (c.loop ? " loop" : ""));
        Editor().GetModel().SetSelection(c.selectionStart, c.selectionEnd);
        if (page->GetTransportBar()->IsLoopOn() != c.loop)
            Tap(Transport(cWidgetSamplerTransportBar::kLoop));
        Tap(Transport(cWidgetSamplerTransportBar::kPlay));
        ASSERT_TRUE(player->IsActive());
        EXPECT_EQ(player->GetSample(), kick);
        EXPECT_EQ(player->GetPlayStart(), c.start);
        EXPECT_EQ(player->GetPlayEnd(), c.end);
        EXPECT_EQ(player->GetPosition(), c.position);
        EXPECT_EQ(player->IsLooping(), c.loop);
        EXPECT_FALSE(player->GetUseEffects());
        Frames(1);
        EXPECT_TRUE(Transport(cWidgetSamplerTransportBar::kPlay)->LooksLit());
        player->Stop(true);
    }
    // Whatever the selection, the Effects tab plays all through the rack.
    Tap(Tab(cWidgetSampler::kTabEffects));
    Tap(Transport(cWidgetSamplerTransportBar::kPlay));
    EXPECT_EQ(player->GetPlayStart(), 0);
    EXPECT_EQ(player->GetPlayEnd(), kFrames);
    EXPECT_EQ(player->GetPosition(), 0);
    EXPECT_TRUE(player->GetUseEffects());
    Tap(Tab(cWidgetSampler::kTabEdit));
    EXPECT_FALSE(player->GetUseEffects()) << "the rack is heard only on its tab";
}

// The taps that stop playback do not also lose the selection.
TEST_F(SamplerPageTest, StopRewindsTheSelectionOnlyOnAFreshDoubleTap)
{
    cSample* kick = LoadSample(kKick, RampWav(kFrames));
    Open(kick);
    Editor().GetModel().SetSelection(1000, 2000);
    Tap(Transport(cWidgetSamplerTransportBar::kPlay));
    usleep(600000); // the play tap and the stop taps are not one multiple tap
    cWidgetButton* stop = Transport(cWidgetSamplerTransportBar::kStop);
    Tap(stop);
    EXPECT_FALSE(player->IsActive());
    EXPECT_EQ(page->GetTransportBar()->GetTapsNeeded(), 3);
    Tap(stop); // the second tap of a double tap
    EXPECT_EQ(Editor().GetModel().GetSelectionStart(), 1000) << "a double tap just after the stop keeps it";
    Tap(stop);
    EXPECT_EQ(Editor().GetModel().GetSelectionEnd(), 0) << "a triple tap resets it";

    Editor().GetModel().SetSelection(1000, 2000);
    Tap(Transport(cWidgetSamplerTransportBar::kPlay));
    Tap(stop);
    Frames(int(0.3f * 60.0f) + 2);
    EXPECT_EQ(page->GetTransportBar()->GetTapsNeeded(), 2);
    usleep(600000); // the stop's tap no longer counts
    Tap(stop);
    EXPECT_EQ(Editor().GetModel().GetSelectionEnd(), 2000) << "one tap";
    Tap(stop);
    EXPECT_EQ(Editor().GetModel().GetSelectionStart(), 0);
    EXPECT_EQ(Editor().GetModel().GetSelectionEnd(), 0);
}

// Each tab as the page shows it.
TEST_F(SamplerPageTest, Pictures)
{
    cSample* kick = LoadSample(kKick, RampWav(44100));
    Open(kick);
    Frames(30);
    gl->SaveFrame("sampler-edit");
    Tap(Tab(cWidgetSampler::kTabEffects));
    Frames(30);
    gl->SaveFrame("sampler-effects");
    page->Close(0);
    Open(nullptr);
    Frames(30);
    gl->SaveFrame("sampler-resample");
    Tap(Tab(cWidgetSampler::kTabSample));
    Frames(30);
    gl->SaveFrame("sampler-sample");
}

// A resample made on the page has its project path but no file yet: "OK"
// writes it there, and the requester gets it.
TEST_F(SamplerPageTest, AResampleIsKeptInTheProjectFolder)
{
    // The engine runs (paused: the render drives the mixer itself).
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    cAudioManager audio;
    cAudioSettings settings;
    settings.poolBufferCount = 8;
    settings.bufferLatency = 4;
    ASSERT_TRUE(audio.Init(settings)) << audio.GetErrorText();
    audio.SetPaused(true);
    Open(nullptr);
    // The playback report reads the Sample tab's capture mode only while it shows.
    Tap(Tab(cWidgetSampler::kTabSample));
    EXPECT_EQ(page->GetSampleMode(), 1) << "ready to sample";
    Tap(Tab(cWidgetSampler::kTabResample));
    EXPECT_EQ(page->GetSampleMode(), 0) << "the Resample tab shows";
    Tap(page->GetPanelResample()->GetRecButton());
    FinishJob();
    ASSERT_NE(page->GetSample(), nullptr) << "the resample made a sample";
    EXPECT_EQ(page->GetTabView()->GetSelectedPage(), cWidgetSampler::kTabEdit);
    EXPECT_TRUE(page->IsModified());
    const std::string path = page->GetSample()->GetPath();
    const int32_t frames = page->GetSample()->GetFrames();
    EXPECT_TRUE(path.ends_with(".prj/Bar 1_4.wav")) << path;
    EXPECT_EQ(frames, 352800) << "four bars at 120 BPM";
    EXPECT_FALSE(Exists(Native(path)));
    // The program made the new project's folder when it opened it.
    std::filesystem::create_directories(std::filesystem::path(Native(path)).parent_path());
    Back();
    Answer(kAlertOK);
    FinishJob();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].result, 1);
    EXPECT_EQ(results[0].path, path);
    EXPECT_EQ(MixdownTest::ReadBytes(Native(path)).size(), 44u + size_t(frames) * 4);
    audio.Shutdown();
}
