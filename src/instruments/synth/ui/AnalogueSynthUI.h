#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "instruments/synth/AnalogueSynthEditor.h"
#include "render/FontHandle.h"
#include "ui/Widget.h"

class cAnalogueSynthPackage;
class cAnalogueSynthPage;
class cAnalogueSynthPanel;
class cAnalogueSynthPanelCheek;
class cAnalogueSynthPanelEffects;
class cAnalogueSynthPanelKeyboard;
class cMaterial;
class cWidgetPanelScroller;
class cWidgetPianoKeys;

// Where DrawLabelBox puts a caption: its box, its rule and its text.
struct cLabelBoxPlace
{
    float x, y;               // the box's top-left corner
    float lineStart, lineEnd; // the 1-px rule at y
    float boxRight, boxBottom;
    float textX, textY;
};

// The one editor of the synthesizer, shared by every synthesizer instrument
// and bound to the one selected. Its pages sit in a scroller between two
// side cheeks, above the on-screen keyboard: the right cheek (and Up and
// Down) steps through panels and pages, the left cheek (and Left and Right)
// moves the keyboard by octaves. Panels are registered into its table at
// their index; pages are filled from the table by the editor's size.
class cAnalogueSynthUI : public cWidget, public cAnalogueSynthEditor
{
public:
    static constexpr int32_t kPageCount = 9;
    static constexpr int32_t kPanelCount = 7;
    static constexpr float kTopBandHeight = 56.0f;

    // Panel indices; each is also the panel's tag.
    enum ePanel : int32_t
    {
        kPanelPreset = 0,
        kPanelOsc = 1,
        kPanelFilter = 2,
        kPanelAmp = 3,
        kPanelAux = 4,
        kPanelPatchbay = 5,
        kPanelEffects = 6,
    };

    explicit cAnalogueSynthUI(cAnalogueSynthPackage* package);
    // The package's editor factory, which the application installs.
    static cAnalogueSynthEditor* Create(cAnalogueSynthPackage* package);

    // The editor as the package sees it.
    void SetInstrument(cAnalogueSynthInstrument* instrument) override;
    cAnalogueSynthInstrument* GetInstrument() const override { return mInstrument; }
    void CancelKeyboardInput() override;
    cWidget* GetPage() override { return this; }
    cWidget* GetPresetWidget() override;
    void Destroy() override;

    void OnLayout() override;
    void OnStateChange() override;
    bool Draw(cDrawList& list) override;
    bool HandleKey(const cKeyEvent* event) override;
    bool HandleCancel(int32_t kind, int32_t param) override;

    // Names the panel, tags it with its index and takes it into the table
    // (holding a reference); the pages place it at their next arrangement.
    void RegisterPanel(int32_t index, const char* name, cAnalogueSynthPanel* panel);
    // Page 1 becomes the given page, whose keyboard panel the editor keeps
    // in step with its own.
    void RegisterPerformPage(cAnalogueSynthPage* page, cAnalogueSynthPanelKeyboard* keyboard);

    // The first visible page holding the named panel becomes current (the
    // first visible page when none does); it is remembered for the instrument.
    void ShowPanel(const char* name);
    // Direction 1 back, 0 forward: within the current page, else to the next
    // visible page.
    void StepPage(int32_t direction);
    // Direction 1 to the first visible page, 0 to the last.
    void JumpPage(int32_t direction);

    // Positions are in octaves; glide is the visual travel still to show.
    void SetKeyboardPosition(float position, float glide);
    // Posts the keyboard's octave to the module when it changed.
    void PostKeyboardOctave();
    void SetKeyboardScroll(bool enabled);
    bool IsKeyboardScrollEnabled() const { return mKeyboardScroll; }
    void SetKeyboardScrollFlag(bool enabled) { mKeyboardScroll = enabled; }
    void SetKeyboardScale(int32_t index);
    // The "KeyWidth" setting into the keyboards' key widths.
    void ApplyKeyWidth();
    void OnKeyboardCheekStep(int32_t direction);
    void OnKeyboardCheekEnd(int32_t direction);
    void OnKeyboardScrolled(float position, cWidget* keys);

    // A section caption: a dark red box with grey text and a rule to x1.
    void DrawLabelBox(float x0, float y0, cDrawList& list, float x1, const char* text) const;
    static cLabelBoxPlace PlaceLabelBox(float x0, float y0, float x1, float textWidth, float lineHeight);

    cWidgetPianoKeys* GetPianoKeys() const;
    cWidgetPianoKeys* GetPerformPianoKeys() const;
    cAnalogueSynthPanelKeyboard* GetKeyboardPanel() const { return mKeyboardPanel; }
    cAnalogueSynthPanelKeyboard* GetPerformKeyboardPanel() const { return mPerformKeyboard; }
    cAnalogueSynthPanelCheek* GetKeyboardCheek() const { return mKeyboardCheek; }
    cAnalogueSynthPanelCheek* GetPageCheek() const { return mPageCheek; }
    cWidgetPanelScroller* GetScroller() const { return mScroller; }
    cWidget* GetPageContainer() const { return mContainer; }
    cAnalogueSynthPage* GetPageAt(int32_t index) const { return mPages[index]; }
    cAnalogueSynthPage* GetTopBand() const { return mTopBand; }
    cAnalogueSynthPanel* GetPanel(int32_t index) const { return mPanels[index]; }
    int32_t GetLastTouchedNote() const;
    const char* GetTitle() const { return mTitle.CStr(); }
    const cFontHandle& GetLabelFont() const { return mLabelFont; }
    // The material that draws mono-atlas sprites in their tint.
    cMaterial* GetTextMaterial() const { return mTextMaterial; }
    float GetKeyboardOffset() const { return mKeyboardOffset; }

protected:
    ~cAnalogueSynthUI() override;

private:
    // The sound pages' six panels, at their indices.
    void RegisterSoundPanels();
    void ArrangePages();
    // Places panels first..last, visible ones only, into pages from the
    // given one in a grid; the index of the page after the last one filled.
    int32_t FillPages(int32_t page, int32_t first, int32_t last, int32_t columns, int32_t rows);
    void UpdatePageArrows();
    void UpdateKeyboardArrows();
    void RememberPanelName();
    cAnalogueSynthPage* TargetPage() const;
    bool PostOctave(int32_t octave);

    cGenStringFixed<64> mTitle;
    bool mLayoutPending = false;
    float mKeyboardOffset = 1.0f;
    int32_t mCachedOctave = 1;
    int32_t mCachedMode = 0;
    int32_t mCachedPreset = 0;
    bool mKeyboardScroll = false;
    cAnalogueSynthInstrument* mInstrument = nullptr;
    cMaterial* mTextMaterial = nullptr;
    cFontHandle mLabelFont;
    cAnalogueSynthPage* mPages[kPageCount] = {};
    cAnalogueSynthPage* mTopBand = nullptr;
    cAnalogueSynthPanel* mPanels[kPanelCount] = {};
    // The one registered at construction (the table holds its reference);
    // a panel registered over it later is not one.
    cAnalogueSynthPanelEffects* mEffectsPanel = nullptr;
    cAnalogueSynthPanelCheek* mKeyboardCheek = nullptr;
    cAnalogueSynthPanelCheek* mPageCheek = nullptr;
    cAnalogueSynthPanelKeyboard* mKeyboardPanel = nullptr;
    cAnalogueSynthPanelKeyboard* mPerformKeyboard = nullptr;
    cWidget* mContainer = nullptr;
    cWidgetPanelScroller* mScroller = nullptr;
    cWidget* mPresetWidget = nullptr;
};
