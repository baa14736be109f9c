#pragma once

#include <string>

// Makes path + ".tmp" the file. The file as it was becomes path + ".bak"
// (replacing an older one) before the ".tmp" is renamed over it atomically,
// so the target is never missing; dropBackup leaves no ".bak". On failure the
// target is unchanged and the new data stay in ".tmp".
bool CommitSafeWrite(const char* path, bool dropBackup);
// The same with the new data in a temporary file of any name.
bool CommitSafeWriteFrom(const char* temp, const char* path, bool dropBackup);
// Makes the folder path + ".tmp" the folder path: the folder as it was
// becomes path + ".bak" (replacing an older one; removed with dropBackup).
// On failure the target is as it was and the new folder stays in ".tmp".
bool CommitSafeFolder(const char* path, bool dropBackup);
// The same with the new folder under any name. The two change places in one
// step, so the path always names a whole folder; where the file system
// cannot swap, the old folder is moved aside first and
// RecoverMissingFolder puts back whichever is whole.
bool CommitSafeFolderFrom(const char* temp, const char* path, bool dropBackup);
// A folder saved as a package that is missing, though a whole version of it
// waits beside it (path + ".tmp", path + ".bak" or a temporary no live
// writer holds, as a commit cut short leaves them): the newest one whose
// mainFile is there becomes the folder. True when one did; its former name
// goes to from.
bool RecoverMissingFolder(const char* path, const char* mainFile, std::string* from = nullptr);

// Load kinds for GetLoadSuffixList.
enum : int
{
    kLoadExact = 0,
    kLoadNormal = 1,
    kLoadBackup = 2,
    kLoadAutoSave = 3,
};

// The suffixes a reader tries after the requested name, in order, ended by
// a null entry.
const char* const* GetLoadSuffixList(int kind);
