#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "ui/WidgetDialogue.h"

class cAnalogueSynth;
class cAnalogueSynthPackage;
class cAnalogueSynthUI;
class cWidgetBankPreset;

// The dialogue that stores the edited sound: its title names the current
// preset's place and name; the user may pick another bank and slot, rename
// it on the text keyboard, and write it. The module stores its current
// preset under the chosen id; the dialogue sends only the name and the
// destination. The name lives until the next showing.
class cAnalogueSynthPresetWrite : public cWidgetDialogue
{
public:
    static constexpr float kWidth = 400.0f;
    static constexpr float kHeight = 160.0f;
    // The keyboard's limit; the stored name keeps at most 23 bytes.
    static constexpr int32_t kNameCharacters = 20;

    enum eButton : int32_t
    {
        kRename = 0,
        kWrite = 1,
    };

    explicit cAnalogueSynthPresetWrite(cAnalogueSynthUI* owner);

    void OnLayout() override;
    void OnStateChange() override;
    void OnDismiss(int32_t fromCloseButton) override;

    // Hides the dialogue, writing nothing.
    void Close();
    // Writes the file of the global bank a WRITE stored into, once the
    // module has stored it; an alert says when the file could not be
    // written. The preset panel calls it every frame until it is done.
    void SaveWrittenBank();
    // The keyboard's answer: result 2 confirms the text.
    void OnRenamed(int32_t result, const char* text);

    const char* GetPresetNameText() const { return mName.CStr(); }
    int32_t GetPresetId() const { return mPresetId; }
    int32_t GetMode() const { return mMode; }
    cWidgetBankPreset* GetChooser() const { return mChooser; }
    cWidgetButton* GetButton(int32_t tag) const { return mButtons[tag & 1]; }

protected:
    ~cAnalogueSynthPresetWrite() override;

private:
    void OnButton(int32_t value, cWidget* sender);
    void Rename();
    void Write();
    // Posts the write; a full ring gets one wait and one more try.
    bool PostWrite(cAnalogueSynth& module, int32_t id);
    void UpdateTitle();
    void ReportBankNotSaved(int32_t bank);
    cAnalogueSynth* GetModule() const;
    cAnalogueSynthPackage* GetPackage() const;

    cAnalogueSynthUI* mOwner;
    int32_t mMode = 0;
    int32_t mPresetId = 0;
    cGenStringFixed<32> mName;
    // The global bank written but not yet saved to its file, or -1.
    int32_t mUnsavedBank = -1;
    cWidgetBankPreset* mChooser = nullptr;
    cWidgetButton* mButtons[2] = {};
};
