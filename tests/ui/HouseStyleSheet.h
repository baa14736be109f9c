#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/DialogueKit.h"
#include "ui/DrawHelpers.h"
#include "ui/LevelMeter.h"
#include "ui/WidgetList.h"

class cWidget;
class cWidgetAlert;
class cWidgetButton;
class cWidgetEditLabel;

// One 1024 x 768 page of everything the house style builds: a widget from
// every factory, the drawing helpers (progress bars, LEDs of each type, the
// recording marker, the spinner, a link bar and a titled frame) and a row of
// stereo meters with held peaks and clip lights. Its buttons open each kind
// of dialogue, which its taps and keys close again: a dialogue with a close
// button and an edit label, dialogues anchored below and above a button, a
// drop-down panel, and the alert. The sheet owns the meters' feed, the
// drop-down's host and what the dialogues report.
class cHouseStyleSheet : public cWidgetList::cDataSource, public cWidgetList::cListener, public cRecordingStateSource
{
public:
    explicit cHouseStyleSheet(cWidget* root);
    ~cHouseStyleSheet() override;

    cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
    cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
    void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;
    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;
    int32_t GetTransportState() const override { return 3; }
    bool GetRecordOption() const override { return true; }

    // Draws the helpers and meters; the page calls it after its widgets.
    void DrawExtras(cDrawList& list);

    // The buttons that open each dialogue.
    cWidgetButton* openClosable = nullptr;
    cWidgetButton* openBelow = nullptr;
    cWidgetButton* openAbove = nullptr;
    cWidgetButton* openDropDown = nullptr;
    cWidgetButton* openAlert = nullptr;
    cWidgetButton* openBigAlert = nullptr;

    cTestDialogue* closable = nullptr;
    cWidgetEditLabel* closableEdit = nullptr;
    cTestDialogue* below = nullptr;
    cTestDialogue* above = nullptr;
    cWidgetDialogueDropDown* dropDown = nullptr;
    cWidgetButton* dropDownDone = nullptr;
    cWidgetAlert* alert = nullptr;

    cWidget* page = nullptr;
    cWidgetButton* linkFrom = nullptr;
    cWidgetButton* linkTo = nullptr;
    std::vector<cLevelMeter> meters;
    std::vector<int32_t> alertResults;
    int32_t dismissals = 0;

private:
    struct cRow : cWidgetList::cItem
    {
        const char* name;
    };

    void AddControls();
    void AddOpeners();
    void MakeDialogues();
    void AddMeters();
    intptr_t OnOpen(intptr_t value, cWidgetButton* button);
    intptr_t OnDropDownDone(intptr_t value, cWidgetButton* button);
    intptr_t OnAlertResult(intptr_t index, cWidgetAlert* alert);

    cRow mRows[5];
    float mSpinnerAngle = 0.0f;
    int32_t mFrame = 0;
    cRecordingDropDownHost mHost;
};
