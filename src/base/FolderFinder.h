#pragma once

#include "base/GenString.h"

#include <string>
#include <vector>

// Lists one folder of the disk, sorted by name case-insensitively so that
// lists built on it keep a stable order. "." and ".." are never listed.
class cFolderFinder
{
public:
    explicit cFolderFinder(const char* folder);

    // Reads the folder and steps to its first entry; false when the folder
    // cannot be read or is empty.
    bool First();
    bool Next();
    // Since the last step: "" before First or after the end.
    const char* GetName() const;
    // A real folder; a symbolic link is never one, so walks that delete or
    // copy stay inside the tree they were given.
    bool IsFolder() const;
    bool IsValid() const { return mIndex < mEntries.size(); }
    const char* GetFolder() const { return mFolder.CStr(); }
    // True when the last First could read the folder.
    bool WasReadable() const { return mReadable; }

private:
    struct sEntry
    {
        std::string name;
        bool folder;
    };

    bool ReadEntries();

    cGenStringFixed<260> mFolder;
    std::vector<sEntry> mEntries;
    size_t mIndex = 0;
    bool mReadable = false;
};
