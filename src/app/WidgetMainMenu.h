#pragma once

#include <atomic>
#include <cstdint>

#include "render/FontHandle.h"
#include "render/Image.h"
#include "ui/Widget.h"

class cWidgetButton;
class cInstrumentTrackCommands;
class cWidgetInstrumentGrid;
class cWidgetInstrumentProps;
class cWidgetStatusBar;

// Where a slot lies among the occupied slots, as an outside controller's
// feedback shows it: 1 when no occupied slot lies below it, 2 when occupied
// slots lie below and above it, 3 when none lies above it; 2 for a
// negative slot.
int32_t GetInstrumentSlotNeighbours(int32_t slot);

// The panel that slides down from under the status bar: the instrument grid
// of the 16 slots, a row with "SONG" and "MANAGE" when the bar has no room
// for them, and the hint to hold a cell. Its page type and current slot are
// the program's current page and instrument: SelectPage is the one way to
// switch the main window between the song page, the manage page and an
// instrument slot's page. Created hidden by the status bar, which adds it as
// a child. Main thread only.
class cWidgetMainMenu : public cWidget
{
public:
    enum : int32_t
    {
        kPageSong = 0,
        kPageManage = 1,
        kPageInstrument = 2,
    };
    static constexpr int32_t kSlotCount = 16;
    // The panel opens and closes in a sixth of a second.
    static constexpr float kSlideRate = 6.0f;

    explicit cWidgetMainMenu(cWidgetStatusBar* statusBar);

    // Type 0 the song page, 1 the manage page, 2 the slot's instrument page;
    // a type outside 0..2 shows the manage page, a slot outside 0..15 is
    // slot 0, and an empty slot shows the manage page.
    void SelectPage(int32_t type, int32_t slot);
    // Posts a release of the live notes of omni ports into the slot's
    // instrument; nothing for an empty slot.
    void ReleaseLiveNotes(int32_t slot);
    // The grid's reports: a tap selects an occupied slot's page and closes
    // the menu; a long press opens the slot's properties.
    void OnGridCell(int32_t kind, int32_t slot);
    // After the properties of a slot closed: the slot, or the nearest
    // occupied slot when it is empty now, or the manage page when no slot is
    // occupied.
    void OnPropertiesClosed(int32_t slot);
    // Margins and height for the status bar's left buttons (menu, SONG,
    // MIXER, MANAGE) shown.
    void SetMetrics(int32_t barLeftCount);
    // Visible at once, fully open at the next state change.
    void ShowInstantly();

    int32_t GetSelectedSlot() const;
    int32_t GetLastInstrumentSlot() const;
    void ResetLastInstrumentSlot();
    void SetSelectedSlot(int32_t slot);
    // Main-menu state that the status bar and the main UI set directly.
    void SetPageType(int32_t type, bool alsoLast);
    int32_t GetPageType() const { return mPageType; }
    // Also read by a project save on the job thread.
    int32_t GetLastPageType() const { return mLastPageType.load(std::memory_order_relaxed); }
    int32_t GetCurrentSlot() const { return mCurrentSlot.load(std::memory_order_relaxed); }
    void RefreshPageButtons();

    bool IsOpen() const { return mOpen; }
    void SetOpen(bool open) { mOpen = open; }
    float GetOpenProgress() const { return mProgress; }
    bool HasCover() const { return mCover; }
    float GetHeight() const { return mHeight; }
    int32_t GetRowCount() const { return mRows; }
    cWidgetInstrumentGrid* GetGrid() const { return mGrid; }
    cWidgetInstrumentProps* GetProperties() const { return mProperties; }
    // The song editor's instrument commands that the properties' OK uses.
    void SetTrackCommands(cInstrumentTrackCommands* commands);
    cWidgetButton* GetSongButton() const { return mSongButton; }
    cWidgetButton* GetManageButton() const { return mManageButton; }
    const cRect& GetPropertiesRect() const { return mPropertiesRect; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;

protected:
    ~cWidgetMainMenu() override;

private:
    intptr_t OnPageButton(intptr_t value, cWidgetButton* button);
    intptr_t OnGridReport(int32_t kind, int32_t slot);
    intptr_t OnPropertiesDone(int32_t slot);
    void ShowPageOfType(int32_t type);
    void SelectNearestOccupiedSlot(int32_t slot);
    void AdvanceSlide();
    void DrawVeil(cDrawList& list);
    cWidgetButton* MakePageButton(const char* label, int32_t tag, int sprite);

    cWidgetStatusBar* mStatusBar;
    cWidgetButton* mSongButton;
    cWidgetButton* mManageButton;
    cWidgetInstrumentGrid* mGrid;
    cWidgetInstrumentProps* mProperties;
    cImage mBackground;
    cFontHandle mHintFont;
    cRect mPropertiesRect = {0.0f, 0.0f, 0.0f, 0.0f};
    float mSideMargin = 6.0f;
    float mTopMargin = 20.0f;
    float mBottomMargin = 6.0f;
    float mButtonHeight = 0.0f;
    float mHeight = 0.0f;
    float mProgress = 0.0f;
    int32_t mRows = 2;
    int32_t mBarLeftCount = 4;
    int32_t mPageType = kPageManage;
    std::atomic<int32_t> mLastPageType{kPageInstrument};
    std::atomic<int32_t> mCurrentSlot{0};
    bool mCover = true;
    bool mOpen = false;
    bool mOpenInstantly = false;
};
