#pragma once

#include <cstdint>

class cGenString;

// The text sizes and row height every page is built with; they follow the
// device class and are set once at start-up, before any widget is built.
enum eUITextSize : int32_t
{
    kTextSizeAlert = 0,    // alert lines, combo boxes
    kTextSizeValue = 1,    // label and spin-button values
    kTextSizeStandard = 2, // button labels, captions, multi-button items
    kTextSizeTitle = 3,    // dialogue titles, edit labels
    kTextSizeTiny = 4,
    kTextSizeSmall = 5,
    kTextSizeToggle = 6, // toggle-button labels
    kTextSizeCount = 7,
};

// Reads the device class from the display metrics; also sets the smallest
// size any text is drawn at (9 px at the desktop class, none elsewhere).
void SetupUIMetrics();

// Point sizes handed to the font's size selection.
float GetTextSize(int32_t index);
float GetStandardTextSize();
// The height of a standard list row or title-bar button of the main screens.
float GetRowHeight();

// The address of the local manual's home page inside the resource folder.
void GetManualPageURL(cGenString& out);
// The same for any absolute folder: "file://" + the folder + the page, with
// blanks and every byte a URL path cannot hold percent-encoded.
void BuildManualPageURL(const char* resourceFolder, cGenString& out);
