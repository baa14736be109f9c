#pragma once

#include "base/GenString.h"

#include <cstdint>
#include <cstdio>
#include <string>

class cDelegate;

// Native disk operations on UTF-8 paths with "/" separators.

// Opens a regular file with a runtime mode text ("rb", "wb", "w+b"); null
// when it cannot be opened or is a folder.
FILE* OpenFileUTF8(const char* path, const char* mode);

// Creates a file no one else has, named prefix + 8 random letters + suffix,
// in the folder (a descriptor, or AT_FDCWD for paths), without following a
// link; its descriptor, or -1. The name goes to name. The file stays locked
// while the descriptor is open: a sweep for stale temporaries leaves it be
// while its writer lives.
int CreateUniqueFile(int folder, const std::string& prefix, const char* suffix, std::string& name);
// The same for a folder (prefix and suffix as above, paths only); its open
// descriptor holds the lock.
int CreateUniqueFolder(const std::string& prefix, const char* suffix, std::string& name);

// The file a path names, symbolic links followed (relative ones from the
// link's folder); the path itself when it is no link. False when the links
// loop or cannot be read.
bool ResolveLinks(const char* path, std::string& resolved);

// Writes every byte of source to target (created or truncated, never
// through a link); false on any read or write error.
bool CopyFileBytes(const char* source, const char* target);

// Creates every missing folder of the path; true when all levels exist.
bool CreateFolderTree(const char* path);

// True when both paths exist and name the same file (device and inode).
bool IsSameFile(const char* a, const char* b);

// True when both are readable regular files holding the same bytes.
bool FilesHaveSameBytes(const char* a, const char* b);

// Copies a file through a temporary of its own beside the target (as a safe
// write makes), renamed over the target only when every byte arrived, so a
// failed copy leaves a previous target untouched and a file or link named
// like a temporary is never touched.
// Refused when the source is missing, both name the same file, or the target
// exists without overwrite (or is outside the deletable roots with it).
bool CopyDiskFile(const char* source, const char* target, bool overwrite);

// Copies a folder tree (".svn" folders skipped); a failed file clears ok and
// the walk goes on. progress, when set, is invoked with each copied file's
// name. Both paths are restored to their folders on return.
void CopyFolderRecurse(cGenString& source, cGenString& target, bool overwrite, bool* ok,
                       const cDelegate* progress);
bool CopyPath(const char* target, const char* source, bool overwrite, const cDelegate* progress);

// "dd/mm/yyyy hh:mm" of the last write in local time, then ", <n>MB",
// ", <n>KB" or ", <n>B" when the file is not empty.
bool DescribeFile(const char* path, cGenString& out);

// Adds the size and count of every file below the folder, at any depth.
void AccumulateFolderSize(cGenString& folder, uint32_t* bytes, uint32_t* files);

// True when both exist and a was written later than b.
bool IsFileNewer(const char* a, const char* b);
