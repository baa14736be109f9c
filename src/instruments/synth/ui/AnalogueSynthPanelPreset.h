#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"
#include "render/Image.h"

class cAnalogueSynthPresetWrite;
class cLayoutItemSpacer;
class cLayoutLinear;
class cWidgetBankPreset;
class cWidgetButton;

// Choosing and storing presets: a bank/preset chooser, COMPARE (the edited
// sound against the stored one) and WRITE, lit while the edit differs from
// the stored preset, which opens the write dialogue. In the wide screen's
// top band it is one row; on a page of its own it is a full page with a
// logo. While the dialogue is open the rest of the panel takes no touches.
class cAnalogueSynthPanelPreset : public cAnalogueSynthPanel
{
public:
    enum eButton : int32_t
    {
        kSingle = 0,
        kMulti = 1,
        kCompare = 2,
        kWrite = 3,
        kButtonCount = 4,
    };

    explicit cAnalogueSynthPanelPreset(cAnalogueSynthUI* owner);

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleTouch(int32_t type, cTouch* touch, cWidget* captor) override;
    void SetWide(bool wide) override;

    void OnChooserChanged(int32_t id, cWidget* sender);
    void OnButton(int32_t value, cWidget* sender);

    bool IsWide() const { return mWide; }
    cWidgetBankPreset* GetChooser() const { return mChooser; }
    cWidgetButton* GetButton(int32_t tag) const { return mButtons[tag]; }
    cAnalogueSynthPresetWrite* GetWriteDialogue() const { return mWrite; }
    const cRect& GetLogoRect() const { return mLogo.layoutRect; }

protected:
    ~cAnalogueSynthPanelPreset() override;

private:
    void BuildFullPage();
    void BuildTopBand();
    void OpenWriteDialogue();
    void RefreshEditor();

    cImage mLogo;
    cWidgetBankPreset* mChooser = nullptr;
    cLayoutLinear* mFullPage = nullptr;
    cLayoutLinear* mTopBand = nullptr;
    cLayoutItemSpacer* mLogoSlot = nullptr;
    cAnalogueSynthPresetWrite* mWrite = nullptr;
    cWidgetButton* mButtons[kButtonCount] = {};
    bool mWide = false;
};
