#include "MixdownFixture.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "audio/WaitUntil.h"
#include "base/JobQueue.h"
#include "platform/MouseTouchTranslator.h"
#include "project/Pasteboard.h"
#include "render/AtlasSprite.h"
#include "sampler/MixdownSprites.h"
#include "sampler/WidgetMixdown.h"
#include "ui/DialogueKit.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetSpinButton.h"

using namespace MixdownTest;
using namespace std::chrono_literals;

namespace
{
constexpr int32_t kBar = 1024;

// The screens above the dialogue: the shared alert and overlay, a file
// browser that keeps each question for the test to answer, and a file
// manager that keeps each folder it is asked to show.
class cRecordingMixdownHost : public cWidgetMixdown::cHost
{
public:
    cWidgetAlert* GetAlert() override { return alert; }
    cWidgetProgress* GetProgress() override { return progress; }
    void AskForOutput(const cWidgetMixdown::cOutputRequest& request, const cDelegate& completion) override
    {
        requests.push_back(request);
        pending = completion;
    }
    void OpenFolder(const char* nativePath) override { opened.push_back(nativePath); }

    // The browser left with a result: 1 accepted.
    void Answer(int32_t result, const std::string& path)
    {
        const cDelegate completion = pending;
        pending.Clear();
        completion.Invoke(result, path.c_str());
    }

    cWidgetAlert* alert = nullptr;
    cWidgetProgress* progress = nullptr;
    std::vector<cWidgetMixdown::cOutputRequest> requests;
    cDelegate pending;
    std::vector<std::string> opened;
};

class cRecordingTitle : public cStatusBarHost
{
public:
    void SetTitleText(const char* text) override { title = text; }
    void ShowStatusMessage(const char*) override {}

    std::string title;
};

// The dialogue on a 1024 x 768 desktop screen drawn by the real renderer,
// over the engine with a new project "Untitled-01", driven by the mouse.
class MixdownDialogue : public OffscreenScreenFixture
{
protected:
    void SetUp() override
    {
        mWorld = std::make_unique<cMixdownWorld>();
        StartScreen(1024, 768);
        cWidgetDialogueDropDown::SetHost(&dropDowns);
        SetStatusBarHost(&statusBar);
        host.alert = new cWidgetAlert();
        host.progress = new cWidgetProgress();
        dialogue = new cWidgetMixdown(host);
        dialogue->Show();
        Frames(60); // the panel's slide down
    }
    void TearDown() override
    {
        queue.reset();
        dialogue->Close();
        Frames(2);
        dialogue->Release();
        host.alert->Release();
        host.progress->Release();
        SetStatusBarHost(nullptr);
        cWidgetDialogueDropDown::SetHost(nullptr);
        OffscreenScreenFixture::TearDown();
        mWorld.reset();
    }

    void Click(cWidget* widget) { ClickCentre(widget->GetRect()); }
    void Click(const cRect& r) { ClickCentre(r); }
    void Up(cWidgetSpinButton* spin) { Click(spin->GetUpZone()); }
    void Down(cWidgetSpinButton* spin) { Click(spin->GetDownZone()); }

    // Sets the three choices as a user would leave them.
    void Choose(int32_t region, int32_t output, int32_t format)
    {
        dialogue->GetRegion()->SetValue(region);
        dialogue->GetOutput()->SetValue(output);
        dialogue->GetFormat()->SetValue(format);
    }

    // "Mixdown" pressed and the proposed or a given name accepted; the
    // frames run until the overlay has completed every job.
    void Run(const std::string& path = "", int32_t answer = 1)
    {
        Click(dialogue->GetMixdownButton());
        ASSERT_FALSE(host.pending.IsEmpty()) << "the file browser was asked";
        host.Answer(answer, path.empty() ? host.requests.back().startPath.CStr() : path);
        Settle();
    }
    // Until no job runs behind the overlay.
    void Settle()
    {
        const bool done = WaitUntil(
            [&] {
                Frames(1);
                return !host.progress->GetJob();
            },
            120s);
        ASSERT_TRUE(done);
        Frames(3);
    }

    bool AlertShown() const { return manager->GetRoot()->HasLayer(host.alert); }
    std::string Title() const { return host.alert->GetName(); }
    std::string Line1() const { return host.alert->firstLine.CStr(); }
    std::string Line2() const { return host.alert->secondLine.CStr(); }
    std::string ButtonLabel(int32_t index) const
    {
        cWidgetButton* button = host.alert->GetButton(index);
        return button->IsVisible() ? button->GetName() : "";
    }
    void PressAlert(int32_t index)
    {
        Frames(20); // the alert's zoom-in
        Click(host.alert->GetButton(index));
        Frames(20);
    }

    std::string Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("mixdown dialogue saved as %s\n", saved.c_str());
        return saved;
    }

    cRecordingDropDownHost dropDowns;
    cRecordingTitle statusBar;
    cRecordingMixdownHost host;
    cWidgetMixdown* dialogue = nullptr;
    std::unique_ptr<JobQueue::cJobQueue> queue;

private:
    std::unique_ptr<cMixdownWorld> mWorld;
};
} // namespace

TEST_F(MixdownDialogue, TheChoicesShowTheirTextsAndSetTheTail)
{
    EXPECT_EQ(statusBar.title, "Mixdown 'Untitled-01'");
    EXPECT_STREQ(dialogue->GetOutput()->GetText(), "Final Mix");
    EXPECT_STREQ(dialogue->GetRegion()->GetText(), "Entire Song");
    EXPECT_STREQ(dialogue->GetFormat()->GetText(), "Wav");
    EXPECT_EQ(dialogue->GetRenderTail()->value, 1) << "on from the first open with the final mix";
    EXPECT_FALSE(dialogue->GetAddToPasteboard()->IsVisible());

    Up(dialogue->GetRegion());
    EXPECT_STREQ(dialogue->GetRegion()->GetText(), "Song Loop (1-4)") << "loop 0..4096 in 4/4";
    gTransport.loopStart = 2 * kBar;
    gTransport.loopEnd = 6 * kBar;
    Down(dialogue->GetRegion());
    Up(dialogue->GetRegion());
    EXPECT_STREQ(dialogue->GetRegion()->GetText(), "Song Loop (3-6)");
    Up(dialogue->GetRegion());
    EXPECT_EQ(dialogue->GetRegion()->GetValue(), 1) << "held to its range";

    const char* const formats[] = {"Ogg (64 Kbps)", "Ogg (128 Kbps)", "Ogg (256 Kbps)", "Zipped Wav", "Zipped Wav"};
    for (const char* format : formats)
    {
        Up(dialogue->GetFormat());
        EXPECT_STREQ(dialogue->GetFormat()->GetText(), format);
    }

    struct
    {
        bool up;
        bool tailBefore;
        const char* output;
        int32_t tailAfter;
    } const steps[] = {
        {true, false, "Mixer Channels", 1},
        {true, false, "Song Parts", 0},
        {true, true, "Song Parts", 1},
        {false, false, "Mixer Channels", 1},
        {false, false, "Final Mix", 1},
    };
    for (const auto& step : steps)
    {
        if ((dialogue->GetRenderTail()->value != 0) != step.tailBefore)
            Click(dialogue->GetRenderTail());
        step.up ? Up(dialogue->GetOutput()) : Down(dialogue->GetOutput());
        EXPECT_STREQ(dialogue->GetOutput()->GetText(), step.output);
        EXPECT_EQ(dialogue->GetRenderTail()->value, step.tailAfter) << step.output;
    }

    // Opening again with "Mixer Channels" switches the tail on again.
    dialogue->GetOutput()->SetValue(1);
    dialogue->GetRenderTail()->value = 0;
    dialogue->Close();
    Frames(2);
    dialogue->Show();
    Frames(2);
    EXPECT_EQ(dialogue->GetRenderTail()->value, 1);
}

TEST_F(MixdownDialogue, TheFileBrowserIsAskedForTheOutput)
{
    // A taken name gets the next number, in place of the name's own.
    WriteBytes(Native("User/Mixdowns/Untitled-01.ogg"), "taken");
    struct
    {
        int32_t output, format;
        const char* title;
        const char* start;
        const char* extension;
        int32_t flags;
        int icon; // -1 none
    } const cases[] = {
        {cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatWav, "Mixdown File", "User/Mixdowns/Untitled-01.wav", "wav",
         0x16, MixdownSprite::kFormatWav},
        {cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128, "Mixdown File", "User/Mixdowns/Untitled-02.ogg",
         "ogg", 0x16, MixdownSprite::kFormatOgg},
        {cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatZippedWav, "Mixdown File", "User/Mixdowns/Untitled-01.zip",
         "zip", 0x16, MixdownSprite::kFormatZip},
        {cMixdown::kOutputMixerChannels, cWidgetMixdown::kFormatOgg64, "Mixdown Folder", "User/Mixdowns/Untitled-01",
         "", 0xD6, -1},
        {cMixdown::kOutputSongParts, cWidgetMixdown::kFormatWav, "Mixdown Folder", "User/Mixdowns/Untitled-01", "",
         0xD6, -1},
        {cMixdown::kOutputSongParts, cWidgetMixdown::kFormatZippedWav, "Mixdown Folder",
         "User/Mixdowns/Untitled-01.zip", "zip", 0x16, MixdownSprite::kFormatZip},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.start);
        Choose(cMixdown::kRegionEntireSong, c.output, c.format);
        Click(dialogue->GetMixdownButton());
        ASSERT_FALSE(host.requests.empty());
        const cWidgetMixdown::cOutputRequest& request = host.requests.back();
        EXPECT_STREQ(request.title.CStr(), c.title);
        EXPECT_STREQ(request.root.CStr(), "User/Mixdowns");
        EXPECT_STREQ(request.startPath.CStr(), c.start);
        EXPECT_STREQ(request.extension.CStr(), c.extension);
        EXPECT_EQ(request.flags, c.flags);
        EXPECT_EQ(request.icon, c.icon < 0 ? nullptr : &gTex8888AtlasTable[c.icon]);
        EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateRendering);
        // Leaving the browser renders nothing.
        host.Answer(0, "");
        EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
        host.requests.clear();
    }
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{"Untitled-01.ogg"});
}

// Where the render goes, what the run leaves and what the report says, per
// output and format; "Show File" opens the output's folder.
TEST_F(MixdownDialogue, EachFormatRendersConvertsAndReports)
{
    AddPart(2, 0, kBar, 69, kBar);
    AddPart(3, 0, kBar, 76, kBar);
    MuteAllBut(TrackIndexOfSlot(2));
    Sequencer().SetTrackMuteSolo(TrackIndexOfSlot(3), cTrack::kNormal);
    WriteBytes(Native("User/Mixdowns/Song.wav"), "the user's own");
    std::filesystem::create_directories(Native("User/Mixdowns/Stems"));
    struct
    {
        int32_t output, format;
        const char* chosen;
        const char* render;
        const char* line;
        const char* button;
        std::vector<std::string> left; // in User/Mixdowns besides Song.wav and Stems
        const char* opened;
    } const cases[] = {
        {cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128, "User/Mixdowns/Song.ogg",
         "User/Mixdowns/Song-02.wav", "File saved as '/Mixdowns/Song.ogg'.", "Show File", {"Song.ogg"},
         "User/Mixdowns/"},
        {cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatZippedWav, "User/Mixdowns/Mix.zip", "User/Mixdowns/Mix.wav",
         "File saved as '/Mixdowns/Mix.zip'.", "Show File", {"Mix.zip"}, "User/Mixdowns/"},
        {cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatWav, "User/Mixdowns/Plain.wav",
         "User/Mixdowns/Plain.wav", "File saved as '/Mixdowns/Plain.wav'.", "Show File", {"Plain.wav"},
         "User/Mixdowns/"},
        {cMixdown::kOutputMixerChannels, cWidgetMixdown::kFormatOgg64, "User/Mixdowns/Stems",
         "User/Mixdowns/Stems-02", "2 files saved to folder '/Mixdowns/Stems-02'.", "Show Files", {"Stems-02"},
         "User/Mixdowns/Stems-02"},
        {cMixdown::kOutputSongParts, cWidgetMixdown::kFormatZippedWav, "User/Mixdowns/Parts.zip",
         "User/Mixdowns/Parts", "File saved as '/Mixdowns/Parts.zip'.", "Show File", {"Parts.zip"},
         "User/Mixdowns/"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.chosen);
        Choose(cMixdown::kRegionEntireSong, c.output, c.format);
        Run(c.chosen);
        EXPECT_STREQ(dialogue->GetRenderPath(), c.render);
        EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateReport);
        ASSERT_TRUE(AlertShown());
        EXPECT_EQ(Title(), "Mixdown Completed");
        EXPECT_EQ(Line1(), c.line);
        EXPECT_EQ(Line2(), "Click 'Show File' to view in the file manager.");
        EXPECT_EQ(ButtonLabel(kAlertNo), c.button);
        EXPECT_EQ(ButtonLabel(kAlertOK), "OK");
        std::vector<std::string> expected = c.left;
        expected.push_back("Song.wav");
        expected.push_back("Stems");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FolderNames(Native("User/Mixdowns")), expected);
        EXPECT_EQ(ReadBytes(Native("User/Mixdowns/Song.wav")), "the user's own");
        PressAlert(kAlertNo);
        ASSERT_FALSE(host.opened.empty());
        EXPECT_EQ(host.opened.back(), Native(c.opened));
        EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
        for (const std::string& name : c.left)
            std::filesystem::remove_all(Native("User/Mixdowns/" + name));
    }
    EXPECT_EQ(FolderNames(Native("User/Mixdowns/Stems")), std::vector<std::string>{});
}

TEST_F(MixdownDialogue, FolderReportsCountTheFiles)
{
    struct
    {
        int32_t keptSlot; // -1: every track muted
        const char* line;
        const char* button;
    } const cases[] = {
        {-1, "No files were saved.", ""},
        {2, "One file was saved to folder '/Mixdowns/One'.", "Show File"},
    };
    for (const auto& c : cases)
    {
        MuteAllBut(c.keptSlot < 0 ? -1 : TrackIndexOfSlot(c.keptSlot));
        Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputMixerChannels, cWidgetMixdown::kFormatWav);
        std::filesystem::remove_all(Native("User/Mixdowns/One"));
        Run("User/Mixdowns/One");
        EXPECT_EQ(Title(), "Mixdown Completed");
        EXPECT_EQ(Line1(), c.line);
        EXPECT_EQ(ButtonLabel(kAlertNo), c.button);
        PressAlert(kAlertOK);
        EXPECT_TRUE(host.opened.empty());
    }
}

// Clipping: with a WAV, advice and no report; before a conversion, a
// question whose "Continue" goes on and whose "Cancel" deletes the render.
TEST_F(MixdownDialogue, ClippingWarnsAndAsks)
{
    Tone(2).settings.spikePeriod = 512;
    Tone(2).settings.spikeValue = 100.0f;
    AddPart(2, 0, kBar);
    MuteAllBut(TrackIndexOfSlot(2));

    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatWav);
    Run("User/Mixdowns/Loud.wav");
    EXPECT_EQ(Title(), "Clipping Detected");
    EXPECT_EQ(Line1(), "If the final mix sounds distorted, reduce the");
    EXPECT_EQ(Line2(), "mixer's master volume and try exporting again.");
    EXPECT_EQ(ButtonLabel(kAlertOK), "OK");
    EXPECT_EQ(ButtonLabel(kAlertCancel), "");
    EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
    EXPECT_TRUE(std::filesystem::exists(Native("User/Mixdowns/Loud.wav")));
    PressAlert(kAlertOK);

    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg64);
    for (int32_t pressed : {kAlertCancel, kAlertOK})
    {
        Run("User/Mixdowns/Loud.ogg");
        EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateClipping);
        EXPECT_EQ(Title(), "Clipping Detected");
        EXPECT_EQ(Line1(), "The mixdown may sound distorted.");
        EXPECT_EQ(Line2(), "Do you want to continue?");
        EXPECT_EQ(ButtonLabel(kAlertCancel), "Cancel");
        EXPECT_EQ(ButtonLabel(kAlertOK), "Continue");
        EXPECT_TRUE(std::filesystem::exists(Native("User/Mixdowns/Loud-02.wav")));
        PressAlert(pressed);
        Settle();
        if (pressed == kAlertCancel)
        {
            EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
            EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{"Loud.wav"});
        }
        else
        {
            EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateReport);
            EXPECT_EQ(Line1(), "File saved as '/Mixdowns/Loud.ogg'.");
            EXPECT_EQ(FolderNames(Native("User/Mixdowns")), (std::vector<std::string>{"Loud.ogg", "Loud.wav"}));
        }
    }
}

TEST_F(MixdownDialogue, FailuresSayWhatWasNotSaved)
{
    AddPart(2, 0, kBar, 69, kBar);
    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatWav);
    Run("User/Mixdowns/Missing/Song.wav");
    EXPECT_EQ(Title(), "Mixdown Failed");
    EXPECT_EQ(Line1(), "Couldn't open 'User/Mixdowns/Missing/Song.wav'");
    EXPECT_EQ(Line2(), "Is the file open in another application?");
    EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
    PressAlert(kAlertOK);

    // The Ogg's name is a folder's: the conversion fails and the WAV stays.
    std::filesystem::create_directories(Native("User/Mixdowns/Song.ogg"));
    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128);
    Run("User/Mixdowns/Song.ogg");
    EXPECT_EQ(Title(), "Format Conversion Failed");
    EXPECT_EQ(Line1(), "Couldn't save to 'User/Mixdowns/Song.ogg'");
    EXPECT_EQ(Line2(), "The WAV mixdown was kept: 'User/Mixdowns/Song.wav'.");
    EXPECT_TRUE(std::filesystem::exists(Native("User/Mixdowns/Song.wav")));
    EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
    PressAlert(kAlertOK);

    // The project went while the render was being set up.
    Click(dialogue->GetMixdownButton());
    ASSERT_EQ(dialogue->GetState(), cWidgetMixdown::kStateRendering);
    auto* job = new cMixdown::cJob("User/Mixdowns/Song.wav", 0, 0, false);
    delete cProjectList::GetInstance();
    new cProjectList();
    JobQueue::RunJob(job, nullptr);
    dialogue->OnMixdownDone(job, host.progress);
    Frames(2);
    EXPECT_EQ(Title(), "Mixdown Failed");
    EXPECT_EQ(Line1(), "Couldn't save to 'User/Mixdowns/Song.wav'");
    EXPECT_EQ(Line2(), "");
    EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
}

// "Add to pasteboard" stays hidden and off; forced on, the render's WAV is
// offered to the pasteboard, which declines at once, and the conversion
// follows exactly once.
TEST_F(MixdownDialogue, AnOfferToThePasteboardGoesOnToTheConversionOnce)
{
    cPasteboard pasteboard;
    AddPart(2, 0, kBar, 69, kBar);
    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128);
    Click(dialogue->GetMixdownButton());
    ASSERT_FALSE(host.pending.IsEmpty());
    dialogue->GetAddToPasteboard()->value = 1;
    host.Answer(1, "User/Mixdowns/Offered.ogg");
    Settle();
    EXPECT_EQ(Title(), "Mixdown Completed");
    EXPECT_EQ(Line1(), "File saved as '/Mixdowns/Offered.ogg'.");
    EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateReport);
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{"Offered.ogg"});
}

// With every numbered name taken, an Ogg's intermediate WAV would have
// overwritten and then deleted the user's file: nothing renders.
TEST_F(MixdownDialogue, NoFreeNameRendersNothing)
{
    AddPart(2, 0, kBar, 69, kBar);
    WriteBytes(Native("User/Mixdowns/Song.wav"), "the user's own");
    for (int i = 2; i <= 99; ++i)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "User/Mixdowns/Song-%02d.wav", i);
        WriteBytes(Native(name), "taken");
    }
    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128);
    Run("User/Mixdowns/Song.ogg");
    EXPECT_EQ(Title(), "Mixdown Failed");
    EXPECT_EQ(Line1(), "Couldn't save to 'User/Mixdowns/Song.wav'");
    EXPECT_EQ(dialogue->GetState(), cWidgetMixdown::kStateIdle);
    EXPECT_EQ(ReadBytes(Native("User/Mixdowns/Song.wav")), "the user's own");
    EXPECT_EQ(FolderNames(Native("User/Mixdowns")).size(), 99u);
    EXPECT_FALSE(std::filesystem::exists(Native("User/Mixdowns/Song.ogg")));
}

// Cancel on the overlay, during the render and during the conversion, with
// the jobs on the job thread as in the program.
TEST_F(MixdownDialogue, CancelOnTheOverlayLeavesNothing)
{
    queue = std::make_unique<JobQueue::cJobQueue>();
    // Long enough that neither job can end before the press.
    AddPart(2, 0, 100 * kBar, 69, 100 * kBar);
    MuteAllBut(TrackIndexOfSlot(2));
    struct
    {
        int32_t stateToCancelIn;
        const char* status; // the overlay's line while the job works
        const char* title;
    } const cases[] = {
        {cWidgetMixdown::kStateConverting, "Encoding 'Long.ogg'", "Format Conversion Cancelled"},
        {cWidgetMixdown::kStateRendering, "Rendering final mix", "Mixdown Cancelled"},
    };
    Choose(cMixdown::kRegionEntireSong, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg256);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.title);
        // A render the press must stop is made long, so that a busy machine
        // cannot see it end first.
        if (c.stateToCancelIn == cWidgetMixdown::kStateRendering)
            AddPart(2, 100 * kBar, 380 * kBar, 69, 380 * kBar);
        Click(dialogue->GetMixdownButton());
        host.Answer(1, "User/Mixdowns/Long.ogg");
        // The job writes its line once it runs: the overlay shows it. Each
        // frame is finished before the next, so the press follows at once.
        cGenStringFixed<260> status;
        ASSERT_TRUE(WaitUntil(
            [&] {
                Frames(1);
                gl->Finish();
                cWidgetProgress::GetStatusText(status);
                return dialogue->GetState() == c.stateToCancelIn && host.progress->GetJob() &&
                       host.progress->IsBarShown() && std::strcmp(status.CStr(), c.status) == 0;
            },
            120s))
            << "the overlay's line: '" << status.CStr() << "'";
        // The overlay's picture is read before the press and saved after it,
        // since saving takes longer than a short render on a busy machine.
        std::vector<uint8_t> overlay;
        if (c.stateToCancelIn == cWidgetMixdown::kStateRendering)
        {
            Frames(2); // the line and bar the condition saw
            overlay = gl->ReadPixels();
        }
        Click(host.progress->GetButton());
        Settle();
        if (!overlay.empty())
            std::printf("mixdown dialogue saved as %s\n", gl->SavePixels("mixdown-overlay", overlay).c_str());
        EXPECT_EQ(Title(), c.title);
        EXPECT_EQ(Line1(), "No mixdown files were saved.");
        EXPECT_EQ(FolderNames(Native("User/Mixdowns")), std::vector<std::string>{});
        PressAlert(kAlertOK);
    }
}

TEST_F(MixdownDialogue, PicturesOfTheDialogueAndTheReport)
{
    AddPart(2, 0, kBar, 69, kBar);
    Choose(cMixdown::kRegionSongLoop, cMixdown::kOutputFinalMix, cWidgetMixdown::kFormatOgg128);
    dialogue->Close();
    Frames(2);
    dialogue->Show();
    Frames(30);
    Save("mixdown-dialogue");
    const cRect& rect = dialogue->GetRect();
    EXPECT_GT(rect.xMax - rect.xMin, 300.0f);
    for (cWidget* child : {static_cast<cWidget*>(dialogue->GetOutput()), static_cast<cWidget*>(dialogue->GetRegion()),
                           static_cast<cWidget*>(dialogue->GetFormat()),
                           static_cast<cWidget*>(dialogue->GetRenderTail()),
                           static_cast<cWidget*>(dialogue->GetMixdownButton())})
    {
        const cRect& r = child->GetRect();
        EXPECT_TRUE(r.xMin >= rect.xMin && r.xMax <= rect.xMax && r.yMin >= rect.yMin && r.yMax <= rect.yMax)
            << child->GetName() << " inside the panel";
    }
    Run("User/Mixdowns/Untitled-01.ogg");
    Frames(30);
    EXPECT_EQ(Line1(), "File saved as '/Mixdowns/Untitled-01.ogg'.");
    Save("mixdown-report");
}
