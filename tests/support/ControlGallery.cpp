#include "support/ControlGallery.h"

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "support/ControlKit.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetEditLabel.h"
#include "ui/WidgetLEDCycleButton.h"
#include "ui/WidgetLabel.h"
#include "ui/WidgetMultiButton.h"
#include "ui/WidgetTabView.h"

namespace
{
constexpr uint32_t kPageColour = 0xffb4b4b4;
// Left and top from the parent's corner, then width and height.
constexpr uint32_t kAnchorsInParent = 0x1133;
constexpr uint32_t kTabPageColour = 0xffd2d2d2;
constexpr uint32_t kSquareStretched = ControlKit::kStyleSmallSquare | ControlKit::kStyleStretched;
// Icons of the colour atlas: OK, No, and the dotted and triplet feels.
constexpr int kIconOK = 222;
constexpr int kIconNo = 197;
constexpr int kIconDotted = 186;
constexpr int kIconTriplet = 220;

// A flat coloured area.
class cPanel : public cWidget
{
public:
    explicit cPanel(uint32_t colour) : mColour(colour) {}

    bool Draw(cDrawList& list) override
    {
        list.FillRect(GetRect(), mColour);
        return false;
    }

private:
    uint32_t mColour;
};

// Places a widget at a screen rect (or one in its parent) and leaves it to the parent.
template <class T>
T* Put(cWidget* parent, T* widget, float x, float y, float width, float height,
       uint32_t anchors = kAnchorsAbsoluteRect)
{
    widget->SetAnchors(anchors, x, y, width, height);
    parent->AddChild(widget);
    widget->Release();
    return widget;
}

int CountWidgets(const cWidget* widget)
{
    int count = 1;
    for (const cWidget* child = widget->GetFirstChild(); child; child = child->GetNext())
        count += CountWidgets(child);
    return count;
}

void AddButtons(cControlGallery& g)
{
    using namespace ControlKit;
    g.normalButton = Put(g.page, Button("Play", kButtonPush, 0), 20, 30, 96, 32);
    g.heldButton = Put(g.page, Button("Hold", kButtonMomentary, 0), 126, 30, 96, 32);
    g.litButton = Put(g.page, Button("Lit", kButtonPush, 0), 232, 30, 96, 32);
    g.litButton->value = 1;
    g.disabledButton = Put(g.page, Button("Off", kButtonPush, 0), 338, 30, 96, 32);
    g.disabledButton->SetEnabled(false);
    g.iconAbove = Put(g.page, Button("OK", kButtonPush, kStyleSmallTall), 454, 24, 64, 44);
    SetButtonIcon(g.iconAbove, kIconOK);
    g.iconBeside = Put(g.page, Button("No", kButtonPush, 0), 538, 30, 96, 32);
    SetButtonIconBeside(g.iconBeside, kIconNo);
    g.toggleOff = Put(g.page, ToggleButton("Loop"), 664, 32, 120, 28);
    g.toggleOn = Put(g.page, ToggleButton("Click"), 804, 32, 120, 28);
    g.toggleOn->value = 1;
}

void AddMultiButtons(cControlGallery& g)
{
    using namespace ControlKit;
    g.singleSelect = Put(g.page, MultiButton("Grid", 4, 1, kMultiSingleSelect, kSquareStretched), 20, 110, 253, 32);
    const char* grids[] = {"1/4", "1/8", "1/16", "1/32"};
    for (int i = 0; i < 4; ++i)
        g.singleSelect->items[size_t(i)].text = grids[i];
    g.singleSelect->selectedItem = 1;

    g.toggles = Put(g.page, MultiButton("Steps", 4, 2, kMultiToggle, kSquareStretched), 310, 110, 157, 63);
    const char* steps[] = {"1", "2", "3", "4", "5", "6", "7", "8"};
    for (int i = 0; i < 8; ++i)
        g.toggles->items[size_t(i)].text = steps[i];
    for (int on : {0, 3, 5})
        g.toggles->items[size_t(on)].on = 1;
    g.toggles->items[6].enabled = 0;

    g.commands = Put(g.page, MultiButton("Feel", 3, 1, kMultiCommand, kSquareStretched), 500, 110, 190, 32);
    g.commands->items[0].icon = &gTex8888AtlasTable[kIconDotted];
    g.commands->items[1].icon = &gTex8888AtlasTable[kIconTriplet];
    g.commands->items[2].text = "Swing";
}

void AddLEDButtons(cControlGallery& g)
{
    using namespace ControlKit;
    g.ledRight = Put(g.page, LEDCycleButton(2, kLEDSideRight | kLEDDownwards), 20, 210, 120, 80);
    g.ledRight->SetName("Wave");
    g.ledRight->SetLEDCount(3);
    const char* waves[] = {"Saw", "Square", "Triangle"};
    for (int i = 0; i < 3; ++i)
        g.ledRight->SetLED(i, i, waves[i]);
    g.ledRight->value = 1;
    // In a column the names read beside their LEDs, clear of the track.
    cTextStyle& names = g.ledRight->GetLEDTextStyle();
    names.alignment = kTextAlignOutsideRight | kTextAlignCentreY;
    names.offsetX = 2.0f;
    names.offsetY = 0.0f;

    g.ledBelow =
        Put(g.page, LEDCycleButton(3, kLEDSideBelow | kLEDRightwards | kLEDCycleLitLook), 200, 210, 160, 80);
    g.ledBelow->SetName("Octave");
    g.ledBelow->SetLEDCount(4);
    const char* octaves[] = {"-2", "-1", "0", "+1"};
    for (int i = 0; i < 4; ++i)
        g.ledBelow->SetLED(i, i, octaves[i]);
    g.ledBelow->value = 2;
}

cWidgetTabView* AddTabView(cWidget* page, bool column, float x, const char* const (&names)[3])
{
    cWidgetTabView* view = Put(page, new cWidgetSystemTabView(3, column), x, 330, 460, 200);
    for (int i = 0; i < 3; ++i)
    {
        cWidget* tabPage = new cPanel(kTabPageColour);
        cWidgetButton* tab = ControlKit::TabButton(false);
        view->AddPage(i, names[i], tabPage, tab);
        cWidgetLabel* label = Put(tabPage, ControlKit::Label(names[i]), 20, 30, 160, 20, kAnchorsInParent);
        label->SetText("Page content");
        tabPage->Release();
        tab->Release();
    }
    view->SelectPage(1, true);
    return view;
}

void AddLabels(cControlGallery& g)
{
    using namespace ControlKit;
    g.label = Put(g.page, Label("Name"), 20, 590, 180, 20);
    g.label->SetText("Bass Line 1");
    g.disabledLabel = Put(g.page, Label("Sample"), 220, 590, 180, 20);
    g.disabledLabel->SetText("Kick.wav");
    g.disabledLabel->SetEnabled(false);
    g.cutLabel = Put(g.page, Label("Path"), 420, 590, 180, 20);
    g.cutLabel->SetText("User/Samples/Drums/Acoustic Kit 4/Snare.wav");

    g.selectedField = Put(g.page, EditLabel(), 20, 660, 300, 26);
    g.selectedField->SetText("Lead Synth", false);
    for (int i = 0; i < 5; ++i)
        g.selectedField->MoveLeft(true);
    g.suffixField = Put(g.page, EditLabel(), 360, 660, 300, 26);
    g.suffixField->SetText("Song", false);
    g.suffixField->suffix = "prj";
}
} // namespace

cControlGallery BuildControlGallery(cWidget* parent)
{
    cControlGallery gallery;
    gallery.page = Put(parent, new cPanel(kPageColour), 0, 0, 1024, 768);
    AddButtons(gallery);
    AddMultiButtons(gallery);
    AddLEDButtons(gallery);
    const char* const rowNames[3] = {"Synth", "Pads", "Mixer"};
    const char* const columnNames[3] = {"Audio", "MIDI", "Help"};
    gallery.tabRow = AddTabView(gallery.page, false, 20, rowNames);
    gallery.tabColumn = AddTabView(gallery.page, true, 520, columnNames);
    AddLabels(gallery);
    gallery.widgetCount = CountWidgets(gallery.page);
    return gallery;
}
