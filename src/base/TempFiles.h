#pragma once

namespace File
{
class cFile;
}

// Scratch files in the "Tmp" mount. Null or false when there is no such mount
// or the file cannot be opened.

// update: read and write (mode 3); otherwise a fresh file for writing
// (mode 2) after any old one is deleted.
File::cFile* OpenTempFile(const char* name, bool update);
File::cFile* OpenTempFileRead(const char* name);
bool DeleteTempFile(const char* name);
