#include "sequencer/PatternTable.h"

#include "sequencer/Pattern.h"

namespace
{
cPatternTable* Table() { return cPatternTable::GetInstance(); }

bool IsFree(const cPattern& pattern) { return pattern.referenceCount == 0; }
} // namespace

cPatternTable::cPatternTable() : cSingleton(this), mPatterns(new cPattern[kCount])
{
    for (int32_t i = 0; i < kCount; ++i)
    {
        mPatterns[i].number = i;
        mPatterns[i].Clear();
    }
}

cPatternTable::~cPatternTable() = default;

cPattern* cPatternTable::GetPattern(int32_t number) const
{
    if (number < 0 || number >= kCount)
        return nullptr;
    return &mPatterns[number];
}

void cPatternTable::ClearAll()
{
    for (int32_t i = 0; i < kCount; ++i)
        mPatterns[i].Clear();
}

int32_t FindFreeSharedPattern(int32_t preferred)
{
    cPatternTable* table = Table();
    if (!table)
        return -1;
    if (preferred >= 1 && preferred < cPattern::kSharedCount && IsFree(*table->GetPattern(preferred)) &&
        table->GetPattern(preferred)->count == 0)
        return preferred;
    for (int32_t i = 1; i < cPattern::kSharedCount; ++i)
    {
        const cPattern& pattern = *table->GetPattern(i);
        if (IsFree(pattern) && pattern.count == 0)
            return i;
    }
    for (int32_t i = 1; i < cPattern::kSharedCount; ++i)
    {
        cPattern& pattern = *table->GetPattern(i);
        if (IsFree(pattern))
        {
            pattern.Clear();
            return i;
        }
    }
    return -1;
}

int32_t FindFreePrivatePattern()
{
    cPatternTable* table = Table();
    if (!table)
        return -1;
    for (int32_t i = cPattern::kSharedCount; i < cPatternTable::kCount; ++i)
    {
        cPattern& pattern = *table->GetPattern(i);
        if (IsFree(pattern))
        {
            pattern.Clear();
            return i;
        }
    }
    return -1;
}

void ClearUnusedPatterns(int32_t* patterns, int32_t* events)
{
    *patterns = 0;
    *events = 0;
    cPatternTable* table = Table();
    if (!table)
        return;
    for (int32_t i = 0; i < cPattern::kSharedCount; ++i)
    {
        cPattern& pattern = *table->GetPattern(i);
        if (pattern.count == 0 || !IsFree(pattern))
            continue;
        ++*patterns;
        *events += pattern.count;
        pattern.Clear();
    }
}

int32_t ClearOrphanPrivatePatterns()
{
    cPatternTable* table = Table();
    if (!table)
        return 0;
    int32_t cleared = 0;
    for (int32_t i = cPattern::kSharedCount; i < cPatternTable::kCount; ++i)
    {
        cPattern& pattern = *table->GetPattern(i);
        if (pattern.count == 0 || !IsFree(pattern))
            continue;
        pattern.Clear();
        ++cleared;
    }
    return cleared;
}
