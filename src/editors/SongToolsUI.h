#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "ui/WidgetTabbedProperties.h"

class cSongRoll;
class cSongSettingsUI;
class cSongToolsPanelMIDIFile;
class cSongToolsUI;
class cTrackList;
class cWidgetButton;
class cWidgetSpinButton;

// What the four tabs share: the dialogue.
class cSongToolsPanel : public cWidget
{
public:
    explicit cSongToolsPanel(cSongToolsUI* dialogue) : mDialogue(dialogue) {}

protected:
    ~cSongToolsPanel() override = default;

    cSongToolsUI* mDialogue;
};

// The song's tempo and time signature.
class cSongToolsPanelTempo : public cSongToolsPanel
{
public:
    explicit cSongToolsPanelTempo(cSongToolsUI* dialogue);

    cSongSettingsUI* GetSettingsUI() const { return mSettings; }

protected:
    ~cSongToolsPanelTempo() override = default;

private:
    cSongSettingsUI* mSettings;
};

// Clearing the whole song or the patterns no part plays, after a warning.
class cSongToolsPanelClear : public cSongToolsPanel
{
public:
    enum eKind : int32_t
    {
        kClearSong = 0,
        kClearPatterns = 1,
    };

    explicit cSongToolsPanelClear(cSongToolsUI* dialogue);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    int32_t GetKind() const { return mKind; }
    cWidgetSpinButton* GetSpin() const { return mSpin; }
    cWidgetButton* GetClearButton() const { return mClear; }
    static const char* GetDescription(int32_t kind);

    // (kind, alert button 3) once the user confirmed.
    cDelegate requestDelegate;

protected:
    ~cSongToolsPanelClear() override = default;

private:
    void ShowKind(int32_t kind);
    void OnSpin(int32_t value, cWidgetSpinButton* spin);
    intptr_t OnClear(intptr_t value, cWidgetButton* button);
    intptr_t OnAlert(int32_t button, cWidget* alert);

    cWidgetSpinButton* mSpin;
    cWidgetButton* mClear;
    int32_t mKind = kClearSong;
};

// The metronome's volume and the bars counted in before recording, both
// kept in the song file.
class cSongToolsPanelPreferences : public cSongToolsPanel
{
public:
    explicit cSongToolsPanelPreferences(cSongToolsUI* dialogue);

    void OnStateChange() override;

    cWidgetSpinButton* GetMetronomeSpin() const { return mMetronome; }
    cWidgetSpinButton* GetCountInSpin() const { return mCountIn; }
    void SetMetronome(int32_t percent);
    void SetCountIn(int32_t bars);

protected:
    ~cSongToolsPanelPreferences() override = default;

private:
    void ShowMetronome(int32_t percent);
    void ShowCountIn(int32_t bars);
    void OnMetronome(int32_t value, cWidgetSpinButton*) { SetMetronome(value); }
    void OnCountIn(int32_t value, cWidgetSpinButton*) { SetCountIn(value); }

    cWidgetSpinButton* mMetronome;
    cWidgetSpinButton* mCountIn;
};

// The song roll's "Song Tools": tempo, clearing, preferences and MIDI files,
// on four tabs; every opening shows the first. Main thread only.
class cSongToolsUI : public cWidgetTabbedProperties
{
public:
    enum eTab : int32_t
    {
        kTabTempo = 0,
        kTabClear = 1,
        kTabPreferences = 2,
        kTabMIDIFile = 3,
    };

    explicit cSongToolsUI(cSongRoll* roll);

    // On the root's modal layers, for the song of that track list.
    void Open(cTrackList* tracks);
    void Close() override;
    void OnStateChange() override;

    cSongRoll* GetSongRoll() const { return mRoll; }
    cTrackList* GetTrackList() const { return mTracks; }
    cSongToolsPanelTempo* GetTempoPanel() const { return mTempo; }
    cSongToolsPanelClear* GetClearPanel() const { return mClear; }
    cSongToolsPanelPreferences* GetPreferencesPanel() const { return mPreferences; }
    cSongToolsPanelMIDIFile* GetMIDIFilePanel() const { return mMIDIFile; }

protected:
    ~cSongToolsUI() override;

private:
    cSongRoll* mRoll;
    cTrackList* mTracks = nullptr;
    cSongToolsPanelTempo* mTempo;
    cSongToolsPanelPreferences* mPreferences;
    cSongToolsPanelClear* mClear;
    cSongToolsPanelMIDIFile* mMIDIFile;
};
