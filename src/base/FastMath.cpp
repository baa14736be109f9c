#include "base/FastMath.h"

#include <cmath>

float* gSineTable = nullptr;

void InitFastMathTables()
{
    if (gSineTable != nullptr)
        return;
    gSineTable = new float[kSineTableSteps + 1];
    const double scale = kSineTableScale;
    for (int i = 0; i <= kSineTableSteps; ++i)
        gSineTable[i] = static_cast<float>(std::sin(i / scale));
}

void FreeFastMathTables()
{
    delete[] gSineTable;
    gSineTable = nullptr;
}

float SinF(float x)
{
    return static_cast<float>(std::sin(static_cast<double>(x)));
}

float SplitFloat(float x, float* integerPart)
{
    return std::modf(x, integerPart);
}
