#pragma once

#include <cstdint>
#include <minizip/unzip.h>
#include <minizip/zip.h>

namespace Zip
{
// Fills the date of a new entry from the file's modification time in local
// time; 1 when the file's time was read, else 0 with the time 0. "-" names
// no file.
int32_t GetFileTimeDate(const char* nativePath, zip_fileinfo* info);

// Sets an extracted file's access and modification times to the entry date.
void SetFileDate(const char* nativePath, const tm_unz& date);

// The program's own UTF-8 file opening as minizip's file layer.
void FillFileFunctions(zlib_filefunc64_def* functions);
// A layer whose open takes an already open FILE* in place of the path, for
// a file the program made itself.
void FillStreamFunctions(zlib_filefunc64_def* functions);
} // namespace Zip
