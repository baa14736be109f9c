#include "base/FastMath.h"

#include <cmath>
#include <mutex>

std::atomic<const float*> gSineTable{nullptr};

namespace
{
std::mutex sBuildLock;
} // namespace

const float* FastMathDetail::BuildSineTable()
{
    std::lock_guard<std::mutex> lock(sBuildLock);
    if (const float* built = gSineTable.load(std::memory_order_acquire))
        return built;
    float* table = new float[kSineTableSteps + 1];
    const double scale = kSineTableScale;
    for (int i = 0; i <= kSineTableSteps; ++i)
        table[i] = static_cast<float>(std::sin(i / scale));
    gSineTable.store(table, std::memory_order_release);
    return table;
}

void InitFastMathTables() { FastMathDetail::SineTable(); }

void FreeFastMathTables()
{
    std::lock_guard<std::mutex> lock(sBuildLock);
    delete[] gSineTable.exchange(nullptr);
}

float SinF(float x)
{
    return static_cast<float>(std::sin(static_cast<double>(x)));
}

float SplitFloat(float x, float* integerPart)
{
    return std::modf(x, integerPart);
}
