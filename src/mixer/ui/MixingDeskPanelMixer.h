#pragma once

#include <cstdint>

#include "ui/Widget.h"

class cEffectRackUI;
class cMixer;
class cMixingDeskInputFaders;
class cMixingDeskInputInsertFX;
class cMixingDeskInputTitles;
class cMixingDeskInstrument;
class cMixingDeskOutputFader;
class cMixingDeskOutputTitle;
class cMixingDeskUI;

// The desk between its cheeks: a row of channel strips, paged by the shown
// instrument's "InChan", with the master's strip at the right end, and the
// insert chain of the channel "InsertFX" names in place of the faders (view
// mode 1), below them when the panel is tall enough (mode 2), or hidden
// (mode 0). Main thread only, except ResetSelection.
class cMixingDeskPanelMixer : public cWidget
{
public:
    enum eViewMode : int32_t
    {
        kModeFaders = 0,
        kModeInsert = 1,
        kModeBoth = 2,
    };

    // The panel's edges keep this much room; strips stand this far apart.
    static constexpr float kEdgeRoom = 8.0f;
    static constexpr float kStripGap = 3.0f;

    explicit cMixingDeskPanelMixer(cMixingDeskUI* root);

    cMixingDeskInstrument* GetInstrument() const;
    cMixer* GetMixer() const;
    // The mixer's channel count, inputs and returns; 0 with no instrument.
    int32_t GetListSize() const;
    int32_t GetLastPageStart() const;
    // "InChan" clamped to the pages.
    int32_t GetFirstShown() const;
    void SetFirstShown(int32_t position);
    // "InsertFX": -1 the master.
    int32_t GetSelectedChannel() const;

    void PageForward();
    void PageBack();
    void PageToEnd();
    void PageToStart();
    bool CanPageForward() const;
    bool CanPageBack() const;

    void ShowFaders();
    void ShowInsertChain();
    void ShowFadersAtTop();
    void ShowInsertChainAtEnd();
    bool CanShowFaders() const;
    bool CanShowInsertChain() const;

    void SelectChannel(int32_t position);
    // The titles row's drag: the strips follow, within the pages.
    void Scroll(float position);
    void UpdateTitle();
    void ResetSelection();
    void RefreshButtons();

    int32_t GetViewMode() const { return mViewMode; }
    float GetScrollPosition() const { return mScrollPosition; }
    float GetPhase() const { return mPhase; }
    int32_t GetStripCount() const { return mStripCount; }
    int32_t GetColumns() const { return mColumns; }
    float GetColumnWidth() const { return mColumnWidth; }
    float GetOutputLeft() const { return mOutputLeft; }
    const char* GetTitle() const { return mTitle.CStr(); }
    cMixingDeskInputTitles* GetTitles() const { return mTitles; }
    cMixingDeskInputFaders* GetFaders() const { return mFaders; }
    cMixingDeskInputInsertFX* GetInsertArea() const { return mInsertArea; }
    cEffectRackUI* GetChainEditor() const;
    cMixingDeskOutputTitle* GetOutputTitle() const { return mOutputTitle; }
    cMixingDeskOutputFader* GetOutputFader() const { return mOutputFader; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

protected:
    ~cMixingDeskPanelMixer() override;

private:
    void SetViewMode(int32_t mode);
    void LayoutColumns();
    void PlaceRows();
    void StepScroll();
    void StepPhase();
    void ShowRows();
    int32_t ClampedInsertChannel() const;

    cMixingDeskUI* mRoot;
    int32_t mViewMode = kModeFaders;
    cMixingDeskInputTitles* mTitles;
    cMixingDeskInputFaders* mFaders;
    cMixingDeskInputInsertFX* mInsertArea;
    cMixingDeskOutputTitle* mOutputTitle;
    cMixingDeskOutputFader* mOutputFader;
    float mScrollPosition = 0.0f;
    float mFaderHeight;
    float mTitleHeight;
    float mMinimumInsertHeight;
    float mPhase = 0.0f;
    float mLeftMargin = 0.0f;
    float mOutputLeft = 0.0f;
    float mColumnWidth = 0.0f;
    int32_t mColumns = 0;
    int32_t mStripCount = 0;
    cGenStringFixed<64> mTitle;
};
