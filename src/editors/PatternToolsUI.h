#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "ui/Widget.h"
#include "ui/WidgetTabbedProperties.h"

class cQuantizeSettingsUI;
class cWidgetButton;
class cWidgetSpinButton;
class cPatternToolsUI;
struct cQuantizeSettings;

// A page of the pattern tools: it edits nothing itself, but tells the piano
// roll what the user asked for through its request delegate.
class cPatternToolsPanel : public cWidget
{
public:
    explicit cPatternToolsPanel(cPatternToolsUI* dialogue) : mDialogue(dialogue) {}

    cDelegate requestDelegate;

protected:
    // A row of a spin button, a gap and a button, centred down the page.
    void LayOutRow(cWidget* spin, float spinStretch, cWidget* button);
    // A line of help above the spin button, left-aligned with it.
    void DrawDescription(cDrawList& list, const char* text, const cWidget* spin);

    cPatternToolsUI* mDialogue;
};

// The edit grid the piano roll snaps to: (settings, panel) on every change.
class cPatternToolsPanelGrid : public cPatternToolsPanel
{
public:
    explicit cPatternToolsPanelGrid(cPatternToolsUI* dialogue);
    void OnStateChange() override;

    cQuantizeSettingsUI* GetSettingsUI() const { return mSettings; }
    cWidgetButton* GetSnapToggle() const { return mSnap; }

private:
    void OnSettings(const cQuantizeSettings* settings, cQuantizeSettingsUI* ui);
    void OnSnap(int32_t value, cWidgetButton* button);

    cQuantizeSettingsUI* mSettings;
    cWidgetButton* mSnap;
};

// Copies every event of a shared pattern: (pattern number, button).
class cPatternToolsPanelCopy : public cPatternToolsPanel
{
public:
    explicit cPatternToolsPanelCopy(cPatternToolsUI* dialogue);
    bool Draw(cDrawList& list) override;

    cWidgetSpinButton* GetSourceSpin() const { return mSource; }
    cWidgetButton* GetCopyButton() const { return mCopy; }

private:
    void OnSource(int32_t value, cWidgetSpinButton* spin);
    void OnCopy(int32_t value, cWidgetButton* button);

    cWidgetSpinButton* mSource;
    cWidgetButton* mCopy;
    cGenStringFixed<32> mLabel;
};

// Removes identical, redundant or all controller events: (kind, button).
class cPatternToolsPanelClean : public cPatternToolsPanel
{
public:
    static constexpr int32_t kKindCount = 3;
    static const char* const kKindNames[kKindCount];

    explicit cPatternToolsPanelClean(cPatternToolsUI* dialogue);
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetSpinButton* GetKindSpin() const { return mKind; }
    cWidgetButton* GetCleanButton() const { return mClean; }

private:
    void OnKind(int32_t value, cWidgetSpinButton* spin);
    void OnClean(int32_t value, cWidgetButton* button);

    cWidgetSpinButton* mKind;
    cWidgetButton* mClean;
};

// Whether and how loud the piano roll plays what is drawn: the global
// "AuditionNote" and "AuditionNoteVol", written directly.
class cPatternToolsPanelPreferences : public cPatternToolsPanel
{
public:
    explicit cPatternToolsPanelPreferences(cPatternToolsUI* dialogue);
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetSpinButton* GetVolumeSpin() const { return mVolume; }
    cWidgetButton* GetAuditionToggle() const { return mAudition; }

private:
    void ShowVolume();
    void OnVolume(int32_t value, cWidgetSpinButton* spin);
    void OnAudition(int32_t value, cWidgetButton* button);

    cWidgetSpinButton* mVolume;
    cWidgetButton* mAudition;
};

// The piano roll's "Pattern Tools": the grid, copying from a shared
// pattern, cleaning and the audition preferences under four tabs. It always
// opens on "Grid". Main thread only.
class cPatternToolsUI : public cWidgetTabbedProperties
{
public:
    enum ePage : int32_t
    {
        kPageGrid = 0,
        kPageCopy = 1,
        kPageClean = 2,
        kPagePreferences = 3,
        kPageCount = 4,
    };

    cPatternToolsUI();

    // The pattern of the part being edited; no tab is chosen by it.
    void Show(int32_t destinationPattern) override;
    void OnStateChange() override;

    int32_t GetDestination() const { return mDestination; }
    cPatternToolsPanelGrid* GetGridPanel() const { return mGrid; }
    cPatternToolsPanelCopy* GetCopyPanel() const { return mCopy; }
    cPatternToolsPanelClean* GetCleanPanel() const { return mClean; }
    cPatternToolsPanelPreferences* GetPreferencesPanel() const { return mPreferences; }

protected:
    ~cPatternToolsUI() override;

private:
    int32_t mDestination = -1;
    cPatternToolsPanelGrid* mGrid;
    cPatternToolsPanelCopy* mCopy;
    cPatternToolsPanelClean* mClean;
    cPatternToolsPanelPreferences* mPreferences;
};
