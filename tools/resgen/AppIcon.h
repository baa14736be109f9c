#pragma once

#include "Canvas.h"

#include <string>

// The program's window icon: a rounded dark tile with a blue waveform,
// bold enough to read when the window system shrinks it to 32 pixels.
cCanvas DrawAppIcon();
// C++ that defines the icon's pixels for the program to compile in.
std::string AppIconSource(const cCanvas& icon);
