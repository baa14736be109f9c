#include "editors/SongSettingsUI.h"

#include <algorithm>
#include <cmath>

#include "audio/AudioEvent.h"
#include "audio/Transport.h"
#include "base/Clock.h"
#include "base/CriticalSection.h"
#include "base/GenString.h"
#include "base/ProjectModified.h"
#include "sequencer/Sequencer.h"
#include "ui/LayoutBuilders.h"
#include "ui/LayoutItem.h"
#include "ui/LayoutLinear.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetManager.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kSmallSkin = 9;
constexpr uint32_t kWideSkin = 37;
constexpr float kTopMargin = 7.0f;
constexpr int32_t kFewestBeats = 1;
constexpr int32_t kMostBeats = 7;
// Taps further apart than this, or closer, are no tempo (40..240 BPM).
constexpr double kLowestTapBPM = 40.0;
constexpr double kHighestTapBPM = 240.0;
// A tap within a fifth of the tempo moves it a quarter of the way there.
constexpr double kSmoothingBand = 0.2;
constexpr double kSmoothingWeight = 0.25;


double SteadySeconds() { return double(GetTicks()) * GetMillisecondsPerTick() * 0.001; }

cSongSettingsUI::tClock gClock = &SteadySeconds;

int32_t SongTempoTenths() { return int32_t(gTransport.tempo.load() * 10.0f + 0.5f); }
} // namespace

void cSongSettingsUI::SetClock(tClock clock) { gClock = clock ? clock : &SteadySeconds; }

cSongSettingsUI::cSongSettingsUI()
{
    mTempo = CreateSpinButton("BPM");
    mTempo->minimum = kLowestTenths;
    mTempo->maximum = kHighestTenths;
    mTempo->valueDelegate.Bind(this, &cSongSettingsUI::OnTempoSpin);
    mTimeSignature = CreateSpinButton("Time Signature");
    mTimeSignature->minimum = kFewestBeats;
    mTimeSignature->maximum = kMostBeats;
    mTimeSignature->valueDelegate.Bind(this, &cSongSettingsUI::OnTimeSignatureSpin);
    mButtons[kDouble] = CreateButton("x2", kButtonPush, kSmallSkin);
    mButtons[kHalve] = CreateButton("/2", kButtonPush, kSmallSkin);
    mButtons[kTap] = CreateButton("Tap Tempo", kButtonMomentary, kWideSkin);
    for (int32_t tag : {kDouble, kHalve, kTap})
    {
        mButtons[tag]->SetTag(tag);
        mButtons[tag]->clickDelegate.Bind(this, &cSongSettingsUI::OnButton);
    }
    // The page holds the controls' references from here on.
    for (cWidget* control : {static_cast<cWidget*>(mTempo), static_cast<cWidget*>(mTimeSignature),
                             static_cast<cWidget*>(mButtons[kDouble]), static_cast<cWidget*>(mButtons[kHalve]),
                             static_cast<cWidget*>(mButtons[kTap])})
    {
        AddChild(control);
        control->Release();
    }
    BuildLayout();
}

cSongSettingsUI::~cSongSettingsUI() = default;

void cSongSettingsUI::BuildLayout()
{
    auto* row = new cLayoutLinear(kAxisX, 3);
    row->margins[1].value = kTopMargin;
    auto* tempo = AddLayoutItem(row, new cLayoutLinear(kAxisY, 3), kPolicyPref, kPolicyPref);
    AddWidgetItem(tempo, mTempo, kPolicyPref, kPolicyPref);
    AddGapItem(tempo, 1.0f);
    auto* halves = AddLayoutItem(tempo, new cLayoutLinear(kAxisX, 3), kPolicyPref, kPolicyPref);
    AddWidgetItem(halves, mButtons[kDouble], kPolicyPref, kPolicyPref);
    AddGapItem(halves, 1.0f);
    AddWidgetItem(halves, mButtons[kHalve], kPolicyPref, kPolicyPref);
    AddGapItem(row, 0.5f);
    auto* signature = AddLayoutItem(row, new cLayoutLinear(kAxisY, 3), kPolicyPref, kPolicyPref);
    AddWidgetItem(signature, mTimeSignature, kPolicyPref, kPolicyPref);
    AddGapItem(signature, 1.0f);
    AddWidgetItem(signature, mButtons[kTap], kPolicyPref, kPolicyPref);
    SetLayout(row);
}

void cSongSettingsUI::OnStateChange()
{
    SetTimeSignature(gTransport.beatsPerBar.load());
    ShowTempo(SongTempoTenths());
    mPreviousTap = 0.0;
}

void cSongSettingsUI::ShowTempo(int32_t tenths)
{
    const int32_t shown = std::clamp(tenths, kLowestTenths, kHighestTenths);
    cGenStringFixed<16> text;
    text.Printf("%3.1f", double(shown) * 0.1);
    mTempo->SetText(text.CStr());
    mTempo->SetValue(shown);
    // Neither may leave 40..240 BPM.
    mButtons[kHalve]->SetEnabled(shown > 799);
    mButtons[kDouble]->SetEnabled(shown < 1201);
}

void cSongSettingsUI::SetTempo(int32_t tenths)
{
    ShowTempo(tenths);
    cSequencer* sequencer = cSequencer::GetInstance();
    const float bpm = float(mTempo->GetValue()) * 0.1f;
    if (!sequencer || !sequencer->PostEvent(MakeSetFloatEvent(cSequencer::kParamTempo, bpm)))
    {
        // Refused: the song keeps its tempo, and so does what is shown.
        ShowTempo(SongTempoTenths());
        return;
    }
    MarkProjectModified();
}

void cSongSettingsUI::SetTimeSignature(int32_t beats)
{
    const int32_t shown = std::clamp(beats, kFewestBeats, kMostBeats);
    cGenStringFixed<8> text;
    text.Printf("%d/4", int(shown));
    mTimeSignature->SetText(text.CStr());
    mTimeSignature->SetValue(shown);
    cSequencer* sequencer = cSequencer::GetInstance();
    if (!sequencer)
        return;
    bool changed = false;
    {
        cScopedLock lock(sequencer->GetLock());
        if (shown != gTransport.beatsPerBar.load())
        {
            sequencer->SetBeatsPerBar(shown);
            changed = true;
        }
    }
    // Only a real change: every refresh shows the song's own value here.
    if (changed)
        MarkProjectModified();
}

void cSongSettingsUI::Tap()
{
    const double now = gClock();
    const float interval = float(now - mPreviousTap);
    mPreviousTap = now;
    if (interval <= 0.000001f)
        return;
    double bpm = 60.0 / double(interval);
    if (bpm < kLowestTapBPM || bpm > kHighestTapBPM)
        return;
    const double current = double(mTempo->GetValue()) * 0.1;
    if (std::fabs(bpm - current) < current * kSmoothingBand)
        bpm = current * (1.0 - kSmoothingWeight) + bpm * kSmoothingWeight;
    SetTempo(int32_t(std::round(bpm * 10.0)));
}

void cSongSettingsUI::OnTempoSpin(int32_t value, cWidgetSpinButton*) { SetTempo(value); }

void cSongSettingsUI::OnTimeSignatureSpin(int32_t value, cWidgetSpinButton*) { SetTimeSignature(value); }

intptr_t cSongSettingsUI::OnButton(intptr_t value, cWidgetButton* button)
{
    switch (button->GetTag())
    {
    case kDouble: SetTempo(mTempo->GetValue() * 2); break;
    case kHalve: SetTempo(mTempo->GetValue() / 2); break;
    case kTap:
        if (value != 0) // the press, not the release
            Tap();
        break;
    default: break;
    }
    return 0;
}

// --- The popup ---

cSongSettingsPopup::cSongSettingsPopup() : cSongSettingsPopup(new cSongSettingsUI()) {}

cSongSettingsPopup::cSongSettingsPopup(cSongSettingsUI* settingsUI)
    : cSettingsPopup(settingsUI), mSettingsUI(settingsUI)
{
    SetName("Tempo and Time Signature");
    mSettingsUI->Release();
}

cSongSettingsPopup::~cSongSettingsPopup() = default;
