#pragma once

#include "base/GenString.h"

#include <string>

// Root folders of the mounts, UTF-8 with "/" separators and no trailing
// separator. Each is computed on its first call and returned unchanged
// afterwards.

// <program folder>/Resource
const char* GetResourceFolderPath();
// <data home>/Quilwright/Documents, or "Documents" beside the program when
// the data home cannot be used (said on standard error, with the reason, and
// on screen at start).
const char* GetDocumentsFolderPath();
// <data home>/Quilwright/Temp, or "Temp" beside the program.
const char* GetTempFolderPath();
// <program folder>/Resource/Assets
const char* GetAssetsFolderPath();
// <program folder>/code
const char* GetCodeFolderPath();

// The folder that holds the running program.
const char* GetProgramFolderPath();

// Why neither place could hold a data root, for the user; empty while the
// roots are writable. Computes the roots when they were not yet.
const char* GetDataFolderProblem();

// True while the documents folder is beside the program because the data
// home could not hold it: wanted is where it belongs (empty when no data home
// is known) and reason says why that could not be used. Computes the roots
// when they were not yet.
bool GetDocumentsFolderFallback(std::string& wanted, std::string& reason);

// Creates the folder; an existing one counts as success.
bool EnsureFolderExists(const char* path);

enum class eDataFolder
{
    kDataHome,
    kBesideProgram,
    kNone, // out names the folder beside the program, which cannot be written
};

// Builds a data root: dataHome/Quilwright/leaf, each level ensured and
// writable; when that fails, programFolder/leaf (ensured) instead. An empty
// or relative dataHome cannot be used, nor a path longer than 259 bytes.
// Returns where the root is; reason gets why each place that failed did.
eDataFolder BuildDataFolderPath(const char* dataHome, const char* programFolder, const char* leaf, cGenString& out,
                                std::string& reason);
