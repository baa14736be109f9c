#pragma once
#include <cstdint>

#include "editors/SettingsPopup.h"

class cWidgetButton;
class cWidgetSpinButton;

// The song's tempo and time signature: a "BPM" spin in tenths of a BPM with
// "x2" and "/2", a "Time Signature" spin of beats per bar and "Tap Tempo".
// Tempo changes go to the audio thread through the sequencer's event ring;
// the time signature is written under the sequencer lock. Shown in the
// status bar's popup and on the song tools' first tab. Main thread only.
class cSongSettingsUI : public cWidget
{
public:
    enum eTag : int32_t
    {
        kDouble = 0,
        kHalve = 1,
        kTap = 2,
    };
    static constexpr int32_t kLowestTenths = 400;
    static constexpr int32_t kHighestTenths = 2400;

    // Seconds on a steady clock; tests set their own.
    using tClock = double (*)();
    static void SetClock(tClock clock);

    cSongSettingsUI();

    // Display only: the spin and which of "x2" and "/2" may be pressed.
    void ShowTempo(int32_t tenths);
    // Shown and posted to the sequencer; the project marked modified. A
    // change the full ring refuses is shown undone and marks nothing.
    void SetTempo(int32_t tenths);
    // Shown, and written to the song when it differs.
    void SetTimeSignature(int32_t beats);
    void Tap();

    void OnStateChange() override;

    cWidgetSpinButton* GetTempoSpin() const { return mTempo; }
    cWidgetSpinButton* GetTimeSignatureSpin() const { return mTimeSignature; }
    cWidgetButton* GetButton(int32_t tag) const { return mButtons[tag]; }

protected:
    ~cSongSettingsUI() override;

private:
    void BuildLayout();
    void OnTempoSpin(int32_t value, cWidgetSpinButton* spin);
    void OnTimeSignatureSpin(int32_t value, cWidgetSpinButton* spin);
    intptr_t OnButton(intptr_t value, cWidgetButton* button);

    cWidgetSpinButton* mTempo;
    cWidgetSpinButton* mTimeSignature;
    cWidgetButton* mButtons[3];
    double mPreviousTap = 0.0;
};

// The status bar's "Tempo and Time Signature" dialogue around one
// cSongSettingsUI; dismissing it only hides it for the next showing.
class cSongSettingsPopup : public cSettingsPopup
{
public:
    cSongSettingsPopup();

    cSongSettingsUI* GetSettingsUI() const { return mSettingsUI; }

protected:
    ~cSongSettingsPopup() override;

private:
    explicit cSongSettingsPopup(cSongSettingsUI* settingsUI);

    cSongSettingsUI* mSettingsUI;
};
