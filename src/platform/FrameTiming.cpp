#include "platform/FrameTiming.h"

float gFrameRate = 60.0f;
float gFramePeriod = 1.0f / 60.0f;
int32_t gFrameMultiple = 2;

void SetFrameTiming(float framesPerSecond)
{
    gFrameRate = framesPerSecond;
    gFramePeriod = 1.0f / framesPerSecond;
    gFrameMultiple = int32_t((framesPerSecond + 0.5f) / 30.0f);
}
