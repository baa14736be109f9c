#pragma once

#include <cstdint>

#include "base/Math.h"
#include "ui/Widget.h"
#include "ui/WidgetProgress.h"

class cEffectPanelEndCheeks;
class cEffectRackUI;
class cSamplerPage;
class cWidgetButton;
class cWidgetKnob;
class cWidgetNavButtonUpDown;

// The sampler's "Effects" tab: the audition player's effect rack in the rack
// editor, so the chain can be built and heard on the current sample, and a
// strip of render options with the process button, which renders the sample
// through the chain behind the progress overlay and hands the result to the
// editor as one undoable edit. The rack is the audition player's own, kept
// with its settings, so the chain outlives the page. Main thread only.
class cWidgetSamplerPanelEffects : public cWidget
{
public:
    // Control tags.
    enum : int32_t
    {
        kTagPreroll = 0,
        kTagTail = 1,
        kTagMono = 2,
        kTagProcess = 3,
        kToggleCount = 3,
    };
    // "REC LEVEL" at this value renders at unity gain.
    static constexpr float kDefaultLevel = 0.75f;
    static constexpr float kStripHeight = 50.0f;
    static constexpr float kTabletStripHeight = 80.0f;
    static constexpr const char* kRenderFile = "Sampler/EffectRender.wav";

    explicit cWidgetSamplerPanelEffects(cSamplerPage& page);

    // The mixer's volume curve: 0 at 0, 0.5 at 0.75, 1 at the top.
    static float VolumeCurve(float value);
    // 2 x curve(knob): 1.0 at the default, 2.0 at the top.
    float GetRenderGain() const;

    // The process button's click; acts only for its tag.
    intptr_t StartEffectRender(intptr_t value, cWidgetButton* button);
    // The render job's completion on the main thread; deletes the job.
    intptr_t FinishEffectRender(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    // The page button follows the rack editor's row and last row.
    void UpdatePageButtons();
    void OnPageStep(bool up);
    void OnPageJump(bool up);

    cWidgetButton* GetToggle(int32_t tag) const { return mToggles[tag]; }
    cWidgetButton* GetProcessButton() const { return mProcess; }
    cWidgetKnob* GetLevelKnob() const { return mLevel; }
    cEffectRackUI* GetRackEditor() const { return mRackEditor; }
    cEffectPanelEndCheeks* GetEndCheeks() const { return mEndCheeks; }
    int32_t GetRenderRunning() const { return mRenderRunning; }
    const cRect& GetStripRect() const { return mStrip; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

protected:
    ~cWidgetSamplerPanelEffects() override;

private:
    void BuildStrip();
    // Room above the level knob for its caption.
    float LevelCaptionRoom() const;
    bool MakeOutputPath(char* out, int32_t capacity) const;
    void ShowAlert(const char* title, const char* firstLine, const char* secondLine);
    void ReportFailure(int32_t result);
    void ReportSuccess(int32_t result);
    intptr_t OnPageRepeat(bool up, cWidgetNavButtonUpDown* button);
    intptr_t OnPageSwipe(bool up, cWidgetNavButtonUpDown* button);

    int32_t mRenderRunning = 0;
    cEffectPanelEndCheeks* mEndCheeks;
    cEffectRackUI* mRackEditor;
    cRect mStrip = {0.0f, 0.0f, 0.0f, 0.0f};
    cSamplerPage& mPage;
    cWidgetButton* mToggles[kToggleCount] = {};
    cWidgetButton* mProcess = nullptr;
    cWidgetKnob* mLevel = nullptr;
};
