#include "sampler/WidgetSamplerPanelResample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "audio/Transport.h"
#include "base/JobQueue.h"
#include "base/PathUtils.h"
#include "base/StatusText.h"
#include "base/UniqueFileName.h"
#include "mixer/AuditionPlayer.h"
#include "platform/GlobalSettingValues.h"
#include "project/Project.h"
#include "project/ProjectList.h"
#include "project/ProjectSlots.h"
#include "project/ui/FileBrowserHost.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "sampler/OfflineRender.h"
#include "sampler/SamplerPage.h"
#include "sampler/SamplerPanelSprites.h"
#include "sequencer/Sequencer.h"
#include "sequencer/TrackList.h"
#include "ui/HouseColours.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kRecTag = 0;
// The overlay with its "Cancel" button and the bar shown.
constexpr int32_t kResampleOverlay = 0x10002;
constexpr int32_t kClippingAlertStyle = 0x600;
constexpr int32_t kDefaultPreRollBars = 4;
constexpr int32_t kMostBarsAtOpen = 32;
// The seconds that fit one sample at 44100 Hz.
constexpr float kMaxSeconds = 190.21786f;
constexpr int32_t kFrameBytes = 4; // 16-bit stereo
// Gain ramps shorter than a click at either end of the sample.
constexpr int32_t kRampFrames = 4;
constexpr int32_t kLeastRampedFrames = 8;

int32_t TicksPerBar() { return std::max(1, gTransport.ticksPerBar.load()); }

const cProject* CurrentProject()
{
    const cProjectList* projects = cProjectList::GetInstance();
    return projects ? projects->GetCurrentProject() : nullptr;
}

bool IsAudioInitialised()
{
    const cAudioManager* audio = cAudioManager::Get();
    return audio && audio->IsInitialised();
}

// The spinner's value clamped into its range; with its text.
void ShowValue(cWidgetSpinButton* spin, int32_t value, const char* zeroText)
{
    spin->SetValue(value);
    cGenStringFixed<16> text;
    if (spin->GetValue() == 0 && zeroText)
        text.AssignCStr(zeroText);
    else
        text.Printf("%d", int(spin->GetValue()));
    spin->SetText(text.CStr());
}
} // namespace

// ---------------------------------------------------------------- the job

cWidgetSamplerPanelResample::cJobResample::cJobResample(int32_t firstBar, int32_t bars, int32_t preRollBars)
    : mFirstBar(firstBar), mBars(bars), mPreRollBars(preRollBars)
{
}

cWidgetSamplerPanelResample::cJobResample::~cJobResample()
{
    if (mSample)
        mSample->Release();
}

cSample* cWidgetSamplerPanelResample::cJobResample::TakeSample()
{
    cSample* sample = mSample;
    mSample = nullptr;
    return sample;
}

int32_t cWidgetSamplerPanelResample::cJobResample::FramesOfTicks(int32_t ticks)
{
    // In single precision and in this order, so a bar lasts the same number
    // of frames however often it is asked.
    const float frames = float(ticks) * (1.0f / float(TicksPerBar())) * 60.0f / gTransport.tempo.load() *
                             float(gTransport.beatsPerBar.load()) * 44100.0f +
                         0.5f;
    if (!(frames > 0.0f))
        return 0;
    return int32_t(std::min(frames, float(INT32_MAX / 2)));
}

bool cWidgetSamplerPanelResample::cJobResample::IsCancelRequested() const
{
    return mCancel.load() || (mOverlay && mOverlay->IsStopRequested());
}

void cWidgetSamplerPanelResample::cJobResample::Run(JobQueue::cJobQueue*)
{
    const cProject* project = CurrentProject();
    cSequencer* sequencer = cSequencer::GetInstance();
    // A project whose desk is not in slot 0 has nothing to render through:
    // no sample is made and the engine is left alone.
    cMixer* mixer = GetMixer();
    if (!project || !sequencer || !mixer)
        return;
    const int32_t ticksPerBar = TicksPerBar();
    const int32_t start = mFirstBar * ticksPerBar;
    const int32_t length = mBars * ticksPerBar;
    const int32_t preRoll = std::min(mPreRollBars * ticksPerBar, length);
    const int32_t end = start + length;
    const int32_t renderFrames = std::min(FramesOfTicks(length), kMaxFrames);
    const int32_t preRollFrames = FramesOfTicks(preRoll);
    if (renderFrames <= 0)
        return;

    cGenStringFixed<64> name;
    name.Printf("Bar %d_%d.wav", int(mFirstBar + 1), int(end / ticksPerBar));
    cGenStringFixed<cSample::kPathCapacity> path(project->GetPath());
    if (!PathAppend(path, name))
        return;
    // Left as it is when free.
    MakeUniqueSampleFileName(path);
    mSample = cSample::Create(path.CStr(), 16, 2, 44100, renderFrames);
    if (!mSample)
        return;

    cOfflineRender render;
    render.Quiet(mixer);
    render.SaveTransport();
    // The pre-roll wraps at the song's loop end like playback does, whatever
    // the user's loop switch says.
    gTransport.metronomeMode = 0;
    sequencer->SetPosition(end - preRoll);
    sequencer->SetLoopEnabled(true);
    sequencer->Play(0);
    bool finished = preRollFrames <= 0 || RenderPreRoll(render, preRollFrames);
    if (finished)
    {
        render.StartPlaying(start, nullptr);
        finished = RenderInto(render, renderFrames);
    }
    if (finished)
        Finish(preRollFrames);
    else
        TakeSample()->Release();
    render.Restore();
}

void cWidgetSamplerPanelResample::cJobResample::ShowProgress(int32_t remaining, int32_t total)
{
    if (mOverlay)
        mOverlay->SetProgress(std::clamp(1.0f - float(remaining) / float(total), 0.0f, 1.0f));
}

bool cWidgetSamplerPanelResample::cJobResample::RenderPreRoll(cOfflineRender& render, int32_t frames)
{
    SetStatusText("Running pre-roll");
    int32_t remaining = frames;
    while (remaining > 0)
    {
        if (IsCancelRequested())
            return false;
        const int32_t block = std::min<int32_t>(remaining, cOfflineRender::kBlockFrames);
        render.RenderBlock(uint32_t(block), nullptr);
        remaining -= block;
        ShowProgress(remaining, frames);
    }
    return true;
}

bool cWidgetSamplerPanelResample::cJobResample::RenderInto(cOfflineRender& render, int32_t frames)
{
    SetStatusText("Rendering");
    uint8_t* out = mSample->GetData();
    int32_t remaining = frames;
    while (remaining > 0)
    {
        if (IsCancelRequested())
            return false;
        // The mixer renders whole groups of four; only what the sample holds is kept.
        const int32_t block = std::min<int32_t>(remaining, cOfflineRender::kBlockFrames);
        std::memcpy(out, render.RenderBlock(uint32_t(block), nullptr), size_t(block) * kFrameBytes);
        out += size_t(block) * kFrameBytes;
        remaining -= block;
        ShowProgress(remaining, frames);
    }
    return true;
}

void cWidgetSamplerPanelResample::cJobResample::Finish(int32_t preRollFrames)
{
    mClipping = false;
    if (gSettings.normalizeResample)
    {
        SetStatusText("Normalizing");
        mClipping = mSample->Normalize(0, -1);
    }
    const int32_t frames = mSample->GetFrames();
    if (frames <= kLeastRampedFrames)
        return;
    // Without a pre-roll the start is the song's own; with one it would
    // otherwise begin on the tail's full level.
    if (preRollFrames > 0)
        mSample->ApplyGainRamp(0, kRampFrames, 0.0f, 1.0f);
    mSample->ApplyGainRamp(frames - kRampFrames, kRampFrames, 1.0f, 0.0f);
}

// ---------------------------------------------------------------- the panel

cWidgetSamplerPanelResample::cWidgetSamplerPanelResample(cSamplerPage& page) : mPage(page)
{
    SetName("PanelSample");
    mPreRollBars = AddSpinButton("Pre-roll bars", &cWidgetSamplerPanelResample::OnPreRollBarsChanged);
    mNumberOfBars = AddSpinButton("Number of bars", &cWidgetSamplerPanelResample::OnNumberOfBarsChanged);
    mStartBar = AddSpinButton("Start from bar", &cWidgetSamplerPanelResample::OnStartBarChanged);
    mAutoNormalize = CreateToggleButton("Auto normalize");
    mAutoNormalize->labelStyle.colour = HouseColour::kLightLabel;
    mAutoNormalize->clickDelegate = cDelegate(this, &cWidgetSamplerPanelResample::OnAutoNormalize);
    AddChild(mAutoNormalize);
    mAutoNormalize->Release();
    mRec = CreateButton("REC", kButtonPush, 0);
    mRec->SetTag(kRecTag);
    SetButtonIcon(mRec, &gTex8888AtlasTable[SamplerPanelSprite::kRecordIcon]);
    mRec->clickDelegate = cDelegate(this, &cWidgetSamplerPanelResample::StartResample);
    AddChild(mRec);
    mRec->Release();
    ResetFromSong();
}

cWidgetSamplerPanelResample::~cWidgetSamplerPanelResample() = default;

cWidgetSpinButton* cWidgetSamplerPanelResample::AddSpinButton(
    const char* caption, intptr_t (cWidgetSamplerPanelResample::*changed)(intptr_t, cWidgetSpinButton*))
{
    cWidgetSpinButton* spin = CreateSpinButton(caption);
    spin->valueDelegate = cDelegate(this, changed);
    spin->captionStyle.colour = HouseColour::kLightLabel;
    AddChild(spin);
    spin->Release();
    return spin;
}

void cWidgetSamplerPanelResample::ResetFromSong()
{
    const int32_t ticksPerBar = TicksPerBar();
    const cSequencer* sequencer = cSequencer::GetInstance();
    const int32_t songLength = sequencer ? sequencer->GetTrackList()->GetSongLength() : 0;
    const int32_t songBars = std::max(1, songLength / ticksPerBar);
    const int32_t loopStart = gTransport.loopStart, loopEnd = gTransport.loopEnd;
    mLoopFirstBar = loopStart / ticksPerBar + 1;
    mLoopBars = std::max(0, (loopEnd - loopStart) / ticksPerBar);
    const float bars = (1.0f / 60.0f) / float(std::max(1, gTransport.beatsPerBar.load())) *
                       (gTransport.tempo.load() * kMaxSeconds);
    mLargestBars = std::max(1, int32_t(bars));

    mStartBar->minimum = 1;
    mStartBar->maximum = songBars;
    SetStartBar(mLoopFirstBar);
    mNumberOfBars->minimum = 1;
    mNumberOfBars->maximum = mLargestBars;
    SetNumberOfBars(std::min(mLoopBars, kMostBarsAtOpen));
    mPreRollBars->minimum = 0;
    mPreRollBars->maximum = mLoopBars;
    SetPreRollBars(kDefaultPreRollBars);
}

void cWidgetSamplerPanelResample::SetStartBar(int32_t bar) { ShowValue(mStartBar, bar, nullptr); }

void cWidgetSamplerPanelResample::SetNumberOfBars(int32_t bars) { ShowValue(mNumberOfBars, bars, nullptr); }

void cWidgetSamplerPanelResample::SetPreRollBars(int32_t bars) { ShowValue(mPreRollBars, bars, "None"); }

intptr_t cWidgetSamplerPanelResample::OnStartBarChanged(intptr_t value, cWidgetSpinButton*)
{
    SetStartBar(int32_t(value));
    return 0;
}

intptr_t cWidgetSamplerPanelResample::OnNumberOfBarsChanged(intptr_t value, cWidgetSpinButton*)
{
    SetNumberOfBars(int32_t(value));
    mPreRollBars->maximum = mNumberOfBars->GetValue();
    SetPreRollBars(mPreRollBars->GetValue());
    return 0;
}

intptr_t cWidgetSamplerPanelResample::OnPreRollBarsChanged(intptr_t value, cWidgetSpinButton*)
{
    SetPreRollBars(int32_t(value));
    return 0;
}

intptr_t cWidgetSamplerPanelResample::OnAutoNormalize(intptr_t value, cWidgetButton*)
{
    gSettings.normalizeResample = value != 0;
    return 0;
}

void cWidgetSamplerPanelResample::OnLayout()
{
    cWidget* const controls[4] = {mStartBar, mPreRollBars, mNumberOfBars, mAutoNormalize};
    mFrame.Layout(this, mRec, controls);
}

void cWidgetSamplerPanelResample::OnStateChange()
{
    if (cStatusBarHost* statusBar = GetStatusBarHost())
        statusBar->SetTitleText("Resample main mix");
    mRec->SetEnabled(IsAudioInitialised());
    mAutoNormalize->value = gSettings.normalizeResample ? 1 : 0;
}

void cWidgetSamplerPanelResample::GetDescription(cGenString& text) const
{
    const int32_t first = mStartBar->GetValue(), bars = mNumberOfBars->GetValue();
    const float seconds = float(gTransport.beatsPerBar.load()) * 60.0f / gTransport.tempo.load() * float(bars);
    if (bars == 1)
        text.Printf("Bar %d (%.1fs)", int(first), double(seconds));
    else
        text.Printf("Bars %d - %d (%d bars, %.1fs)", int(first), int(first + bars - 1), int(bars), double(seconds));
    const int32_t preRoll = mPreRollBars->GetValue();
    cGenStringFixed<40> phrase;
    if (preRoll == 0)
        phrase.AssignCStr(", no pre-roll.");
    else if (preRoll == 1)
        phrase.AssignCStr(", pre-roll 1 bar.");
    else
        phrase.Printf(", pre-roll %d bars.", int(preRoll));
    text.AppendCString(phrase.CStr());
}

bool cWidgetSamplerPanelResample::Draw(cDrawList& list)
{
    if (cStatusBarHost* statusBar = GetStatusBarHost())
        statusBar->SetTitleText("Resample main mix");
    // The audio output may start or fail while the tab shows.
    mRec->SetEnabled(IsAudioInitialised());
    cGenStringFixed<128> description;
    GetDescription(description);
    mFrame.Draw(list, GetRect(), "Ready to resample main mix.", description.CStr());
    return false;
}

intptr_t cWidgetSamplerPanelResample::StartResample(intptr_t, cWidgetButton* button)
{
    if (!button || button->GetTag() != kRecTag)
        return 0;
    if (gAuditionPlayer)
        gAuditionPlayer->Stop(true);
    if (JobQueue::gJobQueue)
        JobQueue::gJobQueue->WaitUntilIdle();
    const int32_t first = mStartBar->GetValue(), bars = mNumberOfBars->GetValue();
    cWidgetProgress* overlay = mPage.GetHost().GetProgress();
    overlay->Setup(kResampleOverlay);
    cGenStringFixed<64> title;
    title.Printf("Resampling bars %d-%d", int(first), int(first + bars - 1));
    overlay->SetName(title.CStr());
    auto* job = new cJobResample(first - 1, bars, mPreRollBars->GetValue());
    job->SetOverlay(overlay);
    overlay->SetJob(job);
    overlay->Start(cDelegate(this, &cWidgetSamplerPanelResample::FinishResample));
    return 0;
}

intptr_t cWidgetSamplerPanelResample::FinishResample(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    auto* resample = static_cast<cJobResample*>(job);
    if (cSample* sample = resample->TakeSample())
    {
        mPage.SetSample(sample);
        sample->Release();
        mPage.MarkModified();
        mPage.SelectEditTab();
        if (resample->IsClippingDetected())
        {
            cWidgetAlert* alert = mPage.GetHost().GetAlert();
            alert->Reset(kClippingAlertStyle);
            alert->SetButton(kAlertOK, "OK");
            alert->SetName("Clipping Detected");
            alert->firstLine.AssignCStr("If the sample sounds distorted, reduce the mixer's");
            alert->secondLine.AssignCStr("master volume and try resampling again.");
            alert->Show(cDelegate());
        }
    }
    delete job;
    return 0;
}
