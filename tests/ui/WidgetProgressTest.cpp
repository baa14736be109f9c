#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/JobQueue.h"
#include "ui/DialogueFixture.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetProgress.h"

namespace
{
using namespace std::chrono_literals;

constexpr int kSpinner = 287;
constexpr int kBarFill = 425;

// Holds the job thread until released, stopped or cancelled.
class cTestJob : public cWidgetProgress::cJob
{
public:
    void Run(JobQueue::cJobQueue*) override
    {
        thread = std::this_thread::get_id();
        while (hold.load() && !mCancel.load() && !(overlay && overlay->IsStopRequested()))
            std::this_thread::sleep_for(1ms);
        ran = true;
    }
    void OnFrame(cWidgetProgress*, cDrawList&) override { ++frames; }

    std::atomic<bool> hold{false};
    std::atomic<bool> ran{false};
    cWidgetProgress* overlay = nullptr;
    std::thread::id thread;
    int frames = 0;
};

struct cCompletions
{
    void OnDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay)
    {
        jobs.push_back(job);
        overlays.push_back(overlay);
    }
    std::vector<cWidgetProgress::cJob*> jobs;
    std::vector<cWidgetProgress*> overlays;
};

bool WaitFinished(const JobQueue::cJob& job)
{
    for (int i = 0; i < 2000 && job.mState.load() != JobQueue::cJob::kStateFinished; ++i)
        std::this_thread::sleep_for(1ms);
    return job.mState.load() == JobQueue::cJob::kStateFinished;
}

class WidgetProgressTest : public DialogueFixture
{
protected:
    WidgetProgressTest() : queue(std::make_unique<JobQueue::cJobQueue>()), overlay(new cWidgetProgress()) {}
    ~WidgetProgressTest() override
    {
        job.hold = false;
        queue.reset();
        overlay->Release();
    }

    // As a starter runs a job: set up, titled, first status line, started.
    void StartJob(int32_t flags, const char* title = "Saving Project 'Song'", const char* status = "Saving")
    {
        overlay->Setup(flags);
        overlay->SetName(title);
        cWidgetProgress::SetStatusText(status);
        job.overlay = overlay;
        overlay->SetJob(&job);
        overlay->Start(cDelegate(&done, &cCompletions::OnDone));
    }

    std::unique_ptr<JobQueue::cJobQueue> queue;
    cWidgetProgress* overlay;
    cTestJob job;
    cCompletions done;
};

struct cButtonCase
{
    int32_t flags;
    bool shown;
    const char* label;
};

TEST_F(WidgetProgressTest, TheFlagsChooseTheButtonAndItsLabel)
{
    const cButtonCase cases[] = {
        {0x10000, true, "Cancel"}, {0x20000, true, "Stop"}, {0x30000, true, "Cancel"},
        {0x2, false, nullptr},     {0x0, false, nullptr},   {0x50000, false, nullptr},
    };
    for (const cButtonCase& c : cases)
    {
        SCOPED_TRACE(c.flags);
        job.hold = true;
        StartJob(c.flags);
        Frame();
        EXPECT_EQ(overlay->GetButton()->IsVisible(), c.shown);
        if (c.shown)
        {
            EXPECT_STREQ(overlay->GetButton()->GetName(), c.label);
            EXPECT_TRUE(FindText(c.label).has_value());
        }
        job.hold = false;
        ASSERT_TRUE(WaitFinished(job));
        Frame();
        ASSERT_EQ(done.jobs.size(), 1u);
        done.jobs.clear();
    }
}

TEST_F(WidgetProgressTest, TheBoxIsCentredBelowTheTopWithTheStatusLineAndSpinnerInside)
{
    struct cCase
    {
        int32_t deviceClass;
        cRect box;
    };
    const cCase cases[] = {
        {kDeviceClassDesktop, Rect(242, 100, 782, 220)},
        {kDeviceClassTablet, Rect(242, 100, 782, 220)},
        {kDeviceClassPhone, Rect(297, 80, 727, 180)},
    };
    UseScreen(1024, 768);
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.deviceClass);
        UseDeviceClass(c.deviceClass);
        job.hold = true;
        StartJob(0x10000);
        Frame();
        const cRect& rect = overlay->GetRect();
        EXPECT_EQ(rect.xMin, c.box.xMin);
        EXPECT_EQ(rect.yMin, c.box.yMin);
        EXPECT_EQ(rect.xMax, c.box.xMax);
        EXPECT_EQ(rect.yMax, c.box.yMax);
        // The button sits 10 inside the bottom-right corner; the status line
        // ends 15 before it and has its baseline 22 above the bottom.
        const cRect& button = overlay->GetButton()->GetRect();
        EXPECT_EQ(button.xMax, rect.xMax - 10);
        EXPECT_EQ(button.yMax, rect.yMax - 10);
        const cRect& status = overlay->GetStatusBox();
        EXPECT_EQ(status.xMin, rect.xMin + 10);
        EXPECT_EQ(status.yMax, rect.yMax - 22);
        EXPECT_EQ(status.yMin, rect.yMax - 30);
        EXPECT_EQ(status.xMax, button.xMin - 15);
        // The spinner at the title bar's left end, as a square as high as it.
        const cRect& title = overlay->GetTitleRect();
        const float side = title.yMax - title.yMin;
        EXPECT_EQ(overlay->GetSpinnerCentre().X, title.xMin + side / 2);
        EXPECT_EQ(overlay->GetSpinnerCentre().Y, title.yMin + side / 2);
        EXPECT_EQ(overlay->GetTitleTextRect().xMin, title.xMin + side);
        EXPECT_EQ(QuadsOf(kSpinner).size(), 1u);
        job.hold = false;
        ASSERT_TRUE(WaitFinished(job));
        Frame();
    }
}

TEST_F(WidgetProgressTest, TheSpinnerTurnsEightRadiansASecondAndWraps)
{
    job.hold = true;
    StartJob(0);
    for (int frame = 1; frame <= 60; ++frame)
    {
        Frame();
        const double expected = std::fmod(8.0 * frame / 60.0, 2.0 * M_PI);
        ASSERT_NEAR(overlay->GetSpinnerAngle(), expected, 1e-4) << frame;
    }
    EXPECT_EQ(job.frames, 60);
}

TEST_F(WidgetProgressTest, ALongStatusLineIsShortenedFromItsStart)
{
    job.hold = true;
    StartJob(0x10000, "Copying Sample", "short");
    Frame();
    EXPECT_EQ(std::string(overlay->GetText()), "short");

    // Within the 259 characters the status text holds.
    std::string longLine = "Copying ";
    for (int i = 0; i < 30; ++i)
        longLine += "folder/";
    longLine += "Kick 808.wav";
    cWidgetProgress::SetStatusText(longLine.c_str());
    Frame();
    const std::string shown = overlay->GetText();
    EXPECT_EQ(shown.rfind("..", 0), 0u) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 12), "Kick 808.wav");
    // It fills the line at size 9, less 10 pixels.
    const cRect& status = overlay->GetStatusBox();
    const cFontHandle font = cFontHandle::CopyWithSize(manager->GetDrawList()->fontHandle, 9);
    const float room = status.xMax - status.xMin - 10;
    EXPECT_LE(font.GetTextWidth(shown.c_str()), room);
    EXPECT_GT(font.GetTextWidth(("x" + shown).c_str()), room);
}

TEST_F(WidgetProgressTest, ProgressIsHeldToItsRangeAndShownOnlyOnceSet)
{
    job.hold = true;
    StartJob(0x10002);
    Frame();
    EXPECT_FALSE(overlay->IsBarShown());
    EXPECT_TRUE(QuadsOf(kBarFill).empty());

    const cRect& status = overlay->GetStatusBox();
    const float inner = status.xMax - status.xMin - 4;
    const struct
    {
        float value;
        float shown;
    } cases[] = {{0.5f, 0.5f}, {1.7f, 1.0f}, {-0.2f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        overlay->SetProgress(c.value);
        EXPECT_TRUE(overlay->IsBarShown());
        EXPECT_EQ(overlay->GetBarValue(), c.shown);
        Frame();
        const std::vector<cDrawnQuad> fill = QuadsOf(kBarFill);
        ASSERT_EQ(fill.size(), 1u);
        EXPECT_NEAR(fill[0].rect.xMax - fill[0].rect.xMin, inner * c.shown, 0.01f);
    }
    // A new run starts without a bar.
    job.hold = false;
    ASSERT_TRUE(WaitFinished(job));
    Frame();
    job.hold = true;
    StartJob(0x10002);
    EXPECT_FALSE(overlay->IsBarShown());
    EXPECT_EQ(overlay->GetBarValue(), 0.0f);
}

TEST_F(WidgetProgressTest, AJobDoneBeforeTheFirstFrameIsShownOnceThenCompleted)
{
    StartJob(0);
    ASSERT_TRUE(WaitFinished(job));
    EXPECT_TRUE(done.jobs.empty());
    Frame();
    EXPECT_FALSE(QuadsInside(282).empty()) << "the frame was drawn once";
    ASSERT_EQ(done.jobs.size(), 1u);
    EXPECT_EQ(done.jobs[0], &job);
    EXPECT_EQ(done.overlays[0], overlay);
    EXPECT_FALSE(overlay->IsShown());
    Frame();
    EXPECT_TRUE(QuadsInside(282).empty());
    EXPECT_EQ(done.jobs.size(), 1u);
}

TEST_F(WidgetProgressTest, AnInvisibleOverlayDrawsNothingYetBlocksInputAndCompletes)
{
    cProbeWidget* page = AddProbe(root, "page", Rect(0, 0, 640, 480));
    job.hold = true;
    StartJob(0x50000);
    Frame();
    EXPECT_TRUE(Quads().empty());
    EXPECT_TRUE(Texts().empty());
    Tap(1, 320, 400);
    Frame();
    EXPECT_TRUE(page->touches.empty());
    job.hold = false;
    ASSERT_TRUE(WaitFinished(job));
    Frame();
    EXPECT_EQ(done.jobs.size(), 1u);
    Tap(2, 320, 400);
    EXPECT_FALSE(page->touches.empty());
}

TEST_F(WidgetProgressTest, TheButtonAsksTheJobToStop)
{
    job.hold = true;
    StartJob(0x20002);
    Frame();
    EXPECT_FALSE(overlay->IsStopRequested());
    const cRect button = overlay->GetButton()->GetRect();
    Tap(1, (button.xMin + button.xMax) / 2, (button.yMin + button.yMax) / 2);
    EXPECT_TRUE(overlay->IsStopRequested());
    ASSERT_TRUE(WaitFinished(job));
    Frame();
    EXPECT_EQ(done.jobs.size(), 1u);
    // The next run starts unpressed.
    job.hold = false;
    StartJob(0x20002);
    EXPECT_FALSE(overlay->IsStopRequested());
    EXPECT_EQ(overlay->GetButton()->value, 0);
}

// A queue that takes no more work (the program is closing) or has no worker
// refuses the job: it runs at once, here, and completes at the next frame.
TEST_F(WidgetProgressTest, ARefusedJobRunsAtOnceAndCompletesAtTheNextFrame)
{
    queue->Close();
    StartJob(0x10000);
    EXPECT_TRUE(job.ran.load());
    EXPECT_EQ(job.thread, std::this_thread::get_id());
    EXPECT_EQ(job.mState.load(), JobQueue::cJob::kStateFinished);
    EXPECT_TRUE(done.jobs.empty());
    Frame();
    EXPECT_EQ(done.jobs.size(), 1u);

    queue.reset();
    job.ran = false;
    StartJob(0);
    EXPECT_TRUE(job.ran.load());
    Frame();
    EXPECT_EQ(done.jobs.size(), 2u);
}
} // namespace

// The overlay as a user sees it over a page, through the real renderer.
class WidgetProgressPictureTest : public OffscreenScreenFixture
{
protected:
    void SetUp() override { StartScreen(1024, 768); }
};

// A page that fills the screen with light grey and a line of text.
class cPage : public cWidget
{
public:
    bool Draw(cDrawList& list) override
    {
        list.FillRect(GetRect(), 0xffd0d0d0);
        list.DrawTextSized(40, 700, 0xff303030, 0, "The song page beneath", 14);
        return false;
    }
};

TEST_F(WidgetProgressPictureTest, AFrameOfTheOverlayOverAPage)
{
    JobQueue::cJobQueue queue;
    SetupUIMetrics();
    auto* page = new cPage();
    manager->GetRoot()->AddChild(page);
    page->Release();
    auto* overlay = new cWidgetProgress();
    cTestJob job;
    job.hold = true;
    overlay->Setup(0x10002);
    overlay->SetName("Mixdown 'Song'");
    cWidgetProgress::SetStatusText("Rendering bar 17 of 64");
    overlay->SetJob(&job);
    cCompletions done;
    overlay->Start(cDelegate(&done, &cCompletions::OnDone));
    overlay->SetProgress(0.4f);
    for (int frame = 0; frame < 40; ++frame)
        DrawFrame();
    const std::vector<uint8_t> pixels = gl->ReadPixels();
    const std::string saved = gl->SaveFrame("progress-overlay");
    std::printf("progress overlay saved as %s\n", saved.c_str());
    // Flag 2 dims the page beside the box; the box is drawn over it, with
    // the bar filled to 0.4 of its width.
    const uint32_t dimmed = gl->PixelAt(pixels, 20, 20);
    EXPECT_LT(dimmed & 0xffu, 0xd0u);
    EXPECT_NE(gl->PixelAt(pixels, 512, 160), dimmed);
    job.hold = false;
    ASSERT_TRUE(WaitFinished(job));
    DrawFrame();
    EXPECT_EQ(done.jobs.size(), 1u);
    overlay->Release();
}
