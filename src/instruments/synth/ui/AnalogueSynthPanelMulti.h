#pragma once
#include <cstdint>

#include "instruments/synth/ui/AnalogueSynthPanel.h"

class cAnalogueSynthPresetStore;
class cWidgetButton;
class cWidgetKeyRange;
class cWidgetKnob;
class cWidgetSpinButton;

// An editor of the multi patch: five tabs, one per layer and "GLOBAL",
// over a panel of the chosen layer's settings or of the multi's two sends.
// No page places it; it addresses the multi's parameters through the
// module like every other panel.

// The multi's two effect sends.
class cAnalogueSynthPanelMultiGlobal : public cAnalogueSynthPanel
{
public:
    explicit cAnalogueSynthPanelMultiGlobal(cAnalogueSynthUI* owner);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cWidgetKnob* GetSend(int32_t index) const { return mSends[index & 1]; }

protected:
    ~cAnalogueSynthPanelMultiGlobal() override;

private:
    cWidgetKnob* mSends[2] = {};
};

// One layer: its preset (bank buttons and a slot spin), level, key range,
// transpose and whether it tracks the keyboard.
class cAnalogueSynthPanelMultiLayer : public cAnalogueSynthPanel
{
public:
    enum eBankButton : int32_t
    {
        kBankA = 0,
        kBankB = 1,
        kBankC = 2,
        kBankProject = 3,
        kBankButtonCount = 4,
    };

    explicit cAnalogueSynthPanelMultiLayer(cAnalogueSynthUI* owner);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // 0..3; the panel re-reads its layer at the next refresh.
    void SetLayer(int32_t layer);
    int32_t GetLayer() const { return mLayer; }
    // The preset's name, slot and bank lamp for an id, or -1 for none.
    void ShowPreset(int32_t id);

    void OnPresetChanged(int32_t slot, cWidget* sender);
    void OnBankClicked(int32_t value, cWidget* sender);
    void OnTransposeChanged(int32_t value, cWidget* sender);
    void OnKeyLowChanged(int32_t note, cWidget* sender);
    void OnKeyHighChanged(int32_t note, cWidget* sender);

    cWidgetKnob* GetLevel() const { return mLevel; }
    cWidgetSpinButton* GetPreset() const { return mPreset; }
    cWidgetSpinButton* GetTranspose() const { return mTranspose; }
    cWidgetKeyRange* GetKeyRange() const { return mKeyRange; }
    cWidgetButton* GetTrackKeys() const { return mTrackKeys; }
    cWidgetButton* GetBankButton(int32_t index) const { return mBanks[index]; }
    int32_t GetBank() const { return mBank; }

protected:
    ~cAnalogueSynthPanelMultiLayer() override;

private:
    uint32_t LayerId(int32_t group) const;
    void PostPreset(int32_t slot);
    cAnalogueSynthPresetStore* GetStore() const;

    cWidgetKnob* mLevel = nullptr;
    cWidgetSpinButton* mPreset = nullptr;
    cWidgetKeyRange* mKeyRange = nullptr;
    cWidgetSpinButton* mTranspose = nullptr;
    cWidgetButton* mBanks[kBankButtonCount] = {};
    cWidgetButton* mTrackKeys = nullptr;
    int32_t mLayer = 0;
    int32_t mBank = 0;
};

// The tabs and the two inner panels.
class cAnalogueSynthPanelMulti : public cAnalogueSynthPanel
{
public:
    static constexpr int32_t kTabCount = 5;
    static constexpr int32_t kGlobalTab = 4;

    explicit cAnalogueSynthPanelMulti(cAnalogueSynthUI* owner);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // Lights the tab and shows its panel.
    void SelectTab(int32_t tab);
    void OnTabClicked(int32_t value, cWidget* sender);

    cWidgetButton* GetTab(int32_t index) const { return mTabs[index]; }
    cAnalogueSynthPanelMultiLayer* GetLayerPanel() const { return mLayerPanel; }
    cAnalogueSynthPanelMultiGlobal* GetGlobalPanel() const { return mGlobalPanel; }
    int32_t GetSelectedTab() const { return mSelected; }

protected:
    ~cAnalogueSynthPanelMulti() override;

private:
    cAnalogueSynthPanelMultiLayer* mLayerPanel = nullptr;
    cAnalogueSynthPanelMultiGlobal* mGlobalPanel = nullptr;
    cWidgetButton* mTabs[kTabCount] = {};
    int32_t mSelected = 0;
};
