#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cWidgetMusicalScale;
class cWidgetPianoKeys;

// A strip of piano keys, with the editor's own keyboard also holding a scale
// chooser that slides in at its right end. It turns a preferred key width
// and a least number of visible keys into the keys' width.
class cAnalogueSynthPanelKeyboard : public cAnalogueSynthPanel
{
public:
    enum eOptions : int32_t
    {
        kScaleChooser = 1,
        kClipToPages = 2, // the keys live in a scrolling page
        kTakesKeys = 4,
    };
    // The chooser's room at the right end: 130 px inside and 1 beyond.
    static constexpr float kChooserInset = 130.0f;
    static constexpr float kChooserWidth = 131.0f;

    cAnalogueSynthPanelKeyboard(cAnalogueSynthUI* owner, int32_t options);

    void OnLayout() override;
    bool Draw(cDrawList& list) override;

    // Stores both, and gives the resulting key width.
    float SetKeyWidth(float preferredWidth, float minimumKeys);
    void UpdateKeyWidth();
    void ShowScaleChooser(bool show);
    bool IsScaleChooserShown() const;

    cWidgetPianoKeys* GetPianoKeys() const { return mPianoKeys; }
    cWidgetMusicalScale* GetScaleChooser() const { return mScaleChooser; }
    float GetKeyWidth() const { return mKeyWidth; }

protected:
    ~cAnalogueSynthPanelKeyboard() override;

private:
    void OnScaleChosen(int32_t index, cWidget* chooser);

    int32_t mOptions;
    float mPreferredKeyWidth = 20.0f;
    float mMinimumKeys = 8.0f;
    float mKeyWidth = 20.0f;
    cWidgetMusicalScale* mScaleChooser = nullptr;
    cWidgetPianoKeys* mPianoKeys = nullptr;
};
