#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cEffectUI;
class cLayoutItemSpacer;

// "Effects": the synthesizer's own drive and chorus/delay, edited with the
// mixer's editors of those units bound to the synthesizer module (its
// sections 14 and 11). The editors come from the effect registry, which
// start-up makes after the instrument packages; while a unit gives none the
// panel stays hidden and takes no page cell.
class cAnalogueSynthPanelEffects : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kDriveInstance = 14;
    static constexpr int32_t kChorusDelayInstance = 11;

    explicit cAnalogueSynthPanelEffects(cAnalogueSynthUI* owner);

    // Asks the registry for the editors still missing; true once both exist.
    bool FindEditors();

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cEffectUI* GetDriveEditor() const { return mDrive; }
    cEffectUI* GetChorusDelayEditor() const { return mChorusDelay; }
    // What the last frame drew: the captions, and the rules and shadings.
    int32_t GetCaptionsDrawn() const { return mCaptionsDrawn; }
    int32_t GetRulesDrawn() const { return mRulesDrawn; }
    // The top, middle and bottom gap around the editors.
    cLayoutItemSpacer* GetGap(int32_t index) const { return mGaps[index]; }

protected:
    ~cAnalogueSynthPanelEffects() override;

private:
    cEffectUI* CreateEditor(const char* unit);
    void BuildLayout();
    void DrawTopGap(cDrawList& list);
    void DrawMiddleGap(cDrawList& list);
    void DrawBottomGap(cDrawList& list);

    cEffectUI* mDrive = nullptr;
    cEffectUI* mChorusDelay = nullptr;
    cLayoutItemSpacer* mGaps[3] = {};
    bool mFirstCaption = false;
    int32_t mCaptionsDrawn = 0;
    int32_t mRulesDrawn = 0;
};
