#pragma once

#include "base/GenString.h"

namespace File
{
class cFileSystem;
}

// Project folders in the "Doc" mount: their names, the untitled ones, and
// what they hold. Folder names compare exactly (the disk tells case apart);
// extensions ignore case.

// In place: the file name with everything from the first ".prj" on cut off,
// and ".bak" kept: "User/Projects/Song.prj.bak" gives "Song.bak".
void GetProjectDisplayName(cGenString& path);
// "User/Projects/Untitled-01.prj" and on: the first name no file or folder
// has, counting past 99 when those are all taken. False only when no name
// is free at all.
bool MakeNewUntitledProjectPath(cGenString& path);
// Deletes every empty folder "Untitled*.prj" in "User/Projects", except
// the one at keep, which an open project is using.
void DeleteEmptyUntitledProjects(const cGenString& keep);
// An existing folder without any entry.
bool IsEmptyFolder(File::cFileSystem& fileSystem, const cGenString& folder);
// A file (not a folder) whose extension is "wav" lies directly in the folder.
bool FolderHoldsWavFiles(File::cFileSystem& fileSystem, const cGenString& folder);
