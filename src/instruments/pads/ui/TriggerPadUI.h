#pragma once

#include <cstdint>

#include "instruments/pads/TriggerPadEditor.h"
#include "instruments/pads/ui/TriggerPadKeyStrip.h"
#include "render/FontHandle.h"
#include "ui/Widget.h"

class cMaterial;
class cTriggerPad;
class cTriggerPadControlPanel;
class cTriggerPadEditPopup;
class cTriggerPadWidget;

// The pad instrument's editor page ("TriggerPadUI"): the tabbed control
// panel on the left, the 4 x 4 pad grid on the right and, on the phone, the
// pad editor as a pop-up over both. It shows at most one instrument and is
// visible exactly while it does; every panel talks to that instrument's
// module through it. It also keeps what the panels share: the velocity of
// the grid's presses, which tab selects pads, and the stop of note repeat.
// Main thread only.
class cTriggerPadUI : public cWidget, public cTriggerPadEditor
{
public:
    static constexpr int32_t kDefaultVelocity = 100;
    static constexpr int32_t kMinimumVelocity = 10;
    static constexpr int32_t kMaximumVelocity = 127;

    cTriggerPadUI();

    // The package's view of it.
    cWidget* GetPage() override { return this; }
    void ReleaseEditor() override { Release(); }
    void ShowInstrument(cTriggerPadInstrument* instrument) override { SetInstrument(instrument); }
    cTriggerPadInstrument* GetShownInstrument() const override { return mInstrument; }
    void CancelHeldPads() override;
    void DrawKeyStrip(cDrawList& drawList, const cKeyStripView& view,
                      const cTriggerPadInstrument& instrument) override;

    // Ends every held pad of the instrument it leaves; shows itself only
    // with an instrument.
    void SetInstrument(cTriggerPadInstrument* instrument);
    cTriggerPadInstrument* GetInstrument() const { return mInstrument; }
    cTriggerPad* GetModule() const;

    // Held to 10..127 and sent to the module as the repeat velocity.
    void SetVelocity(int32_t velocity);
    int32_t GetVelocity() const { return mVelocity; }
    void StopNoteRepeat();

    // Asked by the grid on every press: whether the press plays. With the
    // EDIT tab on (and mute mode off) a press selects the pad instead: in
    // the phone's pop-up, or in the edit panel unless it already edits it.
    bool HandlePadSelect(int32_t pad);
    // The edit panel's pad while the EDIT tab shows it; -1 otherwise.
    int32_t GetEditedPad() const;
    void OpenEditPopup(int32_t pad);
    void CloseEditPopup();

    bool IsMuteMode() const;
    bool IsEditTabOn() const;
    bool IsSelectMode() const { return IsEditTabOn() && !IsMuteMode(); }

    cTriggerPadControlPanel* GetControlPanel() const { return mControlPanel; }
    cTriggerPadWidget* GetPadGrid() const { return mPadGrid; }
    cTriggerPadEditPopup* GetEditPopup() const { return mEditPopup; }
    // "TexturedMono", which the panels draw their image elements with.
    cMaterial* GetMonoMaterial() const { return mMonoMaterial; }
    const cFontHandle& GetCaptionFont() const { return mCaptionFont; }

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

protected:
    ~cTriggerPadUI() override;

private:
    cMaterial* mMonoMaterial = nullptr;
    cFontHandle mCaptionFont;
    cTriggerPadControlPanel* mControlPanel = nullptr;
    cTriggerPadWidget* mPadGrid = nullptr;
    cTriggerPadEditPopup* mEditPopup = nullptr;
    cTriggerPadInstrument* mInstrument = nullptr;
    int32_t mVelocity = kDefaultVelocity;
    cTriggerPadKeyStrip mKeyStrip;
};

// Makes the pad package build this editor: called at start-up before the
// instrument packages are made.
void InstallTriggerPadEditorFactory();
