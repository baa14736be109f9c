#include "ui/WidgetProgress.h"

#include <cmath>

#include "base/StatusText.h"
#include "platform/DisplayMetrics.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/DrawHelpers.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetModalContainer.h"

namespace
{
struct cBoxPlace
{
    float width, height, top;
};

// Centred, this far below the top of the screen.
constexpr cBoxPlace kPhoneBox = {430.0f, 100.0f, 80.0f};
constexpr cBoxPlace kBox = {540.0f, 120.0f, 100.0f};

// Left from the parent's centre, top from its top, then width and height.
constexpr uint32_t kCentredAnchors = 0x1134;
// Left and top from the parent's far edges, then width and height.
constexpr uint32_t kBottomRightAnchors = 0x1155;

constexpr int32_t kButtonMode = 2; // cycles to 1 when pressed
constexpr uint32_t kButtonStyle = 0x11;
constexpr float kButtonInset = 10.0f;

// The status line: inside the box's sides, its baseline above the bottom.
constexpr float kStatusInset = 10.0f;
constexpr float kBaselineAboveBottom = 22.0f;
constexpr float kStatusHeight = 8.0f;
constexpr float kButtonGap = 15.0f;
constexpr float kStatusTextSize = 9.0f;
constexpr float kStatusTextMargin = 10.0f;

// Colour-atlas entries of the bar.
constexpr int kBarFrame = 424;
constexpr int kBarFill = 425;

cWidgetModalContainer* Root()
{
    cWidgetManager* manager = cWidgetManager::GetInstance();
    return manager ? manager->GetRoot() : nullptr;
}
} // namespace

void cWidgetProgress::cJob::OnFrame(cWidgetProgress*, cDrawList&) {}

cWidgetProgress::cWidgetProgress() : cWidgetDialogue(0)
{
    mButton = CreateButton("Cancel", kButtonMode, kButtonStyle);
    const cAtlasSprite* size = cButtonSkin::FromStyle(kButtonStyle).size;
    mButton->SetAnchors(kBottomRightAnchors, -(kButtonInset + size->width), -(kButtonInset + size->height),
                        size->width, size->height);
    mButton->clickDelegate = cDelegate(this, &cWidgetProgress::OnButtonClicked);
    AddChild(mButton);
}

cWidgetProgress::~cWidgetProgress() { mButton->Release(); }

// One status text for every job: the project's, the instruments' and the
// renders' lines all reach the overlay.
void cWidgetProgress::SetStatusText(const char* text) { ::SetStatusText("%s", text ? text : ""); }

void cWidgetProgress::GetStatusText(cGenString& out) { ::GetStatusText(out); }

void cWidgetProgress::Setup(int32_t flags)
{
    mStyle = flags;
    mSpinnerAngle = 0.0f;
    SetStatusText("");
    mText = "";
    SetName("");
    mJob = nullptr;
}

void cWidgetProgress::Start(const cDelegate& completion)
{
    PlaceBox();
    ResetAnimation();
    mBarShown = false;
    mBarValue = 0.0f;
    mButton->value = 0;
    mStopRequested = false;
    ConfigureButton();
    mCompletion = completion;
    ModifyFlags(kWidgetAllDirty, 0, true);
    if (cWidgetModalContainer* root = Root())
        root->Push(this, 0, kTransitionNone);
    QueueJob();
}

void cWidgetProgress::PlaceBox()
{
    const cBoxPlace& box = gDisplayMetrics.deviceClass == kDeviceClassPhone ? kPhoneBox : kBox;
    SetAnchors(kCentredAnchors, -box.width * 0.5f, box.top, box.width, box.height);
}

void cWidgetProgress::ConfigureButton()
{
    const bool wanted = (mStyle & (kFlagCancel | kFlagStop)) != 0 && !(mStyle & kFlagInvisible);
    mButton->SetVisible(wanted);
    mButton->SetName((mStyle & kFlagCancel) ? "Cancel" : "Stop");
}

// Jobs run in the order they were started. Without a worker to take it, the
// job runs here and now, so the overlay never waits for one that cannot run.
void cWidgetProgress::QueueJob()
{
    if (!mJob)
        return;
    JobQueue::cJobQueue* queue = JobQueue::gJobQueue;
    if (!queue || !queue->AddJob(mJob))
        JobQueue::RunJob(mJob, queue);
}

void cWidgetProgress::SetProgress(float value)
{
    mBarValue.store(std::isnan(value) ? 0.0f : std::fmin(std::fmax(value, 0.0f), 1.0f), std::memory_order_relaxed);
    mBarShown.store(true, std::memory_order_relaxed);
}

intptr_t cWidgetProgress::OnButtonClicked(intptr_t value, cWidgetButton*)
{
    if (value != 0)
        mStopRequested.store(true, std::memory_order_relaxed);
    return 0;
}

void cWidgetProgress::OnLayout()
{
    cWidgetDialogue::OnLayout();
    const cRect& rect = GetRect();
    const float baseline = rect.yMax - kBaselineAboveBottom;
    mStatusBox = {rect.xMin + kStatusInset, baseline - kStatusHeight, rect.xMax - kStatusInset, baseline};
    if (mButton->IsVisible())
        mStatusBox.xMax -= (mButton->GetRect().xMax - mButton->GetRect().xMin) + kButtonGap;
    // A square as high as the title bar at its left end; the title follows.
    const cRect& title = GetTitleRect();
    const float side = title.yMax - title.yMin;
    mSpinnerCentre = {title.xMin + side * 0.5f, title.yMin + side * 0.5f};
    SetTitleTextLeft(title.xMin + side);
}

bool cWidgetProgress::Draw(cDrawList& list)
{
    FitStatusText(list);
    const bool invisible = (mStyle & kFlagInvisible) != 0;
    if (!invisible)
    {
        DrawBackdrop(list);
        DrawFrame(list);
        DrawContent(list);
    }
    CompleteIfFinished();
    return invisible;
}

// The end of a long line stays visible: it is cut at its start.
void cWidgetProgress::FitStatusText(cDrawList& list)
{
    GetStatusText(mText);
    const cFontHandle font = cFontHandle::CopyWithSize(list.fontHandle, kStatusTextSize);
    font.TruncateStart(mText, mStatusBox.xMax - mStatusBox.xMin - kStatusTextMargin);
}

void cWidgetProgress::DrawContent(cDrawList& list)
{
    AdvanceSpinnerAngle(mSpinnerAngle);
    DrawBusySpinner(list, mSpinnerCentre.X, mSpinnerCentre.Y, mSpinnerAngle);
    DrawProgressBar(list, mText.CStr(), mStatusBox.xMin, mStatusBox.yMax, mStatusBox.xMax - mStatusBox.xMin, 0.0f,
                    GetBarValue(), IsBarShown(), &gTex8888AtlasTable[kBarFrame], &gTex8888AtlasTable[kBarFill]);
    if (mJob)
        mJob->OnFrame(this, list);
}

// The completion owns the job from here; it may start the next one at once.
void cWidgetProgress::CompleteIfFinished()
{
    if (mJob && mJob->mState.load() != JobQueue::cJob::kStateFinished)
        return;
    cJob* job = mJob;
    mJob = nullptr;
    if (cWidgetModalContainer* root = Root())
        root->Pop(this);
    const cDelegate completion = mCompletion;
    mCompletion.Clear();
    completion.Invoke(job, this);
}
