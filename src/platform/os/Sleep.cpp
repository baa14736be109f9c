#include "platform/os/Sleep.h"

#include <cerrno>
#include <ctime>

void SleepMilliseconds(int milliseconds)
{
    timespec remaining = {milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR)
    {
    }
}
