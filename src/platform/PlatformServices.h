#pragma once

#include <cstdarg>
#include <string>

// Opens a web address (or file URL) or a native folder with the desktop's
// opener, without waiting for it. False when the address is refused or the
// opener cannot start; an opener that cannot start, or that starts and soon
// reports a failure, is kept for TakeFailedOpen, so the user can be told.
bool OpenURLInBrowser(const char* address);

// An address the opener could not open, and why.
struct sFailedOpen
{
    std::string address;
    std::string reason;
};

// The oldest failed open not taken yet; false when there is none. Any thread.
bool TakeFailedOpen(sFailedOpen& failed);

// printf-style trace to standard output, at most 4095 characters per call.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugTraceV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
