#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "ui/Widget.h"

class cAnalogueSynthPresetStore;
class cLayoutLinear;
class cWidgetSpinButton;

// The pair of spin buttons that choose a synthesizer preset: a bank (0..7)
// and a slot (0..63), showing the bank's name and the preset's text from
// the package's store. Every change is reported as one preset id,
// bank << 8 | slot.
class cWidgetBankPreset : public cWidget
{
public:
    enum eKind : int32_t
    {
        kKindSingle = 0,
        kKindMulti = 1,
    };

    cWidgetBankPreset();

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // The owner's choice; the texts follow at the next draw.
    void SetPresetId(int32_t id);
    int32_t GetPresetId() const;
    // Side by side in a row, or one above the other.
    void SetSideBySide(bool on);
    bool IsSideBySide() const { return mSideBySide; }
    // For the write dialogue.
    void SetDestinationLabels();
    // The stored name of the chosen preset; empty for other kinds.
    const char* GetPresetName() const;

    cWidgetSpinButton* GetBankSpin() const { return mBankSpin; }
    cWidgetSpinButton* GetPresetSpin() const { return mPresetSpin; }

    cDelegate changedDelegate; // (preset id, this widget)
    int32_t kind = kKindSingle;

protected:
    ~cWidgetBankPreset() override;

private:
    void OnSpinChanged(int32_t value, cWidget* spin);
    cLayoutLinear* BuildLayout(int32_t axis, float gapStretch);

    bool mTextsDirty = true;
    bool mSideBySide = false;
    cWidgetSpinButton* mBankSpin = nullptr;
    cWidgetSpinButton* mPresetSpin = nullptr;
    cLayoutLinear* mColumn = nullptr;
    cLayoutLinear* mRow = nullptr;
    cAnalogueSynthPresetStore* mStore = nullptr;
};
