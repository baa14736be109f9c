#include "base/StatusNotice.h"

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

namespace
{
// Notices nobody takes (tools, tests) must not pile up without end.
constexpr size_t kMaxPending = 16;

std::mutex sLock;
std::deque<std::string> sPending;
} // namespace

void PostStatusNotice(const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    std::lock_guard<std::mutex> hold(sLock);
    if (sPending.size() == kMaxPending)
        sPending.pop_front();
    sPending.emplace_back(text);
}

bool TakeStatusNotice(cGenString& text)
{
    std::lock_guard<std::mutex> hold(sLock);
    if (sPending.empty())
        return false;
    text.AssignCStr(sPending.front().c_str());
    sPending.pop_front();
    return true;
}
