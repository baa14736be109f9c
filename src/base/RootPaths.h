#pragma once

#include "base/GenString.h"

// Root folders of the mounts, UTF-8 with "/" separators and no trailing
// separator. Each is computed on its first call and returned unchanged
// afterwards.

// <program folder>/Resource
const char* GetResourceFolderPath();
// <data home>/Quilwright/Documents, or "Documents" beside the program when
// the data home cannot be used.
const char* GetDocumentsFolderPath();
// <data home>/Quilwright/Temp, or "Temp" beside the program.
const char* GetTempFolderPath();
// <program folder>/Resource/Assets
const char* GetAssetsFolderPath();
// <program folder>/code
const char* GetCodeFolderPath();

// The folder that holds the running program.
const char* GetProgramFolderPath();

// Creates the folder; an existing one counts as success.
bool EnsureFolderExists(const char* path);

// Builds a data root: dataHome/Quilwright/leaf, each level ensured; when a
// level cannot be made, programFolder/leaf (ensured) instead. An empty or
// relative dataHome cannot be used.
void BuildDataFolderPath(const char* dataHome, const char* programFolder, const char* leaf,
                         cGenString& out);
