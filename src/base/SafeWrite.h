#pragma once

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
