#include "platform/DisplayMetrics.h"

namespace
{
float NominalDpi(int32_t deviceClass)
{
    switch (deviceClass)
    {
    case kDeviceClassTablet:
        return 132.0f;
    case kDeviceClassDesktop:
        return 96.0f;
    default:
        return 163.0f;
    }
}
} // namespace

cDisplayMetrics gDisplayMetrics = {kDeviceClassPhone, 163.0f, 1.0f / 163.0f, 163.0f / 25.4f,
                                   25.4f / 163.0f};

cDisplayMetrics& GetDisplayMetrics() { return gDisplayMetrics; }

void ResetDisplayMetrics() { SetDisplayMetricsForClass(kDeviceClassPhone); }

void SetDisplayMetricsForClass(int32_t deviceClass)
{
    const float dpi = NominalDpi(deviceClass);
    gDisplayMetrics.deviceClass = deviceClass;
    gDisplayMetrics.dpi = dpi;
    gDisplayMetrics.inverseDpi = 1.0f / dpi;
    gDisplayMetrics.pixelsPerMillimetre = dpi / 25.4f;
    gDisplayMetrics.millimetresPerPixel = 25.4f / dpi;
}
