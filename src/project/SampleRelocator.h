#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "base/GenString.h"

// Maps the sample paths of one save or load. Every writer of a sample path
// relocates a copy of the path, adopts the copy unless the relocator keeps
// the old paths, and stores MakeRelative of it; every reader applies
// MakeAbsolute to what it read. Stored paths are relative to the base folder,
// or begin with '/' when they are "Doc" paths outside it. Folders compare
// exactly: the disk tells "Song.prj" from "song.prj".
class cSampleRelocator
{
public:
    cSampleRelocator(const cGenString& baseFolder, bool keepPaths);
    virtual ~cSampleRelocator();
    cSampleRelocator(const cSampleRelocator&) = delete;
    cSampleRelocator& operator=(const cSampleRelocator&) = delete;

    // Gives a sample path its place in the folder being written; a plain
    // relocator moves nothing.
    virtual void Relocate(cGenString& path);

    // Both work in place; an empty path stays empty. A stored path is read
    // with '/' separators, and one that climbs with ".." reads as empty (a
    // missing sample): no file outside "Doc" is ever reached.
    void MakeRelative(cGenString& path) const;
    void MakeAbsolute(cGenString& path) const;

    // Copies every recorded sample file to its new path on the "Doc" mount,
    // in the order of the new paths, replacing what is there; false when one
    // could not be copied (the others are still tried).
    bool CopyFiles() const;

    // Set: the callers keep their own paths and only the stored text changes.
    bool KeepsPaths() const { return mKeepPaths != 0; }
    const cGenString& GetBaseFolder() const { return mBaseFolder; }
    // New path -> the path it comes from, in byte order of the new paths.
    const std::map<std::string, std::string>& GetCopyMap() const { return mCopyMap; }

protected:
    // Records that the file at oldPath is to be copied to newPath; a new path
    // recorded before takes the new source.
    void MapCopy(const cGenString& newPath, const cGenString& oldPath);
    // The source recorded for a new path, or null.
    const char* FindCopySource(const cGenString& newPath) const;
    // Moves the path flat into the base folder under its file name, or under
    // "<name>-02" and on when another source took that name; the path stays
    // when no name is left.
    void MoveIntoBase(cGenString& path);

    // Whether path lies inside the base folder; the length of the part to
    // drop (the base and one separator) in *prefix when it does.
    bool IsBelowBase(const cGenString& path, int* prefix) const;

    uint8_t mKeepPaths;
    cGenStringFixed<260> mBaseFolder;
    int32_t mBaseLength;
    std::map<std::string, std::string> mCopyMap;
};
