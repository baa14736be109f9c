#include "base/StatusText.h"

#include <atomic>
#include <cstdarg>

#include "base/CriticalSection.h"

namespace
{
constexpr int kStatusTextCapacity = 256;

std::atomic<cCriticalSection*> sInstalledLock{nullptr};

cCriticalSection& OwnLock()
{
    static cCriticalSection lock;
    return lock;
}

cGenStringFixed<kStatusTextCapacity>& Text()
{
    static cGenStringFixed<kStatusTextCapacity> text;
    return text;
}

cCriticalSection* CurrentLock()
{
    cCriticalSection* lock = sInstalledLock.load();
    return lock ? lock : &OwnLock();
}
} // namespace

void SetStatusTextLock(cCriticalSection* lock) { sInstalledLock.store(lock); }

void SetStatusText(const char* format, ...)
{
    cGenStringFixed<kStatusTextCapacity> formatted;
    va_list args;
    va_start(args, format);
    formatted.FormatV(format, args);
    va_end(args);
    cScopedLock lock(CurrentLock());
    Text().Assign(formatted);
}

void GetStatusText(cGenString& text)
{
    cScopedLock lock(CurrentLock());
    text.Assign(Text());
}
