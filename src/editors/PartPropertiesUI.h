#pragma once
#include <cstdint>

#include "base/GenString.h"
#include "ui/WidgetTabbedProperties.h"

class cPatternInstance;
class cSequencerPresetPanel;
class cSongEditModel;
class cWidgetButton;
class cWidgetSpinButton;
class cPartPropertiesUI;

// What the two tabs share: the dialogue and the one part they describe.
class cPartPropertiesPanel : public cWidget
{
public:
    explicit cPartPropertiesPanel(cPartPropertiesUI* dialogue) : mDialogue(dialogue) {}

protected:
    ~cPartPropertiesPanel() override = default;
    // The part when exactly one is selected, else null: then nothing shows or changes.
    cPatternInstance* SelectedPart() const;

    cPartPropertiesUI* mDialogue;
};

// Which pattern the part plays: one of the 99 shared patterns by number, or
// its own; converting between the two is an undoable song edit.
class cPartPropertiesPanelPattern : public cPartPropertiesPanel
{
public:
    explicit cPartPropertiesPanelPattern(cPartPropertiesUI* dialogue);

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    // "EMPTY", "%d events." or how often the shared pattern repeats.
    void DescribePattern(cGenString& text) const;
    cWidgetSpinButton* GetSpin() const { return mSpin; }
    cWidgetButton* GetConvertButton() const { return mConvert; }

protected:
    ~cPartPropertiesPanelPattern() override;

private:
    void ShowNumber(int32_t number);
    void OnSpin(int32_t value, cWidgetSpinButton* spin);
    intptr_t OnConvert(intptr_t value, cWidgetButton* button);

    cWidgetButton* mConvert;
    cWidgetSpinButton* mSpin;
    bool mPrivate = false;
};

// The program change the part sends when it starts, through the preset
// chooser its track's instrument lends; without one, a line saying so.
class cPartPropertiesPanelPreset : public cPartPropertiesPanel
{
public:
    explicit cPartPropertiesPanelPreset(cPartPropertiesUI* dialogue) : cPartPropertiesPanel(dialogue) {}

    // Asks the part's instrument for its chooser and shows it.
    void Refresh();
    // Lets the chooser go back to its instrument.
    void ReleasePresetWidget();

    void OnStateChange() override;
    bool Draw(cDrawList& list) override;

    cSequencerPresetPanel* GetPresetWidget() const { return mPresetWidget; }

protected:
    ~cPartPropertiesPanelPreset() override;

private:
    void OnOn(bool on, cSequencerPresetPanel* widget);
    void OnBank(int32_t bank, cSequencerPresetPanel* widget);
    void OnPreset(int32_t preset, cSequencerPresetPanel* widget);
    // Writes the part's program word under the sequencer lock and has a
    // playing part send it again.
    void ChangeProgram(uint32_t keep, uint32_t set);

    cSequencerPresetPanel* mPresetWidget = nullptr;
};

// The song roll's "Properties" of the one selected part: its pattern and its
// program change, on two tabs. Main thread only.
class cPartPropertiesUI : public cWidgetTabbedProperties
{
public:
    enum eTab : int32_t
    {
        kTabPattern = 0,
        kTabPreset = 1,
    };

    explicit cPartPropertiesUI(cSongEditModel* model);

    // On the root's modal layers, with the instrument's preset chooser.
    void Open();
    void Close() override;
    void OnStateChange() override;
    void GetSizePreferences(cVector2* minimum, cVector2* preferred) override;

    cSongEditModel* GetModel() const { return mModel; }
    cPartPropertiesPanelPattern* GetPatternPanel() const { return mPattern; }
    cPartPropertiesPanelPreset* GetPresetPanel() const { return mPreset; }

protected:
    ~cPartPropertiesUI() override;

private:
    cSongEditModel* mModel;
    cPartPropertiesPanelPattern* mPattern;
    cPartPropertiesPanelPreset* mPreset;
};
