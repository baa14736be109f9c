#pragma once

class cOsWindow;

enum class eMessageBoxIcon
{
    kError,
    kWarning,
};

// Shows a modal message box (owned by the window when one is given) and
// copies the text to standard error, so it is seen even without a display.
void ShowMessageBox(const char* caption, const char* text, eMessageBoxIcon icon,
                    cOsWindow* owner = nullptr);
