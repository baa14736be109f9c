#include "ui/ValueGallery.h"

#include <cmath>
#include <cstdio>

#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "render/TextBatch.h"
#include "support/ControlKit.h"
#include "support/ControlKitValues.h"
#include "ui/ControlHelpers.h"
#include "ui/UIMetrics.h"
#include "ui/WidgetComboBox.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetScrollBar.h"
#include "ui/WidgetSlider.h"
#include "ui/WidgetSpinButton.h"

namespace
{
constexpr uint32_t kPage = 0xffd0d0d0;
constexpr uint32_t kDeskPanel = 0xff2a2a2a;
constexpr uint32_t kSynthCaption = 0xff3030a0;
constexpr uint32_t kRowText = 0xffdcdcdc;

// The synthesizer's knob: body, pointer dot, tick and the body's size.
constexpr int kSynthKnobDrawn = 122, kSynthKnobDot = 123, kSynthKnobTick = 124, kSynthKnobSize = 125;
constexpr int kRowHighlight = 225;

const char* const kEffectNames[] = {"Chorus", "Compressor", "Delay", "Distortion", "EQ", "Filter",
                                    "Flanger", "Gate", "Limiter", "Phaser", "Reverb", "Waveshaper"};

// Clear of the top, where the caption sits.
const cWidgetKnob::cListEntry kWaves[4] = {
    {0.70f, 0, 0, "Sin"}, {1.80f, 1, 0, "Tri"}, {4.48f, 2, 0, "Saw"}, {5.58f, 3, 0, "Sqr"}};

const cAtlasSprite* Sprite(int index) { return &gTex8888AtlasTable[index]; }

// A flat panel; after its children it draws the glow of the faders on it,
// as the desk's strips do.
class cGalleryPanel : public cWidget
{
public:
    explicit cGalleryPanel(uint32_t colour) : mColour(colour) {}

    bool Draw(cDrawList& list) override
    {
        list.FillRect(GetRect(), mColour);
        DrawChildren(list);
        for (cWidget* child = GetFirstChild(); child; child = child->GetNext())
            if (auto* slider = dynamic_cast<cWidgetSlider*>(child))
                slider->DrawTouchHighlight(list);
        return true;
    }

private:
    uint32_t mColour;
};
// The house spin button in another arrangement, as the synthesizer's pages
// arrange theirs.
cWidgetSpinButton* ArrangedSpin(const char* caption, uint32_t arrangement)
{
    cWidgetSpinButton* house = ControlKit::SpinButton(caption);
    if (arrangement == kSpinRow)
        return house;
    auto* spin = new cWidgetSpinButton(arrangement | kSpinDragAnywhere);
    spin->SetName(caption);
    spin->upImage = house->upImage;
    spin->upImagePressed = house->upImagePressed;
    spin->downImage = house->downImage;
    spin->downImagePressed = house->downImagePressed;
    spin->valueBoxImage = house->valueBoxImage;
    spin->zoneMargin = house->zoneMargin;
    spin->valueTextStyle = house->valueTextStyle;
    spin->captionStyle = house->captionStyle;
    house->Release();
    return spin;
}
} // namespace

cValueGallery::cValueGallery(cWidget* root) : cDataSource(0)
{
    mRowFont.Select(GetTextSize(kTextSizeValue));
    page = new cGalleryPanel(kPage);
    root->AddChild(page);
    page->Release();
    AddKnobs();
    AddFaders();
    AddSpins();
    AddScrollBars();
    AddList();
    AddCombos();
}

cValueGallery::~cValueGallery() = default;

cWidget* cValueGallery::AddPanel(const cRect& rect, uint32_t colour)
{
    return Put(page, new cGalleryPanel(colour), rect);
}

template <class T>
T* cValueGallery::Put(cWidget* parent, T* widget, const cRect& rect)
{
    widget->SetAnchors(kAnchorsAbsoluteRect, rect.xMin, rect.yMin, rect.xMax - rect.xMin, rect.yMax - rect.yMin);
    parent->AddChild(widget);
    widget->Release();
    return widget;
}

void cValueGallery::OnFloat(float value, cWidget*)
{
    ++reports;
    if (!std::isfinite(value))
        ++nonFiniteReports;
}

void cValueGallery::OnInt(int32_t, cWidget*) { ++reports; }

void cValueGallery::OnSpin(int32_t value, cWidgetSpinButton* spin)
{
    ++reports;
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    spin->SetText(text);
}

void cValueGallery::AddKnobs()
{
    cWidget* panel = AddPanel({20, 20, 1004, 190}, kDeskPanel);
    const cWidgetKnob::cParameter parameters[] = {
        {"Drive", kKnobContinuous, 0, 0, nullptr, 0, 0},
        {"Pan", kKnobContinuous, 0, 0, nullptr, 0, kKnobBipolar | kKnobLettersLR},
        {"Gain", kKnobContinuous, 0, 0, nullptr, 0, kKnobLettersMinusPlus},
        {"Mix", kKnobContinuous, 0, 0, nullptr, 0, kKnobBipolar | kKnobLettersAB},
        {"Voices", kKnobInteger, 1, 8, nullptr, 0, 0},
        {"Wave", kKnobValueList, 0, 0, kWaves, 4, 0},
        {"Tone", kKnobContinuous, 0, 0, nullptr, 0, 0},
        {"Cutoff", kKnobContinuous, 0, 0, nullptr, 0, 0},
    };
    const float values[] = {0.3f, 0.75f, 0.6f, 0.5f, 0.0f, 0.0f, 0.85f, 0.6f};
    for (int i = 0; i < 8; ++i)
    {
        const float x = 40.0f + float(i) * 120.0f;
        cWidgetKnob* knob =
            Put(panel, ControlKit::EffectKnob(parameters[i], ControlKit::kLightLabel), {x, 50, x + 100, 170});
        knob->SetValue(values[i]);
        knob->valueDelegate = cDelegate(this, &cValueGallery::OnFloat);
        knob->stepDelegate = cDelegate(this, &cValueGallery::OnInt);
        knobs.push_back(knob);
    }
    knobs[4]->SetIntValue(5);
    knobs[5]->SetIntValue(2);
    knobs[6]->pointerStyle = kKnobPointerRotatedDimming;
    cWidgetKnob* synth = knobs[7];
    synth->knobImage.SetSprites(Sprite(kSynthKnobSize), Sprite(kSynthKnobDrawn), nullptr);
    synth->pointerSprite = Sprite(kSynthKnobDot);
    synth->pointerStyle = kKnobPointerDot;
    synth->pointerRadius = 0.55f;
    synth->tickSprite = Sprite(kSynthKnobTick);
    synth->tickRadius = 1.05f;
    synth->captionStyle.colour = kSynthCaption;
    heldKnob = knobs[0];
}

void cValueGallery::AddFaders()
{
    cWidget* panel = AddPanel({20, 210, 300, 450}, kDeskPanel);
    const float values[] = {0.0f, 0.4f, 0.75f, 1.0f};
    for (int i = 0; i < 4; ++i)
    {
        const float x = 48.0f + float(i) * 64.0f;
        const cAtlasSprite* track = Sprite(344);
        cWidgetSlider* slider = Put(panel, ControlKit::Slider(), {x, 250, x + track->width, 250 + track->height});
        slider->SetValue(values[i]);
        slider->valueDelegate = cDelegate(this, &cValueGallery::OnFloat);
        sliders.push_back(slider);
    }
    heldSlider = sliders[2];
}

void cValueGallery::AddSpins()
{
    struct cSpinDef
    {
        const char* caption;
        uint32_t arrangement;
        cRect rect;
        int32_t minimum, maximum, value;
    };
    const cSpinDef defs[] = {
        {"Octave", kSpinRow, {330, 240, 480, 268}, -2, 2, 0},
        {"Transpose", kSpinRow, {330, 300, 480, 328}, -24, 24, 3},
        {"Locked", kSpinRow, {330, 360, 480, 388}, 0, 9, 4},
        {"Channel", kSpinBoxAbove, {500, 240, 600, 300}, 1, 16, 10},
        {"Bank", kSpinColumn, {530, 330, 590, 440}, 0, 127, 64},
    };
    for (const cSpinDef& def : defs)
    {
        cWidgetSpinButton* spin = ArrangedSpin(def.caption, def.arrangement);
        spin->gap = def.arrangement == kSpinRow ? 0.0f : 4.0f;
        Put(page, spin, def.rect);
        spin->minimum = def.minimum;
        spin->maximum = def.maximum;
        OnSpin(def.value, spin);
        spin->SetValue(def.value);
        spin->valueDelegate = cDelegate(this, &cValueGallery::OnSpin);
        spins.push_back(spin);
    }
    reports = 0;
    spins[2]->SetEnabled(false);
    heldSpin = spins[1];
}

void cValueGallery::AddScrollBars()
{
    struct cBarDef
    {
        bool vertical, large;
        cRect rect;
        float start, end;
    };
    const float large = Sprite(326)->width, small = Sprite(327)->width;
    const cBarDef defs[] = {
        {false, true, {20, 470, 300, 470 + large}, 20, 45},
        {false, false, {20, 510, 300, 510 + small}, 60, 70},
        {true, true, {620, 230, 620 + large, 470}, 0, 30},
        {true, false, {660, 230, 660 + small, 470}, 99, 100},
    };
    for (const cBarDef& def : defs)
    {
        cWidgetScrollBar* bar = Put(page, ControlKit::ScrollBar(def.vertical, def.large), def.rect);
        bar->SetRange(0, 100);
        bar->SetWindow(def.start, def.end);
        bar->windowMovedDelegate = cDelegate(this, &cValueGallery::OnFloat);
        bar->windowResizedDelegate = cDelegate(this, &cValueGallery::OnFloat);
        bars.push_back(bar);
    }
}

void cValueGallery::AddList()
{
    mItems.reserve(30);
    for (int i = 0; i < 30; ++i)
    {
        cEffectItem item;
        char name[32];
        std::snprintf(name, sizeof(name), "%s %d", kEffectNames[i % 12], i / 12 + 1);
        item.name = name;
        mItems.push_back(item);
    }
    mItems[14].flags = cWidgetList::kItemSelected;
    list = Put(page, ControlKit::List("Effects"), {700, 230, 1004, 530});
    list->SetDataSource(this);
    list->SetListener(this);
}

void cValueGallery::AddCombos()
{
    static const char* const kZooms[] = {"Bar", "Beat", "Half", "Quarter", "Eighth"};
    cWidgetComboBox* zoom =
        Put(page, ControlKit::ComboBox("", 8, kComboSelection, cDelegate(this, &cValueGallery::OnInt)),
            {40, 600, 140, 644});
    for (const char* text : kZooms)
        zoom->AddItem(text, 0, true);
    zoom->SetSelectedItem(3);

    cWidgetComboBox* history =
        Put(page, ControlKit::ComboBox("History", 4, 0, cDelegate(this, &cValueGallery::OnInt)), {220, 590, 320, 634});
    history->AddItem("Undo", 0, true);
    history->AddItem("Redo", 1, false);
    history->AddItem("Clear", 2, true);
    history->value = 1;

    cWidgetComboBox* snap = Put(
        page,
        ControlKit::ComboBox("", 8, kComboSelection | kComboOpensUpwards | kComboLevelHighlight,
                             cDelegate(this, &cValueGallery::OnInt)),
        {420, 700, 520, 744});
    for (const char* text : kZooms)
        snap->AddItem(text, 0, true);
    snap->SetSelectedItem(3);
    snap->value = 1;

    cWidgetComboBox* mode =
        Put(page, ControlKit::ComboBox("Mode", 4, 0, cDelegate(this, &cValueGallery::OnInt)), {620, 600, 720, 644});
    mode->AddItem("Mono", 0, true);
    mode->AddItem("Poly", 1, true);
    mode->SetKeyShortcut('M');
    combos = {zoom, history, snap, mode};
    openDown = history;
    openUp = snap;
}

cWidgetList::cItem* cValueGallery::GetFirstChild(cWidgetList::cItem* parent)
{
    return parent || mItems.empty() ? nullptr : &mItems.front();
}

cWidgetList::cItem* cValueGallery::GetNext(cWidgetList::cItem* item)
{
    const auto* effect = static_cast<cEffectItem*>(item);
    const size_t index = size_t(effect - mItems.data());
    return index + 1 < mItems.size() ? &mItems[index + 1] : nullptr;
}

void cValueGallery::DrawItem(cWidgetList::cItem* item, cDrawList& drawList, const cRect& row)
{
    const auto* effect = static_cast<cEffectItem*>(item);
    if (effect->flags & cWidgetList::kItemSelected)
    {
        const cAtlasSprite* highlight = Sprite(kRowHighlight);
        drawList.DrawQuad(row, {highlight->u0, highlight->v0}, {highlight->u1, highlight->v1}, 0xffffffff, 0);
    }
    const float y = (row.yMin + row.yMax) * 0.5f - FontSizeOf(mRowFont) * 0.5f;
    drawList.GetTextBatch().DrawText(row.xMin + 10, std::floor(y), drawList.depth, mRowFont, kRowText,
                                     effect->name.c_str());
}

void cValueGallery::OnItemSelected(cWidgetList*, cWidgetList::cItem* item)
{
    selections.push_back(static_cast<cEffectItem*>(item)->name);
}
