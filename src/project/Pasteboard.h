#pragma once

#include <cstdint>

#include "base/Delegate.h"
#include "base/GenString.h"
#include "base/Singleton.h"

class cFileList;

// The audio pasteboard other applications would share clips through. This
// platform has no such service: the list holds fixed placeholder clips and
// both operations answer at once, through their completions, without moving
// a file. Made in start-up stage 2 and deleted first at shutdown. Main thread
// only; completions run inside the call that starts the operation.
class cPasteboard : public Base::cSingleton<cPasteboard>
{
public:
    static constexpr int32_t kEntryCapacity = 14;
    static constexpr int32_t kDescriptionCapacity = 64;
    static constexpr int32_t kNameCapacity = 260;
    static constexpr int32_t kSampleSizeLimit = 33554432;

    struct cEntry
    {
        void Clear();

        cGenStringFixed<kNameCapacity> sender;
        cGenStringFixed<kNameCapacity> fileName;
        cGenStringFixed<kNameCapacity> displayName;
        cGenStringFixed<kDescriptionCapacity> description;
        cGenStringFixed<kDescriptionCapacity> extra;
        int32_t kind = 0;
        uint8_t flag = 0;
    };

    // The clips a paste asks for; a null or fifteenth entry is not added.
    class cPasteRequest
    {
    public:
        void Add(const cEntry* entry);
        int32_t GetCount() const { return mCount; }
        const cEntry* GetEntry(int32_t index) const { return mEntries[index]; }

    private:
        const cEntry* mEntries[kEntryCapacity] = {};
        int32_t mCount = 0;
    };

    struct cCopyResult
    {
        int32_t filesAdded = 0;
        const char* firstPath = "";
        bool cancelled = false;
    };

    struct cPasteResult
    {
        int32_t requested = 0;
        int32_t pasted = 0;
        int32_t truncated = 0;
        const char* targetFolder = "";
        bool cancelled = false;
    };

    cPasteboard();
    cPasteboard(const cPasteboard&) = delete;
    cPasteboard& operator=(const cPasteboard&) = delete;

    // Refills the list with its fourteen clips.
    void Refresh();
    // False for an empty list; otherwise the completion is called once with
    // (const cCopyResult*) before this returns true.
    bool AddFile(const cFileList& files, const cDelegate& completion);
    // The completion is called once with (const cPasteResult*).
    void Paste(const cPasteRequest& request, const char* targetFolder, const cDelegate& completion);

    int32_t GetEntryCount() const { return mEntryCount; }
    const cEntry* GetEntry(int32_t index) const;

private:
    cDelegate mCopyCompletion;
    cDelegate mPasteCompletion;
    cEntry mEntries[kEntryCapacity];
    int32_t mEntryCount = 0;
};
