#pragma once

#include <cstdint>

#include "base/GenString.h"

// A few paths handed on together, as the pasteboard and the mixdown take
// them.
class cFileList
{
public:
    static constexpr int32_t kCapacity = 12;

    // False when full; a null or empty path adds nothing and reports true.
    bool Add(const char* path);

    int32_t GetCount() const { return mCount; }
    const char* GetPath(int32_t index) const { return mPaths[index].CStr(); }

private:
    cGenString mPaths[kCapacity];
    int32_t mCount = 0;
};
