#include "sampler/WidgetSamplerPanelSample.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "audio/Sample.h"
#include "audio/Transport.h"
#include "base/CriticalSection.h"
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
#include "render/DrawList.h"
#include "sampler/SamplerPage.h"
#include "sampler/SamplerPanelSprites.h"
#include "sequencer/Sequencer.h"
#include "ui/HouseColours.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr int32_t kRecTag = 1;
// The overlay with its "Stop" button and the bar shown.
constexpr int32_t kSampleOverlay = 0x20002;
constexpr const char* kTitle = "Sample main output";
constexpr int32_t kDefaultSeconds = 60;
constexpr int32_t kFramesPerSampleCap = 8388608;
constexpr int32_t kPlayOutMs = 100;
// A pass of the waiting job: long enough to leave the core to others,
// short enough that a stop is seen at once.
constexpr int32_t kPollMs = 10;
constexpr float kSilentDecibels = -90.0f;
constexpr float kSilentPeak = 3.1622763e-5f;
// A quieter block moves the shown level this much of the way.
constexpr float kLevelFall = 0.02f;
// The meter's ends: -30 dB empty, 0 dB full.
constexpr float kMeterRange = 30.0f;
constexpr float kMeterLeft = 10.0f;
constexpr float kMeterAboveBottom = 44.0f;
constexpr float kMeterRightMargin = 25.0f;
constexpr float kMeterInset = 2.0f;
constexpr int32_t kMeterPitch = 4;
constexpr uint32_t kMeterLit = 0xff40e060;
constexpr uint32_t kMeterUnlit = 0xff303830;

const char* const kMonitorTexts[] = {"Off", "Click %.1f BPM", "Song (%d-%d)"};

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

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

int32_t EngineSampleRate()
{
    const cAudioManager* audio = cAudioManager::Get();
    const int32_t rate = audio ? int32_t(std::lround(audio->GetSettings().sampleRate)) : 0;
    return rate > 0 ? rate : 44100;
}

// Silences every instrument and lets the audio thread play the note-offs
// out before the modules are reset.
void SilenceInstruments()
{
    StopAllInstruments(kStopAllForChange);
    const cAudioManager* audio = cAudioManager::Get();
    if (audio && !audio->IsPaused())
        std::this_thread::sleep_for(std::chrono::milliseconds(kPlayOutMs));
    ResetAllInstrumentModules();
}
} // namespace

// ---------------------------------------------------------------- the job

cWidgetSamplerPanelSample::cJobSample::cJobSample(cWidgetSamplerPanelSample* panel, const cSettings& settings)
    : cAudioModule(nullptr, 16), mPanel(panel), mSeconds(settings.seconds),
      mCapacity(int32_t(float(settings.sampleRate) * settings.seconds)), mSampleRate(settings.sampleRate),
      mLoopRecord(settings.loopRecord), mSource(settings.source), mRangeStart(settings.rangeStart),
      mRangeEnd(settings.rangeEnd)
{
    mMeter.Init(Sprite(SamplerPanelSprite::kMeterStrip), kMeterPitch, kMeterBackground);
}

cWidgetSamplerPanelSample::cJobSample::~cJobSample()
{
    if (mSample)
        mSample->Release();
}

cSample* cWidgetSamplerPanelSample::cJobSample::TakeSample()
{
    cSample* sample = mSample;
    mSample = nullptr;
    return sample;
}

bool cWidgetSamplerPanelSample::cJobSample::IsCancelRequested() const
{
    return mCancel.load() || (mOverlay && mOverlay->IsStopRequested());
}

void cWidgetSamplerPanelSample::cJobSample::BeginTake(cSample* sample)
{
    mSample = sample;
    // A take stopped before its first block keeps silence, not old memory.
    std::memset(sample->GetData(), 0, size_t(sample->GetDataBytes()));
    mCapacity = sample->GetFrames();
    mWrapped = false;
    mCaptured = 0;
    mWritePosition = 0;
    mStopRequest = false;
    mLevel = kSilentDecibels;
    mSkipCountIn = mSource == kMonitorSong;
    mCapturing = true;
}

void cWidgetSamplerPanelSample::cJobSample::Run(JobQueue::cJobQueue*)
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cAudioManager* audio = cAudioManager::Get();
    if (!CurrentProject() || !sequencer || !audio)
        return;
    {
        cScopedLock lock(sequencer->GetLock());
        sequencer->Stop();
    }
    SilenceInstruments();
    cAudioDevicePort* port = audio->GetOutputPort();
    if (port && CreateSample())
    {
        // What plays and the listening start in the same device buffer, so
        // the take begins on the source's first frame.
        {
            cScopedLock lock(audio->GetLock());
            StartSource();
            port->AddListener(this);
        }
        Listen(port);
    }
    if (mPanel)
        mPanel->SetMode(kModeNotReady);
    mCapturing = false;
    RestoreTransport();
    SilenceInstruments();
    if (mSample)
        FinishTake();
}

bool cWidgetSamplerPanelSample::cJobSample::CreateSample()
{
    const cAudioManager* audio = cAudioManager::Get();
    const int32_t channels = int32_t(audio->GetOutputPort()->GetStreamChannels());
    if (channels != 1 && channels != 2)
        return false;
    mCapacity = std::min(mCapacity, kMaxDataBytes / (channels * 2));
    if (mCapacity <= 0)
        return false;
    cGenStringFixed<cSample::kPathCapacity> path(CurrentProject()->GetPath());
    if (!PathAppend(path, cGenStringFixed<16>("Sample-01.wav")))
        return false;
    // Left as it is when free.
    MakeUniqueSampleFileName(path);
    cSample* sample = cSample::Create(path.CStr(), 16, channels, mSampleRate, mCapacity);
    if (!sample)
        return false;
    BeginTake(sample);
    return true;
}

void cWidgetSamplerPanelSample::cJobSample::StartSource()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLock lock(sequencer->GetLock());
    mSavedPosition = gTransport.position;
    mSavedLoopOn = gTransport.loopOn;
    mSavedLoopStart = gTransport.loopStart;
    mSavedLoopEnd = gTransport.loopEnd;
    if (mSource == kMonitorClick)
        sequencer->SetState(cTransport::kMetronomeCountIn);
    else if (mSource == kMonitorSong)
    {
        sequencer->SetLoopEnabled(true);
        sequencer->SetLoopStart(mRangeStart);
        sequencer->SetLoopEnd(mRangeEnd);
        sequencer->SetPosition(mRangeStart);
        sequencer->Play(2);
    }
}

void cWidgetSamplerPanelSample::cJobSample::Listen(cAudioDevicePort* port)
{
    while (!mStopRequest.load() && !IsCancelRequested())
    {
        ShowProgress();
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    port->RemoveListener(this);
    ShowProgress();
}

void cWidgetSamplerPanelSample::cJobSample::ShowProgress()
{
    if (!mOverlay || mCapacity <= 0)
        return;
    const float filled = std::clamp(float(GetWritePosition()) / float(mCapacity), 0.0f, 1.0f);
    // A ring that has wrapped is always full; the bar then shows where it writes.
    mOverlay->SetProgress(filled);
}

void cWidgetSamplerPanelSample::cJobSample::RestoreTransport()
{
    cSequencer* sequencer = cSequencer::GetInstance();
    cScopedLock lock(sequencer->GetLock());
    sequencer->Stop();
    sequencer->SetLoopEnabled(mSavedLoopOn != 0);
    sequencer->SetLoopStart(mSavedLoopStart);
    sequencer->SetLoopEnd(mSavedLoopEnd);
    sequencer->SetPosition(mSavedPosition);
}

void cWidgetSamplerPanelSample::cJobSample::FinishTake()
{
    const int32_t captured = GetCaptured(), position = GetWritePosition();
    if (captured < mCapacity)
        mSample->Truncate(captured);
    else if (mLoopRecord && position > 0 && mSource != kMonitorSong)
        mSample->RotateStart(position);
    if (gSettings.normalizeSample)
    {
        SetStatusText("Normalizing");
        mSample->Normalize(0, -1);
    }
}

int32_t cWidgetSamplerPanelSample::cJobSample::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    if (!mSample || mStopRequest.load(std::memory_order_relaxed))
        return 0;
    if (int32_t(buffer.channels) != mSample->GetChannels() ||
        int32_t(std::lround(info.sampleRate)) != mSample->GetSampleRate() || buffer.format != kAudioFormatS16)
    {
        mStopRequest = true;
        return 0;
    }
    if (mSkipCountIn)
    {
        if (gTransport.state == cTransport::kPlayCountIn)
            return 0;
        mSkipCountIn = false;
    }
    const auto* samples = static_cast<const int16_t*>(buffer.data);
    const int32_t frames = int32_t(buffer.frames);
    FollowLevel(samples, frames * int32_t(buffer.channels));
    Copy(samples, frames);
    return 0;
}

void cWidgetSamplerPanelSample::cJobSample::FollowLevel(const int16_t* samples, int32_t count)
{
    int32_t peak = 0;
    for (int32_t i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(int32_t(samples[i])));
    const float gain = float(peak) / 32767.0f;
    const float decibels = gain <= kSilentPeak ? kSilentDecibels : 20.0f * std::log10(gain);
    const float level = mLevel.load(std::memory_order_relaxed);
    mLevel.store(decibels > level ? decibels : level + (decibels - level) * kLevelFall, std::memory_order_relaxed);
}

void cWidgetSamplerPanelSample::cJobSample::Copy(const int16_t* samples, int32_t frames)
{
    const int32_t frameBytes = mSample->GetFrameBytes();
    uint8_t* data = mSample->GetData();
    int32_t position = mWritePosition.load(std::memory_order_relaxed);
    int32_t captured = mCaptured.load(std::memory_order_relaxed);
    const auto* in = reinterpret_cast<const uint8_t*>(samples);
    if (mLoopRecord)
    {
        // In runs up to the ring's end rather than frame by frame.
        int32_t left = frames;
        while (left > 0)
        {
            const int32_t run = std::min(left, mCapacity - position);
            std::memcpy(data + size_t(position) * frameBytes, in, size_t(run) * frameBytes);
            in += size_t(run) * frameBytes;
            left -= run;
            position += run;
            if (position >= mCapacity)
            {
                position = 0;
                mWrapped = !mWrapped;
            }
        }
        mCaptured.store(std::min(captured + frames, mCapacity), std::memory_order_relaxed);
        mWritePosition.store(position, std::memory_order_relaxed);
        return;
    }
    const int32_t n = std::min(mCapacity - captured, frames);
    std::memcpy(data + size_t(captured) * frameBytes, in, size_t(n) * frameBytes);
    captured += n;
    mCaptured.store(captured, std::memory_order_relaxed);
    mWritePosition.store(captured, std::memory_order_relaxed);
    if (captured >= mCapacity)
        mStopRequest = true;
}

void cWidgetSamplerPanelSample::cJobSample::OnFrame(cWidgetProgress* overlay, cDrawList& list)
{
    if (!IsCapturing())
        return;
    const cRect& box = overlay->GetRect();
    const float top = box.yMax - kMeterAboveBottom;
    const float height = float(Sprite(SamplerPanelSprite::kMeterFrame)->height);
    float right = box.xMax - kMeterLeft - kMeterRightMargin;
    // Clear of the "Stop" button beside the bar.
    if (const cWidgetButton* stop = overlay->GetButton(); stop && stop->IsVisible())
        right = std::min(right, stop->GetTouchRect().xMin - kMeterLeft);
    const cRect frame = {box.xMin + kMeterLeft, top, right, top + height};
    if (mMeterRectDirty || frame.xMin != mMeterRect.xMin || frame.xMax != mMeterRect.xMax ||
        frame.yMin != mMeterRect.yMin)
    {
        mMeterRect = frame;
        mMeter.SetPlace(frame.xMin + kMeterInset, frame.yMin + kMeterInset, frame.xMax - frame.xMin - 2 * kMeterInset);
        mMeter.UpdateGeometry();
        mMeterRectDirty = false;
    }
    list.DrawThreePatchH(frame, Sprite(SamplerPanelSprite::kMeterFrame), nullptr, 0xffffffffu);
    mMeter.Draw(list, kMeterLit, kMeterUnlit, std::clamp(GetLevel() / kMeterRange + 1.0f, 0.0f, 1.0f));
}

// ---------------------------------------------------------------- the panel

cWidgetSamplerPanelSample::cWidgetSamplerPanelSample(cSamplerPage& page) : mPage(page)
{
    SetName("PanelSample");
    mLength = AddSpinButton("Sample length", &cWidgetSamplerPanelSample::OnLengthChanged);
    mMonitor = AddSpinButton("Monitor", &cWidgetSamplerPanelSample::OnMonitorChanged);
    mMonitor->minimum = kMonitorOff;
    mMonitor->maximum = kMonitorSong;
    mAutoNormalize = AddToggle("Auto normalize", &cWidgetSamplerPanelSample::OnAutoNormalize);
    mLoopRecord = AddToggle("Loop record", &cWidgetSamplerPanelSample::OnLoopRecord);
    mLoopRecord->value = 1;
    mRec = CreateButton("REC", kButtonPush, 0);
    mRec->SetTag(kRecTag);
    SetButtonIcon(mRec, Sprite(SamplerPanelSprite::kRecordIcon));
    mRec->clickDelegate = cDelegate(this, &cWidgetSamplerPanelSample::OnRec);
    AddChild(mRec);
    mRec->Release();
    UpdateSongRange();
    SetLength(kDefaultSeconds);
    SetMonitor(kMonitorOff);
}

cWidgetSamplerPanelSample::~cWidgetSamplerPanelSample() = default;

cWidgetSpinButton* cWidgetSamplerPanelSample::AddSpinButton(
    const char* caption, intptr_t (cWidgetSamplerPanelSample::*changed)(intptr_t, cWidgetSpinButton*))
{
    cWidgetSpinButton* spin = CreateSpinButton(caption);
    spin->valueDelegate = cDelegate(this, changed);
    spin->captionStyle.colour = HouseColour::kLightLabel;
    AddChild(spin);
    spin->Release();
    return spin;
}

cWidgetButton* cWidgetSamplerPanelSample::AddToggle(const char* label,
                                                    intptr_t (cWidgetSamplerPanelSample::*changed)(intptr_t, cWidgetButton*))
{
    cWidgetButton* toggle = CreateToggleButton(label);
    toggle->labelStyle.colour = HouseColour::kLightLabel;
    toggle->clickDelegate = cDelegate(this, changed);
    AddChild(toggle);
    toggle->Release();
    return toggle;
}

void cWidgetSamplerPanelSample::UpdateSongRange()
{
    mTempo = gTransport.tempo.load();
    mSampleRate = EngineSampleRate();
    mLength->minimum = 1;
    mLength->maximum = (kMaxDataBytes / mSampleRate) / 4;
    mLength->SetValue(mLength->GetValue());

    const int32_t ticksPerBar = std::max(1, gTransport.ticksPerBar.load());
    const float beats = float(std::max(1, gTransport.beatsPerBar.load()));
    const float fitting = (1.0f / 60.0f) / beats * float(ticksPerBar) *
                          (float(kFramesPerSampleCap) / float(mSampleRate) * mTempo);
    const int32_t ticks = int32_t(fitting);
    const int32_t whole = ticks - int32_t(std::fmod(float(ticks), float(ticksPerBar)));
    const int32_t loopStart = gTransport.loopStart, loopEnd = gTransport.loopEnd;
    int32_t length = std::max(whole, ticksPerBar);
    if (loopEnd > loopStart)
    {
        length = std::min(length, loopEnd - loopStart);
        mStartTick = loopStart;
    }
    else
        mStartTick = 0;
    mEndTick = mStartTick + length;
    mFirstBar = mStartTick / ticksPerBar + 1;
    mLastBar = mEndTick / ticksPerBar;
    mSeconds = float(length) * (1.0f / float(ticksPerBar)) * 60.0f / mTempo * beats;
    SetMonitor(mMonitor->GetValue());
}

void cWidgetSamplerPanelSample::SetLength(int32_t seconds)
{
    mLength->SetValue(seconds);
    ShowLengthText();
}

void cWidgetSamplerPanelSample::SetMonitor(int32_t mode)
{
    mMonitor->SetValue(mode);
    const bool song = mMonitor->GetValue() == kMonitorSong;
    // The song range decides a song take's length.
    mLength->SetEnabled(!song);
    if (song)
        mLength->SetValue(int32_t(std::lround(mSeconds)));
    ShowLengthText();
    ShowMonitorText();
}

void cWidgetSamplerPanelSample::ShowLengthText()
{
    cGenStringFixed<16> text;
    text.Printf("%ds", int(mLength->GetValue()));
    mLength->SetText(text.CStr());
}

void cWidgetSamplerPanelSample::ShowMonitorText()
{
    cGenStringFixed<64> text;
    switch (mMonitor->GetValue())
    {
    case kMonitorClick:
        text.Printf(kMonitorTexts[kMonitorClick], double(mTempo));
        break;
    case kMonitorSong:
        text.Printf(kMonitorTexts[kMonitorSong], int(mFirstBar), int(mLastBar));
        break;
    default:
        text.AssignCStr(kMonitorTexts[kMonitorOff]);
        break;
    }
    mMonitor->SetText(text.CStr());
}

intptr_t cWidgetSamplerPanelSample::OnLengthChanged(intptr_t value, cWidgetSpinButton*)
{
    SetLength(int32_t(value));
    return 0;
}

intptr_t cWidgetSamplerPanelSample::OnMonitorChanged(intptr_t value, cWidgetSpinButton*)
{
    SetMonitor(int32_t(value));
    return 0;
}

intptr_t cWidgetSamplerPanelSample::OnLoopRecord(intptr_t, cWidgetButton*) { return 0; }

intptr_t cWidgetSamplerPanelSample::OnAutoNormalize(intptr_t value, cWidgetButton*)
{
    gSettings.normalizeSample = value != 0;
    return 0;
}

intptr_t cWidgetSamplerPanelSample::OnRec(intptr_t, cWidgetButton* button)
{
    if (button && button->GetTag() == kRecTag)
        StartSampling();
    return 0;
}

void cWidgetSamplerPanelSample::OnLayout()
{
    cWidget* const controls[4] = {mLength, mLoopRecord, mMonitor, mAutoNormalize};
    mFrame.Layout(this, mRec, controls);
}

void cWidgetSamplerPanelSample::OnStateChange()
{
    if (cStatusBarHost* statusBar = GetStatusBarHost())
        statusBar->SetTitleText(kTitle);
    ShowLengthText();
    ShowMonitorText();
    mAutoNormalize->value = gSettings.normalizeSample ? 1 : 0;
    UpdateReadiness();
}

// "REC" follows the audio output: a take listens to what it plays.
void cWidgetSamplerPanelSample::UpdateReadiness()
{
    if (mJob)
        return;
    const bool ready = IsAudioInitialised();
    mRec->SetEnabled(ready);
    SetMode(ready ? kModeReady : kModeNotReady);
}

bool cWidgetSamplerPanelSample::Draw(cDrawList& list)
{
    if (cStatusBarHost* statusBar = GetStatusBarHost())
        statusBar->SetTitleText(kTitle);
    UpdateReadiness();
    const char* notice = IsAudioInitialised() ? "Ready to sample main output." : "Audio output is not running.";
    mFrame.Draw(list, GetRect(), notice, "Microphone and line inputs are not supported.");
    return false;
}

void cWidgetSamplerPanelSample::StartSampling()
{
    if (mJob || !IsAudioInitialised())
        return;
    if (gAuditionPlayer)
        gAuditionPlayer->Stop(true);
    cJobSample::cSettings settings;
    settings.sampleRate = EngineSampleRate();
    settings.loopRecord = mLoopRecord->value != 0;
    settings.source = mMonitor->GetValue();
    settings.seconds = float(mLength->GetValue());
    if (settings.source == kMonitorSong)
    {
        settings.seconds = mSeconds;
        settings.rangeStart = mStartTick;
        settings.rangeEnd = mEndTick;
    }
    cWidgetProgress* overlay = mPage.GetHost().GetProgress();
    overlay->Setup(kSampleOverlay);
    overlay->SetName("Sampling in progress");
    SetMode(kModeCapturing);
    mJob = new cJobSample(this, settings);
    mJob->SetOverlay(overlay);
    overlay->SetJob(mJob);
    overlay->Start(cDelegate(this, &cWidgetSamplerPanelSample::FinishSampling));
}

void cWidgetSamplerPanelSample::CancelSampling()
{
    if (mJob)
        mJob->mCancel = true;
}

intptr_t cWidgetSamplerPanelSample::FinishSampling(cWidgetProgress::cJob* job, cWidgetProgress*)
{
    auto* take = static_cast<cJobSample*>(job);
    if (cSample* sample = take->TakeSample())
    {
        mPage.SetSample(sample);
        mPage.MarkModified();
        sample->Release();
        mPage.SelectEditTab();
    }
    delete take;
    mJob = nullptr;
    SetMode(kModeNotReady);
    return 0;
}
