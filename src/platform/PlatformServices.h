#pragma once

#include <cstdarg>

// Opens a web address (or file URL) in the user's default browser without
// waiting for it. False when the address is refused or the opener cannot start.
bool OpenURLInBrowser(const char* address);

// printf-style trace to standard output, at most 4095 characters per call.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugTraceV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
