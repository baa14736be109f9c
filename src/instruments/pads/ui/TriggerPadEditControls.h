#pragma once

#include <cstdint>

#include "base/GenString.h"
#include "instruments/pads/TriggerPadData.h"
#include "instruments/pads/ui/TriggerPadPanel.h"
#include "ui/WidgetProgress.h"

class cLayout;
class cTriggerPadButton;
class cTriggerPadButton3LED;
class cTriggerPadButtonDirection;
class cWidgetAlert;
class cWidgetKnob;
class cWidgetSpinButton;

// The editor of one pad, chosen with its pad selector: its sample (clear,
// copy, paste, load, edit and record in the sampler, fit to the tempo), its
// level, pan, envelope, tuning, choke group, direction and trigger mode.
// Values go to the module as set-parameter events; samples, copies and
// pastes go through the module's locked operations, files load behind the
// progress overlay. The tablet's edit panel and the phone's pop-up arrange
// these controls each in their own way. Main thread only.
class cTriggerPadEditControls : public cTriggerPadPanel
{
public:
    enum eAction : int32_t
    {
        kActionClear = 0,
        kActionCopy = 1,
        kActionPaste = 2,
        kActionLoad = 3,
        kActionEdit = 4,
        kActionRecord = 5,
        kActionAutoBpm = 6,
        kActionCount = 7,
    };
    // What the open dialogue, browser or sampler answers for.
    enum ePending : int32_t
    {
        kPendingNone = -1,
        kPendingClear = 0,
        kPendingLoad = 1,
        kPendingRecord = 2,
        kPendingEdit = 3,
        kPendingPaste = 4,
    };
    enum eKnob : int32_t
    {
        kKnobVolume = 0,
        kKnobPan = 1,
        kKnobAttack = 2,
        kKnobRelease = 3,
        kKnobCount = 4,
    };
    static constexpr int32_t kMaxSeparators = 4;
    static constexpr float kAutoBpmMinimumSeconds = 1e-6f;

    // Copies a sample into place and loads it into a pad, on the job thread.
    class cJobLoadSample : public cWidgetProgress::cJob
    {
    public:
        cJobLoadSample(cTriggerPad* module, int32_t pad, const char* source, const char* destination, bool paste);
        void Run(JobQueue::cJobQueue* queue) override;

        cTriggerPad* module;
        int32_t pad;
        cGenStringFixed<260> source;
        cGenStringFixed<260> destination;
        bool paste; // started by PASTE rather than LOAD
        bool result = false;
        cGenStringFixed<260> errorText; // the loader's reason on failure
    };

    explicit cTriggerPadEditControls(cTriggerPadUI* owner);

    // Held to 0..15; a new pad refreshes the controls.
    void SelectPad(int32_t pad);
    int32_t GetPad() const;

    // The buttons' handler: the action of the button's tag.
    void OnAction(int32_t value, cWidget* button);
    void OnAlertDone(int32_t button, cWidgetAlert* alert);
    void OnBrowserDone(int32_t result, const char* path);
    void OnSamplerDone(int32_t result, const char* path);
    void OnJobDone(cWidgetProgress::cJob* job, cWidgetProgress* overlay);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cTriggerPadButton* GetActionButton(int32_t action) const { return mActions[action]; }
    cWidgetKnob* GetKnob(int32_t knob) const { return mKnobs[knob]; }
    cWidgetSpinButton* GetPadSelector() const { return mPadSelector; }
    cWidgetSpinButton* GetTransposeSpin() const { return mTranspose; }
    cWidgetSpinButton* GetPitchSpin() const { return mPitch; }
    cTriggerPadButton3LED* GetGroupButton() const { return mGroup; }
    cTriggerPadButton3LED* GetKeyModeButton() const { return mKeyMode; }
    cTriggerPadButtonDirection* GetDirectionButton() const { return mDirection; }
    int32_t GetClipboardSource() const { return mClipboardSource; }
    int32_t GetPending() const { return mPending; }

protected:
    ~cTriggerPadEditControls() override;

    // The pad's parameter identifier.
    static uint32_t PadParamId(int32_t pad, int32_t parameter);
    void Refresh();
    // Rows between which the drawing puts a separator.
    void SetSeparatorRows(cLayout* const* rows, int32_t count);
    cTriggerPadButton* mActions[kActionCount] = {};
    cWidgetSpinButton* mPadSelector = nullptr;

private:
    void BindControls(int32_t pad);
    void UpdateVisibility(int32_t pad);
    void ShowControl(cWidget* control, bool show);
    void OnPadSelector(int32_t value, cWidgetSpinButton* spin);
    void OnSpinControl(int32_t value, cWidgetSpinButton* spin);

    void AskClear();
    void Copy();
    void AskPaste();
    void Paste(bool freshCopy);
    void Load();
    void OpenSampler(bool record);
    void FitToTempo();
    void StartLoadJob(const char* source, const char* destination, bool paste);
    void ShowLoadFailed(const char* reason);

    void DrawSeparators(cDrawList& list);
    void DrawHeaders(cDrawList& list);
    void DrawPadMap(cDrawList& list);

    cWidgetKnob* mKnobs[kKnobCount] = {};
    cTriggerPadButton3LED* mGroup = nullptr;
    cWidgetSpinButton* mTranspose = nullptr;
    cWidgetSpinButton* mPitch = nullptr;
    cTriggerPadButtonDirection* mDirection = nullptr;
    cTriggerPadButton3LED* mKeyMode = nullptr;
    int32_t mClipboardSource = -1;
    cTriggerPadData mClipboard;
    cLayout* mSeparatorRows[kMaxSeparators] = {};
    int32_t mSeparatorCount = 0;
    int32_t mPending = kPendingNone;
    // The pad an action began on, and what a failed paste puts back.
    int32_t mActionPad = 0;
    int32_t mSamplerMode = kPendingNone;
    cTriggerPadData mPasteKept;
};
