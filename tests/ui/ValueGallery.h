#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/FontHandle.h"
#include "ui/WidgetList.h"

class cWidget;
class cWidgetComboBox;
class cWidgetKnob;
class cWidgetScrollBar;
class cWidgetSlider;
class cWidgetSpinButton;

// Every value control of the toolkit in the house style on one 1024 x 768
// page, in the states a user meets: knobs of each kind, faders on a desk
// strip, spin buttons in their three arrangements (one disabled), scroll
// bars both ways and sizes, a list with a selection and its bar, and combos
// closed and open both ways with a disabled item. The gallery owns what the
// controls report to, and counts the reports.
class cValueGallery : public cWidgetList::cDataSource, public cWidgetList::cListener
{
public:
    struct cEffectItem : cWidgetList::cItem
    {
        std::string name;
    };

    // Builds the page as the last child of the root.
    explicit cValueGallery(cWidget* root);
    ~cValueGallery() override;

    cWidgetList::cItem* GetFirstChild(cWidgetList::cItem* parent) override;
    cWidgetList::cItem* GetNext(cWidgetList::cItem* item) override;
    void DrawItem(cWidgetList::cItem* item, cDrawList& list, const cRect& row) override;
    void OnItemSelected(cWidgetList* list, cWidgetList::cItem* item) override;

    cWidget* page = nullptr;
    std::vector<cWidgetKnob*> knobs;
    std::vector<cWidgetSlider*> sliders;
    std::vector<cWidgetSpinButton*> spins;
    std::vector<cWidgetScrollBar*> bars;
    cWidgetList* list = nullptr;
    std::vector<cWidgetComboBox*> combos;
    // The fader, spin button and knob the gallery test holds down.
    cWidgetSlider* heldSlider = nullptr;
    cWidgetSpinButton* heldSpin = nullptr;
    cWidgetKnob* heldKnob = nullptr;
    cWidgetComboBox* openDown = nullptr;
    cWidgetComboBox* openUp = nullptr;

    // What the controls reported, and how many of the float reports were
    // not finite numbers.
    int32_t reports = 0;
    int32_t nonFiniteReports = 0;
    std::vector<std::string> selections;

private:
    void AddKnobs();
    void AddFaders();
    void AddSpins();
    void AddScrollBars();
    void AddList();
    void AddCombos();
    cWidget* AddPanel(const cRect& rect, uint32_t colour);
    template <class T>
    T* Put(cWidget* parent, T* widget, const cRect& rect);

    void OnFloat(float value, cWidget* widget);
    void OnInt(int32_t value, cWidget* widget);
    void OnSpin(int32_t value, cWidgetSpinButton* spin);

    // Filled once, so the list's pointers into it stay valid.
    std::vector<cEffectItem> mItems;
    cFontHandle mRowFont;
};
