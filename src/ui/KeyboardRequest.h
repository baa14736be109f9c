#pragma once

#include <cstdint>

#include "base/GenString.h"

// One question for the on-screen keyboard: how the edit field starts, what
// the status bar shows while typing and which keys are offered. Pages below
// the main screen fill it and hand it to whatever keyboard their host shows.
struct cKeyboardRequest
{
    static constexpr int32_t kTextCapacity = 260;

    // The longest text the edit field takes.
    int32_t maxLength = 0;
    uint8_t selectAll = 0;
    uint8_t fileNameMode = 1;
    uint8_t browse = 0;
    // The status bar shows the title, the text and its extension while typing.
    uint8_t showPath = 0;
    uint8_t reserved = 0;
    // Nothing below the keyboard is drawn while it is open.
    uint8_t hideBelow = 0;
    cGenStringFixed<kTextCapacity> title;
    cGenStringFixed<kTextCapacity> text;
    // Used in file-name mode when the text has no extension.
    cGenStringFixed<kTextCapacity> defaultExtension;
};
