#include "ui/HouseStyleSheet.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "ui/HouseColours.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetFactories.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetList.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kSwitchText = 0xff202020;
constexpr uint32_t kPage = 0xffd0d0d0;
constexpr uint32_t kDesk = 0xff2a2a2a;
constexpr uint32_t kRowText = 0xffdcdcdc;
constexpr int kEffectIcon = 360;
constexpr int kPanicIcon = 197;
const char* const kRowNames[5] = {"Chorus", "Delay", "Reverb", "Compressor", "EQ"};
// Gains of the meters' left and right channels, and where their peaks were.
constexpr float kMeterGains[8][2] = {{1.0f, 0.9f}, {0.5f, 0.45f}, {0.25f, 0.3f}, {0.7f, 0.1f},
                                     {2.0f, 0.8f}, {0.05f, 0.02f}, {0.9f, 1.5f}, {0.0f, 0.0f}};
constexpr float kMeterPeaks[8] = {1.0f, 0.9f, 0.8f, 1.0f, 1.0f, 0.6f, 1.0f, 0.4f};

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

// The page: a light panel that draws the sheet's helpers and meters after
// its widgets.
class cSheetPage : public cWidget
{
public:
    explicit cSheetPage(cHouseStyleSheet* sheet) : mSheet(sheet) {}
    bool Draw(cDrawList& list) override
    {
        list.FillRect(GetRect(), kPage);
        list.FillRect({0, 580, 1024, 768}, kDesk);
        DrawLinkLine(list, mSheet->linkFrom, mSheet->linkTo);
        DrawChildren(list);
        mSheet->DrawExtras(list);
        return true;
    }

private:
    cHouseStyleSheet* mSheet;
};

template <class T>
T* Put(cWidget* parent, T* widget, const cRect& rect)
{
    widget->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
    parent->AddChild(widget);
    widget->Release();
    return widget;
}
} // namespace

cHouseStyleSheet::cHouseStyleSheet(cWidget* root) : cDataSource(0)
{
    SetRecordingStateSource(this);
    cWidgetDialogueDropDown::SetHost(&mHost);
    page = Put(root, new cSheetPage(this), {0, 0, 1024, 768});
    AddControls();
    AddOpeners();
    AddMeters();
    MakeDialogues();
}

cHouseStyleSheet::~cHouseStyleSheet()
{
    SetRecordingStateSource(nullptr);
    cWidgetDialogueDropDown::SetHost(nullptr);
    for (cWidget* dialogue : std::initializer_list<cWidget*>{closable, below, above, dropDown, alert})
        dialogue->Release();
}

void cHouseStyleSheet::AddControls()
{
    Put(page, CreateButton("Play", kButtonPush, 0), {20, 20, 116, 52});
    cWidgetButton* record = Put(page, CreateButton("Rec", kButtonCycle, kButtonStyleSmall), {130, 20, 190, 52});
    record->value = 1;
    Put(page, CreateButton("A", kButtonPush, 0x25), {200, 20, 260, 52});
    Put(page, CreateButton("B", kButtonPush, 0x65), {270, 20, 330, 52});
    Put(page, CreateToggleButton("Loop"), {350, 20, 440, 52})->value = 1;
    cWidgetButton* song = Put(page, CreateTabButton(false), {460, 20, 550, 52});
    song->SetName("Song");
    song->value = 1;
    Put(page, CreateTabButton(true), {555, 20, 645, 52})->SetName("Mix");
    const cAtlasSprite* effect = Sprite(62);
    // Dark, as the effect editors label their switches on the light faces.
    cWidgetButton* reverb = Put(page, CreateEffectButton("Reverb", kButtonCycle, Sprite(kEffectIcon), kSwitchText),
                                {670, 20, 670 + effect->width, 20 + effect->height});
    reverb->value = 1;
    cWidgetButton* panic = Put(page, CreateButton("PANIC", kButtonPush, 0), {800, 10, 896, 62});
    SetButtonIcon(panic, Sprite(kPanicIcon));

    cWidgetMultiButton* grid =
        Put(page, CreateMultiButton("Grid", 4, 1, kMultiSingleSelect, kButtonStyleSmall), {20, 100, 260, 132});
    const char* cells[4] = {"1/4", "1/8", "1/16", "1/32"};
    for (int i = 0; i < 4; ++i)
        grid->items[size_t(i)].text = cells[i];
    grid->selectedItem = 1;
    cWidgetLabel* name = Put(page, CreateLabel("Name"), {280, 100, 460, 124});
    name->SetText("Bass Line 1");
    cWidgetEditLabel* file = Put(page, CreateEditLabel(), {480, 100, 700, 128});
    file->SetText("Song", false);
    cWidgetSpinButton* tempo = Put(page, CreateSpinButton("Tempo"), {720, 100, 870, 128});
    tempo->minimum = 40;
    tempo->maximum = 240;
    tempo->SetValue(120);
    tempo->SetText("120");

    cWidgetComboBox* scale = Put(page, CreateComboBox("", 4, kComboSelection, cDelegate()), {20, 170, 180, 214});
    for (const char* text : {"Major", "Minor", "Dorian"})
        scale->AddItem(text, 0, true);
    scale->SetSelectedItem(1);
    const cWidgetKnob::cParameter drive = {"Drive", kKnobContinuous, 0, 0, nullptr, 0, 0};
    Put(page, CreateEffectKnob(drive, HouseColour::kDarkCaption), {200, 150, 300, 270})->SetValue(0.65f);
    cWidgetList* effects = Put(page, CreateList("Effects"), {320, 160, 540, 320});
    for (int i = 0; i < 5; ++i)
        mRows[i].name = kRowNames[i];
    mRows[2].flags = cWidgetList::kItemSelected;
    effects->SetDataSource(this);
    effects->SetListener(this);
    effects->SetRowHeight(30.0f, 4);
    effects->Reload();
    const cRect bars[4] = {{570, 170, 800, 190}, {570, 205, 800, 215}, {820, 150, 840, 320}, {860, 150, 870, 320}};
    for (int i = 0; i < 4; ++i)
    {
        cWidgetScrollBar* bar = Put(page, CreateScrollBar(i >= 2, i % 2 == 0), bars[i]);
        bar->SetRange(0, 100);
        bar->SetWindow(20, 45);
    }
}

void cHouseStyleSheet::AddOpeners()
{
    struct cOpener
    {
        cWidgetButton** button;
        const char* label;
        float x;
    } openers[] = {{&openClosable, "Rename", 20},   {&openBelow, "Below", 130},    {&openDropDown, "Browse", 240},
                   {&openAlert, "Delete", 350},     {&openBigAlert, "Save", 460}};
    for (const cOpener& opener : openers)
    {
        *opener.button = Put(page, CreateButton(opener.label, kButtonPush, 0), {opener.x, 350, opener.x + 96, 382});
        (*opener.button)->clickDelegate = cDelegate(this, &cHouseStyleSheet::OnOpen);
    }
    openAbove = Put(page, CreateButton("Above", kButtonPush, 0), {620, 530, 716, 562});
    openAbove->clickDelegate = cDelegate(this, &cHouseStyleSheet::OnOpen);
    linkFrom = Put(page, CreateButton("Low", kButtonPush, kButtonStyleSmallSquare), {900, 350, 940, 382});
    linkTo = Put(page, CreateButton("High", kButtonPush, kButtonStyleSmallSquare), {970, 350, 1010, 382});
}

void cHouseStyleSheet::MakeDialogues()
{
    closable = new cTestDialogue(kDialogueCloseButton | kDialogueDim, 300, 60);
    closable->SetName("Rename Song");
    closable->SetAnchors(0x1134, -156, 150, 312, 101);
    closable->closeOnDismiss = true;
    closableEdit = CreateEditLabel();
    closableEdit->SetAnchors(0x5533, 14, 48, -14, -20);
    closableEdit->SetText("Song", false);
    // Computer keys reach it while the dialogue is on top.
    closableEdit->ModifyFlags(kWidgetAcceptsKeys, 0, false);
    closable->AddChild(closableEdit);
    closableEdit->Release();

    below = new cTestDialogue(0, 240, 80);
    below->SetName("Quantize");
    below->SetAnchor(openBelow, kAttachBelow);
    below->closeOnDismiss = true;
    above = new cTestDialogue(0, 240, 80);
    above->SetName("Tempo");
    above->SetAnchor(openAbove, kAttachAbove);
    above->closeOnDismiss = true;

    dropDown = new cWidgetDialogueDropDown();
    const cVector2 content = {360, 140};
    cRect inside;
    dropDown->FitToContent(&content, &inside);
    auto* text = CreateLabel("Folder");
    text->SetText("User/Projects");
    text->SetAnchors(0x5533, 20, 30, -20, -80);
    dropDown->AddChild(text);
    text->Release();
    dropDownDone = CreateButton("Done", kButtonPush, 0);
    dropDownDone->SetAnchors(0x5555, -116, -50, -20, -18);
    dropDownDone->clickDelegate = cDelegate(this, &cHouseStyleSheet::OnDropDownDone);
    dropDown->AddChild(dropDownDone);
    dropDownDone->Release();

    alert = new cWidgetAlert();
}

void cHouseStyleSheet::AddMeters()
{
    meters.resize(8);
    for (int i = 0; i < 8; ++i)
    {
        cLevelMeter& meter = meters[size_t(i)];
        meter.flags = kMeterVertical | kMeterPeakHold | kMeterClipLEDs;
        for (cMeterBar& bar : meter.bars)
            bar.flags = meter.flags & ~kMeterClipLEDs;
        meter.SetBackground(Sprite(426), 3, 3);
        meter.SetClipLEDs(Sprite(427), Sprite(428), Sprite(429), Sprite(430), -2);
        const float x = 40.0f + float(i) * 60.0f;
        meter.SetRect({x, 610, x + Sprite(427)->width, 750});
        for (cMeterBar& bar : meter.bars)
        {
            bar.peak = kMeterPeaks[i];
            bar.peakTime = 1.0e6f;
        }
    }
}

void cHouseStyleSheet::DrawExtras(cDrawList& list)
{
    ++mFrame;
    DrawProgressBar(list, "Saving", 20, 440, 220, 0.0f, 0.6f, true, Sprite(424), Sprite(425));
    DrawProgressBar(list, "Rendering bars 5-8", 20, 500, 220, 0.25f, 0.75f, true, Sprite(424), Sprite(425));
    const uint32_t ledColours[6] = {0x000000ff, 0x0000ff00, HouseColour::kLit, 0x0000ffff, 0x00ff00ff, 0x00ffffff};
    for (int type = 0; type < 6; ++type)
    {
        DrawLED(list, type, 280.0f + 30.0f * float(type), 450, 1.0f, ledColours[type]);
        DrawLED(list, type, 280.0f + 30.0f * float(type), 490, 0.0f, ledColours[type]);
        DrawLED(list, type, 280.0f + 30.0f * float(type), 530, 0.4f, ledColours[type]);
    }
    DrawRecordBlinkMarker(list, 490, 450);
    AdvanceSpinnerAngle(mSpinnerAngle);
    DrawBusySpinner(list, 540, 450, mSpinnerAngle);
    DrawTitledFrame({600, 430, 1000, 510}, list, "Bands");
    for (size_t i = 0; i < meters.size(); ++i)
        meters[i].Draw(kMeterGains[i][0], kMeterGains[i][1], list, kMeterGains[i][0] > 1.0f,
                       kMeterGains[i][1] > 1.0f, 255);
}

intptr_t cHouseStyleSheet::OnOpen(intptr_t, cWidgetButton* button)
{
    if (button == openClosable)
        closable->Show(kDimBeneath, kTransitionNone);
    else if (button == openBelow)
        below->Show();
    else if (button == openAbove)
        above->Show();
    else if (button == openDropDown)
        dropDown->Open(cDelegate());
    else if (button == openAlert || button == openBigAlert)
    {
        const bool big = button == openBigAlert;
        alert->Reset(big ? kAlertIconOnNo | kAlertIconOnOK : 0);
        alert->SetName(big ? "Save Changes" : "Delete Project");
        alert->firstLine.AssignCStr(big ? "The song has changed since it was saved."
                                        : "Delete \"Bass Line 1\"?");
        alert->secondLine.AssignCStr(big ? "Save it before closing?" : "");
        alert->SetButton(kAlertCancel, "Cancel");
        alert->SetButton(kAlertOK, big ? "Save" : "Delete");
        if (big)
        {
            alert->SetButton(kAlertNo, "No");
            alert->SetButton(kAlertOther, "Copy");
        }
        alert->Show(cDelegate(this, &cHouseStyleSheet::OnAlertResult));
    }
    return 0;
}

intptr_t cHouseStyleSheet::OnDropDownDone(intptr_t, cWidgetButton*)
{
    dropDown->Close();
    return 0;
}

intptr_t cHouseStyleSheet::OnAlertResult(intptr_t index, cWidgetAlert*)
{
    alertResults.push_back(int32_t(index));
    return 0;
}

cWidgetList::cItem* cHouseStyleSheet::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent ? nullptr : &mRows[0];
}

cWidgetList::cItem* cHouseStyleSheet::GetNext(cWidgetList::cItem* item)
{
    const cRow* row = static_cast<cRow*>(item);
    return row + 1 < mRows + 5 ? const_cast<cRow*>(row + 1) : nullptr;
}

void cHouseStyleSheet::DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row)
{
    if (item->flags & cWidgetList::kItemSelected)
        list.DrawNinePatch(row, Sprite(22), nullptr, HouseColour::kWhite, true);
    cFontHandle font;
    font.Select(GetTextSize(kTextSizeValue));
    list.GetTextBatch().DrawTextInRect({row.xMin + 10, row.yMin, row.xMax, row.yMax}, font, list.depth, kRowText,
                                       kTextAlignCentreY, static_cast<cRow*>(item)->name);
}

void cHouseStyleSheet::OnItemSelected(cWidgetList*, cWidgetList::cItem*) {}
