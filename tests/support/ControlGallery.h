#pragma once

class cWidget;
class cWidgetButton;
class cWidgetEditLabel;
class cWidgetLabel;
class cWidgetLEDCycleButton;
class cWidgetMultiButton;
class cWidgetTabView;

// One screen of every standard control of the first set in its states, as
// a new user meets them: buttons normal, held, lit and disabled, with icons
// above and beside their text; single-select, toggle and command
// multi-buttons; LED cycle buttons on two sides; a row and a column of tabs;
// labels with captions, disabled and cut; the edit field with a selection
// and with its suffix. Built on a 1024 x 768 page; the pointers name the
// controls whose states the tests probe.
struct cControlGallery
{
    cWidget* page = nullptr;
    cWidgetButton* normalButton = nullptr;
    cWidgetButton* heldButton = nullptr; // to be held down by a finger
    cWidgetButton* litButton = nullptr;
    cWidgetButton* disabledButton = nullptr;
    cWidgetButton* iconAbove = nullptr;
    cWidgetButton* iconBeside = nullptr;
    cWidgetButton* toggleOff = nullptr;
    cWidgetButton* toggleOn = nullptr;
    cWidgetMultiButton* singleSelect = nullptr;
    cWidgetMultiButton* toggles = nullptr;
    cWidgetMultiButton* commands = nullptr;
    cWidgetLEDCycleButton* ledRight = nullptr;
    cWidgetLEDCycleButton* ledBelow = nullptr;
    cWidgetTabView* tabRow = nullptr;
    cWidgetTabView* tabColumn = nullptr;
    cWidgetLabel* label = nullptr;
    cWidgetLabel* disabledLabel = nullptr;
    cWidgetLabel* cutLabel = nullptr;
    cWidgetEditLabel* selectedField = nullptr;
    cWidgetEditLabel* suffixField = nullptr;
    int widgetCount = 0;
};

// Adds the gallery page to the parent, which keeps it.
cControlGallery BuildControlGallery(cWidget* parent);
