#pragma once
#include <cstdint>
#include <memory>

#include "base/Singleton.h"

class cPattern;

// The song's 2100 patterns by number: 0..99 shared, 100..2099 private. The
// sequencer owns the one table.
class cPatternTable : public Base::cSingleton<cPatternTable>
{
public:
    static constexpr int32_t kCount = 2100;

    cPatternTable();
    ~cPatternTable();

    // Null outside 0..2099.
    cPattern* GetPattern(int32_t number) const;
    int32_t GetCount() const { return kCount; }
    void ClearAll();

private:
    std::unique_ptr<cPattern[]> mPatterns;
};

// The preferred one of 1..99 when it holds neither events nor parts; else the
// first of 1..99 without events or parts, else the first without parts
// (cleared); -1 when all are in use. Pattern 0 is never handed out.
int32_t FindFreeSharedPattern(int32_t preferred = -1);
// The first private pattern without a part, cleared; -1 when all are in use.
int32_t FindFreePrivatePattern();
// Clears the shared patterns that hold events but serve no part.
void ClearUnusedPatterns(int32_t* patterns, int32_t* events);
// After a song load: clears the private patterns that hold events but serve
// no part; the number cleared.
int32_t ClearOrphanPrivatePatterns();
