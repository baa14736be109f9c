#pragma once

#include "base/GenString.h"

// Files and folders are deleted only below these roots (the documents and
// temporary folders). Paths are native, "/" or "\" separated.

// False when the table (4 roots) is full.
bool AddDeletableRoot(const char* folder);
void ClearDeletableRoots();

// True when the path, without "." parts and repeated separators, is a root
// or lies below one. A path with a ".." part is never under a root.
bool IsUnderDeletableRoot(const char* path);

// Deletes one file (never a folder) under a deletable root.
bool DeleteFileSafe(const char* path);

// Deletes a file or a whole folder tree under a deletable root; paths of
// fewer than 7 characters are refused, a missing path counts as deleted.
bool DeleteFileOrDirectory(const char* path);

// Deletes everything in the folder and then the folder; symbolic links are
// removed, never followed. A failure clears ok.
void DeleteFileOrDirectoryRecurse(cGenString& folder, bool* ok);
