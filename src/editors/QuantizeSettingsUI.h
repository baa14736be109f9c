#pragma once
#include <cstdint>

#include "base/Delegate.h"
#include "sequencer/QuantizeSettings.h"
#include "ui/Widget.h"

class cWidgetButton;
class cWidgetMultiButton;
class cWidgetSpinButton;

// Edits a quantize choice: the interval as a note value, a dotted or
// triplet feel, the swing of a straight grid and, where asked, what a
// quantize aligns. The record's first field holds the type (1 positions,
// 2 note lengths, 3 note ends; 0 none), its third the feel.
//
// Without a "Quantize" button every change is reported at once; with one,
// changes stay here until the button is pressed. Reports go to the change
// delegate as (settings, widget). Main thread only.
class cQuantizeSettingsUI : public cWidget
{
public:
    enum eStyle : int32_t
    {
        kShowOff = 0x1,        // the "OFF" interval
        kQuantizeButton = 0x2, // report on "Quantize" only
        kTypeSpin = 0x4,       // choose what a quantize aligns
    };

    explicit cQuantizeSettingsUI(int32_t style);

    // Stores the settings and shows them at the next frame.
    void SetSettings(const cQuantizeSettings& shown);

    void OnStateChange() override;

    int32_t GetStyle() const { return mStyle; }
    cWidgetMultiButton* GetIntervalSelector() const { return mInterval; }
    cWidgetMultiButton* GetFeelSelector() const { return mFeel; }
    cWidgetSpinButton* GetTypeSpin() const { return mType; }
    cWidgetSpinButton* GetSwingSpin() const { return mSwing; }
    cWidgetButton* GetQuantizeButton() const { return mQuantize; }

    cQuantizeSettings settings = {1, cQuantizeSettings::kIntervalOff, cQuantizeSettings::kStraight, 0.0f};
    cDelegate changeDelegate;

protected:
    ~cQuantizeSettingsUI() override;

private:
    void BuildLayout();
    void ShowSwing();
    void ShowType();
    void Changed();
    void OnInterval(int32_t cell, cWidgetMultiButton* selector);
    void OnFeel(int32_t cell, cWidgetMultiButton* selector);
    void OnSwing(int32_t value, cWidgetSpinButton* spin);
    void OnType(int32_t value, cWidgetSpinButton* spin);
    void OnQuantize(int32_t value, cWidgetButton* button);

    int32_t mStyle;
    cWidgetMultiButton* mInterval = nullptr;
    cWidgetMultiButton* mFeel = nullptr;
    cWidgetSpinButton* mType = nullptr;
    cWidgetSpinButton* mSwing = nullptr;
    cWidgetButton* mQuantize = nullptr;
};
