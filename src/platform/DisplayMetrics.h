#pragma once

#include <cstdint>

// Device classes: the layouts, texture profiles, window sizes and input
// distances all follow the class chosen at start-up.
enum eDeviceClass : int32_t
{
    kDeviceClassPhone = 0,
    kDeviceClassTablet = 1,
    kDeviceClassDesktop = 2,
};

// The nominal display measures of the device class; the user interface
// measures distances (tap radius, grid margins) with them.
struct cDisplayMetrics
{
    int32_t deviceClass;
    float dpi;
    float inverseDpi;
    float pixelsPerMillimetre;
    float millimetresPerPixel;
};

// The one record of the program; holds the phone values until the device
// class is decided.
extern cDisplayMetrics gDisplayMetrics;

cDisplayMetrics& GetDisplayMetrics();
void ResetDisplayMetrics();
// Fills the record with the values of a device class (0..2).
void SetDisplayMetricsForClass(int32_t deviceClass);
