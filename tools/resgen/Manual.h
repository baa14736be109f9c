#pragma once

#include <string>

// The program's own manual: a short home page in "Manual" below the
// resource folder, opened in the desktop's browser from the help page and
// the status bar.
std::string ManualHomePage();
bool WriteManual(const std::string& resources);
