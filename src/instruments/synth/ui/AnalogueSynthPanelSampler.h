#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cLayoutLinear;
class cSample;
class cWidgetButton;
class cWidgetKnob;
class cWidgetLabel;
class cWidgetLEDCycleButton;
class cWidgetLoopDirection;
class cWidgetSpinButton;

// The sample layer of the single patch: which sample plays (loaded from a
// WAV file through the shared browser, or recorded and edited on the
// sampler page) and how: transpose, fine pitch, level, loop, direction and
// note slicing. The sample itself reaches the module under the audio
// manager's lock, as the audio thread reads it while rendering.
//
// A click on LOAD, REC or EDIT while a sample loads is kept and carried out
// on the first frame after both sample managers are idle; the three buttons
// show disabled meanwhile. The main thread never waits for a load.
class cAnalogueSynthPanelSampler : public cAnalogueSynthPanel
{
public:
    enum eOperation : int32_t
    {
        kNone = -1,
        kLoad = 0,
        kRecord = 1,
        kEdit = 2,
    };
    static constexpr float kLabelInset = 25.0f;

    explicit cAnalogueSynthPanelSampler(cAnalogueSynthUI* owner);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // The buttons' handler: the sender's tag names the operation.
    void OnButtonClicked(int32_t value, cWidget* sender);
    // The browser's answer: 1 with the chosen path.
    void OnLoadCompleted(int32_t result, const char* path);
    // The sampler page's answer: 1 with the sample it holds.
    void OnSamplerCompleted(int32_t result, cSample* sample);

    int32_t GetPending() const { return mPending; }
    int32_t GetDeferred() const { return mDeferred; }
    const char* GetSamplePath() const { return mSamplePath.CStr(); }
    bool IsSampleLoading() const;
    cWidgetButton* GetButton(int32_t operation) const { return mButtons[operation]; }
    cWidgetLabel* GetNameLabel() const { return mName; }
    cWidgetSpinButton* GetTranspose() const { return mTranspose; }
    cWidgetSpinButton* GetPitch() const { return mPitch; }
    cWidgetSpinButton* GetNoteSlice() const { return mNoteSlice; }
    cWidgetLEDCycleButton* GetLoop() const { return mLoop; }
    cWidgetLoopDirection* GetDirection() const { return mDirection; }
    cWidgetKnob* GetLevel() const { return mLevel; }

protected:
    ~cAnalogueSynthPanelSampler() override;

private:
    void OnTransposeChanged(int32_t value, cWidget* sender);
    void OnPitchChanged(int32_t value, cWidget* sender);
    void OnNoteSliceChanged(int32_t value, cWidget* sender);
    void Carry(int32_t operation);
    void StartLoad();
    void StartSampler(int32_t operation);
    void InstallSample(const char* path);
    void UpdateButtons();
    void ShowName();
    void BuildLayout();

    int32_t mPending = kNone;
    // A click taken while a sample loads, carried out once loading ends.
    int32_t mDeferred = kNone;
    cGenStringFixed<260> mSamplePath;
    cWidgetButton* mButtons[3] = {};
    cWidgetLabel* mName = nullptr;
    cWidgetSpinButton* mTranspose = nullptr;
    cWidgetSpinButton* mPitch = nullptr;
    cWidgetSpinButton* mNoteSlice = nullptr;
    cWidgetLEDCycleButton* mLoop = nullptr;
    cWidgetLoopDirection* mDirection = nullptr;
    cWidgetKnob* mLevel = nullptr;
    cLayoutLinear* mColumns[2] = {};
};
