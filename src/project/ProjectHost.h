#pragma once

#include <atomic>
#include <cstdint>

class cCriticalSection;

// What the projects need of the screens above them: the progress overlay's
// status line, bar and Cancel button, the main menu's pages, the main UI's
// current-project path and the sequencer page. The application installs its
// host at start-up; without one (tests, tools) every call does nothing and the
// projects work headless.
class cProjectHost
{
public:
    virtual ~cProjectHost() = default;

    // The job status line, written under the status-text lock (job thread).
    virtual void SetStatusText(const char* text);
    // The overlay's bar, 0..1 (job thread).
    virtual void SetProgress(float fraction);
    // Whether the overlay's Cancel button has been pressed (job thread).
    virtual bool IsCancelPressed();
    // Held around taking a project's instruments away, so that no frame is
    // drawn from them meanwhile; null without a screen.
    virtual cCriticalSection* GetFrameLock();

    // The main menu (main thread): its instrument selector, its pages (0 the
    // song, 1 setup, 2 an instrument) and where a saved project returns to.
    virtual void ResetInstrumentSelector();
    virtual void SelectPage(int32_t page, int32_t instrument);
    // Overwrites page and instrument with the last page other than the setup
    // page and its instrument; leaves them without a main menu.
    virtual void GetRestorePage(int32_t& page, int32_t& instrument);

    // The main UI's current-project path and the sequencer page's song view.
    virtual void SetCurrentProjectPath(const char* path);
    virtual void ResetToSongView();
};

// The installed host, or one that does nothing.
cProjectHost& GetProjectHost();
// Null puts back the one that does nothing. The caller keeps the host alive.
void SetProjectHost(cProjectHost* host);

// The instrument slot the main menu has selected, which an omni MIDI port
// plays: written by the main menu, read by the MIDI sink on the audio thread.
extern std::atomic<int32_t> gSelectedInstrumentSlot;
